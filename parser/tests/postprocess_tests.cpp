// The rule file's lexer and reader, and the post-processor's domains and rules:
// on hand-made linkages, and through the fixture grammar with its rule file.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/dict/container.h"
#include "parser/postprocess/pp_knowledge.h"
#include "parser/postprocess/pp_lexer.h"
#include "parser/postprocess/rule_post_processor.h"
#include "parser/prepare/prepare.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Tokens(PPLexTable& lex, const char* label)
{
    std::vector<std::string> out;
    if (!lex.SetLabel(label))
        return out;
    while (const char* t = lex.NextToken())
        out.emplace_back(t);
    return out;
}

using Strings = std::vector<std::string>;

TEST(RuleLexer, TokenGrammar)
{
    struct Case {
        const char* text;
        const char* label;
        Strings tokens;
    } cases[] = {
        {"A: x\n; a comment\ny", "A", {"x", "y"}},
        {"; first line comment\nA: x", "A", {"x"}},
        {"   ; indented on the first line is still a comment\nA: x", "A", {"x"}},
        {"A: x\n   ;indented later is a token", "A", {"x", ";indented", "later", "is", "a", "token"}},
        {"A: x A;B y;", "A", {"x", "A;B", "y;"}},
        {"A: x\n;unterminated", "A", {"x", ";unterminated"}},
        {"A: a\nB: b\nA: c", "A", {"a", "c"}},
        {"A: a b\nB: @A c @A", "B", {"a", "b", "c", "a", "b"}},
        {"B: @A x\nA: a", "B", {"x"}},                       // not defined yet: nothing
        {"A: a b @A", "A", {"a", "b", "a", "b"}},           // itself: once, no endless copy
        {"A: \"a quoted message\" \"x\"", "A", {"\"a quoted message\"", "\"x\""}},
        {"A: @ x : \" y", "A", {"@", "x", "y"}},            // lone @, stray ':' and quote
        {"A: \"no\ttab\" x", "A", {"no", "tab", "x"}},        // a tab ends no quoted token
        {"A:\tx\ty\n\n\tz", "A", {"x", "y", "z"}},
        {"x y A: z", "A", {"z"}},                           // before any label: no section
    };
    for (const Case& c : cases) {
        PPLexTable lex;
        ASSERT_TRUE(lex.Read(c.text)) << c.text;
        EXPECT_EQ(Tokens(lex, c.label), c.tokens) << c.text;
    }
}

TEST(RuleLexer, Groups)
{
    PPLexTable lex;
    ASSERT_TRUE(lex.Read("R: a b , c , , d"));
    ASSERT_TRUE(lex.SetLabel("R"));
    EXPECT_EQ(lex.CountTokens(), 7);
    EXPECT_EQ(lex.CountCommas(), 3);
    EXPECT_EQ(lex.NextGroup().size(), 2u);
    EXPECT_EQ(lex.NextGroup().size(), 1u);
    EXPECT_EQ(lex.NextGroup().size(), 0u);
    std::vector<const char*> last = lex.NextGroup();
    ASSERT_EQ(last.size(), 1u);
    EXPECT_STREQ(last[0], "d");
    EXPECT_TRUE(lex.NextGroup().empty()) << "past the end stays empty";
    EXPECT_FALSE(lex.SetLabel("MISSING"));
}

