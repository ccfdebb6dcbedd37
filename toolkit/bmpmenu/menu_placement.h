// Where a bitmap menu of a given size goes on the desktop: the first of four
// corners that keeps it inside (every comparison strict).
#pragma once

struct MenuRect {
    int left, top, right, bottom;
};
struct MenuPoint {
    int x, y;
};

// Top level at (x, y): right-down, left-down, right-up, left-up, else (x, y).
MenuPoint PlaceTopLevelMenu(const MenuRect& desk, int x, int y, int w, int h);
// Beside the parent item's rectangle: right-down, right-up, left-down,
// left-up; false when none fits (the menu is not moved).
bool PlaceSubMenu(const MenuRect& desk, const MenuRect& item, int w, int h, MenuPoint* at);
