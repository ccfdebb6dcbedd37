// The sorted listing of a Maildir kept between calls, so that finding and
// reading a message does not list a large box again and again.
//
// A folder is listed again only when its modification time changed. File
// systems stamp a folder coarsely (a clock tick, up to two seconds on some),
// so a second change within the same tick leaves the time as it was: a listing
// is trusted only once its folder has been quiet for kSettleTicks. Until then
// every call lists the folder again, as a store without the kept listing does.
// A move made through this store (marking a message seen) updates the listing
// in place; the folders it touched are listed once more when they have settled,
// in case another program changed them within the same tick.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "maildir.h"

namespace vxmail {

// Store order: delivery time (the file's modification time), then identifier.
bool StoreOrder(const StoredMessage& a, const StoredMessage& b);
// The messages of one folder ("new" or "cur") of the store at root, unsorted.
bool ListFolder(const std::string& root, const char* folder, std::vector<StoredMessage>& out);

class MaildirIndex {
public:
    static constexpr int64_t kSettleTicks = 2 * 10000000LL;   // 2 s in 100-ns ticks

    explicit MaildirIndex(std::string root) : m_root(std::move(root)) {}

    // Lists again the folders that changed (or may have). False when a folder cannot be read.
    bool Refresh();
    // Every message in store order, as of the last Refresh.
    const std::vector<StoredMessage>& Messages() const { return m_messages; }
    // Position of the first message with this identifier in Messages(), or -1.
    long PositionOf(const std::string& id) const;
    // Which folders Refresh would keep as they are (bit 0 new/, bit 1 cur/).
    unsigned CurrentFolders();
    // A message this store moved (marked seen): its entry takes the new place.
    // `current` is CurrentFolders() just before the move: the listings of those
    // folders take the move in without being listed again.
    void Moved(const StoredMessage& now, unsigned current);
    // Folder listings made so far (new/ and cur/ count one each).
    unsigned Listings() const { return m_listings; }

private:
    enum class State { Unlisted, Recent, Settled, Patched };
    struct Folder {
        const char* name;
        State state = State::Unlisted;
        int64_t stamp = 0;   // the folder's modification time the listing belongs to
        std::vector<StoredMessage> messages;
    };
    bool NeedsListing(const Folder& f, int64_t modified, int64_t now) const;
    void Rebuild();

    std::string m_root;
    Folder m_folders[2] = {{"new", State::Unlisted, 0, {}}, {"cur", State::Unlisted, 0, {}}};
    std::vector<StoredMessage> m_messages;
    std::unordered_map<std::string, size_t> m_positions;
    unsigned m_listings = 0;
};

} // namespace vxmail
