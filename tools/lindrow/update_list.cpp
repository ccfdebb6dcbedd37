// The update list left by the main program's web update: one file name a line.
#include "lindrow.h"

#include <windows.h>

namespace lindrow {

namespace {

// Only this much of the list is read; the main program writes a few short names.
const DWORD kListLimit = 20480;

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Reads the head of the list. A name cut at the limit is dropped rather than
// used half (it could name another file). False when the list cannot be opened.
bool ReadList(const std::string& path, std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bytes.assign(kListLimit + 1, '\0');  // one byte more tells whether a name runs past the limit
    DWORD got = 0, total = 0;
    while (total < bytes.size() &&
           ReadFile(h, &bytes[total], static_cast<DWORD>(bytes.size()) - total, &got, nullptr) && got)
        total += got;
    CloseHandle(h);
    bytes.resize(total);
    if (total > kListLimit) {
        bool cutInName = !IsLineEnd(bytes[kListLimit]);
        bytes.resize(kListLimit);
        if (cutInName) {
            size_t lastEnd = bytes.find_last_of("\r\n");
            bytes.resize(lastEnd == std::string::npos ? 0 : lastEnd);
        }
    }
    return true;
}

} // namespace

std::vector<std::string> SplitUpdateList(const std::string& bytes) {
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || IsLineEnd(bytes[i])) {
            if (i > start) names.push_back(bytes.substr(start, i - start));
            start = i + 1;
        }
    }
    return names;
}

bool ProcessUpdateList(const std::string& listPath) {
    Say("Ostrel Software Web Update Utility.");
    Say("Copyright (c) Ostrel Software.");
    Say("Waiting 10 seconds for calling application to shutdown.");
    Pause(10000);
    Say("Resuming...");
    Say("");

    std::string bytes;
    if (!ReadList(listPath, bytes)) return true;  // nothing to do: only the copier itself was updated

    bool allDone = true;
    for (const std::string& name : SplitUpdateList(bytes)) {
        Say("Processing file (" + name + ")");
        if (CopyOne(name, true) == CopyResult::Failed) allDone = false;
    }
    if (allDone) {
        DeleteFileA(listPath.c_str());
        Say("Complete.");
    } else {
        // The "_" copies that could not be put in place are still there: keep the list
        // so that the next run tries them again.
        Say("Not every file could be replaced; the update list was kept for another try.");
    }
    Pause(2000);
    return allDone;
}

} // namespace lindrow
