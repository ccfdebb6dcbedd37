// Parsing whole sentences with the fixture grammar: null counts, limits,
// sampling and ordering, the post-processor seam, and the faults mended.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/count/parse_set.h"
#include "parser/postprocess/post_processor.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using fixture::Dictionary;

namespace {

std::string Repeat(const char* word, int n)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += std::string(word) + " ";
    return text;
}

} // namespace

TEST(Sentence, FixtureLoads)
{
    ASSERT_TRUE(Dictionary().IsLoaded()) << LastGrammarErrorText();
    EXPECT_TRUE(Dictionary().leftWallDefined);
    EXPECT_TRUE(Dictionary().rightWallDefined);
    EXPECT_TRUE(Dictionary().unknownWordDefined);
    EXPECT_TRUE(Dictionary().capitalizedWordsDefined);
    EXPECT_TRUE(Dictionary().numbersDefined);
    EXPECT_TRUE(Dictionary().hyphenatedWordsDefined);
    EXPECT_NE(Dictionary().andableConnectors, nullptr);
    EXPECT_NE(Dictionary().unlimitedConnectors, nullptr);
    EXPECT_EQ(Dictionary().postProcessor, nullptr);
}

TEST(Sentence, NullCounts)
{
    struct Case {
        const char* text;
        int valid; // -1: at least one
        int nulls;
    } cases[] = {
        {"send me new mail", -1, 0},
        {"send me new mail the", -1, 1},
        {"send me new mail the the", -1, 2},
        {"the the the the the the the the", 0, 6}, // needs 9: gives up after 6
    };
    for (const Case& c : cases) {
        fixture::Options o;
        CSentence s(c.text, &Dictionary());
        ASSERT_TRUE(s.IsValid()) << c.text;
        int valid = s.Parse(o.p);
        if (c.valid < 0)
            EXPECT_GE(valid, 1) << c.text;
        else
            EXPECT_EQ(valid, c.valid) << c.text;
        EXPECT_EQ(s.nullCount, c.nulls) << c.text;
        EXPECT_EQ(s.Parse(o.p), valid) << "a second parse starts over: " << c.text;
    }
}

TEST(Sentence, SentenceLength)
{
    fixture::Options o;
    CSentence ok(Repeat("the", 247).c_str(), &Dictionary()); // 249 words with the walls
    ASSERT_TRUE(ok.IsValid());
    EXPECT_EQ(ok.Parse(o.p), 0);
    CSentence tooLong(Repeat("the", 248).c_str(), &Dictionary()); // 250
    ASSERT_TRUE(tooLong.IsValid());
    EXPECT_THROW(tooLong.Parse(o.p), ParserLimitException);
}

TEST(Sentence, FailedConstructionParsesToNothing)
{
    fixture::Options o;
    for (const char* text : {"", "   ", "word,,,,,,,,,,"}) {
        CSentence s(text, &Dictionary());
        EXPECT_FALSE(s.IsValid()) << text;
        EXPECT_EQ(s.Parse(o.p), 0) << text;
        EXPECT_EQ(s.numLinkagesFound, 0);
        EXPECT_FALSE(s.parseInfo);
        EXPECT_THROW(CLinkage(0, &s, o.p), ParserLimitException);
    }
    CGrammarDictionary broken("no-such-file.dict", nullptr, nullptr, 0, nullptr);
    CSentence s("send me mail", &broken);
    EXPECT_FALSE(s.IsValid());
    EXPECT_EQ(s.Parse(o.p), 0);
}

TEST(Sentence, OrderIsStableAndExplicit)
{
    fixture::Options o;
    CSentence s("show the mail from john in the inbox folder", &Dictionary());
    ASSERT_GE(s.Parse(o.p), 2);
    ASSERT_EQ(s.numLinkagesPostProcessed, s.numLinkagesFound);
    for (size_t i = 1; i < s.linkageInfo.size(); ++i) {
        int c = CompareLinkages(&s.linkageInfo[i - 1], &s.linkageInfo[i]);
        EXPECT_LE(c, 0);
        if (c == 0) {
            EXPECT_LT(s.linkageInfo[i - 1].index, s.linkageInfo[i].index) << "ties keep enumeration order";
        }
    }
    // Every record is a different linkage.
    std::set<int> indices;
    for (const LinkageInfo& li : s.linkageInfo)
        indices.insert(li.index);
    EXPECT_EQ(indices.size(), s.linkageInfo.size());
}

TEST(Sentence, SamplingSpreadsTheIndices)
{
    fixture::Options o;
    o.p->linkageLimit = 2;
    CSentence s("show the mail from john in the inbox folder", &Dictionary());
    s.Parse(o.p);
    int n = s.numLinkagesFound;
    ASSERT_GE(n, 4);
    ASSERT_EQ(s.numLinkagesAlloced, 2);
    ASSERT_EQ(s.linkageInfo.size(), 2u);
    std::set<int> got;
    for (const LinkageInfo& li : s.linkageInfo)
        got.insert(li.index);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_LT(*got.begin(), n / 2) << "one from each half";
    EXPECT_GE(*got.rbegin(), n / 2);
    CSentence again("show the mail from john in the inbox folder", &Dictionary());
    again.Parse(o.p);
    std::set<int> second;
    for (const LinkageInfo& li : again.linkageInfo)
        second.insert(li.index);
    EXPECT_EQ(second, got) << "the same sentence always gets the same sample";
}

