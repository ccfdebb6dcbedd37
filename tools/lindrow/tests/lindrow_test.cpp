// The update copier run as a program: files, backup folder, output and exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "testsupport/testsupport.h"

namespace {

const char kMarker[] = "vindalex-started.txt";

std::string WinPath(std::string unixPath) {
    for (char& c : unixPath)
        if (c == '/') c = '\\';
    return "Z:" + unixPath;
}

std::string CopierPath() {
    const char* bin = std::getenv("VX_BIN_DIR");
    return bin ? WinPath(bin) + "\\Lindrow.exe" : std::string();
}

// The stand-in main program, built into a folder beside this test program.
std::string StubPath() {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, n);
    return path.substr(0, path.find_last_of('\\')) + "\\lindrow_stub\\Vindalex.exe";
}

std::string Upper(std::string s) {
    CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

// Modification times: whole days after a fixed date.
FILETIME Day(int n) {
    SYSTEMTIME st = {};
    st.wYear = 2020;
    st.wMonth = 1;
    st.wDay = 1;
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    v.QuadPart += static_cast<ULONGLONG>(n) * 24 * 3600 * 10000000ULL;
    ft.dwLowDateTime = v.LowPart;
    ft.dwHighDateTime = v.HighPart;
    return ft;
}

struct RunResult {
    bool finished = false;
    DWORD exitCode = 0;
    std::string output;  // line ends as "\n"
};

// A holder that keeps a file open without delete sharing, so it cannot be renamed.
struct OpenHold {
    HANDLE h;
    explicit OpenHold(const std::string& path)
        : h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~OpenHold() { Release(); }
    void Release() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

// A program folder in a temp folder: the copier (and the stand-in main program)
// copied in, files placed with chosen times, the copier run there.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string& sub = "") {
        m_dir = sub.empty() ? m_tmp.path() : m_tmp.file(sub);
        if (!sub.empty()) CreateFolders(m_dir);
        m_exe = Path("Lindrow.exe");
        m_ok = CopyFileA(CopierPath().c_str(), m_exe.c_str(), FALSE) &&
               CopyFileA(StubPath().c_str(), Path("Vindalex.exe").c_str(), FALSE);
    }
    bool ok() const { return m_ok; }
    const std::string& dir() const { return m_dir; }
    std::string Path(const std::string& name) const { return m_dir + "\\" + name; }

    void Put(const std::string& name, const std::string& bytes, FILETIME modified = Day(0)) {
        ASSERT_TRUE(testsupport::WriteFile(Path(name), bytes)) << name;
        HANDLE h = CreateFileA(Path(name).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
        EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &modified));
        CloseHandle(h);
    }
    // An installed file (dated day 0) and its newer "_" copy (day 5).
    void PutWithCopy(const std::string& name, const std::string& installed, const std::string& copy) {
        std::string copyName = name;
        copyName.back() = '_';
        Put(name, installed, Day(0));
        Put(copyName, copy, Day(5));
    }
    bool Has(const std::string& name) const {
        return GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::string Read(const std::string& name) const { return testsupport::ReadFile(Path(name)); }

    // Runs the copier with the working folder here; waits at most a minute.
    RunResult Start(const std::string& args) const {
        RunResult run;
        SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
        HANDLE rd, wr;
        if (!CreatePipe(&rd, &wr, &sa, 0)) return run;
        SetHandleInformation(rd, HANDLE_FLAG_INHERIT, 0);
        HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                 OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = nul;
        si.hStdOutput = wr;
        si.hStdError = wr;
        std::string cmd = "\"" + m_exe + "\"" + (args.empty() ? "" : " " + args);
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        PROCESS_INFORMATION pi = {};
        BOOL started = CreateProcessA(m_exe.c_str(), line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, m_dir.c_str(), &si, &pi);
        CloseHandle(wr);
        if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
        if (!started) {
            CloseHandle(rd);
            return run;
        }
        // Poll rather than read to the end: a program the copier starts may hold the pipe.
        DWORD deadline = GetTickCount() + 120000;  // a process start under a loaded Wine is slow
        for (;;) {
            DWORD avail = 0;
            if (PeekNamedPipe(rd, nullptr, 0, nullptr, &avail, nullptr) && avail) {
                char buf[4096];
                DWORD got = 0;
                if (ReadFile(rd, buf, sizeof buf, &got, nullptr)) run.output.append(buf, got);
                continue;
            }
            if (run.finished) break;  // exited and drained
            if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) {
                run.finished = true;
                continue;
            }
            if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
                TerminateProcess(pi.hProcess, 99);
                WaitForSingleObject(pi.hProcess, 5000);
                break;
            }
        }
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        CloseHandle(rd);
        std::string text;
        for (char c : run.output)
            if (c != '\r') text += c;
        run.output = text;
        return run;
    }

    // Waits (bounded, two minutes) for the stand-in main program to record its start.
    bool MainProgramStarted() const {
        const DWORD start = GetTickCount();
        for (;;) {
            if (Has(kMarker) && !Read(kMarker).empty()) return true;
            if (GetTickCount() - start > 120000) {
                ADD_FAILURE() << "the copier's main program recorded no start within 120 s";
                return false;
            }
            Sleep(50);
        }
    }

