#include "text_scramble.h"

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The rotation of a key: the remainder of a signed division, negative ones
// taken as the equivalent rotation the other way.
unsigned Rotation(int key)
{
    int r = key % 8;
    return static_cast<unsigned>(r < 0 ? r + 8 : r);
}

BYTE RotateLeft(BYTE c, unsigned r)
{
    return static_cast<BYTE>(((c << r) | (c >> ((8 - r) & 7))) & 0xFF);
}

BYTE RotateRight(BYTE c, unsigned r)
{
    return static_cast<BYTE>(((c >> r) | (c << ((8 - r) & 7))) & 0xFF);
}

} // namespace

void ZLMScrambleText(CString& text, int key)
{
    static const char kHex[] = "0123456789ABCDEF";
    unsigned r = Rotation(key);
    CString result;
    int length = text.GetLength();
    char* out = result.GetBuffer(length * 3);
    for (int i = 0; i < length; ++i) {
        BYTE v = static_cast<BYTE>(255 - RotateLeft(static_cast<BYTE>(text.GetAt(i)), r));
        out[i * 3] = kHex[v >> 4];
        out[i * 3 + 1] = kHex[v & 15];
        out[i * 3 + 2] = ' ';
    }
    result.ReleaseBuffer(length * 3);
    text = result;
}

ULONG ZLMHexToLong(const char* token)
{
    ULONG v = 0;
    for (; token && *token; ++token) {
        char c = *token;
        if (c >= '0' && c <= '9')
            v = v * 16 + static_cast<ULONG>(c - '0');
        else if (c >= 'A' && c <= 'F')
            v = v * 16 + static_cast<ULONG>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            v = v * 16 + static_cast<ULONG>(c - 'a' + 10);
    }
    return v;
}

CString ZLMParseOneArg(CString& text)
{
    int length = text.GetLength();
    int start = 0;
    while (start < length && IsSpace(text.GetAt(start)))
        ++start;
    int end = start;
    while (end < length && !IsSpace(text.GetAt(end)))
        ++end;
    CString token = text.Mid(start, end - start);
    int next = end;
    while (next < length && IsSpace(text.GetAt(next)))
        ++next;
    text = text.Mid(next);
    return token;
}

void ZLMUnscrambleText(CString& text, int key)
{
    unsigned r = Rotation(key);
    CString rest = text;
    CString result;
    while (!rest.IsEmpty()) {
        CString token = ZLMParseOneArg(rest);
        if (token.IsEmpty())
            break;
        ULONG v = ZLMHexToLong(token);
        BYTE c = RotateRight(static_cast<BYTE>((255 - v) & 0xFF), r);
        // A text cannot hold a zero byte.
        if (c != 0)
            result += static_cast<char>(c);
    }
    text = result;
}
