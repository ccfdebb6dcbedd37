// Application services: the resource chain across modules, the application
// profile in the registry, message boxes.
#include "test_ids.h"
#include "window_test_support.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

using fxtest::MessageBoxRecorder;

namespace {

// Loads the test library (which joins the resource chain) for one scope.
class LibraryLoaded {
public:
    LibraryLoaded() : m_h(::LoadLibraryA("fx_test_resources.dll")) {}
    ~LibraryLoaded() { Unload(); }
    void Unload()
    {
        if (m_h)
            ::FreeLibrary(m_h);
        m_h = nullptr;
    }
    HMODULE get() const { return m_h; }
private:
    HMODULE m_h;
};

CString Load(UINT id)
{
    CString s("unchanged");
    if (!s.LoadString(id))
        s = "<none>";
    return s;
}

} // namespace

TEST(ResourceChain, StringsComeFromTheProgramAndFromJoinedLibraries)
{
    EXPECT_STREQ(Load(IDS_PROGRAM_TEXT), "Text of the program");
    EXPECT_STREQ(Load(IDS_LIBRARY_TEXT), "<none>");
    {
        LibraryLoaded lib;
        ASSERT_NE(lib.get(), nullptr);
        EXPECT_STREQ(Load(IDS_LIBRARY_TEXT), "Text of the library");
        // Same string block as the program's string 200, held only by the library.
        EXPECT_STREQ(Load(IDS_LIBRARY_NEIGHBOUR), "Neighbour from the library");
        EXPECT_STREQ(Load(IDS_PROGRAM_TEXT), "Text of the program");
        EXPECT_EQ(AfxFindStringResourceHandle(IDS_LIBRARY_TEXT), lib.get());
        EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_LIBRARY), RT_DIALOG), lib.get());
        EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_PLAIN), RT_DIALOG), AfxGetResourceHandle());

        char buf[8];
        EXPECT_EQ(AfxLoadString(IDS_LIBRARY_TEXT, buf, sizeof buf), 7);
        EXPECT_STREQ(buf, "Text of");

        MessageBoxRecorder boxes(IDOK);
        AfxMessageBox(IDS_LIBRARY_TEXT);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Text of the library");
    }
    // Unloaded: it left the chain.
    EXPECT_STREQ(Load(IDS_LIBRARY_TEXT), "<none>");
    EXPECT_EQ(AfxFindStringResourceHandle(IDS_LIBRARY_TEXT), nullptr);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_LIBRARY), RT_DIALOG), AfxGetResourceHandle());
}

namespace {
class LibraryDialog : public CDialog {
public:
    LibraryDialog() : CDialog(IDD_LIBRARY) {}
    CString m_strText = "filled in";
protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_LIBRARY_EDIT, m_strText); }
};
} // namespace

TEST(ResourceChain, DialogTemplatesComeFromJoinedLibraries)
{
    LibraryLoaded lib;
    ASSERT_NE(lib.get(), nullptr);
    LibraryDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LIBRARY));
    CString caption, text;
    dlg.GetWindowText(caption);
    dlg.GetDlgItemText(IDC_LIBRARY_EDIT, text);
    EXPECT_STREQ(caption, "From the library");
    EXPECT_STREQ(text, "filled in");
    dlg.DestroyWindow();
}

// ---- Message boxes --------------------------------------------------------------

TEST(MessageBoxes, EveryBoxGoesThroughTheHook)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    MessageBoxRecorder boxes(IDYES);
    EXPECT_EQ(AfxMessageBox("Proceed?", MB_YESNO), IDYES);
    EXPECT_EQ(wnd.MessageBox("From the window", "Title", MB_OKCANCEL), IDYES);
    EXPECT_EQ(wnd.MessageBox("No caption"), IDYES);
    EXPECT_EQ(AfxMessageBox(IDS_PROGRAM_PROMPT, MB_OKCANCEL), IDYES);
    ASSERT_EQ(boxes.boxes.size(), 4u);
    EXPECT_EQ(boxes.boxes[0].text, "Proceed?");
    EXPECT_EQ(boxes.boxes[0].type, (UINT)(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(boxes.boxes[0].caption, AfxGetAppName());
    EXPECT_EQ(boxes.boxes[1].owner, wnd.m_hWnd);
    EXPECT_EQ(boxes.boxes[1].caption, "Title");
    EXPECT_EQ(boxes.boxes[1].type, (UINT)MB_OKCANCEL);
    EXPECT_EQ(boxes.boxes[2].caption, AfxGetAppName());
    EXPECT_EQ(boxes.boxes[3].text, "Continue with the program? (T0202)");
    wnd.DestroyWindow();
}

// ---- Application profile ---------------------------------------------------------

namespace {

constexpr UINT ID_APP_COMMAND = 0x8100;

class ProfileApp : public CWinApp {
public:
    ProfileApp() : CWinApp("Fx Profile Test") {}
    int appCommands = 0;
protected:
    afx_msg void OnAppCommand() { ++appCommands; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProfileApp, CWinApp)
    ON_COMMAND(ID_APP_COMMAND, OnAppCommand)
END_MESSAGE_MAP()

CString RawRegistryString(const char* path, const char* name)
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char buf[256] = {};
    DWORD size = sizeof buf - 1, type = 0;
    LONG rc = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buf), &size);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? CString(buf) : CString("<no value>");
}

} // namespace

