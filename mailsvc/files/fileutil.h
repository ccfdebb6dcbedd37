// Small services shared by the main program, the plug-ins and the library:
// path splitting, the program folder, command-line placeholders, a temporary
// archive name, shortcut resolution, an e-mail address test, a time-of-day
// window test, a message pump, a trace file and the month table.
#pragma once
#include "fx/fx.h"
#include "fx/time.h"

// Folder of the running program's executable, without a trailing backslash.
CString GetModulePath();
// Drive and folder of path without the trailing separator ("" for a bare name;
// "C:" for a file in a drive's root).
CString GetPath(CString path);
// File name without folder and extension.
CString GetFileName(CString path);
// Extension with its leading ".", or "".
CString GetExtension(CString path);
// A new, not yet existing "ZLM....zip" name in the temporary folder ("" on failure).
CString GetTempZipFile();
int IsZipFile(CString path);
// command with %USERNAME%, %PASSWORD%, %SENDER%, %ASSISTANT% (only with a
// sender), %SUBJECT% and %ATTACHMENT% (each only when not empty) replaced.
CString XlateParam(CString command, CString& userName, CString& password, CString& sender, CString& subject,
                   CString& assistant, CString& attachment);
// Target of a shell shortcut file, or "" (the calling thread must have initialised COM).
CString ExpandShortcut(CString& shortcut);

// 1 when an "@" stands at position 1 or later and the first "." after it at
// least two positions further on.
int IsEMailAddress(CString address);
// 1 when the time of day of now lies strictly between those of start and end
// (a window whose end is before its start passes midnight).
int BetweenTimes(CTime now, CTime start, CTime end);
// Dispatches pending window messages of the calling thread without waiting:
// message > 0 until that message was dispatched, 0 at most one, < 0 all.
void ProcessMessages(int message);
// Appends to "ErrorLog.txt" in the current folder.
void ZLMTrace(const char* format, ...)
#if defined(__GNUC__) || defined(__clang__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

struct ZLMMonth {
    CString name;
    int days;  // February: 28
};
extern const ZLMMonth g_ZLMMonths[12];
