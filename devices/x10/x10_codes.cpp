#include "x10_codes.h"

#include <cstdlib>

namespace x10 {

const BYTE kHouseCodes[kHouses] = {0x60, 0xE0, 0x20, 0xA0, 0x10, 0x90, 0x50, 0xD0,
                                   0x70, 0xF0, 0x30, 0xB0, 0x00, 0x80, 0x40, 0xC0};
const BYTE kUnitCodes[kUnits] = {0x06, 0x0E, 0x02, 0x0A, 0x01, 0x09, 0x05, 0x0D,
                                 0x07, 0x0F, 0x03, 0x0B, 0x00, 0x08, 0x04, 0x0C};

int HouseOfCode(int nibble)
{
    for (int h = 0; h < kHouses; ++h)
        if (kHouseCodes[h] >> 4 == (nibble & 15))
            return h;
    return -1;
}

int UnitOfCode(int nibble)
{
    for (int u = 0; u < kUnits; ++u)
        if (kUnitCodes[u] == (nibble & 15))
            return u;
    return -1;
}

CString ZoneUnitToString(int house, int unit)
{
    CString text;
    if (IsHouse(house))
        text += static_cast<char>('A' + house);
    else
        text += "?";
    CString number;
    if (IsUnit(unit))
        number.Format("%d", unit + 1);
    else
        number = "?";
    return text + number;
}

void StringToZoneUnit(const CString& text, int& house, int& unit)
{
    house = -1;
    unit = -1;
    if (text.IsEmpty())
        return;
    char c = text[0];
    if (c >= 'A' && c <= 'P')
        house = c - 'A';
    else if (c >= 'a' && c <= 'p')
        house = c - 'a';
    // Digits only, at most a few: a long number must not overflow into a valid unit.
    CString rest = text.Mid(1);
    int n = 0, digits = 0;
    for (int i = 0; i < rest.GetLength() && rest[i] >= '0' && rest[i] <= '9'; ++i, ++digits)
        if (n < 1000)
            n = n * 10 + (rest[i] - '0');
    if (digits > 0 && IsUnit(n - 1))
        unit = n - 1;
}

int ConvLight(int raw)
{
    int e = (raw >> 6) & 3;
    int scale = 1;
    for (int i = 0; i < e + 1; ++i)
        scale *= 10;
    return (raw & 63) * scale / 2;
}

int ConvTemp(int raw)
{
    int value = raw & 0x8F;
    return (raw & 0x80) ? -value : value;
}

int Checksum(const BYTE* frame, int length)
{
    int sum = 0;
    for (int i = 0; i < length; ++i)
        sum += frame[i];
    return sum & 0xFF;
}

static bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

void BuildClockBlock(const SYSTEMTIME& now, int house, bool clear, BYTE block[7])
{
    static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int month = now.wMonth >= 1 && now.wMonth <= 12 ? now.wMonth : 1;
    int day = kBefore[month - 1] + now.wDay - 1 + (month > 2 && IsLeap(now.wYear) ? 1 : 0);
    block[0] = 0x9B;
    block[1] = static_cast<BYTE>(now.wSecond);
    block[2] = static_cast<BYTE>(now.wMinute + 60 * (now.wHour % 2));
    block[3] = static_cast<BYTE>(now.wHour / 2);
    block[4] = static_cast<BYTE>(day & 0xFF);
    block[5] = static_cast<BYTE>(((day >> 8) & 1) << 7 | (1 << (now.wDayOfWeek % 7)));
    block[6] = static_cast<BYTE>((IsHouse(house) ? kHouseCodes[house] : 0) | (clear ? 1 : 0));
}

void StateTable::Fill(int value)
{
    for (auto& row : state)
        for (int& s : row)
            s = value;
}

int* StateTable::At(int house, int unit)
{
    return IsHouse(house) && IsUnit(unit) ? &state[house][unit] : nullptr;
}

} // namespace x10

void CDeviceSubscribers::Clear()
{
    for (auto& slot : m_slots)
        slot = nullptr;
}

int CDeviceSubscribers::Subscribe(DeviceChangeCallback callback)
{
    if (!callback)
        return 0;
    for (auto& slot : m_slots)
        if (!slot) {
            slot = callback;
            return 1;
        }
    return 0;
}

void CDeviceSubscribers::Unsubscribe(DeviceChangeCallback callback)
{
    for (auto& slot : m_slots)
        if (slot == callback)
            slot = nullptr;
}

void CDeviceSubscribers::Notify(int house, int unit, int state, int change, int function) const
{
    for (DeviceChangeCallback slot : m_slots) {
        if (!slot)
            continue;
        try {
            slot(house, unit, state, change, function);
        } catch (...) {
        }
    }
}

void CPendingAddresses::Add(int offset)
{
    if (lastWasFunction)
        count = 0;
    lastWasFunction = false;
    if (count < kCapacity)
        offsets[count++] = static_cast<BYTE>(offset);
}

bool CX10Notifier::ApplySwitch(int* state, int house, int unit, int function) const
{
    switch (function) {
    case kX10On:
        if (*state <= 0)
            *state = 100;
        m_Normal.Notify(house, unit, *state, 100, function);
        return true;
    case kX10Off:
    case kX10StatusOff:
        *state = 0;
        m_Normal.Notify(house, unit, 0, -100, function);
        return true;
    case kX10StatusOn:
        *state = 100;
        m_Normal.Notify(house, unit, 100, 100, function);
        return true;
    default:
        return false;
    }
}
