// The services of this folder that need Windows itself.
#include "files/fileutil.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <vector>

namespace {

// The shell-link object and its two interfaces.
const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// A handler that keeps re-posting messages (or a window that never validates
// its paint area) must not keep the pump going for ever.
const int kMaxMessagesPerCall = 10000;

} // namespace

CString GetModulePath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return CString();
        if (n < buffer.size()) break;
        if (buffer.size() >= 32768) return CString();
        buffer.resize(buffer.size() * 2);
    }
    CString path = buffer.data();
    int sep = path.ReverseFind('\\');
    return sep < 0 ? CString() : path.Left(sep);
}

CString GetTempZipFile()
{
    char folder[MAX_PATH + 1] = {0};
    DWORD n = GetTempPathA(sizeof(folder), folder);
    if (n == 0 || n >= sizeof(folder)) return CString();
    char name[MAX_PATH] = {0};
    if (GetTempFileNameA(folder, "ZLM", 0, name) == 0) return CString();
    DeleteFileA(name);
    CString result;
    result.Format("%s\\%s.zip", static_cast<LPCTSTR>(GetPath(name)), static_cast<LPCTSTR>(GetFileName(name)));
    return result;
}

CString ExpandShortcut(CString& shortcut)
{
    if (shortcut.IsEmpty()) return CString();
    CString result;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA,
                                reinterpret_cast<void**>(&link))) || !link)
        return result;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(kPersistFile, reinterpret_cast<void**>(&file))) && file) {
        int wide = MultiByteToWideChar(CP_ACP, 0, shortcut, -1, nullptr, 0);
        if (wide > 0) {
            std::vector<WCHAR> path(static_cast<size_t>(wide));
            MultiByteToWideChar(CP_ACP, 0, shortcut, -1, path.data(), wide);
            if (SUCCEEDED(file->Load(path.data(), STGM_READ))) {
                char target[MAX_PATH + 1] = {0};
                if (SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY))) {
                    target[MAX_PATH] = '\0';
                    result = target;
                }
            }
        }
        file->Release();
    }
    link->Release();
    return result;
}

void ProcessMessages(int message)
{
    MSG msg;
    for (int n = 0; n < kMaxMessagesPerCall && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (message == 0) break;
        if (message > 0 && msg.message == static_cast<UINT>(message)) break;
    }
}
