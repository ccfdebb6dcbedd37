// The whole-file buffered file: read at open, written back at close.
#include "files/bufferedfile.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string contents(CBufferedFile& f)
{
    std::string out(f.GetLength(), '\0');
    f.SeekToBegin();
    UINT got = f.Read(out.data(), static_cast<UINT>(out.size()));
    out.resize(got);
    return out;
}

std::string bigText()
{
    std::string s;
    for (int i = 0; s.size() < 200000; ++i) s += "line " + std::to_string(i) + "\n";
    return s;
}

TEST(CBufferedFile, ReadsTheWholeFileAtOpen)
{
    testsupport::TempDir dir;
    std::string path = dir.file("in.txt");
    std::string text = bigText();  // more than one transfer piece
    ASSERT_TRUE(testsupport::WriteFile(path, text));
    CBufferedFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead));
    EXPECT_EQ(f.GetPosition(), 0u);
    EXPECT_EQ(contents(f), text);
    // The disk file is closed already: it can be replaced while we read.
    ASSERT_TRUE(testsupport::WriteFile(path, "changed"));
    EXPECT_EQ(contents(f), text);
    f.Close();
    EXPECT_EQ(testsupport::ReadFile(path), "changed");
}

TEST(CBufferedFile, WritesBackAtClose)
{
    testsupport::TempDir dir;
    std::string path = dir.file("out.txt");
    ASSERT_TRUE(testsupport::WriteFile(path, "old contents"));
    {
        CBufferedFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite, nullptr);
        EXPECT_EQ(f.GetLength(), 0u);  // truncating open: starts empty
        std::string text = bigText();
        f.Write(text.data(), static_cast<UINT>(text.size()));
        f.Close();
        EXPECT_EQ(testsupport::ReadFile(path), text);
    }
    {
        // Without an explicit Close the data still reaches the disk.
        CBufferedFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite, nullptr);
        f.Write("abc", 3);
    }
    EXPECT_EQ(testsupport::ReadFile(path), "abc");
}

TEST(CBufferedFile, EditsInPlaceWithoutTruncation)
{
    testsupport::TempDir dir;
    std::string path = dir.file("edit.txt");
    ASSERT_TRUE(testsupport::WriteFile(path, "0123456789"));
    CBufferedFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeReadWrite | CFile::modeNoTruncate));
    EXPECT_EQ(contents(f), "0123456789");
    f.Seek(2, CFile::begin);
    f.Write("ab", 2);
    f.SetLength(6);  // shorter than the file on disk
    f.Close();
    EXPECT_EQ(testsupport::ReadFile(path), "01ab45");
}

TEST(CBufferedFile, FailedOpen)
{
    testsupport::TempDir dir;
    CBufferedFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(dir.file("missing.txt").c_str(), CFile::modeRead, &e));
    EXPECT_NE(e.m_cause, CFileException::none);
    CBufferedFile unopened(5);
    EXPECT_EQ(unopened.GetLength(), 0u);
    unopened.Close();
}

} // namespace
