// The requests taken from the mail box and not yet carried out: marked read
// as soon as they are seen, so that an action working through unread mail
// (a forward, a summary, a listing) never takes them for the user's mail,
// and kept on disk until the engine starts on them, so that a run that ends
// in between loses none of them.
#pragma once

#include "fx/fx.h"

#include <vector>

class CPendingRequests {
public:
    enum {
        MAX_PENDING = 1000,   // more wait unread in the box for a later round
        MAX_ID_LENGTH = 511,  // a message identifier of Simple MAPI's long form
        MAX_ATTEMPTS = 3,     // starts on one request before it is given up
    };

    // Where the list is kept (empty: in memory only); the list kept there by
    // an earlier run is read, and a half-written copy of it removed.
    void Open(const CString& path);
    bool IsOpen() const { return m_bOpen; }

    bool Contains(const CString& id) const;
    // Notes the identifier on disk; false when it could not be noted (full,
    // or the disk refused), and then the request must be left in the box.
    bool Add(const CString& id);
    void Remove(const CString& id);
    bool IsEmpty() const { return m_ids.empty(); }
    CString Front() const { return m_ids.empty() ? CString() : m_ids.front(); }
    int GetCount() const { return static_cast<int>(m_ids.size()); }
    // The engine starts on a request: its attempts so far go up by one (it
    // is added when missing) and are noted on disk. Returns the new count.
    int Begin(const CString& id);
    // How often the engine started on it (0: not yet, or not listed).
    int Attempts(const CString& id) const;

private:
    bool Save() const;
    int IndexOf(const CString& id) const;

    CString m_path;
    bool m_bOpen = false;
    std::vector<CString> m_ids;
    std::vector<int> m_attempts;   // beside m_ids
};
