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

    // Opens "COM<port>" for overlapped I/O at baud, 8 data bits, no parity;
    // dtrControl 0-2 sets the DTR mode (disabled, enabled, handshake), -1 keeps
    // the port's. Nonzero on success; an open channel stays as it is. A failure
    // leaves nothing open.
    BOOL Open(int port, int baud, int dtrControl);
    // Closes the events and the port when open; always nonzero.
    BOOL Close();
    BOOL IsOpen() const { return m_bOpen; }

    // Writes one byte, waiting up to 1000 ms for it to go out; always nonzero
    // (a lost byte shows as a device that does not answer).
    BOOL WriteByte(BYTE byte);
    // Writes the buffer byte by byte; the length, or 0 when not open.
    int Write(const BYTE* buffer, int length);
    // Bytes in the driver's input queue (0 when not open); clears the port's error state.
    int BytesWaiting();
    // Reads at most limit of the waiting bytes; the bytes really read (0 when
    // nothing waits, when not open or on failure).
    int Read(BYTE* buffer, int limit);

private:
    HANDLE m_hPort;
    OVERLAPPED m_ReadOverlapped;
    OVERLAPPED m_WriteOverlapped;
    BOOL m_bOpen;
};
