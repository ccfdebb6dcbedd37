#include "mime_composer.h"

#include <cstdio>

#include "charset.h"
#include "encoded_words.h"
#include "transfer_encoding.h"

namespace vxmail {

namespace {

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80 || c == 0) return false;
    return true;
}

std::string ToCrlf(const std::string& s) {
    std::string out;
    out.reserve(s.size() + s.size() / 32);
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out += "\r\n";
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else if (s[i] == '\n') {
            out += "\r\n";
        } else if (s[i] != '\0') {
            out += s[i];
        }
    }
    return out;
}

bool HasLongLine(const std::string& crlf) {
    size_t start = 0;
    while (start < crlf.size()) {
        size_t end = crlf.find("\r\n", start);
        if (end == std::string::npos) end = crlf.size();
        if (end - start > 998) return true;
        start = end + 2;
    }
    return false;
}

std::string Mailbox(const Address& a) {
    if (a.name.empty() || a.name == a.address) return "<" + a.address + ">";
    return EncodeDisplayName(a.name) + " <" + a.address + ">";
}

std::string AddressField(const char* name, const std::vector<Address>& list) {
    std::string out = std::string(name) + ": ";
    size_t column = out.size();
    for (size_t i = 0; i < list.size(); ++i) {
        std::string box = Mailbox(list[i]);
        if (i > 0) {
            out += ",";
            if (column + box.size() + 2 > 76) {
                out += "\r\n ";
                column = 1;
            } else {
                out += " ";
                column += 2;
            }
        }
        out += box;
        size_t nl = box.rfind("\r\n");
        column = nl == std::string::npos ? column + box.size() : box.size() - nl - 2;
    }
    return out + "\r\n";
}

std::string FileNameParameters(const std::string& name, const char* param) {
    if (IsAscii(name) && name.find('"') == std::string::npos && name.find('\\') == std::string::npos)
        return std::string(param) + "=\"" + name + "\"";
    // RFC 2231 form, which every current reader understands.
    static const char kHex[] = "0123456789ABCDEF";
    std::string v = std::string(param) + "*=utf-8''";
    for (unsigned char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                     c == '-' || c == '_';
        if (plain) v += char(c);
        else { v += '%'; v += kHex[c >> 4]; v += kHex[c & 15]; }
    }
    return v;
}

std::string TextPart(const std::string& text, bool withContentHeaders) {
    std::string body = ToCrlf(text);
    std::string headers;
    if (IsAscii(body) && !HasLongLine(body)) {
        headers = "Content-Type: text/plain; charset=us-ascii\r\nContent-Transfer-Encoding: 7bit\r\n";
    } else {
        headers = "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n";
        body = EncodeQuotedPrintable(IsValidUtf8(body) ? body : ToUtf8("windows-1252", body));
    }
    (void)withContentHeaders;
    return headers + "\r\n" + body;
}

uint64_t Hash(const std::string& s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) { h ^= c; h *= 1099511628211ull; }
    return h;
}

} // namespace

std::string MediaTypeFor(const std::string& fileName) {
    static const struct { const char* ext; const char* type; } kTypes[] = {
        {"txt", "text/plain"}, {"htm", "text/html"}, {"html", "text/html"}, {"csv", "text/csv"},
        {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"}, {"png", "image/png"}, {"gif", "image/gif"},
        {"bmp", "image/bmp"}, {"pdf", "application/pdf"}, {"zip", "application/zip"}, {"wav", "audio/wav"},
        {"eml", "message/rfc822"}};
    size_t dot = fileName.rfind('.');
    if (dot != std::string::npos) {
        std::string ext = AsciiLower(fileName.substr(dot + 1));
        for (const auto& t : kTypes)
            if (ext == t.ext) return t.type;
    }
    return "application/octet-stream";
}

std::string ComposeMessage(const OutgoingMessage& m) {
    std::string h;
    h += "Date: " + FormatMailDate(m.date, m.dateOffset) + "\r\n";
    h += AddressField("From", {m.from});
    if (!m.to.empty()) h += AddressField("To", m.to);
    if (!m.cc.empty()) h += AddressField("Cc", m.cc);
    if (m.writeBcc && !m.bcc.empty()) h += AddressField("Bcc", m.bcc);
    if (!m.subject.empty()) h += "Subject: " + EncodeHeaderText(m.subject, 9) + "\r\n";
    h += "Message-ID: <" + m.messageId + ">\r\n";
    if (m.receiptRequested) h += "Disposition-Notification-To: " + Mailbox(m.from) + "\r\n";
    if (m.automatic) h += "Auto-Submitted: auto-replied\r\n";
    h += "MIME-Version: 1.0\r\n";
    if (m.attachments.empty()) return h + TextPart(m.text, true);

    std::vector<std::string> parts;
    parts.push_back(TextPart(m.text, true));
    for (const OutgoingAttachment& a : m.attachments) {
        std::string type = MediaTypeFor(a.fileName);
        // A message/rfc822 part may not be base64; send such files as plain data.
        if (type == "message/rfc822") type = "application/octet-stream";
        std::string part = "Content-Type: " + type + "; " + FileNameParameters(a.fileName, "name") + "\r\n" +
                           "Content-Transfer-Encoding: base64\r\n" +
                           "Content-Disposition: attachment; " + FileNameParameters(a.fileName, "filename") +
                           "\r\n\r\n" + EncodeBase64Lines(a.data);
        parts.push_back(std::move(part));
    }
    // A boundary that occurs in no part ("=_" cannot occur in base64 or quoted-printable).
    std::string boundary;
    for (unsigned n = 0;; ++n) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "=_VxMail_%016llx_%u", (unsigned long long)Hash(m.messageId), n);
        boundary = buf;
        bool clash = false;
        for (const std::string& p : parts)
            if (p.find(boundary) != std::string::npos) { clash = true; break; }
        if (!clash || n > 1000) break;
    }
    h += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    h += "This is a multi-part message in MIME format.\r\n";
    for (const std::string& p : parts) {
        // The line break before each boundary line belongs to the boundary, not to the part.
        h += "--" + boundary + "\r\n";
        h += p;
        h += "\r\n";
    }
    h += "--" + boundary + "--\r\n";
    return h;
}

} // namespace vxmail
