// What a file request asks for, read from the links of its parse: the file to
// send and to whom. Portable: it needs only the links.
#pragma once

#include "request_reading.h"

struct FileReading {
    CString m_strFileName;
    CString m_strRecipient;  // the name the request sends to, not yet translated

    // The test-mode number: 1, +2 a file name.
    int Number() const { return 1 + (m_strFileName.IsEmpty() ? 0 : 2); }
};

// The plug-in's six action rows.
extern const RequestRow kFileRows[];
extern const int kFileRowCount;

// Reads the request around the link at linkIndex. False when the trigger's
// object is no file word and no quoted or bracketed name.
bool ReadFileRequest(int linkIndex, const WordLinkageList* links, FileReading& reading);

extern const PluginRequestReader kParcavoReader;
