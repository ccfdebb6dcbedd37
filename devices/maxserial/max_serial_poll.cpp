// MAXSerialInterface: the board's reply lines - channel values, the X10 flag
// and the X10 traffic the board hears - taken one line per poll.
#include "max_serial_interface.h"

#include <cstring>

namespace {
// A line longer than this is no reply of the board: it is read to its end and dropped.
constexpr int kMaxLine = 128;

int Number(const char* text, int maxDigits)
{
    while (*text == ' ')
        ++text;
    int n = 0, digits = 0;
    for (; *text >= '0' && *text <= '9' && digits < maxDigits; ++text, ++digits)
        n = n * 10 + (*text - '0');
    return digits ? n : -1;
}
} // namespace

bool MAXSerialInterface::ReadLine(CString& line)
{
    line.Empty();
    bool overlong = false;
    int empty = 0;
    while (empty < 11) {
        if (IsSerialEmpty()) {
            ::Sleep(10);
            ++empty;
            continue;
        }
        empty = 0;
        BYTE byte = 0;
        if (m_Channel.Read(&byte, 1) != 1)
            continue;
        if (byte == '\n')
            continue;
        if (line.GetLength() < kMaxLine)
            line += static_cast<char>(byte);
        else
            overlong = true;
        if (byte == '\r')
            return !overlong;
    }
    return false;
}

void MAXSerialInterface::ChannelValue(const CString& line)
{
    CString kind = line.Left(3);
    int channel = line[3] - '0';
    int value = Number(static_cast<const char*>(line) + 5, 3);
    if (value < 0)
        return;
    if (kind == "DIG") {
        if (channel < 0 || channel >= kDigitalChannels)
            return;
        int stored = m_Digital[channel];
        int change = value != stored ? (value ? 1 : -1) : 0;
        m_Digital[channel] = static_cast<signed char>(value > 127 ? 127 : value);
        m_Normal.Notify(kDigitalHouse, channel, value, change, value ? kX10On : kX10Off);
    } else if (kind == "ANA") {
        if (channel < 0 || channel >= kAnalogChannels)
            return;
        int change = value - m_Analog[channel];
        m_Analog[channel] = value;
        m_Normal.Notify(kAnalogHouse, channel, value, change, change >= 1 ? kX10Bright : kX10Dim);
    }
}

bool MAXSerialInterface::X10Event(const CString& line, int& statusHouse)
{
    char letter = line[0];
    if (letter < 'A' || letter > 'P')
        return false;
    int house = letter - 'A';
    char word[4] = {};
    for (int i = 0; i < 3 && 1 + i < line.GetLength() && line[1 + i] != '\r'; ++i)
        word[i] = line[1 + i];
    static const char* const kFunctions[] = {"ALF", "ALO", "AUF", "BRI", "DIM", "HAK", "HRQ",
                                             "OFF", "ONN", "PD0", "PD1", "SOF", "SON"};
    int function = -1;
    for (const char* f : kFunctions)
        if (std::strcmp(word, f) == 0)
            for (int code = 0; code < 16; ++code)
                if (std::strcmp(cFunctionWords[code], f) == 0)
                    function = code;
    if (function < 0) {
        // An address; a number outside 1-16 names no unit and is dropped.
        int number = Number(word, 3);
        if (!x10::IsUnit(number - 1))
            return false;
        m_Pending.Add(house * 16 + number - 1);
        return true;
    }
    switch (function) {
    case kX10AllUnitsOff:
        for (int u = 0; u < x10::kUnits; ++u)
            *m_State.At(house, u) = 0;
        m_Normal.Notify(house, -1, 0, -100, function);
        break;
    case kX10AllLightsOff:
        m_Normal.Notify(house, -1, 0, -100, function);
        statusHouse = house;
        break;
    case kX10AllLightsOn:
        m_Normal.Notify(house, -1, 100, 100, function);
        statusHouse = house;
        break;
    default:
        for (int i = 0; i < m_Pending.count; ++i) {
            int h = m_Pending.offsets[i] >> 4, u = m_Pending.offsets[i] & 15;
            int* s = m_State.At(h, u);
            if (ApplySwitch(s, h, u, function))
                continue;
            switch (function) {
            case kX10Dim:
            case kX10Bright:
                // The board tells no amount: the level stays (an unknown one becomes 0).
                if (*s < 0)
                    *s = 0;
                m_Normal.Notify(h, u, *s, 0, function);
                break;
            default:
                m_Normal.Notify(h, u, -1, -1, function);
                break;
            }
        }
        break;
    }
    m_Pending.lastWasFunction = true;
    return true;
}

void MAXSerialInterface::PollInterface()
{
    if (IsSerialEmpty())
        return;
    MAXSerialBusy busy;
    CString line;
    if (!ReadLine(line) || line.GetLength() < 5)
        return;
    int statusHouse = -1;
    if (line[4] == '=') {
        ChannelValue(line);
    } else if (line[3] == '=') {
        if (line.Left(3) == "X10")
            m_bX10 = line[4] == '1';
    } else if (m_bX10) {
        X10Event(line, statusHouse);
    }
    if (statusHouse >= 0) {
        ServeInput();
        SendGetStatus(statusHouse);
    }
}
