// Library versions read from version resources and judged against the
// thresholds, with libraries built for the purpose.
#include <gtest/gtest.h>

#include <string>

#include "library_check.h"

namespace {
std::string Fixture(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}
} // namespace

TEST(LibraryCheck, VersionsAreReadAndComparedAsIntegers)
{
    struct Case {
        const char* library;
        double reading;
        int against8168;
    } cases[] = {
        {"pexmor_v6_8168.dll", 6.8168, 1},
        {"pexmor_v6_8167.dll", 6.8167, -2},
        // A build below 10 reads with two digits: 6.05.
        {"pexmor_v6_5.dll", 6.05, -2},
        // As a number 6.10000 is 6.1, below 6.8168; as integers it is newer.
        {"pexmor_v6_10000.dll", 6.1, 1},
        {"pexmor_v7_1.dll", 7.01, 1},
        {"pexmor_v5_9999.dll", 5.9999, -2},
        // No version information counts as missing, like a library that does not load.
        {"pexmor_noversion.dll", -2, -1},
        {"pexmor_not_there.dll", -1, -1},
    };
    for (const Case& c : cases) {
        std::string path = Fixture(c.library);
        EXPECT_DOUBLE_EQ(c.reading, GetDllVersion(path.c_str())) << c.library;
        EXPECT_EQ(c.against8168, CheckLibrary(path.c_str(), 6, 8168)) << c.library;
    }
}
