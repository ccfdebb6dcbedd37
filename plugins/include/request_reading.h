// What a plug-in reads from a parsed request, portable so that the phrasing
// table runs natively and under Wine alike: the plug-in's action rows (trigger
// word and link label, as its rows list them) and the function that reads the
// request around a link that matched one of them.
#pragma once

#include "word_linkage.h"

#include <vector>

struct RequestReading {
    CString m_strReading;    // the plug-in's own reading, as its table rows write it
    CString m_strFilters;    // filters the request names (sender, mask, criteria...)
    CString m_strRecipient;  // the name the answer goes to, not yet translated
};

struct RequestRow {
    const char* word;   // trigger word, as the plug-in's rows give it ("send.v")
    const char* label;  // link label the row matches ("O*n")
};

struct PluginRequestReader {
    const char* name;          // the plug-in's name ("Relvane")
    const RequestRow* rows;
    int rowCount;
    // True when the request around the link at linkIndex (which matched row
    // rowIndex) is this plug-in's; fills reading.
    bool (*read)(int rowIndex, int linkIndex, const std::vector<WordLinkage>* links, RequestReading& reading);
};
