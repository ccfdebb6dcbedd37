// String extensions: positional edits, searches, fields and tokens.
#include "pattern/stringex.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string S(const CString& s) { return std::string(static_cast<LPCTSTR>(s), s.GetLength()); }

TEST(CStringEx, PositionalEdits)
{
    struct Case {
        const char* what;
        const char* start;
        std::function<void(CStringEx&)> edit;
        const char* expect;
    } cases[] = {
        {"insert pads", "ab", [](CStringEx& s) { s.InsertAt(5, "x"); }, "ab   x"},
        {"insert at end", "ab", [](CStringEx& s) { s.InsertAt(2, "cd"); }, "abcd"},
        {"insert inside", "ad", [](CStringEx& s) { s.InsertAt(1, "bc"); }, "abcd"},
        {"insert char", "ac", [](CStringEx& s) { s.InsertAt(1, 'b'); }, "abc"},
        {"insert empty", "ab", [](CStringEx& s) { s.InsertAt(9, ""); }, "ab"},
        {"insert null", "ab", [](CStringEx& s) { s.InsertAt(0, static_cast<const char*>(nullptr)); }, "ab"},
        {"delete", "abcdef", [](CStringEx& s) { s.DeleteAt(1, 2); }, "adef"},
        {"delete negative count", "abcdef", [](CStringEx& s) { s.DeleteAt(2, -1); }, "ab"},
        {"delete too many", "abcdef", [](CStringEx& s) { s.DeleteAt(4, 99); }, "abcd"},
        {"delete at end", "abc", [](CStringEx& s) { s.DeleteAt(3, 1); }, "abc"},
        {"delete beyond", "abc", [](CStringEx& s) { s.DeleteAt(7, 1); }, "abc"},
        {"replace", "hello world", [](CStringEx& s) { s.ReplaceAt(6, 5, "there"); }, "hello there"},
        {"replace longer", "a-c", [](CStringEx& s) { s.ReplaceAt(1, 1, "bbb"); }, "abbbc"},
    };
    for (auto& c : cases) {
        CStringEx s = c.start;
        c.edit(s);
        EXPECT_EQ(S(s), c.expect) << c.what;
    }
}

TEST(CStringEx, Searches)
{
    const CStringEx s = "Hello World, hello";
    struct Case {
        const char* what;
        int got;
        int expect;
    } cases[] = {
        {"FindFrom char", s.FindFrom('o', 5), 7},
        {"FindFrom char none", s.FindFrom('z', 0), -1},
        {"FindFrom char past end", s.FindFrom('o', 50), -1},
        {"FindFrom text", s.FindFrom("ello", 2), 14},
        {"FindFrom text at start", s.FindFrom("Hello", 0), 0},
        {"FindFrom text none", s.FindFrom("xyz", 0), -1},
        {"FindAfter", s.FindAfter("World", 0), 11},
        {"FindAfter none", s.FindAfter("World", 7), -1},
        {"FindNoCase char", s.FindNoCase('h', 1), 13},
        {"FindNoCase char both", s.FindNoCase('W', 0), 6},
        {"FindNoCase text", s.FindNoCase("HELLO", 1), 13},
        {"ReverseFindFrom last", s.ReverseFindFrom("llo", -1), 15},
        {"ReverseFindFrom before", s.ReverseFindFrom("llo", 14), 2},
        {"ReverseFindFrom beyond", s.ReverseFindFrom("llo", 500), 15},
        {"ReverseFindFrom none", s.ReverseFindFrom("xyz", -1), -1},
        {"ReverseFindFrom empty text", s.ReverseFindFrom("", -1), -1},
        {"ReverseFindFrom empty string", CStringEx().ReverseFindFrom("a", -1), -1},
        {"ReverseFindNoCase text", s.ReverseFindNoCase("HELLO", -1), 13},
        {"ReverseFindNoCase text before", s.ReverseFindNoCase("HELLO", 12), 0},
        {"ReverseFindNoCase char", s.ReverseFindNoCase('W', -1), 6},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expect) << c.what;
}

