// The X10 numbering shared by the interfaces: address conversions, sensor
// readings, the clock block, the subscriber slots, the pending-address list,
// and commands refused for houses and units outside the tables.
#include <gtest/gtest.h>

#include "change_recorder.h"
#include "cm11a_interface.h"

TEST(X10Codes, AddressTextsConvertBothWays)
{
    struct Case {
        const char* text;
        int house, unit;
    } cases[] = {
        {"A1", 0, 0}, {"p16", 15, 15}, {"Q3", -1, 2}, {"a17", 0, -1}, {"B0", 1, -1},
        {"", -1, -1}, {"C", 2, -1}, {"D99999999999", 3, -1}, {"E-1", 4, -1},
    };
    for (const Case& c : cases) {
        int house = 7, unit = 7;
        CM11AInterface::ConvertStringToZoneUnit(c.text, house, unit);
        EXPECT_EQ(c.house, house) << c.text;
        EXPECT_EQ(c.unit, unit) << c.text;
    }
    EXPECT_STREQ("A1", CM11AInterface::ConvertZoneUnitToString(0, 0));
    EXPECT_STREQ("P16", CM11AInterface::ConvertZoneUnitToString(15, 15));
    EXPECT_STREQ("??", CM11AInterface::ConvertZoneUnitToString(-1, -1));
    EXPECT_STREQ("?3", CM11AInterface::ConvertZoneUnitToString(16, 2)) << "a house past P is no letter";
}

TEST(X10Codes, CodeTablesRoundTrip)
{
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(i, x10::HouseOfCode(CM11AInterface::cZoneByte[i] >> 4));
        EXPECT_EQ(i, x10::UnitOfCode(CM11AInterface::cUnitByte[i]));
    }
    EXPECT_EQ(0xE0, CM11AInterface::cZoneByte[1]);
    EXPECT_EQ(0x0F, CM11AInterface::cUnitByte[9]);
}

TEST(X10Codes, SensorReadings)
{
    struct Case {
        int raw, light, temperature;
    } cases[] = {
        {0x00, 0, 0}, {0x3F, 315, 15}, {0x41, 50, 1}, {0xC2, 10000, -130}, {0x85, 2500, -133},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.light, x10::ConvLight(c.raw)) << c.raw;
        EXPECT_EQ(c.temperature, x10::ConvTemp(c.raw)) << c.raw;
    }
}

TEST(X10Codes, ClockBlockCarriesTheDayOfTheYearAndTheHouse)
{
    struct Case {
        SYSTEMTIME time;
        int house;
        bool clear;
        BYTE block[7];
    } cases[] = {
        // 31 December of a leap year is day 365: low byte 0x6D, bit 8 in bit 7.
        {{2024, 12, 2, 31, 23, 59, 58, 0}, 0, false, {0x9B, 58, 119, 11, 0x6D, 0x80 | 0x04, 0x60}},
        {{2023, 12, 0, 31, 0, 0, 0, 0}, 2, true, {0x9B, 0, 0, 0, 0x6C, 0x80 | 0x01, 0x21}},
        {{2026, 1, 4, 1, 13, 7, 5, 0}, 15, false, {0x9B, 5, 67, 6, 0, 0x10, 0xC0}},
        {{2024, 3, 5, 1, 1, 30, 0, 0}, 1, false, {0x9B, 0, 90, 0, 60, 0x20, 0xE0}},
    };
    for (const Case& c : cases) {
        BYTE block[7];
        x10::BuildClockBlock(c.time, c.house, c.clear, block);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(c.block[i], block[i]) << c.time.wYear << "-" << c.time.wMonth << "-" << c.time.wDay << " byte " << i;
    }
}

namespace {
void Nop(int, int, int, int, int) {}
void Thrower(int, int, int, int, int) { throw 1; }
} // namespace

TEST(X10Codes, SeventeenthSubscriberIsRefusedAndThrowersAreSkipped)
{
    CDeviceSubscribers list;
    EXPECT_EQ(1, list.Subscribe(Thrower));
    for (int i = 1; i < 15; ++i)
        EXPECT_EQ(1, list.Subscribe(Nop));
    EXPECT_EQ(1, list.Subscribe(RecordNormal));
    EXPECT_EQ(0, list.Subscribe(Nop)) << "all 16 slots are taken";
    EXPECT_EQ(0, list.Subscribe(nullptr));
    NormalChanges().Take();
    list.Notify(1, 2, 3, 4, 5);
    EXPECT_EQ((std::vector<DeviceChange>{{1, 2, 3, 4, 5}}), NormalChanges().Take());
    list.Unsubscribe(Nop);
    EXPECT_EQ(1, list.Subscribe(Nop)) << "every slot of Nop was emptied";
}

TEST(X10Codes, PendingAddressListIsBounded)
{
    CPendingAddresses pending;
    for (int i = 0; i < 40; ++i)
        pending.Add(i);
    EXPECT_EQ(CPendingAddresses::kCapacity, pending.count);
    EXPECT_EQ(17, pending.offsets[17]);
    pending.lastWasFunction = true;
    pending.Add(99);
    EXPECT_EQ(1, pending.count) << "a function before an address starts a new list";
    EXPECT_EQ(99, pending.offsets[0]);
}

TEST(X10Codes, HousesAndUnitsOutsideTheTablesAreRefused)
{
    CM11AInterface closed;
    struct Case {
        int house, unit;
    } cases[] = {{16, 0}, {-1, 0}, {0, 16}, {0, -1}, {1000000, 1000000}};
    for (const Case& c : cases) {
        EXPECT_FALSE(closed.SendOn(c.house, c.unit));
        EXPECT_FALSE(closed.SendDimRel(c.house, c.unit, 50));
        closed.SendDimAbs(c.house, c.unit, 50, true);
        EXPECT_EQ(-1, closed.GetState(c.house, c.unit, false));
        EXPECT_FALSE(closed.SendAllOff(c.house));
    }
}
