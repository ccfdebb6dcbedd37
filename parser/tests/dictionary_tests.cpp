// The dictionary language: entries, expressions, lookups, idioms, word files,
// reserved entries and syntax errors.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/dict/connector_set.h"
#include "parser/disjunct/connector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using fixture::LoadDictionaryText;

namespace {

const Exp* ExpOf(const CGrammarDictionary& d, const char* word)
{
    for (const DictNode* n : d.Lookup(word))
        if (std::string(n->string) == word)
            return n->exp;
    return nullptr;
}

// An expression written back in the dictionary's own notation, fully bracketed.
std::string Show(const Exp* e)
{
    if (!e)
        return "<none>";
    std::string out;
    if (e->type == CONNECTOR_TYPE) {
        out = std::string(e->multi ? "@" : "") + e->label + e->dir;
    } else {
        out = e->type == AND_TYPE ? "AND(" : "OR(";
        for (const ExpCell* c = e->list; c; c = c->next)
            out += Show(c->exp) + (c->next ? "," : "");
        out += ")";
    }
    if (e->cost)
        out += "$" + std::to_string(e->cost);
    return out;
}

std::vector<std::string> Names(const std::vector<const DictNode*>& nodes)
{
    std::vector<std::string> out;
    for (const DictNode* n : nodes)
        out.push_back(n->string);
    return out;
}

} // namespace

TEST(Dictionary, EntriesAndExpressions)
{
    auto d = LoadDictionaryText("a b: A+ & {B-};\n"
                                "c: a;\n"
                                "e: A+ | B- & D+;\n"
                                "f: [[A+]];\n"
                                "g: ();\n"
                                "h: @A- & [];\n"
                                "i: [A+ & B-] | (C+);\n"
                                "\"50%\" \"(x)\": A+; % a comment; k: B+;\n"
                                "k2: C*x^+;\n");
    ASSERT_TRUE(d->IsLoaded()) << LastGrammarErrorText();
    EXPECT_EQ(Show(ExpOf(*d, "a")), "AND(A+,OR(AND(),B-))");
    EXPECT_EQ(ExpOf(*d, "a"), ExpOf(*d, "b")) << "one expression for every name of an entry";
    const Exp* c = ExpOf(*d, "c");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->type, AND_TYPE);
    EXPECT_EQ(c->list->exp, ExpOf(*d, "a"));
    EXPECT_EQ(c->list->next, nullptr);
    EXPECT_EQ(Show(ExpOf(*d, "e")), "OR(A+,AND(B-,D+))");
    EXPECT_EQ(Show(ExpOf(*d, "f")), "A+$2");
    EXPECT_EQ(Show(ExpOf(*d, "g")), "AND()");
    EXPECT_EQ(Show(ExpOf(*d, "h")), "AND(@A-,AND()$1)") << "[] is the empty expression at cost 1";
    EXPECT_EQ(Show(ExpOf(*d, "i")), "OR(AND(A+,B-)$1,C+)");
    EXPECT_NE(ExpOf(*d, "50%"), nullptr) << "a % inside quotes is kept";
    EXPECT_NE(ExpOf(*d, "(x)"), nullptr) << "special characters inside quotes are kept";
    EXPECT_EQ(ExpOf(*d, "k"), nullptr) << "a % outside quotes comments out the line";
    EXPECT_EQ(Show(ExpOf(*d, "k2")), "C*x^+");
    EXPECT_EQ(d->numEntries, 11);
}

TEST(Dictionary, SyntaxErrorsMakeItUnusable)
{
    struct Case {
        const char* text;
        int code;
    } cases[] = {
        {"a: A+ & ;", 2},           // expression expected
        {"a: IDX+;", 2},            // ID labels are reserved for idioms
        {"a: x+;", 2},              // a connector begins with an upper-case letter
        {"a: @+;", 2},              // empty label
        {"a: A-B+;", 2},            // bad character in a connector
        {"a: b;", 2},               // unknown word as a term
        {"a A+;", 2},               // no ':' before the expression
        {"a: (A+;", 2},             // missing ')'
        {"a: {A+;", 2},             // missing '}'
        {"a: {};", 2},              // '}' cannot begin a term
        {"a: A+", 2},               // unfinished entry at the end of the text
        {"a: A+;\nb", 2},           // names without an expression at the end
        {"\"a b\": A+;", 2},        // white space inside quotes
        {"\"ab: A+;", 2},           // quotes never closed
        {": A+;", 2},               // no names
        {"a: A+ | ;", 2},
        {"/missing.words: A+;", 3}, // word file not found
    };
    for (const Case& c : cases) {
        ClearLastGrammarError();
        auto d = LoadDictionaryText(c.text);
        EXPECT_FALSE(d->IsLoaded()) << c.text;
        EXPECT_EQ(d->stringSet, nullptr) << c.text;
        EXPECT_EQ(LastGrammarErrorCode(), c.code) << c.text;
        EXPECT_EQ(LastGrammarErrorText().rfind("GRAMMAR: ", 0), 0u) << c.text;
        EXPECT_TRUE(d->Lookup("a").empty());
    }
    // A token over 399 characters.
    auto d = LoadDictionaryText(std::string(400, 'w') + ": A+;");
    EXPECT_FALSE(d->IsLoaded());
    auto ok = LoadDictionaryText(std::string(399, 'w') + ": A+;");
    EXPECT_TRUE(ok->IsLoaded());
}

