// Wildcard matching of sender addresses.
#include "pattern/wildcard.h"

#include <gtest/gtest.h>

namespace {

TEST(MatchWildcard, Table)
{
    struct Case {
        const char* pattern;
        const char* text;
        int expect;
    } cases[] = {
        // A star takes one or more characters, never none.
        {"*", "a", 1},
        {"*", "ab", 1},
        {"*", "", 0},
        {"a*", "ab", 1},
        {"a*", "abc", 1},
        {"a*", "a", 0},
        {"*.txt", "x.txt", 1},
        {"*.txt", ".txt", 0},
        {"*.txt", "a.txt.txt", 1},
        // "?" is exactly one character.
        {"a?c", "abc", 1},
        {"a?c", "ac", 0},
        {"a?c", "abbc", 0},
        {"?", "", 0},
        // Every real match is found, however the star must stretch.
        {"*aab", "xaaab", 1},
        {"*ab", "aab", 1},
        {"*abc", "ababc", 1},
        {"*a*b", "xaaaab", 1},
        {"*a*b", "xab", 0},  // the second star needs a character of its own
        {"a*b*c", "axbxxbyc", 1},
        {"a*b*c", "abbc", 0},
        {"*@example.com", "john@example.com", 1},
        {"*@example.com", "@example.com", 0},
        {"*@example.com", "john@example.co", 0},
        {"*@example.com", "john@example.com.evil", 0},
        {"john@*", "john@example.com", 1},
        {"*@*.example.com", "a@mail.example.com", 1},
        // Exact characters, case counts.
        {"abc", "abc", 1},
        {"abc", "ABC", 0},
        {"abc", "abcd", 0},
        {"abcd", "abc", 0},
        {"", "", 1},
        {"", "a", 0},
        {"??*", "ab", 0},
        {"??*", "abc", 1},
    };
    for (const Case& c : cases) {
        CString p = c.pattern, t = c.text;
        EXPECT_EQ(MatchWildcard(p, t), c.expect) << "pattern '" << c.pattern << "' text '" << c.text << "'";
    }
}

TEST(MatchWildcard, LongTextStaysFast)
{
    // Many stars against a long text that nearly matches: no blow-up.
    std::string text(20000, 'a');
    CString t = text.c_str();
    CString p = "*a*a*a*a*a*a*a*a*b";
    EXPECT_EQ(MatchWildcard(p, t), 0);
    text += 'b';
    t = text.c_str();
    EXPECT_EQ(MatchWildcard(p, t), 1);
}

} // namespace
