// Settings handed to test programs and test devices as one text: the
// non-empty parts between separators.
#pragma once
#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace testsupport
