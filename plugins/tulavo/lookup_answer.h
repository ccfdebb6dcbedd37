// The text of an address-book answer: a heading, then each matching entry of
// each book that loaded, in the form the request asked for. Portable.
#pragma once

#include "addrbook/address_book.h"
#include "lookup_reading.h"

#include <vector>

// The answer's heading and entries; false when no book gave a matching
// entry. Books that did not load are left out (null).
bool BuildLookupText(const LookupReading& reading, const std::vector<AddressBook*>& books, CString& text);

// The answer when no book knows the name, followed by the request's log line.
CString NotFoundText(const CString& name, const CString& logLine);
