// The one seam between the file searcher and the system's folder listing.
#pragma once
#include "fx/fx.h"

#include <functional>

namespace trellane {

#ifdef _WIN32
const char kPathSeparator = '\\';
#else
const char kPathSeparator = '/';
#endif

struct FolderEntry {
    const char* name;
    bool folder;
    bool link;  // a symbolic link or other reparse point
};

// Calls visit for every entry of folder whose name matches mask (the system's
// own wildcard rules: "*.*" is everything, case does not count); stops when
// visit returns false. False when the folder cannot be listed.
bool ListFolder(const CString& folder, const char* mask, const std::function<bool(const FolderEntry&)>& visit);

} // namespace trellane