private:
    static void CreateFolders(const std::string& path) {
        for (size_t i = path.find('\\', 3); ; i = path.find('\\', i + 1)) {
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
            if (i == std::string::npos) break;
        }
    }

    testsupport::TempDir m_tmp;
    std::string m_dir, m_exe;
    bool m_ok = false;
};

class LindrowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(CopierPath().empty()) << "VX_BIN_DIR is not set";
        // Test seam of the copier: no 10- and 2-second pauses.
        SetEnvironmentVariableA("LINDROW_WAIT_SCALE", "0");
    }
};

const char kListHead[] =
    "Ostrel Software Web Update Utility.\n"
    "Copyright (c) Ostrel Software.\n"
    "Waiting 10 seconds for calling application to shutdown.\n"
    "Resuming...\n"
    "\n";

const char kUsage[] =
    "Lindrow Update Copier - Ostrel Software.\n"
    "Copyright (c) Ostrel Software. All rights reserved.\n"
    "\n"
    "Lindrow [filename]\n"
    "Moves the original file into the \\Backup directory and renames a file with\n"
    "a _ extension.\n"
    "Lindrow ReadMe.txt will copy ReadMe.txt into \\Backup, then rename ReadMe.tx_\n"
    "to ReadMe.txt (checking timestaps 1st.)\n";

TEST_F(LindrowTest, UsageWhenTheArgumentsDoNotFit) {
    ProgramFolder pf;
    ASSERT_TRUE(pf.ok());
    for (const char* args : {"", "one two three", "UpdateMode", "UpdateMode   "}) {
        RunResult run = pf.Start(args);
        ASSERT_TRUE(run.finished) << args;
        EXPECT_EQ(run.exitCode, 1u) << args;
        EXPECT_EQ(run.output, kUsage) << "[" << args << "]";
    }
    EXPECT_FALSE(pf.Has(kMarker));
}

TEST_F(LindrowTest, ListModeReplacesEveryListedFileAndStartsTheMainProgram) {
    ProgramFolder pf;
    ASSERT_TRUE(pf.ok());
    pf.PutWithCopy("ReadMe.txt", "readme 1", "readme 2");
    CreateDirectoryA(pf.Path("backup").c_str(), nullptr);
    pf.Put("backup\\ReadMe.txt", "readme 0", Day(-10));  // an older backup gives way
    pf.Put("backup\\Older.dll", "installed before", Day(-10));
    SetFileAttributesA(pf.Path("backup\\Older.dll").c_str(), FILE_ATTRIBUTE_READONLY);  // even read-only
    pf.Put("Older.dll", "installed", Day(5));
    pf.Put("Older.dl_", "downloaded", Day(1));  // older, still replaced in list mode
    pf.Put("Missing.txt", "stays");               // no "_" copy beside it
    pf.Put("Fresh.hl_", "first version", Day(2));  // nothing installed yet
    // CR LF, empty lines, a lone CR, a lone LF, and no line end at the end.
    pf.Put("vnd2U.dat", "ReadMe.txt\r\n\r\nOlder.dll\rMissing.txt\n\n\r\nFresh.hlp");

    RunResult run = pf.Start("UpdateMode vnd2U.dat");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, std::string(kListHead) +
                              "Processing file (ReadMe.txt)\n"
                              "Processing file (Older.dll)\n"
                              "Processing file (Missing.txt)\n"
                              "Error accessing file\n"
                              "Processing file (Fresh.hlp)\n"
                              "Complete.\n");
    EXPECT_EQ(pf.Read("ReadMe.txt"), "readme 2");
    EXPECT_EQ(pf.Read("backup\\ReadMe.txt"), "readme 1");
    EXPECT_EQ(pf.Read("Older.dll"), "downloaded");
    EXPECT_EQ(pf.Read("backup\\Older.dll"), "installed");
    EXPECT_EQ(pf.Read("Missing.txt"), "stays");
    EXPECT_FALSE(pf.Has("backup\\Missing.txt"));
    EXPECT_EQ(pf.Read("Fresh.hlp"), "first version");
    EXPECT_FALSE(pf.Has("backup\\Fresh.hlp"));
    for (const char* gone : {"ReadMe.tx_", "Older.dl_", "Fresh.hl_", "vnd2U.dat"})
        EXPECT_FALSE(pf.Has(gone)) << gone;

    ASSERT_TRUE(pf.MainProgramStarted());
    std::string marker = pf.Read(kMarker);
    std::string folder = marker.substr(0, marker.find('\n'));
    EXPECT_EQ(Upper(folder), Upper(pf.dir())) << marker;
}

