#include "calendar_date.h"

#include <algorithm>
#include <cmath>

CCalendarDate::CCalendarDate(time_t when)
{
    struct tm parts {};
#ifdef _WIN32
    localtime_s(&parts, &when);
#else
    localtime_r(&when, &parts);
#endif
    m_nYear = parts.tm_year + 1900;
    m_nMonth = parts.tm_mon + 1;
    m_nDay = parts.tm_mday;
}

CCalendarDate CCalendarDate::Today()
{
    return CCalendarDate(std::time(nullptr));
}

bool CCalendarDate::IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int CCalendarDate::DaysInMonth(int year, int month)
{
    switch (month) {
    case 4: case 6: case 9: case 11:
        return 30;
    case 2:
        return IsLeapYear(year) ? 29 : 28;
    default:
        return 31;
    }
}

int CCalendarDate::DayOfYear() const
{
    int days = m_nDay + m_nMonth / 2 + 30 * m_nMonth + ((m_nMonth > 8 && m_nMonth % 2 == 1) ? 1 : 0) - 30;
    if (m_nMonth > 2)
        days -= IsLeapYear() ? 1 : 2;
    return days;
}

long CCalendarDate::JulianDay() const
{
    long y = m_nYear - 1;
    return static_cast<long>(std::floor(365.25 * y)) + y / 400 - y / 100 + DayOfYear() + 1721426L - 1;
}

int CCalendarDate::DayOfWeek() const
{
    return static_cast<int>((JulianDay() % 7 + 1) % 7);
}

bool CCalendarDate::IsValid() const
{
    return m_nMonth >= 1 && m_nMonth <= 12 && m_nDay >= 1 && m_nDay <= DaysInMonth() && m_nYear > 0;
}

void CCalendarDate::NextDay()
{
    if (++m_nDay > DaysInMonth()) {
        m_nDay = 1;
        if (++m_nMonth > 12) {
            m_nMonth = 1;
            ++m_nYear;
        }
    }
}

void CCalendarDate::PreviousDay()
{
    if (--m_nDay < 1) {
        if (--m_nMonth < 1) {
            m_nMonth = 12;
            --m_nYear;
        }
        m_nDay = DaysInMonth();
    }
}

void CCalendarDate::AddDays(int days)
{
    for (; days > 0; --days)
        NextDay();
    for (; days < 0; ++days)
        PreviousDay();
}

void CCalendarDate::NextMonth()
{
    m_nDay = 1;
    if (++m_nMonth > 12) {
        m_nMonth = 1;
        ++m_nYear;
    }
}

void CCalendarDate::PreviousMonth()
{
    m_nDay = 1;
    if (--m_nMonth < 1) {
        m_nMonth = 12;
        --m_nYear;
    }
}

int CCalendarDate::FormattableYear(int year)
{
    if (year >= 1601)
        return year;
    return year + ((17 - year / 100) / 4 + 1) * 400;
}

MonthGrid::MonthGrid(int clientWidth, int clientHeight)
    : cellWidth(std::max(clientWidth / 7, 1)), cellHeight(std::max((clientHeight - 1) / 7, 1))
{
}

bool MonthGrid::CellAt(int x, int y, int& column, int& row) const
{
    if (x < 0 || y < 0)
        return false;
    column = x / cellWidth;
    row = y / cellHeight;
    return column >= 0 && column < 7 && row >= 1 && row <= 6;
}
