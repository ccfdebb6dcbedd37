// The list of mail alerts: what to look for in new mail and how to notify,
// changed by requests, matched against incoming mail, and kept in the
// settings. Portable: the settings come through AlertStore.
#pragma once

#include "fx/fx.h"

#include <vector>

struct AlertEntry {
    CString m_strSender;  // lower case, empty = any sender
    CString m_strText;    // lower case, empty = any text
    int m_nMethod = 0;    // 0 by mail, 1 on the screen
};

// Where the list is kept: named numbers and texts. A read fails when the
// value is missing.
class AlertStore {
public:
    virtual ~AlertStore() = default;
    virtual bool ReadNumber(const CString& name, int& value) = 0;
    virtual bool ReadText(const CString& name, CString& value) = 0;
    virtual void WriteNumber(const CString& name, int value) = 0;
    virtual void WriteText(const CString& name, const CString& value) = 0;
};

class CAlertList {
public:
    // Alerts kept at most: a stored count past it (a damaged or hostile
    // setting) reads only this many, and requests past it add nothing.
    enum { MAX_ALERTS = 64 };

    // Appends an alert; false when the list is full. An alert equal to one
    // already kept is not added twice (true).
    bool Add(const AlertEntry& entry);
    // Removes, from the last to the first, every alert whose given criteria
    // equal the request's (null: not given); with neither given, all of them.
    // The number removed.
    int Remove(const CString* sender, const CString* text);
    void Clear() { m_Entries.clear(); }

    // The set of notify methods (bit 0: by mail, bit 1: on the screen) of the
    // alerts that match a mail: an alert matches when its sender is empty or
    // occurs in senderKey, and its text is empty or occurs in the mail's text
    // or subject. Case does not matter.
    unsigned Match(const CString& senderKey, const CString& text, const CString& subject) const;

    // Reads "<prefix>NumAlerts" and alert i's "<prefix>AlertWho<i>",
    // "...AlertCtn<i>" and "...AlertMth<i>" from the highest number down.
    // An alert whose two texts are not stored is skipped.
    void Load(AlertStore& store, const char* prefix);
    // Writes the count, then each alert under its index, the last first.
    void Save(AlertStore& store, const char* prefix) const;

    const std::vector<AlertEntry>& Entries() const { return m_Entries; }

private:
    std::vector<AlertEntry> m_Entries;
};
