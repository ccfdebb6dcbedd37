// Grammar containers: packed files, plug-in blocks with escapes, the search path.
#include "fixture_grammar.h"
#include "parser/core/parser_error.h"
#include "parser/dict/container.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::pair<int, int>> g_calls;
const char* g_reply = "XY";

const char* EscapeCallback(int row, int code)
{
    g_calls.push_back({row, code});
    return g_reply;
}

std::string Block(const std::string& body)
{
    std::string block;
    EXPECT_TRUE(PackDictionaryBlock(body, "KVXSDK-signature", block));
    return block;
}

std::string Read(const std::string& block, GrammarEscapeCallback cb)
{
    return ReadGrammarContainer(0, block.data(), static_cast<unsigned>(block.size()), cb)->Text();
}

std::string g_notFoundMessage;
void NotFoundHandler(const char* message) { g_notFoundMessage = message; }

} // namespace

TEST(GrammarContainer, BlockEscapes)
{
    struct Case {
        const char* body;
        const char* reply;
        bool callback;
        const char* text;
        int row; // the row asked for, or 1 when no call is expected
    } cases[] = {
        {"a^1^b", "XY", true, "aXYb", -1},
        {"a^1^b", "XY", false, "a^1^b", 1},
        {"a^2^b", "", true, "ab", -2},
        {"a^2^b", nullptr, true, "ab", -2},
        // No number from 1: no row is asked, the escape reads as nothing.
        {"a^0^b", "Z", true, "ab", 1},
        {"a^x^b", "Z", true, "ab", 1},
        {"a^-3^b", "Z", true, "ab", 1},
        {"a^^b", "Z", true, "ab", 1},
        {"a^99999999999^b", "Z", true, "ab", 1},
        {"a^12", "Q", true, "aQ", -12}, // cut by the end: the digits read so far
        {"plain", "Q", true, "plain", 1},
    };
    for (const Case& c : cases) {
        g_calls.clear();
        g_reply = c.reply;
        EXPECT_EQ(Read(Block(c.body), c.callback ? EscapeCallback : nullptr), c.text) << c.body;
        if (c.row == 1) {
            EXPECT_TRUE(g_calls.empty()) << c.body;
        } else {
            ASSERT_EQ(g_calls.size(), 1u) << c.body;
            EXPECT_EQ(g_calls[0], std::make_pair(c.row, 11)) << c.body;
        }
    }
}

TEST(GrammarContainer, UnreadableBlocks)
{
    EXPECT_THROW(ReadGrammarContainer(0, nullptr, 0, nullptr), ParserLimitException);
    EXPECT_THROW(ReadGrammarContainer(0, "", 0, nullptr), ParserLimitException);
    // No "^" in the inverted header within 512 bytes.
    std::string noHeader = PackGrammarFile(std::string(600, 'a'));
    EXPECT_THROW(Read(noHeader, nullptr), ParserLimitException);
    // A header that ends at the last allowed byte still reads.
    std::string longSig(512 - 9 - 1, 's');
    std::string block;
    ASSERT_TRUE(PackDictionaryBlock("body", longSig, block));
    EXPECT_EQ(Read(block, nullptr), "body");
    EXPECT_FALSE(PackDictionaryBlock("body", longSig + "s", block));
    EXPECT_FALSE(PackDictionaryBlock("body", "has^caret", block));
    // An escape whose digits run past 512 bytes.
    std::string longEscape = "a^" + std::string(600, '1') + "^b";
    EXPECT_THROW(Read(Block(longEscape), EscapeCallback), ParserLimitException);
    // A damaged compressed stream.
    std::string damaged = Block(std::string(2000, 'x'));
    damaged.resize(damaged.size() / 2);
    EXPECT_THROW(Read(damaged, nullptr), ParserLimitException);
}

TEST(GrammarContainer, DictionaryFromABlock)
{
    g_reply = "hello";
    std::string block = Block("^3^: A+;\nworld: A-;\n");
    ClearLastGrammarError();
    CGrammarDictionary d("", nullptr, block.data(), static_cast<unsigned>(block.size()), EscapeCallback);
    ASSERT_TRUE(d.IsLoaded()) << LastGrammarErrorText();
    EXPECT_FALSE(d.Lookup("hello").empty());
    EXPECT_FALSE(d.Lookup("world").empty());
    EXPECT_STREQ(d.name, "");

    CGrammarDictionary bad("", nullptr, block.data(), 3, EscapeCallback);
    EXPECT_FALSE(bad.IsLoaded());
}

TEST(GrammarContainer, FilesAndTheSearchPath)
{
    testsupport::TempDir dir;
    fixture::ScopedCurrentDir cd(dir.path());
    std::filesystem::create_directory("one");
    std::filesystem::create_directory("two");
    testsupport::WriteFile("two/w.txt", PackGrammarFile("from two"));
    testsupport::WriteFile("one/v.txt", PackGrammarFile("from one"));
    testsupport::WriteFile("two/v.txt", PackGrammarFile("v from two"));
    testsupport::WriteFile("here.txt", "plain text reads as it stands");

    EXPECT_EQ(OpenGrammarFile("one:two/dict", "w.txt", 0)->Text(), "from two");
    EXPECT_EQ(OpenGrammarFile("one:two/dict", "v.txt", 0)->Text(), "from one");
    EXPECT_EQ(OpenGrammarFile("one:two/dict", "here.txt", 0)->Text(), "plain text reads as it stands");
    EXPECT_EQ(OpenGrammarFile(nullptr, "here.txt", 0)->Text(), "plain text reads as it stands");
    // A Windows path names its folder up to the last backslash.
    EXPECT_EQ(OpenGrammarFile("one:two\\dict", "w.txt", 0)->Text(), "from two");
#ifdef _WIN32
    // A drive letter's colon does not split the folder in two.
    const std::string two = std::filesystem::absolute("two").string();
    ASSERT_EQ(two[1], ':');
    EXPECT_EQ(OpenGrammarFile((two + "\\dict").c_str(), "w.txt", 0)->Text(), "from two");
    EXPECT_EQ(OpenGrammarFile(("one:" + two + "\\dict").c_str(), "w.txt", 0)->Text(), "from two");
#endif

    SetGrammarNotFoundHandler(NotFoundHandler);
    g_notFoundMessage.clear();
    EXPECT_THROW(OpenGrammarFile("dict-without-slash", "w.txt", 0), ParserLimitException);
    EXPECT_EQ(g_notFoundMessage, "Dictionary Test Failed: \"Not found, please reinstall.\" (57005)\r\n");
    EXPECT_THROW(OpenGrammarFile("one:two/dict", "none.txt", 0), ParserLimitException);
    SetGrammarNotFoundHandler(nullptr);
}
