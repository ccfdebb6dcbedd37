// CFile on real files and CMemFile.
#include "fx/fx.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Runs f and returns the CFileException cause it threw, or -1.
template <class F>
int FileCause(F&& f)
{
    try {
        f();
    } catch (CFileException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

TEST(CFile, WriteReadSeekLength)
{
    testsupport::TempDir dir;
    std::string path = dir.file("a.dat");
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary));
    f.Write("hello world", 11);
    EXPECT_EQ(f.GetLength(), 11u);
    EXPECT_EQ(f.GetPosition(), 11u);
    EXPECT_EQ(f.Seek(-5, CFile::end), 6);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, sizeof buf), 5u);
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(f.Read(buf, sizeof buf), 0u);  // at the end
    f.SeekToBegin();
    EXPECT_EQ(f.GetPosition(), 0u);
    EXPECT_EQ(f.SeekToEnd(), 11u);
    f.SetLength(5);
    EXPECT_EQ(f.GetLength(), 5u);
    f.SetLength(8);
    EXPECT_EQ(f.GetLength(), 8u);
    EXPECT_EQ(FileCause([&] { f.Seek(-100, CFile::begin); }), CFileException::badSeek);
    EXPECT_EQ(f.GetFileName(), "a.dat");
    EXPECT_EQ(f.GetFileTitle(), "a");
    EXPECT_NE(f.GetFilePath().Find("a.dat"), -1);
    f.Flush();
    f.Close();
    EXPECT_EQ(testsupport::ReadFile(path), std::string("hello\0\0\0", 8));
    EXPECT_EQ(f.m_hFile, CFile::hFileNull);
}

