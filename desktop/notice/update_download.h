// The web update's download: every listed file fetched from the update host
// under its "_" name, checked and decompressed in place, the copier replaced
// at once, the other names listed for it, and the copier started.
#pragma once

#include "fx/fxwin.h"

// The update site's host, from the profile value "kVUpdateHost" (section
// "Korvaneant1"); "host:port" is allowed, so tests point it at a local server.
CString UpdateHostName();

// Runs the download and starts the copier. False at the first failure: then
// nothing more is fetched or written and the copier is not started (names
// already listed stay listed; a copier already replaced stays replaced).
// failedName receives the name that failed, when a name did.
bool RunUpdateDownload(const CString& folder, const CStringArray& names, const CString& host,
                       CString* failedName = nullptr);

// Decompresses the downloaded file at path in place. Only a complete ZLComp
// stream is accepted: anything without the format's header (an error page a
// server sent with status 200, say) or a damaged stream leaves false and the
// file is deleted.
bool DecompressInPlace(const CString& path);
