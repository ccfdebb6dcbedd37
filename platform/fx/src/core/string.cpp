// CString implementation.
#include "fx/string.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The shared empty text: a zero header followed by a zero terminator.
// It is never written (its alloc is 0, so every change reallocates first).
struct EmptyBlock {
    int length;
    int alloc;
    char text[8];
};
EmptyBlock g_empty = {0, 0, {0}};

inline const char* safe(const char* p) { return p ? p : ""; }

int checkedLen(size_t n)
{
    if (n > static_cast<size_t>(INT_MAX) - 64)
        AfxThrowMemoryException();
    return static_cast<int>(n);
}

int sum(int a, int b)
{
    if (a < 0 || b < 0 || a > INT_MAX - 64 - b)
        AfxThrowMemoryException();
    return a + b;
}

bool isWhite(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

int compareNoCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}

} // namespace

static_assert(sizeof(EmptyBlock) >= 2 * sizeof(int) + 1, "layout");

bool CString::isStaticEmpty() const { return m_pchData == g_empty.text; }

CString::CString() : m_pchData(g_empty.text) {}

CString::CString(const CString& other) : m_pchData(g_empty.text)
{
    assign(other.m_pchData, other.GetLength());
}

CString::CString(CString&& other) noexcept : m_pchData(other.m_pchData)
{
    other.m_pchData = g_empty.text;
}

CString::CString(char ch, int repeat) : m_pchData(g_empty.text)
{
    if (repeat > 0) {
        reserve(repeat, false);
        std::memset(m_pchData, ch, static_cast<size_t>(repeat));
        setLength(repeat);
    }
}

CString::CString(const char* text) : m_pchData(g_empty.text)
{
    if (text)
        assign(text, checkedLen(std::strlen(text)));
}

CString::CString(const char* text, int length) : m_pchData(g_empty.text)
{
    if (text && length > 0)
        assign(text, length);
}

CString::CString(const unsigned char* text)
    : CString(reinterpret_cast<const char*>(text)) {}

CString::~CString()
{
    if (!isStaticEmpty())
        std::free(header());
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        assign(other.m_pchData, other.GetLength());
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        if (!isStaticEmpty())
            std::free(header());
        m_pchData = other.m_pchData;
        other.m_pchData = g_empty.text;
    }
    return *this;
}

CString& CString::operator=(const char* text)
{
    if (!text) {
        Empty();
        return *this;
    }
    // text may point into our own buffer (s = s.GetBuffer...): assign copes.
    assign(text, checkedLen(std::strlen(text)));
    return *this;
}

CString& CString::operator=(const unsigned char* text)
{
    return *this = reinterpret_cast<const char*>(text);
}

CString& CString::operator=(char ch)
{
    assign(&ch, 1);
    return *this;
}

void CString::reserve(int len, bool keep)
{
    if (len < 0)
        len = 0;
    if (len <= header()->alloc)
        return;
    int oldLen = GetLength();
    // Grow geometrically so repeated appends stay linear.
    int grow = header()->alloc + header()->alloc / 2;
    int alloc = len > grow ? len : grow;
    if (alloc > INT_MAX - 64)
        alloc = len;
    size_t bytes = sizeof(Header) + static_cast<size_t>(alloc) + 1;
    Header* h = static_cast<Header*>(std::malloc(bytes));
    if (!h)
        AfxThrowMemoryException();
    h->alloc = alloc;
    h->length = 0;
    char* data = reinterpret_cast<char*>(h + 1);
    data[0] = '\0';
    if (keep && oldLen > 0) {
        std::memcpy(data, m_pchData, static_cast<size_t>(oldLen) + 1);
        h->length = oldLen;
    }
    if (!isStaticEmpty())
        std::free(header());
    m_pchData = data;
}

void CString::setLength(int len)
{
    if (isStaticEmpty())
        return;
    header()->length = len;
    m_pchData[len] = '\0';
}

