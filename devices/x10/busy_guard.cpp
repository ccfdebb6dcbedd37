#include "busy_guard.h"

CRITICAL_SECTION* NewLastingLock()
{
    auto* lock = new CRITICAL_SECTION;
    ::InitializeCriticalSection(lock);
    return lock;
}

void BusyGuardState::Enter() const
{
    ::EnterCriticalSection(lock);
    ++busy;
    ::LeaveCriticalSection(lock);
    while (inTimer && !forceSend && *timerThread != ::GetCurrentThreadId())
        ::Sleep(1);
}

void BusyGuardState::Leave() const
{
    if (busy > 0)
        --busy;
}

bool BusyGuardState::TryEnterTimer() const
{
    ::EnterCriticalSection(lock);
    bool enter = busy == 0;
    if (enter) {
        *timerThread = ::GetCurrentThreadId();
        inTimer = true;
    }
    ::LeaveCriticalSection(lock);
    return enter;
}

void BusyGuardState::LeaveTimer() const
{
    inTimer = false;
    *timerThread = 0;
}

bool BusyGuardState::WaitIdle(DWORD timeoutMs) const
{
    DWORD start = ::GetTickCount();
    while (busy > 0) {
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(5);
    }
    return true;
}

void PollTimer::Start(UINT& id, LPTIMECALLBACK routine)
{
    if (id)
        return;
    TIMECAPS caps = {};
    UINT wanted = 5;
    if (::timeGetDevCaps(&caps, sizeof caps) == TIMERR_NOERROR) {
        wanted = caps.wPeriodMin < 5 ? 5 : caps.wPeriodMin;
        if (wanted > caps.wPeriodMax)
            wanted = caps.wPeriodMax;
    }
    ::timeBeginPeriod(wanted);
    id = ::timeSetEvent(500, wanted, routine, 0, TIME_PERIODIC);
    if (id)
        resolution = wanted;
    else
        ::timeEndPeriod(wanted);
}

void PollTimer::Stop(UINT& id, const BusyGuardState& busy, DWORD waitMs)
{
    busy.WaitIdle(waitMs);
    if (id) {
        ::timeKillEvent(id);
        id = 0;
        DWORD start = ::GetTickCount();
        while (reentry && ::GetTickCount() - start < waitMs)
            ::Sleep(5);
        ::timeEndPeriod(resolution);
    }
}

void BusyGuardState::Force(bool set) const
{
    if (set) {
        ++busy;
        return;
    }
    int n = busy.load();
    while (n > 0 && !busy.compare_exchange_weak(n, n - 1)) {
    }
}
