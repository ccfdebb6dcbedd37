// Text in a message's declared character set turned into UTF-8, the core's one
// internal encoding. The common Western sets are built in; the platform may add a
// decoder for the others (code pages on Win32).
#pragma once
#include <string>
#include <string_view>

namespace vxmail {

// Returns true and fills utf8 when the charset is known (to the core or the platform).
using CharsetDecoder = bool (*)(const std::string& charsetLower, std::string_view bytes, std::string& utf8);
void SetPlatformCharsetDecoder(CharsetDecoder decoder);

// Always produces valid UTF-8: an unknown or wrong charset falls back to UTF-8 when
// the bytes are valid UTF-8, else to windows-1252.
std::string ToUtf8(std::string_view charset, std::string_view bytes);

bool IsValidUtf8(std::string_view bytes);
void AppendUtf8(std::string& out, unsigned codePoint);
std::string AsciiLower(std::string_view s);

} // namespace vxmail