namespace {
double g_now = 0;
double SteppingClock()
{
    g_now += 0.5;
    return g_now;
}
} // namespace

TEST(Sentence, TimeAndMemoryLimitsCutTheParseShort)
{
    {
        fixture::Options o;
        SetParserClock(SteppingClock);
        ParseOptionsSetTimeLimit(o.p, 1);
        ResetResources(o.p->resources);
        CSentence s("show the mail from john in the inbox folder", &Dictionary());
        EXPECT_EQ(s.Parse(o.p), 0);
        SetParserClock(nullptr);
    }
    {
        fixture::Options o;
        ParseOptionsSetMemoryLimit(o.p, 1);
        CSentence s("send me new mail", &Dictionary());
        EXPECT_EQ(s.Parse(o.p), 0) << "exhausted before the parse starts";
        ResetResources(o.p->resources);
        ParseOptionsSetMemoryLimit(o.p, kNoMemoryLimit);
        EXPECT_GE(s.Parse(o.p), 1);
    }
    {
        // A limit that the parse's own tables cross: cut short during counting.
        fixture::Options o;
        CSentence s("show the mail from john in the inbox folder", &Dictionary());
        ParseOptionsSetMemoryLimit(o.p, static_cast<int>(GetParserMemoryCounters().inUse + 4096));
        EXPECT_EQ(s.Parse(o.p), 0);
        EXPECT_TRUE(o.p->resources->memoryExhausted);
    }
}

namespace {

// Stands in for the rule-driven post-processor: rejects indirect objects and
// puts every link into domain "m". Throws once when asked to.
class TestPostProcessor : public CPostProcessor {
public:
    static int throwsLeft;
    static int instances;
    TestPostProcessor() { ++instances; }
    ~TestPostProcessor() override { --instances; }
    static int firstPasses;
    void FirstPass(const PostProcessInput&) override { ++firstPasses; }
    PostProcessResult Process(const PostProcessInput& in) override
    {
        if (throwsLeft > 0) {
            --throwsLeft;
            throw ParserLimitException{"post-processing failed"};
        }
        PostProcessResult r;
        r.domains.assign(static_cast<size_t>(in.numLinks), {"m"});
        for (int i = 0; i < in.numLinks; ++i)
            if (std::strcmp(in.links[i].name, "Y") == 0) {
                r.violated = true;
                r.violation = "no indirect objects";
            }
        return r;
    }
    void ResetLinkage() override {}
    static int sentenceResets;
    void ResetSentence() override { ++sentenceResets; }
};
int TestPostProcessor::sentenceResets = 0;
int TestPostProcessor::throwsLeft = 0;
int TestPostProcessor::firstPasses = 0;
int TestPostProcessor::instances = 0;

CPostProcessor* MakeTestPostProcessor(const char*, const char*, const void*, unsigned, GrammarEscapeCallback)
{
    return new TestPostProcessor;
}

} // namespace

