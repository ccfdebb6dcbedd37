// Writing a message: RFC 5322 header with encoded words where needed, the note as
// text/plain (quoted-printable UTF-8 when not plain ASCII), attachments as base64
// parts of a multipart/mixed body. CRLF line ends throughout.
#pragma once
#include <string>
#include <vector>

#include "mail_address.h"
#include "mail_date.h"

namespace vxmail {

struct OutgoingAttachment {
    std::string fileName;   // UTF-8, no folder
    std::string data;
};

struct OutgoingMessage {
    Address from;
    std::vector<Address> to, cc;   // written into the header
    std::vector<Address> bcc;      // written only when writeBcc (a stored copy, never what is sent)
    bool writeBcc = false;
    std::string subject;           // UTF-8
    std::string text;              // UTF-8, any line ends
    std::vector<OutgoingAttachment> attachments;
    CivilTime date;                // local time of writing
    int dateOffset = 0;            // its offset from UTC in seconds
    std::string messageId;         // "unique@domain", without angle brackets
    bool receiptRequested = false;
    // Sent by a machine on its own (an assistant's answer): marked
    // "Auto-Submitted: auto-replied", so that responders leave it unanswered.
    bool automatic = false;
};

std::string ComposeMessage(const OutgoingMessage& m);

// Media type for a file name's extension ("application/octet-stream" when unknown).
std::string MediaTypeFor(const std::string& fileName);

} // namespace vxmail
