// The application bar's stored state and the geometry that follows from it:
// where a docked bar lies, where an auto-hide bar hides, which edge a drag
// proposes and how a size snaps to the grid. Free of windows and the shell.
#pragma once

#include <cstdint>
#include <cstring>

// Edges are the shell's own numbers.
enum {
    APPBAR_LEFT = 0,
    APPBAR_TOP = 1,
    APPBAR_RIGHT = 2,
    APPBAR_BOTTOM = 3,
    APPBAR_FLOAT = -2,
    APPBAR_NONE = -1,
};

// Behaviours a bar's user allows.
enum {
    APPBAR_ALLOW_LEFT_RIGHT = 0x01,
    APPBAR_ALLOW_TOP_BOTTOM = 0x02,
    APPBAR_ALLOW_FLOAT = 0x04,
    APPBAR_ALLOW_AUTOHIDE = 0x10,
    APPBAR_ALLOW_ALWAYSONTOP = 0x20,
};

struct AppBarRect {
    int32_t left, top, right, bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const AppBarRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The 48-byte record, little-endian, no gaps; also the stored registry value.
struct CAppBarState {
    uint32_t cbSize;
    int32_t state;
    int32_t autoHide;
    int32_t alwaysOnTop;
    int32_t dockSize[4];
    AppBarRect floatRect;
};
static_assert(sizeof(CAppBarState) == 48, "the stored record is 48 bytes");

// The record a bar starts with: docked at the bottom, nothing else set.
CAppBarState DefaultAppBarState();

// Whether a state value is one of the six known ones.
bool IsKnownAppBarState(int state);

// Takes a caller's record into `stored`: at most the record's own cbSize and
// never more than 48 bytes; the stored cbSize is 48 afterwards. A state
// outside the known values leaves the stored one.
void CopyInAppBarState(CAppBarState& stored, const void* record);

// Copies `stored` into a caller's record of the size the record names
// (at most 48 bytes); its cbSize stays as the caller set it.
void CopyOutAppBarState(const CAppBarState& stored, void* record);

// Reads a stored registry value: a value of another size or with an unknown
// state leaves `record` as it was. True when it was taken.
bool ReadStoredAppBarState(CAppBarState& record, const void* data, size_t size);

// The far side of a docked rectangle set from the dock size of its edge;
// floating and none leave it.
void ApplyDockSize(const CAppBarState& s, int state, AppBarRect& r);

// Where an auto-hide bar lies shown or hidden; false for floating, none or
// a bar that is not auto-hide. strip* is what stays visible of a hidden bar.
bool AutoHideRect(int state, bool autoHide, bool show, int screenW, int screenH, int stripX, int stripY,
                  AppBarRect& r);

// The state a drag proposes at a screen point.
int ProposeAppBarState(uint32_t options, bool ctrlDown, int x, int y, int screenW, int screenH,
                       const AppBarRect& shrunkWorkArea);

// The size a window takes while it is sized on the grid.
int SnapWidth(int draggedWidth, int frameWidth, int step);
