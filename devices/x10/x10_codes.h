// What the X10 interfaces share: house and unit numbering, the code tables of
// the power-line interface, the function codes, the address conversions, the
// reading conversions of sensor modules and the clock block.
#pragma once

#include <windows.h>

#include "fx/fx.h"

// A change seen or sent: house, unit, state, change, function.
typedef void (*DeviceChangeCallback)(int house, int unit, int state, int change, int function);

enum X10Function {
    kX10AllUnitsOff = 0,
    kX10AllLightsOn = 1,
    kX10On = 2,
    kX10Off = 3,
    kX10Dim = 4,
    kX10Bright = 5,
    kX10AllLightsOff = 6,
    kX10ExtendedCode = 7,
    kX10HailRequest = 8,
    kX10HailAcknowledge = 9,
    kX10PresetDim1 = 10,
    kX10PresetDim2 = 11,
    kX10ExtendedData = 12,
    kX10StatusOn = 13,
    kX10StatusOff = 14,
    kX10StatusRequest = 15,
};

namespace x10 {

constexpr int kHouses = 16;
constexpr int kUnits = 16;

// Houses and units index 16-entry tables; anything else is refused.
inline bool IsHouse(int house) { return house >= 0 && house < kHouses; }
inline bool IsUnit(int unit) { return unit >= 0 && unit < kUnits; }

extern const BYTE kHouseCodes[kHouses];  // house A-P -> high nibble
extern const BYTE kUnitCodes[kUnits];    // unit 1-16 -> low nibble

// The house or unit whose code is the nibble given (0-15).
int HouseOfCode(int nibble);
int UnitOfCode(int nibble);

// "A1" for house 0, unit 0; "?" stands for -1 (or any number outside the tables).
CString ZoneUnitToString(int house, int unit);
// "B12" -> 1, 11; a letter outside A-P or a unit outside 1-16 gives -1.
void StringToZoneUnit(const CString& text, int& house, int& unit);

// A light sensor's raw byte -> lux; a temperature sensor's raw byte -> degrees.
int ConvLight(int raw);
int ConvTemp(int raw);

int Checksum(const BYTE* frame, int length);

inline int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// Brings a unit to an absolute level by relative steps from the state the
// interface keeps: an unknown level or a reset is first raised to full, an off
// unit switched on, so the steps start from a known 100. Shared by every
// interface that only dims and brightens in steps.
template <class Interface>
void DimToAbsolute(Interface& device, int* entry, int house, int unit, int percent, bool reset)
{
    if (!entry)
        return;
    int s = *entry;
    if (reset) {
        device.SendOn(house, unit);
        device.SendBrightRel(house, unit, 100);
        s = 100;
    }
    if (s == 0) {
        device.SendOn(house, unit);
        s = 100;
    } else if (s < 0) {
        device.SendOn(house, unit);
        device.SendBrightRel(house, unit, 100);
        s = 100;
    }
    int target = Clamp(percent < 0 ? -percent : percent, 0, 100);
    if (target < s)
        device.SendDimRel(house, unit, s - target);
    else if (target > s)
        device.SendBrightRel(house, unit, target - s);
}

// The seven-byte clock block for a local time: 0x9B, seconds, minutes + 60 x
// (hour mod 2), hour / 2, day of the year from 0 (low 8 bits), bit 8 of the day
// with the weekday's bit (bit 0 Sunday ... bit 6 Saturday), the house code with
// bit 0 set to clear the monitored status.
void BuildClockBlock(const SYSTEMTIME& now, int house, bool clear, BYTE block[7]);

// The state table shared by the interfaces: -1 unknown, 0 off, 1-100 percent.
struct StateTable {
    int state[kHouses][kUnits];
    void Fill(int value);
    // The entry of a valid house and unit, else null.
    int* At(int house, int unit);
};

} // namespace x10

// Up to 16 subscribers, called in slot order; one that throws is skipped.
class CDeviceSubscribers {
public:
    static constexpr int kSlots = 16;
    CDeviceSubscribers() { Clear(); }
    void Clear();
    // 1 when the callback took a free slot, 0 when all are taken.
    int Subscribe(DeviceChangeCallback callback);
    void Unsubscribe(DeviceChangeCallback callback);
    void Notify(int house, int unit, int state, int change, int function) const;

private:
    DeviceChangeCallback m_slots[kSlots];
};

// What every X10 interface offers besides its commands: the zone text
// conversions and the subscribers told of normal and extended changes.
class CX10Notifier {
public:
    static CString ConvertZoneUnitToString(int house, int unit) { return x10::ZoneUnitToString(house, unit); }
    static void ConvertStringToZoneUnit(const CString& text, int& house, int& unit)
    {
        x10::StringToZoneUnit(text, house, unit);
    }

    int SubscribeNotifyNormalDeviceChange(DeviceChangeCallback callback) { return m_Normal.Subscribe(callback); }
    int SubscribeNotifyExtendedDeviceChange(DeviceChangeCallback callback) { return m_Extended.Subscribe(callback); }
    void UnSubscribeNotifyNormalDeviceChange(DeviceChangeCallback callback) { m_Normal.Unsubscribe(callback); }
    void UnSubscribeNotifyExtendedDeviceChange(DeviceChangeCallback callback) { m_Extended.Unsubscribe(callback); }

protected:
    // A received on, off or status for one unit: updates its state entry and
    // tells the subscribers. False for any other function, left to the caller.
    bool ApplySwitch(int* state, int house, int unit, int function) const;

    CDeviceSubscribers m_Normal;
    CDeviceSubscribers m_Extended;
};

// Up to 18 device offsets (house x 16 + unit) addressed before a function;
// further addresses are dropped so the list never overruns.
struct CPendingAddresses {
    static constexpr int kCapacity = 18;
    bool lastWasFunction = false;
    int count = 0;
    BYTE offsets[kCapacity] = {};
    void Clear()
    {
        lastWasFunction = false;
        count = 0;
    }
    // An address: a function before it starts a new list.
    void Add(int offset);
};
