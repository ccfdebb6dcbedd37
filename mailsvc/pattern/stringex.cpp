#include "pattern/stringex.h"
#include "pattern/regexp.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

int len(const char* s) { return s ? static_cast<int>(std::strlen(s)) : 0; }

CString lowerCopy(const char* s, int n)
{
    CString out(s, n);
    out.MakeLower();
    return out;
}

// First position >= start where needle (non-empty) begins, or -1.
int findIn(const char* hay, int hayLen, const char* needle, int needleLen, int start)
{
    if (needleLen <= 0 || start < 0) return -1;
    for (int p = start; p + needleLen <= hayLen; ++p) {
        const void* hit = std::memchr(hay + p, needle[0], static_cast<size_t>(hayLen - p));
        if (!hit) return -1;
        p = static_cast<int>(static_cast<const char*>(hit) - hay);
        if (p + needleLen <= hayLen && std::memcmp(hay + p, needle, static_cast<size_t>(needleLen)) == 0) return p;
    }
    return -1;
}

int reverseFindIn(const char* hay, int hayLen, const char* needle, int needleLen, int start)
{
    if (needleLen <= 0 || hayLen <= 0) return -1;
    if (start < 0 || start >= hayLen) start = hayLen - 1;
    int p = start;
    if (p > hayLen - needleLen) p = hayLen - needleLen;
    for (; p >= 0; --p)
        if (std::memcmp(hay + p, needle, static_cast<size_t>(needleLen)) == 0) return p;
    return -1;
}

} // namespace

CStringEx& CStringEx::InsertAt(int pos, const char* text)
{
    int n = len(text);
    if (n == 0 || pos < 0) return *this;
    if (pos > GetLength()) *this += CString(' ', pos - GetLength());
    Insert(pos, CString(text, n));
    return *this;
}

CStringEx& CStringEx::InsertAt(int pos, char ch)
{
    const char text[2] = {ch, 0};
    return InsertAt(pos, text);
}

CStringEx& CStringEx::DeleteAt(int pos, int count)
{
    int length = GetLength();
    if (pos < 0 || pos >= length) return *this;
    if (count < 0 || count > length - pos) count = length - pos;
    Delete(pos, count);
    return *this;
}

CStringEx& CStringEx::ReplaceAt(int pos, int count, const char* text)
{
    DeleteAt(pos, count);
    return InsertAt(pos, text);
}

int CStringEx::FindFrom(char ch, int start) const
{
    if (start < 0) start = 0;
    if (start >= GetLength()) return -1;
    const void* hit = std::memchr(static_cast<LPCTSTR>(*this) + start, ch, static_cast<size_t>(GetLength() - start));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - static_cast<LPCTSTR>(*this)) : -1;
}

int CStringEx::FindFrom(const char* text, int start) const
{
    if (start < 0) start = 0;
    return findIn(*this, GetLength(), text, len(text), start);
}

int CStringEx::FindAfter(const char* text, int start) const
{
    int p = FindFrom(text, start);
    return p < 0 ? -1 : p + len(text);
}

int CStringEx::FindNoCase(char ch, int start) const
{
    int a = FindFrom(static_cast<char>(std::tolower(static_cast<unsigned char>(ch))), start);
    int b = FindFrom(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))), start);
    if (a < 0) return b;
    if (b < 0) return a;
    return a < b ? a : b;
}

int CStringEx::FindNoCase(const char* text, int start) const
{
    CStringEx me(lowerCopy(*this, GetLength()));
    CString t = lowerCopy(text, len(text));
    return me.FindFrom(t, start);
}

namespace {

// Shared by the two replace functions; finds on the lower-cased copy when noCase.
int replaceAll(CString& s, const char* find, const char* replacement, BOOL all, bool noCase)
{
    const int findLen = len(find);
    if (findLen == 0) return 0;  // nothing to look for; would otherwise never advance
    const std::string src(static_cast<LPCTSTR>(s), static_cast<size_t>(s.GetLength()));
    CString hay = noCase ? lowerCopy(src.data(), static_cast<int>(src.size())) : CString(src.data(), static_cast<int>(src.size()));
    CString needle = noCase ? lowerCopy(find, findLen) : CString(find, findLen);
    const std::string rep = replacement ? replacement : "";
    std::string out;
    int count = 0, from = 0;
    for (;;) {
        int p = findIn(hay, hay.GetLength(), needle, findLen, from);
        if (p < 0) break;
        out.append(src, static_cast<size_t>(from), static_cast<size_t>(p - from));
        out += rep;
        from = p + findLen;
        ++count;
        if (!all) break;
    }
    if (count == 0) return 0;
    out.append(src, static_cast<size_t>(from), std::string::npos);
    s = CString(out.data(), static_cast<int>(out.size()));
    return count;
}

} // namespace

