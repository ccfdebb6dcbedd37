// The ".bmp" stream reader and writer on streams built byte by byte: both
// header kinds, later header versions, top-down pictures, the round trip, and
// a table of hostile streams that must be refused without reading past them.
#include "bmp_fixture.h"
#include "dib_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

bool Read(const std::vector<uint8_t>& bytes, std::vector<BYTE>& block)
{
    std::vector<uint8_t> copy(bytes);
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    return dib::ReadStream(ar, block);
}

std::vector<uint8_t> Write(const std::vector<BYTE>& block, bool* ok)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        *ok = dib::WriteStream(ar, block);
        ar.Close();
    }
    const UINT size = file.GetLength();
    BYTE* data = file.Detach();
    std::vector<uint8_t> out(data, data + size);
    free(data);
    return out;
}

uint32_t Le32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

}  // namespace

TEST(DibStream, CoreHeaderBecomesAnInformationHeaderWithFourByteColours)
{
    bmpfix::Info info;
    info.headerSize = 12;
    info.bits = 1;
    info.width = 3;
    // Two colours of three bytes (blue, green, red), two rows of 4 bytes.
    const auto bytes = bmpfix::Stream(info, {0x0000FF, 0x00FF00}, {0x80, 0, 0, 0, 0x40, 0, 0, 0});
    std::vector<BYTE> block;
    ASSERT_TRUE(Read(bytes, block));
    ASSERT_EQ(block.size(), 40u + 2 * 4 + 8);
    dib::Header h;
    ASSERT_TRUE(dib::ReadHeader(block.data(), block.size(), h));
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 3);
    EXPECT_EQ(h.height, 2);
    EXPECT_EQ(h.bitCount, 1);
    EXPECT_EQ(dib::ColorCount(h), 2u);
    EXPECT_EQ(dib::ColorTableBytes(h), 8u);
    EXPECT_EQ(Le32(block.data() + 40), 0x0000FFu);
    EXPECT_EQ(Le32(block.data() + 44), 0x00FF00u);
    EXPECT_EQ(block[48], 0x80);
    EXPECT_EQ(block[52], 0x40);
}

TEST(DibStream, TwentyFourBitsHaveNoColourTableAndRowsArePadded)
{
    bmpfix::Info info;
    info.bits = 24;
    info.width = 1;
    info.height = -2;  // top-down
    const auto bytes = bmpfix::Stream(info, {}, {1, 2, 3, 0, 4, 5, 6, 0});
    std::vector<BYTE> block;
    ASSERT_TRUE(Read(bytes, block));
    dib::Header h;
    ASSERT_TRUE(dib::ReadHeader(block.data(), block.size(), h));
    EXPECT_EQ(h.height, -2);
    EXPECT_EQ(dib::Rows(h), 2);
    EXPECT_EQ(dib::RowBytes(h), 4u);
    EXPECT_EQ(dib::ColorCount(h), 0u);
    EXPECT_EQ(h.imageSize, 8u);
    EXPECT_EQ(block.size(), 48u);
}

TEST(DibStream, LaterHeaderVersionsAreReadAsTheirFirstFortyBytes)
{
    bmpfix::Info info;
    info.headerSize = 124;
    info.bits = 8;
    info.width = 4;
    info.height = 1;
    info.colorsUsed = 2;
    const auto bytes = bmpfix::Stream(info, {0x112233, 0x445566}, {0, 1, 1, 0});
    std::vector<BYTE> block;
    ASSERT_TRUE(Read(bytes, block));
    ASSERT_EQ(block.size(), 40u + 8 + 4);
    EXPECT_EQ(Le32(block.data()), 40u);
    EXPECT_EQ(Le32(block.data() + 40), 0x112233u);  // the extra header bytes were skipped
    EXPECT_EQ(block[49], 1);
}

