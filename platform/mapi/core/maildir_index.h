// The sorted listing of a Maildir kept between calls, so that finding and
// reading a message does not list a large box again and again.
//
// The listing is kept incrementally: an ordered set in store order, a hash from
// identifier to its messages and one from file name to entry per folder. A
// folder listed again is merged by its difference (files that came, went or
// changed), so a call costs the listing of the folders that changed plus the
// few entries that moved, never a sort or a copy of the whole box.
//
// A folder is listed again only when its modification time changed. File
// systems stamp a folder coarsely (a clock tick, up to two seconds on some),
// so a second change within the same tick leaves the time as it was: a listing
// is trusted only once its folder has been quiet for kSettleTicks. Until then
// every call lists the folder again, as a store without the kept listing does
// (new mail lands in the small new/, so that is cheap where it matters).
// A move made through this store (marking a message seen) updates the listing
// in place; the folders it touched are looked at once more when they have
// settled, in case another program changed them between our look at the
// folder's time and the move, or within the move's time stamp: nothing but a
// listing can tell such a change from our own. That look reads the names only.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "maildir.h"

namespace vxmail {

// Store order: delivery time (the file's modification time), then identifier, then folder.
bool StoreOrder(const StoredMessage& a, const StoredMessage& b);
// The messages of one folder ("new" or "cur") of the store at root, unsorted.
bool ListFolder(const std::string& root, const char* folder, std::vector<StoredMessage>& out);

class MaildirIndex {
public:
    static constexpr int64_t kSettleTicks = 2 * 10000000LL;   // 2 s in 100-ns ticks

    explicit MaildirIndex(std::string root) : m_root(std::move(root)) {}
    MaildirIndex(const MaildirIndex&) = delete;
    MaildirIndex& operator=(const MaildirIndex&) = delete;

    // Lists again the folders that changed (or may have). False when a folder cannot be read.
    bool Refresh();
    // The first message of an identifier in store order, as of the last Refresh; null when none.
    const StoredMessage* Find(const std::string& id) const;
    // The message following `after` in store order (the first when null), skipping
    // trashed messages and, with unreadOnly, those flagged seen. Null at the end.
    const StoredMessage* Next(const StoredMessage* after, bool unreadOnly) const;
    // Which folders Refresh would keep as they are (bit 0 new/, bit 1 cur/).
    unsigned CurrentFolders();
    // A message this store moved (marked seen): `was` takes its new place `now`.
    // `current` is CurrentFolders() just before the move: the listings of those
    // folders take the move in without being listed again.
    void Moved(const StoredMessage& was, const StoredMessage& now, unsigned current);
    // Folder listings made so far (new/ and cur/ count one each).
    unsigned Listings() const { return m_listings; }

private:
    // Store order, with the file name last so that every file has a place of its own.
    struct Before {
        bool operator()(const StoredMessage& a, const StoredMessage& b) const;
        bool operator()(const StoredMessage* a, const StoredMessage* b) const { return (*this)(*a, *b); }
    };
    using Entries = std::set<StoredMessage, Before>;
    using Entry = Entries::const_iterator;
    struct File {
        Entry entry;
        unsigned pass;   // the last listing that saw it
    };
    enum class State { Unlisted, Recent, Settled, Patched };
    struct Folder {
        const char* name;
        State state = State::Unlisted;
        int64_t stamp = 0;   // the folder's modification time the listing belongs to
        std::unordered_map<std::string, File> files;   // by file name
    };

    bool NeedsListing(const Folder& f, int64_t modified, int64_t now) const;
    // A folder listed again, taken in by its difference. False when it cannot be read.
    bool Relist(Folder& f);
    // The cheaper look at a folder that only this store's moves are known to have changed.
    bool Recheck(Folder& f);
    // Drops the folder's files the listing `pass` did not see and takes in those that arrived.
    void Apply(Folder& f, unsigned pass, std::vector<StoredMessage>& arrived);
    void Insert(Folder& f, StoredMessage m);
    void Erase(Entry e);   // leaves the folder's file map to the caller
    Folder* FolderNamed(const std::string& name);

    std::string m_root;
    Folder m_folders[2] = {{"new", State::Unlisted, 0, {}}, {"cur", State::Unlisted, 0, {}}};
    Entries m_entries;
    std::set<const StoredMessage*, Before> m_visible;   // not trashed
    std::set<const StoredMessage*, Before> m_unread;    // not trashed, not seen
    // Usually one message per identifier; two while another program moves one.
    std::unordered_map<std::string, std::vector<const StoredMessage*>> m_byId;
    unsigned m_pass = 0;
    unsigned m_listings = 0;
};

} // namespace vxmail
