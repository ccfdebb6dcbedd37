#include "mime_parser.h"

#include <algorithm>
#include <map>

#include "charset.h"
#include "encoded_words.h"
#include "html_text.h"
#include "mail_date.h"
#include "transfer_encoding.h"

namespace vxmail {

namespace {

constexpr int kMaxDepth = 20;
// Entities walked in one message: room for every attachment kept, its text
// parts and the multiparts around them.
constexpr int kMaxParts = int(kMaxMimeAttachments) * 4;
constexpr size_t kMaxFields = 1000;
constexpr size_t kMaxFieldLength = 64 * 1024;

struct Field {
    std::string name;    // lower case
    std::string value;   // unfolded, raw bytes
};

struct Entity {
    std::vector<Field> fields;
    std::string_view body;
    const std::string* Get(const char* name) const {
        for (const Field& f : fields)
            if (f.name == name) return &f.value;
        return nullptr;
    }
};

bool IsFieldNameChar(char c) { return c > 32 && c < 127 && c != ':'; }

std::string TrimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return std::string(s.substr(b, e - b));
}

// Next line of s from pos: the line without its end, pos moved past the end.
std::string_view NextLine(std::string_view s, size_t& pos) {
    size_t nl = s.find('\n', pos);
    size_t end = nl == std::string_view::npos ? s.size() : nl;
    std::string_view line = s.substr(pos, end - pos);
    pos = nl == std::string_view::npos ? s.size() : nl + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// Header fields up to the first empty line; a line that is no field and no
// continuation ends the header too (the body then starts with that line).
Entity ReadEntity(std::string_view s) {
    Entity e;
    size_t pos = 0;
    while (pos < s.size()) {
        size_t lineStart = pos;
        std::string_view line = NextLine(s, pos);
        if (line.empty()) {
            e.body = s.substr(pos);
            return e;
        }
        if ((line[0] == ' ' || line[0] == '\t')) {
            if (!e.fields.empty() && e.fields.back().value.size() < kMaxFieldLength) {
                Field& f = e.fields.back();
                f.value += ' ';
                f.value += TrimBlanks(line);
            }
            continue;
        }
        size_t colon = line.find(':');
        bool field = colon != std::string_view::npos && colon > 0;
        for (size_t k = 0; field && k < colon; ++k)
            if (!IsFieldNameChar(line[k])) field = false;
        if (!field) {
            // "From " envelope line of mbox-style files is skipped; anything else starts the body.
            if (e.fields.empty() && lineStart == 0 && line.substr(0, 5) == "From ") continue;
            e.body = s.substr(lineStart);
            return e;
        }
        if (e.fields.size() < kMaxFields) {
            Field f;
            f.name = AsciiLower(line.substr(0, colon));
            f.value = TrimBlanks(line.substr(colon + 1, std::min(line.size() - colon - 1, kMaxFieldLength)));
            e.fields.push_back(std::move(f));
        }
    }
    e.body = s.substr(s.size());
    return e;
}

struct ContentType {
    std::string type = "text", subtype = "plain";
    std::map<std::string, std::string> params;   // names lower case, values decoded to UTF-8
};

std::string PercentDecode(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        auto hex = [](char c) {
            return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        };
        if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out += char(hex(s[i + 1]) * 16 + hex(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// "type/subtype; a=b; c="d"; name*0*=utf-8''x; name*1*=y" with RFC 2231 continuations.
void ParseParameters(std::string_view s, std::map<std::string, std::string>& params) {
    struct Section { bool encoded; std::string value; };
    std::map<std::string, std::map<int, Section>> extended;
    size_t i = 0;
    int count = 0;
    while (i < s.size() && count++ < 200) {
        size_t semi = i;
        // Skip to the next ';' outside quotes.
        while (i < s.size() && s[i] != ';') {
            if (s[i] == '"') {
                ++i;
                while (i < s.size() && s[i] != '"') {
                    if (s[i] == '\\') ++i;
                    ++i;
                }
            }
            if (i < s.size()) ++i;
        }
        (void)semi;
        if (i >= s.size()) break;
        ++i;   // past ';'
        size_t eq = s.find('=', i);
        size_t nextSemi = s.find(';', i);
        if (eq == std::string_view::npos || (nextSemi != std::string_view::npos && nextSemi < eq)) continue;
        std::string name = AsciiLower(TrimBlanks(s.substr(i, eq - i)));
        size_t v = eq + 1;
        while (v < s.size() && (s[v] == ' ' || s[v] == '\t')) ++v;
        std::string value;
        if (v < s.size() && s[v] == '"') {
            ++v;
            while (v < s.size() && s[v] != '"') {
                if (s[v] == '\\' && v + 1 < s.size()) ++v;
                value += s[v++];
            }
            if (v < s.size()) ++v;
        } else {
            size_t e = v;
            while (e < s.size() && s[e] != ';') ++e;
            value = TrimBlanks(s.substr(v, e - v));
            v = e;
        }
        i = v;
        if (name.empty()) continue;
        size_t star = name.find('*');
        if (star == std::string::npos) {
            if (!params.count(name)) params[name] = value;
            continue;
        }
        std::string base = name.substr(0, star);
        std::string rest = name.substr(star + 1);
        bool encoded = !rest.empty() && rest.back() == '*';
        if (encoded) rest.pop_back();
        if (rest.empty() && name.back() == '*') {
            extended[base][0] = {true, value};
            continue;
        }
        int section = 0;
        bool ok = !rest.empty() && rest.size() <= 3;
        // A section number of more than three digits is refused before it
        // is read: a long one would overflow.
        for (size_t i = 0; ok && i < rest.size(); ++i) {
            char c = rest[i];
            if (c < '0' || c > '9') { ok = false; break; }
            section = section * 10 + (c - '0');
        }
        if (ok) extended[base][section] = {encoded, value};
    }
    for (auto& [base, sections] : extended) {
        std::string charset;
        std::string bytes;
        bool first = true;
        int expect = 0;
        for (auto& [n, sec] : sections) {
            if (n != expect++) break;   // a gap ends the value
            std::string v = sec.value;
            if (first && sec.encoded) {
                size_t q1 = v.find('\'');
                size_t q2 = q1 == std::string::npos ? std::string::npos : v.find('\'', q1 + 1);
                if (q2 != std::string::npos) {
                    charset = v.substr(0, q1);
                    v = v.substr(q2 + 1);
                }
            }
            bytes += sec.encoded ? PercentDecode(v) : v;
            first = false;
        }
        params[base] = ToUtf8(charset, bytes);   // the extended form wins over the plain one
    }
    for (auto& [name, value] : params)
        if (!extended.count(name)) value = DecodeHeaderText(value);
}

ContentType ParseContentType(const std::string* raw, const std::string& defaultType) {
    ContentType ct;
    std::string spec = raw ? *raw : defaultType;
    size_t semi = spec.find(';');
    std::string t = AsciiLower(TrimBlanks(std::string_view(spec).substr(0, semi)));
    size_t slash = t.find('/');
    if (slash != std::string::npos && slash > 0 && slash + 1 < t.size()) {
        ct.type = TrimBlanks(t.substr(0, slash));
        ct.subtype = TrimBlanks(t.substr(slash + 1));
    } else if (raw) {
        // Unreadable type: treat as plain text (RFC 2045's default) - unless the default is a message.
        size_t s2 = defaultType.find('/');
        ct.type = defaultType.substr(0, s2);
        ct.subtype = defaultType.substr(s2 + 1);
    } else {
        size_t s2 = defaultType.find('/');
        ct.type = defaultType.substr(0, s2);
        ct.subtype = defaultType.substr(s2 + 1);
    }
    if (semi != std::string::npos) ParseParameters(std::string_view(spec).substr(semi), ct.params);
    return ct;
}

std::string DecodeTransfer(const Entity& e) {
    const std::string* cte = e.Get("content-transfer-encoding");
    std::string enc = cte ? AsciiLower(TrimBlanks(*cte)) : std::string();
    if (enc == "base64") return DecodeBase64(e.body);
    if (enc == "quoted-printable") return DecodeQuotedPrintable(e.body);
    return std::string(e.body);
}

std::string NormalizeText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        char c = utf8[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else if (c != '\0') {
            out += c;
        }
    }
    return out;
}

// The multipart body cut at its boundary lines (preamble and epilogue dropped; a
// missing closing line ends the last part at the end of the data).
std::vector<std::string_view> SplitMultipart(std::string_view body, const std::string& boundary, size_t& dropped) {
    std::vector<std::string_view> parts;
    if (boundary.empty() || boundary.size() > 200) return parts;
    const std::string dash = "--" + boundary;
    size_t pos = 0;
    size_t partStart = std::string_view::npos;
    while (pos < body.size()) {
        size_t lineStart = pos;
        std::string_view line = NextLine(body, pos);
        if (line.size() < dash.size() || line.compare(0, dash.size(), dash) != 0) continue;
        std::string_view rest = line.substr(dash.size());
        bool closing = rest.size() >= 2 && rest[0] == '-' && rest[1] == '-';
        if (closing) rest.remove_prefix(2);
        bool blanksOnly = true;
        for (char c : rest)
            if (c != ' ' && c != '\t') blanksOnly = false;
        if (!blanksOnly) continue;
        if (partStart != std::string_view::npos) {
            // The line break before the boundary belongs to the boundary.
            size_t end = lineStart;
            if (end > partStart && body[end - 1] == '\n') --end;
            if (end > partStart && body[end - 1] == '\r') --end;
            // Beyond the bound the parts are only counted.
            if (parts.size() < size_t(kMaxParts)) parts.push_back(body.substr(partStart, end - partStart));
            else ++dropped;
        }
        if (closing) return parts;
        partStart = pos;
    }
    if (partStart != std::string_view::npos && partStart < body.size()) {
        if (parts.size() < size_t(kMaxParts)) parts.push_back(body.substr(partStart));
        else ++dropped;
    }
    return parts;
}

std::string ExtensionFor(const std::string& type) {
    static const struct { const char* type; const char* ext; } kTypes[] = {
        {"text/plain", ".txt"}, {"text/html", ".htm"}, {"image/jpeg", ".jpg"}, {"image/png", ".png"},
        {"image/gif", ".gif"}, {"image/bmp", ".bmp"}, {"application/pdf", ".pdf"}, {"application/zip", ".zip"},
        {"audio/wav", ".wav"}, {"audio/x-wav", ".wav"}, {"message/rfc822", ".eml"}, {"text/calendar", ".ics"}};
    for (const auto& t : kTypes)
        if (type == t.type) return t.ext;
    return ".dat";
}

class Walker {
public:
    Walker(const MimeReadOptions& o, MimeMessage& m) : m_options(o), m_msg(m) {}

    void Walk(const Entity& e, int depth, const std::string& defaultType) {
        if (++m_parts > kMaxParts) {
            ++m_msg.droppedParts;
            return;
        }
        ContentType ct = ParseContentType(e.Get("content-type"), defaultType);
        const std::string* disp = e.Get("content-disposition");
        std::map<std::string, std::string> dispParams;
        std::string dispType;
        if (disp) {
            size_t semi = disp->find(';');
            dispType = AsciiLower(TrimBlanks(std::string_view(*disp).substr(0, semi)));
            if (semi != std::string::npos) ParseParameters(std::string_view(*disp).substr(semi), dispParams);
        }
        std::string fileName = dispParams.count("filename") ? dispParams["filename"]
                             : ct.params.count("name")     ? ct.params["name"]
                                                           : std::string();
        bool isAttachment = dispType == "attachment" || !fileName.empty();

        if (ct.type == "multipart" && depth < kMaxDepth && !isAttachment) {
            auto it = ct.params.find("boundary");
            std::vector<std::string_view> parts;
            if (it != ct.params.end()) parts = SplitMultipart(e.body, it->second, m_msg.droppedParts);
            if (parts.empty()) {
                // No usable boundary: the body is shown as text rather than lost.
                AddText(NormalizeText(ToUtf8("", e.body)), false);
                return;
            }
            std::string childDefault = ct.subtype == "digest" ? "message/rfc822" : "text/plain";
            if (ct.subtype == "alternative") {
                WalkAlternative(parts, depth, childDefault);
                return;
            }
            for (size_t k = 0; k < parts.size(); ++k) {
                Entity child = ReadEntity(parts[k]);
                // In related content only the root carries the text; the rest is its images.
                if (ct.subtype == "related" && k > 0 && !HasFileName(child)) continue;
                Walk(child, depth + 1, childDefault);
            }
            return;
        }
        std::string full = ct.type + "/" + ct.subtype;
        if (!isAttachment && ct.type == "text" && (ct.subtype == "plain" || ct.subtype == "html")) {
            if (!m_options.body) return;
            std::string text = NormalizeText(ToUtf8(Charset(ct), DecodeTransfer(e)));
            if (ct.subtype == "html") {
                if (m_htmlText.empty()) m_htmlText = HtmlToText(text);
                return;
            }
            AddText(text, true);
            return;
        }
        if (!m_options.attachments) return;
        if (m_msg.attachments.size() >= kMaxMimeAttachments) {
            ++m_msg.droppedParts;
            return;
        }
        MimeAttachment a;
        a.contentType = full;
        a.fileName = SafeFileName(fileName);
        if (a.fileName.empty()) {
            std::string stem = "attachment" + std::to_string(m_msg.attachments.size() + 1);
            if (full == "message/rfc822") {
                // A forwarded message is named by its subject when it has one.
                Entity inner = ReadEntity(e.body);
                const std::string* subj = inner.Get("subject");
                std::string s = subj ? SafeFileName(DecodeHeaderText(*subj)) : std::string();
                if (!s.empty()) stem = s.substr(0, 60);
            }
            a.fileName = stem + ExtensionFor(full);
        }
        a.data = DecodeTransfer(e);
        m_msg.attachments.push_back(std::move(a));
    }

    void Finish() {
        if (!m_haveText && !m_htmlText.empty()) m_msg.text = m_htmlText;
    }

private:
    static bool HasFileName(const Entity& e) {
        const std::string* d = e.Get("content-disposition");
        const std::string* t = e.Get("content-type");
        return (d && AsciiLower(*d).find("filename") != std::string::npos) ||
               (t && AsciiLower(*t).find("name") != std::string::npos);
    }

    static std::string Charset(const ContentType& ct) {
        auto it = ct.params.find("charset");
        return it == ct.params.end() ? std::string() : it->second;
    }

    void AddText(const std::string& text, bool plain) {
        if (!m_options.body) return;
        if (!m_haveText) {
            m_msg.text = text;
            m_haveText = plain || !text.empty();
        } else if (!text.empty()) {
            // Further inline text parts (a list footer, a second note) follow the first.
            m_msg.text += "\n\n";
            m_msg.text += text;
        }
    }

    void WalkAlternative(const std::vector<std::string_view>& parts, int depth, const std::string& childDefault) {
        // Prefer the plain-text alternative; otherwise the first that is not HTML
        // (a nested multipart), otherwise the HTML one.
        int chosen = -1, html = -1, other = -1;
        std::vector<Entity> children;
        for (std::string_view p : parts) children.push_back(ReadEntity(p));
        for (size_t k = 0; k < children.size(); ++k) {
            ContentType ct = ParseContentType(children[k].Get("content-type"), childDefault);
            if (ct.type == "text" && ct.subtype == "plain" && chosen < 0) chosen = int(k);
            else if (ct.type == "text" && ct.subtype == "html" && html < 0) html = int(k);
            else if (ct.type == "multipart" && other < 0) other = int(k);
        }
        int pick = chosen >= 0 ? chosen : other >= 0 ? other : html >= 0 ? html : 0;
        Walk(children[size_t(pick)], depth + 1, childDefault);
        if (pick != html && html >= 0 && !m_haveText) Walk(children[size_t(html)], depth + 1, childDefault);
    }

    const MimeReadOptions& m_options;
    MimeMessage& m_msg;
    int m_parts = 0;
    bool m_haveText = false;
    std::string m_htmlText;
};

bool IsAutomatic(const Entity& top) {
    // The first word of a field's value, lower case ("auto-replied; x" -> "auto-replied").
    auto word = [&](const char* field) -> std::string {
        const std::string* v = top.Get(field);
        if (!v) return std::string();
        std::string w = AsciiLower(TrimBlanks(std::string_view(*v).substr(0, v->find(';'))));
        return w.empty() ? std::string("(empty)") : w;
    };
    const std::string submitted = word("auto-submitted");
    if (!submitted.empty() && submitted != "no") return true;
    const std::string precedence = word("precedence");
    if (precedence == "bulk" || precedence == "junk" || precedence == "list") return true;
    return top.Get("x-autoreply") || top.Get("x-autorespond");
}

} // namespace

std::string SafeFileName(std::string_view utf8) {
    std::string_view s = utf8;
    size_t cut = s.find_last_of("/\\");
    if (cut != std::string_view::npos) s = s.substr(cut + 1);
    std::string out;
    for (char c : s) {
        unsigned char u = (unsigned char)c;
        if (u < 32 || u == 0x7F || std::string_view("<>:\"|?*").find(c) != std::string_view::npos) out += '_';
        else out += c;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
    while (!out.empty() && out.front() == ' ') out.erase(0, 1);
    if (out.size() > 120) {
        // Keep the extension; cut the stem on a character boundary.
        size_t dot = out.rfind('.');
        std::string ext = dot != std::string::npos && out.size() - dot <= 10 ? out.substr(dot) : std::string();
        size_t keep = 120 - ext.size();
        while (keep > 0 && ((unsigned char)out[keep] & 0xC0) == 0x80) --keep;
        out = out.substr(0, keep) + ext;
    }
    std::string stem = AsciiLower(out.substr(0, out.find('.')));
    static const char* const kDevices[] = {"con", "prn", "aux", "nul", "com1", "com2", "com3", "com4", "com5", "com6",
                                           "com7", "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6",
                                           "lpt7", "lpt8", "lpt9", "clock$"};
    for (const char* d : kDevices)
        if (stem == d) { out = "_" + out; break; }
    if (out == "." || out == "..") out.clear();
    return out;
}

MimeMessage ParseMime(std::string_view raw, const MimeReadOptions& options) {
    MimeMessage m;
    Entity top = ReadEntity(raw);
    if (const std::string* s = top.Get("subject")) m.subject = DecodeHeaderText(*s);
    // The sender is who the From field names. Sender, Reply-To and
    // Return-Path are set by whoever relays or forges the mail and say nothing
    // about whose request it is; a From without a usable address ("<>", a
    // bare name) leaves the mail without a sender.
    if (const std::string* v = top.Get("from")) {
        std::vector<Address> list = ParseAddressList(*v);
        if (!list.empty()) {
            m.originator = list[0];
            m.hasOriginator = IsPlausibleAddress(m.originator.address);
            if (!m.hasOriginator) m.originator.address.clear();
        }
    }
    if (const std::string* v = top.Get("to")) m.to = ParseAddressList(*v);
    if (const std::string* v = top.Get("cc")) m.cc = ParseAddressList(*v);
    if (const std::string* v = top.Get("bcc")) m.bcc = ParseAddressList(*v);
    if (const std::string* v = top.Get("date")) m.hasDate = ParseMailDate(*v, m.date);
    if (const std::string* v = top.Get("message-id")) m.messageId = TrimBlanks(*v);
    m.receiptRequested = top.Get("disposition-notification-to") || top.Get("return-receipt-to");
    m.automatic = IsAutomatic(top);
    if (options.body || options.attachments) {
        Walker w(options, m);
        w.Walk(top, 0, "text/plain");
        w.Finish();
    }
    return m;
}

} // namespace vxmail
