// What a listing request asks for, read from the links of its parse: files
// or folders, from which folder, matching which mask. Portable: it needs
// only the links.
#pragma once

#include "request_reading.h"

struct ListingReading {
    int m_nFolders = 1;  // 1 = list folders, 0 = list files
    CString m_strStartFolder = "\\";
    bool m_bStartGiven = false;
    CString m_strMask = "*.*";

    // The test-mode number: 1, +2 files, +4 a start folder.
    int Number() const { return 1 + (m_nFolders ? 0 : 2) + (m_bStartGiven ? 4 : 0); }
};

// The plug-in's six action rows.
extern const RequestRow kListingRows[];
extern const int kListingRowCount;

// Reads the request around the link at linkIndex. False when the trigger's
// object is no listing word, or when no "FOL" link names the kind of thing
// to list (a list of anything else belongs to another plug-in).
bool ReadListingRequest(int linkIndex, const WordLinkageList* links, ListingReading& reading);

extern const PluginRequestReader kListavoReader;
