// Cascade and gather-effect geometry.
#include "winmgr/openeffect_frames.h"

#include <gtest/gtest.h>

#include <algorithm>

using winmgr::FrameRect;

TEST(WindowCascade, RunsInStepsOfSixteenAndWrapsAtSixtyFour)
{
    int offset = 0;
    std::vector<int> seen;
    for (int i = 0; i < 9; ++i) {
        seen.push_back(offset);
        offset = winmgr::NextCascadeOffset(offset);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 16, 32, 48, 0, 16, 32, 48, 0}));
    // An offset beyond the limit (never produced, but kept safe) wraps too.
    EXPECT_EQ(winmgr::NextCascadeOffset(100), 0);
}

TEST(WindowCascade, FixedMulDivRoundsHalfAwayFromZero)
{
    struct Case {
        long a, b, c, expect;
    } cases[] = {
        {65536, 150, 50, 196608},  // 3.0
        {3, 1, 2, 2},
        {-3, 1, 2, -2},
        {5, 65536, 65536, 5},
        {-40, 131072, 65536, -80},
        {7, 9, 0, 0},               // degenerate divisor
        {2000000000, 65536, 65536, 2000000000},  // no 32-bit overflow inside
    };
    for (const Case& c : cases)
        EXPECT_EQ(winmgr::FixedMulDiv(c.a, c.b, c.c), c.expect) << c.a << "*" << c.b << "/" << c.c;
}

TEST(GatherEffect, FirstFrameDrawsNothing)
{
    EXPECT_TRUE(winmgr::GatherEffectFrame({100, 100, 500, 300}, 0).empty());
}

TEST(GatherEffect, CellsCloseInAndGrowUntilTheyCoverTheWindow)
{
    const FrameRect target{100, 100, 500, 300};  // centre (300, 200), hw 200, hh -100
    // Frame 1: half sizes 200/200 = 1 and -100/200 = 0; scale 148/50.
    std::vector<FrameRect> f1 = winmgr::GatherEffectFrame(target, 1);
    ASSERT_EQ(f1.size(), 16u);
    const long s1 = winmgr::FixedMulDiv(65536, 148, 50);
    // First cell: a = b = 0, p = (-3*200/4, -3*-100/4) = (-150, 75).
    const long qx = winmgr::FixedMulDiv(-150, s1, 65536) + 300;
    const long qy = winmgr::FixedMulDiv(75, s1, 65536) + 200;
    EXPECT_EQ(f1[0], (FrameRect{qx - 1, qy, qx + 1, qy}));
    // Inner loop runs over rows: the second cell has b = 1, same column.
    EXPECT_EQ((f1[1].left + f1[1].right) / 2, qx);
    EXPECT_NE((f1[1].top + f1[1].bottom) / 2, qy);

    // Last frame: scale close to 1, cells tile the target.
    std::vector<FrameRect> last = winmgr::GatherEffectFrame(target, 49);
    ASSERT_EQ(last.size(), 16u);
    long minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30);
    for (const FrameRect& c : last) {
        minX = std::min({minX, c.left, c.right});
        maxX = std::max({maxX, c.left, c.right});
        minY = std::min({minY, c.top, c.bottom});
        maxY = std::max({maxY, c.top, c.bottom});
    }
    EXPECT_NEAR(minX, 100, 8);
    EXPECT_NEAR(maxX, 500, 8);
    EXPECT_NEAR(minY, 100, 8);
    EXPECT_NEAR(maxY, 300, 8);

    // The spread shrinks monotonically from frame to frame.
    long prev = 1L << 30;
    for (int f = 1; f < 50; ++f) {
        std::vector<FrameRect> cells = winmgr::GatherEffectFrame(target, f);
        long spread = cells.back().right - cells.front().left;
        EXPECT_LE(spread, prev + 2) << f;
        prev = spread;
    }
}

TEST(GatherEffect, DegenerateInputsGiveNoCells)
{
    EXPECT_TRUE(winmgr::GatherEffectFrame({10, 10, 10, 10}, 30).empty());
    EXPECT_TRUE(winmgr::GatherEffectFrame({0, 0, 400, 400}, 10, 4, 0).empty());
    EXPECT_TRUE(winmgr::GatherEffectFrame({0, 0, 400, 400}, 10, 0, 50).empty());
}
