// The capture window's arithmetic: depth bits, colour tables read from a
// driver, frame sizes, the probe's sweeps, standard sizes and placement.
#include "capture_arithmetic.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace VideoCapMath;

TEST(CaptureArithmetic, DepthBitsAndLowestDepth)
{
    struct Case {
        unsigned bits;
        int bit;
    } cases[] = {{1, 0}, {4, 1}, {8, 2}, {16, 3}, {24, 4}, {32, 5}, {0, -1}, {2, -1}, {12, -1}, {15, -1}, {64, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(DepthBit(c.bits), c.bit) << c.bits;
    EXPECT_EQ(LowestDepth(0), 0u);
    EXPECT_EQ(LowestDepth((1 << 4) | (1 << 2)), 8u);
    EXPECT_EQ(LowestDepth(1 << 5), 32u);
}

// A driver's colour count is trusted only while it fits the depth and the block.
TEST(CaptureArithmetic, ColourTablesFitTheirBlock)
{
    struct Case {
        unsigned bits;
        uint32_t colours;
        long table;
    } tables[] = {{1, 0, 8}, {4, 0, 64}, {8, 0, 1024}, {16, 0, 0}, {24, 0, 0}, {32, 0, 0}, {8, 16, 64},
                  {8, 256, 1024}, {8, 257, -1}, {4, 17, -1}, {1, 3, -1}, {24, 256, 1024}, {24, 100000, -1},
                  {32, 0xFFFFFFFFu, -1}};
    for (const Case& c : tables)
        EXPECT_EQ(ColourTableBytes(c.bits, c.colours), c.table) << c.bits << " bits, " << c.colours << " colours";

    struct Block {
        uint32_t size, header;
        unsigned bits;
        uint32_t colours;
        bool fits;
    } blocks[] = {
        {40, 40, 24, 0, true},
        {40 + 1024, 40, 8, 0, true},
        {40, 40, 8, 0, false},           // the table is missing
        {40 + 1023, 40, 8, 0, false},    // one byte short
        {40 + 64, 40, 8, 16, true},
        {40 + 64, 40, 8, 100000, false}, // a colour count far past the block
        {39, 39, 24, 0, false},          // no whole header
        {124, 124, 24, 0, true},         // a larger header
        {100, 124, 24, 0, false},        // a header longer than its block
        {kMaxFormatBlock + 1, 40, 24, 0, false},
        {0xFFFFFFFFu, 40, 8, 0, false},
    };
    for (const Block& b : blocks)
        EXPECT_EQ(FormatBlockFits(b.size, b.header, b.bits, b.colours), b.fits)
            << b.size << "/" << b.header << "/" << b.bits << "/" << b.colours;
}

TEST(CaptureArithmetic, UncompressedFrameSize)
{
    struct Case {
        long width, height;
        unsigned bits;
        uint32_t size;
    } cases[] = {{640, 480, 24, 921600}, {320, 240, 8, 76800}, {64, -48, 24, 9216}, {161, 1, 1, 20},
                 {0, 480, 24, 0}, {100000, 100000, 32, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(UncompressedFrameSize(c.width, c.height, c.bits), c.size) << c.width << "x" << c.height;
}

TEST(CaptureArithmetic, SizesPackAsWidthTimes65536PlusHeight)
{
    EXPECT_EQ(PackSize(640, 480), 640u * 65536 + 480);
    FrameSize f = UnpackSize(PackSize(768, 576));
    EXPECT_EQ(f.width, 768);
    EXPECT_EQ(f.height, 576);
}

TEST(CaptureArithmetic, SweepsStayInsideTheirBounds)
{
    struct Case {
        FrameSize base;
        FrameSize firstUp, lastUp, firstDown, lastDown;
    } cases[] = {
        {{320, 240}, {340, 255}, {620, 465}, {300, 225}, {180, 135}},
        {{640, 480}, {660, 495}, {1580, 1185}, {620, 465}, {380, 285}},
        {{160, 120}, {180, 135}, {300, 225}, {140, 105}, {80, 60}},
    };
    for (const Case& c : cases) {
        std::vector<FrameSize> sizes = SweepSizes(c.base);
        ASSERT_FALSE(sizes.empty());
        auto turn = std::find(sizes.begin(), sizes.end(), c.firstDown);
        ASSERT_NE(turn, sizes.end()) << c.base.width;
        EXPECT_EQ(sizes.front(), c.firstUp);
        EXPECT_EQ(*(turn - 1), c.lastUp);
        EXPECT_EQ(sizes.back(), c.lastDown);
        for (const FrameSize& f : sizes)
            EXPECT_EQ(f.width * 3, f.height * 4) << f.width << "x" << f.height;
    }
    EXPECT_TRUE(SweepSizes({384, 288}).empty());
    EXPECT_TRUE(SweepSizes({320, 241}).empty());
}

TEST(CaptureArithmetic, StandardSizes)
{
    struct Case {
        std::vector<uint32_t> sizes;
        int current;
        bool standard;
    } cases[] = {
        {{}, 640, true},
        {{}, 400, true},
        {{}, 64, false},
        {{PackSize(384, 288), PackSize(160, 120)}, 64, true},
        {{PackSize(384, 288)}, 640, false},  // probed sizes decide, not the current one
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasStandardSize(c.sizes, c.current), c.standard) << c.current;
}

TEST(CaptureArithmetic, PlacementCentresAndFollowsTheFormat)
{
    struct Case {
        int refW, refH, winW, winH, fmtW, fmtH;
        bool follow;
        Placement expected;
    } cases[] = {
        {800, 600, 640, 480, 320, 240, true, {240, 180, 320, 240}},
        {800, 600, 640, 480, 320, 240, false, {80, 60, 640, 480}},
        {800, 600, 640, 480, 1024, 768, true, {0, 0, 1024, 768}},  // larger than the reference
        {640, 480, 640, 480, 640, 480, true, {0, 0, 640, 480}},
    };
    for (const Case& c : cases) {
        Placement p = AutoPlace(c.refW, c.refH, c.winW, c.winH, c.fmtW, c.fmtH, c.follow);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
        EXPECT_EQ(p.width, c.expected.width);
        EXPECT_EQ(p.height, c.expected.height);
    }
}
