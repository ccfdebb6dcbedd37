// The SMTP dialogue (RFC 5321) for handing one message to a relay: greeting,
// EHLO (HELO when refused), MAIL FROM, RCPT TO per recipient, DATA with dot
// stuffing, QUIT. The transport (a socket with timeouts) is the platform's.
#pragma once
#include <string>
#include <vector>

namespace vxmail {

class SmtpTransport {
public:
    virtual ~SmtpTransport() = default;
    virtual bool Send(const std::string& bytes) = 0;
    // One reply line without its line end; false on timeout, error or closed
    // connection. Lines longer than the transport's bound are cut.
    virtual bool ReadLine(std::string& line) = 0;
};

struct SmtpOutcome {
    bool delivered = false;
    int code = 0;            // last reply code (0: no reply / transport failure)
    std::string stage;       // step that failed: "greeting", "ehlo", "mail", "rcpt", "data", "message"
    std::string reply;       // text of the failing reply
};

SmtpOutcome SmtpDeliver(SmtpTransport& transport, const std::string& heloName, const std::string& from,
                        const std::vector<std::string>& recipients, const std::string& message);

// The message with CRLF line ends, lines that start with "." doubled, ending in CRLF.
std::string DotStuff(const std::string& message);

} // namespace vxmail
