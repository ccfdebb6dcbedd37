// Path functions, placeholders, address and time-window tests, and the small
// system services.
#include "files/fileutil.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#  include <direct.h>
#  include <objbase.h>
#  include <objidl.h>
#  include <shlobj.h>
#  define chdir _chdir
#  define getcwd _getcwd
#else
#  include <unistd.h>
#endif

namespace {

std::string S(const CString& s) { return std::string(static_cast<LPCTSTR>(s), s.GetLength()); }

TEST(PathFunctions, Table)
{
    struct Case {
        const char* path;
        const char* dir;
        const char* name;
        const char* ext;
    } cases[] = {
        {"C:\\Program Files\\Vindalex\\Vindalex.exe", "C:\\Program Files\\Vindalex", "Vindalex", ".exe"},
        {"C:\\boot.ini", "C:", "boot", ".ini"},
        {"file.txt", "", "file", ".txt"},
        {"archive.tar.gz", "", "archive.tar", ".gz"},
        {"noext", "", "noext", ""},
        {"dir\\sub\\", "dir\\sub", "", ""},
        {"dir.v2\\readme", "dir.v2", "readme", ""},
        {"/unix/style/a.b", "/unix/style", "a", ".b"},
        {"\\\\server\\share\\x.doc", "\\\\server\\share", "x", ".doc"},
        {"C:name.txt", "C:", "name", ".txt"},
        {"", "", "", ""},
        {".profile", "", "", ".profile"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(S(GetPath(c.path)), c.dir) << c.path;
        EXPECT_EQ(S(GetFileName(c.path)), c.name) << c.path;
        EXPECT_EQ(S(GetExtension(c.path)), c.ext) << c.path;
    }
    // No fixed buffer: long paths split like short ones.
    std::string longDir(600, 'd');
    std::string longPath = "C:\\" + longDir + "\\" + std::string(400, 'n') + ".ext";
    EXPECT_EQ(S(GetPath(longPath.c_str())), "C:\\" + longDir);
    EXPECT_EQ(GetFileName(longPath.c_str()).GetLength(), 400);
    EXPECT_EQ(S(GetExtension(longPath.c_str())), ".ext");
}

TEST(PathFunctions, IsZipFile)
{
    EXPECT_EQ(IsZipFile("a\\b.ZIP"), 1);
    EXPECT_EQ(IsZipFile("b.zip"), 1);
    EXPECT_EQ(IsZipFile("b.Zip"), 1);
    EXPECT_EQ(IsZipFile("b.zipx"), 0);
    EXPECT_EQ(IsZipFile("zip"), 0);
    EXPECT_EQ(IsZipFile("b.zip.txt"), 0);
}

TEST(XlateParam, PlaceholdersAndConditions)
{
    CString user = "joe", pass = "secret", sender = "a@b.c", subject = "Hi", assistant = "Max", attach = "C:\\f.txt";
    CString empty;
    EXPECT_EQ(S(XlateParam("run %USERNAME% %PASSWORD% %SENDER% %ASSISTANT% %SUBJECT% %ATTACHMENT% %OTHER%", user,
                           pass, sender, subject, assistant, attach)),
              "run joe secret a@b.c Max Hi C:\\f.txt %OTHER%");
    // Without a sender the four sender-bound placeholders stay.
    EXPECT_EQ(S(XlateParam("%USERNAME%/%PASSWORD%/%SENDER%/%ASSISTANT%/%SUBJECT%", user, pass, empty, subject,
                           assistant, attach)),
              "%USERNAME%/%PASSWORD%/%SENDER%/%ASSISTANT%/Hi");
    EXPECT_EQ(S(XlateParam("%SUBJECT%%ATTACHMENT%", user, pass, sender, empty, assistant, empty)),
              "%SUBJECT%%ATTACHMENT%");
    EXPECT_EQ(S(XlateParam("%SENDER%%SENDER%", user, pass, sender, subject, assistant, attach)), "a@b.ca@b.c");
    EXPECT_EQ(S(XlateParam("100% %%SENDER%", user, pass, sender, subject, assistant, attach)), "100% %a@b.c");
    // A value from a mail is put in as it stands, never searched for placeholders.
    CString sneaky = "%PASSWORD%";
    EXPECT_EQ(S(XlateParam("echo %SUBJECT%", user, pass, sender, sneaky, assistant, attach)), "echo %PASSWORD%");
}

TEST(IsEMailAddress, Table)
{
    struct Case {
        const char* text;
        int expect;
    } cases[] = {
        {"john@example.com", 1},
        {"@example.com", 0},
        {"john@.example.com", 0},
        {"john@example", 0},
        {"john@x.", 1},
        {"j@xy", 0},
        {"a@b.c", 1},
        {"", 0},
        {"plain text", 0},
        {"a.b@c", 0},
        {"x@@y.z", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(IsEMailAddress(c.text), c.expect) << c.text;
}

TEST(BetweenTimes, WindowsIncludingMidnight)
{
    auto at = [](int h, int m, int s = 0) { return CTime(2026, 6, 15, h, m, s); };
    struct Case {
        int nowH, nowM, fromH, fromM, toH, toM;
        int expect;
    } cases[] = {
        // Across midnight: 22:00 to 06:00.
        {23, 0, 22, 0, 6, 0, 1},
        {5, 0, 22, 0, 6, 0, 1},
        {0, 0, 22, 0, 6, 0, 1},
        {12, 0, 22, 0, 6, 0, 0},
        {22, 0, 22, 0, 6, 0, 0},
        {6, 0, 22, 0, 6, 0, 0},
        {21, 59, 22, 0, 6, 0, 0},
        {6, 1, 22, 0, 6, 0, 0},
        // Within one day: 09:00 to 17:00.
        {12, 0, 9, 0, 17, 0, 1},
        {9, 0, 9, 0, 17, 0, 0},
        {17, 0, 9, 0, 17, 0, 0},
        {8, 0, 9, 0, 17, 0, 0},
        {23, 0, 9, 0, 17, 0, 0},
        // Empty window.
        {9, 0, 9, 0, 9, 0, 0},
        {10, 0, 9, 0, 9, 0, 0},
        {3, 0, 9, 0, 9, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BetweenTimes(at(c.nowH, c.nowM), at(c.fromH, c.fromM), at(c.toH, c.toM)), c.expect)
            << c.nowH << ":" << c.nowM << " in " << c.fromH << ":" << c.fromM << "-" << c.toH << ":" << c.toM;
    // Only the time of day counts, not the date.
    EXPECT_EQ(BetweenTimes(CTime(2030, 1, 2, 12, 0, 0), CTime(1999, 5, 5, 9, 0, 0), CTime(2001, 7, 7, 17, 0, 0)), 1);
    EXPECT_EQ(BetweenTimes(at(12, 0, 1), at(12, 0, 0), at(12, 0, 2)), 1);
}

TEST(MonthTable, NamesAndDays)
{
    const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                           "July",    "August",   "September", "October", "November", "December"};
    const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(S(g_ZLMMonths[i].name), names[i]);
        EXPECT_EQ(g_ZLMMonths[i].days, days[i]);
    }
}

TEST(ZLMTrace, AppendsToErrorLogInTheCurrentFolder)
{
    testsupport::TempDir dir;
    char old[1024];
    ASSERT_NE(getcwd(old, sizeof(old)), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    ZLMTrace("first %d\n", 1);
    ZLMTrace("%s", "second\n");
    std::string text = testsupport::ReadFile(dir.file("ErrorLog.txt"));
    ASSERT_EQ(chdir(old), 0);
#ifdef _WIN32
    EXPECT_EQ(text, "first 1\r\nsecond\r\n");  // a text-mode file
#else
    EXPECT_EQ(text, "first 1\nsecond\n");
#endif
}

TEST(SystemServices, ModulePathAndTempZipName)
{
    CString module = GetModulePath();
    ASSERT_FALSE(module.IsEmpty());
    char last = module[module.GetLength() - 1];
    EXPECT_NE(last, '\\');
    EXPECT_NE(last, '/');
    EXPECT_FALSE(testsupport::FileExists(std::string(module) + "/no-such-file-here"));

    CString zip = GetTempZipFile();
    ASSERT_FALSE(zip.IsEmpty());
    EXPECT_EQ(S(GetExtension(zip)), ".zip");
    EXPECT_EQ(S(GetFileName(zip).Left(3)), "ZLM");
    EXPECT_FALSE(testsupport::FileExists(std::string(zip)));
    CString other = GetTempZipFile();
    EXPECT_NE(S(zip), S(other));
#ifdef _WIN32
    // The system's own placeholder file is gone again.
    CString placeholder = GetPath(zip) + "\\" + GetFileName(zip) + ".tmp";
    EXPECT_FALSE(testsupport::FileExists(std::string(placeholder)));
#endif
}

#ifdef _WIN32

TEST(SystemServices, ExpandShortcut)
{
    testsupport::TempDir dir;
    std::string target = dir.file("target.txt");
    ASSERT_TRUE(testsupport::WriteFile(target, "x"));
    std::string lnk = dir.file("link.lnk");
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        IShellLinkA* link = nullptr;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                               reinterpret_cast<void**>(&link))));
        link->SetPath(target.c_str());
        IPersistFile* file = nullptr;
        ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
        std::wstring wide(lnk.begin(), lnk.end());
        ASSERT_TRUE(SUCCEEDED(file->Save(wide.c_str(), TRUE)));
        file->Release();
        link->Release();
    }
    CString path = lnk.c_str();
    CString got = ExpandShortcut(path);
    EXPECT_EQ(S(got).size() > 0, true);
    EXPECT_EQ(_stricmp(got, target.c_str()), 0) << S(got);

