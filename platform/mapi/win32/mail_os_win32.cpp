// The store's OS services on Win32 (ANSI paths, as Simple MAPI's texts are ANSI).
#include "../core/mail_os.h"

#include <windows.h>

namespace vxmail::os {

namespace {
constexpr int64_t kEpochTicks = 116444736000000000LL;   // 1601 -> 1970 in 100-ns ticks

int64_t Ticks(const FILETIME& ft) {
    return (int64_t(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) - kEpochTicks;
}

FILETIME FromSeconds(int64_t s) {
    int64_t t = s * 10000000 + kEpochTicks;
    FILETIME ft;
    ft.dwLowDateTime = DWORD(t);
    ft.dwHighDateTime = DWORD(t >> 32);
    return ft;
}

CivilTime Civil(const SYSTEMTIME& st) {
    return CivilTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}
} // namespace

const char kPathSeparator = '\\';

std::string Join(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    char last = dir.back();
    return last == '\\' || last == '/' ? dir + name : dir + "\\" + name;
}

bool ListFiles(const std::string& dir, std::vector<FileEntry>& out) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(Join(dir, "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND && IsDirectory(dir);
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        FileEntry f;
        f.name = fd.cFileName;
        f.modified = Ticks(fd.ftLastWriteTime);
        out.push_back(std::move(f));
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return true;
}

bool ListNames(const std::string& dir, std::vector<std::string>& out) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileExA(Join(dir, "*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND && IsDirectory(dir);
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return true;
}

bool IsDirectory(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ModifiedTime(const std::string& path, int64_t& ticks) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    ticks = Ticks(data.ftLastWriteTime);
    return true;
}

bool MakeDirectory(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) || IsDirectory(path); }

bool ReadFile(const std::string& path, std::string& out, size_t limit) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    out.clear();
    char buf[65536];
    bool ok = true;
    while (out.size() < limit) {
        DWORD want = DWORD(limit - out.size() < sizeof buf ? limit - out.size() : sizeof buf);
        DWORD got = 0;
        if (!::ReadFile(h, buf, want, &got, nullptr)) { ok = false; break; }
        if (got == 0) break;
        out.append(buf, got);
    }
    CloseHandle(h);
    return ok;
}

bool CreateNewFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        DWORD chunk = DWORD(bytes.size() - done > (1u << 20) ? (1u << 20) : bytes.size() - done);
        DWORD wrote = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) { ok = false; break; }
        done += wrote;
    }
    ok = FlushFileBuffers(h) && ok;
    ok = CloseHandle(h) && ok;
    if (!ok) DeleteFileA(path.c_str());
    return ok;
}

bool RenameFile(const std::string& from, const std::string& to, bool replace) {
    return MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

int64_t NowSeconds() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return Ticks(ft) / 10000000;
}

CivilTime LocalTime(int64_t utc, int* offset) {
    FILETIME ft = FromSeconds(utc);
    SYSTEMTIME st, local;
    if (!FileTimeToSystemTime(&ft, &st) || !SystemTimeToTzSpecificLocalTime(nullptr, &st, &local)) local = st;
    CivilTime c = Civil(local);
    if (offset) *offset = int(CivilToSeconds(c) - utc);
    return c;
}

int64_t FromLocalTime(const CivilTime& c) {
    SYSTEMTIME local{}, st{};
    local.wYear = WORD(c.year);
    local.wMonth = WORD(c.month);
    local.wDay = WORD(c.day);
    local.wHour = WORD(c.hour);
    local.wMinute = WORD(c.minute);
    local.wSecond = WORD(c.second);
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &st)) return CivilToSeconds(c);
    return CivilToSeconds(Civil(st));
}

std::string HostName() {
    char buf[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD n = sizeof buf;
    if (!GetComputerNameA(buf, &n)) return "localhost";
    return buf;
}

unsigned ProcessId() { return unsigned(GetCurrentProcessId()); }

bool ProcessRunning(unsigned pid) {
    if (pid == 0) return false;
    HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!h) return GetLastError() == ERROR_ACCESS_DENIED;   // there, but not ours to look at
    const bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return running;
}

} // namespace vxmail::os
