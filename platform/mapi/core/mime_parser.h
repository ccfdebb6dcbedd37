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

// The most attachments one message gives; parts beyond it are counted in
// MimeMessage::droppedParts, never dropped without a word.
constexpr size_t kMaxMimeAttachments = 1000;

struct MimeMessage {
    std::string subject;       // UTF-8
    bool hasOriginator = false;
    Address originator;        // From's first address; no address unless a usable one
    std::vector<Address> to, cc, bcc;
    bool hasDate = false;
    int64_t date = 0;          // UTC seconds
    std::string messageId;
    bool receiptRequested = false;
    // Sent by a machine on its own, by its header fields: Auto-Submitted
    // other than "no", Precedence bulk, junk or list, X-Autoreply or
    // X-Autorespond. Nobody should answer such mail automatically.
    bool automatic = false;
    std::string text;          // UTF-8 note text, LF line ends
    std::vector<MimeAttachment> attachments;
    // Parts the reader did not keep: beyond kMaxMimeAttachments, or beyond
    // the bound on parts walked. The caller reports them.
    size_t droppedParts = 0;
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
