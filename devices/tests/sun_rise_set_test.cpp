// Sunrise and sunset: the known figures at the equator, the day of the year,
// polar days and nights, events past midnight UTC, and a table of places and
// dates against an independent computation (the Julian-century solar
// position with the equation of centre and the obliquity).
#include <gtest/gtest.h>

#include <cmath>

#include "sun_rise_set.h"

namespace {

// Independent reference: UTC minutes of the event, or NAN when there is none.
double ReferenceEvent(int year, int month, int day, double latitude, double longitudeWest, bool sunrise)
{
    const double rad = 3.14159265358979323846 / 180;
    auto julianDay = [](int y, int m, int d) {
        if (m <= 2) {
            y -= 1;
            m += 12;
        }
        int a = y / 100, b = 2 - a + a / 4;
        return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + d + b - 1524.5;
    };
    double jd0 = julianDay(year, month, day);
    double minutes = 720;
    for (int pass = 0; pass < 3; ++pass) {
        double t = (jd0 + minutes / 1440 - 2451545.0) / 36525;
        double l0 = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360);
        double m = 357.52911 + t * (35999.05029 - 0.0001537 * t);
        double e = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
        double c = std::sin(m * rad) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                   std::sin(2 * m * rad) * (0.019993 - 0.000101 * t) + std::sin(3 * m * rad) * 0.000289;
        double omega = 125.04 - 1934.136 * t;
        double lambda = l0 + c - 0.00569 - 0.00478 * std::sin(omega * rad);
        double eps = 23 + (26 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60) / 60 +
                     0.00256 * std::cos(omega * rad);
        double decl = std::asin(std::sin(eps * rad) * std::sin(lambda * rad));
        double y = std::pow(std::tan(eps * rad / 2), 2);
        double eqTime = 4 / rad *
                        (y * std::sin(2 * l0 * rad) - 2 * e * std::sin(m * rad) +
                         4 * e * y * std::sin(m * rad) * std::cos(2 * l0 * rad) - 0.5 * y * y * std::sin(4 * l0 * rad) -
                         1.25 * e * e * std::sin(2 * m * rad));
        double cosHa = std::cos(90.833 * rad) / (std::cos(latitude * rad) * std::cos(decl)) -
                       std::tan(latitude * rad) * std::tan(decl);
        if (cosHa < -1 || cosHa > 1)
            return NAN;
        double ha = std::acos(cosHa) / rad;
        minutes = 720 + 4 * (longitudeWest + (sunrise ? -ha : ha)) - eqTime;
    }
    return minutes;
}

double MinutesOf(CTime t, CTime date)
{
    long dayShift = static_cast<long>(std::lround(
        static_cast<double>(CTime(t.GetYear(), t.GetMonth(), t.GetDay(), 12, 0, 0).GetTime() -
                            CTime(date.GetYear(), date.GetMonth(), date.GetDay(), 12, 0, 0).GetTime()) /
        86400.0));
    return dayShift * 1440 + t.GetHour() * 60 + t.GetMinute() + t.GetSecond() / 60.0;
}

}  // namespace

TEST(SunRiseSet, DayOfTheYearAndLeapYears)
{
    EXPECT_EQ(1, CSunRiseSet::CalcJulianDay(1, 1, false));
    EXPECT_EQ(60, CSunRiseSet::CalcJulianDay(3, 1, false));
    EXPECT_EQ(61, CSunRiseSet::CalcJulianDay(3, 1, true));
    EXPECT_EQ(365, CSunRiseSet::CalcJulianDay(12, 31, false));
    EXPECT_EQ(366, CSunRiseSet::CalcJulianDay(12, 31, true));
    EXPECT_TRUE(CSunRiseSet::IsLeapYear(2000));
    EXPECT_FALSE(CSunRiseSet::IsLeapYear(1900));
    EXPECT_TRUE(CSunRiseSet::IsLeapYear(2024));
    EXPECT_FALSE(CSunRiseSet::IsLeapYear(2023));
    EXPECT_EQ(std::string("February"), static_cast<LPCSTR>(CSunRiseSet::s_leapYear[1].name));
    EXPECT_EQ(29, CSunRiseSet::s_leapYear[1].days);
    EXPECT_EQ(28, CSunRiseSet::s_commonYear[1].days);
}

