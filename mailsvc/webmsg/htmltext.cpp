#include "webmsg/htmltext.h"

#include <cctype>
#include <cstring>

namespace webmsg {

std::string EscapeHTML(const char* text)
{
    std::string out;
    if (!text)
        return out;
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        case '@': out += "&#64;"; break;
        default: out += *p; break;
        }
    }
    return out;
}

std::string EscapeURLText(const char* text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    if (!text)
        return out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (std::isalnum(*p) || std::strchr("-._~", *p)) {
            out += static_cast<char>(*p);
        } else {
            out += '%';
            out += kHex[*p >> 4];
            out += kHex[*p & 15];
        }
    }
    return out;
}

std::string FillPlaceholders(const std::string& tmpl, const Placeholders& values)
{
    std::string out;
    out.reserve(tmpl.size());
    size_t i = 0;
    while (i < tmpl.size()) {
        if (tmpl[i] == '@') {
            size_t end = tmpl.find('@', i + 1);
            if (end != std::string::npos) {
                const std::string name = tmpl.substr(i + 1, end - i - 1);
                bool found = false;
                for (const auto& [key, value] : values) {
                    if (key == name) {
                        out += value;
                        found = true;
                        break;
                    }
                }
                if (found) {
                    i = end + 1;
                    continue;
                }
            }
        }
        out += tmpl[i++];
    }
    return out;
}

std::string MarkupToHTML(const char* markup)
{
    const std::string text = markup ? markup : "";
    std::string out;
    out.reserve(text.size());
    static const char kMarker[] = "{_cr_}";
    const size_t markerLen = sizeof kMarker - 1;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\n') {
            out += "<br>";
            ++i;
        } else if (text.compare(i, markerLen, kMarker) == 0) {
            out += '\n';
            i += markerLen;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string BodyToHTML(const char* body)
{
    return MarkupToHTML(EscapeHTML(body).c_str());
}

bool IsPictureName(const char* name)
{
    if (!name)
        return false;
    size_t n = std::strlen(name);
    if (n < 3)
        return false;
    char tail[4];
    for (int k = 0; k < 3; ++k)
        tail[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[n - 3 + k])));
    tail[3] = 0;
    for (const char* ext : {"bmp", "jpg", "peg", "gif", "png"})
        if (std::strcmp(tail, ext) == 0)
            return true;
    return false;
}

bool IsPlainFileName(const char* name)
{
    if (!name || !*name)
        return false;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    return std::strpbrk(name, "\\/:") == nullptr;
}

} // namespace webmsg
