// Command line of the copier.
#include "lindrow.h"

namespace lindrow {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Everything after the program name and the blanks that follow it.
std::string ArgumentsOf(const std::string& line) {
    size_t i = 0;
    if (i < line.size() && line[i] == '"') {
        size_t close = line.find('"', 1);
        i = close == std::string::npos ? line.size() : close + 1;
    }
    while (i < line.size() && !IsBlank(line[i])) ++i;
    while (i < line.size() && IsBlank(line[i])) ++i;
    return line.substr(i);
}

std::string Trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && (IsBlank(s[e - 1]) || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return s.substr(b, e - b);
}

} // namespace

Request ParseCommandLine(const std::string& rawLine, int argc, char** argv) {
    static const char kUpdateMode[] = "UpdateMode";
    const size_t n = sizeof kUpdateMode - 1;
    Request r;
    // The main program passes "UpdateMode " followed by the list's path as it is, so a
    // program folder with blanks arrives as several arguments: take the rest of the line.
    std::string args = ArgumentsOf(rawLine);
    if (args.compare(0, n, kUpdateMode) == 0 && (args.size() == n || IsBlank(args[n]))) {
        std::string path = Trimmed(args.substr(n));
        if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
            path = path.substr(1, path.size() - 2);
        if (!path.empty()) {
            r.kind = Request::UpdateList;
            r.path = path;
        }
        return r;
    }
    if (argc == 2 || argc == 3) {
        r.kind = Request::SingleFile;
        r.path = argv[1];
    }
    return r;
}

} // namespace lindrow
