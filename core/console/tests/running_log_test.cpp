// The running log's transfer into the log file: only the written text leaves
// the buffer, a file that cannot be opened keeps the buffer, appends from a
// second thread during transfers are neither lost nor torn.
#include "console_chunks.h"
#include "running_log.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(RunningLog, TransferAppendsToTheFileAndEmptiesTheBuffer)
{
    testsupport::TempDir dir;
    const CString path = dir.file("Vindalex.log").c_str();
    g_strLog.Empty();
    CString chunk;
    EXPECT_FALSE(runlog::Transfer(path, &chunk));
    EXPECT_FALSE(testsupport::FileExists(std::string(path))) << "an empty log leaves the file alone";

    runlog::Append("one\r\n");
    EXPECT_TRUE(runlog::Transfer(path, &chunk));
    EXPECT_EQ(std::string(chunk), "one\r\n");
    runlog::Append("two\r\n");
    EXPECT_TRUE(runlog::Transfer(path, &chunk));
    EXPECT_TRUE(g_strLog.IsEmpty());
    EXPECT_EQ(testsupport::ReadFile(std::string(path)), "one\r\ntwo\r\n");
}

TEST(RunningLog, UnopenableFileKeepsTheBuffer)
{
    testsupport::TempDir dir;
    const CString path = (dir.path() + "/missing/folder/Vindalex.log").c_str();
    g_strLog = "kept\r\n";
    CString chunk;
    EXPECT_FALSE(runlog::Transfer(path, &chunk));
    EXPECT_EQ(std::string(g_strLog), "kept\r\n");
    g_strLog.Empty();
}

TEST(RunningLog, FlushBeforeClearKeepsTheTextInTheFile)
{
    testsupport::TempDir dir;
    const CString path = dir.file("Vindalex.log").c_str();
    g_strLog = "last session\r\n";
    runlog::FlushAndClear(path);
    EXPECT_TRUE(g_strLog.IsEmpty());
    EXPECT_EQ(testsupport::ReadFile(std::string(path)), "last session\r\n");
}

TEST(RunningLog, AppendsFromAnotherThreadDuringTransfersAreAllInTheFile)
{
    testsupport::TempDir dir;
    const CString path = dir.file("Vindalex.log").c_str();
    g_strLog.Empty();
    const int lines = 2000;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < lines; ++i) {
            CString line;
            line.Format("line %05d of the web thread\r\n", i);
            runlog::Append(line);
        }
        done = true;
    });
    while (!done)
        runlog::Transfer(path, nullptr);
    writer.join();
    runlog::Transfer(path, nullptr);
    std::string expected;
    for (int i = 0; i < lines; ++i) {
        char buf[64];
        snprintf(buf, sizeof buf, "line %05d of the web thread\r\n", i);
        expected += buf;
    }
    EXPECT_EQ(testsupport::ReadFile(std::string(path)), expected);
}

TEST(ConsoleChunks, EleventhTransferDropsTheOldestChunk)
{
    CConsoleChunks chunks;
    CString all;
    for (int i = 1; i <= 11; ++i) {
        CString c;
        c.Format("%d;", i);
        all = chunks.Push(c);
    }
    EXPECT_EQ(std::string(all), "2;3;4;5;6;7;8;9;10;11;");
}
