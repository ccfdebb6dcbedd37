#include "serial_channel.h"

#include <cstdio>
#include <cstring>

CSerialChannel::CSerialChannel() : m_hPort(nullptr), m_bOpen(FALSE)
{
    std::memset(&m_ReadOverlapped, 0, sizeof(m_ReadOverlapped));
    std::memset(&m_WriteOverlapped, 0, sizeof(m_WriteOverlapped));
}

CSerialChannel::~CSerialChannel() { Close(); }

BOOL CSerialChannel::Close()
{
    if (m_ReadOverlapped.hEvent)
        ::CloseHandle(m_ReadOverlapped.hEvent);
    if (m_WriteOverlapped.hEvent)
        ::CloseHandle(m_WriteOverlapped.hEvent);
    m_ReadOverlapped.hEvent = nullptr;
    m_WriteOverlapped.hEvent = nullptr;
    if (m_hPort && m_hPort != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hPort);
    m_hPort = nullptr;
    m_bOpen = FALSE;
    return TRUE;
}

BOOL CSerialChannel::Open(int port, int baud, int dtrControl)
{
    if (m_bOpen)
        return TRUE;
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", port);
    m_hPort = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                            nullptr);
    if (m_hPort == INVALID_HANDLE_VALUE || m_hPort == nullptr) {
        m_hPort = nullptr;
        return FALSE;
    }
    std::memset(&m_ReadOverlapped, 0, sizeof(m_ReadOverlapped));
    std::memset(&m_WriteOverlapped, 0, sizeof(m_WriteOverlapped));
    // A read returns at once with what is queued; a write may take 5 s.
    COMMTIMEOUTS timeouts = {MAXDWORD, 0, 0, 0, 5000};
    ::SetCommTimeouts(m_hPort, &timeouts);
    m_ReadOverlapped.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_WriteOverlapped.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    BOOL ok = ::GetCommState(m_hPort, &dcb);
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    if (dtrControl != -1)
        dcb.fDtrControl = static_cast<DWORD>(dtrControl) & 3;
    ok = ok && ::SetCommState(m_hPort, &dcb) && ::SetupComm(m_hPort, 10000, 10000);
    if (ok && m_ReadOverlapped.hEvent && m_WriteOverlapped.hEvent) {
        m_bOpen = TRUE;
        return TRUE;
    }
    Close();
    return FALSE;
}

BOOL CSerialChannel::WriteByte(BYTE byte)
{
    if (!m_hPort)
        return TRUE;
    DWORD written = 0;
    ::ResetEvent(m_WriteOverlapped.hEvent);
    if (!::WriteFile(m_hPort, &byte, 1, &written, &m_WriteOverlapped) && ::GetLastError() == ERROR_IO_PENDING) {
        if (::WaitForSingleObject(m_WriteOverlapped.hEvent, 1000) != WAIT_OBJECT_0)
            ::CancelIo(m_hPort);
        // Waited for here so that the next write never reuses a record still in use.
        ::GetOverlappedResult(m_hPort, &m_WriteOverlapped, &written, TRUE);
    }
    return TRUE;
}

int CSerialChannel::Write(const BYTE* buffer, int length)
{
    if (!m_bOpen || !m_hPort || !buffer || length <= 0)
        return 0;
    for (int i = 0; i < length; ++i)
        WriteByte(buffer[i]);
    return length;
}

int CSerialChannel::BytesWaiting()
{
    if (!m_bOpen || !m_hPort)
        return 0;
    DWORD errors = 0;
    COMSTAT status = {};
    if (!::ClearCommError(m_hPort, &errors, &status))
        return 0;
    return static_cast<int>(status.cbInQue);
}

int CSerialChannel::Read(BYTE* buffer, int limit)
{
    if (!m_bOpen || !m_hPort || !buffer || limit <= 0)
        return 0;
    int waiting = BytesWaiting();
    if (waiting <= 0)
        return 0;
    DWORD wanted = static_cast<DWORD>(waiting < limit ? waiting : limit);
    DWORD read = 0;
    ::ResetEvent(m_ReadOverlapped.hEvent);
    if (::ReadFile(m_hPort, buffer, wanted, &read, &m_ReadOverlapped))
        return static_cast<int>(read);
    if (::GetLastError() != ERROR_IO_PENDING)
        return 0;
    // A read that does not finish within 2 s is cancelled; the wait for its end
    // keeps the driver from writing into the buffer after we return, and the
    // count is what really arrived.
    if (::WaitForSingleObject(m_ReadOverlapped.hEvent, 2000) != WAIT_OBJECT_0)
        ::CancelIo(m_hPort);
    ::GetOverlappedResult(m_hPort, &m_ReadOverlapped, &read, TRUE);
    return static_cast<int>(read);
}
