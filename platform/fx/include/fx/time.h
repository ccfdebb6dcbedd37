// CTime (a point in time, whole seconds) and CTimeSpan (a signed duration).
// Components and Format use local time; FormatGmt and GetGmtTm use UTC.
#pragma once

#include <ctime>
#include "fx/string.h"

class CArchive;

class CTimeSpan {
public:
    CTimeSpan() : m_timeSpan(0) {}
    CTimeSpan(time_t seconds) : m_timeSpan(seconds) {}
    CTimeSpan(LONG days, int hours, int minutes, int seconds)
        : m_timeSpan(seconds + 60 * (static_cast<time_t>(minutes) +
                                     60 * (static_cast<time_t>(hours) + 24 * static_cast<time_t>(days)))) {}

    LONG GetDays() const { return static_cast<LONG>(m_timeSpan / (24 * 3600)); }
    LONG GetTotalHours() const { return static_cast<LONG>(m_timeSpan / 3600); }
    int GetHours() const { return static_cast<int>(GetTotalHours() - GetDays() * 24); }
    LONG GetTotalMinutes() const { return static_cast<LONG>(m_timeSpan / 60); }
    int GetMinutes() const { return static_cast<int>(GetTotalMinutes() - GetTotalHours() * 60); }
    LONG GetTotalSeconds() const { return static_cast<LONG>(m_timeSpan); }
    int GetSeconds() const { return static_cast<int>(GetTotalSeconds() - GetTotalMinutes() * 60); }
    time_t GetTimeSpan() const { return m_timeSpan; }

    CTimeSpan operator-(CTimeSpan o) const { return CTimeSpan(m_timeSpan - o.m_timeSpan); }
    CTimeSpan operator+(CTimeSpan o) const { return CTimeSpan(m_timeSpan + o.m_timeSpan); }
    CTimeSpan& operator+=(CTimeSpan o) { m_timeSpan += o.m_timeSpan; return *this; }
    CTimeSpan& operator-=(CTimeSpan o) { m_timeSpan -= o.m_timeSpan; return *this; }
    bool operator==(CTimeSpan o) const { return m_timeSpan == o.m_timeSpan; }
    bool operator!=(CTimeSpan o) const { return m_timeSpan != o.m_timeSpan; }
    bool operator<(CTimeSpan o) const { return m_timeSpan < o.m_timeSpan; }
    bool operator>(CTimeSpan o) const { return m_timeSpan > o.m_timeSpan; }
    bool operator<=(CTimeSpan o) const { return m_timeSpan <= o.m_timeSpan; }
    bool operator>=(CTimeSpan o) const { return m_timeSpan >= o.m_timeSpan; }

    // %D days, %H hours (0-23), %M minutes, %S seconds, %% percent; other text as is.
    CString Format(LPCTSTR format) const;

private:
    time_t m_timeSpan;
};

class CTime {
public:
    CTime() : m_time(0) {}
    CTime(time_t t) : m_time(t) {}
    // Local time; dst < 0 lets the system decide daylight saving.
    // An invalid date gives the time -1 (IsValid() false).
    CTime(int year, int month, int day, int hour, int minute, int second, int dst = -1);

    static CTime GetCurrentTime();

    time_t GetTime() const { return m_time; }
    // Broken-down time; null when the time cannot be represented.
    struct tm* GetLocalTm(struct tm* out) const;
    struct tm* GetGmtTm(struct tm* out) const;

    int GetYear() const;
    int GetMonth() const;      // 1-12
    int GetDay() const;        // 1-31
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday .. 7 = Saturday

    // strftime-style formatting in local time / UTC; "" when the time is invalid.
    CString Format(LPCTSTR format) const;
    CString FormatGmt(LPCTSTR format) const;

    CTimeSpan operator-(CTime o) const { return CTimeSpan(m_time - o.m_time); }
    CTime operator-(CTimeSpan s) const { return CTime(m_time - s.GetTimeSpan()); }
    CTime operator+(CTimeSpan s) const { return CTime(m_time + s.GetTimeSpan()); }
    CTime& operator+=(CTimeSpan s) { m_time += s.GetTimeSpan(); return *this; }
    CTime& operator-=(CTimeSpan s) { m_time -= s.GetTimeSpan(); return *this; }
    bool operator==(CTime o) const { return m_time == o.m_time; }
    bool operator!=(CTime o) const { return m_time != o.m_time; }
    bool operator<(CTime o) const { return m_time < o.m_time; }
    bool operator>(CTime o) const { return m_time > o.m_time; }
    bool operator<=(CTime o) const { return m_time <= o.m_time; }
    bool operator>=(CTime o) const { return m_time >= o.m_time; }

private:
    int component(int which) const;
    time_t m_time;
};

// Stored forms: 32-bit values, as the archives of the class library always held them.
CArchive& operator<<(CArchive& ar, CTime time);
CArchive& operator>>(CArchive& ar, CTime& time);
CArchive& operator<<(CArchive& ar, CTimeSpan span);
CArchive& operator>>(CArchive& ar, CTimeSpan& span);
