#include "winsock_transport.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

namespace vxmail {

namespace {
constexpr unsigned kStepTimeoutMs = 30000;       // one reply or one send
constexpr unsigned kDialogueTimeoutMs = 180000;  // the whole delivery
constexpr size_t kMaxLine = 4096;
} // namespace

WinsockTransport::WinsockTransport() : m_socket(INVALID_SOCKET) {
    WSADATA wsa;
    m_started = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
}

WinsockTransport::~WinsockTransport() {
    if (m_socket != INVALID_SOCKET) closesocket(SOCKET(m_socket));
    if (m_started) WSACleanup();
}

bool WinsockTransport::Connect(const std::string& host, unsigned short port, unsigned timeoutMs) {
    if (!m_started || host.empty()) return false;
    m_deadline = GetTickCount() + kDialogueTimeoutMs;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) return false;
    bool connected = false;
    for (addrinfo* a = list; a && !connected; a = a->ai_next) {
        SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == INVALID_SOCKET) continue;
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        int rc = connect(s, a->ai_addr, int(a->ai_addrlen));
        if (rc == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval tv{long(timeoutMs / 1000), long(timeoutMs % 1000) * 1000};
            rc = select(0, nullptr, &writable, &failed, &tv) == 1 && FD_ISSET(s, &writable) ? 0 : SOCKET_ERROR;
        }
        if (rc == 0) {
            nonBlocking = 0;
            ioctlsocket(s, FIONBIO, &nonBlocking);
            DWORD ms = kStepTimeoutMs;
            setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
            setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
            m_socket = uintptr_t(s);
            connected = true;
        } else {
            closesocket(s);
        }
    }
    freeaddrinfo(list);
    return connected;
}

bool WinsockTransport::Send(const std::string& bytes) {
    if (m_socket == INVALID_SOCKET) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        if (LONG(GetTickCount() - m_deadline) > 0) return false;
        int chunk = int(bytes.size() - done > 65536 ? 65536 : bytes.size() - done);
        int n = send(SOCKET(m_socket), bytes.data() + done, chunk, 0);
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

bool WinsockTransport::ReadLine(std::string& line) {
    if (m_socket == INVALID_SOCKET) return false;
    for (;;) {
        size_t nl = m_buffer.find('\n');
        if (nl != std::string::npos) {
            line = m_buffer.substr(0, nl < kMaxLine ? nl : kMaxLine);
            m_buffer.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        if (m_buffer.size() > kMaxLine) m_buffer.resize(kMaxLine);   // an endless line is cut, not stored
        if (LONG(GetTickCount() - m_deadline) > 0) return false;
        char buf[4096];
        int n = recv(SOCKET(m_socket), buf, sizeof buf, 0);
        if (n <= 0) return false;
        m_buffer.append(buf, size_t(n));
    }
}

} // namespace vxmail
