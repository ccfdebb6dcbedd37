// The test harness itself: temp folders, source paths and, under Wine, real windows.
#include <gtest/gtest.h>
#include "testsupport/testsupport.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace testsupport;

TEST(Harness, TempDirIsCreatedAndRemoved) {
    std::string kept;
    {
        TempDir dir;
        kept = dir.path();
        ASSERT_TRUE(FileExists(kept));
        ASSERT_TRUE(WriteFile(dir.file("a.txt"), std::string("x\0y", 3)));
        EXPECT_EQ(ReadFile(dir.file("a.txt")), std::string("x\0y", 3));
    }
    EXPECT_FALSE(FileExists(kept));
}

TEST(Harness, SourceTreeIsReachable) {
    EXPECT_TRUE(FileExists(SourcePath("CMakeLists.txt")));
}

#ifdef _WIN32
TEST(Harness, RealWindowUnderTheDisplay) {
    HWND wnd = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               10, 10, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    char text[16] = {};
    GetWindowTextA(wnd, text, sizeof text);
    EXPECT_STREQ(text, "probe");
    EXPECT_TRUE(DestroyWindow(wnd));
}
#endif
