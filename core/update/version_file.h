// The web version file ("WebVersion.txt") and the decisions taken from it:
// which program files are newer on the update site, the message for the user,
// and when the periodic check is due.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace webupdate {

// Only this much of the version file is read.
inline constexpr size_t kVersionFileLimit = 20480;
// The periodic check runs at most once in this many days.
inline constexpr int kCheckIntervalDays = 15;

// Lines cut at CR and LF; empty lines do not count.
std::vector<std::string> SplitLines(const std::string& bytes);

// "... Version <v> - Build <b>": false when " - Build " is missing or opens the line.
bool ParseHeadline(const std::string& line, std::string& version, std::string& build);

struct Date {
    int year = 0, month = 0, day = 0;
};
bool operator<(const Date& a, const Date& b);

// A file line's date ("MM/DD/YYYY" with any separators) and name (from the
// twelfth character). False for a line too short to hold a name or with a
// date that is no calendar date.
bool ParseFileLine(const std::string& line, Date& date, std::string& name);

// A name from the version file may only name a file in the program folder.
bool IsSafeFileName(const std::string& name);

enum class LocalFile { Missing, Unreadable, Present };
// Looks a name up in the program folder; for a present file, the local date of its last change.
using LocalFileLookup = std::function<LocalFile(const std::string& name, Date& modified)>;

// Collects the names of files that are missing (unless optional, "+") or
// older than their line's date; message lines flagged "Y" set the message.
// Returns 1 when the list is not empty.
int BuildUpdateMessage(std::vector<std::string>& files, const std::vector<std::string>& lines,
                       std::string* message, const LocalFileLookup& lookup);

// Whether the periodic check is due: never with the no-updates flag, else
// when at least 15 whole days passed since the last one (seconds since 1970).
bool PeriodicCheckDue(int noUpdates, int64_t lastCheck, int64_t now);

// The name a file has on the update site and while it waits for the copier:
// its last character replaced by "_".
std::string WaitingName(const std::string& name);

// The update site's paths, under the update host.
std::string VersionFilePath();
std::string ReleaseNotesPath();
std::string SiteFilePath(const std::string& waitingName);

} // namespace webupdate
