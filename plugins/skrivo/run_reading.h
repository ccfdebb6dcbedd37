// What a run request asks for, read from the links of its parse: the program
// (or batch file) to run and its parameters. Portable: it needs only the links.
#pragma once

#include "request_reading.h"

struct RunReading {
    CString m_strProgram;
    CString m_strParameters;

    // The test-mode number: 1, +2 a program name, +4 parameters.
    int Number() const { return 1 + (m_strProgram.IsEmpty() ? 0 : 2) + (m_strParameters.IsEmpty() ? 0 : 4); }
};

// The plug-in's four action rows.
extern const RequestRow kRunRows[];
extern const int kRunRowCount;

// Reads the request around the link at linkIndex. False when the trigger's
// object is no program word and no quoted or bracketed name.
bool ReadRunRequest(int linkIndex, const WordLinkageList* links, RunReading& reading);

// True when a program or file name holds a wildcard: such a name could run
// (or send) whatever happens to match it, so it is refused.
bool HasWildcard(const CString& name);

extern const PluginRequestReader kSkrivoReader;
