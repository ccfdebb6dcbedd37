// The test program's side of a device peer's control socket: one text line
// out, one line back.
#pragma once

#include <gtest/gtest.h>
#include <winsock2.h>

#include <cstdlib>
#include <string>

class PeerControl {
public:
    PeerControl()
    {
        const char* port = std::getenv("VX_DEVICE_PEER_CONTROL");
        if (!port || !*port)
            return;
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            closesocket(m_socket);
            m_socket = INVALID_SOCKET;
            return;
        }
        // A peer that stopped answering fails the question, not the whole run.
        DWORD waitMs = kAnswerWaitMs;
        setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&waitMs), sizeof waitMs);
    }
    ~PeerControl()
    {
        if (m_socket != INVALID_SOCKET)
            closesocket(m_socket);
    }
    bool Connected() const { return m_socket != INVALID_SOCKET; }

    std::string Ask(const std::string& line)
    {
        std::string out = line + "\n";
        send(m_socket, out.data(), static_cast<int>(out.size()), 0);
        std::string answer;
        char c;
        for (;;) {
            if (recv(m_socket, &c, 1, 0) != 1) {
                ADD_FAILURE() << "the device peer gave no answer to \"" << line << "\" within " << kAnswerWaitMs
                              << " ms (got \"" << answer << "\")";
                break;
            }
            if (c == '\n')
                break;
            answer += c;
        }
        return answer;
    }

private:
    // The peer may wait up to 120 s itself for bytes still on their way.
    static constexpr DWORD kAnswerWaitMs = 180000;

    SOCKET m_socket = INVALID_SOCKET;
};

// The COM port of the peer, or 0 when the test runs without one.
inline int PeerPort()
{
    const char* port = std::getenv("VX_SERIAL_PEER_PORT");
    return port && *port ? std::atoi(port) : 0;
}