TEST(CStringEx, FindReplace)
{
    struct Case {
        const char* text;
        const char* find;
        const char* rep;
        BOOL all;
        bool noCase;
        const char* expect;
        int count;
    } cases[] = {
        {"aaa", "a", "aa", TRUE, false, "aaaaaa", 3},
        {"aaa", "a", "aa", FALSE, false, "aaaa", 1},
        {"a-b-c", "-", "", TRUE, false, "abc", 2},
        {"xAx", "a", "b", TRUE, false, "xAx", 0},
        {"xAxa", "a", "b", TRUE, true, "xbxb", 2},
        {"abc", "", "z", TRUE, false, "abc", 0},  // an empty find text finds nothing
        {"abab", "ab", "ba", TRUE, false, "baba", 2},
    };
    for (const Case& c : cases) {
        CStringEx s = c.text;
        int n = c.noCase ? s.FindReplaceNoCase(c.find, c.rep, c.all) : s.FindReplace(c.find, c.rep, c.all);
        EXPECT_EQ(n, c.count) << c.text << " " << c.find;
        EXPECT_EQ(S(s), c.expect) << c.text << " " << c.find;
    }
}

TEST(CStringEx, Fields)
{
    const CStringEx two = "one,two";
    EXPECT_EQ(S(two.GetField(",", 0)), "one");
    EXPECT_EQ(S(two.GetField(',', 1)), "two");
    EXPECT_EQ(S(two.GetField(",", 5)), "");
    EXPECT_EQ(S(two.GetField(",", -1)), "");
    EXPECT_EQ(two.GetFieldCount(","), 2);
    EXPECT_EQ(two.GetFieldCount(';'), 1);
    EXPECT_EQ(CStringEx().GetFieldCount(","), 1);
    const CStringEx multi = "a::b::::c";
    EXPECT_EQ(multi.GetFieldCount("::"), 4);
    EXPECT_EQ(S(multi.GetField("::", 2)), "");
    EXPECT_EQ(S(multi.GetField("::", 3)), "c");
    EXPECT_EQ(S(multi.GetField("", 0)), "a::b::::c");  // no delimiter: one field
    EXPECT_EQ(S(CStringEx("a,").GetField(",", 1)), "");
}

TEST(CStringEx, DelimitedFields)
{
    const CStringEx html = "<b>one</b> and <b>two</b>";
    EXPECT_EQ(S(html.GetDelimitedField("<b>", "</b>", 0)), "one");
    EXPECT_EQ(S(html.GetDelimitedField("<b>", "</b>", 1)), "two");
    EXPECT_EQ(S(html.GetDelimitedField("<b>", "</b>", 2)), "");
    EXPECT_EQ(S(html.GetDelimitedField("<i>", "</i>", 0)), "");
    EXPECT_EQ(S(CStringEx("<b>open").GetDelimitedField("<b>", "</b>", 0)), "");
    // A short opening text with a long closing text: no field is skipped.
    const CStringEx par = "(a)))))(b)))))";
    EXPECT_EQ(S(par.GetDelimitedField("(", ")))))", 1)), "b");
    const CStringEx tight = "(a)(b)";
    EXPECT_EQ(S(tight.GetDelimitedField("(", ")))", 1)), "");
    EXPECT_EQ(S(CStringEx("[x]").GetDelimitedField("", "]", 0)), "");
}

TEST(CStringEx, Tokens)
{
    const CStringEx s = "a=1&b=2&c";
    int pos = 0;
    EXPECT_EQ(S(s.GetNextToken(pos, "&", FALSE)), "a=1");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(S(s.GetNextToken(pos, "&", FALSE)), "b=2");
    EXPECT_EQ(pos, 8);
    int keep = pos;
    EXPECT_EQ(S(s.GetNextToken(pos, "&", FALSE)), "");
    EXPECT_EQ(pos, -1);
    pos = keep;
    EXPECT_EQ(S(s.GetNextToken(pos, "&", TRUE)), "c");
    EXPECT_EQ(pos, s.GetLength() + 1);
    EXPECT_EQ(S(s.GetNextToken(pos, "&", TRUE)), "");
    EXPECT_EQ(pos, -1);
    pos = 0;
    EXPECT_EQ(S(CStringEx("abc").GetNextToken(pos, "", TRUE)), "abc");  // empty delimiter: no endless empty tokens
    // A loop over tokens always ends.
    int count = 0;
    pos = 0;
    const CStringEx many = "x&&y&";
    while (pos >= 0 && pos < many.GetLength() && count < 100) {
        many.GetNextToken(pos, "&", TRUE);
        ++count;
    }
    EXPECT_EQ(count, 3);
}

} // namespace
