// The transfer dialogs' amount, time and rate texts, bar scale and update rules.
#include "transfer_texts.h"
#include "url_parts.h"

#include <gtest/gtest.h>

using namespace transfer;

TEST(TransferTexts, Amounts)
{
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 Bytes"},         {1023, "1023 Bytes"},   {1024, "1.0 KB"},
        {1536, "1.5 KB"},       {1048575, "1024.0 KB"}, {1048576, "1.00 MB"},
        {3000000, "2.86 MB"},   {5000000000ull, "4768.37 MB"},
    };
    TextPatterns p;
    for (auto c : cases)
        EXPECT_STREQ(c.text, AmountText(p, c.bytes)) << c.bytes;
}

TEST(TransferTexts, TimesLeft)
{
    const struct {
        unsigned seconds;
        const char* text;
    } cases[] = {{0, "0 sec"}, {59, "59 sec"}, {60, "1 min"}, {90, "1 min 30 sec"}, {120, "2 min"}, {3601, "60 min 1 sec"}};
    TextPatterns p;
    for (auto c : cases)
        EXPECT_STREQ(c.text, TimeText(p, c.seconds)) << c.seconds;
    EXPECT_STREQ("1 min 30 sec (2.86 MB of 2.86 MB copied)", TimeLeftText(p, 90, 3000000, 3000000));
}

TEST(TransferTexts, Rates)
{
    const struct {
        double rate;
        const char* text;
    } cases[] = {{0.0, "0 Bytes/Sec"}, {0.5, "512 Bytes/Sec"}, {1.0, "1.00 KB/Sec"}, {2.5, "2.50 KB/Sec"},
                 {9.999, "10.00 KB/Sec"}, {12.7, "13 KB/Sec"}};
    TextPatterns p;
    for (auto c : cases)
        EXPECT_STREQ(c.text, RateText(p, c.rate)) << c.rate;
}

TEST(TransferTexts, PatternsWithArguments)
{
    EXPECT_STREQ("a.txt from host", FormatString2("%1 from %2", "a.txt", "host"));
    EXPECT_STREQ("50% of f Completed", FormatString2("%1% of %2 Completed", "50", "f"));
    EXPECT_STREQ("Error:12003", FormatString1("Error:%1", "12003"));
    EXPECT_STREQ("no  given", FormatString1("no %2 given", "x"));  // a missing argument is left out
}

TEST(TransferTexts, BarScaleHoldsLargeFiles)
{
    EXPECT_EQ(2930, ProgressUpper(3000000));
    EXPECT_EQ(2929, ProgressPosition(3000000));
    // Past 32 MB a 16-bit range would wrap to a negative upper bound.
    EXPECT_EQ(65536, ProgressUpper(64ull << 20));
    EXPECT_EQ(65536, ProgressPosition(64ull << 20));
    EXPECT_GT(ProgressUpper(5000000000ull), 4000000);
}

TEST(ProgressMeterRules, PercentRateAndTimeLeft)
{
    ProgressMeter m;
    m.Start(1000, true, 3000000);
    auto u = m.Add(1500, 1024);
    EXPECT_FALSE(u.percentChanged);  // still 0 %
    EXPECT_FALSE(u.rateDue);         // not yet a second
    u = m.Add(2001, 30000 - 1024);
    EXPECT_TRUE(u.percentChanged);
    EXPECT_EQ(1, u.percent);
    ASSERT_TRUE(u.rateDue);
    EXPECT_NEAR(30000.0 / 1001, u.rate, 1e-9);
    ASSERT_TRUE(u.timeLeftDue);
    EXPECT_EQ(unsigned(1001.0 / 30000 * 2970000 / 1000), u.secondsLeft);
    u = m.Add(2500, 1000);
    EXPECT_FALSE(u.rateDue);
    EXPECT_EQ(31000u, m.Total());
}

TEST(ProgressMeterRules, EmptyAndUnknownSizes)
{
    ProgressMeter empty;
    empty.Start(0, true, 0);
    auto u = empty.Add(5000, 0);  // a zero length must not divide by zero
    EXPECT_FALSE(u.percentChanged);
    EXPECT_TRUE(u.rateDue);

    ProgressMeter unknown;
    unknown.Start(0, false, 0);
    u = unknown.Add(2000, 4096);
    EXPECT_FALSE(u.percentChanged);
    EXPECT_TRUE(u.rateDue);
    EXPECT_FALSE(u.timeLeftDue);

    ProgressMeter wrap;  // the tick counter passes 2^32 during the transfer
    wrap.Start(0xFFFFFF00u, true, 100000);
    u = wrap.Add(0x00000400u, 50000);
    EXPECT_TRUE(u.rateDue);
    EXPECT_EQ(50, u.percent);
}

TEST(AddressParts, Table)
{
    const struct {
        const char* url;
        bool ok;
        uint32_t service;
        const char* server;
        const char* object;
        uint16_t port;
    } cases[] = {
        {"http://www.example.com/software/a.txt", true, AFX_INET_SERVICE_HTTP, "www.example.com", "/software/a.txt", 80},
        {"HTTP://127.0.0.1:8080/x", true, AFX_INET_SERVICE_HTTP, "127.0.0.1", "/x", 8080},
        {"http://host", true, AFX_INET_SERVICE_HTTP, "host", "/", 80},
        {"ftp://user:pw@ftp.example.com:2121/pub/f.bin", true, AFX_INET_SERVICE_FTP, "ftp.example.com", "/pub/f.bin", 2121},
        {"www.example.com/a.txt", false, 0, "", "", 0},
        {"http:///a.txt", false, 0, "", "", 0},
        {"http://host:0/a", false, 0, "", "", 0},
        {"http://host:70000/a", false, 0, "", "", 0},
        {"http://host:8x/a", false, 0, "", "", 0},
        {"gopher://host/a", false, 0, "", "", 0},
        {"", false, 0, "", "", 0},
    };
    for (auto c : cases) {
        uint32_t service = 0;
        CString server, object;
        uint16_t port = 0;
        BOOL ok = AfxParseURL(c.url, service, server, object, port);
        ASSERT_EQ(c.ok, ok != FALSE) << c.url;
        if (!c.ok)
            continue;
        EXPECT_EQ(c.service, service) << c.url;
        EXPECT_STREQ(c.server, server) << c.url;
        EXPECT_STREQ(c.object, object) << c.url;
        EXPECT_EQ(c.port, port) << c.url;
    }
}

TEST(AddressParts, ShownFileName)
{
    const struct {
        const char* object;
        const char* name;
    } cases[] = {{"/software/Vindalex/UpDate0/CurrentVersion.txt", "CurrentVersion.txt"},
                 {"/", "/"}, {"a", "a"}, {"dir\\file.bin", "file.bin"}, {"/dir\\x/y.z", "y.z"}, {"noslash", "noslash"}};
    for (auto c : cases)
        EXPECT_STREQ(c.name, DownloadFileName(c.object)) << c.object;
}
