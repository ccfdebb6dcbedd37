// Entry point of the update copier.
#include "lindrow.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace lindrow {

void Say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

namespace {

void ShowUsage() {
    Say("Lindrow Update Copier - Ostrel Software.");
    Say("Copyright (c) Ostrel Software. All rights reserved.");
    Say("");
    Say("Lindrow [filename]");
    Say("Moves the original file into the \\Backup directory and renames a file with");
    Say("a _ extension.");
    Say("Lindrow ReadMe.txt will copy ReadMe.txt into \\Backup, then rename ReadMe.tx_");
    Say("to ReadMe.txt (checking timestaps 1st.)");
}

// The folder this program was started from, without a trailing backslash
// (a drive's root keeps it, "C:" alone would mean that drive's current folder).
std::string OwnFolder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return ".";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return ".";
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    if (slash == 0 || path[slash - 1] == ':') return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

// Starts the main program again once its files are replaced.
bool StartMainProgram() {
    std::string folder = OwnFolder();
    std::string program = folder;
    if (program.back() != '\\' && program.back() != '/') program += '\\';
    program += "Vindalex.exe";
    HINSTANCE h = ShellExecuteA(nullptr, "open", program.c_str(), "", folder.c_str(), SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(h) > 32) return true;
    Say("Error starting Vindalex.exe");
    return false;
}

} // namespace
} // namespace lindrow

int main(int argc, char** argv) {
    using namespace lindrow;
    Request request = ParseCommandLine(GetCommandLineA(), argc, argv);
    switch (request.kind) {
    case Request::UpdateList: {
        bool allDone = ProcessUpdateList(request.path);
        bool started = StartMainProgram();
        return allDone && started ? 0 : 1;
    }
    case Request::SingleFile:
        return CopyOne(request.path, false) == CopyResult::Replaced ? 0 : 1;
    case Request::Usage:
        break;
    }
    ShowUsage();
    return 1;
}
