// Common test entry point.
#include <gtest/gtest.h>
#include <cstdio>

int main(int argc, char** argv) {
    // Unbuffered output so that a crash under Wine still shows what ran.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
