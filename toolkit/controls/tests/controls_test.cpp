// Gradient painting, the gradient button, transparent static text, the
// context guard and CAutoFont, on memory contexts and real windows.
#include "AutoFont.h"
#include "CoolGradientButton.h"
#include "Gradient.h"
#include "SharedTextColors.h"
#include "TransparentStatic.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGrey = RGB(1, 2, 3);

int Channel(COLORREF c, int i) { return (c >> (8 * i)) & 0xFF; }

bool Between(COLORREF c, COLORREF a, COLORREF b)
{
    for (int i = 0; i < 3; ++i) {
        int lo = std::min(Channel(a, i), Channel(b, i)), hi = std::max(Channel(a, i), Channel(b, i));
        if (Channel(c, i) < lo || Channel(c, i) > hi)
            return false;
    }
    return true;
}

// Pumps until the window has painted.
void Settle(CWnd& wnd)
{
    wnd.UpdateWindow();
    MSG msg;
    for (int i = 0; i < 50 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ::GdiFlush();
}

} // namespace

TEST(Gradient, HorizontalEndsAndMiddle)
{
    CMemDC dc(nullptr, 300, 20);
    dc.FillSolidRect(0, 0, 300, 20, kGrey);
    PaintGradiantRect(&dc, CRect(0, 0, 256, 10), kRed, kBlue, TRUE, TRUE);
    EXPECT_EQ(dc.GetPixel(0, 0), kRed);
    EXPECT_EQ(dc.GetPixel(0, 9), kRed);
    EXPECT_EQ(dc.GetPixel(255, 5), RGB(1, 0, 254));  // the band nearest the second colour: k = 2 of 256
    COLORREF mid = dc.GetPixel(128, 5);
    EXPECT_TRUE(Between(mid, kRed, kBlue));
    EXPECT_NE(mid, kRed);
    EXPECT_NE(mid, kBlue);
    EXPECT_EQ(dc.GetPixel(0, 10), kGrey);    // nothing below the rectangle
    EXPECT_EQ(dc.GetPixel(256, 5), kGrey);   // nor to its right

    // The other way round: the first colour at the right edge.
    PaintGradiantRect(&dc, CRect(0, 10, 256, 20), kRed, kBlue, TRUE, FALSE);
    EXPECT_EQ(dc.GetPixel(255, 15), kRed);
    EXPECT_EQ(dc.GetPixel(0, 15), RGB(1, 0, 254));
}

TEST(Gradient, BandsOfTheDocumentedWidths)
{
    const struct {
        int width, bands;
    } cases[] = {{100, 100}, {256, 128}, {300, 150}};
    for (auto c : cases) {
        CMemDC dc(nullptr, c.width, 2);
        dc.FillSolidRect(0, 0, c.width, 2, kGrey);
        PaintGradiantRect(&dc, CRect(0, 0, c.width, 2), RGB(255, 255, 255), RGB(0, 0, 0), TRUE, TRUE);
        int runs = 0;
        COLORREF last = CLR_INVALID;
        for (int x = 0; x < c.width; ++x) {
            COLORREF p = dc.GetPixel(x, 0);
            EXPECT_NE(p, kGrey) << c.width << " x=" << x;
            if (p != last)
                ++runs;
            last = p;
        }
        EXPECT_EQ(runs, c.bands) << c.width;
    }
}

TEST(Gradient, FourPixelExample)
{
    CMemDC dc(nullptr, 4, 1);
    PaintGradiantRect(&dc, CRect(0, 0, 4, 1), RGB(255, 0, 0), RGB(0, 0, 255), TRUE, TRUE);
    EXPECT_EQ(dc.GetPixel(3, 0), (COLORREF)0xC0003F);
    EXPECT_EQ(dc.GetPixel(2, 0), (COLORREF)0x80007F);
    EXPECT_EQ(dc.GetPixel(1, 0), (COLORREF)0x4000BF);
    EXPECT_EQ(dc.GetPixel(0, 0), (COLORREF)0x0000FF);
}

TEST(Gradient, VerticalFillsTheWholeRectangleWithinIt)
{
    // 300 high: bands of 2 pixels; 301 leaves one pixel for a last, shorter band.
    for (int h : {300, 301, 5}) {
        CMemDC dc(nullptr, 10, h + 4);
        dc.FillSolidRect(0, 0, 10, h + 4, kGrey);
        PaintGradiantRect(&dc, CRect(0, 2, 10, 2 + h), kRed, kBlue, FALSE, TRUE);
        EXPECT_EQ(dc.GetPixel(5, 1), kGrey) << h;       // nothing above
        EXPECT_EQ(dc.GetPixel(5, 2 + h), kGrey) << h;   // nothing below
        EXPECT_EQ(dc.GetPixel(5, 2), kRed) << h;        // first colour at the top edge, exactly
        for (int y = 2; y < 2 + h; ++y)
            ASSERT_TRUE(Between(dc.GetPixel(5, y), kRed, kBlue)) << h << " y=" << y;
        EXPECT_NE(dc.GetPixel(5, 1 + h), kRed) << h;
    }
    // Nothing for an empty rectangle.
    CMemDC dc(nullptr, 4, 4);
    dc.FillSolidRect(0, 0, 4, 4, kGrey);
    PaintGradiantRect(&dc, CRect(0, 0, 4, 0), kRed, kBlue, FALSE, TRUE);
    PaintGradiantRect(&dc, CRect(0, 0, 0, 4), kRed, kBlue, TRUE, TRUE);
    EXPECT_EQ(dc.GetPixel(0, 0), kGrey);
}

