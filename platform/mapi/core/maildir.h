// A Maildir folder (new/, cur/, tmp/) as Simple MAPI's message store.
//
// Message identifiers are the unique part of the file name (before ':'), so they
// stay the same when the message moves from new/ to cur/ or its flags change.
// Names longer than kMaxIdLength are shortened with a hash so that every
// identifier fits the 64-character buffers of short-identifier callers.
// Messages are ordered by delivery time (the file's modification time), then by
// identifier; FindNext walks that order, whatever the read state of the seed.
//
// A Maildir object keeps its sorted listing between calls (see MaildirIndex):
// FindNext and Locate list a folder only when it changed, so an object that
// lives as long as a session costs the same with ten or ten thousand messages.
// Any number of threads may share one object.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vxmail {

struct StoredMessage {
    std::string id;
    std::string folder;     // "new" or "cur"
    std::string fileName;
    std::string flags;      // Maildir info flags ("S", "RS", ...), sorted
    int64_t modified = 0;   // 100-ns ticks since 1970
    bool Seen() const { return flags.find('S') != std::string::npos; }
    bool Trashed() const { return flags.find('T') != std::string::npos; }
};

enum class FindResult { Found, NoMore, BadSeed, Failure };

class MaildirIndex;

class Maildir {
public:
    static constexpr size_t kMaxIdLength = 63;

    explicit Maildir(std::string root);
    ~Maildir();
    Maildir(const Maildir&) = delete;
    Maildir& operator=(const Maildir&) = delete;
    const std::string& Root() const { return m_root; }

    bool Exists() const;
    bool Create() const;   // the folder and new/, cur/, tmp/

    // Every message of new/ and cur/ in store order, listed now. False when a folder cannot be read.
    bool List(std::vector<StoredMessage>& out) const;
    // The message of an identifier: its file is looked for where the kept listing
    // saw it; the folders are listed (those that changed) only when it is not there.
    bool Locate(const std::string& id, StoredMessage& out) const;

    // The message after the seed (the first when the seed is empty). Trashed
    // messages are skipped; unreadOnly skips those flagged seen.
    FindResult FindNext(const std::string& seed, bool unreadOnly, std::string& id) const;

    std::string PathOf(const StoredMessage& m) const;
    // Adds the seen flag, moving the message from new/ to cur/ ("unique:2,S").
    bool MarkSeen(const StoredMessage& m) const;

    // Writes a new message through tmp/ into new/ (or cur/ with the given flags).
    // beforeMove, when given, is told the file's unique name once it is
    // written in tmp/; false from it drops the file and fails the delivery.
    bool Deliver(const std::string& bytes, bool intoCur, const std::string& flags, std::string& id,
                 const std::function<bool(const std::string&)>& beforeMove = nullptr) const;
    // Replaces the content of an existing message, keeping its name and flags.
    bool Replace(const StoredMessage& m, const std::string& bytes) const;
    bool Remove(const StoredMessage& m) const;
    // Removes what writers of this store that no longer run left in tmp/: a
    // message they were still writing, never delivered. Only names this
    // store gives ("<time>.P<pid>Q<n>.<host>" of this host) are looked at,
    // so other programs' files stay. A file that deliverInstead names (its
    // writer had finished and noted it) is delivered into new/ instead.
    // Returns how many went.
    size_t RemoveAbandonedFiles(const std::function<bool(const std::string&)>& deliverInstead = nullptr) const;

    static std::string IdOf(const std::string& fileName);
    static std::string FlagsOf(const std::string& fileName);
    std::string NewUniqueName() const;
    // This host's name as unique names carry it.
    static std::string NameHost();

    // Folder listings made by this object so far (new/ and cur/ count one each).
    unsigned Listings() const;

private:
    std::string m_root;
    mutable std::mutex m_lock;   // guards the kept listing
    std::unique_ptr<MaildirIndex> m_index;
    mutable unsigned m_plainListings = 0;
};

} // namespace vxmail
