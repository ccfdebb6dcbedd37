// ASSERT and TRACE back ends (active in _DEBUG builds only).
#include "fx/types.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void AfxAssertFailedLine(const char* file, int line)
{
    std::fprintf(stderr, "assertion failed: %s(%d)\n", file ? file : "?", line);
    std::fflush(stderr);
    std::abort();
}

void AfxTrace(const char* format, ...)
{
    if (!format)
        return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
#ifdef _WIN32
    OutputDebugStringA(buffer);
#else
    std::fputs(buffer, stderr);
#endif
}
