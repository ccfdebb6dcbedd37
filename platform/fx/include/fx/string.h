// CString: an ANSI text with value semantics.
//
// The object is one pointer to the characters; a small header (length and
// allocated size) sits in front of them, so a CString stays the size of a
// pointer. Every CString owns its buffer (no sharing): copies allocate.
// A CString is never null: an empty one points at a shared static "".
#pragma once

#include <cstdarg>
#include "fx/types.h"

class CString {
public:
    CString();
    CString(const CString& other);
    CString(CString&& other) noexcept;
    CString(char ch, int repeat = 1);
    CString(const char* text);                 // null gives an empty text
    CString(const char* text, int length);     // at most length chars, stops at none
    CString(const unsigned char* text);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* text);
    CString& operator=(const unsigned char* text);
    CString& operator=(char ch);

    // Size and access
    int GetLength() const { return header()->length; }
    BOOL IsEmpty() const { return header()->length == 0; }
    void Empty();
    // Out of range reads give '\0' and writes are ignored: never touch memory outside.
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch);
    operator LPCTSTR() const { return m_pchData; }

    // Concatenation
    CString& operator+=(const CString& text);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

    // Comparison: <0, 0, >0 as strcmp. A null pointer compares as "".
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;
    int Collate(const char* text) const;

    // Extraction (counts and positions are clamped to the text)
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(const char* charSet) const;
    CString SpanExcluding(const char* charSet) const;

    // Changes in place
    void MakeUpper();
    void MakeLower();
    void MakeReverse();
    CString& TrimRight();
    CString& TrimRight(char target);
    CString& TrimRight(const char* targets);
    CString& TrimLeft();
    CString& TrimLeft(char target);
    CString& TrimLeft(const char* targets);
    int Replace(char oldCh, char newCh);                   // number replaced
    int Replace(const char* oldText, const char* newText);  // number replaced
    int Remove(char ch);                                    // number removed
    int Insert(int index, char ch);                         // new length
    int Insert(int index, const char* text);                // new length
    int Delete(int index, int count = 1);                   // new length

    // Searching: index of the first match, or -1
    int Find(char ch) const;
    int Find(char ch, int start) const;
    int Find(const char* sub) const;
    int Find(const char* sub, int start) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* charSet) const;

    // printf-style formatting
    void Format(const char* format, ...)
#if defined(__GNUC__) || defined(__clang__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void FormatV(const char* format, va_list args);

#ifdef _WIN32
    // Loads a string resource of the module; defined by the window core.
    BOOL LoadString(UINT id);
#endif

    // Direct buffer access. GetBuffer gives room for at least minLength chars
    // plus the terminator; ReleaseBuffer(-1) takes the length up to the first
    // '\0' within that room.
    char* GetBuffer(int minLength);
    char* GetBufferSetLength(int newLength);
    void ReleaseBuffer(int newLength = -1);
    void FreeExtra();
    int GetAllocLength() const { return header()->alloc; }
    char* LockBuffer() { return GetBuffer(0); }
    void UnlockBuffer() {}

private:
    struct Header {
        int length;
        int alloc;  // room for chars, not counting the terminator
    };
    Header* header() const { return reinterpret_cast<Header*>(m_pchData) - 1; }
    bool isStaticEmpty() const;
    // Makes room for at least len chars (contents kept when keep is true).
    void reserve(int len, bool keep);
    void assign(const char* text, int len);
    void append(const char* text, int len);
    void setLength(int len);

    char* m_pchData;
};

// Comparisons with texts (null pointers compare as "")
bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, const char* b);
bool operator<(const char* a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, const char* b);
bool operator>(const char* a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, const char* b);
bool operator<=(const char* a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, const char* b);
bool operator>=(const char* a, const CString& b);
