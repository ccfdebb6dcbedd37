#include "library_check.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

LibraryVersion ReadLibraryVersion(const char* file)
{
    LibraryVersion version;
    HMODULE module = ::LoadLibraryA(file);
    if (!module)
        return version;
    version.status = LibraryVersion::kNoVersion;
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(module, path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = n && n < MAX_PATH ? ::GetFileVersionInfoSizeA(path, &handle) : 0;
    if (size) {
        std::vector<BYTE> data(size);
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        if (::GetFileVersionInfoA(path, 0, size, data.data()) &&
            ::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) && info &&
            length >= sizeof(VS_FIXEDFILEINFO)) {
            version.status = LibraryVersion::kFound;
            version.major = HIWORD(info->dwFileVersionMS);
            version.build = HIWORD(info->dwFileVersionLS);
        }
    }
    ::FreeLibrary(module);
    return version;
}

double GetDllVersion(const char* file)
{
    LibraryVersion version = ReadLibraryVersion(file);
    if (version.status != LibraryVersion::kFound)
        return version.status;
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", version.major, version.build);
    return std::atof(text);
}

int CheckLibrary(const char* file, int major, int build)
{
    LibraryVersion version = ReadLibraryVersion(file);
    if (version.status != LibraryVersion::kFound)
        return -1;
    // As numbers "6.10000" would read as 6.1 and fall below 6.8397: compare the parts.
    if (version.major != major)
        return version.major > major ? 1 : -2;
    return version.build >= build ? 1 : -2;
}
