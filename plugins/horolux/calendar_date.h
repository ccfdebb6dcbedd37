// A date of the Gregorian calendar counted by its Julian day number, and the
// geometry of the month grid. Portable; formatting through the locale lives
// with the windows.
#pragma once

#include <ctime>

struct CDateReading;

class CCalendarDate {
public:
    CCalendarDate() = default;  // the empty date
    CCalendarDate(int year, int month, int day) : m_nYear(year), m_nMonth(month), m_nDay(day) {}
    explicit CCalendarDate(time_t when);  // local time
    static CCalendarDate Today();

    int GetYear() const { return m_nYear; }
    int GetMonth() const { return m_nMonth; }
    int GetDay() const { return m_nDay; }
    bool IsEmpty() const { return m_nYear == 0 && m_nMonth == 0 && m_nDay == 0; }

    static bool IsLeapYear(int year);
    static int DaysInMonth(int year, int month);
    bool IsLeapYear() const { return IsLeapYear(m_nYear); }
    int DaysInMonth() const { return DaysInMonth(m_nYear, m_nMonth); }
    int DayOfYear() const;
    long JulianDay() const;
    // 0 = Sunday.
    int DayOfWeek() const;
    bool IsValid() const;

    void NextDay();
    void PreviousDay();
    void AddDays(int days);
    // Day 1 of the next or the previous month.
    void NextMonth();
    void PreviousMonth();

    bool operator==(const CCalendarDate& o) const { return JulianDay() == o.JulianDay(); }
    bool operator!=(const CCalendarDate& o) const { return JulianDay() != o.JulianDay(); }
    bool operator<(const CCalendarDate& o) const { return JulianDay() < o.JulianDay(); }
    bool operator>(const CCalendarDate& o) const { return JulianDay() > o.JulianDay(); }
    bool operator<=(const CCalendarDate& o) const { return JulianDay() <= o.JulianDay(); }
    bool operator>=(const CCalendarDate& o) const { return JulianDay() >= o.JulianDay(); }

    // A year before 1601, which the system's date formatter cannot take, moved
    // forward by whole 400-year blocks (the same week days); others unchanged.
    static int FormattableYear(int year);

    // Reads a typed date such as "12/25/01" or "Tuesday, 25 December 2001"
    // with the locale's names and orders; on failure the date is unchanged.
    bool Parse(const char* text, const CDateReading& reading);

private:
    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;
};

// The month grid: 7 columns, a header row and six rows of days. Cells are at
// least one pixel, so a window smaller than the grid still paints and hit-tests.
struct MonthGrid {
    int cellWidth;
    int cellHeight;
    MonthGrid(int clientWidth, int clientHeight);

    // The day of the shown month in grid cell (column, row 1-6) for a month
    // whose first day falls on firstWeekDay; below 1 or beyond the month's
    // length the cell shows the neighbouring month.
    static int DayInCell(int column, int row, int firstWeekDay) { return column + 7 * row - firstWeekDay - 6; }
    // The cell (0-41) of day 1.
    static int FirstCell(int firstWeekDay) { return firstWeekDay; }
    // Column and row of a point, or false outside the day rows.
    bool CellAt(int x, int y, int& column, int& row) const;
};
