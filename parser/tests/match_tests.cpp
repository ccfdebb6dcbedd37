// Connector matching, link labels, disjuncts from expressions and the word tables.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/count/match.h"
#include "parser/disjunct/build_disjuncts.h"
#include "parser/prepare/prepare.h"
#include "parser/sentence/sampling.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using fixture::Dictionary;

namespace {

Connector* Make(ParserArena& arena, const char* text, int priority = 0, int limit = kUnlimitedLength)
{
    Connector* c = NewConnector(arena, text, false);
    c->priority = static_cast<uint8_t>(priority);
    c->lengthLimit = static_cast<uint8_t>(limit);
    return c;
}

std::string Describe(const Disjunct* d)
{
    std::string out;
    for (const Connector* c = d->left; c; c = c->next)
        out += std::string(c->multi ? "@" : "") + c->text + "-";
    out += "|";
    for (const Connector* c = d->right; c; c = c->next)
        out += std::string(c->multi ? "@" : "") + c->text + "+";
    if (d->cost)
        out += "$" + std::to_string(d->cost);
    return out;
}

std::vector<std::string> DisjunctsOf(const char* expression, int costLimit = 10000)
{
    auto dict = fixture::LoadDictionaryText(std::string("w: ") + expression + ";\n");
    EXPECT_TRUE(dict->IsLoaded()) << expression;
    std::vector<std::string> out;
    if (!dict->IsLoaded())
        return out;
    ParserArena arena;
    XNode x{"w", dict->Lookup("w").front()->exp, nullptr};
    Disjunct* list = DisjunctsOfWordEntry(arena, &x, costLimit);
    for (const Disjunct* d = list; d; d = d->next)
        out.push_back(Describe(d));
    return out;
}

using V = std::vector<std::string>;

} // namespace

TEST(MatchConnectors, SubscriptsStarsAndCarets)
{
    struct Case {
        const char* a;
        const char* b;
        bool match;
    } cases[] = {
        {"S", "S", true},     {"S", "Ss", true},   {"Ss", "Sp", false},  {"S*", "Sp", true},
        {"Ss", "S*", true},   {"S*b", "Ssb", true}, {"S*b", "Ssc", false}, {"S^", "Ss", false},
        {"S^", "S*", true},   {"S^", "S", true},   {"S^", "S^", false},  {"SI", "S", false},
        {"S", "SIs", false},  {"A", "AN", false},  {"MV", "M", false},   {"O*n", "Osn", true},
        {"O*n", "Opp", false}, {"O*n", "Oxp", false}, {"O*n", "Ox", true}, {"ID", "IDB", false},
        {"Osn", "O", true},
    };
    ParserArena arena;
    for (const Case& c : cases) {
        EXPECT_EQ(MatchConnectors(Make(arena, c.a), Make(arena, c.b)), c.match) << c.a << " " << c.b;
        EXPECT_EQ(MatchConnectors(Make(arena, c.b), Make(arena, c.a)), c.match) << c.b << " " << c.a;
    }
    Connector* a = Make(arena, "S");
    Connector* b = Make(arena, "S");
    b->label = 3;
    EXPECT_FALSE(MatchConnectors(a, b)) << "different labels never match";
}

TEST(MatchConnectors, Priorities)
{
    struct Case {
        const char* a;
        int p;
        const char* b;
        int q;
        bool match;
    } cases[] = {
        {"Sa", 1, "Sb", 2, false}, {"Sa", 1, "S^", 2, true}, {"S*", 1, "Sb", 2, true},
        {"Sab", 1, "Sa", 2, true}, {"Sa", 1, "Sab", 2, true}, {"Sa", 2, "Sb", 1, false},
        {"S^", 2, "Sb", 1, true},  {"Sa", 2, "S*", 1, true},  {"Sa", 0, "Sa", 1, false},
        {"Sa", 1, "Sa", 1, false}, {"Sa", 2, "Sa", 2, false},
    };
    ParserArena arena;
    for (const Case& c : cases)
        EXPECT_EQ(MatchConnectors(Make(arena, c.a, c.p), Make(arena, c.b, c.q)), c.match)
            << c.a << "/" << c.p << " " << c.b << "/" << c.q;
}