void CString::assign(const char* text, int len)
{
    if (len <= 0) {
        if (!isStaticEmpty())
            setLength(0);
        return;
    }
    if (len <= header()->alloc) {
        std::memmove(m_pchData, text, static_cast<size_t>(len));
        setLength(len);
        return;
    }
    // The source may live in our buffer: copy into a fresh one before freeing.
    CString fresh;
    fresh.reserve(len, false);
    std::memcpy(fresh.m_pchData, text, static_cast<size_t>(len));
    fresh.setLength(len);
    *this = static_cast<CString&&>(fresh);
}

void CString::append(const char* text, int len)
{
    if (len <= 0)
        return;
    int oldLen = GetLength();
    int newLen = sum(oldLen, len);
    if (newLen > header()->alloc) {
        // text may point into our own buffer; keep it alive across the move.
        CString fresh;
        fresh.reserve(newLen, false);
        std::memcpy(fresh.m_pchData, m_pchData, static_cast<size_t>(oldLen));
        std::memcpy(fresh.m_pchData + oldLen, text, static_cast<size_t>(len));
        fresh.setLength(newLen);
        *this = static_cast<CString&&>(fresh);
        return;
    }
    std::memmove(m_pchData + oldLen, text, static_cast<size_t>(len));
    setLength(newLen);
}

void CString::Empty()
{
    if (!isStaticEmpty())
        std::free(header());
    m_pchData = g_empty.text;
}

char CString::GetAt(int index) const
{
    ASSERT(index >= 0 && index < GetLength());
    if (index < 0 || index >= GetLength())
        return '\0';
    return m_pchData[index];
}

void CString::SetAt(int index, char ch)
{
    ASSERT(index >= 0 && index < GetLength());
    if (index < 0 || index >= GetLength())
        return;
    m_pchData[index] = ch;
}

CString& CString::operator+=(const CString& text)
{
    append(text.m_pchData, text.GetLength());
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text)
        append(text, checkedLen(std::strlen(text)));
    return *this;
}

CString& CString::operator+=(char ch)
{
    append(&ch, 1);
    return *this;
}

static CString concat(const char* a, int la, const char* b, int lb)
{
    CString r;
    char* p = r.GetBuffer(sum(la, lb));
    if (la)
        std::memcpy(p, a, static_cast<size_t>(la));
    if (lb)
        std::memcpy(p + la, b, static_cast<size_t>(lb));
    r.ReleaseBuffer(la + lb);
    return r;
}

CString operator+(const CString& a, const CString& b)
{
    return concat(a, a.GetLength(), b, b.GetLength());
}

CString operator+(const CString& a, const char* b)
{
    b = safe(b);
    return concat(a, a.GetLength(), b, checkedLen(std::strlen(b)));
}

CString operator+(const char* a, const CString& b)
{
    a = safe(a);
    return concat(a, checkedLen(std::strlen(a)), b, b.GetLength());
}

CString operator+(const CString& a, char b)
{
    return concat(a, a.GetLength(), &b, 1);
}

CString operator+(char a, const CString& b)
{
    return concat(&a, 1, b, b.GetLength());
}

int CString::Compare(const char* text) const
{
    return std::strcmp(m_pchData, safe(text));
}

int CString::CompareNoCase(const char* text) const
{
    return compareNoCase(m_pchData, safe(text));
}

int CString::Collate(const char* text) const
{
    return std::strcoll(m_pchData, safe(text));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    int len = GetLength();
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    if (first >= len)
        return CString();
    if (count > len - first)
        count = len - first;
    return CString(m_pchData + first, count);
}

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return CString(m_pchData, count);
}

CString CString::Right(int count) const
{
    int len = GetLength();
    if (count <= 0)
        return CString();
    if (count >= len)
        return *this;
    return CString(m_pchData + len - count, count);
}

CString CString::SpanIncluding(const char* charSet) const
{
    return Left(static_cast<int>(std::strspn(m_pchData, safe(charSet))));
}

CString CString::SpanExcluding(const char* charSet) const
{
    return Left(static_cast<int>(std::strcspn(m_pchData, safe(charSet))));
}

void CString::MakeUpper()
{
    for (int i = 0; i < GetLength(); ++i)
        m_pchData[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(m_pchData[i])));
}

void CString::MakeLower()
{
    for (int i = 0; i < GetLength(); ++i)
        m_pchData[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(m_pchData[i])));
}

