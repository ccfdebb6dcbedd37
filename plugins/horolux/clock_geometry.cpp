#include "clock_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// As the face has always drawn it: this value, not a more precise pi.
const double kPi = 3.14159;

} // namespace

void ClockGeometry::Compute(int width, int height)
{
    centerX = width / 2;
    centerY = height / 2;
    radiusX = centerX;
    radiusY = centerY;
    markSize = std::max(std::min(radiusX, radiusY) / 20, 2);
}

ClockPoint ClockGeometry::DialPoint(int position, double fraction) const
{
    double angle = (position - 15) * kPi / 30;
    ClockPoint p;
    p.x = centerX + static_cast<int>(std::cos(angle) * radiusX * fraction + 0.5);
    p.y = centerY + static_cast<int>(fraction * std::sin(angle) * radiusY + 0.5);
    return p;
}

void ClockGeometry::HandPolygon(int position, double length, ClockPoint corners[4]) const
{
    corners[0] = DialPoint(position + 30, 0.1);
    corners[1] = DialPoint(position + 15, 0.05);
    corners[2] = DialPoint(position, length);
    corners[3] = DialPoint(position - 15, 0.05);
}

bool NeedsFullRepaint(int lastFullSeconds, int nowSeconds)
{
    return nowSeconds < lastFullSeconds || nowSeconds > lastFullSeconds + 300;
}

const char kSegmentCharacters[] = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ*+-:.";

int SegmentGlyphIndex(char c)
{
    if (c == '\0')
        return 0;
    const char* at = std::strchr(kSegmentCharacters, c);
    return at ? static_cast<int>(at - kSegmentCharacters) : 0;
}

const uint16_t kSegmentMasks[40] = {
    0x0000, 0x3F00, 0x1800, 0x36C0, 0x3CC0, 0x19C0, 0x2DC0, 0x2FC0, 0x3800, 0x3FC0,  // ' ', 0-8
    0x3DC0, 0x3BC0, 0x3CA1, 0x2700, 0x3C21, 0x27C0, 0x23C0, 0x2F80, 0x1BC0, 0x2421,  // 9, A-I
    0x1E00, 0x0354, 0x0700, 0x1B06, 0x1B12, 0x3F00, 0x33C0, 0x3F10, 0x33D0, 0x2DC0,  // J-S
    0x2021, 0x1F00, 0x030C, 0x1B18, 0x001E, 0x11E0, 0x240C, 0x00FF, 0x00E1, 0x00C0,  // T-Z, * + -
};

const uint32_t kSegmentKeyColours[14] = {
    0x808080,  // upper centre vertical
    0x800080,  // upper-left diagonal
    0xFFFF00,  // upper-right diagonal
    0x800000,  // lower-left diagonal
    0xFF0000,  // lower-right diagonal
    0xC0C0C0,  // lower centre vertical
    0x0000FF,  // middle bar, left half
    0x00FFFF,  // middle bar, right half
    0x000080,  // upper-left vertical
    0x008000,  // lower-left vertical
    0xFF00FF,  // bottom bar
    0x808000,  // lower-right vertical
    0xFFFFFF,  // upper-right vertical
    0x008080,  // top bar
};
