// CFirecrackerThread: sends the pending infra-red sequence on its own thread
// and ends; paused and continued through its command queue.
#pragma once

#include "worker_thread.h"

class CFirecrackerThread : public CThread {
public:
    enum State { kSending = 2, kPaused = 3, kContinued = 4 };
    CFirecrackerThread();

protected:
    int ThreadHandler() override;
    void OnKill() override {}
};
