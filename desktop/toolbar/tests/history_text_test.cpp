// The stored form of the request history.
#include "history_text.h"

#include <gtest/gtest.h>

namespace {
using V = std::vector<CString>;

TEST(HistoryText, ItemsComeBackAsTheyWent)
{
    const V cases[] = {
        {"send me my mail", "What time is it?"},
        {"a|b", "c"},                      // a "|" inside a request stays inside it
        {"path C:\\temp\\x", "\\|", "|"},  // the escape itself is escaped
        {"trailing \\", "x"},
        {},
    };
    for (const V& items : cases)
        EXPECT_EQ(SplitHistory(JoinHistory(items), 100), items) << static_cast<const char*>(JoinHistory(items));
}

TEST(HistoryText, StoredValuesReadAsBefore)
{
    struct Case {
        const char* stored;
        int max;
        V expected;
    };
    const Case cases[] = {
        {"one|two|three", 6, {"one", "two", "three"}},
        {"|one||two|", 6, {"one", "two"}},                       // empty pieces are skipped
        {"1|2|3|4|5|6|7|8", 6, {"1", "2", "3", "4", "5", "6"}},  // at most the maximum
        {"C:\\dir\\file.txt", 6, {"C:\\dir\\file.txt"}},         // a lone backslash is itself
        {"", 6, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitHistory(c.stored, c.max), c.expected) << c.stored;
    EXPECT_EQ(JoinHistory({"one", "two"}), "one|two");
}

TEST(HistoryText, ValueWithoutTerminatorIsCutAtItsSize)
{
    const unsigned char unterminated[] = {'a', '|', 'b'};
    EXPECT_EQ(HistoryValueText(unterminated, sizeof unterminated), "a|b");
    const unsigned char early[] = {'a', 0, 'x', 'y'};
    EXPECT_EQ(HistoryValueText(early, sizeof early), "a");
    EXPECT_EQ(HistoryValueText(nullptr, 4), "");
    EXPECT_EQ(HistoryValueText(unterminated, 0), "");
}
}  // namespace
