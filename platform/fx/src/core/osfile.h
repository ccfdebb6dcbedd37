// The seam between CFile and the operating system: one implementation for
// Win32 (osfile_win32.cpp) and one for POSIX hosts (osfile_posix.cpp).
// Every call reports failure with an OS error code (GetLastError / errno).
#pragma once

#include "fx/file.h"

namespace fx::os {

// The check CFile and CStdioFile make before opening: true for a null or empty
// name, which never reaches the system; error (when given) then reports badPath.
bool RejectEmptyName(LPCTSTR name, CFileException* error);

struct FileTimes {
    time_t created, modified, accessed;
};

// The last error of the calling thread.
LONG LastError();

// Opens with CFile's open flags; hFileNull on failure.
UINT_PTR Open(LPCTSTR name, UINT flags);
bool Close(UINT_PTR h);
// Bytes read into buffer; -1 on failure.
long Read(UINT_PTR h, void* buffer, UINT count);
// Bytes written; -1 on failure.
long Write(UINT_PTR h, const void* buffer, UINT count);
// New position, or -1 on failure. from is CFile::begin/current/end.
long long Seek(UINT_PTR h, long long offset, UINT from);
bool SetLength(UINT_PTR h, DWORD length);
bool Flush(UINT_PTR h);

// Absolute form of a path (the name itself when it cannot be made absolute).
CString FullPath(LPCTSTR name);
bool Remove(LPCTSTR name);
bool Rename(LPCTSTR oldName, LPCTSTR newName);
// Size, CFile::Attribute bits and times of a named file or folder.
bool Status(LPCTSTR name, long long& size, BYTE& attributes, FileTimes& times);

} // namespace fx::os
