#include "answered_request.h"

#include "files/fileutil.h"
#include "plugin_interface.h"

#include <windows.h>

namespace {

// Identifier, subject and sender: a note longer than this is not the host's.
const DWORD kMaxNote = 4096;

} // namespace

CString AnsweredRequestID(int interfaceMode)
{
    if (interfaceMode != MODE_EMAIL)
        return CString();
    CString path = GetModulePath() + "\\Answering.txt";
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return CString();
    char text[kMaxNote + 1] = {};
    DWORD read = 0;
    BOOL ok = ::ReadFile(h, text, kMaxNote, &read, nullptr);
    ::CloseHandle(h);
    if (!ok)
        return CString();
    text[read] = 0;
    return RequestIDFromNote(text);
}
