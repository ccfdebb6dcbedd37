#include "pattern/wildcard.h"

#include <cstring>

int MatchWildcard(const char* pattern, const char* text)
{
    if (!pattern) pattern = "";
    if (!text) text = "";
    const size_t m = std::strlen(pattern), n = std::strlen(text);
    // A star is one forced character followed by an open-ended run. Only the
    // run of the latest star ever needs to grow on a mismatch: giving an earlier
    // star more text can never help a later part that already failed to fit.
    size_t i = 0, j = 0;
    size_t resumeI = 0, resumeJ = 0;
    bool haveStar = false;
    while (j < n) {
        if (i < m && pattern[i] == '*') {
            ++i;
            ++j;  // the star's own character
            haveStar = true;
            resumeI = i;
            resumeJ = j;
        } else if (i < m && (pattern[i] == '?' || pattern[i] == text[j])) {
            ++i;
            ++j;
        } else if (haveStar) {
            i = resumeI;
            j = ++resumeJ;  // the latest star takes one more character
        } else {
            return 0;
        }
    }
    // Text used up: any pattern left would need at least one more character.
    return i == m ? 1 : 0;
}

int MatchWildcard(CString& pattern, CString& text)
{
    return MatchWildcard(static_cast<LPCTSTR>(pattern), static_cast<LPCTSTR>(text));
}
