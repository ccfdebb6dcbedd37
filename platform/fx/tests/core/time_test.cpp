// CTime and CTimeSpan.
#include "fx/fx.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CTime, ComponentsAndFormat)
{
    CTime t(2001, 5, 8, 14, 7, 9);
    EXPECT_EQ(t.GetYear(), 2001);
    EXPECT_EQ(t.GetMonth(), 5);
    EXPECT_EQ(t.GetDay(), 8);
    EXPECT_EQ(t.GetHour(), 14);
    EXPECT_EQ(t.GetMinute(), 7);
    EXPECT_EQ(t.GetSecond(), 9);
    EXPECT_EQ(t.GetDayOfWeek(), 3);  // a Tuesday; Sunday is 1

    struct Case {
        const char* format;
        const char* expect;
    } cases[] = {
        {"%Y/%m/%d %H:%M", "2001/05/08 14:07"},
        {"%d.%m.%y", "08.05.01"},
        {"%H:%M:%S", "14:07:09"},
        {"%j", "128"},
        {"100%%", "100%"},
        {"plain", "plain"},
        {"", ""},
    };
    for (auto& c : cases)
        EXPECT_EQ(t.Format(c.format), c.expect) << c.format;
    EXPECT_EQ(t.Format(static_cast<LPCTSTR>(nullptr)), "");
    // A long result is not cut.
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "%Y";
    EXPECT_EQ(t.Format(many.c_str()).GetLength(), 400);
}

TEST(CTime, InvalidAndSpecialDates)
{
    EXPECT_EQ(CTime(2001, 13, 1, 0, 0, 0).GetTime(), static_cast<time_t>(-1));
    EXPECT_EQ(CTime(0, 0, 0, 0, 0, 0).GetTime(), static_cast<time_t>(-1));
    EXPECT_EQ(CTime(2001, 1, 1, 24, 0, 0).GetTime(), static_cast<time_t>(-1));
    CTime leap(2000, 2, 29, 12, 0, 0);
    EXPECT_EQ(leap.GetMonth(), 2);
    EXPECT_EQ(leap.GetDay(), 29);
    CTime jan1(1999, 1, 1, 8, 30, 0);
    EXPECT_EQ(jan1.Format("%Y-%m-%d %H:%M"), "1999-01-01 08:30");
}

TEST(CTime, ArithmeticAndComparison)
{
    CTime a(2001, 12, 31, 23, 59, 30);
    CTime b = a + CTimeSpan(0, 0, 1, 0);
    EXPECT_EQ(b.GetYear(), 2002);
    EXPECT_EQ(b.GetMonth(), 1);
    EXPECT_EQ(b.GetSecond(), 30);
    CTimeSpan d = b - a;
    EXPECT_EQ(d.GetTotalSeconds(), 60);
    EXPECT_TRUE(a < b && b > a && a != b && a <= a && b >= b);
    b -= CTimeSpan(60);
    EXPECT_EQ(a, b);

    CTimeSpan s(2, 3, 4, 5);
    EXPECT_EQ(s.GetDays(), 2);
    EXPECT_EQ(s.GetHours(), 3);
    EXPECT_EQ(s.GetMinutes(), 4);
    EXPECT_EQ(s.GetSeconds(), 5);
    EXPECT_EQ(s.GetTotalHours(), 51);
    EXPECT_EQ(s.GetTotalMinutes(), 51 * 60 + 4);
    EXPECT_EQ(s.Format("%D days %H:%M:%S %%"), "2 days 03:04:05 %");
    EXPECT_EQ((s - CTimeSpan(1, 0, 0, 0)).GetDays(), 1);

    CTime now = CTime::GetCurrentTime();
    EXPECT_GE(now.GetYear(), 2020);
}

TEST(CTime, StoredForm)
{
    CMemFile file;
    CTime t(static_cast<time_t>(0x3AF7F2C0));
    {
        CArchive ar(&file, CArchive::store);
        ar << t << CTimeSpan(-5);
    }
    file.SeekToBegin();
    BYTE bytes[8];
    ASSERT_EQ(file.Read(bytes, 8), 8u);
    EXPECT_EQ(bytes[0], 0xC0);
    EXPECT_EQ(bytes[3], 0x3A);
    EXPECT_EQ(bytes[4], 0xFB);
    file.SeekToBegin();
    CTime back;
    CTimeSpan span;
    {
        CArchive ar(&file, CArchive::load);
        ar >> back >> span;
    }
    EXPECT_EQ(back, t);
    EXPECT_EQ(span.GetTotalSeconds(), -5);
}

} // namespace
