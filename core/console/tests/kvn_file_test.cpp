// ".kvn" files as fixed byte files: their strings are appended to the list
// (twice when opened twice), a count of 0 adds nothing, and a file that ends
// early throws with the strings read before the end kept.
#include "kvn_file.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

namespace {
void Load(const char* name, CStringList& list)
{
    std::string bytes = testsupport::ReadFile(testsupport::SourcePath(std::string("core/console/tests/") + name));
    ASSERT_FALSE(bytes.empty()) << name;
    CMemFile mem(reinterpret_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    CArchive ar(&mem, CArchive::load);
    ReadKvnStrings(ar, list);
}
}  // namespace

TEST(KvnFile, StringsAreAppendedEveryTimeTheFileIsRead)
{
    CStringList list;
    Load("two_strings.kvn", list);
    Load("two_strings.kvn", list);
    ASSERT_EQ(list.GetCount(), 4);
    POSITION pos = list.GetHeadPosition();
    EXPECT_EQ(std::string(list.GetNext(pos)), "ab");
    EXPECT_EQ(std::string(list.GetNext(pos)), "");
    EXPECT_EQ(std::string(list.GetNext(pos)), "ab");
    Load("no_strings.kvn", list);
    EXPECT_EQ(list.GetCount(), 4);
}

TEST(KvnFile, FileEndingEarlyThrowsAndKeepsWhatWasRead)
{
    CStringList list;
    bool threw = false;
    try {
        Load("truncated.kvn", list);
    } catch (CArchiveException* e) {
        threw = true;
        e->Delete();
    }
    EXPECT_TRUE(threw);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(std::string(list.GetHead()), "x");
}
