// The stored form of a history list: its items, newest first, joined by "|".
// A "|" or "\" inside an item is written with a "\" before it, so a request
// holding "|" comes back as one item; a lone "\" before any other character
// reads as itself, so values stored before the escape read as they were.
#pragma once

#include "fx/fx.h"

#include <vector>

CString JoinHistory(const std::vector<CString>& items);
// At most maxItems pieces, empty pieces skipped.
std::vector<CString> SplitHistory(const CString& stored, int maxItems);
// A registry value's bytes as text, whatever its stored size or terminator.
CString HistoryValueText(const unsigned char* data, size_t size);
