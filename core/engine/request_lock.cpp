// The process-wide request lock.
#include "request_lock.h"

#include "running_log.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace {
// The running log's lock: the web thread's writers of the log are the
// requests it processes, so one lock covers both.
std::recursive_timed_mutex& RequestMutex() { return runlog::Lock(); }

std::thread::id& TickThread()
{
    static std::thread::id id = std::this_thread::get_id();
    return id;
}
} // namespace

static thread_local const std::atomic<int>* t_pCancel = nullptr;

namespace {
bool Take(int waitMs, const std::atomic<int>* cancel)
{
    using Clock = std::chrono::steady_clock;
    const auto slice = std::chrono::milliseconds(50);
    const auto end = Clock::now() + std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs);
    for (;;) {
        if ((t_pCancel && t_pCancel->load()) || (cancel && cancel->load()))
            return false;
        auto left = end - Clock::now();
        if (left <= Clock::duration::zero())
            return RequestMutex().try_lock();
        if (RequestMutex().try_lock_for(left < slice ? left : Clock::duration(slice)))
            return true;
    }
}
} // namespace

CRequestLock::CRequestLock(int waitMs) : m_bAcquired(Take(waitMs, nullptr)) {}

bool EnterRequestLock(const std::atomic<int>* cancel) { return Take(CRequestLock::WAIT_WEB_MS, cancel); }

void LeaveRequestLock() { RequestMutex().unlock(); }

void CRequestLock::SetCancelFlag(const std::atomic<int>* cancel) { t_pCancel = cancel; }

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
