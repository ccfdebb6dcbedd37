// String extensions used by form parsing and text rewriting: positional
// insert/delete/replace, searches from a position (also without regard to
// case), fields and tokens, and replacement by regular expression.
// Positions count from 0; -1 means "not found".
#pragma once
#include "fx/fx.h"

class CStringEx : public CString {
public:
    CStringEx() {}
    CStringEx(const CString& s) : CString(s) {}
    CStringEx(const char* s) : CString(s) {}
    CStringEx(const char* s, int length) : CString(s, length) {}
    CStringEx& operator=(const CString& s) { CString::operator=(s); return *this; }
    CStringEx& operator=(const char* s) { CString::operator=(s); return *this; }

    // Inserts text at pos; a pos beyond the end pads with spaces up to it.
    CStringEx& InsertAt(int pos, const char* text);
    CStringEx& InsertAt(int pos, char ch);
    // Removes count characters (negative or too many: to the end).
    CStringEx& DeleteAt(int pos, int count);
    CStringEx& ReplaceAt(int pos, int count, const char* text);

    int FindFrom(char ch, int start) const;
    int FindFrom(const char* text, int start) const;
    int FindAfter(const char* text, int start) const;
    int FindNoCase(char ch, int start) const;
    int FindNoCase(const char* text, int start) const;
    // Replaces the first occurrence, or every one (never rescanning what was
    // inserted); returns the number of replacements. An empty find text
    // replaces nothing.
    int FindReplace(const char* find, const char* replacement, BOOL all);
    int FindReplaceNoCase(const char* find, const char* replacement, BOOL all);
    // Last position at or before start (-1 or past the end: the last
    // character) where text begins, or -1.
    int ReverseFindFrom(const char* text, int start) const;
    int ReverseFindNoCase(const char* text, int start) const;
    int ReverseFindNoCase(char ch, int start) const;

    CString GetField(const char* delim, int n) const;
    CString GetField(char delim, int n) const;
    int GetFieldCount(const char* delim) const;
    int GetFieldCount(char delim) const;
    // The text between the n-th opening text and the next closing text after it.
    CString GetDelimitedField(const char* open, const char* close, int n) const;
    // Text from pos to the next delimiter; pos moves behind the delimiter. With
    // no delimiter left: toEnd gives the rest (pos moves past the end), else ""
    // and pos -1. Nothing is found at or beyond the end (pos -1).
    CString GetNextToken(int& pos, const char* delim, BOOL toEnd) const;

    // Replaces every match of the regular expression pattern by the
    // replacement template; returns the number of matches replaced (0 also
    // for a pattern that does not compile).
    int ReplaceRegExp(const char* pattern, const char* replacement);
};