TEST(RuleLexer, LimitsAreHandled)
{
    // 512 labels are fine, the 513th refuses the file instead of overrunning.
    std::string text;
    for (int i = 0; i < kMaxRuleLabels; ++i)
        text += "L" + std::to_string(i) + ": x\n";
    PPLexTable lex;
    ASSERT_TRUE(lex.Read(text));
    EXPECT_EQ(lex.NumLabels(), kMaxRuleLabels);
    EXPECT_TRUE(lex.Read(text + "L0: again\n")) << "an existing label is no new one";
    EXPECT_FALSE(lex.Read(text + "ONE_MORE: x\n"));
    EXPECT_NE(lex.Error().find("512"), std::string::npos);

    // A token far longer than any read block is one token.
    std::string big(40000, 'Q');
    ASSERT_TRUE(lex.Read("A: x " + big + " y \"" + big + "\""));
    Strings t = Tokens(lex, "A");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[1], big);
    EXPECT_EQ(t[3].size(), big.size() + 2);

    // Chains of references to themselves grow by doubling, and end; a short text
    // that asks for billions of tokens is refused.
    ASSERT_TRUE(lex.Read("A: a @A @A @A"));
    EXPECT_EQ(Tokens(lex, "A").size(), 8u);
    std::string doubling = "A: a";
    for (int i = 0; i < 40; ++i)
        doubling += " @A";
    EXPECT_FALSE(lex.Read(doubling));
    EXPECT_NE(lex.Error().find("too many tokens"), std::string::npos);
}

