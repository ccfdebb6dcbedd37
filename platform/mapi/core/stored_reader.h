// Reading one stored message as Simple MAPI's ReadMail does: found by its
// identifier, read from disk within a bound, parsed as far as the caller
// asks. A message beyond the bound is never handed on cut: only its head is
// parsed, and its note text says why the rest is missing.
#pragma once
#include <cstddef>
#include <string>

#include "maildir.h"
#include "mime_parser.h"

namespace vxmail {

enum class StoredReadResult { Read, NotFound, Failure };

struct StoredRead {
    StoredMessage stored;
    MimeMessage mail;
    bool tooLarge = false;   // larger than the bound: mail.text is TooLargeNote
};

StoredReadResult ReadStoredMessage(const Maildir& store, const std::string& id, bool envelopeOnly, bool attachments,
                                   size_t limit, StoredRead& out);

// The note text a full read gives for a message larger than limit.
std::string TooLargeNote(size_t limit);

// LF line ends as CR LF.
std::string ToCrlf(const std::string& lf);

} // namespace vxmail
