// Pixel colours of pictures of each depth, bottom-up and top-down, the
// tolerance of the transparency test, and an outline traced over a picture.
#include "dib_pixels.h"
#include "shape_geometry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<BYTE> Block(int width, int height, int bits, const std::vector<DWORD>& colors,
                        const std::vector<BYTE>& rows)
{
    std::vector<BYTE> b(40, 0);
    auto put = [&](size_t at, DWORD v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + i] = static_cast<BYTE>(v >> (8 * i));
    };
    put(0, 40, 4);
    put(4, static_cast<DWORD>(width), 4);
    put(8, static_cast<DWORD>(height), 4);
    put(12, 1, 2);
    put(14, static_cast<DWORD>(bits), 2);
    put(32, static_cast<DWORD>(colors.size()), 4);
    for (DWORD c : colors)  // given as 0x00BBGGRR, stored blue, green, red, 0
        for (BYTE byte : {BYTE(c >> 16), BYTE(c >> 8), BYTE(c), BYTE(0)})
            b.push_back(byte);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

constexpr DWORD kRed = 0x0000FF, kGreen = 0x00FF00, kMagenta = 0xFF00FF;

}  // namespace

TEST(DibPixels, EachDepthAndBothRowOrders)
{
    shapes::DibPixels px;
    // 1 bit, 3 x 2, bottom-up: lower row 1 0 1, upper row 0 1 0.
    const auto one = Block(3, 2, 1, {kRed, kGreen}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0});
    ASSERT_TRUE(px.Load(one.data(), one.size()));
    EXPECT_EQ(px.Color(0, 1), kGreen);
    EXPECT_EQ(px.Color(1, 1), kRed);
    EXPECT_EQ(px.Color(1, 0), kGreen);
    EXPECT_EQ(px.Color(3, 0), shapes::kInvalidColor);
    EXPECT_EQ(px.Color(0, -1), shapes::kInvalidColor);

    // 4 bits, top-down, one row: indexes 1 and 0; index 3 lies past a table of two.
    const auto four = Block(3, -1, 4, {kRed, kGreen}, {0x10, 0x30, 0, 0});
    ASSERT_TRUE(px.Load(four.data(), four.size()));
    EXPECT_EQ(px.Color(0, 0), kGreen);
    EXPECT_EQ(px.Color(1, 0), kRed);
    EXPECT_EQ(px.Color(2, 0), shapes::kInvalidColor);

    const auto eight = Block(2, 1, 8, {kRed, kGreen, kMagenta}, {2, 1, 0, 0});
    ASSERT_TRUE(px.Load(eight.data(), eight.size()));
    EXPECT_EQ(px.Color(0, 0), kMagenta);

    const auto rgb = Block(1, 2, 24, {}, {0, 0, 255, 0, 255, 0, 255, 0});  // lower red, upper magenta
    ASSERT_TRUE(px.Load(rgb.data(), rgb.size()));
    EXPECT_EQ(px.Color(0, 1), kRed);
    EXPECT_EQ(px.Color(0, 0), kMagenta);
}

TEST(DibPixels, BlocksShortOfTheirRowsOrColoursAreRefused)
{
    shapes::DibPixels px;
    auto rgb = Block(4, 4, 24, {}, std::vector<BYTE>(48, 0));
    ASSERT_TRUE(px.Load(rgb.data(), rgb.size()));
    EXPECT_FALSE(px.Load(rgb.data(), rgb.size() - 1));
    EXPECT_TRUE(px.IsEmpty());
    auto eight = Block(4, 1, 8, std::vector<DWORD>(4, 0), {0, 0, 0, 0});
    eight[32] = 200;  // a colour table of 200 that the block does not hold
    EXPECT_FALSE(px.Load(eight.data(), eight.size()));
    eight[32] = 4;
    eight[16] = 1;  // run-length pixels are not read
    EXPECT_FALSE(px.Load(eight.data(), eight.size()));
    EXPECT_FALSE(px.Load(nullptr, 0));
}

TEST(DibPixels, ToleranceAndTheOutlineOfAPicture)
{
    // 4 x 3, 24 bits, top-down: a magenta frame around two pixels, one of
    // them nearly magenta (within 10 of it in each channel).
    const BYTE M[3] = {255, 0, 255}, N[3] = {250, 8, 247}, R[3] = {0, 0, 255};
    std::vector<BYTE> rows;
    const BYTE* picture[3][4] = {{M, M, M, M}, {M, N, R, M}, {M, M, M, M}};
    for (auto& row : picture) {
        for (const BYTE* p : row)
            rows.insert(rows.end(), p, p + 3);
    }
    const auto block = Block(4, -3, 24, {}, rows);
    shapes::DibPixels px;
    ASSERT_TRUE(px.Load(block.data(), block.size()));
    EXPECT_TRUE(px.IsTransparent(0, 0, kMagenta, 0, false));
    EXPECT_FALSE(px.IsTransparent(1, 1, kMagenta, 0, false));
    EXPECT_TRUE(px.IsTransparent(1, 1, kMagenta, 10, false));
    EXPECT_FALSE(px.IsTransparent(2, 1, kMagenta, 10, false));
    EXPECT_TRUE(px.IsTransparent(9, 9, kMagenta, 0, true));

    auto trace = [&](BYTE tolerance) {
        return shapes::TraceOutline(px.Width(), px.Height(), {0, 0}, [&](int x, int y) {
            return px.IsTransparent(x, y, kMagenta, tolerance, true);
        });
    };
    // A tolerance of 0 keeps both inner pixels; 10 leaves the red one alone,
    // which is a lone pixel with no outline.
    const auto strict = trace(0);
    ASSERT_FALSE(strict.empty());
    for (const auto& p : strict)
        EXPECT_EQ(p.y, 1);
    EXPECT_TRUE(trace(10).empty());
}
