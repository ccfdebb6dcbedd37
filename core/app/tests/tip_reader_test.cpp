// The tips file: comment and blank lines are skipped, reading wraps to the
// top after the last tip, and a file without any tip ends with an empty tip.
#include "tip_reader.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(TipReader, CyclesThroughTipsSkippingCommentsAndBlankLines)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("tips.txt");
    ASSERT_TRUE(testsupport::WriteFile(path, "; comment\nFirst tip.\n\n  indented\n\tTabbed\nSecond tip.\n"));
    FILE* f = fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr);
    CTipReader reader(f);
    std::string tip;
    const char* expected[] = {"First tip.\n", "Second tip.\n", "First tip.\n", "Second tip.\n"};
    for (const char* e : expected) {
        EXPECT_EQ(reader.Next(&tip), CTipReader::kTip);
        EXPECT_EQ(tip, e);
    }
    fclose(f);
}

TEST(TipReader, FileWithoutTipsEndsWithAnEmptyTip)
{
    testsupport::TempDir dir;
    for (const char* text : {"", "; only comments\n\n \n", "\t\t\n;x\n"}) {
        const std::string path = dir.file("tips.txt");
        ASSERT_TRUE(testsupport::WriteFile(path, text));
        FILE* f = fopen(path.c_str(), "r");
        ASSERT_NE(f, nullptr);
        CTipReader reader(f);
        std::string tip = "x";
        EXPECT_EQ(reader.Next(&tip), CTipReader::kNoTip) << text;
        EXPECT_EQ(tip, "");
        fclose(f);
    }
    CTipReader missing(nullptr);
    std::string tip;
    EXPECT_EQ(missing.Next(&tip), CTipReader::kNoTip);
}
