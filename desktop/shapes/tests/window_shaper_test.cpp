// Window shapes on a real window: the region the window ends up with.
#include "window_shaper.h"

#include <gtest/gtest.h>

namespace {

class Target : public CWnd {
public:
    Target()
    {
        CreateEx(0, AfxRegisterWndClass(0), "shaped", WS_POPUP | WS_VISIBLE, 20, 20, 60, 20, nullptr, nullptr);
    }
    ~Target() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
    int RegionKind(CRgn& into) const
    {
        into.DeleteObject();
        into.CreateRectRgn(0, 0, 0, 0);
        return GetWindowRgn(into);
    }
};

}  // namespace

TEST(WindowShaper, CapsuleIsTheUnionOfItsParts)
{
    Target wnd;
    ASSERT_NE(wnd.m_hWnd, nullptr);
    CWindowShaper shaper(&wnd);
    ASSERT_TRUE(shaper.Capsule(nullptr));  // the client rectangle, 60 x 20
    CRgn held, expected, a, b, middle, ends;
    ASSERT_EQ(wnd.RegionKind(held), COMPLEXREGION);
    a.CreateEllipticRgn(0, 0, 20, 20);
    b.CreateEllipticRgn(40, 0, 60, 20);
    middle.CreateRectRgn(9, 0, 51, 20);
    ends.CreateRectRgn(0, 0, 0, 0);
    ends.CombineRgn(&a, &b, RGN_OR);
    expected.CreateRectRgn(0, 0, 0, 0);
    expected.CombineRgn(&ends, &middle, RGN_OR);
    EXPECT_TRUE(held.EqualRgn(&expected));
    EXPECT_EQ(shaper.GetRegion(), nullptr);  // the window's now
}

TEST(WindowShaper, StarPolygonAndRefusedPolygon)
{
    Target wnd;
    CWindowShaper shaper(&wnd);
    const CRect square(0, 0, 100, 100);
    ASSERT_TRUE(shaper.Polygon(&square, 5, 2, 0, FALSE));  // built, not applied
    CRgn* star = shaper.GetRegion();
    ASSERT_NE(star, nullptr);
    EXPECT_TRUE(star->PtInRegion(50, 50));
    EXPECT_FALSE(star->PtInRegion(2, 2));
    CRgn held;
    EXPECT_EQ(wnd.RegionKind(held), ERROR);  // no shape yet

    ASSERT_TRUE(shaper.Pentagon(&square, 0));
    EXPECT_NE(wnd.RegionKind(held), ERROR);
    EXPECT_FALSE(shaper.Polygon(&square, 0, 1, 0));  // no corners: refused, and the old shape removed
    EXPECT_EQ(wnd.RegionKind(held), ERROR);
    EXPECT_EQ(shaper.GetRegion(), nullptr);
}

TEST(WindowShaper, RoundedShapesAndAWindowlessTarget)
{
    Target wnd;
    CWindowShaper shaper(&wnd);
    ASSERT_TRUE(shaper.RoundRect(nullptr, nullptr));
    CRgn held;
    EXPECT_EQ(wnd.RegionKind(held), SIMPLEREGION);  // no corner size: the plain rectangle
    const CRect tall(0, 0, 50, 80);
    ASSERT_TRUE(shaper.RoundedBottom(&tall));
    ASSERT_NE(wnd.RegionKind(held), ERROR);
    EXPECT_TRUE(held.PtInRegion(1, 1));
    EXPECT_FALSE(held.PtInRegion(1, 78));
    ASSERT_TRUE(shaper.Ellipse(nullptr));

    CWnd none;
    CWindowShaper orphan(&none);
    EXPECT_FALSE(orphan.Ellipse(nullptr));
}
