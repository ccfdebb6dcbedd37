#include "picture_files.h"
#include "wait_dialog.h"

#include <io.h>

CString FreshPictureFile(const CString& installDir)
{
    CString dir = installDir;
    if (!dir.IsEmpty() && dir.Right(1) == "\\")
        dir = dir.Left(dir.GetLength() - 1);
    dir += "\\Temporary Files";
    ::CreateDirectoryA(dir, nullptr);
    static unsigned s_counter = 0;
    // Bounded: a folder with this many leftovers gets the last name tried.
    CString path;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        path.Format("%s\\SP_4rw51-%lu-%u.bmp", (LPCTSTR)dir, ::GetCurrentProcessId(), ++s_counter);
        if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    return path;
}

bool TakeCameraPicture(const CString& cameraPicture, const CString& target, DWORD timeoutMs)
{
    ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (_access(cameraPicture, 6) != 0) {
        if (::GetTickCount64() >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        PumpThreadMessages(1000);
    }
    ::DeleteFileA(target);
    return ::CopyFileA(cameraPicture, target, TRUE) != 0;
}
