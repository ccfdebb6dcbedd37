#include "charset.h"

#include <atomic>

namespace vxmail {

namespace {
std::atomic<CharsetDecoder> g_platformDecoder{nullptr};

// windows-1252 0x80..0x9F (0 = unassigned, kept as the C1 control).
const unsigned short kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

unsigned Latin9(unsigned char c) {
    switch (c) {
    case 0xA4: return 0x20AC;
    case 0xA6: return 0x0160;
    case 0xA8: return 0x0161;
    case 0xB4: return 0x017D;
    case 0xB8: return 0x017E;
    case 0xBC: return 0x0152;
    case 0xBD: return 0x0153;
    case 0xBE: return 0x0178;
    default: return c;
    }
}

std::string FromSingleByte(std::string_view bytes, int table) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (unsigned char c : bytes) {
        unsigned cp = c;
        if (table == 1252 && c >= 0x80 && c < 0xA0 && kCp1252High[c - 0x80]) cp = kCp1252High[c - 0x80];
        else if (table == 15) cp = Latin9(c);
        AppendUtf8(out, cp);
    }
    return out;
}
} // namespace

std::string AsciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

void SetPlatformCharsetDecoder(CharsetDecoder decoder) { g_platformDecoder = decoder; }

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = (unsigned char)s[i];
        if (c < 0x80) { ++i; continue; }
        int n;
        unsigned cp;
        if (c >= 0xC2 && c <= 0xDF) { n = 1; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { n = 2; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { n = 3; cp = c & 0x07; }
        else return false;
        if (i + n >= s.size()) return false;
        for (int k = 1; k <= n; ++k) {
            unsigned char d = (unsigned char)s[i + k];
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

std::string ToUtf8(std::string_view charset, std::string_view bytes) {
    std::string cs = AsciiLower(charset);
    while (!cs.empty() && (cs.back() == ' ' || cs.back() == '"')) cs.pop_back();
    while (!cs.empty() && (cs.front() == ' ' || cs.front() == '"')) cs.erase(0, 1);
    bool ascii = true;
    for (unsigned char c : bytes)
        if (c >= 0x80) { ascii = false; break; }
    if (ascii) return std::string(bytes);
    if (cs == "utf-8" || cs == "utf8") {
        if (IsValidUtf8(bytes)) return std::string(bytes);
        return FromSingleByte(bytes, 1252);   // mislabelled mail is common
    }
    if (cs == "iso-8859-1" || cs == "iso8859-1" || cs == "latin1" || cs == "latin-1" || cs == "l1" ||
        cs == "windows-1252" || cs == "cp1252" || cs == "x-cp1252" || cs == "iso_8859-1")
        return FromSingleByte(bytes, 1252);   // senders labelling 1252 text as Latin-1 is the norm
    if (cs == "iso-8859-15" || cs == "iso8859-15" || cs == "latin9" || cs == "latin-9")
        return FromSingleByte(bytes, 15);
    if (CharsetDecoder d = g_platformDecoder.load(); d && !cs.empty() && cs != "us-ascii") {
        std::string out;
        if (d(cs, bytes, out) && IsValidUtf8(out)) return out;
    }
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return FromSingleByte(bytes, 1252);
}

} // namespace vxmail
