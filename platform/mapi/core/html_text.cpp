#include "html_text.h"

#include "charset.h"

namespace vxmail {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Decodes the entity at s[i] ('&'); returns the characters consumed (0 = not an entity).
size_t Entity(std::string_view s, size_t i, std::string& out) {
    size_t semi = s.find(';', i + 1);
    if (semi == std::string_view::npos || semi - i > 10) return 0;
    std::string_view name = s.substr(i + 1, semi - i - 1);
    unsigned cp = 0;
    if (!name.empty() && name[0] == '#') {
        bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
        size_t k = hex ? 2 : 1;
        if (k >= name.size()) return 0;
        for (; k < name.size(); ++k) {
            char c = name[k];
            int d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else return 0;
            cp = cp * (hex ? 16 : 10) + unsigned(d);
            if (cp > 0x10FFFF) cp = 0xFFFD;
        }
        if (cp == 0) cp = 0xFFFD;
    } else {
        static const struct { const char* n; unsigned cp; } kNames[] = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0},
            {"copy", 0xA9}, {"reg", 0xAE}, {"euro", 0x20AC}, {"mdash", 0x2014}, {"ndash", 0x2013},
            {"hellip", 0x2026}, {"laquo", 0xAB}, {"raquo", 0xBB}, {"eacute", 0xE9}, {"egrave", 0xE8},
            {"agrave", 0xE0}, {"auml", 0xE4}, {"ouml", 0xF6}, {"uuml", 0xFC}, {"szlig", 0xDF},
            {"rsquo", 0x2019}, {"lsquo", 0x2018}, {"rdquo", 0x201D}, {"ldquo", 0x201C}, {"bull", 0x2022}};
        for (const auto& e : kNames)
            if (name == e.n) { cp = e.cp; break; }
        if (!cp) return 0;
    }
    AppendUtf8(out, cp == 0xA0 ? ' ' : cp);
    return semi - i + 1;
}

} // namespace

std::string HtmlToText(std::string_view s) {
    std::string out;
    out.reserve(s.size() / 2);
    bool pendingSpace = false;
    int newlines = 2;   // line breaks at the end of out (start counts as a paragraph start)
    auto newline = [&](int want) {
        pendingSpace = false;
        while (newlines < want) {
            out += '\n';
            ++newlines;
        }
    };
    auto text = [&](const std::string& t) {
        if (pendingSpace && newlines == 0) out += ' ';
        pendingSpace = false;
        out += t;
        newlines = 0;
    };
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == '<') {
            if (s.substr(i, 4) == "<!--") {
                size_t end = s.find("-->", i + 4);
                i = end == std::string_view::npos ? s.size() : end + 3;
                continue;
            }
            size_t end = s.find('>', i + 1);
            if (end == std::string_view::npos) break;   // an unclosed tag ends the text
            std::string_view tag = s.substr(i + 1, end - i - 1);
            bool closing = !tag.empty() && tag[0] == '/';
            if (closing) tag.remove_prefix(1);
            size_t n = 0;
            while (n < tag.size() && !IsSpace(tag[n]) && tag[n] != '/' && tag[n] != '>') ++n;
            std::string name = AsciiLower(tag.substr(0, n));
            i = end + 1;
            if (!closing && (name == "script" || name == "style" || name == "head" || name == "title")) {
                std::string close = "</" + name;
                size_t k = i;
                size_t found = std::string_view::npos;
                while (k < s.size()) {
                    size_t lt = s.find("</", k);
                    if (lt == std::string_view::npos) break;
                    if (AsciiLower(s.substr(lt, close.size())) == close) { found = lt; break; }
                    k = lt + 2;
                }
                if (found == std::string_view::npos) { i = s.size(); break; }
                size_t gt = s.find('>', found);
                i = gt == std::string_view::npos ? s.size() : gt + 1;
                continue;
            }
            if (name == "br") newline(newlines + 1 > 2 ? 2 : newlines + 1);
            else if (name == "p" || name == "div" || name == "tr" || name == "table" || name == "h1" || name == "h2" ||
                     name == "h3" || name == "h4" || name == "blockquote" || name == "ul" || name == "ol" || name == "pre")
                newline(name == "p" || name[0] == 'h' ? 2 : 1);
            else if (name == "li") { newline(1); if (!closing) text("* "); }
            else if (name == "td" || name == "th") pendingSpace = true;
            continue;
        }
        if (IsSpace(c)) {
            pendingSpace = true;
            ++i;
            continue;
        }
        if (c == '&') {
            std::string decoded;
            size_t used = Entity(s, i, decoded);
            if (used) {
                text(decoded);
                i += used;
                continue;
            }
        }
        text(std::string(1, c));
        ++i;
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

} // namespace vxmail
