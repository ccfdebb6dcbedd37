// Patterns and texts from outside: the first line is the pattern, the rest the
// text. Compiling, searching, replacing and wildcard matching must stay inside
// their buffers and always end.
#include "pattern/regexp.h"
#include "pattern/stringex.h"
#include "pattern/wildcard.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string in(reinterpret_cast<const char*>(data), size);
    size_t nl = in.find('\n');
    std::string pattern = in.substr(0, nl);
    std::string text = nl == std::string::npos ? std::string() : in.substr(nl + 1);
    pattern = pattern.c_str();  // patterns are zero-terminated texts

    CRegularExpression re;
    if (re.Compile(pattern.c_str())) {
        int at = re.Find(text.data(), static_cast<int>(text.size()), 0);
        if (at >= 0) {
            if (at + re.GetMatchLength() > static_cast<int>(text.size())) __builtin_trap();
            re.GetReplaceString("[&\\1\\9\\\\]");
        }
    }
    CStringEx s(text.data(), static_cast<int>(text.size()));
    s.ReplaceRegExp(pattern.c_str(), "<\\0>");

    CString p = pattern.c_str(), t = CString(text.c_str());
    MatchWildcard(p, t);

    CStringEx f(text.c_str());
    int pos = 0, guard = 0;
    while (pos >= 0 && pos < f.GetLength() && ++guard < 100000) f.GetNextToken(pos, pattern.c_str(), TRUE);
    f.GetField(pattern.c_str(), 3);
    f.GetDelimitedField(pattern.c_str(), "x", 2);
    f.FindReplace(pattern.c_str(), "yy", TRUE);
    return 0;
}
