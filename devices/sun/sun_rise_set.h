// CSunRiseSet: the times of sunrise and sunset for a place and a date, from
// the solar position (Spencer's series for the equation of time and the
// declination, a zenith of 90.833 degrees for the sun's upper limb with
// refraction). Angles in degrees; latitude positive to the north, longitude
// positive to the WEST.
#pragma once

#include "fx/fx.h"
#include "fx/time.h"

class CSunRiseSet {
public:
    struct Month {
        int days;
        CString name;
    };
    // January to December, for common and for leap years.
    static const Month s_commonYear[12];
    static const Month s_leapYear[12];

    // The event on date's year, month and day: a CTime whose hour, minute and
    // second are the UTC time of the event (built as a local time, not
    // converted). An event before 00:00 or after 24:00 UTC (far from
    // Greenwich) falls on the day before or after. A null CTime (GetTime() == 0)
    // when the sun does not rise, or does not set, on that day (polar day or night).
    CTime GetSunrise(double latitude, double longitude, CTime date);
    CTime GetSunset(double latitude, double longitude, CTime date);

    static bool IsLeapYear(int year);
    // Day of the year, 1 January being day 1.
    static int CalcJulianDay(int month, int day, bool leap);

    // Minutes after midnight UTC of the event on day of the year; false when
    // the sun does not cross the horizon that day.
    static bool calcSunriseGMT(int day, double latitude, double longitude, double& minutes);
    static bool calcSunsetGMT(int day, double latitude, double longitude, double& minutes);

private:
    static double dRadToDeg(double x);
    static double dDegToRad(double x);
    static double CalcGamma(int day);
    static double CalcGamma2(int day, int hour);
    static double CalcEqofTime(double gamma);
    static double CalcSolarDec(double gamma);
    // Hour angle in radians (negative for sunset); false when there is none.
    static bool CalcHourAngle(double latitude, double declination, bool sunrise, double& hourAngle);
    static CTime MakeTime(CTime date, double minutes);
};