TEST(SunRiseSet, EquinoxAtTheEquatorAndNinetyDegreesWest)
{
    double m = 0;
    ASSERT_TRUE(CSunRiseSet::calcSunriseGMT(80, 0, 0, m));
    EXPECT_NEAR(364.5, m, 0.05);
    ASSERT_TRUE(CSunRiseSet::calcSunsetGMT(80, 0, 0, m));
    EXPECT_NEAR(1091.2, m, 0.05);
    ASSERT_TRUE(CSunRiseSet::calcSunriseGMT(80, 0, 90, m));
    EXPECT_NEAR(724.5, m, 0.05);
    ASSERT_TRUE(CSunRiseSet::calcSunsetGMT(80, 0, 90, m));
    EXPECT_NEAR(1450.9, m, 0.05);

    CSunRiseSet sun;
    CTime date(2023, 3, 21, 15, 30, 0);
    CTime rise = sun.GetSunrise(0, 0, date);
    EXPECT_EQ(2023, rise.GetYear());
    EXPECT_EQ(3, rise.GetMonth());
    EXPECT_EQ(21, rise.GetDay());
    EXPECT_EQ(6, rise.GetHour());
    EXPECT_EQ(4, rise.GetMinute());
    CTime set = sun.GetSunset(0, 0, date);
    EXPECT_EQ(18, set.GetHour());
    EXPECT_EQ(11, set.GetMinute());
    // Past 24:00 UTC: the next day's 00:10, not an invalid hour 24.
    CTime late = sun.GetSunset(0, 90, date);
    ASSERT_NE(0, late.GetTime());
    EXPECT_EQ(22, late.GetDay());
    EXPECT_EQ(0, late.GetHour());
    EXPECT_EQ(10, late.GetMinute());
    // The last day of a year rolls into the next year.
    CTime newYear = sun.GetSunset(0, 100, CTime(2023, 12, 31, 12, 0, 0));
    EXPECT_EQ(2024, newYear.GetYear());
    EXPECT_EQ(1, newYear.GetMonth());
    EXPECT_EQ(1, newYear.GetDay());
    // Far east: before 00:00 UTC, the day before.
    CTime early = sun.GetSunrise(0, -170, CTime(2023, 3, 1, 12, 0, 0));
    EXPECT_EQ(2, early.GetMonth());
    EXPECT_EQ(28, early.GetDay());
}

TEST(SunRiseSet, PolarDaysAndNightsHaveNoSunriseOrSunset)
{
    CSunRiseSet sun;
    struct Case {
        double latitude;
        int month, day;
    } cases[] = {
        {80, 6, 21}, {80, 12, 21}, {70, 6, 21}, {70, 12, 21}, {-80, 6, 21}, {-80, 12, 21},
        {-75, 12, 1}, {90, 3, 1}, {-90, 9, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.latitude << " " << c.month << "/" << c.day);
        CTime date(2023, c.month, c.day, 12, 0, 0);
        EXPECT_EQ(0, sun.GetSunrise(c.latitude, 0, date).GetTime());
        EXPECT_EQ(0, sun.GetSunset(c.latitude, 0, date).GetTime());
        EXPECT_TRUE(std::isnan(ReferenceEvent(2023, c.month, c.day, c.latitude, 0, true)));
    }
    // Inside the polar circle but outside its polar days the sun rises.
    CTime spring(2023, 3, 21, 12, 0, 0);
    EXPECT_NE(0, sun.GetSunrise(80, 0, spring).GetTime());
    EXPECT_NE(0, sun.GetSunset(-70, 0, spring).GetTime());
}

TEST(SunRiseSet, PlacesAndDatesAgreeWithAnIndependentComputation)
{
    struct Place {
        const char* name;
        double latitude, longitudeWest;
    } places[] = {
        {"London", 51.5074, 0.1278},      {"New York", 40.7128, 74.0060}, {"Sydney", -33.8688, -151.2093},
        {"Quito", -0.1807, 78.4678},      {"Reykjavik", 64.1466, 21.9426}, {"Cape Town", -33.9249, -18.4241},
        {"Honolulu", 21.3069, 157.8583}, {"Tokyo", 35.6762, -139.6503},
    };
    struct Date {
        int year, month, day;
    } dates[] = {{2023, 1, 15}, {2023, 3, 20}, {2024, 2, 29}, {2024, 6, 21}, {2023, 9, 23}, {2023, 12, 21}};
    CSunRiseSet sun;
    for (const Place& p : places) {
        for (const Date& d : dates) {
            SCOPED_TRACE(testing::Message() << p.name << " " << d.year << "-" << d.month << "-" << d.day);
            CTime date(d.year, d.month, d.day, 12, 0, 0);
            // Spencer's series are good to a minute or two; high latitudes stretch that.
            double tolerance = std::fabs(p.latitude) > 60 ? 8 : 3;
            CTime rise = sun.GetSunrise(p.latitude, p.longitudeWest, date);
            CTime set = sun.GetSunset(p.latitude, p.longitudeWest, date);
            ASSERT_NE(0, rise.GetTime());
            ASSERT_NE(0, set.GetTime());
            double expectedRise = ReferenceEvent(d.year, d.month, d.day, p.latitude, p.longitudeWest, true);
            double expectedSet = ReferenceEvent(d.year, d.month, d.day, p.latitude, p.longitudeWest, false);
            EXPECT_NEAR(expectedRise, MinutesOf(rise, date), tolerance);
            EXPECT_NEAR(expectedSet, MinutesOf(set, date), tolerance);
        }
    }
}
