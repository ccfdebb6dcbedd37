#include "mail_date.h"

#include <cstdio>
#include <cstring>

#include "charset.h"

namespace vxmail {

int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * unsigned(m + (m > 2 ? -3 : 9)) + 2) / 5 + unsigned(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

int64_t CivilToSeconds(const CivilTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

CivilTime SecondsToCivil(int64_t s) {
    int64_t days = s >= 0 ? s / 86400 : (s - 86399) / 86400;
    int64_t rem = s - days * 86400;
    CivilTime t;
    t.hour = int(rem / 3600);
    t.minute = int(rem / 60 % 60);
    t.second = int(rem % 60);
    int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    t.day = int(doy - (153 * mp + 2) / 5 + 1);
    t.month = int(mp < 10 ? mp + 3 : mp - 9);
    t.year = int(int64_t(yoe) + era * 400 + (t.month <= 2));
    return t;
}

namespace {

const char* const kMonths[12] = {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
const char* const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDayNames[7] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};   // 1970-01-01 was a Thursday

struct Scanner {
    std::string_view s;
    size_t i = 0;
    void SkipJunk() {
        // Blanks, commas and comments between tokens.
        while (i < s.size()) {
            char c = s[i];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',') { ++i; continue; }
            if (c == '(') {
                int depth = 0;
                while (i < s.size()) {
                    if (s[i] == '(') ++depth;
                    else if (s[i] == ')' && --depth == 0) { ++i; break; }
                    ++i;
                }
                continue;
            }
            break;
        }
    }
    bool Number(int& v, int maxDigits) {
        size_t b = i;
        v = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - b < size_t(maxDigits)) v = v * 10 + (s[i++] - '0');
        return i > b;
    }
    std::string Word() {
        std::string w;
        while (i < s.size() && ((s[i] >= 'a' && s[i] <= 'z') || (s[i] >= 'A' && s[i] <= 'Z')) && w.size() < 16) w += s[i++];
        while (i < s.size() && ((s[i] >= 'a' && s[i] <= 'z') || (s[i] >= 'A' && s[i] <= 'Z'))) ++i;
        return AsciiLower(w);
    }
};

int MonthIndex(const std::string& w) {
    for (int m = 0; m < 12; ++m)
        if (w.compare(0, 3, kMonths[m]) == 0 && w.size() >= 3) return m + 1;
    return 0;
}

bool ZoneOffset(const std::string& z, int& minutes) {
    static const struct { const char* name; int offset; } zones[] = {
        {"ut", 0}, {"utc", 0}, {"gmt", 0}, {"z", 0}, {"est", -300}, {"edt", -240}, {"cst", -360},
        {"cdt", -300}, {"mst", -420}, {"mdt", -360}, {"pst", -480}, {"pdt", -420}};
    for (const auto& e : zones)
        if (z == e.name) { minutes = e.offset; return true; }
    return false;
}

} // namespace

bool ParseMailDate(std::string_view text, int64_t& utc) {
    Scanner sc{text.substr(0, 256)};
    sc.SkipJunk();
    // Optional weekday.
    size_t save = sc.i;
    std::string w = sc.Word();
    if (w.empty()) sc.i = save;
    sc.SkipJunk();
    int day = 0, month = 0, year = 0;
    if (!sc.Number(day, 2)) {
        // "May 8 2001" (asctime-like) order.
        month = MonthIndex(sc.Word());
        sc.SkipJunk();
        if (!month || !sc.Number(day, 2)) return false;
    } else {
        sc.SkipJunk();
        if (sc.i < sc.s.size() && (sc.s[sc.i] == '-' || sc.s[sc.i] == '/')) ++sc.i;
        month = MonthIndex(sc.Word());
        if (!month) return false;
        if (sc.i < sc.s.size() && (sc.s[sc.i] == '-' || sc.s[sc.i] == '/')) ++sc.i;
    }
    sc.SkipJunk();
    size_t yb = sc.i;
    int hour = 0, minute = 0, second = 0;
    bool yearRead = sc.Number(year, 4);
    size_t digits = sc.i - yb;
    if (yearRead && sc.i < sc.s.size() && sc.s[sc.i] == ':') {
        // asctime puts the time before the year.
        sc.i = yb;
        yearRead = false;
    }
    auto readTime = [&]() -> bool {
        if (!sc.Number(hour, 2) || sc.i >= sc.s.size() || sc.s[sc.i] != ':') return false;
        ++sc.i;
        if (!sc.Number(minute, 2)) return false;
        if (sc.i < sc.s.size() && sc.s[sc.i] == ':') {
            ++sc.i;
            if (!sc.Number(second, 2)) return false;
        }
        return true;
    };
    if (!yearRead) {
        if (!readTime()) return false;
        sc.SkipJunk();
        yb = sc.i;
        if (!sc.Number(year, 4)) return false;
        digits = sc.i - yb;
    } else {
        sc.SkipJunk();
        if (!readTime()) { hour = minute = second = 0; }
    }
    if (digits <= 2) year += year < 50 ? 2000 : 1900;
    else if (digits == 3) year += 1900;
    sc.SkipJunk();
    int offset = 0;
    if (sc.i < sc.s.size() && (sc.s[sc.i] == '+' || sc.s[sc.i] == '-')) {
        int sign = sc.s[sc.i] == '-' ? -1 : 1;
        ++sc.i;
        int hhmm = 0;
        size_t b = sc.i;
        if (sc.Number(hhmm, 4) && sc.i - b == 4 && hhmm % 100 < 60) offset = sign * (hhmm / 100 * 60 + hhmm % 100);
    } else {
        std::string z = sc.Word();
        int m;
        if (ZoneOffset(z, m)) offset = m;
    }
    static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] || hour > 23 ||
        minute > 59 || second > 60)
        return false;
    if (second == 60) second = 59;
    CivilTime t{year, month, day, hour, minute, second};
    utc = CivilToSeconds(t) - int64_t(offset) * 60;
    return true;
}

std::string FormatMailDate(const CivilTime& t, int offsetSeconds) {
    int64_t days = DaysFromCivil(t.year, t.month, t.day);
    int wd = int(((days % 7) + 7) % 7);
    int off = offsetSeconds / 60;
    char sign = off < 0 ? '-' : '+';
    if (off < 0) off = -off;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %d %s %04d %02d:%02d:%02d %c%02d%02d", kDayNames[wd], t.day,
                  kMonthNames[(t.month - 1) % 12], t.year, t.hour, t.minute, t.second, sign, off / 60, off % 60);
    return buf;
}

std::string FormatMapiDate(const CivilTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d", t.year % 10000, t.month % 100, t.day % 100, t.hour % 100,
                  t.minute % 100);
    return buf;
}

bool ParseMapiDate(std::string_view s, CivilTime& t) {
    if (s.size() < 16) return false;
    auto num = [&](size_t pos, size_t len, int& v) {
        v = 0;
        for (size_t k = pos; k < pos + len; ++k) {
            if (s[k] < '0' || s[k] > '9') return false;
            v = v * 10 + (s[k] - '0');
        }
        return true;
    };
    CivilTime r;
    if (!num(0, 4, r.year) || !num(5, 2, r.month) || !num(8, 2, r.day) || !num(11, 2, r.hour) || !num(14, 2, r.minute))
        return false;
    if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > 31 || r.hour > 23 || r.minute > 59) return false;
    t = r;
    return true;
}

} // namespace vxmail
