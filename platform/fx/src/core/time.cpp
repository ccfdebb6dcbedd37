// CTime and CTimeSpan.
#include "fx/time.h"
#include "fx/archive.h"

#include <cstdio>
#include <cstring>

namespace {

bool toLocal(time_t t, struct tm* out)
{
#ifdef _WIN32
    return localtime_s(out, &t) == 0;
#else
    return localtime_r(&t, out) != nullptr;
#endif
}

bool toGmt(time_t t, struct tm* out)
{
#ifdef _WIN32
    return gmtime_s(out, &t) == 0;
#else
    return gmtime_r(&t, out) != nullptr;
#endif
}

CString formatTm(const struct tm* tm, LPCTSTR format)
{
    if (!tm || !format || !*format)
        return CString();
    // strftime answers 0 both for "too small" and for an empty result; grow a
    // few times, then take the empty result as the answer.
    for (size_t room = 256; room <= 65536; room *= 4) {
        CString out;
        char* p = out.GetBuffer(static_cast<int>(room));
        size_t n = std::strftime(p, room + 1, format, tm);
        if (n > 0) {
            out.ReleaseBuffer(static_cast<int>(n));
            return out;
        }
    }
    return CString();
}

} // namespace

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int dst)
{
    struct tm tm;
    std::memset(&tm, 0, sizeof tm);
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = dst;
    bool valid = year >= 1900 && month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
                 hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 &&
                 second <= 59;
    m_time = valid ? std::mktime(&tm) : static_cast<time_t>(-1);
}

CTime CTime::GetCurrentTime()
{
    return CTime(std::time(nullptr));
}

struct tm* CTime::GetLocalTm(struct tm* out) const
{
    if (!out)
        return nullptr;
    return toLocal(m_time, out) ? out : nullptr;
}

struct tm* CTime::GetGmtTm(struct tm* out) const
{
    if (!out)
        return nullptr;
    return toGmt(m_time, out) ? out : nullptr;
}

int CTime::component(int which) const
{
    struct tm tm;
    if (!toLocal(m_time, &tm))
        return 0;
    switch (which) {
    case 0: return tm.tm_year + 1900;
    case 1: return tm.tm_mon + 1;
    case 2: return tm.tm_mday;
    case 3: return tm.tm_hour;
    case 4: return tm.tm_min;
    case 5: return tm.tm_sec;
    default: return tm.tm_wday + 1;
    }
}

int CTime::GetYear() const { return component(0); }
int CTime::GetMonth() const { return component(1); }
int CTime::GetDay() const { return component(2); }
int CTime::GetHour() const { return component(3); }
int CTime::GetMinute() const { return component(4); }
int CTime::GetSecond() const { return component(5); }
int CTime::GetDayOfWeek() const { return component(6); }

CString CTime::Format(LPCTSTR format) const
{
    struct tm tm;
    return toLocal(m_time, &tm) ? formatTm(&tm, format) : CString();
}

CString CTime::FormatGmt(LPCTSTR format) const
{
    struct tm tm;
    return toGmt(m_time, &tm) ? formatTm(&tm, format) : CString();
}

CString CTimeSpan::Format(LPCTSTR format) const
{
    CString out;
    if (!format)
        return out;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        char item[32];
        switch (*++p) {
        case 'D': std::snprintf(item, sizeof item, "%ld", static_cast<long>(GetDays())); break;
        case 'H': std::snprintf(item, sizeof item, "%02d", GetHours()); break;
        case 'M': std::snprintf(item, sizeof item, "%02d", GetMinutes()); break;
        case 'S': std::snprintf(item, sizeof item, "%02d", GetSeconds()); break;
        case '%': std::snprintf(item, sizeof item, "%%"); break;
        case '\0': return out;  // a lone '%' at the end
        default: std::snprintf(item, sizeof item, "%%%c", *p); break;
        }
        out += item;
    }
    return out;
}

CArchive& operator<<(CArchive& ar, CTime time)
{
    return ar << static_cast<DWORD>(time.GetTime());
}

CArchive& operator>>(CArchive& ar, CTime& time)
{
    DWORD t = 0;
    ar >> t;
    time = CTime(static_cast<time_t>(t));
    return ar;
}

CArchive& operator<<(CArchive& ar, CTimeSpan span)
{
    return ar << static_cast<DWORD>(span.GetTimeSpan());
}

CArchive& operator>>(CArchive& ar, CTimeSpan& span)
{
    DWORD t = 0;
    ar >> t;
    span = CTimeSpan(static_cast<time_t>(static_cast<LONG>(t)));
    return ar;
}
