// Reading one stored message: RFC 5322 header fields and the MIME tree, reduced to
// what Simple MAPI shows (envelope, note text, attachments). Every input is
// untrusted: parsing is bounded in depth, part count and field sizes, and a damaged
// message yields whatever could be read up to the damage.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mail_address.h"

namespace vxmail {

struct MimeAttachment {
    std::string fileName;      // UTF-8, safe as a file name (no folders, no reserved characters)
    std::string contentType;   // lower case, "type/subtype"
    std::string data;          // decoded bytes
};

struct MimeMessage {
    std::string subject;       // UTF-8
    bool hasOriginator = false;
    Address originator;        // From, else Sender, Reply-To or Return-Path
    std::vector<Address> to, cc, bcc;
    bool hasDate = false;
    int64_t date = 0;          // UTC seconds
    std::string messageId;
    bool receiptRequested = false;
    std::string text;          // UTF-8 note text, LF line ends
    std::vector<MimeAttachment> attachments;
};

struct MimeReadOptions {
    bool body = true;          // decode the note text
    bool attachments = true;   // decode the attachments
};

MimeMessage ParseMime(std::string_view raw, const MimeReadOptions& options = {});

// A received file name made safe to create on disk: folder parts, control and
// reserved characters removed, device names defused, length bounded. May be empty.
std::string SafeFileName(std::string_view utf8);

} // namespace vxmail
