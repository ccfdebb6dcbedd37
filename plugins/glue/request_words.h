// Word tests shared by the plug-ins' request readings: the object of the
// trigger word, list-word prefixes, the other end of a link. Portable: only
// the links and strings.
#pragma once

#include "request_reading.h"

namespace requestwords {

template <size_t N>
constexpr int Count(const char* const (&)[N])
{
    return static_cast<int>(N);
}

bool BeginsWith(const CString& text, const char* prefix);
// True when word begins with one of the list's words.
bool BeginsWithAny(const CString& word, const char* const* list, int count);

// The word at the other end of the link from its trigger word: for each row
// whose trigger word begins with (or, without its ".v"-style suffix, equals)
// one end of the link, the other end, lower-cased; the last such row decides.
// Empty when no row's trigger is on the link or the index is out of range.
// asWritten, when given, receives the same word in its own letter case.
CString ObjectOfTrigger(const RequestRow* rows, int rowCount, int linkIndex, const WordLinkageList* links,
                        CString* asWritten = nullptr);

// The other word of the link from the one a FindLinkage matched (side 1: the left word matched).
CString OtherWord(const WordLinkage& link, int side);

// A recipient name from the first "Ox" link with "to": stripped, a trailing ".n" removed.
CString RecipientName(const WordLinkageList* links);

// The link at index, or null when out of range.
const WordLinkage* LinkAt(const WordLinkageList* links, int index);

} // namespace requestwords
