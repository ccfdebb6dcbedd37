// Reading the web version file and choosing the files to update.
#include "version_file.h"

#include <tuple>

namespace webupdate {

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

bool Digits(const std::string& s, size_t at, size_t count, int& value)
{
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (i >= s.size() || s[i] < '0' || s[i] > '9')
            return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

const char kSitePath[] = "/software/Vindalex/UpDate0/";

} // namespace

bool operator<(const Date& a, const Date& b)
{
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

std::vector<std::string> SplitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || IsLineEnd(bytes[i])) {
            if (i > start)
                lines.push_back(bytes.substr(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

bool ParseHeadline(const std::string& line, std::string& version, std::string& build)
{
    static const std::string kBuild = " - Build ";
    static const std::string kVersion = "Version ";
    size_t at = line.find(kBuild);
    if (at == std::string::npos || at == 0)
        return false;
    size_t v = line.rfind(kVersion, at);
    version = v == std::string::npos ? std::string() : line.substr(v + kVersion.size(), at - v - kVersion.size());
    build = line.substr(at + kBuild.size());
    return true;
}

bool ParseFileLine(const std::string& line, Date& date, std::string& name)
{
    if (line.size() < 12)
        return false;
    if (!Digits(line, 0, 2, date.month) || !Digits(line, 3, 2, date.day) || !Digits(line, 6, 4, date.year))
        return false;
    if (date.year < 1970 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.year, date.month))
        return false;
    name = line.substr(11);
    return true;
}

bool IsSafeFileName(const std::string& name)
{
    if (name.empty() || name == "." || name.find("..") != std::string::npos)
        return false;
    for (unsigned char c : name)
        if (c == '\\' || c == '/' || c == ':' || c < 0x20)
            return false;
    return true;
}

int BuildUpdateMessage(std::vector<std::string>& files, const std::vector<std::string>& lines,
                       std::string* message, const LocalFileLookup& lookup)
{
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.compare(0, 9, "vndBldMSG") == 0) {
            if (line.size() > 9 && line[9] == 'Y' && message)
                *message = line.size() > 10 ? line.substr(10) : std::string();
            continue;
        }
        Date date;
        std::string name;
        if (!ParseFileLine(line, date, name))
            continue;
        bool optional = !name.empty() && name[0] == '+';
        if (optional)
            name.erase(0, 1);
        // The name becomes a path in the program folder and, with its last
        // character changed, a file the copier moves: nothing outside it.
        if (!IsSafeFileName(name) || name.back() == '_')
            continue;
        Date modified;
        switch (lookup(name, modified)) {
        case LocalFile::Present:
            if (modified < date)
                files.push_back(name);
            break;
        case LocalFile::Missing:
            if (!optional)
                files.push_back(name);
            break;
        case LocalFile::Unreadable:
            break;
        }
    }
    return files.empty() ? 0 : 1;
}

bool PeriodicCheckDue(int noUpdates, int64_t lastCheck, int64_t now)
{
    if (noUpdates)
        return false;
    return (now - lastCheck) / 86400 >= kCheckIntervalDays;
}

std::string WaitingName(const std::string& name)
{
    if (name.empty())
        return name;
    std::string u = name;
    u.back() = '_';
    return u;
}

std::string VersionFilePath() { return std::string(kSitePath) + "CurrentVersion.txt"; }
std::string ReleaseNotesPath() { return std::string(kSitePath) + "CurrentVersion.html"; }
std::string SiteFilePath(const std::string& waitingName) { return kSitePath + waitingName; }

} // namespace webupdate
