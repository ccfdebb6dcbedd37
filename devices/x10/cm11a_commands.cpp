// CM11AInterface: the commands sent to the interface and their frame exchange.
#include "cm11a_interface.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr int kAttempts = 6;
constexpr int kWholeHouseAttempts = 3;
using x10::Clamp;
} // namespace

void CM11AInterface::ServeInput()
{
    // Bounded: an interface that never stops talking cannot hold a command for ever.
    for (int i = 0; i < 64 && !IsSerialEmpty(); ++i)
        PollInterface();
}

bool CM11AInterface::SendData(const BYTE* frame, int length)
{
    CM11ABusy busy;
    for (int i = 0; i < length; ++i)
        SetSerialByte(frame[i]);
    BYTE sum = GetSerialByte();
    if (m_bTimeOut || sum != x10::Checksum(frame, length))
        return false;
    SetSerialByte(0x00);
    GetSerialByte();  // the interface's ready byte
    return true;
}

bool CM11AInterface::SendStandardMessage(int house, int unit, int dims, int function)
{
    if (!x10::IsHouse(house) || !x10::IsUnit(unit))
        return false;
    CM11ABusy busy;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        ServeInput();
        SetSerialByte(0x00);
        BYTE address[2] = {0x04, static_cast<BYTE>(cZoneByte[house] + cUnitByte[unit])};
        BYTE command[2] = {static_cast<BYTE>((dims << 3) | 0x06), static_cast<BYTE>(cZoneByte[house] + function)};
        if (SendData(address, 2) && SendData(command, 2))
            return true;
    }
    return false;
}

bool CM11AInterface::SendExtendedMessage(int house, int unit, int command, int data)
{
    if (!x10::IsHouse(house) || !x10::IsUnit(unit))
        return false;
    CM11ABusy busy;
    ServeInput();
    SetSerialByte(0x00);
    BYTE frame[5] = {0x07, static_cast<BYTE>(cZoneByte[house] + kX10ExtendedCode),
                     static_cast<BYTE>(cZoneByte[house] + cUnitByte[unit]), static_cast<BYTE>(data),
                     static_cast<BYTE>(command)};
    for (int attempt = 0; attempt < kAttempts; ++attempt)
        if (SendData(frame, 5))
            return true;
    return false;
}

bool CM11AInterface::SendWholeHouse(int house, int function)
{
    if (!x10::IsHouse(house))
        return false;
    CM11ABusy busy;
    for (int attempt = 0; attempt < kWholeHouseAttempts; ++attempt) {
        ServeInput();
        SetSerialByte(0x00);
        BYTE frame[2] = {0x06, static_cast<BYTE>(cZoneByte[house] + function)};
        if (SendData(frame, 2))
            return true;
    }
    return false;
}

bool CM11AInterface::SendOn(int house, int unit)
{
    if (!SendStandardMessage(house, unit, 0, kX10On))
        return false;
    int* s = m_State.At(house, unit);
    if (*s <= 0)
        *s = 100;
    m_Normal.Notify(house, unit, *s, 100, kX10On);
    return true;
}

bool CM11AInterface::SendOff(int house, int unit)
{
    if (!SendStandardMessage(house, unit, 0, kX10Off))
        return false;
    *m_State.At(house, unit) = 0;
    m_Normal.Notify(house, unit, 0, -100, kX10Off);
    return true;
}

bool CM11AInterface::SendDimRel(int house, int unit, int percent)
{
    int amount = Clamp(std::abs(percent), 0, 100);
    if (!SendStandardMessage(house, unit, amount * 22 / 100, kX10Dim))
        return false;
    int* s = m_State.At(house, unit);
    *s = Clamp((*s > 0 ? *s : 0) - amount, 0, 100);
    m_Normal.Notify(house, unit, *s, -amount, kX10Dim);
    return true;
}

bool CM11AInterface::SendBrightRel(int house, int unit, int percent)
{
    int amount = Clamp(percent, 0, 100);
    if (!SendStandardMessage(house, unit, amount * 22 / 100, kX10Bright))
        return false;
    int* s = m_State.At(house, unit);
    *s = Clamp((*s > 0 ? *s : 0) + amount, 0, 100);
    m_Normal.Notify(house, unit, *s, amount, kX10Bright);
    return true;
}

void CM11AInterface::SendDimAbs(int house, int unit, int percent, bool reset)
{
    x10::DimToAbsolute(*this, m_State.At(house, unit), house, unit, percent, reset);
}

