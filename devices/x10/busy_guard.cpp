#include "busy_guard.h"

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
