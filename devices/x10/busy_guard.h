// The busy guards of the wired X10 interfaces: a counter of commands on the
// wire that keeps the polling timer out, and a flag the timer holds while it
// polls that keeps new commands waiting. The timer's own thread is never kept
// waiting by its own flag, so a send made from inside a poll goes through.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <atomic>

// A lock made on first use and never destroyed, so a guard that goes in a
// static destructor still finds it.
CRITICAL_SECTION* NewLastingLock();

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
    // Counts a guard in or out by hand (never below none), without waiting.
    void Force(bool set) const;
    // Waits up to timeoutMs for every guard to go; false when some stayed.
    bool WaitIdle(DWORD timeoutMs) const;
};

// The 500 ms polling timer of a wired interface. Ticks never overlap, a tick
// polls only while no command holds the wire, and the keep-alive refresh goes
// out every 1800 ticks from inside the timer's hold so it never interleaves
// with another thread's command.
struct PollTimer {
    std::atomic<bool> reentry{false};
    UINT resolution = 0;

    // Starts the periodic timer into id unless id already names one.
    void Start(UINT& id, LPTIMECALLBACK routine);
    // A command still on the wire finishes first and a tick already running
    // ends before the channel can be closed under it; both waits are bounded
    // by waitMs so a stuck caller does not hold the shut-down for ever.
    void Stop(UINT& id, const BusyGuardState& busy, DWORD waitMs);

    template <class Poll, class Refresh>
    void Tick(const BusyGuardState& busy, int& keepAlive, Poll poll, Refresh refresh)
    {
        bool expected = false;
        if (!reentry.compare_exchange_strong(expected, true))
            return;
        if (busy.TryEnterTimer()) {
            poll();
            if (--keepAlive <= 0) {
                keepAlive = 1800;
                refresh();
            }
            busy.LeaveTimer();
        } else if (keepAlive > 1) {
            --keepAlive;
        }
        reentry = false;
    }
};
