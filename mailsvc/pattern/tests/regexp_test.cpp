// Regular expressions: syntax, searching, groups and replacement templates.
#include "pattern/regexp.h"
#include "pattern/stringex.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string S(const CString& s) { return std::string(static_cast<LPCTSTR>(s), s.GetLength()); }

TEST(RegularExpression, SyntaxErrors)
{
    const char* bad[] = {
        "a**", "a+*", "a?+", "(", "(a", "a)", ")", "[a", "[z-a]", "a\\", "*a", "+", "?",
        "(a*)*", "()+", "(^)*", "|*", "(a|)*", "[]",
    };
    for (const char* p : bad) {
        CRegularExpression re;
        EXPECT_EQ(re.Compile(p), nullptr) << p;
        EXPECT_EQ(re.Find("anything"), -1) << p;
    }
    const char* good[] = {
        "a", "a*", "(a)(b)", "[]a]", "[-a]", "[a-]", "[^a-z]", "a|b", "(a|b)*c", "\\*", "^$", "",
        "(a)?", "()", "(a|)", "a?", "x*y+z?", "(((((((((a)))))))))", "[a-a]",
    };
    for (const char* p : good) {
        CRegularExpression re;
        EXPECT_NE(re.Compile(p), nullptr) << p;
    }
}

TEST(RegularExpression, GroupLimit)
{
    CRegularExpression re;
    EXPECT_NE(re.Compile("(a)(b)(c)(d)(e)(f)(g)(h)(i)"), nullptr);
    EXPECT_EQ(re.Compile("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)"), nullptr);
}

TEST(RegularExpression, FindTable)
{
    struct Case {
        const char* pattern;
        const char* text;
        int pos;
        int length;
    } cases[] = {
        {"a|b", "xb", 1, 1},
        {"^b", "ab", -1, 0},
        {"^a", "ab", 0, 1},
        {"b$", "abb", 2, 1},
        {"b$", "ab\n", -1, 0},
        {"a.c", "xxabcx", 2, 3},
        {"a.c", "ac", -1, 0},
        {"[0-9]+", "ab123c", 2, 3},
        {"[^0-9]+", "12ab3", 2, 2},
        {"[]x]", "a]", 1, 1},
        {"[a-]", "x-", 1, 1},
        {"x*", "abc", 0, 0},
        {"ab*c", "xac", 1, 2},
        {"ab*c", "xabbbc", 1, 5},
        {"ab+c", "xac abc", 4, 3},
        {"colou?r", "my color", 3, 5},
        {"(ab)*c", "ababc", 0, 5},
        {"(ab)+c", "xc abababc", 3, 7},
        {"(a|b)*c", "zzabbac", 2, 5},
        {"a.*b", "aXbYb", 0, 5},        // greedy
        {"\\.", "a.b", 1, 1},
        {"\\*x", "a*x", 1, 2},
        {"abc", "ab", -1, 0},
        {"", "abc", 0, 0},
        {"$", "abc", 3, 0},
        {"[a-c][x-z]", "cz", 0, 2},
        {"(foo|foobar)baz", "foobarbaz", 0, 9},  // backtracks into the second alternative
        {"a[bc]*d", "abcbcbd", 0, 7},
    };
    for (const Case& c : cases) {
        CRegularExpression re;
        ASSERT_NE(re.Compile(c.pattern), nullptr) << c.pattern;
        EXPECT_EQ(re.Find(c.text), c.pos) << c.pattern << " in " << c.text;
        if (c.pos >= 0) {
            EXPECT_EQ(re.GetMatchLength(), c.length) << c.pattern << " in " << c.text;
        }
    }
}

