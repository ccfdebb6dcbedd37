// The web version check: fetches the version file from the update host into
// the program folder, and offers the update in a notice window when files
// listed there are newer than the installed ones.
#pragma once

#include "fx/fxwin.h"

// Steps after the check time is stored: download "WebVersion.txt", read it,
// and show the notices. Returns 1 when the update notice was shown.
int RunWebVersionCheck(const CString& folder, const CString& host);
