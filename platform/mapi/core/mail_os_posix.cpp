// The store's OS services on POSIX systems (the host build).
#include "mail_os.h"

#include <dirent.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace vxmail::os {

const char kPathSeparator = '/';

std::string Join(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

bool ListFiles(const std::string& dir, std::vector<FileEntry>& out) {
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (stat(Join(dir, name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;   // vanished or not a file
        FileEntry f;
        f.name = std::move(name);
        f.modified = int64_t(st.st_mtim.tv_sec) * 10000000 + st.st_mtim.tv_nsec / 100;
        out.push_back(std::move(f));
    }
    closedir(d);
    return true;
}

bool ListNames(const std::string& dir, std::vector<std::string>& out) {
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    while (dirent* e = readdir(d)) {
        if (e->d_type == DT_DIR) continue;
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        out.push_back(std::move(name));
    }
    closedir(d);
    return true;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ModifiedTime(const std::string& path, int64_t& ticks) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    ticks = int64_t(st.st_mtim.tv_sec) * 10000000 + st.st_mtim.tv_nsec / 100;
    return true;
}

bool MakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0700) == 0 || IsDirectory(path); }

bool ReadFile(const std::string& path, std::string& out, size_t limit) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    out.clear();
    char buf[65536];
    bool ok = true;
    while (out.size() < limit) {
        size_t want = limit - out.size() < sizeof buf ? limit - out.size() : sizeof buf;
        ssize_t n = read(fd, buf, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        if (n == 0) break;
        out.append(buf, size_t(n));
    }
    close(fd);
    return ok;
}

bool CreateNewFile(const std::string& path, const std::string& bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            close(fd);
            unlink(path.c_str());
            return false;
        }
        done += size_t(n);
    }
    bool ok = fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok) unlink(path.c_str());
    return ok;
}

bool RenameFile(const std::string& from, const std::string& to, bool replace) {
    if (replace) return rename(from.c_str(), to.c_str()) == 0;
    // link + unlink never replaces an existing target.
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

int64_t NowSeconds() { return int64_t(time(nullptr)); }

CivilTime LocalTime(int64_t utc, int* offset) {
    time_t t = time_t(utc);
    struct tm tm {};
    localtime_r(&t, &tm);
    if (offset) *offset = int(tm.tm_gmtoff);
    return CivilTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

int64_t FromLocalTime(const CivilTime& c) {
    struct tm tm {};
    tm.tm_year = c.year - 1900;
    tm.tm_mon = c.month - 1;
    tm.tm_mday = c.day;
    tm.tm_hour = c.hour;
    tm.tm_min = c.minute;
    tm.tm_sec = c.second;
    tm.tm_isdst = -1;
    return int64_t(mktime(&tm));
}

std::string HostName() {
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0) return "localhost";
    return buf;
}

unsigned ProcessId() { return unsigned(getpid()); }

bool ProcessRunning(unsigned pid) {
    if (pid == 0 || pid > 0x7FFFFFFFu) return false;
    return kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace vxmail::os
