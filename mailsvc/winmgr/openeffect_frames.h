// Geometry of the window manager's cascade and of the opening animation,
// kept free of window calls so it is checked natively as well.
#pragma once

#include <vector>

namespace winmgr {

struct FrameRect {
    long left, top, right, bottom;
    bool operator==(const FrameRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Cascade offsets run 0, 16, 32, 48, then start again at 0.
constexpr int kCascadeStep = 16;
constexpr int kCascadeLimit = 64;
int NextCascadeOffset(int offset);

// a * b / c rounded half away from zero in 64-bit arithmetic; 0 when c is 0
// (the animation treats a degenerate scale as no scale at all).
long FixedMulDiv(long a, long b, long c);

// The cells of frame f of the gather effect towards target: g x g outlined
// rectangles (outer loop over columns, inner over rows) that start spread out
// at three times their final distance from the centre and close in while
// they grow over n frames. Empty when both half sizes are still 0.
std::vector<FrameRect> GatherEffectFrame(const FrameRect& target, int f, int g = 4, int n = 50);

} // namespace winmgr