TEST_F(LindrowTest, ListModeWithoutAListStillStartsTheMainProgram) {
    ProgramFolder pf;
    ASSERT_TRUE(pf.ok());
    pf.PutWithCopy("ReadMe.txt", "readme 1", "readme 2");
    RunResult run = pf.Start("UpdateMode vnd2U.dat");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, kListHead);
    EXPECT_EQ(pf.Read("ReadMe.txt"), "readme 1");
    EXPECT_TRUE(pf.MainProgramStarted());
}

// The main program passes "UpdateMode " and the list's full path as they are.
TEST_F(LindrowTest, ProgramFolderWithBlanks) {
    struct Case {
        const char* name;
        std::string (*args)(const std::string& list);
    } cases[] = {
        {"bare path", [](const std::string& list) { return "UpdateMode " + list; }},
        {"quoted path, two blanks", [](const std::string& list) { return "UpdateMode  \"" + list + "\""; }},
    };
    for (const Case& c : cases) {
        ProgramFolder pf("Program Files\\Vindalex  Assistant");
        ASSERT_TRUE(pf.ok()) << c.name;
        pf.Put("Vindalex.ex_", "new program", Day(3));
        pf.Put("Trellane.dll", "old library", Day(1));
        pf.Put("Trellane.dl_", "new library", Day(3));
        pf.Put("vnd2U.dat", "Trellane.dll\r\n");
        RunResult run = pf.Start(c.args(pf.Path("vnd2U.dat")));
        ASSERT_TRUE(run.finished) << c.name;
        EXPECT_EQ(run.exitCode, 0u) << c.name << "\n" << run.output;
        EXPECT_EQ(run.output, std::string(kListHead) + "Processing file (Trellane.dll)\nComplete.\n") << c.name;
        EXPECT_EQ(pf.Read("Trellane.dll"), "new library") << c.name;
        EXPECT_EQ(pf.Read("backup\\Trellane.dll"), "old library") << c.name;
        EXPECT_FALSE(pf.Has("vnd2U.dat")) << c.name;
        EXPECT_TRUE(pf.MainProgramStarted()) << c.name;
    }
}

TEST_F(LindrowTest, LongNamesInTheList) {
    ProgramFolder pf;
    ASSERT_TRUE(pf.ok());
    // Longer than the old fixed buffers, still within Windows' path limit.
    const std::string longName = std::string(150, 'L') + ".txt";
    std::string longCopy = longName;
    longCopy.back() = '_';
    pf.Put(longName, "long 1", Day(0));
    pf.Put(longCopy, "long 2", Day(1));
    // Beyond any path limit: reported and skipped.
    const std::string overlong = std::string(5000, 'O') + ".txt";
    pf.PutWithCopy("ReadMe.txt", "readme 1", "readme 2");
    pf.Put("vnd2U.dat", overlong + "\r\n" + longName + "\r\nReadMe.txt\r\n");

    RunResult run = pf.Start("UpdateMode vnd2U.dat");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, std::string(kListHead) +
                              "Processing file (" + overlong + ")\n"
                              "File name too long.\n"
                              "Processing file (" + longName + ")\n"
                              "Processing file (ReadMe.txt)\n"
                              "Complete.\n");
    EXPECT_EQ(pf.Read(longName), "long 2");
    EXPECT_EQ(pf.Read("backup\\" + longName), "long 1");
    EXPECT_EQ(pf.Read("ReadMe.txt"), "readme 2");
    EXPECT_FALSE(pf.Has("vnd2U.dat"));
    EXPECT_TRUE(pf.MainProgramStarted());
}

