#include "maildir_index.h"

#include <algorithm>

#include "mail_os.h"

namespace vxmail {

bool StoreOrder(const StoredMessage& a, const StoredMessage& b) {
    if (a.modified != b.modified) return a.modified < b.modified;
    if (a.id != b.id) return a.id < b.id;
    return a.folder < b.folder;
}

bool ListFolder(const std::string& root, const char* folder, std::vector<StoredMessage>& out) {
    std::vector<os::FileEntry> files;
    if (!os::ListFiles(os::Join(root, folder), files)) return false;
    for (os::FileEntry& f : files) {
        if (f.name.empty() || f.name[0] == '.') continue;   // hidden: not a message
        StoredMessage m;
        m.id = Maildir::IdOf(f.name);
        m.folder = folder;
        m.flags = folder[0] == 'c' ? Maildir::FlagsOf(f.name) : std::string();
        m.fileName = std::move(f.name);
        m.modified = f.modified;
        out.push_back(std::move(m));
    }
    return true;
}

namespace {

bool SameFiles(std::vector<StoredMessage>& listed, std::vector<StoredMessage>& kept) {
    if (listed.size() != kept.size()) return false;
    auto byName = [](const StoredMessage& a, const StoredMessage& b) { return a.fileName < b.fileName; };
    std::sort(listed.begin(), listed.end(), byName);
    std::sort(kept.begin(), kept.end(), byName);
    for (size_t i = 0; i < listed.size(); ++i)
        if (listed[i].fileName != kept[i].fileName || listed[i].modified != kept[i].modified) return false;
    return true;
}

} // namespace

bool MaildirIndex::NeedsListing(const Folder& f, int64_t modified, int64_t now) const {
    switch (f.state) {
    case State::Unlisted:
    case State::Recent: return true;
    case State::Settled: return modified != f.stamp;
    case State::Patched: return modified != f.stamp || now - modified > kSettleTicks;
    }
    return true;
}

bool MaildirIndex::Refresh() {
    const int64_t now = os::NowSeconds() * 10000000;
    bool changed = false;
    for (Folder& f : m_folders) {
        // The time is read before the listing: a change made while listing
        // moves it on, and the next call lists again.
        int64_t modified = 0;
        if (!os::ModifiedTime(os::Join(m_root, f.name), modified)) return false;
        if (!NeedsListing(f, modified, now)) continue;
        std::vector<StoredMessage> messages;
        ++m_listings;
        if (!ListFolder(m_root, f.name, messages)) {
            f.state = State::Unlisted;
            return false;
        }
        f.stamp = modified;
        f.state = now - modified > kSettleTicks ? State::Settled : State::Recent;
        // A folder listed again while it settles is mostly as it was: the
        // merged listing is rebuilt only when a file came, went or changed.
        if (SameFiles(messages, f.messages)) continue;
        f.messages = std::move(messages);
        changed = true;
    }
    if (changed) Rebuild();
    return true;
}

unsigned MaildirIndex::CurrentFolders() {
    const int64_t now = os::NowSeconds() * 10000000;
    unsigned current = 0;
    for (unsigned i = 0; i < 2; ++i) {
        int64_t modified = 0;
        if (os::ModifiedTime(os::Join(m_root, m_folders[i].name), modified) &&
            !NeedsListing(m_folders[i], modified, now))
            current |= 1u << i;
    }
    return current;
}

void MaildirIndex::Rebuild() {
    m_messages.clear();
    m_messages.reserve(m_folders[0].messages.size() + m_folders[1].messages.size());
    for (const Folder& f : m_folders) m_messages.insert(m_messages.end(), f.messages.begin(), f.messages.end());
    std::sort(m_messages.begin(), m_messages.end(), StoreOrder);
    m_positions.clear();
    m_positions.reserve(m_messages.size());
    for (size_t i = 0; i < m_messages.size(); ++i) m_positions.emplace(m_messages[i].id, i);   // the first one stays
}

long MaildirIndex::PositionOf(const std::string& id) const {
    auto it = m_positions.find(id);
    return it == m_positions.end() ? -1 : long(it->second);
}

void MaildirIndex::Moved(const StoredMessage& now, unsigned current) {
    long pos = PositionOf(now.id);
    if (pos < 0) return;
    StoredMessage& entry = m_messages[size_t(pos)];
    const std::string from = entry.folder;
    for (Folder& f : m_folders) {
        if (from != f.name) continue;
        auto it = std::find_if(f.messages.begin(), f.messages.end(),
                               [&](const StoredMessage& m) { return m.fileName == entry.fileName; });
        if (it != f.messages.end()) f.messages.erase(it);
    }
    entry.folder = now.folder;
    entry.fileName = now.fileName;
    entry.flags = now.flags;
    for (unsigned i = 0; i < 2; ++i) {
        Folder& f = m_folders[i];
        if (now.folder == f.name) f.messages.push_back(entry);
        if (!(current & (1u << i)) || (from != f.name && now.folder != f.name)) continue;
        // The folder was as listed just before the move: its listing holds the
        // move itself, and is checked once more when the folder settles.
        int64_t modified = 0;
        if (!os::ModifiedTime(os::Join(m_root, f.name), modified)) {
            f.state = State::Unlisted;
            continue;
        }
        f.stamp = modified;
        f.state = State::Patched;
    }
}

} // namespace vxmail
