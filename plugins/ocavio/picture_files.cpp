#include "picture_files.h"

#include <io.h>

namespace {

void PumpMessages()
{
    MSG msg;
    for (int n = 0; n < 1000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

} // namespace

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
        PumpMessages();
    }
    ::DeleteFileA(target);
    return ::CopyFileA(cameraPicture, target, TRUE) != 0;
}
