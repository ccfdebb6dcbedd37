#include "parser/core/parser_error.h"

#include <cstdarg>
#include <cstdio>

namespace {
std::string g_lastText;
int g_lastCode = 0;

const char* CodeText(int code)
{
    switch (code) {
    case 1: return "cannot open the dictionary ";
    case 2: return "syntax error ";
    case 3: return "cannot open the word file ";
    case 4: return "cannot read the rule file ";
    default: return "";
    }
}
} // namespace

void ThrowParserLimit(const char* reason)
{
    throw ParserLimitException{reason};
}

void GrammarError(int code, const char* format, ...)
{
    char details[1024];
    details[0] = 0;
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(details, sizeof details, format, args);
        va_end(args);
    }
    g_lastText = std::string("GRAMMAR: ") + CodeText(code) + details;
    g_lastCode = code;
    std::fflush(stderr);
}

const std::string& LastGrammarErrorText() { return g_lastText; }
int LastGrammarErrorCode() { return g_lastCode; }
void ClearLastGrammarError()
{
    g_lastText.clear();
    g_lastCode = 0;
}