void CString::MakeReverse()
{
    int len = GetLength();
    for (int i = 0, j = len - 1; i < j; ++i, --j) {
        char t = m_pchData[i];
        m_pchData[i] = m_pchData[j];
        m_pchData[j] = t;
    }
}

CString& CString::TrimRight()
{
    int len = GetLength();
    while (len > 0 && isWhite(m_pchData[len - 1]))
        --len;
    if (len != GetLength())
        setLength(len);
    return *this;
}

CString& CString::TrimRight(char target)
{
    int len = GetLength();
    while (len > 0 && m_pchData[len - 1] == target)
        --len;
    if (len != GetLength())
        setLength(len);
    return *this;
}

CString& CString::TrimRight(const char* targets)
{
    targets = safe(targets);
    int len = GetLength();
    while (len > 0 && std::strchr(targets, m_pchData[len - 1]))
        --len;
    if (len != GetLength())
        setLength(len);
    return *this;
}

static CString& dropFront(CString& s, char* data, int n)
{
    if (n > 0) {
        int len = s.GetLength();
        std::memmove(data, data + n, static_cast<size_t>(len - n));
        s.ReleaseBuffer(len - n);
    }
    return s;
}

CString& CString::TrimLeft()
{
    int n = 0;
    while (n < GetLength() && isWhite(m_pchData[n]))
        ++n;
    return dropFront(*this, m_pchData, n);
}

CString& CString::TrimLeft(char target)
{
    int n = 0;
    while (n < GetLength() && m_pchData[n] == target)
        ++n;
    return dropFront(*this, m_pchData, n);
}

CString& CString::TrimLeft(const char* targets)
{
    targets = safe(targets);
    int n = 0;
    while (n < GetLength() && std::strchr(targets, m_pchData[n]))
        ++n;
    return dropFront(*this, m_pchData, n);
}

