#include "request_gate.h"

#include <chrono>

CRequestGate g_RequestGate;

bool CRequestGate::Enter(const std::atomic<int>* cancel, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (cancel && cancel->load())
            return false;
        if (m_lock.try_lock_for(std::chrono::milliseconds(100)))
            return true;
        if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= end)
            return false;
    }
}

bool CRequestGate::TryEnter()
{
    return m_lock.try_lock();
}

void CRequestGate::Leave()
{
    m_lock.unlock();
}
