#include "firecracker_thread.h"

#include "firecracker.h"

CFirecrackerThread::CFirecrackerThread()
{
    m_bCommandQueue = 1;
    m_bNamed = 1;
    m_name = "CFirecrackerThread";
}

int CFirecrackerThread::ThreadHandler()
{
    for (;;) {
        UINT command = kThreadCommandNone;
        WaitForCommand(command);
        switch (command) {
        case kThreadCommandStart:
            PostCommandFirst(kThreadCommandRun);
            break;
        case kThreadCommandRun:
            if (GetState() != kPaused) {
                SetState(kSending);
                CFirecracker transmitter;
                if (!CFirecracker::PendingSequence().IsEmpty())
                    transmitter.SendSequence();
                transmitter.Release();
                return 0;
            }
            break;
        case kThreadCommandPause:
            if (GetState() != kPaused)
                SetState(kPaused);
            break;
        case kThreadCommandContinue:
            if (GetState() == kPaused) {
                SetState(kContinued);
                PostCommandFirst(kThreadCommandRun);
            }
            break;
        case kThreadCommandStop:
            return 0;
        default:
            break;
        }
    }
}
