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
