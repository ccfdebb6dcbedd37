#include "maildir_index.h"

#include <algorithm>

#include "mail_os.h"

namespace vxmail {

bool StoreOrder(const StoredMessage& a, const StoredMessage& b) {
    if (a.modified != b.modified) return a.modified < b.modified;
    if (a.id != b.id) return a.id < b.id;
    return a.folder < b.folder;
}

namespace {

StoredMessage MessageOf(const char* folder, std::string fileName, int64_t modified) {
    StoredMessage m;
    m.id = Maildir::IdOf(fileName);
    m.folder = folder;
    m.flags = folder[0] == 'c' ? Maildir::FlagsOf(fileName) : std::string();
    m.fileName = std::move(fileName);
    m.modified = modified;
    return m;
}

bool Hidden(const std::string& name) { return name.empty() || name[0] == '.'; }   // not a message

} // namespace

bool ListFolder(const std::string& root, const char* folder, std::vector<StoredMessage>& out) {
    std::vector<os::FileEntry> files;
    if (!os::ListFiles(os::Join(root, folder), files)) return false;
    for (os::FileEntry& f : files)
        if (!Hidden(f.name)) out.push_back(MessageOf(folder, std::move(f.name), f.modified));
    return true;
}

bool MaildirIndex::Before::operator()(const StoredMessage& a, const StoredMessage& b) const {
    if (StoreOrder(a, b)) return true;
    if (StoreOrder(b, a)) return false;
    return a.fileName < b.fileName;
}

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
    for (Folder& f : m_folders) {
        // The time is read before the listing: a change made while listing
        // moves it on, and the next call lists again.
        int64_t modified = 0;
        if (!os::ModifiedTime(os::Join(m_root, f.name), modified)) return false;
        if (!NeedsListing(f, modified, now)) continue;
        ++m_listings;
        // Unchanged since this store's own moves, and settled: only a change by
        // another program within the same time stamp is left to find.
        const bool recheck = f.state == State::Patched && modified == f.stamp;
        if (!(recheck ? Recheck(f) : Relist(f))) {
            f.state = State::Unlisted;
            return false;
        }
        f.stamp = modified;
        f.state = now - modified > kSettleTicks ? State::Settled : State::Recent;
    }
    return true;
}

bool MaildirIndex::Relist(Folder& f) {
    std::vector<StoredMessage> listed;
    if (!ListFolder(m_root, f.name, listed)) return false;
    const unsigned pass = ++m_pass;
    std::vector<StoredMessage> arrived;
    for (StoredMessage& m : listed) {
        auto known = f.files.find(m.fileName);
        if (known != f.files.end() && known->second.entry->modified == m.modified)
            known->second.pass = pass;
        else
            arrived.push_back(std::move(m));   // new, or written again under the same name
    }
    Apply(f, pass, arrived);
    return true;
}

bool MaildirIndex::Recheck(Folder& f) {
    // Names only: in a large folder, looking at each file costs ten times the
    // names. A file that came or went is found; what it would miss is a message
    // written again under its own name within that same stamp, a thing Maildir
    // writers do not do (messages are written once, then only renamed).
    const std::string dir = os::Join(m_root, f.name);
    std::vector<std::string> names;
    if (!os::ListNames(dir, names)) return false;
    const unsigned pass = ++m_pass;
    std::vector<StoredMessage> arrived;
    for (std::string& name : names) {
        if (Hidden(name)) continue;
        auto known = f.files.find(name);
        if (known != f.files.end()) {
            known->second.pass = pass;
            continue;
        }
        int64_t modified = 0;
        const std::string path = os::Join(dir, name);
        if (os::ModifiedTime(path, modified) && !os::IsDirectory(path))   // gone meanwhile: the next listing sees
            arrived.push_back(MessageOf(f.name, std::move(name), modified));
    }
    Apply(f, pass, arrived);
    return true;
}

void MaildirIndex::Apply(Folder& f, unsigned pass, std::vector<StoredMessage>& arrived) {
    for (auto it = f.files.begin(); it != f.files.end();) {
        if (it->second.pass == pass) {
            ++it;
            continue;
        }
        Erase(it->second.entry);
        it = f.files.erase(it);
    }
    for (StoredMessage& m : arrived) Insert(f, std::move(m));
}

void MaildirIndex::Insert(Folder& f, StoredMessage m) {
    auto known = f.files.find(m.fileName);
    if (known != f.files.end()) {
        Erase(known->second.entry);
        f.files.erase(known);
    }
    Entry e = m_entries.insert(std::move(m)).first;
    const StoredMessage* p = &*e;
    f.files.emplace(p->fileName, File{e, m_pass});
    m_byId[p->id].push_back(p);
    if (!p->Trashed()) {
        m_visible.insert(p);
        if (!p->Seen()) m_unread.insert(p);
    }
}

void MaildirIndex::Erase(Entry e) {
    const StoredMessage* p = &*e;
    m_visible.erase(p);
    m_unread.erase(p);
    auto same = m_byId.find(p->id);
    if (same != m_byId.end()) {
        std::vector<const StoredMessage*>& v = same->second;
        v.erase(std::remove(v.begin(), v.end(), p), v.end());
        if (v.empty()) m_byId.erase(same);
    }
    m_entries.erase(e);
}

const StoredMessage* MaildirIndex::Find(const std::string& id) const {
    auto same = m_byId.find(id);
    if (same == m_byId.end()) return nullptr;
    const std::vector<const StoredMessage*>& v = same->second;
    return *std::min_element(v.begin(), v.end(), Before());
}

const StoredMessage* MaildirIndex::Next(const StoredMessage* after, bool unreadOnly) const {
    const std::set<const StoredMessage*, Before>& walk = unreadOnly ? m_unread : m_visible;
    auto it = after ? walk.upper_bound(after) : walk.begin();
    return it == walk.end() ? nullptr : *it;
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

MaildirIndex::Folder* MaildirIndex::FolderNamed(const std::string& name) {
    for (Folder& f : m_folders)
        if (name == f.name) return &f;
    return nullptr;
}

void MaildirIndex::Moved(const StoredMessage& was, const StoredMessage& now, unsigned current) {
    Folder* from = FolderNamed(was.folder);
    Folder* to = FolderNamed(now.folder);
    if (!from || !to) return;
    auto known = from->files.find(was.fileName);
    if (known == from->files.end()) return;   // not in the listing: the next listing finds it
    StoredMessage moved = *known->second.entry;
    Erase(known->second.entry);
    from->files.erase(known);
    moved.folder = now.folder;
    moved.fileName = now.fileName;
    moved.flags = now.flags;   // a rename keeps the file's time, so its place in store order stays
    Insert(*to, std::move(moved));
    for (unsigned i = 0; i < 2; ++i) {
        Folder& f = m_folders[i];
        if (!(current & (1u << i)) || (&f != from && &f != to)) continue;
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
