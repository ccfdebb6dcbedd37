// The shared run-time libraries the assistant needs, and how their versions
// are read and judged.
#pragma once

#include <windows.h>

// What a library's version resource says: the high word of the file
// version's most significant part (the major number) and the high word of its
// least significant part (the build).
struct LibraryVersion {
    enum Status { kFound = 0, kNotLoadable = -1, kNoVersion = -2 };
    int status = kNotLoadable;
    int major = 0;
    int build = 0;
};

// Loads the library (freed again) and reads its version.
LibraryVersion ReadLibraryVersion(const char* file);

// The version as the report reads it: "%d.%02d" of major and build, as a
// number (6.0.8168.0 gives 6.8168, 6.0.5.0 gives 6.05); -1 when the library
// does not load, -2 without version information.
double GetDllVersion(const char* file);

// 1 when the library is at least major.build (compared as integers), -2 when
// older, -1 when it does not load or has no version information.
int CheckLibrary(const char* file, int major, int build);