TEST(MatchConnectors, LengthLimits)
{
    CSentence s("send me new mail", &Dictionary());
    fixture::Options o;
    s.BuildConjunctionFlags();
    s.BuildDeletable(o.p);
    s.BuildEffectiveDistance(o.p);
    ParserArena arena;
    Connector* two = Make(arena, "A", 0, 2);
    Connector* any = Make(arena, "A");
    EXPECT_TRUE(MatchConnectors(two, any, 0, 2, &s));
    EXPECT_FALSE(MatchConnectors(two, any, 0, 3, &s));
    EXPECT_FALSE(MatchConnectors(any, two, 1, 4, &s));
    EXPECT_TRUE(MatchConnectors(any, any, 0, 5, &s));
    EXPECT_THROW(MatchConnectors(any, any, 3, 3, &s), ParserLimitException);
}

TEST(LinkLabel, MergesTheTwoConnectorTexts)
{
    CSentence s("send me", &Dictionary());
    struct Case {
        const char* a;
        const char* b;
        const char* label;
    } cases[] = {
        {"Ss", "S*b", "Ssb"}, {"O", "O", "O"},     {"Os", "Op", "O^"}, {"O*n", "O", "O*n"},
        {"O", "O*n", "O*n"},  {"S*", "Ss", "Ss"},  {"Ss", "S*", "Ss"}, {"Jx", "J", "Jx"},
        {"O*n", "Osn", "Osn"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(LinkLabel(&s, c.a, c.b), c.label) << c.a << " " << c.b;
    const char* base = "S*b";
    EXPECT_EQ(LinkLabel(&s, "S", base), base) << "only stars differ: the base itself";
}

TEST(Disjuncts, FromExpressions)
{
    struct Case {
        const char* expression;
        V disjuncts;
    } cases[] = {
        {"(A- & B+) | C+", {"A-|B+", "|C+"}},
        {"C+ | (A- & B+)", {"|C+", "A-|B+"}},
        {"A- & B- & C+ & D+", {"B-A-|D+C+"}}, // the first connector links farthest
        {"{A+} & B-", {"B-|", "B-|A+"}},
        {"[[A- & (B+ | C+)]]", {"A-|C+$2", "A-|B+$2"}},
        {"@A- & [B+]", {"@A-|B+$1"}},
        {"{A+} | A+", {"|A+", "|", "|A+"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisjunctsOf(c.expression), c.disjuncts) << c.expression;
    EXPECT_EQ(DisjunctsOf("[[A- & (B+ | C+)]] | D+", 1), V{"|D+"}) << "over the cost limit";
}

TEST(Disjuncts, DuplicatesGoAndTheLowerCostStays)
{
    struct Case {
        const char* expression;
        V disjuncts;
    } cases[] = {
        {"{A+} | A+", {"|A+", "|"}},
        {"[A+] | A+", {"|A+"}},
        {"A+ | [A+]", {"|A+"}},
        {"(A+ & B-) | (B- & A+) | A-", {"A-|", "B-|A+"}},
    };
    for (const Case& c : cases) {
        auto dict = fixture::LoadDictionaryText(std::string("w: ") + c.expression + ";\n");
        ASSERT_TRUE(dict->IsLoaded());
        ParserArena arena;
        XNode x{"w", dict->Lookup("w").front()->exp, nullptr};
        V got;
        for (const Disjunct* d = EliminateDuplicateDisjuncts(DisjunctsOfWordEntry(arena, &x, 10000)); d; d = d->next)
            got.push_back(Describe(d));
        std::sort(got.begin(), got.end());
        V want = c.disjuncts;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << c.expression;
    }
}

TEST(WordTables, DeletableAndEffectiveDistance)
{
    fixture::Options o;
    {
        CSentence s("send me new mail", &Dictionary());
        s.BuildConjunctionFlags();
        s.BuildDeletable(o.p);
        s.BuildEffectiveDistance(o.p);
        for (int i = -1; i < s.numWords; ++i)
            for (int j = 0; j <= s.numWords; ++j)
                EXPECT_EQ(s.Deletable(i, j), j == i + 1) << i << "," << j;
        for (int i = 0; i < s.numWords; ++i)
            for (int j = i + 1; j <= s.numWords; ++j)
                EXPECT_EQ(s.EffectiveDistance(i, j), j - i);
    }
    {
        // START mail , files and folders END
        CSentence s("mail , files and folders", &Dictionary());
        s.BuildConjunctionFlags();
        EXPECT_TRUE(s.HasConjunction());
        EXPECT_EQ(s.isConjunction[4], 1);
        s.BuildDeletable(o.p);
        s.BuildEffectiveDistance(o.p);
        EXPECT_TRUE(s.Deletable(1, 5)) << "between mail and folders: , files and";
        EXPECT_TRUE(s.Deletable(2, 5)) << "from the comma to the word after the conjunction";
        EXPECT_FALSE(s.Deletable(3, 5)) << "a single word between is never a conjunction range";
        EXPECT_FALSE(s.Deletable(0, 2));
        EXPECT_EQ(s.EffectiveDistance(1, 5), 1);
        EXPECT_EQ(s.EffectiveDistance(2, 4), 1) << "any pair with a conjunction";
    }
    {
        CSentence s("send not only mail and files", &Dictionary());
        CSentence t("send only mail and", &Dictionary());
        for (CSentence* x : {&s, &t}) {
            x->BuildConjunctionFlags();
            x->BuildDeletable(o.p);
        }
        EXPECT_TRUE(s.Deletable(1, 4)) << "not only";
        EXPECT_FALSE(t.Deletable(1, 3)) << "only alone";
    }
    {
        o.p->minNullCount = 1;
        CSentence s("mail and files", &Dictionary());
        s.BuildConjunctionFlags();
        s.BuildDeletable(o.p);
        s.BuildEffectiveDistance(o.p);
        EXPECT_TRUE(s.Deletable(-1, 4));
        EXPECT_EQ(s.EffectiveDistance(0, 4), 4) << "with null links every distance is plain";
        o.p->minNullCount = 0;
    }
}

TEST(WordTables, LongSentencesDoNotWrap)
{
    fixture::Options o;
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "mail ";
    CSentence s(text.c_str(), &Dictionary());
    ASSERT_TRUE(s.IsValid());
    s.BuildConjunctionFlags();
    s.BuildDeletable(o.p);
    s.BuildEffectiveDistance(o.p);
    EXPECT_EQ(s.EffectiveDistance(0, 150), 150);
    EXPECT_EQ(s.EffectiveDistance(0, s.numWords - 1), s.numWords - 1);
    EXPECT_EQ(s.EffectiveDistance(10, 5), -5);
}

TEST(Disjuncts, KeepMarked)
{
    ParserArena arena;
    Disjunct* list = nullptr;
    for (int i = 0; i < 4; ++i) {
        Disjunct* d = arena.New<Disjunct>();
        *d = Disjunct{list, static_cast<int16_t>(i), static_cast<uint8_t>(i % 2), "w", nullptr, nullptr};
        list = d;
    }
    // list: 3 2 1 0; marked: 3 and 1; kept in reverse order
    Disjunct* kept = KeepMarkedDisjuncts(list);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->cost, 1);
    ASSERT_NE(kept->next, nullptr);
    EXPECT_EQ(kept->next->cost, 3);
    EXPECT_EQ(kept->next->next, nullptr);
    EXPECT_EQ(KeepMarkedDisjuncts(nullptr), nullptr);
}
