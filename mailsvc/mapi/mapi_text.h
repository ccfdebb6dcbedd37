// Owned texts and buffers of the MAPI entries (internal to the mail classes).
#pragma once

#include "fx/fx.h"

namespace zlmmapi {

// Releases field and stores a copy of text; an empty text leaves null.
// 0, or 99 when the copy cannot be allocated (the field is then null).
ULONG CopyText(LPSTR& field, const char* text);
void FreeText(LPSTR& field);
// A null field reads as an empty text.
inline CString ReadText(const char* field) { return CString(field); }

// Releases *id and stores a copy of size bytes (none for 0 or a null source).
ULONG CopyBytes(LPVOID& id, ULONG& idSize, const void* source, ULONG size);
void FreeBytes(LPVOID& id, ULONG& idSize);

} // namespace zlmmapi
