// CM11AInterface: life of the interface, its byte primitives and its polling timer.
#include "cm11a_interface.h"

#include <mmsystem.h>

#include "busy_guard.h"

const BYTE* CM11AInterface::cZoneByte = x10::kHouseCodes;
const BYTE* CM11AInterface::cUnitByte = x10::kUnitCodes;
UINT CM11AInterface::wTimerID = 0;
int CM11AInterface::nKeepCOMAlive = 1800;

std::atomic<int> CM11AInterface::CM11ABusy::m_nBusy{0};
std::atomic<bool> CM11AInterface::CM11ABusy::m_bInTimer{false};
std::atomic<bool> CM11AInterface::CM11ABusy::m_bForceSend{false};

namespace {
std::atomic<bool> g_timerReentry{false};
UINT g_timerResolution = 0;
std::atomic<DWORD> g_timerThread{0};
CRITICAL_SECTION* BusyLock()
{
    static CRITICAL_SECTION* lock = [] {
        auto* cs = new CRITICAL_SECTION;
        ::InitializeCriticalSection(cs);
        return cs;
    }();
    return lock;
}
BusyGuardState Busy()
{
    return {CM11AInterface::CM11ABusy::m_nBusy, CM11AInterface::CM11ABusy::m_bInTimer,
            CM11AInterface::CM11ABusy::m_bForceSend, BusyLock(), &g_timerThread};
}
// Long enough for the longest command (a status request for another house with
// its clock blocks, or six attempts of a silent interface), bounded all the same.
constexpr DWORD kShutdownWaitMs = 60000;
} // namespace

CM11AInterface::CM11ABusy::CM11ABusy() { Busy().Enter(); }
CM11AInterface::CM11ABusy::~CM11ABusy() { Busy().Leave(); }

void CM11AInterface::CM11ABusy::ForceBusy(bool set)
{
    if (set)
        ++m_nBusy;
    else if (m_nBusy > 0)
        --m_nBusy;
}

CM11AInterface g_CM11AInterface;

CM11AInterface::CM11AInterface()
    : m_bOpen(FALSE), m_nPort(0), m_nMonitoredHouse(0), m_nBatteryTimer(0), m_Frame{}, m_bTimeOut(false)
{
    m_State.Fill(-1);
}

CM11AInterface::CM11AInterface(int port, int house) : CM11AInterface() { Init(port, house); }

CM11AInterface::~CM11AInterface() { Unload(); }

void CM11AInterface::Init(int port, int house)
{
    if (m_bOpen && port == m_nPort && m_Channel.IsOpen())
        return;
    DestroyMMTimer();
    m_Channel.Close();
    m_nPort = port;
    m_Pending.Clear();
    if (house >= 'A' && house <= 'Z')
        house -= 'A';
    else if (house >= 'a' && house <= 'z')
        house -= 'a';
    m_nMonitoredHouse = x10::IsHouse(house) ? house : 0;
    m_State.Fill(-1);
    m_bOpen = TRUE;
    m_Channel.Open(port, 4800, -1);
    ::Sleep(250);
    PollInterface();
    SendTime(false, m_nMonitoredHouse);
    CreateMMTimer();
}

void CM11AInterface::Unload()
{
    DestroyMMTimer();
    m_Channel.Close();
}

void CM11AInterface::SetSerialByte(BYTE byte)
{
    if (m_bOpen)
        m_Channel.WriteByte(byte);
}

bool CM11AInterface::IsSerialEmpty() { return !m_bOpen || m_Channel.BytesWaiting() == 0; }

BYTE CM11AInterface::GetSerialByte()
{
    if (!m_bOpen)
        return 0;
    m_bTimeOut = false;
    for (int attempt = 0; attempt < 10; ++attempt) {
        BYTE byte = 0;
        if (m_Channel.Read(&byte, 1) == 1)
            return byte;
        ::Sleep(100);
    }
    m_bTimeOut = true;
    return 0xFF;
}

void CM11AInterface::CreateMMTimer()
{
    if (wTimerID)
        return;
    TIMECAPS caps = {};
    UINT resolution = 5;
    if (::timeGetDevCaps(&caps, sizeof caps) == TIMERR_NOERROR) {
        resolution = caps.wPeriodMin < 5 ? 5 : caps.wPeriodMin;
        if (resolution > caps.wPeriodMax)
            resolution = caps.wPeriodMax;
    }
    ::timeBeginPeriod(resolution);
    wTimerID = ::timeSetEvent(500, resolution, MMTimerRoutine, 0, TIME_PERIODIC);
    if (wTimerID)
        g_timerResolution = resolution;
    else
        ::timeEndPeriod(resolution);
}

void CM11AInterface::DestroyMMTimer()
{
    // A command still on the wire finishes first; a guard that never goes
    // (a caller stuck elsewhere) does not hold the shut-down for ever.
    Busy().WaitIdle(kShutdownWaitMs);
    if (wTimerID) {
        ::timeKillEvent(wTimerID);
        wTimerID = 0;
        // A tick already running ends before the channel can be closed under it.
        DWORD start = ::GetTickCount();
        while (g_timerReentry && ::GetTickCount() - start < kShutdownWaitMs)
            ::Sleep(5);
        ::timeEndPeriod(g_timerResolution);
    }
}

void CALLBACK CM11AInterface::MMTimerRoutine(UINT id, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    if (id != wTimerID)
        return;
    bool expected = false;
    if (!g_timerReentry.compare_exchange_strong(expected, true))
        return;
    BusyGuardState busy = Busy();
    if (busy.TryEnterTimer()) {
        g_CM11AInterface.PollInterface();
        // The clock block goes out only while the timer holds the wire, so it
        // never interleaves with another thread's command.
        if (--nKeepCOMAlive <= 0) {
            nKeepCOMAlive = 1800;
            g_CM11AInterface.SendTime(false, -1);
        }
        busy.LeaveTimer();
    } else if (nKeepCOMAlive > 1) {
        --nKeepCOMAlive;
    }
    g_timerReentry = false;
}
