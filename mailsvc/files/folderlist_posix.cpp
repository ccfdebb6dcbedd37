#include "files/folderlist.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <cstring>
#include <string>

namespace trellane {

namespace {

// Windows-style name patterns: "*" any run (also none), "?" one character, case
// ignored; "*.*" and "*" match every name.
bool maskMatch(const char* mask, const char* name)
{
    if (std::strcmp(mask, "*.*") == 0 || std::strcmp(mask, "*") == 0) return true;
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*mask == '*') {
            star = ++mask;
            resume = name;
        } else if (*mask == '?' || std::tolower(static_cast<unsigned char>(*mask)) ==
                                       std::tolower(static_cast<unsigned char>(*name))) {
            ++mask;
            ++name;
        } else if (star) {
            mask = star;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*mask == '*') ++mask;
    return *mask == '\0';
}

} // namespace

bool ListFolder(const CString& folder, const char* mask, const std::function<bool(const FolderEntry&)>& visit)
{
    std::string dir(static_cast<LPCTSTR>(folder));
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    while (dirent* ent = readdir(d)) {
        if (std::strcmp(ent->d_name, ".") == 0 || std::strcmp(ent->d_name, "..") == 0) continue;
        if (!maskMatch(mask, ent->d_name)) continue;
        std::string full = dir.empty() ? ent->d_name : dir + "/" + ent->d_name;
        struct stat st, lst;
        if (lstat(full.c_str(), &lst) != 0) continue;
        bool link = S_ISLNK(lst.st_mode);
        bool isDir = S_ISDIR(lst.st_mode) || (link && stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
        FolderEntry e{ent->d_name, isDir, link};
        if (!visit(e)) break;
    }
    closedir(d);
    return true;
}

} // namespace trellane
