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
PollTimer g_pollTimer;
std::atomic<DWORD> g_timerThread{0};
BusyGuardState Busy()
{
    static CRITICAL_SECTION* lock = NewLastingLock();
    return {CM11AInterface::CM11ABusy::m_nBusy, CM11AInterface::CM11ABusy::m_bInTimer,
            CM11AInterface::CM11ABusy::m_bForceSend, lock, &g_timerThread};
}
// Long enough for the longest command (a status request for another house with
// its clock blocks, or six attempts of a silent interface), bounded all the same.
constexpr DWORD kShutdownWaitMs = 60000;
} // namespace

CM11AInterface::CM11ABusy::CM11ABusy() { Busy().Enter(); }
CM11AInterface::CM11ABusy::~CM11ABusy() { Busy().Leave(); }

void CM11AInterface::CM11ABusy::ForceBusy(bool set) { Busy().Force(set); }

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
    // Closed: a read after shut-down answers at once instead of waiting
    // through its retries on a port that is gone.
    m_bOpen = FALSE;
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

void CM11AInterface::CreateMMTimer() { g_pollTimer.Start(wTimerID, MMTimerRoutine); }

void CM11AInterface::DestroyMMTimer() { g_pollTimer.Stop(wTimerID, Busy(), kShutdownWaitMs); }

void CALLBACK CM11AInterface::MMTimerRoutine(UINT id, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    if (id != wTimerID)
        return;
    g_pollTimer.Tick(
        Busy(), nKeepCOMAlive, [] { g_CM11AInterface.PollInterface(); }, [] { g_CM11AInterface.SendTime(false, -1); });
}