TEST(Sentence, PostProcessorSeam)
{
    SetPostProcessorFactory(MakeTestPostProcessor);
    std::string text = fixture::FixtureText("fixture.dict");
    {
        testsupport::TempDir dir;
        testsupport::WriteFile(dir.file("g.dict"), PackGrammarFile(text));
        testsupport::WriteFile(dir.file("fixture-nouns.words"), PackGrammarFile(fixture::FixtureText("fixture-nouns.words")));
        fixture::ScopedCurrentDir cd(dir.path());
        CGrammarDictionary first("g.dict", "rules", nullptr, 0, nullptr);
        CGrammarDictionary second("g.dict", nullptr, nullptr, 0, nullptr);
        ASSERT_TRUE(first.IsLoaded());
        ASSERT_NE(first.postProcessor, nullptr);
        EXPECT_EQ(second.postProcessor, first.postProcessor) << "one post-processor for the process";
        EXPECT_EQ(TestPostProcessor::instances, 1);

        fixture::Options o;
        // A failure in the middle of a parse leaves nothing behind for the next one.
        TestPostProcessor::throwsLeft = 1;
        CSentence failing("send me new mail", &first);
        EXPECT_THROW(failing.Parse(o.p), ParserLimitException);
        EXPECT_FALSE(failing.sampler.InUse());

        CSentence s("send me new mail", &first);
        int valid = s.Parse(o.p);
        EXPECT_GE(valid, 1);
        EXPECT_GE(s.nullCount, 1) << "the only full linkage breaks a rule";
        ASSERT_GE(s.linkageInfo.size(), 1u);
        EXPECT_EQ(s.linkageInfo.front().violations, 0) << "valid linkages sort first";
        int resets = TestPostProcessor::sentenceResets;
        CLinkage l(0, &s, o.p);
        EXPECT_GT(TestPostProcessor::sentenceResets, resets)
            << "a linkage's post-processing leaves nothing of the sentence behind";
        ASSERT_GT(l.GetNumLinks(), 0);
        EXPECT_EQ(l.GetLinkNumDomains(0), 1);
        EXPECT_STREQ(l.GetLinkDomainNames(0).at(0), "m");
        EXPECT_EQ(l.GetViolationName(), nullptr);

        // Long sentences get a first pass over the chosen linkages first.
        TestPostProcessor::firstPasses = 0;
        EXPECT_EQ(s.firstPassDone, 0);
        std::string longLine = "show the mail from john in the inbox folder";
        CSentence shortOne(longLine.c_str(), &first);
        shortOne.Parse(o.p);
        EXPECT_EQ(TestPostProcessor::firstPasses, 0) << "under 30 words: no first pass";
        for (int i = 0; i < 4; ++i)
            longLine += " from john in the inbox folder";
        CSentence longOne(longLine.c_str(), &first);
        ASSERT_GE(longOne.numWords, o.p->twoPassLength);
        longOne.Parse(o.p);
        EXPECT_EQ(longOne.firstPassDone, 1);
        EXPECT_GT(TestPostProcessor::firstPasses, 0);

        // A parse whose linkages all break a rule keeps them, sorted, with the message.
        CSentence bad("send me mail", &first);
        o.p->maxNullCount = 0;
        EXPECT_EQ(bad.Parse(o.p), 0);
        EXPECT_GE(bad.numLinkagesPostProcessed, 1);
        CLinkage b(0, &bad, o.p);
        EXPECT_STREQ(b.GetViolationName(), "no indirect objects");
    }
    EXPECT_EQ(TestPostProcessor::instances, 0) << "released with the last dictionary";
    SetPostProcessorFactory(nullptr);
}

TEST(Sentence, ParsesGiveBackTheirMemory)
{
    fixture::Options o;
    Dictionary(); // loaded before the count starts
    int64_t before = GetParserMemoryCounters().inUse;
    for (int round = 0; round < 3; ++round) {
        for (const char* text : {"send me new mail", "show the mail from john in the inbox folder",
                                 "xyzzy foo bar send", "the the the the the the the the"}) {
            CSentence s(text, &Dictionary());
            s.Parse(o.p);
            if (s.numLinkagesPostProcessed > 0) {
                CLinkage l(0, &s, o.p);
                delete l.GetWordLinkages();
            }
        }
        EXPECT_EQ(GetParserMemoryCounters().inUse, before) << "round " << round;
    }
}

namespace {
// Reads as the start of the line's budget until `g_readsLeft` reads are used
// up, then as a second later: the budget runs out at that read.
int g_readsLeft = 0;
double CountdownClock() { return g_readsLeft-- > 0 ? 0.0 : 1.0; }
} // namespace

TEST(Sentence, RequestLineBudgetCutsAtAnyPointAndLeavesAUsableResult)
{
    fixture::Options o;
    SetParserClock(CountdownClock);
    g_readsLeft = 1000000;
    ParseOptionsStartRequestLineBudget(o.p);
    EXPECT_EQ(ParseOptionsGetTimeLimitMs(o.p), kRequestLineTimeMs);
    EXPECT_EQ(ParseOptionsGetMemoryLimit(o.p), GetParserMemoryCounters().inUse + kRequestLineMemoryBytes);
    // Lines through every stage: conjunction pruning and and-lists, the second
    // preparation for null words, counting and sampling.
    const char* const lines[] = {
        "show me the mail and send him the files",
        "send mail, files or messages",
        "send me new mail please",
        "show the mail from john in the inbox folder",
    };
    for (const char* line : lines) {
        g_readsLeft = 1000000;
        ParseOptionsStartRequestLineBudget(o.p);
        CSentence whole(line, &Dictionary());
        int full = whole.Parse(o.p);
        ASSERT_GT(full, 0) << line;
        ASSERT_FALSE(ParseOptionsResourcesExhausted(o.p)) << line;
        bool completed = false;
        // Every early stopping point, then ever wider steps through the count.
        for (int reads = 0; reads < 1000000 && !completed; reads += 1 + reads / 16) {
            g_readsLeft = 1000000;
            ParseOptionsStartRequestLineBudget(o.p);
            g_readsLeft = reads;
            CSentence s(line, &Dictionary());
            int valid = s.Parse(o.p);
            bool cut = o.p->resources->timerExpired != 0;
            completed = !cut;
            if (!cut) {
                EXPECT_EQ(valid, full) << line << ", budget spent after " << reads << " reads";
                continue;
            }
            // Cut short: nothing, or linkages found in time that can be read.
            EXPECT_LE(valid, full) << line;
            if (valid > 0) {
                CLinkage l(0, &s, o.p);
                EXPECT_GT(l.GetNumLinks(), 0) << line;
            }
            if (HasFailure())
                break;
        }
        EXPECT_TRUE(completed) << line << ": the parse never finished within the budget";
    }
    SetParserClock(nullptr);
}