bool CM11AInterface::SendAllOff(int house)
{
    if (!SendWholeHouse(house, kX10AllUnitsOff))
        return false;
    for (int u = 0; u < x10::kUnits; ++u)
        *m_State.At(house, u) = 0;
    m_Normal.Notify(house, -1, 0, -100, kX10AllUnitsOff);
    return true;
}

bool CM11AInterface::SendLightsOff(int house)
{
    if (!SendWholeHouse(house, kX10AllLightsOff))
        return false;
    ::Sleep(500);
    SendGetStatus(house);
    m_Normal.Notify(house, -1, 0, -100, kX10AllLightsOff);
    return true;
}

bool CM11AInterface::SendLightsOn(int house)
{
    if (!SendWholeHouse(house, kX10AllLightsOn))
        return false;
    ::Sleep(500);
    SendGetStatus(house);
    m_Normal.Notify(house, -1, 100, 100, kX10AllLightsOn);
    return true;
}

bool CM11AInterface::SendHail(int house) { return SendWholeHouse(house, kX10HailRequest); }

bool CM11AInterface::SendHail(int house, int unit) { return SendStandardMessage(house, unit, 0, kX10HailRequest); }

bool CM11AInterface::SendMacro()
{
    CM11ABusy busy;
    std::memset(m_Frame, 0, sizeof m_Frame);
    SetSerialByte(0x00);
    m_Frame[0] = 0xFB;
    for (int attempt = 0; attempt < kAttempts; ++attempt)
        if (SendData(m_Frame, 43))
            return true;
    return false;
}

void CM11AInterface::SendTime(bool clear, int house)
{
    CM11ABusy busy;
    ServeInput();
    SetSerialByte(0x00);
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    if (!x10::IsHouse(house))
        house = m_nMonitoredHouse;
    BYTE block[7];
    x10::BuildClockBlock(now, house, clear, block);
    for (BYTE b : block)
        SetSerialByte(b);
    GetSerialByte();  // the interface's checksum, not compared
    SetSerialByte(0x00);
    // The ready byte that follows is taken here: left queued, it would be
    // read as the checksum of the next frame.
    GetSerialByte();
}

bool CM11AInterface::SendGetStatusI()
{
    CM11ABusy busy;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        ServeInput();
        SetSerialByte(0x00);
        SetSerialByte(0x8B);
        if (GetStatus())
            return true;
    }
    return false;
}

bool CM11AInterface::SendGetStatus(int house)
{
    if (house != -1 && !x10::IsHouse(house))
        return false;
    if (house == -1 || house == m_nMonitoredHouse)
        return SendGetStatusI();
    SendTime(false, house);
    ::Sleep(5000);
    bool ok = SendGetStatusI();
    ::Sleep(250);
    SendTime(false, m_nMonitoredHouse);
    ::Sleep(2500);
    return ok;
}

bool CM11AInterface::VerifyConnection() { return SendGetStatusI(); }

int CM11AInterface::GetState(int house, int unit, bool ask)
{
    int* entry = m_State.At(house, unit);
    if (!entry)
        return -1;
    int value = *entry;
    if (ask && value == -1) {
        CM11ABusy busy;
        SendGetStatus(house);
        value = *entry;
    }
    if (ask) {
        CM11ABusy busy;
        SendGetDimFrom2Way(house, unit);
        PollInterface();
    }
    return value;
}

void CM11AInterface::ConfigAll2WayModules(int house)
{
    if (!x10::IsHouse(house))
        return;
    for (int u = 0; u < x10::kUnits; ++u) {
        SendExtendedMessage(house, u, 0x3B, 2);
        m_Extended.Notify(house, u, 0x3B, 2, 0);
    }
}

bool CM11AInterface::SendGetDimFrom2Way(int house, int unit) { return SendExtendedMessage(house, unit, 0x37, 0); }
bool CM11AInterface::SendGetCurrentTemperature(int house, int unit) { return SendExtendedMessage(house, unit, 0x12, 0); }
// The average reading has no command of its own; the current one is asked.
bool CM11AInterface::SendGetAverageTemperature(int house, int unit) { return SendExtendedMessage(house, unit, 0x12, 0); }
bool CM11AInterface::SendGetCurrentLight(int house, int unit) { return SendExtendedMessage(house, unit, 0x14, 0); }
bool CM11AInterface::SendGetAverageLight(int house, int unit) { return SendExtendedMessage(house, unit, 0x11, 0); }
