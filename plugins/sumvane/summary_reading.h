// What a summary request asks for, read from the links of its parse: whether
// it is a summary of mail at all, unread only or all, from which sender, to
// whom. Portable: it needs only the links.
#pragma once

#include "request_reading.h"

struct SummaryReading {
    int m_nNewOnly = 1;  // 1 = unread messages only
    CString m_strSenderFilter;
    CString m_strRecipient;  // the name the request sends to, not yet translated

    // The test-mode number: 1, +2 unread only, +4 a sender filter.
    int Number() const { return 1 + (m_nNewOnly ? 2 : 0) + (m_strSenderFilter.IsEmpty() ? 0 : 4); }
};

// The plug-in's twelve action rows.
extern const RequestRow kSummaryRows[];
extern const int kSummaryRowCount;

// Reads the request around the link at linkIndex. False when it is not a
// summary of mail. defaultNew is the "DefaultNew" setting.
bool ReadSummaryRequest(int linkIndex, const WordLinkageList* links, int defaultNew, SummaryReading& reading);

extern const PluginRequestReader kSumvaneReader;
