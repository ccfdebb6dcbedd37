// CM11AInterface: what the interface sends unasked - its buffer of received
// X10 traffic, the clock request after a power failure - and the status reply.
#include "cm11a_interface.h"

namespace {
using x10::Clamp;
} // namespace

bool CM11AInterface::GetStatus()
{
    CM11ABusy busy;
    for (int i = 0; i < 14; ++i) {
        m_Frame[i] = GetSerialByte();
        if (m_bTimeOut)
            return false;
    }
    m_nBatteryTimer = m_Frame[0] + m_Frame[1] * 256;
    int house = x10::HouseOfCode(m_Frame[7] >> 4);
    int onOff = m_Frame[10] + m_Frame[11] * 256;
    int dimmed = m_Frame[12] + m_Frame[13] * 256;
    for (int n = 0; n < 16; ++n) {
        int* s = m_State.At(house, x10::UnitOfCode(n));
        bool on = onOff >> n & 1, dim = dimmed >> n & 1;
        if (dim) {
            if (*s <= 0)
                *s = 50;
        } else {
            *s = on ? 100 : 0;
        }
    }
    return true;
}

void CM11AInterface::ProcessExtendedDataPoll()
{
    BYTE bytes[4];
    for (BYTE& b : bytes) {
        b = GetSerialByte();
        if (m_bTimeOut)
            return;
    }
    int house = x10::HouseOfCode(bytes[1] >> 4), unit = x10::UnitOfCode(bytes[1] & 15);
    int data = bytes[2], command = bytes[3];
    int* s = m_State.At(house, unit);
    if (command == 0x1B)
        *s = x10::ConvLight(data);
    else if (command == 0x1C)
        *s = x10::ConvTemp(data);
    else if (command == 0x38)
        *s = (data & 63) * 100 / 63;
    m_Extended.Notify(house, unit, command, data, 0);
}

void CM11AInterface::ReceiveFunction(int house, int function, const BYTE* extra)
{
    switch (function) {
    case kX10AllUnitsOff:
        for (int u = 0; u < x10::kUnits; ++u)
            *m_State.At(house, u) = 0;
        m_Normal.Notify(house, -1, 0, -100, function);
        return;
    case kX10AllLightsOn:
        m_Normal.Notify(house, -1, 100, 100, function);
        return;
    case kX10AllLightsOff:
        m_Normal.Notify(house, -1, 0, -100, function);
        return;
    case kX10ExtendedCode:
        ProcessExtendedDataPoll();
        return;
    case kX10StatusRequest:
        GetStatus();
        return;
    default:
        break;
    }
    int amount = extra[0] * 100 / 210;
    for (int i = 0; i < m_Pending.count; ++i) {
        int h = m_Pending.offsets[i] >> 4, u = m_Pending.offsets[i] & 15;
        int* s = m_State.At(h, u);
        if (ApplySwitch(s, h, u, function))
            continue;
        switch (function) {
        case kX10Dim:
            *s = Clamp((*s > 0 ? *s : 0) - amount, 0, 100);
            m_Normal.Notify(h, u, *s, -amount, function);
            break;
        case kX10Bright:
            *s = Clamp((*s > 0 ? *s : 0) + amount, 0, 100);
            m_Normal.Notify(h, u, *s, amount, function);
            break;
        case kX10ExtendedData:
            *s = extra[0] * 256 + extra[1];
            m_Extended.Notify(h, u, function, extra[0], extra[1]);
            break;
        default:  // hail, hail acknowledge, pre-set dims
            m_Normal.Notify(h, u, -1, -1, function);
            break;
        }
    }
}

void CM11AInterface::PollInterface()
{
    if (IsSerialEmpty())
        return;
    // Held while the poll reads, so a poll asked for on another thread and the
    // timer's never read the same bytes at once.
    CM11ABusy busy;
    BYTE first = GetSerialByte();
    if (m_bTimeOut)
        return;
    if (first == 0x5A) {
        SetSerialByte(0xC3);
        BYTE length;
        int skipped = 0;
        do
            length = GetSerialByte();
        while (!m_bTimeOut && length == 0x5A && ++skipped < 16);
        if (m_bTimeOut || length > 8 || length == 0)
            return;
        BYTE buffer[8];
        for (int i = 0; i < length; ++i) {
            buffer[i] = GetSerialByte();
            if (m_bTimeOut)
                return;
        }
        int mask = buffer[0];
        int statusHouse = -1;
        for (int i = 1; i < length; ++i) {
            BYTE b = buffer[i];
            bool isFunction = mask >> (i - 1) & 1;
            int house = x10::HouseOfCode(b >> 4);
            if (!isFunction) {
                m_Pending.Add(house * 16 + x10::UnitOfCode(b & 15));
                continue;
            }
            int function = b & 15;
            // Dim and Bright carry one more byte, an extended transfer two;
            // bytes the buffer does not hold read as 0.
            BYTE extra[2] = {0, 0};
            int more = function == kX10Dim || function == kX10Bright ? 1 : function == kX10ExtendedData ? 2 : 0;
            for (int k = 0; k < more && i + 1 < length; ++k)
                extra[k] = buffer[++i];
            ReceiveFunction(house, function, extra);
            if (function == kX10AllLightsOn || function == kX10AllLightsOff)
                statusHouse = house;
            m_Pending.lastWasFunction = true;
        }
        if (statusHouse >= 0) {
            for (int i = 0; i < 64 && !IsSerialEmpty(); ++i)
                PollInterface();
            SendGetStatus(statusHouse);
        }
    } else if (first == 0xA5) {
        SendTime(true, m_nMonitoredHouse);
        m_Normal.Notify(-1, -1, -1, -1, 0xA5);
    } else if (first == 0x5B) {
        BYTE b;
        for (int i = 0; i < 2 && !IsSerialEmpty(); ++i)
            m_Channel.Read(&b, 1);
    }
}