int CStringEx::FindReplace(const char* find, const char* replacement, BOOL all)
{
    return replaceAll(*this, find, replacement, all, false);
}

int CStringEx::FindReplaceNoCase(const char* find, const char* replacement, BOOL all)
{
    return replaceAll(*this, find, replacement, all, true);
}

int CStringEx::ReverseFindFrom(const char* text, int start) const
{
    return reverseFindIn(*this, GetLength(), text, len(text), start);
}

int CStringEx::ReverseFindNoCase(const char* text, int start) const
{
    CString me = lowerCopy(*this, GetLength());
    CString t = lowerCopy(text, len(text));
    return reverseFindIn(me, me.GetLength(), t, t.GetLength(), start);
}

int CStringEx::ReverseFindNoCase(char ch, int start) const
{
    const char text[2] = {ch, 0};
    return ReverseFindNoCase(text, start);
}

CString CStringEx::GetField(const char* delim, int n) const
{
    const int dl = len(delim);
    if (n < 0) return CString();
    if (dl == 0) return n == 0 ? CString(*this) : CString();
    int from = 0;
    for (int k = 0; k < n; ++k) {
        int p = findIn(*this, GetLength(), delim, dl, from);
        if (p < 0) return CString();
        from = p + dl;
    }
    int p = findIn(*this, GetLength(), delim, dl, from);
    return Mid(from, (p < 0 ? GetLength() : p) - from);
}

CString CStringEx::GetField(char delim, int n) const
{
    const char text[2] = {delim, 0};
    return GetField(text, n);
}

int CStringEx::GetFieldCount(const char* delim) const
{
    const int dl = len(delim);
    int count = 1;
    if (dl == 0) return count;
    for (int p = 0; (p = findIn(*this, GetLength(), delim, dl, p)) >= 0; p += dl) ++count;
    return count;
}

int CStringEx::GetFieldCount(char delim) const
{
    const char text[2] = {delim, 0};
    return GetFieldCount(text);
}

CString CStringEx::GetDelimitedField(const char* open, const char* close, int n) const
{
    const int ol = len(open), cl = len(close);
    if (n < 0 || ol == 0 || cl == 0) return CString();
    int p = -1, from = 0;
    for (int k = 0; k <= n; ++k) {
        p = findIn(*this, GetLength(), open, ol, from);
        if (p < 0) return CString();
        // The next opening text is looked for behind this one, so no opening
        // text is skipped however the two texts' lengths compare.
        from = p + ol;
    }
    int body = p + ol;
    int e = findIn(*this, GetLength(), close, cl, body);
    if (e < 0) return CString();
    return Mid(body, e - body);
}

CString CStringEx::GetNextToken(int& pos, const char* delim, BOOL toEnd) const
{
    const int dl = len(delim);
    if (pos < 0 || pos >= GetLength()) {
        pos = -1;
        return CString();
    }
    int p = findIn(*this, GetLength(), delim, dl, pos);
    if (p >= 0) {
        CString token = Mid(pos, p - pos);
        pos = p + dl;
        return token;
    }
    if (toEnd) {
        CString token = Mid(pos);
        pos = GetLength() + dl;
        return token;
    }
    pos = -1;
    return CString();
}

int CStringEx::ReplaceRegExp(const char* pattern, const char* replacement)
{
    CRegularExpression re;
    if (!re.Compile(pattern)) return 0;
    // The matcher looks only forward from where it stands, so searching the
    // original text behind each match gives what searching the rewritten text
    // behind each inserted replacement would, and "^" keeps meaning the start.
    const std::string src(static_cast<LPCTSTR>(*this), static_cast<size_t>(GetLength()));
    const int n = static_cast<int>(src.size());
    std::string out;
    int count = 0, from = 0, copied = 0;
    while (from <= n) {
        int at = re.Find(src.data(), n, from);
        if (at < 0) break;
        int mlen = re.GetMatchLength();
        std::optional<CString> rep = re.GetReplaceString(replacement);
        out.append(src, static_cast<size_t>(copied), static_cast<size_t>(at - copied));
        if (rep) out.append(static_cast<LPCTSTR>(*rep), static_cast<size_t>(rep->GetLength()));
        ++count;
        copied = at + mlen;
        from = at + mlen;
        if (mlen == 0) {
            // An empty match must not stall: keep one character and move on.
            if (at < n) out += src[static_cast<size_t>(at)];
            copied = at + 1;
            from = at + 1;
        }
    }
    if (count == 0) return 0;
    if (copied < n) out.append(src, static_cast<size_t>(copied), std::string::npos);
    CString::operator=(CString(out.data(), static_cast<int>(out.size())));
    return count;
}
