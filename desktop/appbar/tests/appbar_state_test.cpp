// The application bar's record and geometry.
#include "appbar_state.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CAppBarState Filled(int seed)
{
    CAppBarState s;
    s.cbSize = 48;
    s.state = APPBAR_TOP;
    s.autoHide = 1;
    s.alwaysOnTop = 1;
    for (int i = 0; i < 4; ++i)
        s.dockSize[i] = seed + i;
    s.floatRect = {seed, seed + 1, seed + 200, seed + 40};
    return s;
}

TEST(AppBarState, RecordIs48BytesAtFixedOffsets)
{
    EXPECT_EQ(offsetof(CAppBarState, state), 4u);
    EXPECT_EQ(offsetof(CAppBarState, autoHide), 8u);
    EXPECT_EQ(offsetof(CAppBarState, alwaysOnTop), 12u);
    EXPECT_EQ(offsetof(CAppBarState, dockSize), 16u);
    EXPECT_EQ(offsetof(CAppBarState, floatRect), 32u);
    const CAppBarState d = DefaultAppBarState();
    EXPECT_EQ(d.cbSize, 48u);
    EXPECT_EQ(d.state, APPBAR_BOTTOM);
}

TEST(AppBarState, SetStateTakesAtMostTheRecordsOwnSizeAndNeverMoreThan48)
{
    struct Case {
        uint32_t cbSize;
        int statesTaken;  // bytes past which nothing is replaced
    };
    for (Case c : {Case{12, 12}, Case{32, 32}, Case{48, 48}, Case{4096, 48}, Case{0, 0}}) {
        // The caller's record sits in a larger buffer whose tail must not be read into the bar.
        std::vector<unsigned char> buffer(4096, 0x5A);
        CAppBarState given = Filled(100);
        given.cbSize = c.cbSize;
        std::memcpy(buffer.data(), &given, sizeof given);
        CAppBarState stored = DefaultAppBarState();
        const CAppBarState before = stored;
        CopyInAppBarState(stored, buffer.data());
        EXPECT_EQ(stored.cbSize, 48u) << c.cbSize;
        const auto* s = reinterpret_cast<const unsigned char*>(&stored);
        const auto* g = reinterpret_cast<const unsigned char*>(&given);
        const auto* b = reinterpret_cast<const unsigned char*>(&before);
        for (int i = 4; i < 48; ++i)
            EXPECT_EQ(s[i], i < c.statesTaken ? g[i] : b[i]) << "byte " << i << " of cbSize " << c.cbSize;
    }
}

TEST(AppBarState, UnknownStatesAreNotTaken)
{
    for (int bad : {-3, 4, 1000}) {
        CAppBarState stored = DefaultAppBarState();
        CAppBarState given = Filled(7);
        given.state = bad;
        CopyInAppBarState(stored, &given);
        EXPECT_EQ(stored.state, APPBAR_BOTTOM) << bad;
        EXPECT_EQ(stored.dockSize[2], 9) << "the rest of the record is taken";

        CAppBarState record = Filled(1);
        EXPECT_FALSE(ReadStoredAppBarState(record, &given, sizeof given)) << bad;
        EXPECT_EQ(record.dockSize[0], 1) << "the default stays";
    }
}

TEST(AppBarState, StoredValueIsTakenOnlyWhole)
{
    CAppBarState stored = Filled(30);
    stored.state = APPBAR_BOTTOM;
    stored.cbSize = 12345;  // whatever was written, the record taken says 48
    CAppBarState record = DefaultAppBarState();
    record.state = APPBAR_TOP;
    EXPECT_FALSE(ReadStoredAppBarState(record, &stored, 47));
    EXPECT_FALSE(ReadStoredAppBarState(record, &stored, 0));
    EXPECT_EQ(record.state, APPBAR_TOP);
    EXPECT_TRUE(ReadStoredAppBarState(record, &stored, 48));
    EXPECT_EQ(record.state, APPBAR_BOTTOM);
    EXPECT_EQ(record.cbSize, 48u);
    EXPECT_EQ(record.dockSize[3], 33);
    stored.dockSize[1] = -5;  // no bar has a negative size
    EXPECT_FALSE(ReadStoredAppBarState(record, &stored, 48));
}

TEST(AppBarState, GetStateRecordCopiesTheCallersSizeOnly)
{
    const CAppBarState stored = Filled(50);
    for (uint32_t size : {8u, 20u, 48u, 1000u}) {
        std::vector<unsigned char> buffer(1100, 0xEE);
        std::memcpy(buffer.data(), &size, sizeof size);
        CopyOutAppBarState(stored, buffer.data());
        uint32_t after;
        std::memcpy(&after, buffer.data(), sizeof after);
        EXPECT_EQ(after, size) << "the caller's cbSize stays";
        const uint32_t copied = size < 48 ? size : 48;
        for (uint32_t i = 4; i < 1100; ++i) {
            if (i < copied)
                ASSERT_EQ(buffer[i], reinterpret_cast<const unsigned char*>(&stored)[i]) << size << " at " << i;
            else
                ASSERT_EQ(buffer[i], 0xEE) << "written past the record: size " << size << " at " << i;
        }
    }
}

