#include "mail_address.h"

#include "encoded_words.h"

namespace vxmail {

namespace {

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return std::string(s.substr(b, e - b));
}

// Splits the element into the phrase (quotes removed), the comment texts and the
// part inside angle brackets.
struct Pieces {
    std::string phrase;
    std::string comments;
    std::string angle;
    bool hasAngle = false;
};

Pieces Split(std::string_view s) {
    Pieces p;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            ++i;
            while (i < s.size() && s[i] != '"') {
                if (s[i] == '\\' && i + 1 < s.size()) ++i;
                (p.hasAngle ? p.angle : p.phrase) += s[i];
                ++i;
            }
            ++i;
        } else if (c == '(') {
            int depth = 1;
            ++i;
            std::string comment;
            while (i < s.size() && depth > 0) {
                if (s[i] == '\\' && i + 1 < s.size()) { comment += s[i + 1]; i += 2; continue; }
                if (s[i] == '(') ++depth;
                else if (s[i] == ')') { if (--depth == 0) { ++i; break; } }
                comment += s[i];
                ++i;
            }
            if (!p.comments.empty()) p.comments += ' ';
            p.comments += comment;
        } else if (c == '<' && !p.hasAngle) {
            p.hasAngle = true;
            ++i;
            while (i < s.size() && s[i] != '>') p.angle += s[i++];
            ++i;
        } else {
            if (!p.hasAngle) p.phrase += c;
            ++i;
        }
    }
    return p;
}

std::string CollapseBlanks(std::string_view s) {
    std::string out;
    bool blank = false;
    for (char c : s) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') { blank = true; continue; }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string StripRoute(std::string addr) {
    // Obsolete source route "@a,@b:user@host".
    if (!addr.empty() && addr[0] == '@') {
        size_t colon = addr.find(':');
        if (colon != std::string::npos) addr.erase(0, colon + 1);
    }
    std::string out;
    for (char c : addr)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
    return out;
}

} // namespace

std::vector<Address> ParseAddressList(std::string_view raw) {
    std::vector<Address> out;
    std::vector<std::string_view> elements;
    size_t start = 0;
    bool quoted = false, angle = false;
    int comment = 0;
    for (size_t i = 0; i <= raw.size(); ++i) {
        if (i == raw.size()) {
            elements.push_back(raw.substr(start));
            break;
        }
        char c = raw[i];
        if (quoted) {
            if (c == '\\') ++i;
            else if (c == '"') quoted = false;
            continue;
        }
        if (comment > 0) {
            if (c == '\\') ++i;
            else if (c == '(') ++comment;
            else if (c == ')') --comment;
            continue;
        }
        if (c == '"') quoted = true;
        else if (c == '(') comment = 1;
        else if (c == '<') angle = true;
        else if (c == '>') angle = false;
        else if (!angle && (c == ',' || c == ';')) {
            elements.push_back(raw.substr(start, i - start));
            start = i + 1;
        } else if (!angle && c == ':') {
            // "group name:" - the name is not an address.
            start = i + 1;
        }
        if (elements.size() >= 1000) break;
    }
    for (std::string_view e : elements) {
        if (Trim(e).empty()) continue;
        Pieces p = Split(e);
        Address a;
        if (p.hasAngle) {
            a.address = StripRoute(p.angle);
            a.name = DecodeHeaderText(CollapseBlanks(p.phrase));
            if (a.name.empty() && !p.comments.empty()) a.name = DecodeHeaderText(CollapseBlanks(p.comments));
        } else {
            a.address = StripRoute(p.phrase);
            a.name = DecodeHeaderText(CollapseBlanks(p.comments));
        }
        if (a.address.empty() && a.name.empty()) continue;
        out.push_back(std::move(a));
        if (out.size() >= 1000) break;
    }
    return out;
}

bool IsPlausibleAddress(std::string_view a) {
    if (a.empty() || a.size() > 320) return false;
    size_t at = a.rfind('@');
    if (at == std::string_view::npos || at == 0 || at + 1 == a.size()) return false;
    for (unsigned char c : a)
        if (c <= ' ' || c == 0x7F || c == '<' || c == '>' || c == ',' || c == ';' || c == '(' || c == ')' || c == '"')
            return false;
    return true;
}

std::string PlainAddress(std::string_view text) {
    std::string t = Trim(text);
    // A protocol prefix ("SMTP:", "mailto:", or what the user configured) before
    // anything that is not itself an angle-bracketed form.
    size_t colon = t.find(':');
    size_t lt = t.find('<');
    size_t at = t.find('@');
    if (colon != std::string::npos && (lt == std::string::npos || colon < lt) && (at == std::string::npos || colon < at)) {
        bool word = colon > 0;
        for (size_t i = 0; i < colon; ++i) {
            char c = t[i];
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'))
                word = false;
        }
        if (word) t = Trim(std::string_view(t).substr(colon + 1));
    }
    if (t.find('<') == std::string::npos && t.find('(') == std::string::npos &&
        t.find_first_of(" \t\r\n") != std::string::npos)
        return {};   // blanks inside a bare address
    std::vector<Address> list = ParseAddressList(t);
    if (list.size() != 1) return {};
    std::string addr = list[0].address;
    // "SMTP:" may also sit inside the brackets.
    size_t c2 = addr.find(':');
    if (c2 != std::string::npos && c2 < addr.find('@')) addr.erase(0, c2 + 1);
    return IsPlausibleAddress(addr) ? addr : std::string();
}

} // namespace vxmail
