#include "encoded_words.h"

#include "charset.h"
#include "transfer_encoding.h"

namespace vxmail {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Tries to read "=?charset?enc?text?=" at pos; on success sets end and the UTF-8 text.
bool ReadEncodedWord(std::string_view s, size_t pos, size_t& end, std::string& text) {
    if (pos + 1 >= s.size() || s[pos] != '=' || s[pos + 1] != '?') return false;
    size_t q1 = std::string_view::npos;
    for (size_t k = pos + 2; k < s.size() && k < pos + 80; ++k)
        if (s[k] == '?') { q1 = k; break; }
    if (q1 == std::string_view::npos || q1 + 2 >= s.size() || s[q1 + 2] != '?') return false;
    // Encoded words do not span blanks; the window bounds the work on hostile input.
    size_t close = std::string_view::npos;
    for (size_t k = q1 + 3; k + 1 < s.size() && k < q1 + 3 + 4096; ++k) {
        if (IsBlank(s[k])) return false;
        if (s[k] == '?' && s[k + 1] == '=') { close = k; break; }
    }
    if (close == std::string_view::npos) return false;
    std::string_view charset = s.substr(pos + 2, q1 - pos - 2);
    for (char c : charset)
        if (IsBlank(c)) return false;
    std::string_view payload = s.substr(q1 + 3, close - q1 - 3);
    for (char c : payload)
        if (IsBlank(c)) return false;
    size_t star = charset.find('*');   // RFC 2231 language suffix
    if (star != std::string_view::npos) charset = charset.substr(0, star);
    char enc = s[q1 + 1];
    std::string bytes;
    if (enc == 'B' || enc == 'b') bytes = DecodeBase64(payload);
    else if (enc == 'Q' || enc == 'q') bytes = DecodeQuotedPrintable(payload, true);
    else return false;
    text = ToUtf8(charset, bytes);
    end = close + 2;
    return true;
}

bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80 || c == 0) return false;
    return true;
}

} // namespace

std::string DecodeHeaderText(std::string_view raw) {
    std::string out;
    std::string plain;   // raw run not yet converted
    auto flushPlain = [&] {
        if (!plain.empty()) out += ToUtf8("", plain);
        plain.clear();
    };
    bool lastWasWord = false;
    size_t i = 0;
    while (i < raw.size()) {
        size_t end;
        std::string text;
        if (raw[i] == '=' && ReadEncodedWord(raw, i, end, text)) {
            // Blanks between two encoded words are folding, not content.
            bool onlyBlanks = lastWasWord;
            for (char c : plain)
                if (!IsBlank(c)) { onlyBlanks = false; break; }
            if (onlyBlanks) plain.clear();
            flushPlain();
            out += text;
            i = end;
            lastWasWord = true;
            continue;
        }
        if (!IsBlank(raw[i])) lastWasWord = false;
        char c = raw[i] == '\r' || raw[i] == '\n' || raw[i] == '\t' ? ' ' : raw[i];
        if (c != '\0') plain += c;
        ++i;
    }
    flushPlain();
    return out;
}

namespace {

// Appends words separated by blanks, folding before a word that would pass 76 columns.
void AppendFolded(std::string& out, size_t& column, std::string_view word, bool blankBefore) {
    if (blankBefore) {
        if (column + 1 + word.size() > 76 && column > 1) {
            out += "\r\n ";
            column = 1;
        } else {
            out += ' ';
            ++column;
        }
    }
    out += word;
    column += word.size();
}

std::string EncodeWords(std::string_view utf8, size_t used) {
    std::string out;
    size_t column = used;
    size_t i = 0;
    bool first = true;
    while (i < utf8.size()) {
        // At most 39 bytes per word (a 64-character word), cut on a character boundary.
        size_t n = utf8.size() - i < 39 ? utf8.size() - i : 39;
        while (n > 0 && i + n < utf8.size() && ((unsigned char)utf8[i + n] & 0xC0) == 0x80) --n;
        if (n == 0) n = 1;
        std::string word = "=?UTF-8?B?" + EncodeBase64(utf8.substr(i, n)) + "?=";
        AppendFolded(out, column, word, !first);
        first = false;
        i += n;
    }
    return out;
}

} // namespace

std::string EncodeHeaderText(std::string_view utf8, size_t used) {
    std::string clean;
    for (char c : utf8) clean += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
    if (!IsAscii(clean) || clean.find("=?") != std::string::npos) return EncodeWords(clean, used);
    std::string out;
    size_t column = used;
    size_t i = 0;
    bool first = true;
    while (i < clean.size()) {
        size_t sp = clean.find(' ', i);
        if (sp == std::string::npos) sp = clean.size();
        std::string_view word(clean.data() + i, sp - i);
        if (first) {
            out += word;
            column += word.size();
            first = false;
        } else {
            AppendFolded(out, column, word, true);
        }
        i = sp + 1;
        if (sp == clean.size()) break;
    }
    return out;
}

std::string EncodeDisplayName(std::string_view utf8) {
    std::string clean;
    for (char c : utf8)
        if (c != '\r' && c != '\n') clean += c;
    if (!IsAscii(clean)) return EncodeWords(clean, 0);
    bool needQuotes = false;
    for (char c : clean)
        if (std::string_view("()<>[]:;@\\,.\"").find(c) != std::string_view::npos) needQuotes = true;
    if (!needQuotes) return clean;
    std::string q = "\"";
    for (char c : clean) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + "\"";
}

} // namespace vxmail
