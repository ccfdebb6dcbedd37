// Band widths and band colours of the toolkit's gradients.
#include "gradient_math.h"

#include <gtest/gtest.h>

TEST(GradientMath, BandWidths)
{
    const struct {
        int extent, width;
    } cases[] = {{0, 1}, {1, 1}, {100, 1}, {255, 1}, {256, 2}, {300, 2}, {383, 2}, {384, 3}, {1280, 10}};
    for (auto c : cases)
        EXPECT_EQ(gradient::BandWidth(c.extent), c.width) << c.extent;
}

TEST(GradientMath, BandColours)
{
    const uint32_t red = 0x0000FF, blue = 0xFF0000;
    const struct {
        uint32_t first, second;
        int k, n;
        uint32_t color;
    } cases[] = {
        {red, blue, 1, 4, 0xC0003F},
        {red, blue, 2, 4, 0x80007F},
        {red, blue, 3, 4, 0x4000BF},
        {red, blue, 4, 4, 0x0000FF},
        {red, blue, 0, 4, 0xFF0000},
        {0x102030, 0x102030, 3, 7, 0x102030},
        {0xFFFFFF, 0x000000, 1, 3, 0x555555},
        {0x000000, 0xFFFFFF, 1, 3, 0xAAAAAA},  // 255 - 85, the quotient truncated toward zero
        {red, blue, 1, 0, 0xFF0000},           // no extent: the second colour
        {0xFF123456, 0xEE000000, 2, 2, 0x123456},  // the top byte plays no part
    };
    for (auto c : cases)
        EXPECT_EQ(gradient::BandColor(c.first, c.second, c.k, c.n), c.color)
            << std::hex << c.first << " " << c.second << " " << c.k << "/" << c.n;
}