    CString empty, missing = dir.file("none.lnk").c_str(), notLink = target.c_str();
    EXPECT_EQ(S(ExpandShortcut(empty)), "");
    EXPECT_EQ(S(ExpandShortcut(missing)), "");
    EXPECT_EQ(S(ExpandShortcut(notLink)), "");
    CoUninitialize();
}

int g_seen[3];

LRESULT CALLBACK countingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg >= WM_APP && msg < WM_APP + 3) {
        ++g_seen[msg - WM_APP];
        if (wp == 1) PostMessageA(w, msg, 1, 0);  // keeps itself pending for ever
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

TEST(SystemServices, ProcessMessages)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = countingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TrellanePumpTest";
    RegisterClassA(&wc);
    HWND w = CreateWindowA("TrellanePumpTest", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);

    for (int i = 0; i < 3; ++i) PostMessageA(w, WM_APP, 0, 0);
    ProcessMessages(0);
    EXPECT_EQ(g_seen[0], 1);
    ProcessMessages(-1);
    EXPECT_EQ(g_seen[0], 3);

    PostMessageA(w, WM_APP, 0, 0);
    PostMessageA(w, WM_APP + 1, 0, 0);
    PostMessageA(w, WM_APP + 2, 0, 0);
    ProcessMessages(WM_APP + 1);  // up to and including that message
    EXPECT_EQ(g_seen[0], 4);
    EXPECT_EQ(g_seen[1], 1);
    EXPECT_EQ(g_seen[2], 0);
    ProcessMessages(-1);
    EXPECT_EQ(g_seen[2], 1);

    // A message that re-posts itself cannot keep the pump going for ever.
    PostMessageA(w, WM_APP + 2, 1, 0);
    ProcessMessages(-1);
    EXPECT_GT(g_seen[2], 2);
    DestroyWindow(w);
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.hwnd == w) continue;
        DispatchMessageA(&m);
    }
}

#endif

} // namespace
