// MAXSerialInterface: life of the interface object.
#include "max_serial_interface.h"

#include <mmsystem.h>

UINT MAXSerialInterface::wTimerID = 0;

MAXSerialInterface g_MAXSerialInterface;

MAXSerialInterface::MAXSerialInterface() : m_bOpen(FALSE), m_nPort(0) {}

MAXSerialInterface::~MAXSerialInterface() { Unload(); }

void MAXSerialInterface::DestroyMMTimer()
{
    if (wTimerID)
        ::timeKillEvent(wTimerID);
    wTimerID = 0;
}

void MAXSerialInterface::Unload()
{
    DestroyMMTimer();
    m_Channel.Close();
}