TEST(RegularExpression, ReplaceTemplates)
{
    struct Case {
        const char* pattern;
        const char* text;
        const char* tmpl;
        const char* expect;
    } cases[] = {
        {"(a)(b)", "ab", "\\2\\1", "ba"},
        {"b+", "abbbc", "[&]", "[bbb]"},
        {"b+", "abbbc", "[\\0]", "[bbb]"},
        {"b+", "abbbc", "\\&\\\\", "&\\"},
        {"b+", "abbbc", "\\x", "\\x"},
        {"(a)|(b)", "b", "<\\1|\\2>", "<|b>"},   // a group that took no part gives nothing
        {"(a)+", "aaa", "\\1", "a"},             // a repeated group reports its last turn
        {"(.)(.)(.)(.)(.)(.)(.)(.)(.)", "123456789", "\\9\\5\\1", "951"},
        {"x", "x", "tail\\", "tail\\"},
    };
    for (const Case& c : cases) {
        CRegularExpression re;
        ASSERT_NE(re.Compile(c.pattern), nullptr) << c.pattern;
        ASSERT_GE(re.Find(c.text), 0) << c.pattern;
        auto r = re.GetReplaceString(c.tmpl);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(S(*r), c.expect) << c.pattern << " / " << c.tmpl;
    }
    CRegularExpression re;
    re.Compile("z");
    EXPECT_EQ(re.Find("abc"), -1);
    EXPECT_FALSE(re.GetReplaceString("&").has_value());
}

TEST(RegularExpression, ReplacementOutlivesTheSearchedText)
{
    CRegularExpression re;
    re.Compile("w(or)ld");
    {
        std::string text = "hello world";
        ASSERT_EQ(re.Find(text.c_str()), 6);
        text.assign(text.size(), '#');
    }
    EXPECT_EQ(S(*re.GetReplaceString("<\\1&>")), "<orworld>");
}

TEST(ReplaceRegExp, Table)
{
    struct Case {
        const char* text;
        const char* pattern;
        const char* tmpl;
        const char* expect;
        int count;
    } cases[] = {
        {"ab", "(a)(b)", "\\2\\1", "ba", 1},
        {"a1b22c333", "[0-9]+", "#", "a#b#c#", 3},
        {"aaa", "a", "aa", "aaaaaa", 3},          // never rescans what it inserted
        {"aaa", "^a", "b", "baa", 1},             // "^" is the start of the text only
        {"abc", "x*", "-", "-a-b-c-", 4},         // empty matches move on
        {"abc", "$", "!", "abc!", 1},
        {"", "x*", "-", "-", 1},
        {"abc", "z", "-", "abc", 0},
        {"abc", "a**", "-", "abc", 0},            // syntax error: nothing replaced
        {"one two  three", " +", " ", "one two three", 2},
        {"<b>x</b>", "<[^>]*>", "", "x", 2},
    };
    for (const Case& c : cases) {
        CStringEx s = c.text;
        EXPECT_EQ(s.ReplaceRegExp(c.pattern, c.tmpl), c.count) << c.pattern << " on " << c.text;
        EXPECT_EQ(S(s), c.expect) << c.pattern << " on " << c.text;
    }
}

TEST(RegularExpression, PathologicalPatternsEndWithoutMatch)
{
    // Exponential backtracking and deep recursion are cut off and count as no
    // match instead of hanging or overflowing the stack.
    std::string text(40, 'a');
    text += "cb";  // holds the required "b", so the matcher really runs
    CRegularExpression re;
    ASSERT_NE(re.Compile("(a|aa)*b"), nullptr);
    EXPECT_EQ(re.Find(text.c_str()), -1);

    std::string longText(200000, 'a');
    longText += 'b';
    ASSERT_NE(re.Compile("(a)*b"), nullptr);
    int at = re.Find(longText.c_str());
    EXPECT_TRUE(at == -1 || at == 0) << at;
    ASSERT_NE(re.Compile("(a|b)*"), nullptr);
    at = re.Find(longText.c_str());
    EXPECT_TRUE(at == -1 || at == 0) << at;
}

TEST(RegularExpression, OversizedProgramIsRejected)
{
    std::string pattern;
    for (int i = 0; i < 600; ++i) pattern += "[\x01-\x7f]";
    CRegularExpression re;
    EXPECT_EQ(re.Compile(pattern.c_str()), nullptr);
    EXPECT_NE(re.Compile("[\x01-\x7f]"), nullptr);
    EXPECT_EQ(re.Find("\x7f"), 0);
}

} // namespace
