// The running log's transfer into the log file: only the written text leaves
// the buffer, a file that cannot be opened keeps the buffer, the web thread's
// appends during the GUI thread's writes are neither lost nor torn.
#include "console_chunks.h"
#include "request_lock.h"
#include "running_log.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>
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

// The writers the program has: the web server's thread appends while it holds
// the request lock (request processing, and the plug-ins through the pointer
// they were handed); the GUI thread appends, transfers into the file and
// clears before a logon through the log's functions. Every line of both ends
// up in the file, whole and in its thread's order.
TEST(RunningLog, WebThreadAndGuiWritersMeetWithoutLosingOrTearingLines)
{
    testsupport::TempDir dir;
    const CString path = dir.file("Vindalex.log").c_str();
    g_strLog.Empty();
    const int lines = 2000;
    std::atomic<bool> done{false};
    std::thread web([&] {
        for (int i = 0; i < lines; ++i) {
            if (!EnterRequestLock(nullptr)) {
                ADD_FAILURE() << "the web thread waited for the request lock in vain";
                break;
            }
            CString line;
            line.Format("web %05d of the listener thread\r\n", i);
            g_strLog += line;
            LeaveRequestLock();
        }
        done = true;
    });
    int gui = 0;
    while (!done) {
        CString line;
        line.Format("gui %05d of the window thread\r\n", gui++);
        runlog::Append(line);
        if (gui % 7 == 0)
            runlog::FlushAndClear(path);
        else
            runlog::Transfer(path, nullptr);
    }
    web.join();
    runlog::Transfer(path, nullptr);  // what is left, if anything
    EXPECT_TRUE(g_strLog.IsEmpty());

    std::vector<std::string> webLines, guiLines;
    std::istringstream file(testsupport::ReadFile(std::string(path)));
    for (std::string line; std::getline(file, line);) {
        ASSERT_FALSE(line.empty() || line.back() != '\r') << "a torn line: " << line;
        line.pop_back();
        (line.compare(0, 4, "web ") == 0 ? webLines : guiLines).push_back(line);
    }
    for (int i = 0; i < lines; ++i) {
        char buf[64];
        snprintf(buf, sizeof buf, "web %05d of the listener thread", i);
        ASSERT_LT(static_cast<size_t>(i), webLines.size()) << "lost: " << buf;
        ASSERT_EQ(webLines[static_cast<size_t>(i)], buf);
    }
    EXPECT_EQ(webLines.size(), static_cast<size_t>(lines));
    ASSERT_EQ(guiLines.size(), static_cast<size_t>(gui));
    for (int i = 0; i < gui; ++i) {
        char buf[64];
        snprintf(buf, sizeof buf, "gui %05d of the window thread", i);
        ASSERT_EQ(guiLines[static_cast<size_t>(i)], buf);
    }
}

// A GUI append while a web request holds the lock does not wait for it: the
// line joins the log, in order, once the lock is free again.
TEST(RunningLog, AppendWhileAWebRequestRunsJoinsTheLogAfterIt)
{
    testsupport::TempDir dir;
    const CString path = dir.file("Vindalex.log").c_str();
    g_strLog.Empty();
    std::atomic<int> stage{0};
    std::thread web([&] {
        if (!EnterRequestLock(nullptr)) {
            stage = -1;
            return;
        }
        g_strLog += "web first\r\n";
        stage = 1;
        for (int i = 0; i < 2000 && stage.load() != 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        g_strLog += "web second\r\n";
        LeaveRequestLock();
    });
    for (int i = 0; i < 2000 && stage.load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (stage.load() != 1) {
        stage = 2;
        web.join();
        FAIL() << "waited for the web thread to take the request lock";
    }
    runlog::Append("gui during the request\r\n");
    EXPECT_FALSE(runlog::Transfer(path, nullptr, 0)) << "the transfer must not touch the log under a request";
    stage = 2;
    web.join();
    EXPECT_TRUE(runlog::Transfer(path, nullptr));
    EXPECT_EQ(testsupport::ReadFile(std::string(path)), "web first\r\nweb second\r\ngui during the request\r\n");
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
