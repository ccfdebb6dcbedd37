// The busy guards of the wired X10 interfaces: a counter of commands on the
// wire that keeps the polling timer out, and a flag the timer holds while it
// polls that keeps new commands waiting. The timer's own thread is never kept
// waiting by its own flag, so a send made from inside a poll goes through.
#pragma once

#include <windows.h>

#include <atomic>

struct BusyGuardState {
    std::atomic<int>& busy;
    std::atomic<bool>& inTimer;
    std::atomic<bool>& forceSend;
    CRITICAL_SECTION* lock;
    std::atomic<DWORD>* timerThread;

    // Counts a guard in; waits while another thread's timer poll runs.
    void Enter() const;
    void Leave() const;
    // For the timer: true (and the timer flag set) when no guard is alive.
    bool TryEnterTimer() const;
    void LeaveTimer() const;
    // Waits up to timeoutMs for every guard to go; false when some stayed.
    bool WaitIdle(DWORD timeoutMs) const;
};
