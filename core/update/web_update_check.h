// The web version check: fetches the version file from the update host into
// the program folder, and offers the update in a notice window when files
// listed there are newer than the installed ones.
#pragma once

#include "fx/fxwin.h"

// How a check ended. A site that could not be reached, refused the version
// file or sent something that is not one is no answer at all: only a real
// version file with nothing newer in it means the program is up to date.
enum class WebCheckResult { CouldNotCheck, UpToDate, UpdateOffered };

// Steps after the check time is stored: download "WebVersion.txt", read it,
// and show the notices.
WebCheckResult RunWebVersionCheck(const CString& folder, const CString& host);

// The answer to a check the user asked for: a message box unless the update
// notice is already on the screen.
void ReportWebCheck(WebCheckResult result);

extern const char kUpToDateText[];
extern const char kCouldNotCheckText[];
