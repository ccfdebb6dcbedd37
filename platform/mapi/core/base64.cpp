#include "transfer_encoding.h"

namespace vxmail {

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Sextet(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+' || c == '-') return 62;   // '-' and '_': the URL-safe alphabet some senders use
    if (c == '/' || c == '_') return 63;
    return -1;
}
} // namespace

std::string DecodeBase64(std::string_view in) {
    std::string out;
    out.reserve(in.size() / 4 * 3 + 3);
    unsigned buffer = 0;
    int bits = 0;
    for (unsigned char c : in) {
        if (c == '=') {
            // Padding ends a group; a later group (concatenated encodings) starts afresh.
            bits = 0;
            buffer = 0;
            continue;
        }
        int v = Sextet(c);
        if (v < 0) continue;
        buffer = (buffer << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(char((buffer >> bits) & 0xFF));
            buffer &= (1u << bits) - 1;
        }
    }
    return out;
}

std::string EncodeBase64(std::string_view in) {
    std::string out;
    out.reserve((in.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        unsigned v = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8 | (unsigned char)in[i + 2];
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (i < in.size()) {
        unsigned v = (unsigned char)in[i] << 16;
        if (i + 1 < in.size()) v |= (unsigned char)in[i + 1] << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += i + 1 < in.size() ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string EncodeBase64Lines(std::string_view in) {
    std::string flat = EncodeBase64(in);
    std::string out;
    out.reserve(flat.size() + flat.size() / 76 * 2 + 2);
    for (size_t i = 0; i < flat.size(); i += 76) {
        out.append(flat, i, 76);
        out += "\r\n";
    }
    return out;
}

} // namespace vxmail
