// CM17AInterface: commands over the radio transmitter and the infra-red sequence thread.
#include "cm17a_interface.h"

#include <cstdlib>

#include "firecracker_thread.h"
#include "fx/fxwin.h"

CM17AInterface g_CM17AInterface;

namespace {
using x10::Clamp;

// The thread of the last sequence, shared by every instance.
struct SequenceThread {
    CRITICAL_SECTION lock;
    CFirecrackerThread* thread = nullptr;
    SequenceThread() { ::InitializeCriticalSection(&lock); }
};
SequenceThread& Sequence()
{
    static SequenceThread* shared = new SequenceThread;
    return *shared;
}
class SequenceLock {
public:
    SequenceLock() { ::EnterCriticalSection(&Sequence().lock); }
    ~SequenceLock() { ::LeaveCriticalSection(&Sequence().lock); }
};
} // namespace

CM17AInterface::CM17AInterface() : m_bInitialised(false), m_nPort(0) { m_State.Fill(-1); }

CM17AInterface::CM17AInterface(int port) : CM17AInterface() { Init(port); }

CM17AInterface::~CM17AInterface()
{
    Unload();
    m_Transmitter.Release();
}

void CM17AInterface::Init(int port)
{
    if (m_bInitialised && port == m_nPort)
        return;
    m_nPort = port;
    CFirecracker::OpenPort(port);
    m_State.Fill(-1);
    m_bInitialised = true;
}

// There is no acknowledgement: the table and the subscribers learn of every
// command as if it went out.
bool CM17AInterface::SendOn(int house, int unit)
{
    int* s = m_State.At(house, unit);
    if (!s)
        return false;
    m_Transmitter.SendFrame(CFirecracker::kOn, house, unit);
    if (*s <= 0)
        *s = 100;
    m_Normal.Notify(house, unit, *s, 100, kX10On);
    return true;
}

bool CM17AInterface::SendOff(int house, int unit)
{
    int* s = m_State.At(house, unit);
    if (!s)
        return false;
    m_Transmitter.SendFrame(CFirecracker::kOff, house, unit);
    *s = 0;
    m_Normal.Notify(house, unit, 0, -100, kX10Off);
    return true;
}

bool CM17AInterface::SendDimRel(int house, int unit, int percent)
{
    int* s = m_State.At(house, unit);
    if (!s)
        return false;
    int amount = Clamp(std::abs(percent), 0, 100);
    *s = Clamp((*s > 0 ? *s : 0) - amount, 0, 100);
    for (int i = 0; i < amount / 5; ++i)
        m_Transmitter.SendFrame(CFirecracker::kDimStep, house, unit);
    m_Normal.Notify(house, unit, *s, -amount, kX10Dim);
    return true;
}

bool CM17AInterface::SendBrightRel(int house, int unit, int percent)
{
    int* s = m_State.At(house, unit);
    if (!s)
        return false;
    int amount = Clamp(percent, 0, 100);
    *s = Clamp((*s > 0 ? *s : 0) + amount, 0, 100);
    for (int i = 0; i < amount / 5; ++i)
        m_Transmitter.SendFrame(CFirecracker::kBrightStep, house, unit);
    m_Normal.Notify(house, unit, *s, amount, kX10Bright);
    return true;
}

void CM17AInterface::SendDimAbs(int house, int unit, int percent, bool reset)
{
    x10::DimToAbsolute(*this, m_State.At(house, unit), house, unit, percent, reset);
}

bool CM17AInterface::SendAllOff(int)
{
    AfxMessageBox("CM17A does not support All Units Off");
    return false;
}

bool CM17AInterface::SendLightsOff(int)
{
    AfxMessageBox("CM17A does not support All Lights Off");
    return false;
}

bool CM17AInterface::SendLightsOn(int)
{
    AfxMessageBox("CM17A does not support All Lights On");
    return false;
}

int CM17AInterface::GetState(int house, int unit, bool ask)
{
    int* s = m_State.At(house, unit);
    if (!s)
        return -1;
    if (ask)
        *s = -1;
    return *s;
}

bool CM17AInterface::EndSequenceThread()
{
    CFirecrackerThread*& thread = Sequence().thread;
    if (!thread)
        return true;
    // The old sequence runs to its end, for as long as it can take: the
    // transmitter's lock, then per code its two bit strings and the pauses.
    int steps = 1200 + CFirecracker::PendingSequence().GetLength() / 2 * 20 + 50;
    thread->WaitForState(1, steps);
    // Asked to end first; killed only when it does not.
    int exitCode = 0;
    bool stopped = false;
    try {
        stopped = thread->Stop(exitCode, 50);
    } catch (CThreadException* e) {
        e->Delete();
    }
    if (!stopped)
        thread->Kill(0, true);
    if (thread->IsAlive())
        return false;
    delete thread;
    thread = nullptr;
    return true;
}

bool CM17AInterface::SendIRSequenceToUX17A(const CString& sequence)
{
    SequenceLock hold;
    // The old thread reads the pending sequence while it sends: the new one is
    // stored only once it has ended.
    if (!EndSequenceThread())
        return false;
    CFirecracker::QueueSequence(sequence);
    auto* thread = new CFirecrackerThread;
    try {
        thread->Start();
    } catch (CThreadException* e) {
        e->Delete();
        delete thread;
        return false;
    }
    Sequence().thread = thread;
    return true;
}

bool CM17AInterface::WaitForSequence(DWORD timeoutMs)
{
    SequenceLock hold;
    CFirecrackerThread* thread = Sequence().thread;
    if (!thread)
        return true;
    DWORD start = ::GetTickCount();
    while (thread->IsAlive() || thread->GetHandle()) {
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(10);
    }
    return true;
}
