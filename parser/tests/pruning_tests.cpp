// Pruning keeps every linkage: the same sentences parsed with and without the
// pruning passes give the same counts and the same linkages, at every null count.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/count/match.h"
#include "parser/count/parse_set.h"
#include "parser/prepare/prepare.h"
#include "parser/prepare/pruning.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using fixture::Dictionary;

namespace {

struct Outcome {
    int found = 0;
    int valid = 0;
    int nullCount = 0;
    int disjuncts = 0;
    std::multiset<std::string> linkages;
};

// Every linkage of the parse, as word positions, connector texts and the
// dictionary words chosen: comparable between two parses.
Outcome ParseOnce(const std::string& text, CGrammarDictionary& dict, ParseOptions* o, bool prune)
{
    if (!prune) {
        SetPruningPass(nullptr);
        SetExpressionPruning(nullptr);
    }
    Outcome out;
    CSentence s(text.c_str(), &dict);
    try {
        out.valid = s.Parse(o);
    } catch (...) {
        RestoreDefaultPruning();
        throw;
    }
    RestoreDefaultPruning();
    out.found = s.numLinkagesFound;
    out.nullCount = s.nullCount;
    for (int w = 0; w < s.numWords; ++w)
        out.disjuncts += CountDisjuncts(s.words[w].d);
    if (!s.parseInfo || out.found > o->linkageLimit)
        return out;
    ParseInfo& pi = *s.parseInfo;
    for (int i = 0; i < out.found; ++i) {
        pi.ExtractLinks(i, s.sampler);
        std::vector<std::string> links;
        for (int j = 0; j < pi.N_links; ++j) {
            std::ostringstream l;
            l << pi.links[j].l << '-' << pi.links[j].r << ':' << pi.links[j].lc->text << '/' << pi.links[j].rc->text;
            links.push_back(l.str());
        }
        std::sort(links.begin(), links.end());
        std::ostringstream d;
        for (int w = 0; w < s.numWords; ++w) {
            const Disjunct* c = pi.chosenDisjuncts[static_cast<size_t>(w)];
            d << (c ? c->text : "-") << ' ';
        }
        for (const std::string& l : links)
            d << l << ' ';
        out.linkages.insert(d.str());
    }
    return out;
}

void ExpectSameWithAndWithoutPruning(const std::string& text, CGrammarDictionary& dict, ParseOptions* o)
{
    Outcome pruned = ParseOnce(text, dict, o, true);
    Outcome plain = ParseOnce(text, dict, o, false);
    EXPECT_EQ(pruned.found, plain.found) << text;
    EXPECT_EQ(pruned.valid, plain.valid) << text;
    EXPECT_EQ(pruned.nullCount, plain.nullCount) << text;
    EXPECT_EQ(pruned.linkages, plain.linkages) << text;
    EXPECT_LE(pruned.disjuncts, plain.disjuncts) << text;
}

const char* const kLines[] = {
    "send me new mail",
    "Send me my new mail",
    "show the mail from john in the inbox folder",
    "please run the batch file right now.",
    "what is the weather in Paris?",
    "list 3 files",
    "delete all old messages in my inbox folder now",
    "tell him about the report today",
    "find my old letter in the big folder",
    "send the report to bob@example.com as soon as possible",
    "show me the new unread messages from alice about the weather in paris today",
    "mail mail mail send send",
    "the the the new",
    "send send me him new old",
    "xyzzy plugh the the foo bar send send to to from from in mail mail the a an all",
};

// Lines with conjunctions: their and-lists are made from the disjuncts that
// pruning leaves, so the equivalent ways of finding one reading can differ in
// number; the readings themselves (the sublinkages) must not be lost.
const char* const kConjunctionLines[] = {
    "send mail and files",
    "send me new mail and files",
    "send mail, files or messages",
    "the mail and the files are new",
    "show either the mail or the files",
    "show neither the mail nor the files",
    "show not only the mail but the files",
    "show both the mail and the files",
    "send the mail to john and alice",
    "show me the mail and send him the files",
    "the mail or the files is new",
    "send mail, files",
    "and and or the mail",
};

// Every valid linkage read as its sublinkages: word positions and labels.
std::set<std::string> Readings(const std::string& text, ParseOptions* o, bool prune, int& valid)
{
    if (!prune) {
        SetPruningPass(nullptr);
        SetExpressionPruning(nullptr);
    }
    std::set<std::string> out;
    CSentence s(text.c_str(), &Dictionary());
    valid = s.Parse(o);
    RestoreDefaultPruning();
    for (int k = 0; k < s.numLinkagesPostProcessed; ++k) {
        CLinkage l(k, &s, o);
        if (l.GetInfo().violations)
            continue;
        std::string reading;
        for (int i = 0; i < l.GetNumSublinkages(); ++i) {
            l.SetCurrent(i);
            std::set<std::string> links;
            for (int j = 0; j < l.GetNumLinks(); ++j)
                if (l.GetLinkLeftWord(j) >= 0)
                    links.insert(std::to_string(l.GetLinkLeftWord(j)) + "-" + l.GetLinkLabel(j) + "-" +
                                 std::to_string(l.GetLinkRightWord(j)));
            for (const std::string& x : links)
                reading += x + " ";
            reading += "| ";
        }
        out.insert(reading);
    }
    return out;
}

TEST(Pruning, KeepsTheReadingsOfConjunctions)
{
    fixture::Options o;
    for (int k = 0; k <= 1; ++k) {
        o.p->minNullCount = o.p->maxNullCount = k;
        for (const char* line : kConjunctionLines) {
            int prunedValid = 0, plainValid = 0;
            std::set<std::string> pruned = Readings(line, o.p, true, prunedValid);
            std::set<std::string> plain = Readings(line, o.p, false, plainValid);
            EXPECT_EQ(prunedValid > 0, plainValid > 0) << line;
            for (const std::string& r : pruned)
                EXPECT_TRUE(plain.count(r)) << line << ": " << r;
            // The best reading of the unpruned parse is there with pruning too.
            if (!plain.empty())
                EXPECT_FALSE(pruned.empty()) << line;
        }
    }
}

TEST(Pruning, KeepsEveryLinkageAtEveryNullCount)
{
    fixture::Options o;
    for (int k = 0; k <= 3; ++k) {
        o.p->minNullCount = o.p->maxNullCount = k;
        for (const char* line : kLines)
            ExpectSameWithAndWithoutPruning(line, Dictionary(), o.p);
    }
    // The program's settings: null counts 0 to 6, the first with a valid linkage.
    fixture::Options defaults;
    for (const char* line : kLines)
        ExpectSameWithAndWithoutPruning(line, Dictionary(), defaults.p);
}

TEST(Pruning, KeepsEveryLinkageOfRandomLines)
{
    const char* vocabulary[] = {"send", "show", "me", "him", "the", "a", "all", "new", "old", "mail",
                                "messages", "files", "john", "paris", "to", "from", "in", "about",
                                "now", "today", "please", "is", "are", "what", "it", "3", ".", "?"};
    std::mt19937 random(20261210);
    fixture::Options o;
    fixture::Options nulls;
    nulls.p->minNullCount = nulls.p->maxNullCount = 1;
    for (int round = 0; round < 300; ++round) {
        int length = 2 + static_cast<int>(random() % 9);
        std::string line;
        for (int i = 0; i < length; ++i)
            line += std::string(i ? " " : "") + vocabulary[random() % (sizeof vocabulary / sizeof *vocabulary)];
        ExpectSameWithAndWithoutPruning(line, Dictionary(), o.p);
        ExpectSameWithAndWithoutPruning(line, Dictionary(), nulls.p);
        if (HasFailure())
            return;
    }
}

TEST(Pruning, DensePowerPruningWithShortConnectors)
{
    // A grammar of multi connectors and short links, where reach and depth matter.
    std::unique_ptr<CGrammarDictionary> dict = fixture::LoadDictionaryText(
        "a: @X+ & {@Y+};\n"
        "b: (@X- & {Ya+}) | (X- & @Z+);\n"
        "c: ({@Z-} & Y*-) | [@Y-];\n"
        "d: {X-} & {@Z-} & Y+ & {@X+};\n"
        "e: X- & Y-;\n"
        "CCoupledWord: X+ | X-;\n");
    ASSERT_TRUE(dict->IsLoaded()) << LastGrammarErrorText();
    fixture::Options o;
    o.p->shortLength = 2;
    for (int k = 0; k <= 1; ++k) {
        o.p->minNullCount = o.p->maxNullCount = k;
        fixture::ForEachSentence({"a", "b", "c", "d", "e"}, 5, [&](const std::string& text) {
            ExpectSameWithAndWithoutPruning(text, *dict, o.p);
            return !HasFailure();
        });
        if (HasFailure())
            return;
    }
}

TEST(Pruning, RemovesWhatCannotLink)
{
    fixture::Options o;
    o.p->maxNullCount = 0;
    // "please" (E+) needs a verb to its right; at the end of the line it cannot link.
    CSentence s("send me new mail please", &Dictionary());
    s.Parse(o.p);
    EXPECT_EQ(s.words[5].d, nullptr) << "every disjunct of the last \"please\" is gone";
    EXPECT_EQ(s.numLinkagesFound, 0);

    // Expression pruning alone already drops an entry whose connector has no
    // partner on its side: "it" as a subject needs an S- to its right.
    CSentence t("send it", &Dictionary());
    int before = 0;
    for (XNode* x = t.words[2].x; x; x = x->next)
        ++before;
    PruneExpressions(&t);
    ASSERT_NE(t.words[2].x, nullptr);
    EXPECT_LT(CountConnectors(t.words[2].x->exp), 5);
    EXPECT_EQ(before, 1);
}

TEST(Pruning, PruneMatchTakesSingularAndPluralSubjects)
{
    auto make = [](const char* text) {
        Connector c{};
        c.label = -1;
        c.lengthLimit = kUnlimitedLength;
        c.text = text;
        return c;
    };
    struct Case {
        const char* a;
        const char* b;
        bool prune, count;
    } cases[] = {
        {"Ss", "Sp", true, false}, {"Sp", "Ss", true, false}, {"SIs", "SIp", true, false},
        {"Ss", "Ss", true, true},  {"Os", "Op", false, false}, {"SXs", "SXp", false, false},
        {"S", "Sp", true, true},   {"Ss", "SIp", false, false}, {"Sx", "Sp", false, false},
    };
    for (const Case& c : cases) {
        Connector a = make(c.a), b = make(c.b);
        EXPECT_EQ(PruneMatch(&a, &b, 0, 0, nullptr), c.prune) << c.a << " " << c.b;
        EXPECT_EQ(MatchConnectors(&a, &b), c.count) << c.a << " " << c.b;
    }
}

} // namespace