TEST(DibStream, WritingThenReadingGivesTheSameBlock)
{
    bmpfix::Info info;
    info.bits = 4;
    info.width = 5;
    info.height = 3;
    std::vector<uint32_t> colors;
    for (uint32_t i = 0; i < 16; ++i)
        colors.push_back(i * 0x010203);
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 12; ++i)
        pixels.push_back(static_cast<uint8_t>(i * 17));
    std::vector<BYTE> block;
    ASSERT_TRUE(Read(bmpfix::Stream(info, colors, pixels), block));
    bool ok = false;
    const auto written = Write(block, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(written.size(), 14 + block.size());
    EXPECT_EQ(written[0], 'B');
    EXPECT_EQ(written[1], 'M');
    EXPECT_EQ(Le32(written.data() + 2), written.size());
    EXPECT_EQ(Le32(written.data() + 10), 14u + 40 + 64);
    std::vector<BYTE> again;
    ASSERT_TRUE(Read(written, again));
    EXPECT_EQ(again, block);
}

TEST(DibStream, OnlyBlocksWithAnInformationHeaderAreWritten)
{
    bool ok = true;
    EXPECT_TRUE(Write({}, &ok).empty());
    EXPECT_FALSE(ok);
    std::vector<BYTE> core(12 + 8, 0);
    core[0] = 12;
    EXPECT_TRUE(Write(core, &ok).empty());
    EXPECT_FALSE(ok);
    // A header that claims more pixels than its block holds.
    std::vector<BYTE> shortBlock(40, 0);
    shortBlock[0] = 40;
    shortBlock[4] = 100;
    shortBlock[8] = 100;
    shortBlock[12] = 1;
    shortBlock[14] = 24;
    EXPECT_TRUE(Write(shortBlock, &ok).empty());
    EXPECT_FALSE(ok);
}

TEST(DibStream, HostileStreamsAreRefused)
{
    const std::vector<uint8_t> fourPixels(4, 0);
    struct Case {
        const char* what;
        bmpfix::Info info;
        std::vector<uint32_t> colors;
        std::vector<uint8_t> pixels;
    };
    auto with = [](auto change) {
        bmpfix::Info i;
        i.bits = 8;
        i.width = 4;
        i.height = 1;
        i.colorsUsed = 2;
        change(i);
        return i;
    };
    const std::vector<uint32_t> two{0, 0xFFFFFF};
    const Case cases[] = {
        {"unknown header size", with([](auto& i) { i.headerSize = 20; }), two, fourPixels},
        {"header size beyond any version", with([](auto& i) { i.headerSize = 0x7FFFFFFF; }), two, fourPixels},
        {"more colours than 8 bits index", with([](auto& i) { i.colorsUsed = 257; }), two, fourPixels},
        {"huge colour count", with([](auto& i) { i.colorsUsed = 0x40000000; }), two, fourPixels},
        {"colour table ends early", with([](auto& i) { i.colorsUsed = 200; }), two, fourPixels},
        {"zero width", with([](auto& i) { i.width = 0; }), two, fourPixels},
        {"negative width", with([](auto& i) { i.width = -4; }), two, fourPixels},
        {"zero height", with([](auto& i) { i.height = 0; }), two, fourPixels},
        {"most negative height", with([](auto& i) { i.height = INT32_MIN; }), two, fourPixels},
        {"pixels beyond any picture", with([](auto& i) { i.width = 1 << 20; i.height = 1 << 20; }), two, fourPixels},
        {"rows end early", with([](auto& i) { i.height = 3; }), two, fourPixels},
        {"depth of 7 bits", with([](auto& i) { i.bits = 7; }), two, fourPixels},
        {"two planes", with([](auto& i) { i.planes = 2; }), two, fourPixels},
        {"run-length code of another depth", with([](auto& i) { i.compression = 2; }), two, fourPixels},
        {"top-down run-length picture", with([](auto& i) { i.compression = 1; i.height = -1; }), two, fourPixels},
        {"colour masks", with([](auto& i) { i.compression = 3; i.bits = 32; }), {}, fourPixels},
        {"claimed run-length size beyond the data", with([](auto& i) { i.compression = 1; i.imageSize = 0x7FFFFFFF; }), two, fourPixels},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> block{1, 2, 3};
        EXPECT_FALSE(Read(bmpfix::Stream(c.info, c.colors, c.pixels), block)) << c.what;
        EXPECT_TRUE(block.empty()) << c.what;
    }
    std::vector<BYTE> block;
    auto good = bmpfix::Stream(with([](auto&) {}), two, fourPixels);
    ASSERT_TRUE(Read(good, block));
    good[1] = 'A';
    EXPECT_FALSE(Read(good, block)) << "no BM";
    for (size_t cut : {size_t(0), size_t(13), size_t(17), size_t(30)}) {
        good[1] = 'M';
        EXPECT_FALSE(Read(std::vector<uint8_t>(good.begin(), good.begin() + cut), block)) << cut;
    }
}

