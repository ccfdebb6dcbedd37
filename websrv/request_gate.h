// Requests are processed one at a time: mail and desktop requests on the GUI
// thread, web requests on the web server's listener thread. Both hold this
// gate while the core, the parser or a plug-in runs for them.
#pragma once

#include <atomic>
#include <mutex>

class CRequestGate {
public:
    // Waits for the gate; gives up (false) once *cancel becomes nonzero, so a
    // stopping web server never waits on a request of the GUI thread, or
    // after timeoutMs when that is not negative.
    bool Enter(const std::atomic<int>* cancel, int timeoutMs = -1);
    // For the GUI thread's timers: take the gate only when it is free, so
    // the GUI thread never blocks while the listener's request may need it
    // (a plug-in may send messages to the GUI thread's windows).
    bool TryEnter();
    void Leave();

private:
    std::timed_mutex m_lock;
};

extern CRequestGate g_RequestGate;

// Holds the gate for a scope.
class CRequestGateHold {
public:
    CRequestGateHold(CRequestGate& gate, const std::atomic<int>* cancel) : m_gate(gate), m_held(gate.Enter(cancel)) {}
    ~CRequestGateHold()
    {
        if (m_held)
            m_gate.Leave();
    }
    bool Held() const { return m_held; }
    CRequestGateHold(const CRequestGateHold&) = delete;
    CRequestGateHold& operator=(const CRequestGateHold&) = delete;

private:
    CRequestGate& m_gate;
    bool m_held;
};
