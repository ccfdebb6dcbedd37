#include "request_words.h"

#include <cctype>
#include <cstring>

namespace requestwords {

namespace {

// A grammar word without its part-of-speech suffix ("send.v" -> "send").
CString Base(const CString& word)
{
    int point = word.Find('.');
    return point <= 0 ? word : word.Left(point);
}

} // namespace

bool BeginsWith(const CString& text, const char* prefix)
{
    int n = static_cast<int>(std::strlen(prefix));
    return text.GetLength() >= n && std::strncmp(text, prefix, static_cast<size_t>(n)) == 0;
}

bool BeginsWithAny(const CString& word, const char* const* list, int count)
{
    for (int i = 0; i < count; ++i)
        if (BeginsWith(word, list[i]))
            return true;
    return false;
}

const WordLinkage* LinkAt(const WordLinkageList* links, int index)
{
    if (!links || index < 0 || index >= static_cast<int>(links->size()))
        return nullptr;
    return &(*links)[static_cast<size_t>(index)];
}

CString ObjectOfTrigger(const RequestRow* rows, int rowCount, int linkIndex, const WordLinkageList* links,
                        CString* asWritten)
{
    const WordLinkage* link = LinkAt(links, linkIndex);
    if (!link)
        return CString();
    CString left = link->m_strLeftWord;
    CString right = link->m_strRightWord;
    left.MakeLower();
    right.MakeLower();
    CString object;
    for (int i = 0; i < rowCount; ++i) {
        CString trigger = rows[i].word;
        // A row written "send" must find the grammar's "send.v" too.
        if ((!left.IsEmpty() && BeginsWith(trigger, left)) || Base(trigger) == Base(left)) {
            object = right;
            if (asWritten)
                *asWritten = link->m_strRightWord;
        }
        if ((!right.IsEmpty() && BeginsWith(trigger, right)) || Base(trigger) == Base(right)) {
            object = left;
            if (asWritten)
                *asWritten = link->m_strLeftWord;
        }
    }
    return object;
}

CString OtherWord(const WordLinkage& link, int side)
{
    return side ? link.m_strRightWord : link.m_strLeftWord;
}

CString RecipientName(const WordLinkageList* links)
{
    static const char* const kRecipientWords[] = {"to"};
    int side = 0, word = 0;
    int at = FindLinkage(links, "Ox", kRecipientWords, 1, 1, 1, side, word, 0, -1);
    if (at < 0)
        return CString();
    CString name = BuildParameter(OtherWord((*links)[static_cast<size_t>(at)], side));
    if (name.GetLength() >= 2 && name.Right(2) == ".n")
        name = name.Left(name.GetLength() - 2);
    return name;
}

} // namespace requestwords
