#include "answer_journal.h"

#include <cstdio>

#include "mail_os.h"

namespace vxmail {

namespace {

void Mix(uint64_t& h, const std::string& s) {
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    // The length ends each field, so that fields cannot run into each other.
    for (size_t n = s.size(), i = 0; i < sizeof n; ++i, n >>= 8) {
        h ^= (n & 0xFF);
        h *= 1099511628211ull;
    }
}

// Whether line (without its end) begins with word followed by a blank.
bool LineHasWord(const std::string& text, const std::string& word, size_t field) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        // field 0: the key (before the last blank); field 1: the file name (after it)
        const size_t blank = line.rfind(' ');
        if (blank != std::string::npos) {
            const std::string part = field == 0 ? line.substr(0, blank) : line.substr(blank + 1);
            if (part == word) return true;
        }
        start = end + 1;
    }
    return false;
}

} // namespace

std::string AnswerJournal::Read() const {
    std::string text;
    if (!os::ReadFile(m_path, text, kMaxBytes * 2)) return std::string();
    return text;
}

bool AnswerJournal::Has(const std::string& key) const { return !key.empty() && LineHasWord(Read(), key, 0); }

bool AnswerJournal::Noted(const std::string& fileName) const {
    return !fileName.empty() && LineHasWord(Read(), fileName, 1);
}

bool AnswerJournal::Note(const std::string& key, const std::string& fileName) const {
    std::string text = Read();
    text += key + " " + fileName + "\n";
    if (text.size() > kMaxBytes) {
        size_t cut = text.find('\n', text.size() - kMaxBytes / 2);
        text = cut == std::string::npos ? std::string() : text.substr(cut + 1);
    }
    // Written aside and moved over the journal: never half of one.
    const std::string tmp = m_path + ".tmp";
    os::RemoveFile(tmp);
    if (!os::CreateNewFile(tmp, text)) return false;
    if (os::RenameFile(tmp, m_path, true)) return true;
    os::RemoveFile(tmp);
    return false;
}

std::string AnswerHash(const OutgoingMessage& m) {
    uint64_t h = 1469598103934665603ull;
    for (const std::vector<Address>* list : {&m.to, &m.cc, &m.bcc}) {
        Mix(h, std::to_string(list->size()));
        for (const Address& a : *list) Mix(h, a.address);
    }
    Mix(h, m.subject);
    Mix(h, m.text);
    for (const OutgoingAttachment& a : m.attachments) {
        Mix(h, a.fileName);
        Mix(h, a.data);
    }
    char hex[20];
    std::snprintf(hex, sizeof hex, "%016llx", (unsigned long long)h);
    return hex;
}

std::string UsableTag(const std::string& tag) {
    if (tag.empty() || tag.size() > 200) return std::string();
    for (unsigned char c : tag)
        if (c <= ' ' || c == 0x7F) return std::string();
    return tag;
}

} // namespace vxmail
