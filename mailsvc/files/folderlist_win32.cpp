#include "files/folderlist.h"

#include <cstring>

namespace trellane {

bool ListFolder(const CString& folder, const char* mask, const std::function<bool(const FolderEntry&)>& visit)
{
    CString pattern = folder;
    int n = pattern.GetLength();
    if (n == 0 || (pattern[n - 1] != '\\' && pattern[n - 1] != '/')) pattern += '\\';
    pattern += mask;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    do {
        if (std::strcmp(fd.cFileName, ".") == 0 || std::strcmp(fd.cFileName, "..") == 0) continue;
        FolderEntry e{fd.cFileName, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                      (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0};
        if (!visit(e)) break;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return true;
}

} // namespace trellane
