// Content-Transfer-Encodings of MIME bodies: base64 and quoted-printable.
// Decoders accept damaged input: stray characters are skipped, never overrun.
#pragma once
#include <string>
#include <string_view>

namespace vxmail {

std::string DecodeBase64(std::string_view in);
// Lines of at most 76 characters, CRLF after each line.
std::string EncodeBase64Lines(std::string_view in);
// No line breaks (for encoded words).
std::string EncodeBase64(std::string_view in);

// forHeader: "_" stands for a blank (the "Q" encoding of encoded words).
std::string DecodeQuotedPrintable(std::string_view in, bool forHeader = false);
// Body encoding: CRLF line breaks in, soft breaks keep lines within 76 characters.
std::string EncodeQuotedPrintable(std::string_view in);

} // namespace vxmail
