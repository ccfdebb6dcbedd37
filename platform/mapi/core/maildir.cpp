#include "maildir.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "mail_os.h"

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

bool Hidden(const std::string& name) { return name.empty() || name[0] == '.'; }

} // namespace

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
    for (const char* folder : {"new", "cur"}) {
        std::vector<os::FileEntry> files;
        if (!os::ListFiles(os::Join(m_root, folder), files)) return false;
        for (os::FileEntry& f : files) {
            if (Hidden(f.name)) continue;
            StoredMessage m;
            m.id = IdOf(f.name);
            m.folder = folder;
            m.flags = folder[0] == 'c' ? FlagsOf(f.name) : std::string();
            m.fileName = std::move(f.name);
            m.modified = f.modified;
            out.push_back(std::move(m));
        }
    }
    std::sort(out.begin(), out.end(), [](const StoredMessage& a, const StoredMessage& b) {
        if (a.modified != b.modified) return a.modified < b.modified;
        if (a.id != b.id) return a.id < b.id;
        return a.folder < b.folder;
    });
    return true;
}

bool Maildir::Locate(const std::string& id, StoredMessage& out) const {
    std::vector<StoredMessage> all;
    if (id.empty() || !List(all)) return false;
    for (StoredMessage& m : all)
        if (m.id == id) {
            out = std::move(m);
            return true;
        }
    return false;
}

FindResult Maildir::FindNext(const std::string& seed, bool unreadOnly, std::string& id) const {
    std::vector<StoredMessage> all;
    if (!List(all)) return FindResult::Failure;
    size_t start = 0;
    if (!seed.empty()) {
        auto it = std::find_if(all.begin(), all.end(), [&](const StoredMessage& m) { return m.id == seed; });
        if (it == all.end()) return FindResult::BadSeed;
        start = size_t(it - all.begin()) + 1;
    }
    for (size_t i = start; i < all.size(); ++i) {
        const StoredMessage& m = all[i];
        if (m.Trashed() || (unreadOnly && m.Seen())) continue;
        // The same message seen twice (mid-move by another process) is reported once.
        if (!seed.empty() && m.id == seed) continue;
        id = m.id;
        return FindResult::Found;
    }
    return FindResult::NoMore;
}

std::string Maildir::PathOf(const StoredMessage& m) const {
    return os::Join(os::Join(m_root, m.folder), m.fileName);
}

bool Maildir::MarkSeen(const StoredMessage& m) const {
    if (m.Seen() && m.folder == "cur") return true;
    std::string flags = m.flags + "S";
    std::sort(flags.begin(), flags.end());
    flags.erase(std::unique(flags.begin(), flags.end()), flags.end());
    std::string target = os::Join(os::Join(m_root, "cur"), Unique(m.fileName) + ":2," + flags);
    return os::RenameFile(PathOf(m), target, false);
}

std::string Maildir::NewUniqueName() const {
    // time.Pn Qn .host - the classic Maildir scheme; the host part is cut so that
    // the name stays a full identifier.
    std::string host;
    for (char c : os::HostName()) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
        host += ok ? c : '_';
    }
    if (host.empty()) host = "localhost";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lld.P%uQ%u.", (long long)os::NowSeconds(), os::ProcessId(), g_deliveries++);
    std::string name = buf;
    if (name.size() + host.size() > kMaxIdLength) host = host.substr(0, kMaxIdLength - name.size());
    return name + host;
}

bool Maildir::Deliver(const std::string& bytes, bool intoCur, const std::string& flags, std::string& id) const {
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::string unique = NewUniqueName();
        std::string tmp = os::Join(os::Join(m_root, "tmp"), unique);
        if (!os::CreateNewFile(tmp, bytes)) {
            if (!os::IsDirectory(os::Join(m_root, "tmp"))) return false;
            continue;   // name taken: try the next counter value
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

} // namespace vxmail
