// CFirecracker: radio frames and infra-red codes on the transmitter's control lines.
#include "firecracker.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "firecracker_lines.h"
#include "fx/fxwin.h"

const BYTE CFirecracker::cHouseByte[16] = {0x60, 0x70, 0x40, 0x50, 0x80, 0x90, 0xA0, 0xB0,
                                           0xE0, 0xF0, 0xC0, 0xD0, 0x00, 0x10, 0x20, 0x30};
const BYTE CFirecracker::cUnitByte[16] = {0x00, 0x20, 0x10, 0x30, 0x08, 0x28, 0x18, 0x38,
                                          0x40, 0x60, 0x50, 0x70, 0x48, 0x68, 0x58, 0x78};

// PAUSE has no code of its own: it sends PLAY's.
const IRCode CFirecracker::cIRCodes[kIRCodes] = {
    {"TV", "1000001001110110"},        {"VCR", "1000001001110010"},      {"CAB", "1000001100001010"},
    {"CD", "1000001100010010"},        {"SAT", "1000001100000110"},      {"DVD", "1000001100000010"},
    {"POWER", "1000001001111010"},     {"MUTE", "1000001100100010"},     {"CH+", "1000001100100110"},
    {"CH-", "1000001101000010"},       {"VOL+", "1000001100001110"},     {"VOL-", "1000001100010110"},
    {"1", "1000001100110010"},         {"2", "1000001100111110"},        {"3", "1000001100101010"},
    {"4", "1000001001011010"},         {"5", "1000001001101110"},        {"6", "1000001001100110"},
    {"7", "1000001001011110"},         {"8", "1000001001101010"},        {"9", "1000001001010110"},
    {"0", "1000001001010010"},         {"MENU", "1000001000100110"},     {"ENTER", "1000001000111110"},
    {"FF", "1000001000010010"},        {"REW", "1000001000001010"},      {"RECORD", "1000001000000110"},
    {"PAUSE", "1000001000011010"},     {"PLAY", "1000001000011010"},     {"STOP", "1000001000010110"},
    {"AV SWITCH", "1000001001001010"}, {"DISPLAY", "1000001001000010"},  {"UP", "1000001001001110"},
    {"DOWN", "1000001000110010"},      {"LEFT", "1000001000110110"},     {"RIGHT", "1000001000101110"},
    {"SKIP DOWN", "1000001000101010"}, {"SKIP UP", "1000001000001110"},  {"TITLE", "1000001000100010"},
    {"SUBTITLE", "1000001000011110"},  {"EXIT", "1000001001100010"},     {"OK", "1000001001000110"},
    {"RETURN", "1000001000111010"},    {"1 SECOND DELAY", nullptr},
};

namespace {
constexpr DWORD kBitMs = 4;
constexpr DWORD kResetMs = 50;
constexpr DWORD kAfterFrameMs = 750;
constexpr DWORD kLockMs = 120000;
const char kIRLeader[] = "1101010110101010";
const char kIRTrailer[] = "10101101";
const char kIRSecond[] = "1101010110101010" "1000001101111111" "10101101";

struct Shared {
    HANDLE port = nullptr;
    int portNumber = 0;
    int uses = 0;
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, nullptr);
    CRITICAL_SECTION lock;
    CString pending;
    Shared() { ::InitializeCriticalSection(&lock); }
};
Shared& State()
{
    static Shared* shared = new Shared;
    return *shared;
}
class SharedLock {
public:
    SharedLock() { ::EnterCriticalSection(&State().lock); }
    ~SharedLock() { ::LeaveCriticalSection(&State().lock); }
};
} // namespace

CFirecracker::CFirecracker()
{
    SharedLock hold;
    ++State().uses;
}

CFirecracker::~CFirecracker()
{
    if (!m_released)
        Release();
}

int CFirecracker::UseCount()
{
    SharedLock hold;
    return State().uses;
}

void CFirecracker::OpenPort(int port)
{
    // A frame or sequence on the wire holds the transmitter and clocks the
    // port's lines throughout: the port changes only between them.
    const DWORD taken = ::WaitForSingleObject(State().mutex, kLockMs);
    if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED)
        return;
    struct Release {
        ~Release() { ::ReleaseMutex(State().mutex); }
    } release;
    SharedLock hold;
    Shared& s = State();
    if (s.port && s.port != INVALID_HANDLE_VALUE)
        ::CloseHandle(s.port);
    s.portNumber = port;
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", port);
    s.port = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                           nullptr);
}

void CFirecracker::Release()
{
    m_released = true;
    bool broken = false;
    {
        SharedLock hold;
        Shared& s = State();
        if (--s.uses == 0 && s.port && s.port != INVALID_HANDLE_VALUE) {
            ::CloseHandle(s.port);
            s.port = nullptr;
        }
        broken = s.uses < 0;
    }
    if (broken)
        AfxMessageBox("A radio transmitter was released more often than it was made.\r\n"
                      "Please note what you were doing and contact support.");
}

