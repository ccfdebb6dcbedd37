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
    void FirstPass(const PostProcessInput&) override {}
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
    void ResetSentence() override {}
};
int TestPostProcessor::throwsLeft = 0;
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
        CLinkage l(0, &s, o.p);
        ASSERT_GT(l.GetNumLinks(), 0);
        EXPECT_EQ(l.GetLinkNumDomains(0), 1);
        EXPECT_STREQ(l.GetLinkDomainNames(0).at(0), "m");
        EXPECT_EQ(l.GetViolationName(), nullptr);

        // Overflowing record counts keep working: a parse with only violations.
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