// Only the list's first 20480 bytes are read; a name cut there is not used half.
TEST_F(LindrowTest, ListIsReadUpToItsLimit) {
    ProgramFolder pf;
    ASSERT_TRUE(pf.ok());
    pf.PutWithCopy("ReadMe.txt", "readme 1", "readme 2");
    pf.PutWithCopy("Read", "read 1", "read 2");  // what the cut name would become
    pf.PutWithCopy("Late.txt", "late 1", "late 2");
    std::string list = "ReadMe.txt\r\n";
    list += std::string(20476 - list.size(), '\n');
    list += "ReadMe.txt\r\nLate.txt\r\n";  // the limit falls after "Read"
    pf.Put("vnd2U.dat", list);

    RunResult run = pf.Start("UpdateMode vnd2U.dat");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, std::string(kListHead) + "Processing file (ReadMe.txt)\nComplete.\n");
    EXPECT_EQ(pf.Read("ReadMe.txt"), "readme 2");
    EXPECT_EQ(pf.Read("Read"), "read 1");
    EXPECT_EQ(pf.Read("Late.txt"), "late 1");
}

// A new copy that cannot be renamed into place: the installed file comes back from
// backup, the failure is reported and the list stays for the next run.
TEST_F(LindrowTest, FailedRenameRestoresTheFileAndKeepsTheList) {
    ProgramFolder pf;
    ASSERT_TRUE(pf.ok());
    pf.PutWithCopy("ReadMe.txt", "readme 1", "readme 2");
    pf.PutWithCopy("Other.txt", "other 1", "other 2");
    pf.Put("vnd2U.dat", "ReadMe.txt\r\nOther.txt\r\n");

    OpenHold hold(pf.Path("ReadMe.tx_"));
    ASSERT_NE(hold.h, INVALID_HANDLE_VALUE);
    RunResult run = pf.Start("UpdateMode vnd2U.dat");
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_EQ(run.output, std::string(kListHead) +
                              "Processing file (ReadMe.txt)\n"
                              "Error renaming new file into place; previous version restored.\n"
                              "Processing file (Other.txt)\n"
                              "Not every file could be replaced; the update list was kept for another try.\n");
    EXPECT_EQ(pf.Read("ReadMe.txt"), "readme 1");
    EXPECT_FALSE(pf.Has("backup\\ReadMe.txt"));
    EXPECT_TRUE(pf.Has("ReadMe.tx_"));
    EXPECT_EQ(pf.Read("Other.txt"), "other 2");
    EXPECT_TRUE(pf.Has("vnd2U.dat"));
    EXPECT_TRUE(pf.MainProgramStarted());

    // Once nothing holds the new copy, the kept list finishes the update.
    hold.Release();
    DeleteFileA(pf.Path(kMarker).c_str());
    run = pf.Start("UpdateMode vnd2U.dat");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(pf.Read("ReadMe.txt"), "readme 2");
    EXPECT_EQ(pf.Read("backup\\ReadMe.txt"), "readme 1");
    EXPECT_EQ(pf.Read("Other.txt"), "other 2");
    EXPECT_FALSE(pf.Has("vnd2U.dat"));
    EXPECT_TRUE(pf.MainProgramStarted());
}

TEST_F(LindrowTest, FailedMoveToBackupLeavesTheFileInPlace) {
    ProgramFolder pf;
    ASSERT_TRUE(pf.ok());
    pf.PutWithCopy("ReadMe.txt", "readme 1", "readme 2");
    pf.Put("vnd2U.dat", "ReadMe.txt\r\n");

    OpenHold hold(pf.Path("ReadMe.txt"));
    ASSERT_NE(hold.h, INVALID_HANDLE_VALUE);
    RunResult run = pf.Start("UpdateMode vnd2U.dat");
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_EQ(run.output, std::string(kListHead) +
                              "Processing file (ReadMe.txt)\n"
                              "Error moving file to backup; file left as it was.\n"
                              "Not every file could be replaced; the update list was kept for another try.\n");
    EXPECT_EQ(pf.Read("ReadMe.txt"), "readme 1");
    EXPECT_EQ(pf.Read("ReadMe.tx_"), "readme 2");
    EXPECT_TRUE(pf.Has("vnd2U.dat"));
    EXPECT_TRUE(pf.MainProgramStarted());
}

