// Parsing whole sentences with the fixture grammar.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/count/parse_set.h"
#include "parser/render/render.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"
#include "word_linkage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using fixture::Dictionary;

namespace {

struct Parsed {
    Parsed(const char* text, ParseOptions* o) : sentence(text, &Dictionary()), options(o)
    {
        valid = sentence.Parse(o);
    }
    CSentence sentence;
    ParseOptions* options;
    int valid;
};

std::string Links(CSentence& s, ParseOptions* o, int index = 0)
{
    CLinkage l(index, &s, o);
    std::unique_ptr<std::vector<WordLinkage>> links(l.GetWordLinkages());
    return std::string(PrintLinkages(links.get()));
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
}

TEST(Sentence, ParsesARequestWithoutNulls)
{
    fixture::Options o;
    Parsed p("send me new mail", o.p);
    ASSERT_TRUE(p.sentence.IsValid());
    EXPECT_EQ(p.sentence.numWords, 6);
    EXPECT_GE(p.valid, 1);
    EXPECT_EQ(p.sentence.nullCount, 0);
    std::string text = Links(p.sentence, o.p);
    EXPECT_NE(text.find("send.v (1) <- Y -> (2) me"), std::string::npos) << text;
    EXPECT_NE(text.find("send.v (1) <- O"), std::string::npos) << text;
    EXPECT_NE(text.find("new (3) <- A -> (4) mail.n"), std::string::npos) << text;
}
