#include "request_gate.h"

#include <chrono>

CRequestGate g_RequestGate;

bool CRequestGate::Enter(const std::atomic<int>* cancel)
{
    for (;;) {
        if (cancel && cancel->load())
            return false;
        if (m_lock.try_lock_for(std::chrono::milliseconds(100)))
            return true;
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
