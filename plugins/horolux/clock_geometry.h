// The arithmetic of the clock face and the segment display, apart from any
// window, so that it is checked on both builds.
#pragma once

#include <cstdint>

struct ClockPoint {
    int x;
    int y;
};

struct ClockGeometry {
    int centerX = -1;
    int centerY = -1;
    int radiusX = -1;
    int radiusY = -1;
    int markSize = -1;

    // Centre and radii from the client size; the mark size is a twentieth of
    // the smaller radius, at least 2.
    void Compute(int width, int height);

    // The point of dial position p (0 at twelve, clockwise, 60 per turn) at a
    // fraction of the radius.
    ClockPoint DialPoint(int position, double fraction) const;

    // The four corners of an hour or minute hand at a dial position: tail,
    // side, tip, other side.
    void HandPolygon(int position, double length, ClockPoint corners[4]) const;
};

// Dial positions and lengths of the hands.
inline int HourHandPosition(int hour, int minute) { return (hour % 12) * 5 + minute / 12; }
const double kHourHandLength = 0.5;
const double kMinuteHandLength = 0.7;
const double kSecondHandLength = 0.8;
const double kMarkFraction = 0.9;

// Seconds of the half day, the clock's own measure of a time.
inline int HalfDaySeconds(int hour, int minute, int second) { return (hour % 12) * 3600 + minute * 60 + second; }

// Whether the face repaints whole for a new time: when time went backwards
// since the last full repaint, or more than five minutes passed.
bool NeedsFullRepaint(int lastFullSeconds, int nowSeconds);

// The segment display's characters in glyph order; any other character shows
// glyph 0 (a blank).
extern const char kSegmentCharacters[];
const int kSegmentGlyphCount = 42;
const int kSegmentColonGlyph = 40;
const int kSegmentPointGlyph = 41;
int SegmentGlyphIndex(char c);

// The lit segments of glyphs 0-39, bit k for segment k.
extern const uint16_t kSegmentMasks[40];
// The key colour (0x00BBGGRR) each segment is painted in on the glyph bitmap.
extern const uint32_t kSegmentKeyColours[14];
const int kSegmentCount = 14;

// Resource ids of the glyph bitmaps.
enum { IDB_SEGMENT_CELL = 160, IDB_SEGMENT_COLON = 130, IDB_SEGMENT_POINT = 171 };
