// The clock face's geometry, the segment glyphs and the calendar's date
// arithmetic and grid, apart from any window.
#include "calendar_date.h"
#include "clock_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(ClockGeometry, MarkSizeIsATwentiethOfTheRadiusAtLeastTwo)
{
    struct Case {
        int w, h, mark;
    } cases[] = {{30, 30, 2}, {0, 0, 2}, {200, 200, 5}, {400, 100, 2}, {1000, 800, 20}};
    for (const Case& c : cases) {
        ClockGeometry g;
        g.Compute(c.w, c.h);
        EXPECT_EQ(g.markSize, c.mark) << c.w << "x" << c.h;
        EXPECT_EQ(g.centerX, c.w / 2);
        EXPECT_EQ(g.radiusY, c.h / 2);
    }
}

TEST(ClockGeometry, DialPointsFallOnTheClockPositions)
{
    ClockGeometry g;
    g.Compute(200, 200);
    struct Case {
        int position;
        double fraction;
        int x, y;
    } cases[] = {
        {0, 1.0, 100, 0},     // twelve
        {15, 1.0, 200, 100},  // three
        {30, 1.0, 100, 200},  // six
        {45, 1.0, 0, 100},    // nine
        {15, 0.5, 150, 100},
        {0, 0.0, 100, 100},
    };
    for (const Case& c : cases) {
        ClockPoint p = g.DialPoint(c.position, c.fraction);
        EXPECT_NEAR(p.x, c.x, 1) << c.position;
        EXPECT_NEAR(p.y, c.y, 1) << c.position;
    }
}

TEST(ClockGeometry, HandsPointWhereTheTimeSays)
{
    EXPECT_EQ(HourHandPosition(3, 0), 15);
    EXPECT_EQ(HourHandPosition(3, 36), 18);
    EXPECT_EQ(HourHandPosition(15, 36), 18);
    EXPECT_EQ(HourHandPosition(12, 59), 4);
    ClockGeometry g;
    g.Compute(200, 200);
    ClockPoint hand[4];
    g.HandPolygon(15, kHourHandLength, hand);
    EXPECT_EQ(hand[2].x, 150);  // the tip, half a radius towards three
    EXPECT_EQ(hand[2].y, 100);
    EXPECT_LT(hand[0].x, 100);  // the tail behind the centre
}

