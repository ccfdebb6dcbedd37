// Link records: one link of a parsed request sentence, as the action plug-ins
// read it, and the queries with which they find their parameters in a list.
#pragma once
#include "fx/fx.h"

#include <cstdint>
#include <vector>

class WordLinkage {
public:
    // Word positions start at -1 (no word), so a record used before it is filled
    // never reads as a link of the first word.
    WordLinkage() = default;
    WordLinkage(const CString& leftWord, const CString& linkLabel, const CString& rightWord, int32_t leftIndex,
                int32_t rightIndex)
        : m_strLeftWord(leftWord), m_strLinkLabel(linkLabel), m_strRightWord(rightWord), m_nLeftIndex(leftIndex),
          m_nRightIndex(rightIndex)
    {
    }
    WordLinkage(const WordLinkage&) = default;
    WordLinkage& operator=(const WordLinkage&) = default;

    // Ordered and "equal" by the position of the left word only.
    bool operator<(const WordLinkage& other) const { return m_nLeftIndex < other.m_nLeftIndex; }
    bool operator==(const WordLinkage& other) const { return m_nLeftIndex == other.m_nLeftIndex; }

    CString m_strLeftWord;
    CString m_strLinkLabel;
    CString m_strRightWord;
    int32_t m_nLeftIndex = -1;
    int32_t m_nRightIndex = -1;
};

using WordLinkageList = std::vector<WordLinkage>;

// Index of the first record from start up to end (-1: all) whose label begins
// with `label` and whose lower-cased left (or right) word begins with a list word.
int FindLinkage(const WordLinkageList* links, const char* label, const char* const* words, int wordCount,
                int matchLeft, int matchRight, int& side, int& wordIndex, int start, int end);
// Index of the first list word that the record's left (or right) word begins, or
// that begins it; -1 when none.
int CompareLinkWord(const WordLinkage* link, const char* const* words, int wordCount, int matchLeft,
                    int matchRight);
// The first record continuing from a word position (its right index when side is
// 0, else its left index) whose label begins with `label`; -1 when none.
int FindChainedLinkage(const WordLinkageList* links, int wordPosition, const char* label, int side);
// The text inside a leading "(" ... ")" or double quotes; any other word unchanged.
CString BuildParameter(const CString& word);
// One "%s (%d) <- %s -> (%d) %s\r\n" line per record, then "\r\n".
CString PrintLinkages(const WordLinkageList* links);
// A link joining a word of the left list to a word of the right list: its index
// (wantIndex != 0) or 1/0.
int FindFullLink(const WordLinkageList* links, const char* label, const char* const* leftWords, int leftCount,
                 const char* const* rightWords, int rightCount, int wantIndex);
