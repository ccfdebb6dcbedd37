#include "shape_geometry.h"

#include <cmath>

namespace shapes {

std::vector<Point> PolygonCorners(const Box& r, double n, double ratio, double rotation)
{
    std::vector<Point> corners;
    if (!(n > 0) || !(ratio > 0) || !std::isfinite(rotation) || n * 2 > kMaxCorners)
        return corners;
    const int count = static_cast<int>(n * 2);
    const int radius = r.right / 2;
    const double step = 3.14159 / n;
    for (int i = 0; i < count; ++i) {
        const double angle = i * step + rotation + 1.5;
        int dx = static_cast<int>(std::cos(angle) * radius);
        int dy = static_cast<int>(std::sin(angle) * radius);
        if (i % 2) {
            dx = static_cast<int>(dx / ratio);
            dy = static_cast<int>(dy / ratio);
        }
        corners.push_back({r.right / 2 + dx, r.bottom / 2 - dy});
    }
    return corners;
}

Capsule CapsuleParts(const Box& r)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    Capsule c;
    if (w <= h) {
        c.middle = {r.left, r.top + w / 2 - 1, r.right, r.bottom + 1 - w / 2};
        c.first = {r.left, r.top, r.right, r.top + w};
        c.second = {r.left, r.bottom - w, r.right, r.bottom};
        c.hasMiddle = c.middle.bottom - c.middle.top >= 1;
    } else {
        c.middle = {r.left + h / 2 - 1, r.top, r.right + 1 - h / 2, r.bottom};
        c.first = {r.left, r.top, r.left + h, r.bottom};
        c.second = {r.right - h, r.top, r.right, r.bottom};
        c.hasMiddle = c.middle.right - c.middle.left >= 1;
    }
    return c;
}

RoundedBottom RoundedBottomParts(const Box& r)
{
    const int h = r.bottom - r.top;
    return {{r.left, r.top, r.right, h / 8 * 7}, {r.left, h / 8 * 6 - 2, r.right, r.bottom}};
}

namespace {

// Up-left, up, up-right, right, down-right, down, down-left, left (y grows downwards).
constexpr Point kDirection[8] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
// Where the search for the next neighbour starts after a move in each direction.
constexpr int kSearchStart[8] = {6, 0, 0, 2, 2, 4, 4, 6};

}  // namespace

std::vector<Point> TraceOutline(int width, int height, Point seed, const TransparentAt& transparent)
{
    std::vector<Point> points;
    if (width < 1 || height < 1)
        return points;
    auto inside = [&](Point p) { return p.x >= 0 && p.y >= 0 && p.x < width && p.y < height; };
    // Outside the picture counts as the caller of each step needs.
    auto clear = [&](Point p, bool outside) { return inside(p) ? transparent(p.x, p.y) : outside; };

    Point start = seed;
    if (!clear(seed, false))
        start = clear({0, 0}, true) ? Point{0, 0} : Point{-1, -1};
    // Walk diagonally towards the middle to the first pixel that is not transparent.
    const int sx = start.x <= (width - 1) / 2 ? 1 : -1, sy = start.y <= (height - 1) / 2 ? 1 : -1;
    Point p = start;
    while (clear(p, false))
        p = {p.x + sx, p.y + sy};
    if (!inside(p)) {
        bool found = false;
        for (int y = 0; y < height && !found; ++y)
            for (int x = 0; x < width && !found; ++x)
                if (!transparent(x, y)) {
                    p = {x, y};
                    found = true;
                }
        if (!found)
            return points;
    }
    int d = 0;
    while (d < 8 && clear({p.x + kDirection[d].x, p.y + kDirection[d].y}, true))
        ++d;
    if (d == 8)
        return points;  // a lone pixel
    const Point first{p.x + kDirection[d].x, p.y + kDirection[d].y};
    points.push_back(first);
    Point current = first;
    // Each pixel of the outline is left at most once per direction.
    const long long limit = 8LL * (width + 2) * (height + 2);
    for (long long steps = 0; steps < limit; ++steps) {
        const int previous = d;
        int k = kSearchStart[d] + 6;
        for (int j = kSearchStart[d]; j <= kSearchStart[d] + 6; ++j) {
            const Point& step = kDirection[j % 8];
            if (!clear({current.x + step.x, current.y + step.y}, true)) {
                k = j;
                break;
            }
        }
        d = k % 8;
        current = {current.x + kDirection[d].x, current.y + kDirection[d].y};
        if (d == previous)
            points.back() = current;  // a straight run keeps only its end
        else
            points.push_back(current);
        if (current == first)
            break;
    }
    return points;
}

}  // namespace shapes
