#include "sun_rise_set.h"

#include <cmath>

namespace {
const double kPi = 3.1415926;
const double kGammaPerDay = 0.01721420602739726;  // 2 pi / 365 per day
const double kSunriseZenith = 90.833;

// Days from 1 January 1970 of a civil date, and back (proleptic Gregorian).
long DaysFromCivil(long y, int m, int d)
{
    y -= m <= 2;
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d)
{
    z += 719468;
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}
}  // namespace

const CSunRiseSet::Month CSunRiseSet::s_commonYear[12] = {
    {31, "January"}, {28, "February"}, {31, "March"},     {30, "April"},   {31, "May"},      {30, "June"},
    {31, "July"},    {31, "August"},   {30, "September"}, {31, "October"}, {30, "November"}, {31, "December"}};
const CSunRiseSet::Month CSunRiseSet::s_leapYear[12] = {
    {31, "January"}, {29, "February"}, {31, "March"},     {30, "April"},   {31, "May"},      {30, "June"},
    {31, "July"},    {31, "August"},   {30, "September"}, {31, "October"}, {30, "November"}, {31, "December"}};

double CSunRiseSet::dRadToDeg(double x) { return x * 180 / kPi; }
double CSunRiseSet::dDegToRad(double x) { return x * kPi / 180; }

bool CSunRiseSet::IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int CSunRiseSet::CalcJulianDay(int month, int day, bool leap)
{
    const Month* table = leap ? s_leapYear : s_commonYear;
    int total = day;
    for (int i = 0; i < month - 1 && i < 12; ++i)
        total += table[i].days;
    return total;
}

double CSunRiseSet::CalcGamma(int day) { return (day - 1) * kGammaPerDay; }

double CSunRiseSet::CalcGamma2(int day, int hour) { return (day + hour / 24 - 1) * kGammaPerDay; }

double CSunRiseSet::CalcEqofTime(double g)
{
    return 229.18 * (0.000075 + 0.001868 * std::cos(g) - 0.032077 * std::sin(g) - 0.014615 * std::cos(2 * g) -
                     0.040849 * std::sin(2 * g));
}

double CSunRiseSet::CalcSolarDec(double g)
{
    return 0.006918 - 0.399912 * std::cos(g) + 0.070257 * std::sin(g) - 0.006758 * std::cos(2 * g) +
           0.000907 * std::sin(2 * g);
}

bool CSunRiseSet::CalcHourAngle(double latitude, double declination, bool sunrise, double& hourAngle)
{
    double phi = dDegToRad(latitude);
    double c = std::cos(dDegToRad(kSunriseZenith)) / (std::cos(phi) * std::cos(declination)) -
               std::tan(phi) * std::tan(declination);
    // Beyond [-1, 1] the sun stays above (polar day) or below (polar night)
    // the horizon all day; at the poles themselves the value is not finite.
    if (!std::isfinite(c) || c < -1 || c > 1)
        return false;
    hourAngle = std::acos(c);
    if (!sunrise)
        hourAngle = -hourAngle;
    return true;
}

bool CSunRiseSet::calcSunriseGMT(int day, double latitude, double longitude, double& minutes)
{
    double g = CalcGamma(day), ha = 0;
    if (!CalcHourAngle(latitude, CalcSolarDec(g), true, ha))
        return false;
    double t = 720 + 4 * (longitude - dRadToDeg(ha)) - CalcEqofTime(g);
    g = CalcGamma2(day, static_cast<int>(t / 60));
    if (!CalcHourAngle(latitude, CalcSolarDec(g), true, ha))
        return false;
    minutes = 720 + 4 * (longitude - dRadToDeg(ha)) - CalcEqofTime(g);
    return true;
}

bool CSunRiseSet::calcSunsetGMT(int day, double latitude, double longitude, double& minutes)
{
    double g = CalcGamma(day + 1), ha = 0;
    if (!CalcHourAngle(latitude, CalcSolarDec(g), false, ha))
        return false;
    double t = 720 + 4 * (longitude - dRadToDeg(ha)) - CalcEqofTime(g);
    g = CalcGamma2(day, static_cast<int>(t / 60));
    if (!CalcHourAngle(latitude, CalcSolarDec(g), false, ha))
        return false;
    minutes = 720 + 4 * (longitude - dRadToDeg(ha)) - CalcEqofTime(g);
    return true;
}

CTime CSunRiseSet::MakeTime(CTime date, double minutes)
{
    // Whole days outside 00:00-24:00 move the date; the rest splits into
    // hour, minute and second as they come.
    double dayShift = std::floor(minutes / 1440);
    minutes -= dayShift * 1440;
    int hour = static_cast<int>(minutes / 60);
    double rest = minutes / 60 - hour;
    int minute = static_cast<int>(rest * 60);
    int second = static_cast<int>((rest * 60 - minute) * 60);
    int y = date.GetYear(), m = date.GetMonth(), d = date.GetDay();
    if (dayShift != 0)
        CivilFromDays(DaysFromCivil(y, m, d) + static_cast<long>(dayShift), y, m, d);
    return CTime(y, m, d, hour, minute, second, -1);
}

CTime CSunRiseSet::GetSunrise(double latitude, double longitude, CTime date)
{
    int day = CalcJulianDay(date.GetMonth(), date.GetDay(), IsLeapYear(date.GetYear()));
    double minutes = 0;
    if (!calcSunriseGMT(day, latitude, longitude, minutes))
        return CTime();
    return MakeTime(date, minutes);
}

CTime CSunRiseSet::GetSunset(double latitude, double longitude, CTime date)
{
    int day = CalcJulianDay(date.GetMonth(), date.GetDay(), IsLeapYear(date.GetYear()));
    double minutes = 0;
    if (!calcSunsetGMT(day, latitude, longitude, minutes))
        return CTime();
    return MakeTime(date, minutes);
}