TEST(AppBarState, DockedRectanglesTakeTheirEdgesSize)
{
    CAppBarState s = DefaultAppBarState();
    s.dockSize[0] = 100;
    s.dockSize[1] = 40;
    s.dockSize[2] = 120;
    s.dockSize[3] = 50;
    struct Case {
        int state;
        AppBarRect expected;
    };
    const AppBarRect screen = {0, 0, 800, 600};
    for (Case c : {Case{APPBAR_LEFT, {0, 0, 100, 600}}, Case{APPBAR_TOP, {0, 0, 800, 40}},
                   Case{APPBAR_RIGHT, {680, 0, 800, 600}}, Case{APPBAR_BOTTOM, {0, 550, 800, 600}},
                   Case{APPBAR_FLOAT, screen}}) {
        AppBarRect r = screen;
        ApplyDockSize(s, c.state, r);
        EXPECT_EQ(r, c.expected) << c.state;
    }
}

TEST(AppBarState, HiddenBarsLeaveTheirStripOnScreen)
{
    struct Case {
        int state;
        bool show;
        AppBarRect expected;
    };
    // A bar 800 x 40 (top, bottom) or 100 x 600 (left, right); strips 2 and 7.
    const Case cases[] = {
        {APPBAR_TOP, false, {0, 7 - 40, 800, 7}},      {APPBAR_TOP, true, {0, 0, 800, 40}},
        {APPBAR_BOTTOM, false, {0, 593, 800, 633}},    {APPBAR_BOTTOM, true, {0, 560, 800, 600}},
        {APPBAR_LEFT, false, {2 - 100, 0, 2, 600}},    {APPBAR_RIGHT, false, {798, 0, 898, 600}},
        {APPBAR_RIGHT, true, {700, 0, 800, 600}},
    };
    for (const Case& c : cases) {
        const bool vertical = c.state == APPBAR_LEFT || c.state == APPBAR_RIGHT;
        AppBarRect r = vertical ? AppBarRect{5, 5, 105, 605} : AppBarRect{5, 5, 805, 45};
        ASSERT_TRUE(AutoHideRect(c.state, true, c.show, 800, 600, 2, 7, r));
        EXPECT_EQ(r, c.expected) << c.state << " shown " << c.show;
    }
    AppBarRect r = {1, 2, 3, 4};
    EXPECT_FALSE(AutoHideRect(APPBAR_TOP, false, false, 800, 600, 2, 7, r));
    EXPECT_FALSE(AutoHideRect(APPBAR_FLOAT, true, false, 800, 600, 2, 7, r));
    EXPECT_FALSE(AutoHideRect(APPBAR_NONE, true, false, 800, 600, 2, 7, r));
    EXPECT_EQ(r, (AppBarRect{1, 2, 3, 4}));
}

TEST(AppBarState, DragsDockAtTheTopOrFloat)
{
    const AppBarRect work = {20, 20, 780, 580};
    const uint32_t toolbar = APPBAR_ALLOW_TOP_BOTTOM | APPBAR_ALLOW_AUTOHIDE | APPBAR_ALLOW_ALWAYSONTOP;
    const uint32_t floating = toolbar | APPBAR_ALLOW_FLOAT;
    struct Case {
        uint32_t options;
        bool ctrl;
        int x, y;
        int expected;
    };
    const Case cases[] = {
        {toolbar, false, 400, 590, APPBAR_TOP},   // near the bottom edge, still the top
        {toolbar, false, 400, 5, APPBAR_TOP},
        {toolbar, true, 400, 300, APPBAR_TOP},    // Ctrl without floating allowed
        {floating, true, 400, 5, APPBAR_FLOAT},
        {floating, false, 400, 300, APPBAR_FLOAT},  // inside the work area
        {floating, false, 400, 5, APPBAR_TOP},
        {APPBAR_ALLOW_FLOAT, false, 2, 2, APPBAR_FLOAT},  // no docking at all
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProposeAppBarState(c.options, c.ctrl, c.x, c.y, 800, 600, work), c.expected)
            << c.x << "," << c.y;
}

TEST(AppBarState, WidthSnapsToTheGrid)
{
    EXPECT_EQ(SnapWidth(107, 6, 10), 106);
    EXPECT_EQ(SnapWidth(112, 6, 10), 116);
    EXPECT_EQ(SnapWidth(333, 8, 1), 333);
    EXPECT_EQ(SnapWidth(333, 8, 0), 333) << "no grid: no division by zero";
}

}  // namespace