TEST(Profile, RegistryRoundTrip)
{
    ProfileApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    app.SetRegistryKey("Fx Test Company");
    EXPECT_STREQ(app.m_pszProfileName, "Fx Profile Test");

    EXPECT_STREQ(app.GetProfileString("Section", "Missing", "fallback"), "fallback");
    EXPECT_STREQ(app.GetProfileString("Section", "Missing"), "");
    EXPECT_EQ(app.GetProfileInt("Section", "MissingInt", -5), (UINT)-5);

    ASSERT_TRUE(app.WriteProfileString("Section", "Name", "Some value"));
    ASSERT_TRUE(app.WriteProfileInt("Section", "Number", -42));
    const BYTE blob[] = {0, 1, 2, 0xFE, 0xFF, 0x80};
    ASSERT_TRUE(app.WriteProfileBinary("Section", "Blob", const_cast<LPBYTE>(blob), sizeof blob));

    EXPECT_STREQ(app.GetProfileString("Section", "Name", "x"), "Some value");
    EXPECT_EQ((int)app.GetProfileInt("Section", "Number", 0), -42);
    BYTE* data = nullptr;
    UINT bytes = 0;
    ASSERT_TRUE(app.GetProfileBinary("Section", "Blob", &data, &bytes));
    ASSERT_EQ(bytes, sizeof blob);
    EXPECT_EQ(memcmp(data, blob, bytes), 0);
    delete[] data;
    // A value of another type is not taken for an int.
    EXPECT_EQ(app.GetProfileInt("Section", "Name", 9), 9u);

    // Where other programs find it.
    EXPECT_STREQ(RawRegistryString("Software\\Fx Test Company\\Fx Profile Test\\Section", "Name"), "Some value");

    // A null value removes the entry; a null entry removes the section.
    ASSERT_TRUE(app.WriteProfileString("Section", "Name", nullptr));
    EXPECT_STREQ(app.GetProfileString("Section", "Name", "gone"), "gone");
    ASSERT_TRUE(app.WriteProfileString("Section", nullptr, nullptr));
    EXPECT_EQ(app.GetProfileInt("Section", "Number", 3), 3u);
    EXPECT_STREQ(RawRegistryString("Software\\Fx Test Company\\Fx Profile Test\\Section", "Name"), "<no key>");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Fx Test Company\\Fx Profile Test");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Fx Test Company");
}

TEST(Application, DialogCommandsReachTheApplicationLast)
{
    ProfileApp app;
    EXPECT_EQ(AfxGetThread(), &app);
    CDialog dlg(IDD_PLAIN);
    ASSERT_TRUE(dlg.Create(IDD_PLAIN));
    dlg.SendMessage(WM_COMMAND, ID_APP_COMMAND);
    EXPECT_EQ(app.appCommands, 1);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_COMMAND, EN_CHANGE), reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_NAME)->m_hWnd));
    EXPECT_EQ(app.appCommands, 1);  // a control notification is not a command
    dlg.DestroyWindow();
}

TEST(Profile, IniFileRoundTripWithoutARegistryKey)
{
    testsupport::TempDir dir;
    std::string ini = dir.file("profile.ini");
    ProfileApp app;
    free(const_cast<char*>(app.m_pszProfileName));
    app.m_pszProfileName = _strdup(ini.c_str());
    ASSERT_TRUE(app.WriteProfileString("S", "Text", "hello"));
    ASSERT_TRUE(app.WriteProfileInt("S", "N", 1234));
    const BYTE blob[] = {0x00, 0x5A, 0xFF};
    ASSERT_TRUE(app.WriteProfileBinary("S", "B", const_cast<LPBYTE>(blob), sizeof blob));
    EXPECT_STREQ(app.GetProfileString("S", "Text"), "hello");
    EXPECT_EQ(app.GetProfileInt("S", "N", 0), 1234u);
    BYTE* data = nullptr;
    UINT bytes = 0;
    ASSERT_TRUE(app.GetProfileBinary("S", "B", &data, &bytes));
    ASSERT_EQ(bytes, 3u);
    EXPECT_EQ(memcmp(data, blob, 3), 0);
    delete[] data;
    EXPECT_TRUE(testsupport::FileExists(ini));
}

// ---- The entry point -------------------------------------------------------------

TEST(EntryPoint, RunsTheProgramsApplicationObject)
{
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    path = path.substr(0, path.find_last_of("\\/") + 1) + "fx_app_probe.exe";
    std::string cmd = "\"" + path + "\" --probe";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(::CreateProcessA(path.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    if (::WaitForSingleObject(pi.hProcess, testsupport::kModalLoopMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(pi.hProcess, 1);
        ::WaitForSingleObject(pi.hProcess, testsupport::kWindowWaitMs);
        ADD_FAILURE() << "the probe program did not end its message loop within " << testsupport::kModalLoopMs
                      << " ms";
    }
    DWORD code = 1234;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u);
}
