// Calling interface of our zip library (ZLMZip.dll) and unzip library
// (ZLMUnzip.dll), which the shared library loads at run time. Both sides use
// this one header: the records, callbacks and entry points are fixed; which
// archives the libraries write and read is theirs to decide.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

extern "C" {

// ---- callbacks, supplied by the caller ---------------------------------------

// A message of the library: text and its length; returns the length shown.
typedef int(WINAPI* ZLMPrintCallback)(LPSTR text, unsigned long length);
typedef void(WINAPI* ZLMSoundCallback)(void);
// An existing file is about to be replaced: non-zero replaces it, 0 keeps it.
typedef int(WINAPI* ZLMReplaceCallback)(LPSTR path);
// Asks for the password of a member (unzip) or of the archive (zip): the
// callback copies it into buffer (size bytes, terminating zero included) and
// returns 0 when a password was entered.
typedef int(WINAPI* ZLMPasswordCallback)(LPSTR buffer, int size, LPCSTR prompt, LPCSTR name);
// One listed member: sizes, compression factor (per cent saved), month, day,
// two-digit year, hour, minute, a blank, the member name, the method text,
// the CRC and 'E' for an encrypted member (else a blank).
typedef void(WINAPI* ZLMListCallback)(unsigned long size, unsigned long compressedSize, unsigned factor,
                                      unsigned month, unsigned day, unsigned year, unsigned hour,
                                      unsigned minute, char c, LPSTR name, LPSTR method, unsigned long crc,
                                      char encrypted);
typedef int(WINAPI* ZLMServiceCallback)(LPCSTR name, unsigned long size);
// The archive comment: the callback writes it into buffer (size bytes,
// terminating zero included) and returns buffer.
typedef LPSTR(WINAPI* ZLMCommentCallback)(LPSTR buffer, int size);

// ---- unzip library -----------------------------------------------------------

// The caller's callbacks, and totals the library fills in for the archive.
// (44 bytes where pointers have 32 bits.)
struct ZLMUnzipUserFunctions {
    ZLMPrintCallback print;
    ZLMSoundCallback sound;          // may be null
    ZLMReplaceCallback replace;
    ZLMPasswordCallback password;
    ZLMListCallback sendApplicationMessage;  // receives the listing
    ZLMServiceCallback serviceApplication;   // may be null
    unsigned long TotalSizeComp;
    unsigned long TotalSize;
    int CompFactor;
    unsigned int NumMembers;
    unsigned long cchComment;
};

// What one call does. Fields this library does not act on are kept for the
// record's layout and must be 0: ExtractOnlyNewer, SpaceToUnderscore,
// PromptToOverwrite, ncflag, ntflag, nfflag, nzflag, naflag, nZIflag, C_flag,
// fPrivilege.
struct ZLMUnzipOptions {
    int ExtractOnlyNewer;
    int SpaceToUnderscore;
    int PromptToOverwrite;
    int fQuiet;    // 0 reports through print, 1 errors only, 2 nothing
    int ncflag;
    int ntflag;
    int nvflag;    // list the members (through sendApplicationMessage) instead of extracting
    int nfflag;
    int nzflag;
    int ndflag;    // recreate the members' folders; 0 puts every file into the extract folder itself
    int noflag;    // replace existing files without asking the replace callback
    int naflag;
    int nZIflag;
    int C_flag;
    int fPrivilege;
    LPSTR lpszZipFN;       // the archive
    LPSTR lpszExtractDir;  // where members go (null: the current folder)
};

// Results of the unzip and zip libraries.
enum ZLMZipResult : int {
    kZLMOk = 0,
    kZLMWarning = 1,        // some members were skipped (unsafe name, method, replace refused)
    kZLMBadArchive = 3,     // not an archive this library reads, or damaged
    kZLMNoMemory = 4,
    kZLMBadPassword = 5,    // a member's password was missing or wrong
    kZLMBadData = 6,        // a member's data did not decompress to its CRC and size
    kZLMNothingToDo = 11,   // no member matched (unzip), no file matched (zip)
    kZLMTooBig = 12,        // a file or archive beyond the format's 32-bit sizes or 65,535 members
    kZLMReadError = 13,
    kZLMWriteError = 14,
    kZLMBadCall = 15,       // missing record, name or initialisation
};

// Extracts (or lists, with nvflag) the members of options->lpszZipFN matched by
// one of the ifnc patterns (all members when ifnc is 0) and by none of the
// xfnc exclusion patterns. Patterns take "*" and "?", compared without regard
// to case. Returns a ZLMZipResult.
typedef int(WINAPI* ZLMWizSingleEntryUnzipFn)(int ifnc, char** ifnv, int xfnc, char** xfnv,
                                             ZLMUnzipOptions* options, ZLMUnzipUserFunctions* functions);
// TRUE when the file is an archive whose directory this library can read.
typedef BOOL(WINAPI* ZLMWizValidateFn)(LPSTR archive, int reserved);

// ---- zip library -------------------------------------------------------------

struct ZLMZipUserFunctions {
    ZLMPrintCallback print;
    ZLMCommentCallback comment;
    ZLMPasswordCallback password;
};

// Options of the next ZpArchive, a record of 32-bit fields. The reserved
// fields keep the record's layout; they must be 0.
struct ZLMZipOptions {
    int32_t level;        // 1: compression level 1..9; 0 stores without compression
    int32_t fEncrypt;     // 2: encrypt with the password callback's password (when not empty)
    int32_t reserved3to9[7];
    int32_t fJunkDir;     // 10: store file names without their folders
    int32_t reserved11to22[12];
    int32_t fComment;     // 23: set the archive comment from the comment callback
};

// count file names or patterns and the archive they go into.
struct ZLMZipCommand {
    int argc;
    LPSTR lpszZipFN;
    char** FNV;
};

// Remembers the callbacks; TRUE when all three are given.
typedef BOOL(WINAPI* ZLMZpInitFn)(ZLMZipUserFunctions* functions);
typedef BOOL(WINAPI* ZLMZpSetOptionsFn)(ZLMZipOptions* options);
// The options the next ZpArchive uses (level 6 and nothing else set at first).
typedef ZLMZipOptions(WINAPI* ZLMZpGetOptionsFn)(void);
// Adds the files to the archive (made when missing; members of the same name
// are replaced). The archive is written whole or not at all. Returns a ZLMZipResult.
typedef int(WINAPI* ZLMZpArchiveFn)(ZLMZipCommand command);

}  // extern "C"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ZLMUnzipUserFunctions) == 44, "unzip callback record layout");
static_assert(sizeof(ZLMZipUserFunctions) == 12, "zip callback record layout");
#endif
static_assert(offsetof(ZLMUnzipOptions, fPrivilege) == 14 * sizeof(int) &&
                  offsetof(ZLMUnzipOptions, lpszExtractDir) == offsetof(ZLMUnzipOptions, lpszZipFN) + sizeof(LPSTR),
              "unzip option record layout");
static_assert(offsetof(ZLMZipOptions, fEncrypt) == 1 * 4 && offsetof(ZLMZipOptions, fJunkDir) == 9 * 4 &&
                  offsetof(ZLMZipOptions, fComment) == 22 * 4,
              "zip option record layout");
