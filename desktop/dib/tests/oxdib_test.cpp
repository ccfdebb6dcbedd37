// The picture class on real GDI: file before resource, painting copied pixel
// for pixel or stretched, the stream written and read back, the palette of
// the colour table, and hostile files left empty.
#include "bmp_fixture.h"
#include "oxdib.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

// 2 x 2, 24 bits, bottom-up: red, green below; blue, white above.
std::vector<uint8_t> FourColours()
{
    bmpfix::Info info;
    info.bits = 24;
    return bmpfix::Stream(info, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0});
}

}  // namespace

TEST(OXDib, FileBeforeResourceAndResourceWithoutFile)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("SPLASH");
    ASSERT_TRUE(testsupport::WriteFile(path, Bytes(FourColours())));
    // A file and a stored picture of one name: the file wins.
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(dir.path().c_str()));
    COXDIB fromFile;
    const bool loaded = fromFile.LoadFromFileOrResource("SPLASH");
    ::SetCurrentDirectoryA(previous);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(fromFile.BitsPerPixel(), 24);
    EXPECT_EQ(fromFile.GetPalette(), nullptr);  // no colour table, no palette

    COXDIB fromResource;
    ASSERT_TRUE(fromResource.LoadFromFileOrResource("SPLASH"));  // no such file in the current folder
    EXPECT_EQ(fromResource.PixelSize(), CSize(4, 2));
    EXPECT_EQ(fromResource.BitsPerPixel(), 8);
    EXPECT_EQ(fromResource.ColorCount(), 2u);
    ASSERT_NE(fromResource.GetPalette(), nullptr);
    EXPECT_EQ(fromResource.GetPalette()->GetEntryCount(), 2);

    COXDIB core;
    ASSERT_TRUE(core.LoadFromFileOrResource("CORE"));
    EXPECT_EQ(core.ColorTableBytes(), 8u);  // widened to four bytes a colour
    COLORREF fg = 0, bg = 0;
    ASSERT_TRUE(core.GetTwoColors(&fg, &bg));
    EXPECT_EQ(fg, RGB(0, 0, 255));  // stored blue, green, red
    EXPECT_EQ(bg, RGB(0, 255, 0));
    ASSERT_TRUE(core.SetTwoColors(RGB(1, 2, 3), RGB(4, 5, 6)));
    ASSERT_TRUE(core.GetTwoColors(&fg, &bg));
    EXPECT_EQ(fg, RGB(1, 2, 3));
    EXPECT_FALSE(fromFile.SetTwoColors(0, 0));  // only two-colour pictures

    COXDIB none;
    EXPECT_FALSE(none.LoadFromFileOrResource("NO_SUCH_PICTURE"));
    EXPECT_TRUE(none.IsNull());
    EXPECT_EQ(none.PixelSize(), CSize(0, 0));
}

TEST(OXDib, PaintsUnscaledOrStretched)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("four.bmp");
    ASSERT_TRUE(testsupport::WriteFile(path, Bytes(FourColours())));
    COXDIB picture;
    ASSERT_TRUE(picture.LoadFromFileOrResource(path.c_str()));

    CMemDC dc(nullptr, 10, 10);
    dc.FillSolidRect(0, 0, 10, 10, RGB(0, 0, 0));
    EXPECT_NE(picture.DrawTo(&dc, CRect(1, 1, 3, 3), CRect(0, 0, 2, 2)), 0);
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(2, 1), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(1, 2), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(2, 2), RGB(0, 255, 0));
    // The lower right pixel alone, unscaled.
    EXPECT_NE(picture.DrawTo(&dc, CRect(5, 0, 6, 1), CRect(1, 1, 2, 2)), 0);
    EXPECT_EQ(dc.GetPixel(5, 0), RGB(0, 255, 0));

    EXPECT_NE(picture.DrawTo(&dc, CRect(4, 4, 8, 8), CRect(0, 0, 2, 2)), 0);
    EXPECT_EQ(dc.GetPixel(4, 4), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(7, 7), RGB(0, 255, 0));

    std::unique_ptr<CBitmap> device(picture.ToDeviceBitmap(&dc));
    ASSERT_NE(device, nullptr);
    BITMAP bm = {};
    device->GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 2);

    COXDIB empty;
    EXPECT_EQ(empty.DrawTo(&dc, CRect(0, 0, 2, 2), CRect(0, 0, 2, 2)), 0);
    EXPECT_EQ(empty.ToDeviceBitmap(&dc), nullptr);
}

