// Where a menu goes: the first corner that keeps it inside the desktop,
// with strict comparisons, for a top-level menu and beside a parent item.
#include "menu_placement.h"

#include <gtest/gtest.h>

TEST(MenuPlacement, TopLevelTakesTheFirstCornerThatFits)
{
    const MenuRect desk = {0, 0, 1000, 800};
    struct Case {
        int x, y, ex, ey;
    } cases[] = {
        {100, 100, 100, 100},  // right and down
        {950, 100, 750, 100},  // left and down
        {100, 750, 100, 650},  // right and up
        {950, 750, 750, 650},  // left and up
        {800, 700, 600, 600},  // touching the edges counts as not fitting
        {500, 400, 500, 400},  // (a menu too large for every corner, below)
    };
    for (const Case& c : cases) {
        const int w = c.x == 500 ? 900 : 200;
        const int h = c.x == 500 ? 700 : 100;
        MenuPoint p = PlaceTopLevelMenu(desk, c.x, c.y, w, h);
        EXPECT_EQ(p.x, c.ex) << c.x << "," << c.y;
        EXPECT_EQ(p.y, c.ey) << c.x << "," << c.y;
    }
}

TEST(MenuPlacement, SubMenuBesideItsItem)
{
    const MenuRect desk = {0, 0, 1000, 800};
    MenuPoint p = {-1, -1};
    ASSERT_TRUE(PlaceSubMenu(desk, {100, 100, 300, 120}, 200, 100, &p));
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 100);
    ASSERT_TRUE(PlaceSubMenu(desk, {100, 750, 300, 770}, 200, 100, &p));
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 670);
    ASSERT_TRUE(PlaceSubMenu(desk, {700, 100, 900, 120}, 200, 100, &p));
    EXPECT_EQ(p.x, 500);
    EXPECT_EQ(p.y, 100);
    ASSERT_TRUE(PlaceSubMenu(desk, {700, 750, 900, 770}, 200, 100, &p));
    EXPECT_EQ(p.x, 500);
    EXPECT_EQ(p.y, 670);
    p = {7, 7};
    EXPECT_FALSE(PlaceSubMenu(desk, {0, 0, 1000, 800}, 200, 100, &p));
    EXPECT_EQ(p.x, 7) << "not moved when nothing fits";
}