TEST_F(LindrowTest, SingleFileModeChecksTheTimes) {
    const int kNone = -1000;
    struct Case {
        const char* name;
        int current, copy;  // days, kNone: no such file
        const char* args;
        DWORD exitCode;
        const char* output;
        const char* result;  // ReadMe.txt afterwards
        const char* backup;  // backup\ReadMe.txt afterwards, nullptr: none
    } cases[] = {
        {"newer copy", 0, 5, "ReadMe.txt", 0, "", "copy", "current"},
        {"second argument ignored", 0, 5, "ReadMe.txt ignored", 0, "", "copy", "current"},
        {"equal times", 3, 3, "ReadMe.txt", 1, "Current file is newer.\n", "current", nullptr},
        {"older copy", 5, 1, "ReadMe.txt", 1, "Current file is newer.\n", "current", nullptr},
        {"no copy", 0, kNone, "ReadMe.txt", 1, "Error accessing file\n", "current", nullptr},
        {"nothing installed", kNone, 2, "ReadMe.txt", 0, "", "copy", nullptr},
        {"name in quotes", 0, 5, "\"ReadMe.txt\"", 0, "", "copy", "current"},
    };
    for (const Case& c : cases) {
        ProgramFolder pf;
        ASSERT_TRUE(pf.ok());
        if (c.current != kNone) pf.Put("ReadMe.txt", "current", Day(c.current));
        if (c.copy != kNone) pf.Put("ReadMe.tx_", "copy", Day(c.copy));
        RunResult run = pf.Start(c.args);
        ASSERT_TRUE(run.finished) << c.name;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(run.output, c.output) << c.name;
        EXPECT_EQ(pf.Read("ReadMe.txt"), c.result) << c.name;
        if (c.backup)
            EXPECT_EQ(pf.Read("backup\\ReadMe.txt"), c.backup) << c.name;
        else
            EXPECT_FALSE(pf.Has("backup\\ReadMe.txt")) << c.name;
        EXPECT_FALSE(pf.Has(kMarker)) << c.name;  // only the update restarts the main program
    }
}

TEST_F(LindrowTest, SingleFileModeFailedRenameRestoresTheFile) {
    ProgramFolder pf;
    ASSERT_TRUE(pf.ok());
    pf.PutWithCopy("ReadMe.txt", "current", "copy");
    OpenHold hold(pf.Path("ReadMe.tx_"));
    ASSERT_NE(hold.h, INVALID_HANDLE_VALUE);
    RunResult run = pf.Start("ReadMe.txt");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output, "Error renaming new file into place; previous version restored.\n");
    EXPECT_EQ(pf.Read("ReadMe.txt"), "current");
    EXPECT_EQ(pf.Read("ReadMe.tx_"), "copy");
}

TEST_F(LindrowTest, NamesThatCannotHaveASeparateCopy) {
    ProgramFolder pf;
    ASSERT_TRUE(pf.ok());
    pf.Put("Odd_", "odd");
    pf.PutWithCopy("ReadMe.txt", "readme 1", "readme 2");
    // A name ending in "_" is its own "_" copy; a NUL byte would cut a name short.
    pf.Put("vnd2U.dat", std::string("Odd_\r\nReadMe.txt\0junk\r\n", 23));
    RunResult run = pf.Start("UpdateMode vnd2U.dat");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, std::string(kListHead) +
                              "Processing file (Odd_)\n"
                              "Invalid file name.\n"
                              "Processing file (" + std::string("ReadMe.txt\0junk", 15) + ")\n"
                              "Invalid file name.\n"
                              "Complete.\n");
    EXPECT_EQ(pf.Read("Odd_"), "odd");
    EXPECT_EQ(pf.Read("ReadMe.txt"), "readme 1");
    EXPECT_TRUE(pf.MainProgramStarted());

    run = pf.Start("Odd_");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output, "Invalid file name.\n");
    EXPECT_EQ(pf.Read("Odd_"), "odd");

    run = pf.Start(std::string(300, 'O') + ".txt");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.output, "File name too long.\n");
}

} // namespace