TEST(RuleKnowledge, Sections)
{
    struct Case {
        const char* text;
        size_t oneRules;
    } cases[] = {
        {"ONE_RULES: S , O P , \"m\" ,", 1},           // 7 tokens, 2 commas... with the last
        {"ONE_RULES: S , O P , \"m\"", 1},             // the last "," may be left out
        {"ONE_RULES: S , O , m1 , T , P , m2 ,", 2},   // five commas: two rules
        {"ONE_RULES: S , O , m1 , T , P , m2", 2},
        {"NONE_RULES: S , O , m1", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        PPKnowledge k;
        std::string error;
        ASSERT_TRUE(ReadKnowledge(c.text, k, error)) << c.text;
        EXPECT_EQ(k.oneRules.size(), c.oneRules) << c.text;
    }

    PPKnowledge k;
    std::string error;
    ASSERT_TRUE(ReadKnowledge(fixture::FixtureText("fixture.rules"), k, error));
    ASSERT_EQ(k.startingLinks.size(), 5u);
    EXPECT_EQ(k.startingLinks[3].name, "MV");
    EXPECT_EQ(k.startingLinks[3].domain, 'm');
    EXPECT_TRUE(k.domainStarterLinks.Match("Wi"));
    EXPECT_TRUE(k.domainStarterLinks.Match("Wq")) << "the second occurrence of the label";
    EXPECT_FALSE(k.domainStarterLinks.Match("MV"));
    EXPECT_TRUE(k.cycleLinks.Match("Zd")) << "through the reference";
    EXPECT_TRUE(k.ignoreLinks.Match("RW"));
    EXPECT_TRUE(k.restrictedLinks.Match("Xp"));
    EXPECT_TRUE(k.inclDomainLinks.Match("MV"));
    EXPECT_TRUE(k.onlyNoDomainStarterLinks.Match("M"));
    EXPECT_TRUE(k.domainContainsLinks.Match("Wq"));
    ASSERT_EQ(k.cycleRules.size(), 1u);
    EXPECT_TRUE(k.cycleRules[0].links.Match("Zc"));
    EXPECT_EQ(k.cycleRules[0].message, "\"a closing link must close a cycle\"") << "quotes are kept";
    EXPECT_TRUE(k.hasConnectedRule);
    ASSERT_EQ(k.boundedRules.size(), 1u);
    EXPECT_EQ(k.boundedRules[0].domain, 'j');
    EXPECT_TRUE(k.boundedStartingLinks.Match("M"));
    EXPECT_FALSE(k.boundedStartingLinks.Match("MV"));
    ASSERT_EQ(k.oneRules.size(), 1u);
    EXPECT_EQ(k.oneRules[0].selector, "Pa");
    EXPECT_EQ(k.oneRules[0].names, Strings{"MV"});
    ASSERT_EQ(k.noneRules.size(), 1u);
    EXPECT_EQ(k.noneRules[0].message, "\"no singular object after an indirect object\"");

    PPKnowledge empty;
    ASSERT_TRUE(ReadKnowledge("CONNECTED_RULES:", empty, error));
    EXPECT_FALSE(empty.hasConnectedRule) << "a section without tokens has no message";
}

TEST(RuleKnowledge, LinkNameMatch)
{
    struct Case {
        const char* pattern;
        const char* label;
        bool match;
    } cases[] = {
        {"S", "S", true},     {"S", "Ss", true},      {"S", "SI", false},  {"SI", "S", false},
        {"Ss", "Ss", true},   {"Ss", "Sp", false},    {"S#", "Sp", true},  {"S#", "S", true},
        {"Ss*", "Ss", true},  {"Ss", "S", false},     {"S*", "S", true},   {"S*", "Sp", false},
        {"Osn", "Os", false}, {"O##", "Osn", true},   {"MV", "M", false},  {"M", "MV", false},
        {"", "", true},       {"", "a", true},        {"Wd", "Wdx", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PostProcessMatch(c.pattern, c.label), c.match) << c.pattern << " ~ " << c.label;
}

// A linkage by hand: {left word, right word, label}.
struct HandLink {
    int l, r;
    const char* label;
};

PostProcessResult Judge(const std::string& rules, int numWords, const std::vector<HandLink>& hand)
{
    auto k = std::make_unique<PPKnowledge>();
    std::string error;
    if (!ReadKnowledge(rules, *k, error))
        ADD_FAILURE() << error;
    CRulePostProcessor pp(std::move(k));
    std::vector<Link> links;
    for (const HandLink& h : hand)
        links.push_back(Link{h.l, h.r, nullptr, nullptr, h.label});
    static const int dummy = 0;
    const CSentence* sentence = reinterpret_cast<const CSentence*>(&dummy);
    return pp.Process(PostProcessInput{sentence, numWords, links.data(), static_cast<int>(links.size())});
}

TEST(PostProcessor, EachRuleKindBrokenAndKept)
{
    const std::string domains = "STARTING_LINK: Wd d Wi i MV m\nDOMAIN_STARTER_LINKS: Wd Wi\n"
                                "INCL_DOMAIN_LINKS: MV\nIGNORE_LINKS: RW\n";
    // Words: 0 wall, 1 the, 2 mail, 3 is, 4 new, 5 today.
    const std::vector<HandLink> base = {{0, 2, "Wd"}, {1, 2, "Ds"}, {2, 3, "Ss"}, {3, 4, "Pa"}};
    std::vector<HandLink> withTime = base;
    withTime.push_back({3, 5, "MV"});
    struct Case {
        const char* what;
        std::string rules;
        int numWords;
        std::vector<HandLink> links;
        const char* violation; // null: kept
    } cases[] = {
        {"contains-one on the links, broken", "ONE_RULES: Pa , MV , \"needs a time\"", 6, base, "\"needs a time\""},
        {"contains-one on the links, kept", "ONE_RULES: Pa , MV , \"needs a time\"", 6, withTime, nullptr},
        {"contains-one without its selector", "ONE_RULES: Y , O , no-object", 6, base, nullptr},
        {"contains-one on a domain, broken", domains + "ONE_RULES: Ds , Ss , no-subject", 6,
         {{0, 2, "Wd"}, {1, 2, "Ds"}}, "no-subject"},
        {"contains-one on a domain, kept", domains + "ONE_RULES: Ds , Ss , no-subject", 6, base, nullptr},
        {"contains-none, broken", domains + "NONE_RULES: Ss , Pa , no-adjective", 6, base, "no-adjective"},
        {"contains-none, kept", domains + "NONE_RULES: Ss , Opn , no-plural", 6, base, nullptr},
        {"cycle, broken", "CYCLE_RULES: Ds , not-closed ,", 6, base, "not-closed"},
        {"cycle, kept", "CYCLE_RULES: Ds , not-closed ,", 6,
         {{0, 2, "Wd"}, {1, 2, "Ds"}, {0, 1, "Xx"}}, nullptr},
        {"connected, broken", "CONNECTED_RULES: apart", 6, {{0, 2, "Wd"}, {3, 4, "Pa"}}, "apart"},
        {"connected, kept", "CONNECTED_RULES: apart", 6, base, nullptr},
        {"connected, a word without links", "CONNECTED_RULES: apart", 7, base, nullptr},
        {"bounded, broken", domains + "BOUNDED_RULES: m , out-of-bounds ,", 6,
         {{0, 2, "Wd"}, {2, 3, "Ss"}, {3, 5, "MV"}, {1, 5, "Xq"}}, "out-of-bounds"},
        {"bounded, kept", domains + "BOUNDED_RULES: m , out-of-bounds ,", 6, withTime, nullptr},
    };
    for (const Case& c : cases) {
        PostProcessResult r = Judge(c.rules, c.numWords, c.links);
        EXPECT_EQ(r.violated, c.violation != nullptr) << c.what;
        if (c.violation)
            EXPECT_EQ(r.violation, c.violation) << c.what;
    }
}

TEST(PostProcessor, FirstFailingRuleWins)
{
    // Words: 0 wall, 1 the, 2 mail, 3 is, 4 new; 5 has no links.
    const std::vector<HandLink> links = {{0, 2, "Wd"}, {1, 2, "Ds"}, {3, 4, "Pa"}};
    std::string rules = "STARTING_LINK: Wd d\nDOMAIN_STARTER_LINKS: Wd\n"
                        "BOUNDED_RULES: d , bounded ,\nCONNECTED_RULES: connected\n"
                        "CYCLE_RULES: Ds , cycle ,\nNONE_RULES: Ds , Ds , none\n";
    EXPECT_EQ(Judge(rules, 6, links).violation, "none");
    EXPECT_EQ(Judge(rules + "ONE_RULES: Pa , MV , one", 6, links).violation, "one");
    EXPECT_TRUE(Judge(rules + "ONE_RULES: Pa , MV , one", 6, links).domains.empty())
        << "a link-level violation builds no domains";
    std::string noNone = "STARTING_LINK: Wd d\nDOMAIN_STARTER_LINKS: Wd\n"
                         "BOUNDED_RULES: d , bounded ,\nCONNECTED_RULES: connected\nCYCLE_RULES: Ds , cycle ,\n";
    EXPECT_EQ(Judge(noNone, 6, links).violation, "cycle");
}

TEST(PostProcessor, IgnoredLinks)
{
    // Word 3 hangs on word 0 only through RW.
    const std::vector<HandLink> links = {{0, 1, "Wd"}, {1, 2, "Ss"}, {2, 3, "RW"}};
    EXPECT_FALSE(Judge("CONNECTED_RULES: apart", 4, links).violated);
    const std::vector<HandLink> apart = {{0, 1, "Wd"}, {2, 3, "Ss"}, {1, 2, "RW"}};
    EXPECT_FALSE(Judge("CONNECTED_RULES: apart", 4, apart).violated) << "not ignored, RW connects";
    EXPECT_EQ(Judge("IGNORE_LINKS: RW\nCONNECTED_RULES: apart", 4, apart).violation, "apart")
        << "ignored, RW connects nothing";

    // Ignored links join no domain, and a cycle through them does not count.
    std::string rules = "STARTING_LINK: Wd d\nDOMAIN_STARTER_LINKS: Wd\nDOMAIN_CONTAINS_LINKS: Wd\nIGNORE_LINKS: RW\n";
    PostProcessResult r = Judge(rules, 4, links);
    ASSERT_EQ(r.domains.size(), 3u);
    EXPECT_EQ(r.domains[0], Strings{"d"});
    EXPECT_EQ(r.domains[1], Strings{"d"});
    EXPECT_TRUE(r.domains[2].empty());
    r = Judge(rules, 4, {{0, 1, "Wd"}, {1, 2, "Ss"}, {0, 2, "RW"}});
    EXPECT_TRUE(r.domains[2].empty());
    EXPECT_EQ(Judge("IGNORE_LINKS: RW\nCYCLE_RULES: Ss , open ,", 4, {{0, 1, "Wd"}, {1, 2, "Ss"}, {0, 2, "RW"}})
                  .violation,
              "open");
    EXPECT_FALSE(Judge("CYCLE_RULES: Ss , open ,", 4, {{0, 1, "Wd"}, {1, 2, "Ss"}, {0, 2, "RW"}}).violated);
    // An ignored link in a cycle rule's set needs its ends connected otherwise.
    EXPECT_EQ(Judge("IGNORE_LINKS: RW\nCYCLE_RULES: RW , open ,", 4, links).violation, "open");
    EXPECT_FALSE(Judge("IGNORE_LINKS: RW\nCYCLE_RULES: RW , open ,", 4,
                       {{0, 1, "Wd"}, {1, 2, "Ss"}, {0, 2, "RW"}}).violated);
}

TEST(PostProcessor, DomainsNestAndSortWithATieBreak)
{
    std::string rules = "STARTING_LINK: Wd d MV m M j\nDOMAIN_STARTER_LINKS: Wd\nINCL_DOMAIN_LINKS: MV\n"
                        "ONLY_NO_DOMAIN_STARTER_LINKS: M\n";
    // 0 wall, 1 mail, 2 is, 3 new, 4 today, 5 at, 6 noon
    PostProcessResult r = Judge(rules, 7,
                                {{0, 1, "Wd"}, {1, 2, "Ss"}, {2, 3, "Pa"}, {2, 4, "MV"}, {4, 5, "M"}, {5, 6, "J"}});
    ASSERT_EQ(r.domains.size(), 6u);
    EXPECT_TRUE(r.domains[0].empty()) << "the starter is not in its domain";
    EXPECT_EQ(r.domains[1], Strings{"d"});
    // MV's domain {MV, Pa, M, J} (its walk goes on from the verb to the right)
    // lies inside Wd's; the outer domain's type comes first.
    EXPECT_EQ(r.domains[2], (Strings{"d", "m"}));
    EXPECT_EQ(r.domains[3], (Strings{"d", "m"}));
    EXPECT_EQ(r.domains[4], (Strings{"d", "m"}));
    // M's domain (from "today" up to "at") is empty: "at" is its bound.
    EXPECT_EQ(r.domains[5], (Strings{"d", "m"}));

    // Two domains of the same size keep the order in which they were made, so the
    // lists do not depend on the runtime's sort.
    std::string two = "STARTING_LINK: Wa a Wb b\nDOMAIN_STARTER_LINKS: Wa Wb\nDOMAIN_CONTAINS_LINKS: Wa Wb\n";
    r = Judge(two, 2, {{0, 1, "Wa"}, {0, 1, "Wb"}});
    EXPECT_EQ(r.domains[0], (Strings{"b", "a"}));
    EXPECT_EQ(r.domains[1], (Strings{"b", "a"}));
    r = Judge(two, 2, {{0, 1, "Wb"}, {0, 1, "Wa"}});
    EXPECT_EQ(r.domains[0], (Strings{"a", "b"}));
    r = Judge(two, 3, {{0, 1, "Wb"}, {1, 2, "Wa"}});
    EXPECT_EQ(r.domains[0], Strings{"b"});
    EXPECT_EQ(r.domains[1], (Strings{"b", "a"})) << "Wb's domain holds Wa too, and is the larger";
}

TEST(PostProcessor, TooManyDomainsIsALimit)
{
    std::vector<HandLink> links;
    for (int i = 0; i < 130; ++i)
        links.push_back({i, i + 1, "Wd"});
    EXPECT_THROW(Judge("DOMAIN_STARTER_LINKS: Wd", 131, links), ParserLimitException);
}

// The fixture grammar with its rule file, as the program loads them.
class RuleFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new testsupport::TempDir;
        testsupport::WriteFile(dir->file("fixture.dict"), PackGrammarFile(fixture::FixtureText("fixture.dict")));
        testsupport::WriteFile(dir->file("fixture-nouns.words"),
                               PackGrammarFile(fixture::FixtureText("fixture-nouns.words")));
        testsupport::WriteFile(dir->file("fixture.rules"), PackGrammarFile(fixture::FixtureText("fixture.rules")));
        fixture::ScopedCurrentDir cd(dir->path());
        dict = new CGrammarDictionary("fixture.dict", "fixture.rules", nullptr, 0, nullptr);
    }
    static void TearDownTestSuite()
    {
        delete dict;
        delete dir;
    }
    static testsupport::TempDir* dir;
    static CGrammarDictionary* dict;
};
testsupport::TempDir* RuleFixture::dir = nullptr;
CGrammarDictionary* RuleFixture::dict = nullptr;

