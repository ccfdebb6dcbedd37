// GDI objects and the CDC drawing members, checked pixel by pixel on memory contexts.
#include "fx/fxwin.h"

#include <gtest/gtest.h>

TEST(Gdi, BrushPenAndSelectionOnAMemoryContext)
{
    CMemDC dc(nullptr, 40, 30);
    ASSERT_NE(dc.GetSafeHdc(), nullptr);
    ASSERT_NE(dc.m_bitmap.GetSafeHandle(), nullptr);

    CBrush red(RGB(255, 0, 0));
    CBrush* old = dc.SelectObject(&red);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->GetObjectType(), (UINT)OBJ_BRUSH);  // a temporary wrapper of the stock brush
    EXPECT_TRUE(dc.PatBlt(0, 0, 40, 30, PATCOPY));
    dc.SelectObject(old);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(39, 29), RGB(255, 0, 0));

    // A 1-pixel pen draws a horizontal line at y = 10 from x = 5 up to (not including) 20.
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    CPen* oldPen = dc.SelectObject(&blue);
    dc.MoveTo(5, 10);
    dc.LineTo(20, 10);
    dc.SelectObject(oldPen);
    EXPECT_EQ(dc.GetPixel(5, 10), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(19, 10), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(20, 10), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(5, 11), RGB(255, 0, 0));

    // The pen we own is no longer selected and deletes cleanly.
    EXPECT_EQ(dc.GetCurrentPen()->m_hObject, oldPen->m_hObject);
    EXPECT_TRUE(blue.DeleteObject());
    EXPECT_FALSE(blue.DeleteObject());
}

TEST(Gdi, RegionsCombineAndFill)
{
    CRgn a, b, both;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRectRgn(5, 5, 20, 20));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(both.PtInRegion(2, 2));
    EXPECT_FALSE(both.PtInRegion(7, 7));
    EXPECT_FALSE(both.PtInRegion(15, 15));
    CRect box;
    both.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 10, 10));

    CMemDC dc(nullptr, 20, 20);
    dc.FillSolidRect(0, 0, 20, 20, RGB(0, 0, 0));
    CBrush green(RGB(0, 255, 0));
    ASSERT_TRUE(dc.FillRgn(&both, &green));
    EXPECT_EQ(dc.GetPixel(2, 2), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(7, 7), RGB(0, 0, 0));
}

TEST(Gdi, FontsAndPalettes)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, "Arial"));
    LOGFONT lf = {};
    ASSERT_GT(font.GetLogFont(&lf), 0);
    EXPECT_LT(lf.lfHeight, 0);  // a character height
    EXPECT_STREQ(lf.lfFaceName, "Arial");

    CMemDC dc(nullptr, 10, 10);
    CFont* old = dc.SelectObject(&font);
    EXPECT_EQ(dc.GetCurrentFont()->m_hObject, font.m_hObject);
    dc.SelectObject(old);

    struct {
        LOGPALETTE head;
        PALETTEENTRY more[2];
    } pal = {};
    pal.head.palVersion = 0x300;
    pal.head.palNumEntries = 3;
    pal.head.palPalEntry[0] = {1, 2, 3, 0};
    pal.more[1] = {250, 251, 252, 0};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(&pal.head));
    EXPECT_EQ(palette.GetEntryCount(), 3);
    EXPECT_EQ(palette.GetNearestPaletteIndex(RGB(249, 250, 250)), 2u);
}

TEST(Gdi, TemporaryWrappersGoWithTheIdleCleanup)
{
    HGDIOBJ stock = ::GetStockObject(BLACK_PEN);
    CGdiObject* temp = CGdiObject::FromHandle(stock);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(CGdiObject::FromHandle(stock), temp);  // the same wrapper until the cleanup
    EXPECT_NE(dynamic_cast<CPen*>(temp), nullptr);
    AfxDeleteTempMaps();
    // The stock object itself survives the wrapper.
    EXPECT_EQ(::GetObjectType(stock), (DWORD)OBJ_PEN);
}

namespace {

// A 2 x 2 picture of 24 bits, bottom-up: red, green in the lower row and
// blue, white in the upper one (rows padded to 8 bytes).
struct TinyDib {
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    BYTE rows[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(&header); }
};

class PaletteWnd : public CWnd {
public:
    int queries = 0;
    HWND changedBy = nullptr;

protected:
    afx_msg BOOL OnQueryNewPalette()
    {
        ++queries;
        return TRUE;
    }
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd) { changedBy = pFocusWnd ? pFocusWnd->m_hWnd : nullptr; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaletteWnd, CWnd)
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

}  // namespace

TEST(Gdi, DeviceIndependentPixelsCopiedAndStretched)
{
    const TinyDib dib;
    CMemDC dc(nullptr, 8, 8);
    dc.FillSolidRect(0, 0, 8, 8, RGB(0, 0, 0));
    EXPECT_EQ(dc.SetDIBitsToDevice(1, 1, 2, 2, 0, 0, 0, 2, dib.rows, dib.info(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(dc.GetPixel(1, 2), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(2, 2), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(2, 1), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(3, 3), RGB(0, 0, 0));

    dc.SetStretchBltMode(COLORONCOLOR);
    EXPECT_EQ(dc.GetStretchBltMode(), COLORONCOLOR);
    EXPECT_NE(dc.StretchDIBits(4, 4, 4, 4, 0, 0, 2, 2, dib.rows, dib.info(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(dc.GetPixel(4, 6), RGB(255, 0, 0));  // each source pixel became 2 x 2
    EXPECT_EQ(dc.GetPixel(5, 7), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(7, 4), RGB(255, 255, 255));
}

TEST(Gdi, PolygonWithoutCornersIsRefused)
{
    CRgn none, triangle;
    const POINT corners[] = {{0, 0}, {10, 0}, {0, 10}};
    EXPECT_FALSE(none.CreatePolygonRgn(corners, 0, ALTERNATE));
    EXPECT_FALSE(none.CreatePolygonRgn(nullptr, 3, ALTERNATE));
    EXPECT_EQ(none.GetSafeHandle(), nullptr);
    ASSERT_TRUE(triangle.CreatePolygonRgn(corners, 3, ALTERNATE));
    EXPECT_TRUE(triangle.PtInRegion(2, 2));
    EXPECT_FALSE(triangle.PtInRegion(8, 8));
}

TEST(Gdi, WindowRegionAndPaletteMessages)
{
    PaletteWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "shape", WS_POPUP | WS_VISIBLE, 10, 10, 60, 40, nullptr,
                             nullptr));
    CRgn shape;
    ASSERT_TRUE(shape.CreateEllipticRgn(0, 0, 60, 40));
    ASSERT_NE(wnd.SetWindowRgn(static_cast<HRGN>(shape.Detach()), TRUE), 0);  // now the window's
    CRgn copy;
    ASSERT_TRUE(copy.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(wnd.GetWindowRgn(copy), COMPLEXREGION);
    EXPECT_TRUE(copy.PtInRegion(30, 20));
    EXPECT_FALSE(copy.PtInRegion(1, 1));
    EXPECT_NE(wnd.SetWindowRgn(nullptr, FALSE), 0);
    EXPECT_EQ(wnd.GetWindowRgn(copy), ERROR);

    const int before = wnd.queries;  // activation may have asked already
    EXPECT_EQ(wnd.SendMessage(WM_QUERYNEWPALETTE), TRUE);
    EXPECT_EQ(wnd.queries, before + 1);
    wnd.SendMessage(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(wnd.m_hWnd));
    EXPECT_EQ(wnd.changedBy, wnd.m_hWnd);
    wnd.DestroyWindow();
}
