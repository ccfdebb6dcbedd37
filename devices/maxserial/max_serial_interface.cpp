// MAXSerialInterface: life of the board, its byte primitives, its handshake and its polling timer.
#include "max_serial_interface.h"

#include <mmsystem.h>

#include "busy_guard.h"
#include "fx/fxwin.h"

const char* const MAXSerialInterface::cFunctionWords[16] = {"AUF", "ALO", "ONN", "OFF", "DIM", "BRI",
                                                            "ALF", "EXC", "HRQ", "HAK", "PD1", "PD0",
                                                            "EXD", "SON", "SOF", "STR"};
UINT MAXSerialInterface::wTimerID = 0;
int MAXSerialInterface::nKeepCOMAlive = 1800;

std::atomic<int> MAXSerialInterface::MAXSerialBusy::m_nBusy{0};
std::atomic<bool> MAXSerialInterface::MAXSerialBusy::m_bInTimer{false};
std::atomic<bool> MAXSerialInterface::MAXSerialBusy::m_bForceSend{false};

namespace {
PollTimer g_pollTimer;
std::atomic<DWORD> g_timerThread{0};
BusyGuardState Busy()
{
    static CRITICAL_SECTION* lock = NewLastingLock();
    return {MAXSerialInterface::MAXSerialBusy::m_nBusy, MAXSerialInterface::MAXSerialBusy::m_bInTimer,
            MAXSerialInterface::MAXSerialBusy::m_bForceSend, lock, &g_timerThread};
}
constexpr DWORD kShutdownWaitMs = 60000;
} // namespace

MAXSerialInterface::MAXSerialBusy::MAXSerialBusy() { Busy().Enter(); }
MAXSerialInterface::MAXSerialBusy::~MAXSerialBusy() { Busy().Leave(); }

void MAXSerialInterface::MAXSerialBusy::ForceBusy(bool set) { Busy().Force(set); }

MAXSerialInterface g_MAXSerialInterface;

MAXSerialInterface::MAXSerialInterface()
    : m_bOpen(FALSE), m_nPort(0), m_bX10(false), m_Command{}, m_bTimeOut(false)
{
    m_State.Fill(-1);
    for (auto& d : m_Digital)
        d = -1;
    for (int& a : m_Analog)
        a = -1;
}

MAXSerialInterface::MAXSerialInterface(int port, bool x10) : MAXSerialInterface() { Init(port, x10); }

MAXSerialInterface::~MAXSerialInterface() { Unload(); }

void MAXSerialInterface::Init(int port, bool x10)
{
    if (m_bOpen && port == m_nPort && m_Channel.IsOpen())
        return;
    DestroyMMTimer();
    m_Channel.Close();
    m_bX10 = x10;
    m_nPort = port;
    m_Pending.Clear();
    m_State.Fill(-1);
    for (auto& d : m_Digital)
        d = -1;
    for (int& a : m_Analog)
        a = -1;
    m_bOpen = TRUE;
    if (!m_Channel.Open(port, 9600, 2))
        AfxMessageBox("Error opening serial port.");
    ::Sleep(250);
    if (VerifyConnection()) {
        SendGetStatus(0);
        PollInterface();
        CreateMMTimer();
    }
}

void MAXSerialInterface::Unload()
{
    DestroyMMTimer();
    m_Channel.Close();
    // Closed: a read after shut-down answers at once instead of waiting
    // through its retries on a port that is gone.
    m_bOpen = FALSE;
}

void MAXSerialInterface::SetSerialByte(BYTE byte)
{
    if (m_bOpen)
        m_Channel.WriteByte(byte);
}

bool MAXSerialInterface::IsSerialEmpty() { return !m_bOpen || m_Channel.BytesWaiting() == 0; }

BYTE MAXSerialInterface::GetSerialByte()
{
    if (!m_bOpen)
        return 0;
    m_bTimeOut = false;
    for (int attempt = 0; attempt < 20; ++attempt) {
        BYTE byte = 0;
        if (m_Channel.Read(&byte, 1) == 1)
            return byte;
        ::Sleep(100);
    }
    m_bTimeOut = true;
    return 0xFF;
}

bool MAXSerialInterface::SendData(const char* text)
{
    MAXSerialBusy busy;
    for (const char* p = text; *p; ++p)
        SetSerialByte(static_cast<BYTE>(*p));
    return true;
}

CString MAXSerialInterface::AwaitReply()
{
    CString reply;
    int waited = 0;
    while (IsSerialEmpty() && waited++ < 10)
        ::Sleep(100);
    // The reply may come in pieces: read to its carriage return, or until the
    // board falls silent; never more than a command buffer's worth.
    int silent = 0;
    while (reply.GetLength() < static_cast<int>(sizeof m_Command) && silent < 11) {
        if (IsSerialEmpty()) {
            if (reply.Find('\r') >= 0)
                break;
            ::Sleep(10);
            ++silent;
            continue;
        }
        silent = 0;
        BYTE byte = 0;
        if (m_Channel.Read(&byte, 1) == 1)
            reply += static_cast<char>(byte);
    }
    return reply;
}

bool MAXSerialInterface::VerifyConnection()
{
    MAXSerialBusy busy;
    BYTE drop;
    for (int i = 0; i < 10000 && !IsSerialEmpty(); ++i)
        m_Channel.Read(&drop, 1);
    struct Step {
        const char* command;
        const char* expected;
    } steps[] = {
        {"RESET\r", "READY"},
        {"ECHO=1\r", "ECHO=1"},
        {"LF=1\r", "LF=1"},
        {m_bX10 ? "X10=1\r" : "X10=0\r", "X10="},
    };
    for (const Step& s : steps) {
        SendData(s.command);
        if (AwaitReply().Find(s.expected) < 0)
            return false;
    }
    for (int x = 0; x < kDigitalChannels; ++x) {
        char command[16];
        wsprintfA(command, "DIG%dM\r", x);
        SendData(command);
        if (AwaitReply().Find("DIG") < 0)
            break;
    }
    return true;
}

void MAXSerialInterface::CreateMMTimer() { g_pollTimer.Start(wTimerID, MMTimerRoutine); }

void MAXSerialInterface::DestroyMMTimer() { g_pollTimer.Stop(wTimerID, Busy(), kShutdownWaitMs); }

void CALLBACK MAXSerialInterface::MMTimerRoutine(UINT id, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    if (id != wTimerID)
        return;
    g_pollTimer.Tick(
        Busy(), nKeepCOMAlive, [] { g_MAXSerialInterface.PollInterface(); }, [] { g_MAXSerialInterface.SendData("LF?\r"); });
}
