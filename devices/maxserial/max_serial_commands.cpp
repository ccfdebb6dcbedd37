// MAXSerialInterface: the commands written to the board.
#include "max_serial_interface.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "busy_guard.h"

namespace {
using x10::Clamp;

// One command line in the shared buffer at a time, whichever thread writes it.
CRITICAL_SECTION* CommandLock()
{
    static CRITICAL_SECTION* lock = NewLastingLock();
    return lock;
}
} // namespace

bool MAXSerialInterface::SendCommand(const char* format, ...)
{
    // The guard first: it waits for a poll of the timer, which writes its own
    // commands into the same buffer, to end before this one is written.
    MAXSerialBusy busy;
    ::EnterCriticalSection(CommandLock());
    va_list args;
    va_start(args, format);
    std::vsnprintf(m_Command, sizeof m_Command, format, args);
    va_end(args);
    bool sent = SendData(m_Command);
    ::LeaveCriticalSection(CommandLock());
    return sent;
}

void MAXSerialInterface::ServeInput()
{
    for (int i = 0; i < 64 && !IsSerialEmpty(); ++i)
        PollInterface();
}

bool MAXSerialInterface::RequestAnalog(int channel)
{
    if (channel < 0 || channel >= kAnalogChannels)
        return false;
    return SendCommand("ANA%d?\r", channel);
}

bool MAXSerialInterface::RequestDigital(int channel)
{
    if (channel < 0 || channel >= kDigitalChannels)
        return false;
    return SendCommand("DIG%d?\r", channel);
}

bool MAXSerialInterface::SetDigital(int channel, bool on)
{
    if (channel < 0 || channel >= kDigitalChannels)
        return false;
    return SendCommand("DIG%d=%s\r", channel, on ? "1" : "0");
}

bool MAXSerialInterface::SendStandardMessage(int house, int unit, int dims, int function)
{
    if (house == kDigitalHouse) {
        if (function == kX10On || function == kX10Off)
            return SetDigital(unit, function == kX10On);
        return function == kX10StatusRequest && RequestDigital(unit);
    }
    if (house == kAnalogHouse)
        return function == kX10StatusRequest && RequestAnalog(unit);
    if (!x10::IsHouse(house) || !x10::IsUnit(unit) || function < 0 || function > 15 || !m_bX10)
        return false;
    MAXSerialBusy busy;
    for (int i = 0; i < (dims > 0 ? dims : 1); ++i) {
        ServeInput();
        SendCommand("X10 %c %d %s\r", 'A' + house, unit + 1, cFunctionWords[function]);
    }
    return true;
}

bool MAXSerialInterface::SendExtendedMessage(int, int, int, int)
{
    // The board passes no extended X10 codes.
    ServeInput();
    return false;
}

bool MAXSerialInterface::SendWholeHouse(int house, const char* word)
{
    if (!x10::IsHouse(house))
        return false;
    MAXSerialBusy busy;
    ServeInput();
    return SendCommand("X10 %c %s\r", 'A' + house, word);
}

// The board echoes the X10 traffic it sends, and that echo notifies; the
// sends only keep the table. The board's own channels have no table row.
bool MAXSerialInterface::SendOn(int house, int unit)
{
    if (!SendStandardMessage(house, unit, 0, kX10On))
        return false;
    if (int* s = m_State.At(house, unit))
        if (*s <= 0)
            *s = 100;
    return true;
}

bool MAXSerialInterface::SendOff(int house, int unit)
{
    if (!SendStandardMessage(house, unit, 0, kX10Off))
        return false;
    if (int* s = m_State.At(house, unit))
        *s = 0;
    return true;
}

bool MAXSerialInterface::SendDimRel(int house, int unit, int percent)
{
    int amount = Clamp(std::abs(percent), 0, 100);
    if (!SendStandardMessage(house, unit, amount * 22 / 100, kX10Dim))
        return false;
    if (int* s = m_State.At(house, unit))
        *s = Clamp((*s > 0 ? *s : 0) - amount, 0, 100);
    return true;
}

bool MAXSerialInterface::SendBrightRel(int house, int unit, int percent)
{
    int amount = Clamp(percent, 0, 100);
    if (!SendStandardMessage(house, unit, amount * 22 / 100, kX10Bright))
        return false;
    if (int* s = m_State.At(house, unit))
        *s = Clamp((*s > 0 ? *s : 0) + amount, 0, 100);
    return true;
}

void MAXSerialInterface::SendDimAbs(int house, int unit, int percent, bool reset)
{
    x10::DimToAbsolute(*this, m_State.At(house, unit), house, unit, percent, reset);
}

bool MAXSerialInterface::SendAllOff(int house) { return SendWholeHouse(house, "AUF"); }

bool MAXSerialInterface::SendLightsOff(int house)
{
    if (!SendWholeHouse(house, "ALF"))
        return false;
    return SendGetStatus(house);
}

bool MAXSerialInterface::SendLightsOn(int house)
{
    if (!SendWholeHouse(house, "ALO"))
        return false;
    return SendGetStatus(house);
}

bool MAXSerialInterface::SendHail(int house)
{
    if (!SendWholeHouse(house, "HRQ"))
        return false;
    return SendGetStatus(house);
}

bool MAXSerialInterface::SendHail(int house, int unit) { return SendStandardMessage(house, unit, 0, kX10HailRequest); }

bool MAXSerialInterface::SendGetStatus(int house)
{
    for (int u = 0; u < x10::kUnits; ++u) {
        SendStandardMessage(house, u, 1, kX10StatusRequest);
        PollInterface();
    }
    return true;
}

int MAXSerialInterface::GetState(int house, int unit, bool ask)
{
    if (house == kDigitalHouse || house == kAnalogHouse) {
        bool digital = house == kDigitalHouse;
        if (unit < 0 || unit >= (digital ? kDigitalChannels : kAnalogChannels))
            return -1;
        int value = digital ? m_Digital[unit] : m_Analog[unit];
        if (value != -1 && !ask)
            return value;
        MAXSerialBusy busy;
        if (digital)
            RequestDigital(unit);
        else
            RequestAnalog(unit);
        // The reply comes with a later poll.
        return value;
    }
    int* entry = m_State.At(house, unit);
    if (!entry)
        return -1;
    int value = *entry;
    if (ask && value == -1) {
        MAXSerialBusy busy;
        SendGetStatus(house);
        value = *entry;
    }
    if (ask) {
        MAXSerialBusy busy;
        SendGetDimFrom2Way(house, unit);
        PollInterface();
    }
    return value;
}

void MAXSerialInterface::ConfigAll2WayModules(int house)
{
    if (!x10::IsHouse(house))
        return;
    for (int u = 0; u < x10::kUnits; ++u)
        SendExtendedMessage(house, u, 0x3B, 2);
}

bool MAXSerialInterface::SendGetDimFrom2Way(int house, int unit) { return SendExtendedMessage(house, unit, 0x37, 0); }
bool MAXSerialInterface::SendGetCurrentTemperature(int house, int unit) { return SendExtendedMessage(house, unit, 0x12, 0); }
bool MAXSerialInterface::SendGetAverageTemperature(int house, int unit) { return SendExtendedMessage(house, unit, 0x12, 0); }
bool MAXSerialInterface::SendGetCurrentLight(int house, int unit) { return SendExtendedMessage(house, unit, 0x14, 0); }
bool MAXSerialInterface::SendGetAverageLight(int house, int unit) { return SendExtendedMessage(house, unit, 0x11, 0); }