TEST(ClockGeometry, FullRepaintWhenTimeGoesBackOrFiveMinutesPass)
{
    int last = HalfDaySeconds(12, 59, 59);
    EXPECT_EQ(last, 3599);
    struct Case {
        int last, now;
        bool full;
    } cases[] = {
        {HalfDaySeconds(0, 59, 59), HalfDaySeconds(13, 0, 0), false},  // 12:59:59 -> 1:00:00
        {HalfDaySeconds(11, 59, 59), HalfDaySeconds(0, 0, 0), true},   // noon or midnight
        {100, 400, false},
        {100, 401, true},
        {100, 100, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NeedsFullRepaint(c.last, c.now), c.full) << c.last << " -> " << c.now;
}

TEST(SegmentGlyphs, CharactersMapToTheirGlyphsAndOthersToBlank)
{
    struct Case {
        char c;
        int glyph;
        uint16_t mask;
    } cases[] = {{' ', 0, 0x0000}, {'0', 1, 0x3F00}, {'8', 9, 0x3FC0}, {'A', 11, 0x3BC0},
                 {'Z', 36, 0x240C}, {'-', 39, 0x00C0}, {'a', 0, 0}, {'#', 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(SegmentGlyphIndex(c.c), c.glyph) << c.c;
        EXPECT_EQ(kSegmentMasks[SegmentGlyphIndex(c.c)], c.mask) << c.c;
    }
    EXPECT_EQ(SegmentGlyphIndex(':'), kSegmentColonGlyph);
    EXPECT_EQ(SegmentGlyphIndex('.'), kSegmentPointGlyph);
}

TEST(CalendarDate, LeapYearsAndMonthLengths)
{
    struct Case {
        int year, month, days;
    } cases[] = {{2000, 2, 29}, {1900, 2, 28}, {2004, 2, 29}, {2001, 2, 28}, {2001, 4, 30}, {2001, 12, 31}};
    for (const Case& c : cases)
        EXPECT_EQ(CCalendarDate::DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
}

TEST(CalendarDate, JulianDaysAndWeekDays)
{
    EXPECT_EQ(CCalendarDate(2001, 1, 1).JulianDay(), 2451911L);
    EXPECT_EQ(CCalendarDate(2001, 1, 1).DayOfWeek(), 1);  // Monday
    EXPECT_EQ(CCalendarDate(2000, 12, 31).DayOfWeek(), 0);
    EXPECT_EQ(CCalendarDate(2001, 5, 8).DayOfWeek(), 2);  // Tuesday
    EXPECT_EQ(CCalendarDate(2000, 3, 1).DayOfYear(), 61);
    EXPECT_EQ(CCalendarDate(2001, 3, 1).DayOfYear(), 60);
    EXPECT_EQ(CCalendarDate(2001, 12, 31).DayOfYear(), 365);
    // Every day of several years follows the one before.
    CCalendarDate d(1899, 12, 25);
    long jd = d.JulianDay();
    for (int i = 0; i < 3 * 366; ++i) {
        d.NextDay();
        ASSERT_TRUE(d.IsValid());
        ASSERT_EQ(d.JulianDay(), ++jd) << d.GetYear() << "-" << d.GetMonth() << "-" << d.GetDay();
    }
    d.AddDays(-3 * 366);
    EXPECT_TRUE(d == CCalendarDate(1899, 12, 25));
}

TEST(CalendarDate, ValidityAndMonthSteps)
{
    EXPECT_FALSE(CCalendarDate(2001, 2, 29).IsValid());
    EXPECT_FALSE(CCalendarDate(2001, 13, 1).IsValid());
    EXPECT_FALSE(CCalendarDate(0, 1, 1).IsValid());
    EXPECT_TRUE(CCalendarDate().IsEmpty());
    CCalendarDate d(2001, 12, 15);
    d.NextMonth();
    EXPECT_TRUE(d == CCalendarDate(2002, 1, 1));
    d.PreviousMonth();
    EXPECT_TRUE(d == CCalendarDate(2001, 12, 1));
    EXPECT_EQ(CCalendarDate::FormattableYear(1492), 1892);
    EXPECT_EQ(CCalendarDate::FormattableYear(1601), 1601);
    EXPECT_EQ(CCalendarDate::FormattableYear(99), 2099);
}

TEST(MonthGrid, TinyWindowsGetCellsOfAtLeastOnePixel)
{
    for (int w : {0, 1, 6, 7}) {
        for (int h : {0, 1, 7, 8}) {
            MonthGrid g(w, h);
            EXPECT_GE(g.cellWidth, 1);
            EXPECT_GE(g.cellHeight, 1);
            int column = -1, row = -1;
            g.CellAt(3, 3, column, row);  // must not divide by zero
        }
    }
    MonthGrid g(140, 71);
    EXPECT_EQ(g.cellWidth, 20);
    EXPECT_EQ(g.cellHeight, 10);
    int column = 0, row = 0;
    EXPECT_FALSE(g.CellAt(5, 5, column, row)) << "the header row holds no day";
    EXPECT_TRUE(g.CellAt(25, 15, column, row));
    EXPECT_EQ(column, 1);
    EXPECT_EQ(row, 1);
}

TEST(MonthGrid, FirstOfTheMonthSitsUnderItsWeekDay)
{
    // January 2001 starts on a Monday: its first cell is column 1 of row 1.
    int first = CCalendarDate(2001, 1, 1).DayOfWeek();
    EXPECT_EQ(MonthGrid::DayInCell(1, 1, first), 1);
    EXPECT_EQ(MonthGrid::DayInCell(0, 1, first), 0) << "December 31 is the cell before";
    EXPECT_EQ(MonthGrid::DayInCell(3, 5, first), 31);
}

} // namespace
