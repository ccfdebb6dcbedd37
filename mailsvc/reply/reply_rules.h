// The rules by which an answer chooses its road, kept apart from the
// delivery so they are checked natively as well.
#pragma once

#include "fx/fx.h"

namespace reply {

enum : int {
    kModeMail = 0,
    kModeDesktop = 1,
    kModeWeb = 2,
    kModeWebUser = 9,
};

// The requester decides before the caller's choice: "Current User" (whole
// text, exact case) is the person at the desktop; a requester that begins
// with "Web Request" came from the web pages.
int DeliveryMode(const CString& to, int mode);

// The web user an answer of mode 2 or 9 goes to: what follows "Web Request"
// (mode 2) or the whole requester (mode 9). Empty when there is none.
CString WebUser(const CString& to, int mode);

// Name of an attachment's copy in the web folder: tag, "-", the file's
// name and extension ("<tag>-pic.jpg").
CString WebCopyName(const CString& tag, const CString& path);

} // namespace reply
