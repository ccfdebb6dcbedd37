#include "maildir.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "mail_os.h"
#include "maildir_index.h"

namespace vxmail {

namespace {

std::atomic<unsigned> g_deliveries{0};

uint64_t Fnv1a(const std::string& s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string Unique(const std::string& fileName) {
    size_t colon = fileName.find(':');
    return colon == std::string::npos ? fileName : fileName.substr(0, colon);
}

} // namespace

Maildir::Maildir(std::string root) : m_root(std::move(root)), m_index(std::make_unique<MaildirIndex>(m_root)) {}

Maildir::~Maildir() = default;

unsigned Maildir::Listings() const {
    std::lock_guard<std::mutex> g(m_lock);
    return m_plainListings + m_index->Listings();
}

std::string Maildir::IdOf(const std::string& fileName) {
    std::string u = Unique(fileName);
    if (u.size() <= kMaxIdLength) return u;
    char hash[20];
    std::snprintf(hash, sizeof hash, "~%016llx", (unsigned long long)Fnv1a(u));
    return u.substr(0, kMaxIdLength - 17) + hash;
}

std::string Maildir::FlagsOf(const std::string& fileName) {
    size_t colon = fileName.find(':');
    if (colon == std::string::npos || fileName.compare(colon + 1, 2, "2,") != 0) return {};
    std::string flags = fileName.substr(colon + 3);
    std::sort(flags.begin(), flags.end());
    flags.erase(std::unique(flags.begin(), flags.end()), flags.end());
    return flags;
}

bool Maildir::Exists() const {
    return os::IsDirectory(os::Join(m_root, "new")) && os::IsDirectory(os::Join(m_root, "cur")) &&
           os::IsDirectory(os::Join(m_root, "tmp"));
}

bool Maildir::Create() const {
    // Create the chain of parents too, bounded by the path's length.
    std::string path = m_root;
    std::vector<std::string> missing;
    while (!path.empty() && !os::IsDirectory(path) && missing.size() < 64) {
        missing.push_back(path);
        size_t sep = path.find_last_of("/\\");
        if (sep == std::string::npos || sep == 0 || (sep == 2 && path[1] == ':')) break;
        path = path.substr(0, sep);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) os::MakeDirectory(*it);
    return os::MakeDirectory(m_root) && os::MakeDirectory(os::Join(m_root, "new")) &&
           os::MakeDirectory(os::Join(m_root, "cur")) && os::MakeDirectory(os::Join(m_root, "tmp"));
}

bool Maildir::List(std::vector<StoredMessage>& out) const {
    out.clear();
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_plainListings += 2;
    }
    if (!ListFolder(m_root, "new", out) || !ListFolder(m_root, "cur", out)) return false;
    std::sort(out.begin(), out.end(), StoreOrder);
    return true;
}

bool Maildir::Locate(const std::string& id, StoredMessage& out) const {
    if (id.empty()) return false;
    std::lock_guard<std::mutex> g(m_lock);
    int64_t modified = 0;
    // Where the kept listing last saw it, if it is still there.
    if (const StoredMessage* m = m_index->Find(id); m && os::ModifiedTime(PathOf(*m), modified)) {
        out = *m;
        return true;
    }
    if (!m_index->Refresh()) return false;
    const StoredMessage* m = m_index->Find(id);
    if (!m) return false;
    out = *m;
    return true;
}

FindResult Maildir::FindNext(const std::string& seed, bool unreadOnly, std::string& id) const {
    std::lock_guard<std::mutex> g(m_lock);
    if (!m_index->Refresh()) return FindResult::Failure;
    const StoredMessage* m = nullptr;
    if (!seed.empty()) {
        m = m_index->Find(seed);
        if (!m) return FindResult::BadSeed;
    }
    // The same message seen twice (mid-move by another process) is reported once.
    do m = m_index->Next(m, unreadOnly);
    while (m && !seed.empty() && m->id == seed);
    if (!m) return FindResult::NoMore;
    id = m->id;
    return FindResult::Found;
}

std::string Maildir::PathOf(const StoredMessage& m) const {
    return os::Join(os::Join(m_root, m.folder), m.fileName);
}

bool Maildir::MarkSeen(const StoredMessage& m) const {
    if (m.Seen() && m.folder == "cur") return true;
    std::string flags = m.flags + "S";
    std::sort(flags.begin(), flags.end());
    flags.erase(std::unique(flags.begin(), flags.end()), flags.end());
    StoredMessage seen = m;
    seen.folder = "cur";
    seen.fileName = Unique(m.fileName) + ":2," + flags;
    seen.flags = flags;
    std::lock_guard<std::mutex> g(m_lock);
    unsigned current = m_index->CurrentFolders();
    if (!os::RenameFile(PathOf(m), PathOf(seen), false)) return false;
    m_index->Moved(m, seen, current);
    return true;
}

std::string Maildir::NameHost() {
    std::string host;
    for (char c : os::HostName()) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
        host += ok ? c : '_';
    }
    return host.empty() ? std::string("localhost") : host;
}

