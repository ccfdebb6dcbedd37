// The file searcher over a small folder tree.
#include "files/findfile.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#  include <windows.h>
#else
#  include <sys/stat.h>
#  include <unistd.h>
#endif

namespace {

void makeDir(const std::string& path)
{
#ifdef _WIN32
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
#else
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
#endif
}

// root: a.txt b.log .dot.txt sub1/{c.txt deep/d.txt} sub2/e.TXT .hidden/f.txt
class FindFileTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeDir(p("sub1"));
        makeDir(p("sub1/deep"));
        makeDir(p("sub2"));
        makeDir(p(".hidden"));
        for (const char* f : {"a.txt", "b.log", ".dot.txt", "sub1/c.txt", "sub1/deep/d.txt", "sub2/e.TXT",
                              ".hidden/f.txt"})
            ASSERT_TRUE(testsupport::WriteFile(p(f), f));
    }
    // The searcher joins with the system's separator.
    std::string p(std::string rel) const
    {
#ifdef _WIN32
        for (char& c : rel)
            if (c == '/') c = '\\';
#endif
        return dir.file(rel);
    }
    static std::vector<std::string> all(const CZLMFindFile& f)
    {
        std::vector<std::string> out;
        for (int i = 1; i <= f.GetSize(); ++i) out.push_back(std::string(f.GetFile(i)));
        return out;
    }
    static size_t indexOf(const std::vector<std::string>& v, const std::string& s)
    {
        return static_cast<size_t>(std::find(v.begin(), v.end(), s) - v.begin());
    }
    testsupport::TempDir dir;
};

TEST_F(FindFileTree, PatternOverTheWholeTree)
{
    CZLMFindFile f("*.txt", dir.path().c_str(), 0, 1);
    std::vector<std::string> got = all(f);
    std::set<std::string> expect = {p("a.txt"), p(".dot.txt"), p("sub1/c.txt"), p("sub1/deep/d.txt"),
                                    p("sub2/e.TXT")};
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()), expect);
    EXPECT_EQ(got.size(), expect.size());
    // Depth-first: a folder's own matches come before those of its subfolders.
    EXPECT_LT(indexOf(got, p("a.txt")), indexOf(got, p("sub1/c.txt")));
    EXPECT_LT(indexOf(got, p("sub1/c.txt")), indexOf(got, p("sub1/deep/d.txt")));
}

TEST_F(FindFileTree, EverythingAndOutOfRangeIndexes)
{
    CZLMFindFile f("*.*", dir.path().c_str(), 0, 1);
    EXPECT_EQ(f.GetSize(), 6);  // every file except those in the folder whose name begins with "."
    EXPECT_EQ(std::string(f.GetFile(0)), "");
    EXPECT_EQ(std::string(f.GetFile(f.GetSize() + 1)), "");
    EXPECT_EQ(std::string(f.GetFile(-5)), "");
    EXPECT_FALSE(std::string(f.GetFile(f.GetSize())).empty());
}

TEST_F(FindFileTree, FirstOnly)
{
    CZLMFindFile root("*.txt", dir.path().c_str(), 0, 0);
    ASSERT_EQ(root.GetSize(), 1);
    std::string first = std::string(root.GetFile(1));
    EXPECT_TRUE(first == p("a.txt") || first == p(".dot.txt")) << first;  // the start folder's own first

    CZLMFindFile deep("d.txt", dir.path().c_str(), 0, 0);
    ASSERT_EQ(deep.GetSize(), 1);
    EXPECT_EQ(std::string(deep.GetFile(1)), p("sub1/deep/d.txt"));

    CZLMFindFile none("*.doc", dir.path().c_str(), 0, 0);
    EXPECT_EQ(none.GetSize(), 0);
}

TEST_F(FindFileTree, FoldersMode)
{
    CZLMFindFile f("*.txt", dir.path().c_str(), 1, 1);  // the mask does not apply to folders
    std::vector<std::string> got = all(f);
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()),
              (std::set<std::string>{p("sub1"), p("sub1/deep"), p("sub2")}));
    EXPECT_EQ(got.size(), 3u);
    EXPECT_LT(indexOf(got, p("sub1")), indexOf(got, p("sub1/deep")));

    CZLMFindFile first("*.*", dir.path().c_str(), 1, 0);
    ASSERT_EQ(first.GetSize(), 1);
    std::string one = std::string(first.GetFile(1));
    EXPECT_TRUE(one == p("sub1") || one == p("sub2")) << one;
}

// A search from a drive's root is bounded: by depth, by folders opened and by
// paths collected; a bound that stopped it says so, one that did not stays quiet.
TEST_F(FindFileTree, BoundsCutTheSearchAndSaySo)
{
    struct Case {
        const char* what;
        FindFileLimits limits;
        int folders;
        std::set<std::string> expect;
        bool cut;
    };
    const Case cases[] = {
        {"no bounds", {}, 0, {p("a.txt"), p(".dot.txt"), p("sub1/c.txt"), p("sub1/deep/d.txt"), p("sub2/e.TXT")},
         false},
        {"depth 1", {1, 0, 0}, 0, {p("a.txt"), p(".dot.txt"), p("sub1/c.txt"), p("sub2/e.TXT")}, true},
        {"depth 2 is the whole tree", {2, 0, 0}, 0,
         {p("a.txt"), p(".dot.txt"), p("sub1/c.txt"), p("sub1/deep/d.txt"), p("sub2/e.TXT")}, false},
        {"one folder", {0, 1, 0}, 0, {p("a.txt"), p(".dot.txt")}, true},
        {"folders: depth 1", {1, 0, 0}, 1, {p("sub1"), p("sub2")}, true},
    };
    for (const Case& c : cases) {
        CZLMFindFile f("*.txt", dir.path().c_str(), c.folders, 1, c.limits);
        std::vector<std::string> got = all(f);
        EXPECT_EQ(std::set<std::string>(got.begin(), got.end()), c.expect) << c.what;
        EXPECT_EQ(f.WasCut(), c.cut) << c.what;
    }
    // Two paths at most, of the five there are.
    FindFileLimits two;
    two.maxMatches = 2;
    CZLMFindFile f("*.txt", dir.path().c_str(), 0, 1, two);
    EXPECT_EQ(f.GetSize(), 2);
    EXPECT_TRUE(f.WasCut());
}

TEST_F(FindFileTree, MissingFolderFindsNothing)
{
    CZLMFindFile f("*.*", p("no-such-folder").c_str(), 0, 1);
    EXPECT_EQ(f.GetSize(), 0);
    CZLMFindFile copy = f;
    EXPECT_EQ(copy.GetSize(), 0);
}

#ifndef _WIN32
TEST_F(FindFileTree, LinkBackUpTheTreeIsNotFollowed)
{
    ASSERT_EQ(symlink(dir.path().c_str(), p("sub1/loop").c_str()), 0);
    CZLMFindFile f("*.txt", dir.path().c_str(), 0, 1);
    EXPECT_EQ(f.GetSize(), 5);
    CZLMFindFile folders("*", dir.path().c_str(), 1, 1);
    EXPECT_EQ(folders.GetSize(), 3);
}
#endif

} // namespace
