// Reading typed dates with English names in each of the three date orders.
#include "calendar_date.h"
#include "date_reading.h"
#include "english_date_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CDateReading English(int shortDateOrder, int longDateOrder = 0)
{
    CDateReading reading = EnglishDateReading(shortDateOrder, longDateOrder);
    reading.currentYear = 2026;
    return reading;
}

enum { kMonthDayYear = 0, kDayMonthYear = 1, kYearMonthDay = 2 };

TEST(DateReading, LocaleOrdersGivePositions)
{
    struct Case {
        int shortOrder, longOrder;
        int day, month, year;
        bool yearFirst;
    } cases[] = {
        {0, 0, 1, 0, 2, false},
        {1, 1, 0, 1, 2, false},
        {2, 2, 2, 1, 0, true},
        {7, 0, 1, 0, 2, false},  // an unknown value is read as month-day-year
    };
    for (const Case& c : cases) {
        CDateOrder o = CDateOrder::FromLocaleOrders(c.shortOrder, c.longOrder);
        EXPECT_EQ(o.dayPosition, c.day) << c.shortOrder;
        EXPECT_EQ(o.monthPosition, c.month) << c.shortOrder;
        EXPECT_EQ(o.yearPosition, c.year) << c.shortOrder;
        EXPECT_EQ(o.longDateYearFirst, c.yearFirst) << c.longOrder;
    }
}

TEST(DateReading, TypedTextsGiveTheirDates)
{
    struct Case {
        const char* text;
        int shortOrder, longOrder;
        int year, month, day;
    } cases[] = {
        // Three numbers: the locale's short-date order decides.
        {"12/25/01", kMonthDayYear, 0, 2001, 12, 25},
        {"25/12/01", kDayMonthYear, 1, 2001, 12, 25},
        {"01/12/25", kYearMonthDay, 2, 2001, 12, 25},
        {"2001-12-25", kYearMonthDay, 2, 2001, 12, 25},
        {"3.4.2001", kDayMonthYear, 1, 2001, 4, 3},
        {"3.4.2001", kMonthDayYear, 0, 2001, 3, 4},
        // Day and month swapped by a full year: the locale's order decides.
        {"7/4/1976", kMonthDayYear, 0, 1976, 7, 4},
        {"7/4/1976", kDayMonthYear, 1, 1976, 4, 7},
        {"1976/7/4", kYearMonthDay, 2, 1976, 7, 4},
        {"5 6", kMonthDayYear, 0, 2026, 5, 6},
        {"5 6", kDayMonthYear, 1, 2026, 6, 5},
        // Only one order is a real date: taken whatever the locale says.
        {"2001 25 12", kMonthDayYear, 0, 2001, 12, 25},
        {"1/1/1", kDayMonthYear, 1, 2001, 1, 1},
        // Month names, full or abbreviated, in any case; day names skipped.
        {"25 December 2001", kMonthDayYear, 0, 2001, 12, 25},
        {"December 25, 2001", kDayMonthYear, 1, 2001, 12, 25},
        {"Tuesday, May 08, 2001", kMonthDayYear, 0, 2001, 5, 8},
        {"tue 8 may 2001", kMonthDayYear, 0, 2001, 5, 8},
        {"25-dec-2001", kMonthDayYear, 0, 2001, 12, 25},
        {"25 DECEMBER 2001", kMonthDayYear, 0, 2001, 12, 25},
        // Two readings of day and year: the first unless the long date
        // begins with the year.
        {"25 Dec 01", kMonthDayYear, 0, 2001, 12, 25},
        {"25 Dec 01", kYearMonthDay, 2, 2025, 12, 1},
        // Short years take the current century; full years stay as written.
        {"7/4/76", kMonthDayYear, 0, 2076, 7, 4},
        {"4 July 1776", kMonthDayYear, 0, 1776, 7, 4},
        {"4 July 0776", kMonthDayYear, 0, 776, 7, 4},
        // A missing or zero year is the current year.
        {"25 December", kMonthDayYear, 0, 2026, 12, 25},
        {"25 December 0", kMonthDayYear, 0, 2026, 12, 25},
        {"12/25", kMonthDayYear, 0, 2026, 12, 25},
        // A leap day only in a leap year.
        {"29 February 2000", kMonthDayYear, 0, 2000, 2, 29},
        // Words that are neither names nor numbers are passed over.
        {"on 25 December 2001 please", kMonthDayYear, 0, 2001, 12, 25},
    };
    for (const Case& c : cases) {
        CCalendarDate date;
        ASSERT_TRUE(date.Parse(c.text, English(c.shortOrder, c.longOrder))) << c.text;
        EXPECT_EQ(date.GetYear(), c.year) << c.text;
        EXPECT_EQ(date.GetMonth(), c.month) << c.text;
        EXPECT_EQ(date.GetDay(), c.day) << c.text;
    }
}

TEST(DateReading, UnreadableTextsLeaveTheDateAlone)
{
    const char* cases[] = {
        "",
        "   ,./-",
        "1 2 3 4",              // a fourth number
        "25 December 2001 7",   // a third number beside a month name
        "31 February 2001",     // no such day
        "29 February 2001",
        "December",             // no day
        "Tuesday",
        "hello world",
        "13/13/13",             // the locale's order gives month 13
        "99999999999999999999 December 1",  // a year beyond what can be shown
        "1 December 12345",
        nullptr,
    };
    for (const char* text : cases) {
        CCalendarDate date(1999, 9, 9);
        EXPECT_FALSE(date.Parse(text, English(kMonthDayYear))) << (text ? text : "(null)");
        EXPECT_TRUE(date == CCalendarDate(1999, 9, 9)) << (text ? text : "(null)");
    }
}

TEST(DateReading, AbbreviationsCompareOverAtLeastThreeLetters)
{
    struct Case {
        const char* text;
        bool reads;
    } cases[] = {
        {"5 Dec 2001", true},
        {"5 De 2001", false},       // too short to name a month
        {"5 Decem 2001", false},    // longer than the abbreviation and not the full name
        {"5 December 2001", true},
    };
    for (const Case& c : cases) {
        CCalendarDate date;
        EXPECT_EQ(date.Parse(c.text, English(kMonthDayYear)), c.reads) << c.text;
    }
}

TEST(DateReading, TheLocalesComparisonDecidesWhatIsAName)
{
    CDateReading reading = English(kDayMonthYear, 1);
    reading.names.monthNames[2] = "M\xE4rz";  // "März" in the ANSI code page
    reading.names.abbrevMonthNames[2] = "M\xE4r";
    int calls = 0;
    reading.sameWord = [&calls](const std::string& a, const std::string& b) {
        ++calls;
        return a == b;  // this locale cares about case
    };
    CCalendarDate date;
    ASSERT_TRUE(date.Parse("1 M\xE4rz 2001", reading));
    EXPECT_TRUE(date == CCalendarDate(2001, 3, 1));
    EXPECT_GT(calls, 0);
    EXPECT_FALSE(CCalendarDate().Parse("1 m\xE4rz", reading));
}

} // namespace
