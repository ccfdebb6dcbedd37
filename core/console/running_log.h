// The running log g_strLog is written by the GUI thread and by the web
// server's thread. Appends and the transfer into the log file go through
// one lock, and a transfer removes only the text it wrote, so a line
// appended meanwhile is neither torn nor lost.
#pragma once

#include "fx/fx.h"

#include <mutex>

extern CString g_strLog;

namespace runlog {

// The lock that every append and the transfer hold.
std::recursive_mutex& Lock();

// Appends text to g_strLog under the lock.
void Append(const CString& text);

// Appends what g_strLog holds to the end of the file at path (created when
// missing) and removes exactly that text from g_strLog. The written text goes
// to *chunk. False, with g_strLog unchanged, when there was nothing to write
// or the file could not be opened or written.
bool Transfer(const CString& path, CString* chunk);

// Before a new session: what has accumulated goes to the file first, then
// the buffer is emptied.
void FlushAndClear(const CString& path);

}  // namespace runlog