TEST(OXDib, WrittenThenReadGivesTheSameBlockAndCopiesAreDeep)
{
    testsupport::TempDir dir;
    COXDIB picture;
    ASSERT_TRUE(picture.LoadFromFileOrResource("SPLASH"));
    const std::string out = dir.file("out.bmp");
    ASSERT_TRUE(picture.SaveToFile(out.c_str()));
    COXDIB again;
    ASSERT_TRUE(again.LoadFromFileOrResource(out.c_str()));
    ASSERT_EQ(::GlobalSize(again.GetHandle()), ::GlobalSize(picture.GetHandle()));
    const BYTE* a = static_cast<const BYTE*>(::GlobalLock(picture.GetHandle()));
    const BYTE* b = static_cast<const BYTE*>(::GlobalLock(again.GetHandle()));
    EXPECT_EQ(std::memcmp(a, b, ::GlobalSize(again.GetHandle())), 0);
    ::GlobalUnlock(picture.GetHandle());
    ::GlobalUnlock(again.GetHandle());

    COXDIB copy(picture);
    EXPECT_NE(copy.GetHandle(), picture.GetHandle());
    EXPECT_EQ(copy.PixelSize(), picture.PixelSize());
    HGLOBAL taken = copy.ReleaseHandle();
    EXPECT_TRUE(copy.IsNull());
    COXDIB fromHandle(taken);
    EXPECT_EQ(fromHandle.PixelSize(), CSize(4, 2));
    ::GlobalFree(taken);
}

TEST(OXDib, HostileFilesLeaveThePictureEmpty)
{
    testsupport::TempDir dir;
    bmpfix::Info huge;
    huge.bits = 8;
    huge.colorsUsed = 0x40000000;
    bmpfix::Info tall;
    tall.bits = 24;
    tall.width = 30000;
    tall.height = -30000;
    const std::vector<uint8_t> files[] = {
        bmpfix::Stream(huge, {0, 0}, {1, 2, 3, 4}),
        bmpfix::Stream(tall, {}, std::vector<uint8_t>(64, 1)),
        {'B', 'M', 0, 0},
        {'M', 'Z', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0},
    };
    int n = 0;
    for (const auto& bytes : files) {
        const std::string path = dir.file("bad" + std::to_string(n++) + ".bmp");
        ASSERT_TRUE(testsupport::WriteFile(path, Bytes(bytes)));
        COXDIB picture;
        ASSERT_TRUE(picture.LoadFromFileOrResource("SPLASH"));
        EXPECT_FALSE(picture.LoadFromFileOrResource(path.c_str())) << path;
        EXPECT_TRUE(picture.IsNull()) << path;
    }
}

TEST(OXDib, RescaledPictureKeepsItsColours)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("four.bmp");
    ASSERT_TRUE(testsupport::WriteFile(path, Bytes(FourColours())));
    COXDIB picture;
    ASSERT_TRUE(picture.LoadFromFileOrResource(path.c_str()));
    ASSERT_TRUE(picture.Rescale(4, 4));
    EXPECT_EQ(picture.PixelSize(), CSize(4, 4));
    CMemDC dc(nullptr, 4, 4);
    EXPECT_NE(picture.DrawTo(&dc, CRect(0, 0, 4, 4), CRect(0, 0, 4, 4)), 0);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(3, 3), RGB(0, 255, 0));
    COXDIB core;
    ASSERT_TRUE(core.LoadFromFileOrResource("CORE"));
    EXPECT_FALSE(core.Rescale(6, 4));  // one bit per pixel
    EXPECT_EQ(core.PixelSize(), CSize(3, 2));
}
