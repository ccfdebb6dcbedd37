// Address lists, plain addresses and mail dates.
#include <gtest/gtest.h>

#include "core/mail_address.h"
#include "core/mail_date.h"

using namespace vxmail;

TEST(AddressList, ReadsTheUsualForms) {
    auto list = ParseAddressList(
        "\"Smith, Anna\" <anna@example.net>, bob@example.org (Bob B), =?utf-8?q?J=C3=BCrgen?= <j@x.de>, "
        "Team: c@x.org, d@x.org;, <@route.x:e@x.org>");
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].name, "Smith, Anna");
    EXPECT_EQ(list[0].address, "anna@example.net");
    EXPECT_EQ(list[1].name, "Bob B");
    EXPECT_EQ(list[1].address, "bob@example.org");
    EXPECT_EQ(list[2].name, "J\xC3\xBCrgen");
    EXPECT_EQ(list[3].address, "c@x.org");
    EXPECT_EQ(list[4].address, "d@x.org");
    EXPECT_EQ(list[5].address, "e@x.org");
    EXPECT_TRUE(ParseAddressList("undisclosed-recipients:;").empty());
    EXPECT_TRUE(ParseAddressList("").empty());
}

TEST(PlainAddress, AcceptsPrefixesAndRejectsNonAddresses) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"john@x.org", "john@x.org"},
        {"SMTP:john@x.org", "john@x.org"},
        {"smtp:john@x.org", "john@x.org"},
        {"mailto:john@x.org", "john@x.org"},
        {"John <john@x.org>", "john@x.org"},
        {"<SMTP:john@x.org>", "john@x.org"},
        {"  john@x.org  ", "john@x.org"},
        {"Vindalex Assistant", ""},
        {"john", ""},
        {"a@b, c@d", ""},
        {"john@", ""},
        {"jo hn@x.org", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(PlainAddress(c.in), c.out) << c.in;
}

TEST(MailDate, ParsesModernAndObsoleteForms) {
    const int64_t t = CivilToSeconds({2001, 5, 8, 12, 7, 0});   // 2001-05-08 12:07 UTC
    struct Case { const char* in; int64_t want; } cases[] = {
        {"Tue, 08 May 2001 14:07:00 +0200", t},
        {"8 May 2001 14:07 +0200", t},
        {"Tue, 8 May 01 12:07:00 GMT", t},
        {"Tue, 08 May 2001 08:07:00 EDT", t},
        {"Tue,  8 May 2001 12:07:00 +0000 (UTC)", t},
        {"Tue May  8 12:07:00 2001", t},
        {"08-May-2001 12:07:00 +0000", t},
    };
    for (const Case& c : cases) {
        int64_t got = 0;
        EXPECT_TRUE(ParseMailDate(c.in, got)) << c.in;
        EXPECT_EQ(got, c.want) << c.in;
    }
    int64_t ignored;
    for (const char* bad : {"", "yesterday", "32 May 2001 10:00 +0000", "8 Foo 2001 10:00", "8 May 2001 25:00"})
        EXPECT_FALSE(ParseMailDate(bad, ignored)) << bad;
}

TEST(MailDate, FormatsBothForms) {
    CivilTime t{2001, 5, 8, 14, 7, 5};
    EXPECT_EQ(FormatMailDate(t, 2 * 3600), "Tue, 8 May 2001 14:07:05 +0200");
    EXPECT_EQ(FormatMailDate(t, -(5 * 3600 + 30 * 60)), "Tue, 8 May 2001 14:07:05 -0530");
    EXPECT_EQ(FormatMapiDate(t), "2001/05/08 14:07");
    CivilTime back;
    ASSERT_TRUE(ParseMapiDate("2001/05/08 14:07", back));
    EXPECT_EQ(back.year, 2001);
    EXPECT_EQ(back.minute, 7);
    EXPECT_FALSE(ParseMapiDate("2001/13/08 14:07", back));
    EXPECT_FALSE(ParseMapiDate("2001/05/08", back));
    for (int64_t s : {int64_t(0), int64_t(951782400), int64_t(4102444799)})
        EXPECT_EQ(CivilToSeconds(SecondsToCivil(s)), s);
}
