// The request shape the picture and sound plug-ins share: a verb of sensing
// joined to a place, or a sending verb joined to a media word, with an
// optional name after "to". Portable: it needs only the links.
#pragma once

#include "request_reading.h"

struct WordList {
    const char* const* m_pWords;
    int m_nCount;
};

template <size_t N>
constexpr WordList MakeWordList(const char* const (&words)[N])
{
    return {words, static_cast<int>(N)};
}

// True when an "O" link joins one of senseVerbs to a place, or one of
// sendVerbs to one of mediaWords; recipient gets the name after "to" (an "Ox"
// link), without brackets or quotes and not yet translated, or stays empty.
bool ReadPlaceRequest(const std::vector<WordLinkage>* links, const WordList& senseVerbs, const WordList& sendVerbs,
                      const WordList& mediaWords, CString& recipient);
