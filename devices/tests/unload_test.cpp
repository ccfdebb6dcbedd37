// The shut-down of the device interfaces is safe on interfaces never opened.
#include "cm11a_interface.h"
#include "max_serial_interface.h"

#include <gtest/gtest.h>

TEST(DeviceUnload, InterfacesNeverOpenedUnloadAnyNumberOfTimes)
{
    g_CM11AInterface.Unload();
    g_MAXSerialInterface.Unload();
    g_CM11AInterface.Unload();
    g_MAXSerialInterface.Unload();
    EXPECT_EQ(CM11AInterface::wTimerID, 0u);
    EXPECT_EQ(MAXSerialInterface::wTimerID, 0u);
    EXPECT_FALSE(g_CM11AInterface.m_bOpen);
    {
        CM11AInterface local;  // its destructor unloads too
        local.Unload();
    }
}

// A guard forced in holds an interface busy until it is forced out; forcing
// out never counts below none.
TEST(DeviceUnload, ForcedGuardsCountInAndOutNeverBelowNone)
{
    CM11AInterface::CM11ABusy::ForceBusy(false);
    EXPECT_EQ(CM11AInterface::CM11ABusy::m_nBusy.load(), 0);
    CM11AInterface::CM11ABusy::ForceBusy(true);
    CM11AInterface::CM11ABusy::ForceBusy(true);
    EXPECT_EQ(CM11AInterface::CM11ABusy::m_nBusy.load(), 2);
    for (int i = 0; i < 3; ++i)
        CM11AInterface::CM11ABusy::ForceBusy(false);
    EXPECT_EQ(CM11AInterface::CM11ABusy::m_nBusy.load(), 0);

    MAXSerialInterface::MAXSerialBusy::ForceBusy(true);
    EXPECT_EQ(MAXSerialInterface::MAXSerialBusy::m_nBusy.load(), 1);
    MAXSerialInterface::MAXSerialBusy::ForceBusy(false);
    MAXSerialInterface::MAXSerialBusy::ForceBusy(false);
    EXPECT_EQ(MAXSerialInterface::MAXSerialBusy::m_nBusy.load(), 0);
}