TEST(Gradient, ColorCubeAdjustsFlatRectanglesAndDrawsItsShadow)
{
    CMemDC dc(nullptr, 120, 60);
    dc.FillSolidRect(0, 0, 120, 60, RGB(255, 255, 255));
    CRect flat(10, 20, 70, 20);
    DrawColorCube(&dc, flat, RGB(0, 0, 0), RGB(255, 255, 255), FALSE);
    EXPECT_EQ(flat, CRect(10, 18, 70, 20));
    CRect thin(10, 30, 10, 40);
    DrawColorCube(&dc, thin, RGB(0, 0, 0), RGB(255, 255, 255), FALSE);
    EXPECT_EQ(thin, CRect(10, 30, 12, 40));

    dc.FillSolidRect(0, 0, 120, 60, RGB(255, 255, 255));
    CRect bar(10, 10, 100, 40);
    DrawColorCube(&dc, bar, RGB(0, 0, 128), RGB(255, 255, 255), TRUE);
    EXPECT_EQ(dc.GetPixel(10, 25), RGB(0, 0, 128));           // outline
    // Near the centre colour at one third (its band is one step from it).
    COLORREF third = dc.GetPixel(40, 25);
    EXPECT_TRUE(Between(third, RGB(0, 0, 128), RGB(255, 255, 255)));
    EXPECT_GT(Channel(third, 0), 245);
    // The two shadow lines below the bar and to its right.
    std::set<COLORREF> below, right;
    for (int d = 0; d <= 3; ++d) {
        below.insert(dc.GetPixel(50, bar.bottom + d));
        right.insert(dc.GetPixel(bar.right + d, 25));
    }
    for (const auto* seen : {&below, &right}) {
        EXPECT_TRUE(seen->count(RGB(0xAA, 0xAA, 0xAA)));
        EXPECT_TRUE(seen->count(RGB(0xBE, 0xBE, 0xBE)));
    }
    EXPECT_EQ(dc.GetPixel(50, bar.bottom + 5), RGB(255, 255, 255));
}

TEST(Gradient, SaveStateRestoresTheContext)
{
    CMemDC dc(nullptr, 4, 4);
    dc.SetTextColor(RGB(1, 1, 1));
    {
        DCSaveState guard(&dc);
        EXPECT_GT(guard.m_nSaved, 0);
        EXPECT_EQ(guard.m_pDC, &dc);
        dc.SetTextColor(RGB(9, 9, 9));
        dc.SetBkMode(TRANSPARENT);
    }
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 1, 1));
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
}

namespace {

struct Host {
    CWnd wnd;
    explicit Host(COLORREF background)
    {
        LPCTSTR cls = AfxRegisterWndClass(0, nullptr, ::CreateSolidBrush(background));
        wnd.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr);
    }
    ~Host() { wnd.DestroyWindow(); }
};

} // namespace

TEST(CoolGradientButton, ThreeColoursInThirds)
{
    Host host(RGB(0, 0, 0));
    CCoolGradientButton button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 100, 40), &host.wnd, 1));
    const COLORREF first = RGB(255, 0, 0), middle = RGB(0, 255, 0), last = RGB(0, 0, 255);
    button.Set3WayGradient(first, middle, last);
    EXPECT_TRUE(button.m_b3Way);
    button.Invalidate();
    Settle(host.wnd);

    CClientDC dc(&button);
    EXPECT_EQ(dc.GetPixel(0, 15), first);
    EXPECT_TRUE(Between(dc.GetPixel(15, 15), first, middle));
    EXPECT_EQ(dc.GetPixel(30, 15), middle);    // the second gradient starts at 30 with the middle colour
    EXPECT_TRUE(Between(dc.GetPixel(29, 15), first, middle));
    EXPECT_TRUE(Between(dc.GetPixel(60, 15), middle, last));
    COLORREF end = dc.GetPixel(89, 15);
    EXPECT_TRUE(Between(end, middle, last));
    EXPECT_GT(Channel(end, 2), 240);  // nearly the last colour

    // Without colours: a black and white rod with a black outline.
    CCoolGradientButton plain;
    ASSERT_TRUE(plain.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 50, 100, 80), &host.wnd, 2));
    Settle(host.wnd);
    CClientDC dc2(&plain);
    EXPECT_EQ(dc2.GetPixel(0, 15), RGB(0, 0, 0));
    COLORREF centre = dc2.GetPixel(30, 15);
    EXPECT_GT(Channel(centre, 0), 245);  // white at one third, within a band
    EXPECT_EQ(Channel(centre, 0), Channel(centre, 2));
}

