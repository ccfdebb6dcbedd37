// Where the history combo's button bar stands for each position.
#include "button_bar_place.h"

#include <gtest/gtest.h>

namespace {
TEST(ButtonBarPlace, EveryPositionAroundTheCombo)
{
    // Combo 100..300 x 50..70; bar 60 x 24; borders 1, 2, 3, 4 (l, t, r, b).
    const BarBox combo{100, 50, 300, 70}, borders{1, 2, 3, 4};
    struct Case {
        int position;
        bool placement;
        bool shown;
        int x, y;
    };
    const Case cases[] = {
        {1, false, false, 0, 0},
        {2, false, true, 99, 28},   // above, left: top - 24 + 2
        {3, false, true, 170, 28},  // above, centred
        {4, false, true, 243, 28},  // above, right: 300 - 60 + 3
        {4, true, true, 243, 26},   // overlapping: no top border
        {5, false, true, 99, 66},   // below: 70 - 4
        {6, true, true, 170, 70},
        {7, false, true, 243, 66},
        {8, false, true, 41, 48},   // left of the combo: 100 - 60 + 1, top - 2
        {9, false, true, 41, 48},   // centred: 50 + (20 - 24) / 2
        {10, true, true, 40, 50},   // bottom-aligned: 50 + 20 - 24 + 4
        {11, false, true, 297, 48}, // right of the combo: 300 - 3
        {12, true, true, 300, 48},
        {13, false, true, 297, 50},
        {14, false, false, 0, 0},
        {0, false, false, 0, 0},
    };
    for (const Case& c : cases) {
        const BarPlace p = ButtonBarOrigin(c.position, c.placement, true, combo, 60, 24, borders);
        EXPECT_EQ(p.shown, c.shown) << c.position;
        if (c.shown) {
            EXPECT_EQ(p.x, c.x) << c.position << " placement " << c.placement;
            EXPECT_EQ(p.y, c.y) << c.position << " placement " << c.placement;
        }
    }
}

TEST(ButtonBarPlace, ABarWithoutButtonsIsHidden)
{
    EXPECT_FALSE(ButtonBarOrigin(6, false, false, {0, 0, 10, 10}, 5, 5, {0, 0, 0, 0}).shown);
}
}  // namespace