TEST_F(RuleFixture, ViolationsAndDomainsOfParsedLines)
{
    ASSERT_TRUE(dict->IsLoaded());
    ASSERT_NE(dict->postProcessor, nullptr);
    fixture::Options o;
    o.p->maxNullCount = 0;
    struct Case {
        const char* line;
        const char* violation;
    } cases[] = {
        {"the mail is new today", nullptr},
        {"send me new mail", "\"no singular object after an indirect object\""},
        {"send me new messages", nullptr},
        {"what is the weather in Paris?", nullptr},
    };
    for (const Case& c : cases) {
        CSentence s(c.line, dict);
        int valid = s.Parse(o.p);
        ASSERT_GE(s.numLinkagesPostProcessed, 1) << c.line;
        EXPECT_EQ(valid == 0, c.violation != nullptr) << c.line;
        CLinkage l(0, &s, o.p);
        if (c.violation)
            EXPECT_STREQ(l.GetViolationName(), c.violation) << c.line;
        else
            EXPECT_EQ(l.GetViolationName(), nullptr) << c.line;
    }

    // A contains-one rule that no word can satisfy: rule pruning leaves nothing
    // to count; without pruning the linkage is found and shows the message.
    {
        CSentence pruned("the mail is new", dict);
        EXPECT_EQ(pruned.Parse(o.p), 0);
        EXPECT_EQ(pruned.numLinkagesFound, 0);
        SetPruningPass(nullptr);
        CSentence unpruned("the mail is new", dict);
        int valid = unpruned.Parse(o.p);
        RestoreDefaultPruning();
        EXPECT_EQ(valid, 0);
        ASSERT_EQ(unpruned.numLinkagesFound, 1);
        CLinkage l(0, &unpruned, o.p);
        EXPECT_STREQ(l.GetViolationName(), "\"a predicate adjective needs a time\"");
    }

    CSentence s("the mail is new today", dict);
    ASSERT_EQ(s.Parse(o.p), 1);
    CLinkage l(0, &s, o.p);
    for (int i = 0; i < l.GetNumLinks(); ++i) {
        std::string label = l.GetLinkLabel(i);
        std::vector<const char*> names = l.GetLinkDomainNames(i);
        std::string joined;
        for (const char* n : names)
            joined += n;
        if (label == "RW" || label == "Wd")
            EXPECT_EQ(joined, "") << label;
        else if (label == "MV" || label == "Pa") // the verb modifier's domain takes the verb's right
            EXPECT_EQ(joined, "dm") << label;
        else
            EXPECT_EQ(joined, "d") << label;
    }
}