TEST(Dictionary, NestingIsBounded)
{
    auto alternatives = [](int n) {
        std::string text = "a: A0+";
        for (int i = 1; i < n; ++i)
            text += " | A" + std::to_string(i) + "+";
        return text + ";\n";
    };
    EXPECT_TRUE(LoadDictionaryText(alternatives(900))->IsLoaded());
    EXPECT_FALSE(LoadDictionaryText(alternatives(1500))->IsLoaded());
    EXPECT_FALSE(LoadDictionaryText("a: " + std::string(1500, '(') + "A+" + std::string(1500, ')') + ";")->IsLoaded());
    EXPECT_FALSE(LoadDictionaryText("a: " + std::string(100000, '{') + "A+;")->IsLoaded());
    // Words used as terms add up: each entry below nests the one before.
    std::string chain = "w0: A+;\n";
    for (int i = 1; i < 1200; ++i)
        chain += "w" + std::to_string(i) + ": w" + std::to_string(i - 1) + " & B" + std::to_string(i) + "+;\n";
    ClearLastGrammarError();
    EXPECT_FALSE(LoadDictionaryText(chain)->IsLoaded());
    EXPECT_NE(LastGrammarErrorText().find("nested too deeply"), std::string::npos) << LastGrammarErrorText();
}

TEST(Dictionary, MissingContainer)
{
    ClearLastGrammarError();
    testsupport::TempDir dir;
    fixture::ScopedCurrentDir cd(dir.path());
    CGrammarDictionary d("no-such.dict", nullptr, nullptr, 0, nullptr);
    EXPECT_FALSE(d.IsLoaded());
    EXPECT_EQ(LastGrammarErrorCode(), 1);
}

TEST(Dictionary, LookupAndSubscripts)
{
    auto d = LoadDictionaryText("dog.n: A+;\n"
                                "dog.v: B+;\n"
                                "cat.1: C+;\n"
                                "bird: D+;\n"
                                "bird.n: E+;\n"     // already found through bird: dropped
                                "bird: F+;\n"       // defined twice: dropped
                                "x.I3: G+;\n"       // reserved idiom form: dropped
                                "star*: H+;\n");
    ASSERT_TRUE(d->IsLoaded()) << LastGrammarErrorText();
    EXPECT_EQ(Names(d->Lookup("dog")), (std::vector<std::string>{"dog.n", "dog.v"}));
    EXPECT_EQ(Names(d->Lookup("dog.v")), (std::vector<std::string>{"dog.v"}));
    EXPECT_TRUE(d->Lookup("dog.x").empty());
    EXPECT_TRUE(d->Lookup("cat").empty()) << "cat.1 has no subscript";
    EXPECT_EQ(Names(d->Lookup("cat.1")), (std::vector<std::string>{"cat.1"}));
    EXPECT_EQ(Names(d->Lookup("bird")), (std::vector<std::string>{"bird"}));
    EXPECT_EQ(Show(ExpOf(*d, "bird")), "D+");
    EXPECT_EQ(Names(d->Lookup("bird.n")), (std::vector<std::string>{"bird"}));
    EXPECT_TRUE(d->Lookup("x").empty());
    EXPECT_EQ(Names(d->Lookup("star*")), (std::vector<std::string>{"star*"}));
    EXPECT_TRUE(d->Lookup("starling").empty()) << "the subscript rule still asks for equal words";
    EXPECT_TRUE(d->Lookup("do").empty());
    EXPECT_EQ(d->numEntries, 5);
    EXPECT_EQ(DictTreeCompare("a", "a.b"), -1);
    EXPECT_LT(DictTreeCompare("a.b", "ab"), 0);
    EXPECT_EQ(DictTreeCompare("same", "same"), 0);
}