std::string Maildir::NewUniqueName() const {
    // time.Pn Qn .host - the classic Maildir scheme; the host part is cut so that
    // the name stays a full identifier.
    std::string host = NameHost();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lld.P%uQ%u.", (long long)os::NowSeconds(), os::ProcessId(), g_deliveries++);
    std::string name = buf;
    if (name.size() + host.size() > kMaxIdLength) host = host.substr(0, kMaxIdLength - name.size());
    return name + host;
}

bool Maildir::Deliver(const std::string& bytes, bool intoCur, const std::string& flags, std::string& id,
                      const std::function<bool(const std::string&)>& beforeMove) const {
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::string unique = NewUniqueName();
        std::string tmp = os::Join(os::Join(m_root, "tmp"), unique);
        if (!os::CreateNewFile(tmp, bytes)) {
            if (!os::IsDirectory(os::Join(m_root, "tmp"))) return false;
            continue;   // name taken: try the next counter value
        }
        if (beforeMove && !beforeMove(unique)) {
            os::RemoveFile(tmp);
            return false;
        }
        std::string name = intoCur ? unique + ":2," + flags : unique;
        std::string target = os::Join(os::Join(m_root, intoCur ? "cur" : "new"), name);
        if (os::RenameFile(tmp, target, false)) {
            id = IdOf(name);
            return true;
        }
        os::RemoveFile(tmp);
    }
    return false;
}

bool Maildir::Replace(const StoredMessage& m, const std::string& bytes) const {
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::string tmp = os::Join(os::Join(m_root, "tmp"), NewUniqueName());
        if (!os::CreateNewFile(tmp, bytes)) continue;
        if (os::RenameFile(tmp, PathOf(m), true)) return true;
        os::RemoveFile(tmp);
        return false;
    }
    return false;
}

bool Maildir::Remove(const StoredMessage& m) const { return os::RemoveFile(PathOf(m)); }

namespace {

// The writer's process id of a name NewUniqueName gave on this host; 0 when
// the name is not one of ours.
unsigned WriterOf(const std::string& name, const std::string& host) {
    size_t i = 0;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9') ++i;
    if (i == 0 || name.compare(i, 2, ".P") != 0) return 0;
    i += 2;
    unsigned long long pid = 0;
    size_t digits = 0;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9' && digits < 10) pid = pid * 10 + unsigned(name[i++] - '0'), ++digits;
    if (digits == 0 || i >= name.size() || name[i] != 'Q' || pid > 0xFFFFFFFFull) return 0;
    ++i;
    size_t q = i;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9') ++i;
    // The host, or as much of it as the name had room for.
    if (i == q || i + 1 >= name.size() || name[i] != '.' || host.compare(0, name.size() - i - 1, name, i + 1) != 0)
        return 0;
    return unsigned(pid);
}

} // namespace

size_t Maildir::RemoveAbandonedFiles(const std::function<bool(const std::string&)>& deliverInstead) const {
    std::vector<std::string> names;
    const std::string dir = os::Join(m_root, "tmp");
    if (!os::ListNames(dir, names)) return 0;
    const std::string host = NameHost();
    const unsigned self = os::ProcessId();
    size_t removed = 0;
    for (const std::string& name : names) {
        const unsigned pid = WriterOf(name, host);
        if (pid == 0 || pid == self || os::ProcessRunning(pid)) continue;
        const std::string path = os::Join(dir, name);
        if (deliverInstead && deliverInstead(name)) {
            if (os::RenameFile(path, os::Join(os::Join(m_root, "new"), name), false)) ++removed;
            continue;
        }
        if (os::RemoveFile(path)) ++removed;
    }
    return removed;
}

} // namespace vxmail
