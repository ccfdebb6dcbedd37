// Simple MAPI's texts are in the ANSI code page; the mail core works in UTF-8.
#pragma once
#include <string>

namespace vxmail {

std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const char* ansi);   // null reads as empty
// Installs the code-page decoder for charsets the core does not know itself.
void InstallCodePageCharsets();

} // namespace vxmail