TEST(Dictionary, Idioms)
{
    auto d = LoadDictionaryText("a: A+;\n"
                                "a_lot: MV-;\n"
                                "in_a_lot: X-;\n"
                                "_bad a_ b__c d.e_f: Z+;\n");
    ASSERT_TRUE(d->IsLoaded()) << LastGrammarErrorText();
    EXPECT_EQ(Show(ExpOf(*d, "a.I1")), "ID+");
    EXPECT_EQ(Show(ExpOf(*d, "lot.I1")), "AND(ID-,MV-)");
    // The second idiom gets the next numbers for the words it shares.
    EXPECT_EQ(Show(ExpOf(*d, "lot.I2")), "AND(IDB-,X-)");
    EXPECT_EQ(Show(ExpOf(*d, "a.I2")), "AND(IDC-,IDB+)");
    EXPECT_EQ(Show(ExpOf(*d, "in.I1")), "IDC+");
    EXPECT_EQ(Names(d->Lookup("a")), (std::vector<std::string>{"a", "a.I1", "a.I2"}));
    EXPECT_EQ(Names(d->AbridgedLookup("a")), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(d->Lookup("_bad").empty());
    EXPECT_TRUE(d->Lookup("bad").empty());
    EXPECT_TRUE(d->Lookup("b").empty());
    EXPECT_TRUE(d->Lookup("f").empty());
    EXPECT_TRUE(IsIdiomWord("lot.I12"));
    EXPECT_FALSE(IsIdiomWord("lot.I"));
    EXPECT_FALSE(IsIdiomWord("lot.I1x"));
}

TEST(Dictionary, IdiomLabelsCountLikeAnOdometer)
{
    std::string text;
    for (int i = 0; i < 27; ++i)
        text += "w" + std::to_string(i) + "_end: A+;\n";
    auto d = LoadDictionaryText(text);
    ASSERT_TRUE(d->IsLoaded()) << LastGrammarErrorText();
    auto label = [&](int i) {
        const Exp* e = ExpOf(*d, ("w" + std::to_string(i) + ".I1").c_str());
        return e ? std::string(e->label) : std::string("<none>");
    };
    EXPECT_EQ(label(0), "ID");
    EXPECT_EQ(label(1), "IDB");
    EXPECT_EQ(label(2), "IDC");
    EXPECT_EQ(label(25), "IDZ");
    EXPECT_EQ(label(26), "IDBA");
}

TEST(Dictionary, WordFilesAndReservedEntries)
{
    CGrammarDictionary& d = fixture::Dictionary();
    ASSERT_TRUE(d.IsLoaded()) << LastGrammarErrorText();
    std::vector<const DictNode*> found = d.Lookup("calendar");
    ASSERT_EQ(found.size(), 1u);
    ASSERT_NE(found[0]->file, nullptr);
    EXPECT_STREQ(found[0]->file->name, "fixture-nouns.words");
    ASSERT_NE(d.wordFiles, nullptr);
    EXPECT_STREQ(d.wordFiles->name, "fixture-nouns.words");
    EXPECT_FALSE(d.Lookup("song").empty());
    EXPECT_EQ(d.maxCost, 1000);
    EXPECT_EQ(d.useUnknownWord, 1);
}

TEST(Dictionary, ConnectorSets)
{
    auto d = LoadDictionaryText("CCoupledWord: RW+ | O- | S*s+;\nCSentenceParser: A+;\nx: A+;\n");
    ASSERT_TRUE(d->IsLoaded());
    ParserArena arena;
    struct Case {
        const char* text;
        char dir;
        bool unlimited;
    } cases[] = {
        {"RW", '+', true}, {"RW", '-', false}, {"O", '-', true},   {"Os", '-', true},
        {"O", '+', false}, {"S", '+', true},   {"Sps", '+', true}, {"Spp", '+', false},
        {"SI", '+', false}, {"R", '+', false},
    };
    for (const Case& c : cases) {
        Connector* con = NewConnector(arena, c.text, false);
        EXPECT_EQ(d->IsUnlimited(con, c.dir), c.unlimited) << c.text << c.dir;
    }
    Connector* a = NewConnector(arena, "A", false);
    EXPECT_TRUE(d->IsAndable(a, '+'));
    EXPECT_FALSE(d->IsAndable(a, '-'));
    auto none = LoadDictionaryText("x: A+;\n");
    EXPECT_TRUE(none->IsAndable(a, '-')) << "without the entry every connector may";
    EXPECT_FALSE(none->HasUnlimitedSet());
}
