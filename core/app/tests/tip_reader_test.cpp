// The tips file: comment and blank lines are skipped, reading wraps to the
// top after the last tip, and a file without any tip ends with an empty tip.
#include "tip_reader.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

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

// The tips the program ships: every tip line is read whole (a longer line
// would come out in pieces, the rest read as tips of their own) and the
// reader finds each one in turn before it starts again.
TEST(TipReader, ShippedTipsAreWholeLinesReadInTurn)
{
    const std::string path = testsupport::SourcePath("core/app/res/tips.txt");
    const std::string text = testsupport::ReadFile(path);
    ASSERT_FALSE(text.empty()) << path;
    std::vector<std::string> expected;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
        start = end == std::string::npos ? text.size() : end + 1;
        const char c = line[0];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';')
            continue;
        EXPECT_LT(line.size(), 1000u) << line;
        expected.push_back(line);
    }
    ASSERT_FALSE(expected.empty());
    FILE* f = fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr);
    CTipReader reader(f);
    std::string tip;
    for (const std::string& e : expected) {
        ASSERT_EQ(reader.Next(&tip), CTipReader::kTip);
        EXPECT_EQ(tip, e);
    }
    EXPECT_EQ(reader.Next(&tip), CTipReader::kTip);
    EXPECT_EQ(tip, expected.front()) << "after the last tip the first comes again";
    fclose(f);
}
