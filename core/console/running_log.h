// The running log g_strLog is written by the GUI thread and by the web
// server's thread. The web thread's writers (request processing and the
// plug-ins, which append through the pointer they were handed) hold the
// request lock, so the lock of the log is that same lock: every other writer
// and the transfer into the log file go through the functions below, which
// take it. A transfer removes only the text it wrote, so a line appended
// meanwhile is neither torn nor lost.
#pragma once

#include "fx/fx.h"

#include <mutex>

extern CString g_strLog;

namespace runlog {

// The lock of the log: the process-wide request lock (request_lock.h).
std::recursive_timed_mutex& Lock();

// Appends text to g_strLog. Never waits: while another thread holds the lock
// the text is kept aside, in order, and joins the log the next time the lock
// is taken here (by an append, a transfer or a clear).
void Append(const CString& text);

// Appends what g_strLog holds to the end of the file at path (created when
// missing) and removes exactly that text from g_strLog. The written text goes
// to *chunk. False, with g_strLog unchanged, when there was nothing to write,
// the file could not be opened or written, or the lock stayed busy for
// waitMs milliseconds (the caller tries again later).
bool Transfer(const CString& path, CString* chunk, int waitMs = 50);

// Before a new session: what has accumulated goes to the file first, then
// the log is emptied. False when the lock stayed busy (the log then keeps
// its text for the next transfer).
bool FlushAndClear(const CString& path, int waitMs = 200);

}  // namespace runlog