TEST_F(RuleFixture, LongLinesUseTheRelevantRulesOnly)
{
    // Thirty words and more get a first pass; the rules whose selector never
    // occurs are skipped, the others still judge.
    fixture::Options o;
    o.p->maxNullCount = 0;
    std::string longLine = "show the mail from john in the inbox folder";
    for (int i = 0; i < 4; ++i)
        longLine += " from john in the inbox folder";
    CSentence longOne(longLine.c_str(), dict);
    ASSERT_GE(longOne.numWords, o.p->twoPassLength);
    longOne.Parse(o.p);
    EXPECT_EQ(longOne.firstPassDone, 1);
    EXPECT_GE(longOne.numValidLinkages, 1);
    // A short sentence judged after it is not limited to the long one's rules.
    CSentence shortOne("send me new mail", dict);
    EXPECT_EQ(shortOne.Parse(o.p), 0);
    ASSERT_GE(shortOne.numLinkagesPostProcessed, 1);
}

TEST(RuleFixtureFiles, AMissingRuleFileIsAnError)
{
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("fixture.dict"), PackGrammarFile(fixture::FixtureText("fixture.dict")));
    testsupport::WriteFile(dir.file("fixture-nouns.words"), PackGrammarFile(fixture::FixtureText("fixture-nouns.words")));
    std::string many;
    for (int i = 0; i < 600; ++i)
        many += "L" + std::to_string(i) + ": x\n";
    testsupport::WriteFile(dir.file("many.rules"), PackGrammarFile(many));
    fixture::ScopedCurrentDir cd(dir.path());
    EXPECT_THROW(OpenKnowledge("fixture.dict", "absent.rules"), ParserLimitException);
    EXPECT_THROW(OpenKnowledge("fixture.dict", "many.rules"), ParserLimitException);
    EXPECT_NE(LastGrammarErrorText().find("512"), std::string::npos);
}

