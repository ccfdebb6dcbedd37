// Wildcard matching of sender addresses.
#include "pattern/wildcard.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

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

// The definition itself, by exhaustive recursion: "*" takes one or more
// characters, "?" exactly one.
bool reference(const char* p, const char* t)
{
    if (!*p) return !*t;
    if (*p == '*') {
        for (const char* rest = t + 1; *t && rest <= t + std::char_traits<char>::length(t); ++rest)
            if (reference(p + 1, rest)) return true;
        return false;
    }
    if (!*t) return false;
    return (*p == '?' || *p == *t) && reference(p + 1, t + 1);
}

TEST(MatchWildcard, AgreesWithTheDefinitionOnRandomCases)
{
    std::mt19937 rng(1210);
    const char patternChars[] = "ab*?";
    const char textChars[] = "ab";
    for (int n = 0; n < 20000; ++n) {
        std::string p, t;
        for (int i = std::uniform_int_distribution<int>(0, 6)(rng); i > 0; --i) p += patternChars[rng() % 4];
        for (int i = std::uniform_int_distribution<int>(0, 8)(rng); i > 0; --i) t += textChars[rng() % 2];
        CString cp = p.c_str(), ct = t.c_str();
        ASSERT_EQ(MatchWildcard(cp, ct), reference(p.c_str(), t.c_str()) ? 1 : 0) << "'" << p << "' '" << t << "'";
    }
}

} // namespace
