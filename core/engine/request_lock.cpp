// The process-wide request lock.
#include "request_lock.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace {
std::recursive_timed_mutex& RequestMutex()
{
    static std::recursive_timed_mutex mutex;
    return mutex;
}

std::thread::id& TickThread()
{
    static std::thread::id id = std::this_thread::get_id();
    return id;
}
} // namespace

CRequestLock::CRequestLock(int waitMs)
    : m_bAcquired(RequestMutex().try_lock_for(std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs)))
{
}

CRequestLock::~CRequestLock()
{
    if (m_bAcquired)
        RequestMutex().unlock();
}

int CRequestLock::DefaultWaitMs()
{
    return std::this_thread::get_id() == TickThread() ? WAIT_GUI_MS : WAIT_WEB_MS;
}

void CRequestLock::SetTickThread() { TickThread() = std::this_thread::get_id(); }
