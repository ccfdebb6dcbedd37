#include "word_linkage.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

std::string Lower(const char* s)
{
    std::string t(s ? s : "");
    for (char& c : t)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

bool BeginsWith(const std::string& text, const char* prefix)
{
    size_t n = std::strlen(prefix);
    return text.size() >= n && text.compare(0, n, prefix) == 0;
}

bool BeginsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

const char* Safe(const char* s) { return s ? s : ""; }

} // namespace

int FindLinkage(const WordLinkageList* links, const char* label, const char* const* words, int wordCount,
                int matchLeft, int matchRight, int& side, int& wordIndex, int start, int end)
{
    int size = links ? static_cast<int>(links->size()) : 0;
    if (end == -1 || end > size)
        end = size;
    if (start < 0)
        start = 0;
    if (start > end)
        return -1;
    for (int i = start; i < end; ++i) {
        const WordLinkage& rec = (*links)[static_cast<size_t>(i)];
        if (!BeginsWith(rec.m_strLinkLabel, Safe(label)))
            continue;
        std::string left = Lower(rec.m_strLeftWord);
        std::string right = Lower(rec.m_strRightWord);
        for (int j = 0; j < wordCount; ++j) {
            const char* w = Safe(words[j]);
            if (matchLeft && BeginsWith(left, w)) {
                side = 1;
                wordIndex = j;
                return i;
            }
            if (matchRight && BeginsWith(right, w)) {
                side = 0;
                wordIndex = j;
                return i;
            }
        }
    }
    return -1;
}

int CompareLinkWord(const WordLinkage* link, const char* const* words, int wordCount, int matchLeft,
                    int matchRight)
{
    if (!link)
        return -1;
    std::string left = Lower(link->m_strLeftWord);
    std::string right = Lower(link->m_strRightWord);
    for (int j = 0; j < wordCount; ++j) {
        std::string w = Safe(words[j]);
        // The record word cut to the list word's length, against as much of the
        // list word: either text beginning with the other is a match.
        if (matchLeft && w.compare(0, left.substr(0, w.size()).size(), left.substr(0, w.size())) == 0)
            return j;
        if (matchRight && w.compare(0, right.substr(0, w.size()).size(), right.substr(0, w.size())) == 0)
            return j;
    }
    return -1;
}

int FindChainedLinkage(const WordLinkageList* links, int wordPosition, const char* label, int side)
{
    if (!links)
        return -1;
    for (size_t i = 0; i < links->size(); ++i) {
        const WordLinkage& rec = (*links)[i];
        int taken = side == 0 ? rec.m_nRightIndex : rec.m_nLeftIndex;
        if (taken == wordPosition && BeginsWith(rec.m_strLinkLabel, Safe(label)))
            return static_cast<int>(i);
    }
    return -1;
}

CString BuildParameter(const CString& word)
{
    if (word.GetLength() == 0)
        return word;
    char first = word[0];
    if (first != '(' && first != '"')
        return word;
    char close = first == '(' ? ')' : '"';
    CString rest = word.Mid(1);
    int at = rest.Find(close);
    return at < 0 ? rest : rest.Left(at);
}

CString PrintLinkages(const WordLinkageList* links)
{
    CString out;
    if (links) {
        for (const WordLinkage& rec : *links) {
            if (std::strcmp(rec.m_strLeftWord, "/////") == 0 || std::strcmp(rec.m_strRightWord, "/////") == 0)
                continue;
            CString line;
            line.Format("%s (%d) <- %s -> (%d) %s\r\n", static_cast<const char*>(rec.m_strLeftWord),
                        static_cast<int>(rec.m_nLeftIndex), static_cast<const char*>(rec.m_strLinkLabel),
                        static_cast<int>(rec.m_nRightIndex), static_cast<const char*>(rec.m_strRightWord));
            out += line;
        }
    }
    out += "\r\n";
    return out;
}

int FindFullLink(const WordLinkageList* links, const char* label, const char* const* leftWords, int leftCount,
                 const char* const* rightWords, int rightCount, int wantIndex)
{
    int size = links ? static_cast<int>(links->size()) : 0;
    int position = 0;
    int found = -1;
    for (;;) {
        int side = 0, wordIndex = 0;
        position = FindLinkage(links, label, leftWords, leftCount, 1, 0, side, wordIndex, position, size);
        if (position == -1)
            break;
        if (CompareLinkWord(&(*links)[static_cast<size_t>(position)], rightWords, rightCount, 0, 1) != -1) {
            found = position;
            break;
        }
        ++position;
    }
    if (wantIndex)
        return found;
    return found != -1 ? 1 : 0;
}