TEST(TransparentStatic, DrawsOnlyItsTextInTheModesColour)
{
    const COLORREF background = RGB(10, 20, 30);
    Host host(background);
    ASSERT_NE(::CreateWindowExA(0, "STATIC", "WWWW", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 180, 50,
                                host.wnd.m_hWnd, (HMENU)7, nullptr, nullptr),
              nullptr);
    CTransparentStatic text;
    ASSERT_TRUE(text.SubclassDlgItem(7, &host.wnd));
    CFont big;
    big.CreateFont(-30, 0, 0, 0, 900, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    text.SendMessage(WM_SETFONT, (WPARAM)(HFONT)big, TRUE);
    EXPECT_EQ(text.m_hFont, (HFONT)big);

    for (int mode : {0, 1, 2, 7}) {
        text.SetTextColorMode(mode);
        COLORREF expect = SharedTextColors::ForMode(mode == 7 ? 0 : mode);
        EXPECT_EQ(text.GetTextColor(), expect);
        host.wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle(host.wnd);
        CClientDC dc(&text);
        std::set<COLORREF> seen;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                seen.insert(dc.GetPixel(x, y));
        EXPECT_TRUE(seen.count(background)) << mode;  // the parent's background shows through
        EXPECT_TRUE(seen.count(expect)) << mode;      // the text in the mode's colour
    }
}

TEST(AutoFont, DefaultDescriptionAndSetters)
{
    CAutoFont font;
    ASSERT_NE(font.GetSafeHandle(), nullptr);
    EXPECT_STREQ(font.ContractFont(), "-12,0,0,0,400,0,0,0,0,0,0,2,18,Times New Roman,0");

    EXPECT_EQ(font.SetHeightA(12), -12);
    EXPECT_EQ(font.GetHeight(), -12);
    EXPECT_EQ(font.SetHeightA(-9), -12);
    EXPECT_EQ(font.GetHeight(), -9);
    EXPECT_EQ(font.SetHeight(20), -9);
    EXPECT_EQ(font.GetHeight(), 20);

    EXPECT_FALSE(font.SetBold(TRUE));
    EXPECT_EQ(font.GetWeight(), 700);
    EXPECT_TRUE(font.GetBold());
    EXPECT_TRUE(font.SetBold(FALSE));
    EXPECT_EQ(font.SetWeight(550), 400);
    EXPECT_TRUE(font.GetBold());

    EXPECT_FALSE(font.SetItalic(TRUE));
    EXPECT_TRUE(font.GetItalic());
    EXPECT_EQ(font.SetCharset(204), 0);
    EXPECT_EQ(font.SetPitchAndFamily(0x22), 0x12);
    EXPECT_STREQ(font.SetFaceName(CString("Arial")), "Times New Roman");
    EXPECT_STREQ(font.SetFaceName("A face name much longer than thirty-one letters"),
                 "A face name much longer than th");

    // The GDI font follows the description.
    LOGFONT lf = {};
    ASSERT_GT(font.GetLogFont(&lf), 0);
    EXPECT_EQ(lf.lfWeight, 550);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfHeight, 20);

    CAutoFont named(CString("Courier New"));
    EXPECT_STREQ(named.GetFaceName(), "Courier New");
    EXPECT_EQ(named.GetHeight(), -12);
    CAutoFont copy(static_cast<const CFont&>(named));
    EXPECT_STREQ(copy.ContractFont(), named.ContractFont());
    EXPECT_NE(copy.GetSafeHandle(), named.GetSafeHandle());  // a font of its own
}

TEST(AutoFont, TextRoundTripAndColour)
{
    CAutoFont font(CString("Arial"));
    font.SetHeightA(15);
    font.SetUnderline(TRUE);
    font.SetQuality(4);
    CMemDC dc(nullptr, 2, 2);
    font.SetDC(dc.GetSafeHdc());
    font.SetFontColor(RGB(1, 2, 3));
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
    CString text = font.ContractFont();
    EXPECT_STREQ(text, "-15,0,0,0,400,0,1,0,0,0,0,4,18,Arial,197121");

    CAutoFont back;
    CString rest = text;
    back.ExtractFont(rest);
    EXPECT_STREQ(back.ContractFont(), text);
    EXPECT_EQ(back.GetFontColor(), RGB(1, 2, 3));
    EXPECT_EQ(memcmp(&back.GetLogFontRef(), &font.GetLogFontRef(), sizeof(LOGFONT)), 0);
    LOGFONT lf = {};
    back.GetLogFont(&lf);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
}
