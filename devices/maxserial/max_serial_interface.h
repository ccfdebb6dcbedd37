// MAXSerialInterface: the serial control board on a COM port, and the
// process-wide instance g_MAXSerialInterface (built closed, with no timer).
#pragma once

#include "serial_channel.h"

class MAXSerialInterface {
public:
    MAXSerialInterface();
    ~MAXSerialInterface();
    MAXSerialInterface(const MAXSerialInterface&) = delete;
    MAXSerialInterface& operator=(const MAXSerialInterface&) = delete;

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

extern MAXSerialInterface g_MAXSerialInterface;
