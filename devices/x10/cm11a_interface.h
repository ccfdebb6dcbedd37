// CM11AInterface: the X10 CM11A power-line interface on a COM port, and the
// process-wide instance g_CM11AInterface (built closed, with no timer).
#pragma once

#include "serial_channel.h"

class CM11AInterface {
public:
    CM11AInterface();
    ~CM11AInterface();
    CM11AInterface(const CM11AInterface&) = delete;
    CM11AInterface& operator=(const CM11AInterface&) = delete;

    // Stops the multimedia timer and closes the channel; safe whether or not the
    // interface was ever opened. The open flag and the port stay as they were.
    void Unload();

    // The polling timer's identifier, 0 when none runs.
    static UINT wTimerID;

    BOOL m_bOpen;
    int m_nPort;

private:
    static void DestroyMMTimer();
    CSerialChannel m_Channel;
};

extern CM11AInterface g_CM11AInterface;
