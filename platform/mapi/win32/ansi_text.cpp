#include "ansi_text.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "../core/charset.h"

namespace vxmail {

namespace {

std::wstring Widen(UINT cp, const char* s, int n) {
    if (n <= 0) return {};
    int len = MultiByteToWideChar(cp, 0, s, n, nullptr, 0);
    if (len <= 0) return {};
    std::wstring w(size_t(len), L'\0');
    MultiByteToWideChar(cp, 0, s, n, &w[0], len);
    return w;
}

std::string Narrow(UINT cp, const std::wstring& w) {
    if (w.empty()) return {};
    BOOL usedDefault = FALSE;
    BOOL* used = cp == CP_UTF8 ? nullptr : &usedDefault;
    const char* def = cp == CP_UTF8 ? nullptr : "?";
    int len = WideCharToMultiByte(cp, 0, w.data(), int(w.size()), nullptr, 0, def, used);
    if (len <= 0) return {};
    std::string s(size_t(len), '\0');
    WideCharToMultiByte(cp, 0, w.data(), int(w.size()), &s[0], len, def, used);
    return s;
}

UINT CodePageOf(const std::string& cs) {
    static const struct { const char* name; UINT cp; } kSets[] = {
        {"koi8-r", 20866}, {"koi8-u", 21866}, {"shift_jis", 932}, {"shift-jis", 932}, {"sjis", 932},
        {"euc-jp", 20932}, {"iso-2022-jp", 50220}, {"gb2312", 936}, {"gbk", 936}, {"gb18030", 54936},
        {"big5", 950}, {"euc-kr", 949}, {"ks_c_5601-1987", 949}, {"utf-7", 65000}, {"ibm850", 850},
        {"cp850", 850}, {"ibm437", 437}, {"cp437", 437}, {"tis-620", 874}, {"windows-874", 874}};
    for (const auto& s : kSets)
        if (cs == s.name) return s.cp;
    if (cs.rfind("windows-", 0) == 0) return UINT(atoi(cs.c_str() + 8));
    if (cs.rfind("cp", 0) == 0 && cs.size() <= 6) return UINT(atoi(cs.c_str() + 2));
    if (cs.rfind("iso-8859-", 0) == 0) return 28590 + UINT(atoi(cs.c_str() + 9));
    if (cs.rfind("iso8859-", 0) == 0) return 28590 + UINT(atoi(cs.c_str() + 8));
    return 0;
}

bool DecodeWithCodePage(const std::string& cs, std::string_view bytes, std::string& utf8) {
    UINT cp = CodePageOf(cs);
    if (cp == 0 || !IsValidCodePage(cp) || bytes.size() > 0x7FFFFFFF) return false;
    std::wstring w = Widen(cp, bytes.data(), int(bytes.size()));
    if (w.empty() && !bytes.empty()) return false;
    utf8 = Narrow(CP_UTF8, w);
    return true;
}

} // namespace

std::string Utf8ToAnsi(const std::string& utf8) {
    bool ascii = true;
    for (unsigned char c : utf8)
        if (c >= 0x80) { ascii = false; break; }
    if (ascii) return utf8;
    return Narrow(CP_ACP, Widen(CP_UTF8, utf8.data(), int(utf8.size())));
}

std::string AnsiToUtf8(const char* ansi) {
    if (!ansi) return {};
    size_t n = strlen(ansi);
    bool ascii = true;
    for (size_t i = 0; i < n; ++i)
        if ((unsigned char)ansi[i] >= 0x80) { ascii = false; break; }
    if (ascii) return std::string(ansi, n);
    return Narrow(CP_UTF8, Widen(CP_ACP, ansi, int(n)));
}

void InstallCodePageCharsets() { SetPlatformCharsetDecoder(&DecodeWithCodePage); }

} // namespace vxmail
