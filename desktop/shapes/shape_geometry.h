// The geometry of window shapes, apart from GDI: the corners of stars and
// regular polygons, the parts of a capsule and of a rounded bottom, and the
// outline of a picture traced against its transparent colour.
#pragma once

#include <functional>
#include <vector>

namespace shapes {

struct Point {
    int x, y;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};
struct Box {
    int left, top, right, bottom;
    bool operator==(const Box& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Corners of a polygon of 2n corners over the box's right and bottom halves;
// every second corner pulled in by the ratio (above 1: a star). Empty (no
// polygon) when n gives no corner or more than kMaxCorners, or the ratio is
// not a positive number.
constexpr int kMaxCorners = 4096;
std::vector<Point> PolygonCorners(const Box& r, double n, double ratio, double rotation);

// A rectangle with semicircular ends: the two end ellipses, and the middle
// rectangle unless it is less than a pixel long.
struct Capsule {
    Box middle, first, second;
    bool hasMiddle;
};
Capsule CapsuleParts(const Box& r);

// A rectangle whose lower eighth is rounded: the upper rectangle and the ellipse below.
struct RoundedBottom {
    Box upper, ellipse;
};
RoundedBottom RoundedBottomParts(const Box& r);

// The outline of everything not transparent reached from the seed, as the
// corners of a polygon. Outside the picture counts as the step asks. Empty
// when the picture holds nothing to outline. The walk ends after a number of
// steps bounded by the picture's size, whatever the picture holds.
using TransparentAt = std::function<bool(int x, int y)>;  // only called inside the picture
std::vector<Point> TraceOutline(int width, int height, Point seed, const TransparentAt& transparent);

}  // namespace shapes
