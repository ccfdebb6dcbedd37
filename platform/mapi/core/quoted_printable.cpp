#include "transfer_encoding.h"

namespace vxmail {

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
const char kHex[] = "0123456789ABCDEF";
} // namespace

std::string DecodeQuotedPrintable(std::string_view in, bool forHeader) {
    std::string out;
    out.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        char c = in[i];
        if (c == '=') {
            // Soft line break: "=" then optional blanks then a line end.
            size_t j = i + 1;
            while (j < in.size() && (in[j] == ' ' || in[j] == '\t')) ++j;
            if (j < in.size() && (in[j] == '\r' || in[j] == '\n')) {
                if (in[j] == '\r' && j + 1 < in.size() && in[j + 1] == '\n') ++j;
                i = j + 1;
                continue;
            }
            if (j == in.size()) { i = j; continue; }
            if (i + 2 < in.size()) {
                int hi = HexValue(in[i + 1]), lo = HexValue(in[i + 2]);
                if (hi >= 0 && lo >= 0) {
                    out.push_back(char(hi * 16 + lo));
                    i += 3;
                    continue;
                }
            }
            out.push_back('=');   // a broken escape stands for itself
            ++i;
            continue;
        }
        if (forHeader && c == '_') c = ' ';
        out.push_back(c);
        ++i;
    }
    return out;
}

std::string EncodeQuotedPrintable(std::string_view in) {
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    size_t lineLen = 0;
    auto emit = [&](const std::string& piece) {
        if (lineLen + piece.size() > 75) {
            out += "=\r\n";
            lineLen = 0;
        }
        out += piece;
        lineLen += piece.size();
    };
    for (size_t i = 0; i < in.size(); ++i) {
        unsigned char c = (unsigned char)in[i];
        if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') {
            // Trailing blanks before a hard break must be protected.
            if (!out.empty() && lineLen > 0 && (out.back() == ' ' || out.back() == '\t')) {
                char b = out.back();
                out.pop_back();
                --lineLen;
                emit(std::string("=") + kHex[(unsigned char)b >> 4] + kHex[(unsigned char)b & 15]);
            }
            out += "\r\n";
            lineLen = 0;
            ++i;
            continue;
        }
        bool plain = (c >= 33 && c <= 126 && c != '=') || c == ' ' || c == '\t';
        // A leading "." or "From " is encoded so that transports cannot alter the line.
        if (lineLen == 0 && (c == '.' || (c == 'F' && in.substr(i, 5) == "From "))) plain = false;
        if (plain) emit(std::string(1, char(c)));
        else emit(std::string("=") + kHex[c >> 4] + kHex[c & 15]);
    }
    if (lineLen > 0 && (out.back() == ' ' || out.back() == '\t')) {
        char b = out.back();
        out.pop_back();
        out += std::string("=") + kHex[(unsigned char)b >> 4] + kHex[(unsigned char)b & 15];
    }
    return out;
}

} // namespace vxmail
