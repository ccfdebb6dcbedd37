// The one lock of request processing. The parser keeps its working tables in
// process-wide state and the plug-ins are not re-entrant, so the GUI thread
// (mail, desktop, sentence queue) and the web server's thread never run
// request line processing, the parser or an action at the same time. Every
// entry of the engine (ProcessRequest, TryPluginActions, SendReply, the mail
// road and the mail tick's probe, the idle turn) holds it for its whole run.
//
// The lock is recursive: a step on the GUI thread may enter the engine again
// from a message loop that an action runs (a dialog). Nobody waits on it for
// ever: a taker gives up after its wait, or as soon as the cancel flag of its
// thread is set, and treats the request as not handled (the mail tick simply
// tries again on its next tick, so no mail is lost). A web server that stops
// sets its listener's flag, so its stop never waits on a GUI request.
#pragma once

#include <atomic>

class CRequestLock {
public:
    enum {
        WAIT_GUI_MS = 200,     // the GUI thread must stay responsive
        WAIT_WEB_MS = 30000,   // a web request waits for the request before it
    };
    explicit CRequestLock(int waitMs);
    ~CRequestLock();
    CRequestLock(const CRequestLock&) = delete;
    CRequestLock& operator=(const CRequestLock&) = delete;

    bool Acquired() const { return m_bAcquired; }

    // The wait that an entry of the engine uses on the calling thread: short
    // on the thread that runs the ticks, long elsewhere.
    static int DefaultWaitMs();
    // Marks the calling thread as the one that runs the engine's ticks.
    static void SetTickThread();
    // Every wait of the calling thread ends once *cancel is nonzero (null:
    // no flag). The flag must outlive the thread's use of the engine.
    static void SetCancelFlag(const std::atomic<int>* cancel);

private:
    bool m_bAcquired;
};

// The same lock for a caller that holds it across calls (the web site holds
// it while it runs the engine or a message's action for a web user): waits up
// to CRequestLock::WAIT_WEB_MS, less once *cancel (or the thread's cancel
// flag) is set; false when not taken. Each true is ended by one
// LeaveRequestLock on the same thread.
bool EnterRequestLock(const std::atomic<int>* cancel);
void LeaveRequestLock();
