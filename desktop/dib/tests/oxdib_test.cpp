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

TEST(OXDib, FromADeviceBitmapByItsDepthWithThePalettesColours)
{
    HDC screen = ::GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    // A screen-deep bitmap: true colour here, its pixels kept exactly.
    CBitmap colour;
    colour.Attach(::CreateCompatibleBitmap(screen, 5, 3));
    HDC mem = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(mem, colour.GetSafeHandle());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ::SetPixel(mem, x, y, RGB(x * 50, y * 100, 7));
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);

    COXDIB dib;
    ASSERT_TRUE(dib.FromDeviceBitmap(&colour, nullptr));
    EXPECT_EQ(dib.PixelSize(), CSize(5, 3));
    EXPECT_EQ(dib.BitsPerPixel(), 24);
    EXPECT_EQ(dib.ColorCount(), 0u);
    const BYTE* rows = dib.PixelRows();
    ASSERT_NE(rows, nullptr);
    const int rowBytes = (24 * 5 + 31) / 32 * 4;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const BYTE* p = rows + (2 - y) * rowBytes + x * 3;  // bottom-up, blue green red
            EXPECT_EQ(RGB(p[2], p[1], p[0]), RGB(x * 50, y * 100, 7)) << x << "," << y;
        }

    // One bit deep: two colours, taken from the palette given.
    const BYTE plain[4] = {0xA0, 0, 0x50, 0};  // 2 rows of 4 pixels, word-aligned
    CBitmap mono;
    mono.Attach(::CreateBitmap(4, 2, 1, 1, plain));
    std::vector<BYTE> raw(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(raw.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 2;
    lp->palPalEntry[0] = {10, 20, 30, 0};
    lp->palPalEntry[1] = {200, 210, 220, 0};
    CPalette two;
    ASSERT_TRUE(two.CreatePalette(lp));
    ASSERT_TRUE(dib.FromDeviceBitmap(&mono, &two));
    EXPECT_EQ(dib.BitsPerPixel(), 1);
    EXPECT_EQ(dib.ColorCount(), 2u);
    COLORREF fore = 0, back = 0;
    ASSERT_TRUE(dib.GetTwoColors(&fore, &back));
    EXPECT_EQ(fore, RGB(10, 20, 30));  // entry 0
    EXPECT_EQ(back, RGB(200, 210, 220));
    ASSERT_NE(dib.GetPalette(), nullptr);
    PALETTEENTRY built[2] = {};
    EXPECT_EQ(dib.GetPalette()->GetPaletteEntries(0, 2, built), 2u);
    EXPECT_EQ(built[1].peRed, 200);

    COXDIB empty;
    EXPECT_FALSE(empty.FromDeviceBitmap(nullptr, nullptr));
    EXPECT_TRUE(empty.IsNull());
}

TEST(OXDib, ColoursFromAPaletteAndTheSystemPalette)
{
    COXDIB dib;
    ASSERT_TRUE(dib.LoadFromFileOrResource(testsupport::SourcePath("desktop/dib/tests/fixtures/info8.bmp").c_str()));
    ASSERT_GT(dib.ColorCount(), 0u);
    // Without a palette of its own the default palette's first entry (black) comes in.
    ASSERT_TRUE(dib.TakeColorsFromPalette(nullptr));
    PALETTEENTRY first = {};
    ASSERT_NE(dib.GetPalette(), nullptr);
    dib.GetPalette()->GetPaletteEntries(0, 1, &first);
    EXPECT_EQ(RGB(first.peRed, first.peGreen, first.peBlue), RGB(0, 0, 0));
    COXDIB empty;
    EXPECT_FALSE(empty.TakeColorsFromPalette(nullptr));

    // The system palette exists only on a palette device.
    COXDIB::ClearSystemPalette();
    HDC screen = ::GetDC(nullptr);
    const bool paletteDevice = (::GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    ::ReleaseDC(nullptr, screen);
    CPalette system;
    EXPECT_EQ(COXDIB::CaptureSystemPalette(system), paletteDevice);
    EXPECT_EQ(system.GetSafeHandle() != nullptr, paletteDevice);
}
