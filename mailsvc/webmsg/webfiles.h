// The web folder's files: the attachment copies that web messages own.
#pragma once

#include "fx/fx.h"

namespace webmsg {

// dir + separator + name; "" when no web folder is set or the name would
// leave the folder (so nothing is ever written to or deleted from a root).
CString WebFilePath(const CString& dir, const CString& name);
// Copies source over target; false on failure.
bool CopyWebFile(const CString& source, const CString& target);
// Deletes the file; false when it could not (missing or locked).
bool DeleteWebFile(const CString& path);
// 32 hex digits from the system's random source: the start of a web copy's
// name, so that nobody can guess the name of another user's attachment.
CString NewWebFileTag();
// The name a web copy came with: its stored name ("<tag>-name") after the tag.
CString WebFileOriginalName(const CString& stored);

} // namespace webmsg
