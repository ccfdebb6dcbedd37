// The shaped bitmap window on real windows: the region traced from a bitmap
// resource, a picture with nothing to show, closing at a click or after its
// time-out, and the process-wide instance that deletes itself.
#include "shaped_bitmap_wnd.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// Runs messages as the program's loop does, the picture window seeing them
// first, until done() holds; false after ms (generous by default: a wait
// that holds ends at once).
template <class Pred>
bool Pump(Pred done, CShapedBitmapWnd* filter, DWORD ms = testsupport::kWindowWaitMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > ms)
            return false;
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::Sleep(5);
            continue;
        }
        CShapedBitmapWnd* target = filter ? filter : CShapedBitmapWnd::Instance();
        if (target && target->PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

}  // namespace

TEST(ShapedBitmapWnd, RegionIsTheOutlineOfThePicture)
{
    CShapedBitmapWnd wnd;
    ASSERT_TRUE(wnd.Create(101, kMagenta, nullptr, 0));
    CRect box;
    ASSERT_NE(wnd.GetRegion().GetRgnBox(&box), ERROR);
    EXPECT_TRUE(wnd.GetRegion().PtInRegion(10, 5));
    EXPECT_FALSE(wnd.GetRegion().PtInRegion(1, 1));
    EXPECT_FALSE(wnd.GetRegion().PtInRegion(18, 10));
    EXPECT_GE(box.left, 3);
    EXPECT_LE(box.right, 17);

    CShapedBitmapWnd fromCorner;  // the colour taken from the picture at the seed
    ASSERT_TRUE(fromCorner.Create(101, CShapedBitmapWnd::kColorFromPicture, nullptr, 0));
    EXPECT_TRUE(fromCorner.GetRegion().EqualRgn(&wnd.GetRegion()));

    CShapedBitmapWnd blank, missing;
    EXPECT_FALSE(blank.Create(102, kMagenta, nullptr, 0));  // nothing but the transparent colour
    EXPECT_EQ(blank.GetRegion().GetSafeHandle(), nullptr);
    EXPECT_FALSE(missing.Create(999, kMagenta, nullptr, 0));
    EXPECT_FALSE(missing.Show(-1, nullptr));  // no picture
}

TEST(ShapedBitmapWnd, StaysUntilClickedOrClosesAfterItsTimeout)
{
    CShapedBitmapWnd wnd;
    ASSERT_TRUE(wnd.Create(101, kMagenta, nullptr, 0));
    ASSERT_TRUE(wnd.Show(-1, nullptr));
    ASSERT_NE(wnd.m_hWnd, nullptr);
    EXPECT_TRUE(::IsWindowVisible(wnd.m_hWnd));
    CRgn shape;
    shape.CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(wnd.GetWindowRgn(shape), ERROR);
    CRect where;
    wnd.GetWindowRect(&where);
    EXPECT_EQ(where.Width(), 20);
    EXPECT_FALSE(Pump([&] { return wnd.m_hWnd == nullptr; }, &wnd, 1000));  // no time-out
    wnd.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    EXPECT_TRUE(Pump([&] { return wnd.m_hWnd == nullptr; }, &wnd)) << "a click did not close the picture";

    ASSERT_TRUE(wnd.Show(0, nullptr));
    EXPECT_EQ(wnd.GetTimeout(), CShapedBitmapWnd::kDefaultTimeout);
    EXPECT_TRUE(Pump([&] { return wnd.m_hWnd == nullptr; }, &wnd)) << "the time-out did not close the picture";
}

TEST(ShapedBitmapWnd, TheProcessWideInstanceDeletesItself)
{
    ASSERT_TRUE(CShapedBitmapWnd::ShowSplash(101, kMagenta, nullptr, 0));
    ASSERT_NE(CShapedBitmapWnd::Instance(), nullptr);
    ASSERT_TRUE(CShapedBitmapWnd::Instance()->Show(50, nullptr));
    EXPECT_TRUE(Pump([] { return CShapedBitmapWnd::Instance() == nullptr; }, nullptr))
        << "the instance did not close and delete itself after its time-out";
}
