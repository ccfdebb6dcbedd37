// The few operating-system services the mail store needs. One implementation per
// platform (POSIX for the host build, Win32 for the DLL); paths are native.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "mail_date.h"

namespace vxmail::os {

struct FileEntry {
    std::string name;
    int64_t modified = 0;   // 100-ns ticks since 1970 (finer than seconds where the file system has it)
};

extern const char kPathSeparator;
std::string Join(const std::string& dir, const std::string& name);

// Regular files of a folder (no "." entries, no folders). False when it cannot be read.
bool ListFiles(const std::string& dir, std::vector<FileEntry>& out);
// Names of a folder's entries without looking at each file (no times): much
// cheaper in a large folder. Entries known to be folders are left out; others
// of unknown kind may be in. False when the folder cannot be read.
bool ListNames(const std::string& dir, std::vector<std::string>& out);
bool IsDirectory(const std::string& path);
// Last-write time of a file or folder (100-ns ticks since 1970). False when it does not exist.
bool ModifiedTime(const std::string& path, int64_t& ticks);
bool MakeDirectory(const std::string& path);   // true when it exists afterwards
// Reads at most limit bytes; false when the file cannot be opened or read.
bool ReadFile(const std::string& path, std::string& out, size_t limit);
// Creates a new file (fails when it exists), writes and flushes it.
bool CreateNewFile(const std::string& path, const std::string& bytes);
// Moves a file; replace=false fails when the target exists.
bool RenameFile(const std::string& from, const std::string& to, bool replace);
bool RemoveFile(const std::string& path);

int64_t NowSeconds();
// Local civil time of a UTC instant, and its offset from UTC in seconds.
CivilTime LocalTime(int64_t utcSeconds, int* offsetSeconds = nullptr);
// The UTC instant of a local civil time.
int64_t FromLocalTime(const CivilTime& local);
std::string HostName();
unsigned ProcessId();
// Whether a process of this id runs now (on this machine).
bool ProcessRunning(unsigned pid);

} // namespace vxmail::os