bool CFirecracker::Lock()
{
    // An owner that ended without releasing leaves the mutex abandoned; it is ours then.
    DWORD result = ::WaitForSingleObject(State().mutex, kLockMs);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void CFirecracker::Unlock() { ::ReleaseMutex(State().mutex); }

void CFirecracker::Idle() { FirecrackerLines().Signal(State().port, true, true, kBitMs); }

void CFirecracker::Reset()
{
    FirecrackerLines().Signal(State().port, false, false, kResetMs);
    Idle();
}

void CFirecracker::SendBits(const char* bits)
{
    Idle();
    for (const char* b = bits; *b; ++b) {
        bool one = *b == '1';
        FirecrackerLines().Signal(State().port, one, !one, kBitMs);
        Idle();
    }
    Idle();
}

void CFirecracker::SendByte(BYTE byte)
{
    char bits[9];
    for (int i = 0; i < 8; ++i)
        bits[i] = (byte >> (7 - i) & 1) ? '1' : '0';
    bits[8] = 0;
    SendBits(bits);
}

bool CFirecracker::SendFrame(int command, int house, int unit)
{
    if (house < 0 || house > 15 || unit < 0 || unit > 15 || command < kOn || command > kBrightStep)
        return false;
    if (!Lock())
        return false;
    BYTE a = static_cast<BYTE>(cHouseByte[house] + (unit >= 8 ? 4 : 0));
    BYTE b = command == kDimStep ? 0x98 : command == kBrightStep ? 0x88 : cUnitByte[(unit % 8) * 2 + (command == kOff)];
    Reset();
    for (BYTE byte : {BYTE(0xD5), BYTE(0xAA), a, b, BYTE(0xAD)})
        SendByte(byte);
    FirecrackerLines().Pause(kAfterFrameMs);
    Unlock();
    return true;
}

bool CFirecracker::IsValidAddress(const CString& address)
{
    if (address.GetLength() < 2)
        return false;
    int house = address[0] - 'A';
    if (house >= 16)
        house = address[0] - 'a';
    int unit = 0, digits = 0;
    for (int i = 1; i < address.GetLength(); ++i, ++digits) {
        if (address[i] < '0' || address[i] > '9' || digits >= 3)
            return false;
        unit = unit * 10 + (address[i] - '0');
    }
    return house >= 0 && house < 16 && unit >= 1 && unit <= 16;
}

bool CFirecracker::SendCommand(int command, const CString& address)
{
    if (!IsValidAddress(address))
        return false;
    int house = address[0] - 'A';
    if (house >= 16)
        house = address[0] - 'a';
    return SendFrame(command, house, std::atoi(static_cast<const char*>(address) + 1) - 1);
}

void CFirecracker::SendIRCode(int index)
{
    if (index < 0 || index >= kIRCodes)
        return;
    if (index == kIRDelay) {
        FirecrackerLines().Pause(1000);
        return;
    }
    char bits[64];
    std::snprintf(bits, sizeof bits, "%s%s%s", kIRLeader, cIRCodes[index].bits, kIRTrailer);
    SendBits(bits);
    SendBits(kIRSecond);
}

bool CFirecracker::SendIRCodeLocked(int index)
{
    if (!Lock())
        return false;
    SendIRCode(index);
    Unlock();
    return true;
}

int CFirecracker::PairIndex(const CString& sequence, int pair)
{
    if (pair < 0 || 2 * pair + 1 >= sequence.GetLength())
        return -1;
    int high = sequence[2 * pair] - 'I', low = sequence[2 * pair + 1] - 'R';
    if (high < 0 || high > 15 || low < 0 || low > 15)
        return -1;
    int index = high * 16 + low;
    return index < kIRCodes ? index : -1;
}

bool CFirecracker::SendSequence()
{
    CString sequence = PendingSequence();
    if (!Lock())
        return false;
    // A pair that names no code is skipped; an odd last character is no pair.
    for (int pair = 0; 2 * pair + 1 < sequence.GetLength(); ++pair) {
        int index = PairIndex(sequence, pair);
        if (index < 0)
            continue;
        SendIRCode(index);
        FirecrackerLines().Pause(kAfterFrameMs);
    }
    Unlock();
    return true;
}

void CFirecracker::QueueSequence(const CString& sequence)
{
    SharedLock hold;
    State().pending = sequence;
}

CString CFirecracker::PendingSequence()
{
    SharedLock hold;
    return State().pending;
}

CString CFirecracker::SequenceToNames(const CString& sequence)
{
    CString names;
    for (int pair = 0; 2 * pair + 1 < sequence.GetLength(); ++pair) {
        int index = PairIndex(sequence, pair);
        if (index < 0)
            continue;
        if (!names.IsEmpty())
            names += " ";
        names += cIRCodes[index].name;
    }
    return names;
}
