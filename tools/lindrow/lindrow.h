// The update copier: puts downloaded "_" copies in place of the installed files.
#pragma once

#include <string>
#include <vector>

namespace lindrow {

// What the command line asks for.
struct Request {
    enum Kind { Usage, UpdateList, SingleFile };
    Kind kind = Usage;
    std::string path;  // the list file (UpdateList) or the file to replace (SingleFile)
};

// rawLine is the process's whole command line (program name first); argc/argv are
// the runtime's split of it, used for the single-file form.
Request ParseCommandLine(const std::string& rawLine, int argc, char** argv);

enum class CopyResult {
    Replaced,     // the new copy is in place, the previous version in "backup"
    NotReplaced,  // nothing to do or nothing that can be done (no new copy, current is newer, bad name)
    Failed,       // the new copy is still waiting beside the installed file
};

// Replaces the file `name` (relative to the working folder) by its "_" copy.
CopyResult CopyOne(const std::string& name, bool skipTimeCheck);

// Splits the update list's bytes into names at CR and LF; empty lines are dropped.
std::vector<std::string> SplitUpdateList(const std::string& bytes);

// Waits for the main program to end, replaces every listed file. True when no file
// failed (the list was then deleted, or could not be opened at all).
bool ProcessUpdateList(const std::string& listPath);

// Sleeps for `ms` scaled by the test seam (see pause.cpp).
void Pause(unsigned ms);

// One line on the console; the name may hold any bytes.
void Say(const std::string& line);

} // namespace lindrow
