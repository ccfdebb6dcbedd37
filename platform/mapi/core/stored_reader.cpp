#include "stored_reader.h"

#include <cstdio>

#include "mail_os.h"

namespace vxmail {

StoredReadResult ReadStoredMessage(const Maildir& store, const std::string& id, bool envelopeOnly, bool attachments,
                                   size_t limit, StoredRead& out) {
    out = StoredRead();
    std::string raw;
    bool read = false;
    // The envelope is in the head: a large message is not read whole for it.
    constexpr size_t kHeadBytes = 1u << 20;
    const size_t want = envelopeOnly && limit > kHeadBytes ? kHeadBytes : limit + 1;
    // Another reader may move the file between listing and opening: look again.
    // One byte beyond the bound tells a message too large to read whole.
    for (int attempt = 0; attempt < 3 && !read; ++attempt) {
        if (!store.Locate(id, out.stored)) return StoredReadResult::NotFound;
        read = os::ReadFile(store.PathOf(out.stored), raw, want);
    }
    if (!read) return StoredReadResult::Failure;
    out.tooLarge = !envelopeOnly && raw.size() > limit;
    if (out.tooLarge) raw.resize(limit);
    MimeReadOptions options;
    options.body = !envelopeOnly && !out.tooLarge;
    options.attachments = !envelopeOnly && !out.tooLarge && attachments;
    out.mail = ParseMime(raw, options);
    if (out.tooLarge && !envelopeOnly) out.mail.text = TooLargeNote(limit);
    return StoredReadResult::Read;
}

std::string TooLargeNote(size_t limit) {
    char text[400];
    std::snprintf(text, sizeof text,
                  "This message is larger than %zu MB, too large to be read whole: its text and attachments could "
                  "not be read, so none of them is given here. It stays unchanged in the mail box.\n",
                  limit >> 20);
    return text;
}

std::string ToCrlf(const std::string& lf) {
    std::string out;
    out.reserve(lf.size() + lf.size() / 32);
    for (char c : lf) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

} // namespace vxmail
