// SMTP over a Winsock TCP connection, every step under a timeout.
#pragma once
#include <cstdint>
#include <string>

#include "../core/smtp_client.h"

namespace vxmail {

class WinsockTransport : public SmtpTransport {
public:
    WinsockTransport();
    ~WinsockTransport() override;
    // False when the host cannot be resolved or does not answer within the timeout.
    bool Connect(const std::string& host, unsigned short port, unsigned timeoutMs);
    bool Send(const std::string& bytes) override;
    bool ReadLine(std::string& line) override;

private:
    bool m_started = false;
    uintptr_t m_socket;
    std::string m_buffer;
    unsigned long m_deadline = 0;   // GetTickCount() value that ends the whole dialogue
};

} // namespace vxmail