TEST(CFile, OpenModes)
{
    testsupport::TempDir dir;
    std::string path = dir.file("m.txt");
    testsupport::WriteFile(path, "12345");
    {
        // Create without no-truncate empties the file.
        CFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(f.GetLength(), 0u);
        f.Write("ab", 2);
    }
    EXPECT_EQ(testsupport::ReadFile(path), "ab");
    {
        CFile f(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        EXPECT_EQ(f.GetLength(), 2u);
        f.SeekToEnd();
        f.Write("cd", 2);
    }
    EXPECT_EQ(testsupport::ReadFile(path), "abcd");
    {
        CFile f(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
        char c[4];
        EXPECT_EQ(f.Read(c, 4), 4u);
        EXPECT_NE(FileCause([&] { f.Write("x", 1); }), -1);  // opened for reading only
    }

    CFile f;
    CFileException error;
    std::string missing = dir.file("missing.txt");
    EXPECT_FALSE(f.Open(missing.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_NE(error.m_strFileName.Find("missing.txt"), -1);
    EXPECT_FALSE(f.Open(dir.path().c_str(), CFile::modeRead, &error));  // a folder
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_FALSE(f.Open("", CFile::modeRead, &error));

    // The throwing constructor.
    EXPECT_EQ(FileCause([&] { CFile g(missing.c_str(), CFile::modeRead); }), CFileException::fileNotFound);
    // Operations on a file that is not open throw, they do not crash.
    CFile closed;
    char c;
    EXPECT_EQ(FileCause([&] { closed.Read(&c, 1); }), CFileException::invalidFile);
}

TEST(CFile, StaticOperations)
{
    testsupport::TempDir dir;
    std::string a = dir.file("a.txt"), b = dir.file("b.txt");
    testsupport::WriteFile(a, "abc");

    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(a.c_str(), status));
    EXPECT_EQ(status.m_size, 3);
    EXPECT_EQ(status.m_attribute & CFile::directory, 0);
    EXPECT_NE(std::strstr(status.m_szFullName, "a.txt"), nullptr);
    CTimeSpan age = CTime::GetCurrentTime() - status.m_mtime;
    EXPECT_LT(age.GetTotalSeconds(), 3600);
    EXPECT_GT(age.GetTotalSeconds(), -3600);
    ASSERT_TRUE(CFile::GetStatus(dir.path().c_str(), status));
    EXPECT_NE(status.m_attribute & CFile::directory, 0);
    EXPECT_FALSE(CFile::GetStatus(dir.file("none").c_str(), status));

    CFile::Rename(a.c_str(), b.c_str());
    EXPECT_FALSE(testsupport::FileExists(a));
    EXPECT_EQ(testsupport::ReadFile(b), "abc");
    testsupport::WriteFile(a, "new");
    // Renaming onto an existing file fails and keeps both.
    EXPECT_NE(FileCause([&] { CFile::Rename(a.c_str(), b.c_str()); }), -1);
    EXPECT_EQ(testsupport::ReadFile(b), "abc");
    CFile::Remove(b.c_str());
    EXPECT_FALSE(testsupport::FileExists(b));
    EXPECT_EQ(FileCause([&] { CFile::Remove(b.c_str()); }), CFileException::fileNotFound);
}

TEST(CMemFile, GrowsReadsSeeks)
{
    CMemFile f(1024);
    std::string big(5000, 'q');
    for (int i = 0; i < 10; ++i)
        f.Write(big.data(), static_cast<UINT>(big.size()));
    EXPECT_EQ(f.GetLength(), 50000u);
    EXPECT_EQ(f.GetPosition(), 50000u);
    f.Seek(-10, CFile::current);
    char buf[32];
    EXPECT_EQ(f.Read(buf, sizeof buf), 10u);
    EXPECT_EQ(f.Read(buf, sizeof buf), 0u);

    // Writing after a seek past the end leaves zeros in the gap.
    CMemFile g;
    g.Seek(4, CFile::begin);
    g.Write("x", 1);
    EXPECT_EQ(g.GetLength(), 5u);
    g.SeekToBegin();
    char five[5];
    EXPECT_EQ(g.Read(five, 5), 5u);
    EXPECT_EQ(std::string(five, 5), std::string("\0\0\0\0x", 5));
    EXPECT_EQ(g.Read(five, 5), 0u);
    EXPECT_EQ(FileCause([&] { g.Seek(-1, CFile::begin); }), CFileException::badSeek);

    g.SetLength(2);
    EXPECT_EQ(g.GetLength(), 2u);
    EXPECT_EQ(g.GetPosition(), 2u);  // pulled back with the end
    g.SetLength(6);
    g.SeekToBegin();
    EXPECT_EQ(g.Read(five, 5), 5u);
    EXPECT_EQ(std::string(five, 5), std::string("\0\0\0\0\0", 5));

    // A closed memory file can be filled again.
    g.Close();
    EXPECT_EQ(g.GetLength(), 0u);
    g.Write("again", 5);
    EXPECT_EQ(g.GetLength(), 5u);

    // Used through the CFile interface.
    CFile* asFile = &g;
    asFile->SeekToBegin();
    EXPECT_EQ(asFile->Read(buf, 5), 5u);
    EXPECT_TRUE(g.IsKindOf(RUNTIME_CLASS(CFile)));
}

TEST(CMemFile, AttachDetach)
{
    BYTE fixed[4] = {'a', 'b', 'c', 'd'};
    {
        CMemFile f(fixed, sizeof fixed);  // fixed size: the contents are the file
        EXPECT_EQ(f.GetLength(), 4u);
        char buf[4];
        EXPECT_EQ(f.Read(buf, 4), 4u);
        f.SeekToBegin();
        f.Write("AB", 2);
        EXPECT_EQ(fixed[0], 'A');
        f.SeekToEnd();
        try {
            f.Write("e", 1);  // cannot grow
            ADD_FAILURE() << "a fixed buffer must not grow";
        } catch (CMemoryException* e) {
            e->Delete();
        }
    }
    EXPECT_EQ(fixed[3], 'd');  // the caller's buffer outlives the file

    BYTE start[2] = {0, 0};
    CMemFile g;
    g.Attach(start, sizeof start, 16);  // growing: starts empty
    EXPECT_EQ(g.GetLength(), 0u);
    g.Write("0123456789", 10);  // outgrows the caller's buffer: copied, not freed
    EXPECT_EQ(g.GetLength(), 10u);
    DWORD len = g.GetLength();
    BYTE* data = g.Detach();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), len), "0123456789");
    std::free(data);
    EXPECT_EQ(g.GetLength(), 0u);
    g.Write("z", 1);
    EXPECT_EQ(g.GetLength(), 1u);
}

TEST(CFileException, CausesAndMessages)
{
    struct Case {
        int err;
        int cause;
    } cases[] = {
#ifdef _WIN32
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {ERROR_PATH_NOT_FOUND, CFileException::badPath},
        {ERROR_ACCESS_DENIED, CFileException::accessDenied},
        {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
        {ERROR_DISK_FULL, CFileException::diskFull},
        {ERROR_HANDLE_EOF, CFileException::endOfFile},
#else
        {ENOENT, CFileException::fileNotFound},
        {ENOTDIR, CFileException::badPath},
        {EACCES, CFileException::accessDenied},
        {ENOSPC, CFileException::diskFull},
        {EMFILE, CFileException::tooManyOpenFiles},
#endif
        {0, CFileException::none},
        {123456, CFileException::generic},
    };
    for (auto& c : cases) {
        EXPECT_EQ(CFileException::OsErrorToException(c.err), c.cause) << c.err;
        try {
            CFileException::ThrowOsError(c.err, "x.txt");
        } catch (CException* e) {
            auto* fe = DYNAMIC_DOWNCAST(CFileException, e);
            ASSERT_NE(fe, nullptr);
            EXPECT_EQ(fe->m_cause, c.cause);
            EXPECT_EQ(fe->m_lOsError, c.err);
            EXPECT_EQ(fe->m_strFileName, "x.txt");
            char msg[8];
            EXPECT_TRUE(fe->GetErrorMessage(msg, sizeof msg));  // cut, terminated
            EXPECT_LT(std::strlen(msg), sizeof msg);
            e->Delete();
        }
    }
}

} // namespace
