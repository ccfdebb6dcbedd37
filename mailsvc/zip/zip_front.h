// Creating, extracting and listing zip archives through our zip and unzip
// libraries (ZLMZip.dll, ZLMUnzip.dll), loaded when first needed.
// Passwords are handed in the scrambled text form of the settings.
// Process-wide state without a lock: one thread at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "fx/fx.h"
#include "fx/time.h"

// One listed member of an archive.
struct ArchiveEntry {
    CString name;
    bool encrypted = false;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    CTime time;  // local time, to the minute
};

// Loads the unzip library (which = 1) or the zip library (which = 0): found by
// the system's search or else in directory, and only with the expected
// version resource. 1 when it is loaded (now or before), else 0.
int LoadZipDLL(int which, const char* directory);

// Adds file (a name or pattern) to zipFile, encrypted when the unscrambled
// password is not empty. 1 when the archive was written; 0 when the library
// is missing, the password is longer than 63 characters or the archive could
// not be made (the archive is then left as it was).
int ZLMZip(const char* zipFile, const char* file, const char* password, const char* directory);

// Extracts the members named by file (a name or pattern; null or "" for all)
// into extractFolder. 1 when every member was extracted; 0 when the library is
// missing, the password is too long, or a member was refused or failed.
int ZLMUnzip(const char* zipFile, const char* file, const char* password, const char* extractFolder,
             const char* directory);

// Appends one entry per member to entries. 1 when the archive was listed; 0
// when the library is missing or the archive cannot be read.
int ZLMGetZipListing(const char* zipFile, std::vector<ArchiveEntry>* entries, const char* directory);

// The steps of LoadZipDLL, on their own:
// full path of name by the system's search, else directory\name when it exists; "" when neither.
CString FindZipLibrary(const char* name, const char* directory);
// 1 when the file's version resource has the file version version and the
// company name of our zip libraries (both compared without regard to case).
int CheckZipLibraryVersion(const char* path, const char* version);
