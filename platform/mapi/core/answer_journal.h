// The answers sent while a request is being answered, noted in the outbox's
// folder, so that a request carried out again after the program was killed
// sends each of its answers once: an answer already noted is not sent again.
// The caller names the request it answers (a tag); each answer's key is the
// tag, a hash of what the answer says and to whom, and how many times the
// same answer went out before under that tag.
#pragma once
#include <cstddef>
#include <string>

#include "mime_composer.h"

namespace vxmail {

class AnswerJournal {
public:
    static constexpr size_t kMaxBytes = 256 * 1024;   // older entries go beyond it

    explicit AnswerJournal(std::string path) : m_path(std::move(path)) {}

    // Whether an answer of this key was noted.
    bool Has(const std::string& key) const;
    // Notes the key with the name of the file that carries the answer, before
    // the file is delivered. False when it could not be noted.
    bool Note(const std::string& key, const std::string& fileName) const;
    // Whether a file of this name was noted (an answer to deliver, not drop).
    bool Noted(const std::string& fileName) const;

private:
    std::string Read() const;
    std::string m_path;
};

// What an answer says and to whom, as a hash in hex (the date and message id left out).
std::string AnswerHash(const OutgoingMessage& m);

// A request tag as the caller gave it, when it is usable: printable, no
// blanks, at most 200 characters; else empty.
std::string UsableTag(const std::string& tag);

} // namespace vxmail
