// Header texts: RFC 2047 encoded words in both directions.
#pragma once
#include <string>
#include <string_view>

namespace vxmail {

// Unfolded header value -> UTF-8. Encoded words are decoded (blanks between two of
// them dropped); raw 8-bit bytes are taken as UTF-8 or else windows-1252.
std::string DecodeHeaderText(std::string_view raw);

// UTF-8 text -> a header value for a field whose name (with ": ") takes `used`
// characters of the first line. Pure ASCII stays readable; anything else becomes
// UTF-8 "B" encoded words of at most 75 characters. Lines are folded with CRLF + blank.
std::string EncodeHeaderText(std::string_view utf8, size_t used);

// One display name for an address field: ASCII names are quoted when needed,
// others become encoded words.
std::string EncodeDisplayName(std::string_view utf8);

} // namespace vxmail
