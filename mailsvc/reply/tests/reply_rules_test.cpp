// How an answer chooses its road and names its web copies.
#include "reply/reply_rules.h"

#include <gtest/gtest.h>

TEST(ReplyRules, RequesterDecidesBeforeTheCallersMode)
{
    struct Case {
        const char* to;
        int mode, expect;
    } cases[] = {
        {"Current User", 0, 1},
        {"Current User", 2, 1},
        {"current user", 0, 0},        // exact case only
        {"Current User ", 0, 0},       // whole text only
        {"Web Request7", 0, 2},
        {"Web Request", 9, 2},
        {"Web Reques", 0, 0},          // ten characters are not enough
        {"web request7", 0, 0},
        {"someone@example.com", 0, 0},
        {"someone@example.com", 5, 5},
        {"alice", 9, 9},
        {"", -1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(reply::DeliveryMode(c.to, c.mode), c.expect) << c.to << " " << c.mode;
}

TEST(ReplyRules, WebUserFollowsTheMarkerOrIsTheWholeRequester)
{
    EXPECT_STREQ(reply::WebUser("Web Request7", 2), "7");
    EXPECT_STREQ(reply::WebUser("Web Request", 2), "");
    EXPECT_STREQ(reply::WebUser("short", 2), "");
    EXPECT_STREQ(reply::WebUser("Web Requestuser 42", 2), "user 42");
    EXPECT_STREQ(reply::WebUser("alice", 9), "alice");
}

TEST(ReplyRules, WebCopyNames)
{
    EXPECT_STREQ(reply::WebCopyName("12ab", "C:\\t\\pic.jpg"), "12ab-pic.jpg");
    EXPECT_STREQ(reply::WebCopyName("3", "C:\\b\\y"), "3-y");
    EXPECT_STREQ(reply::WebCopyName("1", "archive.tar.gz"), "1-archive.tar.gz");
}
