// Replacing one installed file by its "_" copy, keeping the previous version in "backup".
#include "lindrow.h"

#include <windows.h>

namespace lindrow {

namespace {

const char kBackupFolder[] = "backup";

// A name the list or the user gave that cannot stand for a file with a separate "_" copy.
bool IsUsableName(const std::string& name) {
    if (name.empty() || name.back() == '_') return false;  // the "_" copy would be the file itself
    for (unsigned char c : name)
        if (c < 0x20) return false;  // control bytes (a NUL would cut the name short)
    return true;
}

// The ANSI file calls take full paths of fewer than MAX_PATH characters.
bool FitsPathLimit(const std::string& relative) {
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(relative.c_str(), MAX_PATH, full, nullptr);
    return n != 0 && n < MAX_PATH;
}

bool GetFileInfo(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& info) {
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info) != 0;
}

} // namespace

CopyResult CopyOne(const std::string& name, bool skipTimeCheck) {
    if (!IsUsableName(name)) {
        Say("Invalid file name.");
        return CopyResult::NotReplaced;
    }
    const std::string backup = std::string(kBackupFolder) + "\\" + name;
    if (!FitsPathLimit(name) || !FitsPathLimit(backup)) {
        Say("File name too long.");
        return CopyResult::NotReplaced;
    }
    CreateDirectoryA(kBackupFolder, nullptr);  // an existing folder is fine

    std::string newCopy = name;
    newCopy.back() = '_';
    WIN32_FILE_ATTRIBUTE_DATA newInfo;
    if (!GetFileInfo(newCopy, newInfo) || (newInfo.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Say("Error accessing file");
        return CopyResult::NotReplaced;
    }

    WIN32_FILE_ATTRIBUTE_DATA curInfo;
    bool backedUp = false;
    if (GetFileInfo(name, curInfo)) {
        if (!skipTimeCheck && CompareFileTime(&curInfo.ftLastWriteTime, &newInfo.ftLastWriteTime) >= 0) {
            Say("Current file is newer.");
            return CopyResult::NotReplaced;
        }
        // The older backup gives way, even when it kept a read-only attribute from the
        // installation (else every later update of this file would fail); a backup that
        // still cannot go shows as a failed move below.
        SetFileAttributesA(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(backup.c_str());
        if (!MoveFileA(name.c_str(), backup.c_str())) {
            Say("Error moving file to backup; file left as it was.");
            return CopyResult::Failed;
        }
        backedUp = true;
    }

    if (!MoveFileA(newCopy.c_str(), name.c_str())) {
        // Never leave the program without the file: put the previous version back.
        if (!backedUp) {
            Say("Error renaming new file into place.");
        } else if (MoveFileA(backup.c_str(), name.c_str())) {
            Say("Error renaming new file into place; previous version restored.");
        } else {
            Say("Error renaming new file into place; previous version is in backup.");
        }
        return CopyResult::Failed;
    }
    return CopyResult::Replaced;
}

} // namespace lindrow
