// CSerialChannel: one COM port opened for overlapped I/O, owned by a device
// interface. Closed until opened; closing is always safe.
#pragma once

#include <windows.h>

class CSerialChannel {
public:
    CSerialChannel();
    ~CSerialChannel();
    CSerialChannel(const CSerialChannel&) = delete;
    CSerialChannel& operator=(const CSerialChannel&) = delete;

    // Closes the events and the port when open; always nonzero.
    BOOL Close();
    BOOL IsOpen() const { return m_bOpen; }

private:
    HANDLE m_hPort;
    OVERLAPPED m_ReadOverlapped;
    OVERLAPPED m_WriteOverlapped;
    BOOL m_bOpen;
};