TEST(DibStream, SmallerStoredImageSizeGivesWholeRows)
{
    // The pixel size of an uncompressed picture comes from its rows: a header
    // that names fewer bytes cannot leave the painter short of pixels.
    bmpfix::Info info;
    info.bits = 8;
    info.width = 4;
    info.height = 2;
    info.imageSize = 1;
    info.colorsUsed = 2;
    std::vector<BYTE> block;
    ASSERT_TRUE(Read(bmpfix::Stream(info, {0, 1}, std::vector<uint8_t>(8, 7)), block));
    dib::Header h;
    ASSERT_TRUE(dib::ReadHeader(block.data(), block.size(), h));
    EXPECT_EQ(h.imageSize, 8u);
    EXPECT_EQ(block.size(), 40u + 2 * 4 + 8);
}

TEST(DibStream, RescaleRepeatsColumnsAndRowsEvenly)
{
    // 3 x 2 of 8 bits, bottom-up rows {1 2 3} then {4 5 6}.
    bmpfix::Info info;
    info.bits = 8;
    info.width = 3;
    info.height = 2;
    info.colorsUsed = 1;
    std::vector<BYTE> block;
    ASSERT_TRUE(Read(bmpfix::Stream(info, {0}, {1, 2, 3, 0, 4, 5, 6, 0}), block));
    std::vector<BYTE> out;
    ASSERT_TRUE(dib::Rescale(block, 6, 3, out));
    dib::Header h;
    ASSERT_TRUE(dib::ReadHeader(out.data(), out.size(), h));
    EXPECT_EQ(h.width, 6);
    EXPECT_EQ(h.height, 3);
    EXPECT_EQ(h.imageSize, 24u);
    ASSERT_EQ(out.size(), 40u + 4 + 24);
    const BYTE* rows = out.data() + 44;
    // Columns twice each; the first row once, the second twice (1 + 2 = 3).
    const BYTE expected[24] = {1, 1, 2, 2, 3, 3, 0, 0, 4, 4, 5, 5, 6, 6, 0, 0, 4, 4, 5, 5, 6, 6, 0, 0};
    EXPECT_EQ(std::vector<BYTE>(rows, rows + 24), std::vector<BYTE>(expected, expected + 24));

    ASSERT_TRUE(dib::Rescale(block, 2, 1, out));  // shrinking drops some columns and rows
    ASSERT_EQ(out.size(), 40u + 4 + 4);
    EXPECT_EQ(out[44], 5);  // the second row's last two columns
    EXPECT_EQ(out[45], 6);

    EXPECT_FALSE(dib::Rescale(block, 0, 3, out));
    EXPECT_FALSE(dib::Rescale(block, 1 << 20, 1 << 20, out));
    EXPECT_TRUE(out.empty());
    bmpfix::Info four = info;
    four.bits = 4;
    std::vector<BYTE> small;
    ASSERT_TRUE(Read(bmpfix::Stream(four, {0}, {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}), small));
    EXPECT_FALSE(dib::Rescale(small, 6, 4, out));  // fewer than 8 bits are refused
}
