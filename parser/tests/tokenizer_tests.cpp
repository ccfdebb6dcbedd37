// Cutting sentences into words and choosing the entries of unlisted words.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using fixture::Dictionary;

namespace {

// The words between the walls, or {"<failed>"}.
std::vector<std::string> Words(const std::string& text, CGrammarDictionary& dict = Dictionary())
{
    CSentence s(text.c_str(), &dict);
    if (!s.IsValid())
        return {"<failed>"};
    std::vector<std::string> out;
    int first = dict.leftWallDefined ? 1 : 0;
    int last = s.numWords - (dict.rightWallDefined ? 1 : 0);
    for (int i = first; i < last; ++i)
        out.push_back(s.words[i].text);
    return out;
}

std::vector<std::string> Entries(const char* text, int word)
{
    CSentence s(text, &Dictionary());
    std::vector<std::string> out;
    if (!s.IsValid())
        return out;
    for (XNode* x = s.words[word].x; x; x = x->next)
        out.push_back(x->string);
    return out;
}

using W = std::vector<std::string>;

} // namespace

TEST(Tokenizer, SplitsTokens)
{
    struct Case {
        const char* text;
        W words;
    } cases[] = {
        {"Hello, world", {"Hello", ",", "world"}},
        {"J.R. sent it", {"J.R.", "sent", "it"}},
        {"U.S.A.'s mail", {"U.S.A.", "'s", "mail"}},
        {"$100 today", {"$", "100", "today"}},
        {"``quoted'' now", {"``", "quoted", "''", "now"}},
        {"send it now.", {"send", "it", "now", "."}},
        {"what?!", {"what", "?", "!"}},
        {"50% off", {"50", "%", "off"}},
        {"(two words) \"in quotes\" x", {"(two words)", "\"in quotes\"", "x"}},
        {"(never closed", {"(never closed"}},
        {"  spaced\t\tout \n", {"spaced", "out"}},
        {"a.b.c,,,,,,,,,", {"a.b.c", ",", ",", ",", ",", ",", ",", ",", ",", ","}},
        {"word,,,,,,,,,,", {"<failed>"}}, // a tenth mark fails the sentence
        {"", {"<failed>"}},
        {"   ", {"<failed>"}},
        {"$", {"$"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Words(c.text), c.words) << c.text;
}

TEST(Tokenizer, WordAndSentenceLimits)
{
    EXPECT_EQ(Words(std::string(500, 'x')).size(), 1u);
    EXPECT_EQ(Words(std::string(501, 'x')), W{"<failed>"});
    std::string words;
    for (int i = 0; i < 248; ++i)
        words += "mail ";
    EXPECT_EQ(Words(words).size(), 248u) << "250 words with the walls";
    EXPECT_EQ(Words(words + "mail"), W{"<failed>"}) << "a 251st word";
}

TEST(Tokenizer, CategoriesOfUnlistedWords)
{
    struct Case {
        const char* text;
        int word;
        W entries;
    } cases[] = {
        {"send Alice mail", 2, {"Alice"}},           // capitalised: WORDS-IN-CAPS
        {"list 3 files", 2, {"3"}},                  // NUMBERS
        {"list 3,000.5 files", 2, {"3,000.5"}},
        {"check follow-up", 2, {"follow-up"}},       // WORDS-WITH-HYPH
        {"delete xyzzy", 2, {"xyzzy.n"}},            // UNKNOWN-WORD.n
        {"delete -xyz", 2, {"-xyz.n"}},              // not hyphenated: unknown
        {"show mail", 2, {"mail.n"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Entries(c.text, c.word), c.entries) << c.text;
    std::string longWord(480, 'q');
    W entries = Entries(("delete " + longWord).c_str(), 2);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], std::string(475, 'q') + ".n");
}

TEST(Tokenizer, CapitalisedFirstWord)
{
    // Listed only in lower case: lowered, with the lower-case entries.
    CSentence s("Send me mail", &Dictionary());
    ASSERT_TRUE(s.IsValid());
    EXPECT_EQ(s.words[1].text, "send");
    ASSERT_NE(s.words[1].x, nullptr);
    EXPECT_STREQ(s.words[1].x->string, "send.v");
    // After a ":" word too.
    CSentence t("note: Send me mail", &Dictionary());
    ASSERT_TRUE(t.IsValid());
    EXPECT_EQ(t.words[3].text, "send");
    // Not at the start: a capitalised word stays what it is.
    CSentence u("please Send me mail", &Dictionary());
    EXPECT_EQ(u.words[2].text, "Send");
    EXPECT_STREQ(u.words[2].x->string, "Send");

    // Listed in both forms: both readings.
    auto d = fixture::LoadDictionaryText("bill: A+;\nBill: B+;\n");
    CSentence v("Bill", d.get());
    ASSERT_TRUE(v.IsValid());
    std::vector<std::string> names;
    for (XNode* x = v.words[0].x; x; x = x->next)
        names.push_back(x->string);
    EXPECT_EQ(names, (W{"Bill", "bill"}));
}

TEST(Tokenizer, UnknownWordWithoutACategory)
{
    // No UNKNOWN-WORD: the sentence cannot be built, and parsing it finds nothing.
    auto d = fixture::LoadDictionaryText("send: A+;\nmail: A-;\n");
    fixture::Options o;
    CSentence s("send the mail", d.get());
    EXPECT_FALSE(s.IsValid());
    EXPECT_EQ(s.Parse(o.p), 0);
    CSentence t("Send mail", d.get());
    EXPECT_TRUE(t.IsValid()) << "a capitalised first word listed in lower case is not unknown";
    EXPECT_EQ(t.Parse(o.p), 1);
}