int CString::Replace(char oldCh, char newCh)
{
    int count = 0;
    if (oldCh == newCh)
        return 0;
    for (int i = 0; i < GetLength(); ++i) {
        if (m_pchData[i] == oldCh) {
            m_pchData[i] = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char* oldText, const char* newText)
{
    if (!oldText || !*oldText)
        return 0;
    newText = safe(newText);
    size_t oldLen = std::strlen(oldText);
    size_t newLen = std::strlen(newText);
    int count = 0;
    for (const char* p = std::strstr(m_pchData, oldText); p; p = std::strstr(p + oldLen, oldText))
        ++count;
    if (!count)
        return 0;
    CString out;
    size_t total = static_cast<size_t>(GetLength()) + count * newLen - count * oldLen;
    char* dst = out.GetBuffer(checkedLen(total));
    const char* src = m_pchData;
    for (const char* p = std::strstr(src, oldText); p; p = std::strstr(src, oldText)) {
        size_t keep = static_cast<size_t>(p - src);
        std::memcpy(dst, src, keep);
        dst += keep;
        std::memcpy(dst, newText, newLen);
        dst += newLen;
        src = p + oldLen;
    }
    size_t rest = static_cast<size_t>(m_pchData + GetLength() - src);
    std::memcpy(dst, src, rest);
    out.ReleaseBuffer(static_cast<int>(total));
    *this = static_cast<CString&&>(out);
    return count;
}

int CString::Remove(char ch)
{
    int len = GetLength();
    int w = 0;
    for (int r = 0; r < len; ++r) {
        if (m_pchData[r] != ch)
            m_pchData[w++] = m_pchData[r];
    }
    if (w != len)
        setLength(w);
    return len - w;
}

int CString::Insert(int index, char ch)
{
    return Insert(index, CString(ch, 1));
}

int CString::Insert(int index, const char* text)
{
    int len = GetLength();
    if (index < 0)
        index = 0;
    if (index > len)
        index = len;
    text = safe(text);
    int add = checkedLen(std::strlen(text));
    if (add == 0)
        return len;
    CString out;
    char* p = out.GetBuffer(sum(len, add));
    std::memcpy(p, m_pchData, static_cast<size_t>(index));
    std::memcpy(p + index, text, static_cast<size_t>(add));
    std::memcpy(p + index + add, m_pchData + index, static_cast<size_t>(len - index));
    out.ReleaseBuffer(len + add);
    *this = static_cast<CString&&>(out);
    return GetLength();
}

int CString::Delete(int index, int count)
{
    int len = GetLength();
    if (index < 0)
        index = 0;
    if (count <= 0 || index >= len)
        return len;
    if (count > len - index)
        count = len - index;
    std::memmove(m_pchData + index, m_pchData + index + count,
                 static_cast<size_t>(len - index - count));
    setLength(len - count);
    return GetLength();
}

int CString::Find(char ch) const
{
    return Find(ch, 0);
}

int CString::Find(char ch, int start) const
{
    if (start < 0)
        start = 0;
    int len = GetLength();
    for (int i = start; i < len; ++i)
        if (m_pchData[i] == ch)
            return i;
    return -1;
}

int CString::Find(const char* sub) const
{
    return Find(sub, 0);
}

int CString::Find(const char* sub, int start) const
{
    if (start < 0)
        start = 0;
    if (start > GetLength())
        return -1;
    const char* p = std::strstr(m_pchData + start, safe(sub));
    return p ? static_cast<int>(p - m_pchData) : -1;
}

int CString::ReverseFind(char ch) const
{
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pchData[i] == ch)
            return i;
    return -1;
}

int CString::FindOneOf(const char* charSet) const
{
    charSet = safe(charSet);
    for (int i = 0; i < GetLength(); ++i)
        if (std::strchr(charSet, m_pchData[i]))
            return i;
    return -1;
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    format = safe(format);
    int room = 256;
    for (;;) {
        CString out;
        char* p = out.GetBuffer(room);
        va_list copy;
        va_copy(copy, args);
        int n = std::vsnprintf(p, static_cast<size_t>(room) + 1, format, copy);
        va_end(copy);
        if (n >= 0 && n <= room) {
            out.ReleaseBuffer(n);
            *this = static_cast<CString&&>(out);
            return;
        }
        // Some C libraries answer -1 on truncation instead of the length needed.
        if (n < 0) {
            if (room >= INT_MAX / 4)
                AfxThrowMemoryException();
            room *= 2;
        } else {
            room = n;
        }
    }
}

char* CString::GetBuffer(int minLength)
{
    reserve(minLength, true);
    if (isStaticEmpty())
        reserve(1, false);
    return m_pchData;
}

char* CString::GetBufferSetLength(int newLength)
{
    if (newLength < 0)
        newLength = 0;
    GetBuffer(newLength);
    // Characters beyond the old text are unspecified; keep them defined.
    int old = GetLength();
    if (newLength > old)
        std::memset(m_pchData + old, 0, static_cast<size_t>(newLength - old));
    setLength(newLength);
    return m_pchData;
}

void CString::ReleaseBuffer(int newLength)
{
    if (isStaticEmpty())
        return;
    int alloc = header()->alloc;
    if (newLength < 0) {
        const void* end = std::memchr(m_pchData, 0, static_cast<size_t>(alloc) + 1);
        newLength = end ? static_cast<int>(static_cast<const char*>(end) - m_pchData) : alloc;
    }
    if (newLength > alloc)
        newLength = alloc;
    setLength(newLength);
}

void CString::FreeExtra()
{
    if (isStaticEmpty() || header()->alloc == GetLength())
        return;
    CString tight(m_pchData, GetLength());
    *this = static_cast<CString&&>(tight);
}

// Comparisons
bool operator==(const CString& a, const CString& b)
{
    return a.GetLength() == b.GetLength() && a.Compare(b) == 0;
}
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
bool operator!=(const char* a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, const char* b) { return a.Compare(b) > 0; }
bool operator>(const char* a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator<=(const CString& a, const char* b) { return a.Compare(b) <= 0; }
bool operator<=(const char* a, const CString& b) { return b.Compare(a) >= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
bool operator>=(const CString& a, const char* b) { return a.Compare(b) >= 0; }
bool operator>=(const char* a, const CString& b) { return b.Compare(a) <= 0; }
