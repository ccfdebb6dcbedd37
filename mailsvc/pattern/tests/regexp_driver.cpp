// Reads pairs of lines (pattern, text) and prints what the expression finds:
// "ERR" for a pattern that does not compile, "-1" for no match, else the
// position, the length and groups 1 to 3 in brackets.
#include "pattern/regexp.h"

#include <iostream>
#include <string>

int main()
{
    std::string pattern, text;
    while (std::getline(std::cin, pattern) && std::getline(std::cin, text)) {
        CRegularExpression re;
        if (!re.Compile(pattern.c_str())) {
            std::cout << "ERR\n";
            continue;
        }
        int at = re.Find(text.c_str());
        if (at < 0) {
            std::cout << "-1\n";
            continue;
        }
        std::cout << at << " " << re.GetMatchLength();
        for (const char* group : {"\\1", "\\2", "\\3"})
            std::cout << " [" << static_cast<LPCTSTR>(*re.GetReplaceString(group)) << "]";
        std::cout << "\n";
    }
    return 0;
}
