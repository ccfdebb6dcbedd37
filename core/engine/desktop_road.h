// The desktop road: a request typed into the desktop toolbar, with the file
// dropped on it, run as a request of the person at the computer ("Current
// User"), so every answer is shown as a message window on the desktop.
#pragma once

#include "fx/fx.h"

#define DESKTOP_REQUESTER "Current User"
#define DESKTOP_SUBJECT "Appbar request {vndLocalReq}"

// While one lives, the process runs at high priority; nested ones only count.
class CPriorityBoost {
public:
    CPriorityBoost();
    ~CPriorityBoost();
    CPriorityBoost(const CPriorityBoost&) = delete;
    CPriorityBoost& operator=(const CPriorityBoost&) = delete;

    static int Nesting();
};

// One pass of a desktop request (pass 1 tentative, 0 final). Nonzero when an
// action, a local word or the help listing handled it. Local words are
// tested only on the final pass and only when nothing else handled the text.
int ProcessLocalRequest(CString* text, CString* file, int mode, int shortReply, int pass);

// Both passes of one desktop request under one hold of the request lock, so a
// request of the web server cannot slip in between them and a lock held
// elsewhere is not taken for "not understood".
enum DesktopRequestResult { DESKTOP_NOT_HANDLED = 0, DESKTOP_HANDLED = 1, DESKTOP_BUSY = 2 };
DesktopRequestResult RunDesktopRequest(const CString& text, const CString& file);
