// A notice that stays up while a long change runs (the desktop toolbar's
// rebuild): shown at once, and left to its auto-close timer only after the
// returned call says the work is done.
#pragma once

#include "fx/fxwin.h"

#include <functional>

// The window manager owns the notice. Returns an empty call when the window
// could not be made; the call is harmless once the user has closed the notice.
std::function<void()> ShowWaitNotice(const CString& text);
