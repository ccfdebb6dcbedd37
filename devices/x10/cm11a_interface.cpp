// CM11AInterface: life of the interface object.
#include "cm11a_interface.h"

#include <mmsystem.h>

UINT CM11AInterface::wTimerID = 0;

CM11AInterface g_CM11AInterface;

CM11AInterface::CM11AInterface() : m_bOpen(FALSE), m_nPort(0) {}

CM11AInterface::~CM11AInterface() { Unload(); }

void CM11AInterface::DestroyMMTimer()
{
    if (wTimerID)
        ::timeKillEvent(wTimerID);
    wTimerID = 0;
}

void CM11AInterface::Unload()
{
    DestroyMMTimer();
    m_Channel.Close();
}
