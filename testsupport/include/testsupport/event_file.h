// Test plug-ins report what they are asked to do as lines of "events.txt" in
// the current folder, which outlives the module: "<tag> <text>".
#pragma once
#include <cstdarg>
#include <cstdio>

namespace testsupport {

inline void AppendEvent(const char* tag, const char* format, ...)
{
    FILE* f = std::fopen("events.txt", "a");
    if (!f)
        return;
    std::fputs(tag, f);
    std::fputs(" ", f);
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputs("\n", f);
    std::fclose(f);
}

} // namespace testsupport
