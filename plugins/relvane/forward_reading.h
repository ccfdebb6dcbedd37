// What a forward request asks for, read from the links of its parse: whether
// it is this plug-in's request at all, unread only or all, with or without
// attachments, from which sender, to whom. Portable: it needs only the links.
#pragma once

#include "request_reading.h"
#include "word_linkage.h"

struct ForwardReading {
    CString m_strObject;      // the word the trigger word is linked to
    int m_nNewOnly = 1;       // 1 = unread messages only
    int m_nAttachments = 1;   // 1 = forward attachments
    CString m_strSenderFilter;
    CString m_strMessageID;   // set when the filter is "MID" + identifier
    CString m_strRecipient;   // the name the request sends to, not yet translated

    // The test-mode number: 1, +2 unread only, +4 no attachments, +8 a sender filter.
    int Number() const
    {
        return 1 + (m_nNewOnly ? 2 : 0) + (m_nAttachments ? 0 : 4) + (m_strSenderFilter.IsEmpty() ? 0 : 8);
    }
};

// Reads the request around the link at linkIndex. triggerWords are the
// plug-in's rows' trigger words. False when the request is not for this
// plug-in: the trigger's object is no mail word, or the request asks for a
// summary. defaultNew and defaultAttach are the settings' defaults.
bool ReadForwardRequest(const char* const* triggerWords, int triggerCount, int linkIndex,
                        const WordLinkageList* links, int defaultNew, int defaultAttach, ForwardReading& reading);

// The plug-in's action rows: the module's rows and the phrasing table's reader
// are both built from these.
inline constexpr RequestRow kForwardRows[] = {
    {"send.v", "O*n"}, {"send.v", "Opn"}, {"send.v", "Op"}, {"show", "O*n"},  {"show", "Opn"},  {"show", "Op"},
    {"what", "O*n"},   {"what", "Opn"},   {"what", "Op"},   {"which", "O*n"}, {"which", "Opn"}, {"which", "Op"},
};
inline constexpr int kForwardRowCount = static_cast<int>(sizeof(kForwardRows) / sizeof(kForwardRows[0]));

// The request read with the default settings (unread only, with attachments):
// reading = the test-mode number, filters = the sender filter.
extern const PluginRequestReader kRelvaneReader;
