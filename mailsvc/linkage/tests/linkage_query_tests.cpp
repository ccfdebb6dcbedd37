// Link records and the queries with which the plug-ins read a parse.
#include "word_linkage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

WordLinkageList Sample()
{
    return {
        WordLinkage("/////", "Wi", "send.v", 0, 1),
        WordLinkage("send.v", "Y", "me", 1, 2),
        WordLinkage("send.v", "Osn", "mail.n", 1, 4),
        WordLinkage("new", "A", "mail.n", 3, 4),
        WordLinkage("mail.n", "M", "from", 4, 5),
        WordLinkage("from", "Js", "Time.n", 5, 6),
    };
}

} // namespace

TEST(WordLinkage, ValueSemanticsAndOrder)
{
    WordLinkage a("x", "S", "y", 3, 4);
    WordLinkage b = a;
    EXPECT_STREQ(b.m_strLinkLabel, "S");
    WordLinkage c("p", "O", "q", 3, 9);
    EXPECT_TRUE(a == c) << "equal when they start at the same word";
    WordLinkage d("p", "O", "q", 1, 9);
    EXPECT_TRUE(d < a);
    EXPECT_FALSE(a < d);
    WordLinkage e;
    EXPECT_EQ(e.m_strLeftWord.GetLength(), 0);
    EXPECT_EQ(e.m_nLeftIndex, -1) << "an unfilled record names no word";
    EXPECT_EQ(e.m_nRightIndex, -1);
    e = d;
    EXPECT_EQ(e.m_nRightIndex, 9);
}

TEST(WordLinkage, FindLinkage)
{
    WordLinkageList links = Sample();
    const char* adjectives[] = {"old", "new", "unread"};
    int side = -5, index = -5;
    EXPECT_EQ(FindLinkage(&links, "A", adjectives, 3, 1, 0, side, index, 0, -1), 3);
    EXPECT_EQ(side, 1);
    EXPECT_EQ(index, 1);

    const char* times[] = {"time"};
    side = index = -5;
    EXPECT_EQ(FindLinkage(&links, "J", times, 1, 1, 1, side, index, 0, -1), 5) << "time matches Time.n lower-cased";
    EXPECT_EQ(side, 0);
    EXPECT_EQ(index, 0);

    const char* tim[] = {"tim"};
    EXPECT_EQ(FindLinkage(&links, "", tim, 1, 1, 1, side, index, 0, -1), 5) << "record word begins with the list word";
    const char* longer[] = {"timer"};
    EXPECT_EQ(FindLinkage(&links, "", longer, 1, 1, 1, side, index, 0, -1), -1);

    const char* caps[] = {"Time"};
    EXPECT_EQ(FindLinkage(&links, "", caps, 1, 1, 1, side, index, 0, -1), -1) << "list words are not lowered";

    const char* send[] = {"send"};
    EXPECT_EQ(FindLinkage(&links, "", send, 1, 1, 1, side, index, 0, -1), 0) << "empty label: every record; right word";
    EXPECT_EQ(side, 0);
    EXPECT_EQ(FindLinkage(&links, "", send, 1, 1, 0, side, index, 0, -1), 1);
    EXPECT_EQ(side, 1);
    EXPECT_EQ(FindLinkage(&links, "O", send, 1, 1, 1, side, index, 3, -1), -1) << "search from start";
    EXPECT_EQ(FindLinkage(&links, "O", send, 1, 1, 1, side, index, 0, 2), -1) << "end is exclusive";

    side = index = 42;
    EXPECT_EQ(FindLinkage(&links, "", send, 1, 1, 1, side, index, 3, 3), -1);
    EXPECT_EQ(FindLinkage(&links, "", send, 1, 1, 1, side, index, 4, 3), -1);
    EXPECT_EQ(side, 42);
    EXPECT_EQ(index, 42);
}

TEST(WordLinkage, CompareLinkWord)
{
    WordLinkage rec("Time.n", "Js", "tim", 5, 6);
    const char* words[] = {"day", "time"};
    EXPECT_EQ(CompareLinkWord(&rec, words, 2, 1, 0), 1);
    EXPECT_EQ(CompareLinkWord(&rec, words, 2, 0, 1), 1) << "tim is the beginning of time";
    const char* none[] = {"day"};
    EXPECT_EQ(CompareLinkWord(&rec, none, 1, 1, 1), -1);
    WordLinkage empty("", "X", "", 0, 1);
    EXPECT_EQ(CompareLinkWord(&empty, words, 2, 1, 0), 0) << "an empty word matches the first list word";
    const char* caps[] = {"TIME"};
    EXPECT_EQ(CompareLinkWord(&rec, caps, 1, 1, 1), -1);
}

TEST(WordLinkage, FindChainedLinkage)
{
    WordLinkageList links = Sample();
    EXPECT_EQ(FindChainedLinkage(&links, 4, "", 0), 2) << "first record ending at word 4";
    EXPECT_EQ(FindChainedLinkage(&links, 4, "A", 0), 3);
    EXPECT_EQ(FindChainedLinkage(&links, 4, "", 1), 4) << "first record starting at word 4";
    EXPECT_EQ(FindChainedLinkage(&links, 4, "Z", 1), -1);
}

TEST(WordLinkage, BuildParameter)
{
    struct Case {
        const char* word;
        const char* parameter;
    } cases[] = {
        {"(abc", "abc"},          {"(abc)def", "abc"},        {"\"two words\"", "two words"},
        {"\"open", "open"},       {"plain", "plain"},         {"", ""},
        {"(", ""},                {"x(y)", "x(y)"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(BuildParameter(CString(c.word)), c.parameter) << c.word;
}

TEST(WordLinkage, PrintLinkages)
{
    WordLinkageList empty;
    EXPECT_STREQ(PrintLinkages(&empty), "\r\n");
    WordLinkageList links = Sample();
    EXPECT_STREQ(PrintLinkages(&links), "send.v (1) <- Y -> (2) me\r\n"
                                        "send.v (1) <- Osn -> (4) mail.n\r\n"
                                        "new (3) <- A -> (4) mail.n\r\n"
                                        "mail.n (4) <- M -> (5) from\r\n"
                                        "from (5) <- Js -> (6) Time.n\r\n"
                                        "\r\n");
}

TEST(WordLinkage, FindFullLink)
{
    WordLinkageList links = Sample();
    const char* send[] = {"send"};
    const char* mail[] = {"mail"};
    const char* me[] = {"me"};
    // The first send.v record (to me) does not match: the search goes on.
    EXPECT_EQ(FindFullLink(&links, "", send, 1, mail, 1, 1), 2);
    EXPECT_EQ(FindFullLink(&links, "", send, 1, mail, 1, 0), 1);
    EXPECT_EQ(FindFullLink(&links, "", send, 1, me, 1, 1), 1);
    const char* nothing[] = {"zzz"};
    EXPECT_EQ(FindFullLink(&links, "", send, 1, nothing, 1, 1), -1);
    EXPECT_EQ(FindFullLink(&links, "", send, 1, nothing, 1, 0), 0);
}