TEST(Pruning, PrunesForTheNullCountBeingTried)
{
    // With the program's settings (null counts 0 to 6) a line that links
    // without null words is pruned as hard as one parsed for none alone, and
    // harder than one parsed with words left out.
    fixture::Options defaults, none, some;
    none.p->maxNullCount = 0;
    some.p->minNullCount = some.p->maxNullCount = 1;
    const char* const lines[] = {
        "show the mail from john in the inbox folder",
        "delete all old messages in my inbox folder now",
        "send me new mail and files",
    };
    for (const char* line : lines) {
        Outcome d = ParseOnce(line, Dictionary(), defaults.p, true);
        Outcome z = ParseOnce(line, Dictionary(), none.p, true);
        Outcome o = ParseOnce(line, Dictionary(), some.p, true);
        ASSERT_GT(d.valid, 0) << line;
        EXPECT_EQ(d.nullCount, 0) << line;
        EXPECT_EQ(d.disjuncts, z.disjuncts) << line;
        EXPECT_LT(d.disjuncts, o.disjuncts) << line;
    }
    // A line that needs a null word is prepared again with words left out and
    // finds what the unpruned parse finds.
    Outcome pruned = ParseOnce("send me new mail please", Dictionary(), defaults.p, true);
    Outcome plain = ParseOnce("send me new mail please", Dictionary(), defaults.p, false);
    EXPECT_GT(pruned.nullCount, 0);
    EXPECT_EQ(pruned.nullCount, plain.nullCount);
    EXPECT_EQ(pruned.linkages, plain.linkages);
}
