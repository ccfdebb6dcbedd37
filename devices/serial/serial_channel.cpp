// CSerialChannel: the part every owner relies on at shut-down.
#include "serial_channel.h"

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
