// The worker thread: its command queue, start and stop, the name registry,
// and that a thread that does not listen is killed only after Stop gave up.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "worker_thread.h"

namespace {

// Reads its queue until command 7 and records every command; exits with 42.
class ListeningThread : public CThread {
public:
    explicit ListeningThread(const char* name = nullptr)
    {
        m_bCommandQueue = 1;
        if (name) {
            m_bNamed = 1;
            m_name = name;
        }
    }
    ~ListeningThread() override
    {
        int code = 0;
        Stop(code, 50);
    }
    std::vector<UINT> seen;
    std::atomic<bool> endedByItself{false};

protected:
    int ThreadHandler() override
    {
        for (;;) {
            UINT command = 0;
            WaitForCommand(command, 5000);
            Lock();
            seen.push_back(command);
            Unlock();
            if (command == kThreadCommandStop) {
                endedByItself = true;
                return 42;
            }
        }
    }
};

// Never reads its queue: waits for its release event.
class DeafThread : public CThread {
public:
    DeafThread()
        : release(CreateEventA(nullptr, TRUE, FALSE, nullptr)), entered(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        m_bCommandQueue = 1;
    }
    ~DeafThread() override
    {
        SetEvent(release);
        int code = 0;
        Stop(code, 50);
        CloseHandle(release);
        CloseHandle(entered);
    }
    // A thread killed before it reached its handler may still be starting
    // up inside the system's loader, holding the lock that the process's
    // exit needs: the test kills it only once it waits in its handler.
    bool WaitUntilInHandler() { return WaitForSingleObject(entered, 60000) == WAIT_OBJECT_0; }
    HANDLE release;
    HANDLE entered;
    std::atomic<bool> killed{false};

protected:
    int ThreadHandler() override
    {
        SetEvent(entered);
        WaitForSingleObject(release, 20000);
        return 7;
    }
    void OnKill() override { killed = true; }
};

}  // namespace

TEST(WorkerThread, RepeatedCommandsAreQueuedOnceAndAnEmptyQueueTimesOutAtOnce)
{
    DeafThread t;
    t.Start();
    EXPECT_EQ(0, t.GetState());
    t.PostPause();
    t.PostPause();
    t.PostRun();
    t.PostCommand(0);
    std::vector<UINT> commands;
    UINT c = 0;
    while (t.GetCommand(c))
        commands.push_back(c);
    EXPECT_EQ((std::vector<UINT>{kThreadCommandStart, kThreadCommandPause, kThreadCommandRun}), commands);
    DWORD before = GetTickCount();
    t.WaitForCommand(c, 0);
    EXPECT_EQ(static_cast<UINT>(kThreadCommandTimeout), c);
    EXPECT_LT(GetTickCount() - before, 1000u);
    EXPECT_TRUE(t.PostCommandFirst(kThreadCommandContinue));
    t.PostRun();
    t.WaitForCommand(c, 0);
    EXPECT_EQ(static_cast<UINT>(kThreadCommandContinue), c) << "put first";
    t.ClearCommands();
    EXPECT_FALSE(t.GetCommand(c));
    SetEvent(t.release);
}

TEST(WorkerThread, StartingTwiceThrowsAndStopEndsTheHandlerWithItsResult)
{
    ListeningThread t;
    EXPECT_EQ(-2, t.GetExitCode());
    EXPECT_EQ(0x7FFFFFFF, t.GetPriority());
    t.Start();
    EXPECT_TRUE(t.IsAlive());
    EXPECT_EQ(CThread::kStillActive, t.GetExitCode());
    try {
        t.Start();
        ADD_FAILURE() << "no exception";
    } catch (CThreadException* e) {
        EXPECT_EQ(kThreadAlreadyStarted, e->GetErrorCode());
        EXPECT_EQ(std::string("Thread is already started!"), static_cast<LPCSTR>(e->GetErrorMessage()));
        EXPECT_EQ(&t, e->GetThread());
        e->Delete();
    }
    t.PostRun();
    int exitCode = 0;
    EXPECT_TRUE(t.Stop(exitCode, 50));
    EXPECT_EQ(42, exitCode);
    EXPECT_TRUE(t.endedByItself);
    EXPECT_FALSE(t.IsAlive());
    EXPECT_EQ(1, t.GetState());
    EXPECT_EQ((std::vector<UINT>{kThreadCommandStart, kThreadCommandRun, kThreadCommandStop}), t.seen);
    // Started again after it ended.
    t.seen.clear();
    t.Start();
    EXPECT_TRUE(t.Stop(exitCode, 50));
    EXPECT_EQ(42, exitCode);
    EXPECT_TRUE(t.Stop(exitCode, 50)) << "stopping a stopped thread";
}

TEST(WorkerThread, StopGivesUpOnAThreadThatDoesNotListenAndKillEndsIt)
{
    DeafThread t;
    t.Start();
    ASSERT_TRUE(t.WaitUntilInHandler()) << "the thread did not reach its handler within 60 s";
    int exitCode = 0;
    DWORD before = GetTickCount();
    EXPECT_FALSE(t.Stop(exitCode, 5));
    DWORD waited = GetTickCount() - before;
    EXPECT_EQ(CThread::kStillActive, exitCode);
    EXPECT_GE(waited, 400u);
    EXPECT_TRUE(t.IsAlive());
    t.Kill(-5, true);
    EXPECT_FALSE(t.IsAlive());
    EXPECT_TRUE(t.killed);
    EXPECT_EQ(-5, t.GetExitCode());
    EXPECT_EQ(nullptr, t.GetHandle());
}

TEST(WorkerThread, ThreadsOfOneNameShareOneRegistryRecord)
{
    {
        ListeningThread a("pump"), b("pump"), other("other");
        a.Start();
        b.Start();
        other.Start();
        EXPECT_EQ(2, CThread::GetNameUseCount("pump"));
        EXPECT_EQ(1, CThread::GetNameUseCount("other"));
        // The shared section: a held by the test keeps b's handler from recording.
        a.Lock();
        b.PostRun();
        Sleep(200);
        EXPECT_TRUE(b.seen.empty() || b.seen.size() == 1u);  // at most the start command
        a.Unlock();
        int code = 0;
        EXPECT_TRUE(a.Stop(code, 50));
        EXPECT_EQ(1, CThread::GetNameUseCount("pump"));
    }
    EXPECT_EQ(0, CThread::GetNameUseCount("pump"));
    EXPECT_EQ(0, CThread::GetNameUseCount("other"));
}