std::vector<std::string> g_notFoundMessages;
void RecordNotFound(const char* message) { g_notFoundMessages.push_back(message); }

// A rule file that cannot be opened or read leaves the dictionary that would
// have made the post-processor unloaded; the failure never leaves its
// constructor. Rows in order: a failed load leaves no post-processor behind
// for the good rule file of the last row.
TEST(RuleFixtureFiles, ABadRuleFileLeavesTheDictionaryUnloaded)
{
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("fixture.dict"), PackGrammarFile(fixture::FixtureText("fixture.dict")));
    testsupport::WriteFile(dir.file("fixture-nouns.words"), PackGrammarFile(fixture::FixtureText("fixture-nouns.words")));
    const std::string rules = PackGrammarFile(fixture::FixtureText("fixture.rules"));
    testsupport::WriteFile(dir.file("good.rules"), rules);
    testsupport::WriteFile(dir.file("truncated.rules"), rules.substr(0, rules.size() / 2));
    testsupport::WriteFile(dir.file("corrupt.rules"), rules.substr(0, 7) + std::string(200, '\x5a'));
    std::string many;
    for (int i = 0; i < 600; ++i)
        many += "L" + std::to_string(i) + ": x\n";
    testsupport::WriteFile(dir.file("many.rules"), PackGrammarFile(many));
    std::filesystem::create_directory(dir.file("folder.rules"));

    struct Case {
        const char* rules;
        bool loads;
        bool notFoundShown;
    } cases[] = {
        {"absent.rules", false, true},
        {"folder.rules", false, true},
        {"truncated.rules", false, false},
        {"corrupt.rules", false, false},
        {"many.rules", false, false},
        {"good.rules", true, false},
    };
    const std::string words = dir.file("fixture.dict");
    SetGrammarNotFoundHandler(RecordNotFound);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rules);
        g_notFoundMessages.clear();
        ClearLastGrammarError();
        std::unique_ptr<CGrammarDictionary> d;
        EXPECT_NO_THROW(d.reset(new CGrammarDictionary(words.c_str(), dir.file(c.rules).c_str(), nullptr, 0, nullptr)));
        ASSERT_TRUE(d);
        EXPECT_EQ(d->IsLoaded(), c.loads);
        EXPECT_EQ(d->postProcessor != nullptr, c.loads);
        const std::vector<std::string> shown =
            c.notFoundShown ? std::vector<std::string>{"Dictionary Test Failed: \"Not found, please reinstall.\" (57005)\r\n"}
                            : std::vector<std::string>{};
        EXPECT_EQ(g_notFoundMessages, shown);
        if (!c.loads) {
            EXPECT_NE(LastGrammarErrorText().find(c.rules), std::string::npos) << LastGrammarErrorText();
        }
    }
    SetGrammarNotFoundHandler(nullptr);
}

} // namespace
