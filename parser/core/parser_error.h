// The parser's two ways of failing: a fatal limit (thrown, caught by the core's
// catch-all) and a grammar error (kept as the last error, never thrown).
#pragma once
#include <string>

// Thrown for broken internal invariants and hard limits (too many links, a bad
// linkage index...). Callers catch it with catch (...).
struct ParserLimitException {
    const char* reason;
};

[[noreturn]] void ThrowParserLimit(const char* reason);

// Formats "GRAMMAR: <text of code>" plus the details, keeps it as the last error.
void GrammarError(int code, const char* format, ...);

const std::string& LastGrammarErrorText();
int LastGrammarErrorCode();
void ClearLastGrammarError();
