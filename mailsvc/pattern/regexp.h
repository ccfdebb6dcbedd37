// A small regular-expression engine: a compiled node program and a
// backtracking matcher with up to nine groups.
//
// Syntax (bytes, case counts): "." any character, "^" start and "$" end of the
// searched text, "[...]" / "[^...]" sets with ranges, "(...)" groups, "|"
// alternatives, "*", "+", "?" repetition, "\c" the character c literally.
#pragma once
#include "fx/fx.h"

#include <optional>
#include <string>
#include <vector>

class CRegularExpression {
public:
    enum { kGroups = 10 };  // group 0 is the whole match

    CRegularExpression();

    // Compiles pattern; returns this object, or nullptr on a syntax error (the
    // object then matches nothing).
    CRegularExpression* Compile(const char* pattern);
    bool IsCompiled() const { return m_bCompiled; }

    // Position of the first match in text, or -1. The overload with start
    // searches from that offset while "^" still means the start of text.
    int Find(const char* text);
    int Find(const char* text, int length, int start);
    int GetMatchLength() const;

    // The replacement template filled from the last match ("&" or "\0" the whole
    // match, "\1".."\9" a group, "\\" and "\&" literal); none without a match.
    std::optional<CString> GetReplaceString(const char* replacement) const;

    // Searches bounded by this many matcher steps count as failed (no match), so
    // a pathological pattern cannot hang its caller on outside text.
    static long StepBudgetFor(int textLength);

private:
    struct Parser;

    bool tryAt(int pos);
    bool match(int node, int depth);
    int repeat(int node) const;
    int next(int node) const;

    bool m_bCompiled = false;
    std::vector<unsigned char> m_program;
    int m_start = -1;                // first-character hint, or -1
    bool m_bAnchored = false;
    int m_must = -1, m_mustLen = 0;  // required literal inside m_program
    // Last match: the matched text copied, groups relative to m_matchStart.
    std::string m_matchText;
    int m_matchStart = -1;
    int m_groupStart[kGroups];
    int m_groupEnd[kGroups];
    // Matching state.
    const char* m_text = nullptr;
    int m_textLen = 0;
    int m_input = 0;
    long m_steps = 0;
    bool m_aborted = false;
};
