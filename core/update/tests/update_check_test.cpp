// The web update end to end: the version check fetches the version file from
// a real HTTP server on loopback (or fails to: a dead port, a server that hangs
// up), offers the update in the notice window or says why it did not, and
// "Update Now!" fetches the compressed files, replaces the copier at once,
// lists the others for it and starts it; the copier then replaces them.
#include "fx/msgbox.h"
#include "notice_dlg.h"
#include "notice_ids.h"
#include "options/wmoptions.h"
#include "testsupport/testsupport.h"
#include "update_download.h"
#include "web_update_check.h"
#include "winmgr/winmgr.h"
#include "zlcomp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Env(const char* name)
{
    char value[1024];
    DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
    return n && n < sizeof value ? std::string(value, n) : std::string();
}

void NoSleep(DWORD) {}

std::string Compressed(const std::string& plain)
{
    CMemFile in(1024), out(1024);
    in.Write(plain.data(), static_cast<UINT>(plain.size()));
    if (ZLCompress(&in, &out) != 1)
        return {};
    std::string bytes(out.GetLength(), '\0');
    out.SeekToBegin();
    out.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    return bytes;
}

void SetOld(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    SYSTEMTIME st = {2020, 1, 0, 15, 12, 0, 0, 0};
    FILETIME ft;
    ::SystemTimeToFileTime(&st, &ft);
    ::SetFileTime(h, nullptr, nullptr, &ft);
    ::CloseHandle(h);
}

std::string Today()
{
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    char s[16];
    std::snprintf(s, sizeof s, "%02d/%02d/%04d", st.wMonth, st.wDay, st.wYear);
    return s;
}

// A window that receives the exit command the update posts.
struct ExitTarget {
    ExitTarget() { m_hWnd = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
    ~ExitTarget() { ::DestroyWindow(m_hWnd); }
    bool GotExit()
    {
        MSG msg;
        bool got = false;
        while (::PeekMessageA(&msg, m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            got = got || LOWORD(msg.wParam) == ID_APP_EXIT;
        return got;
    }
    HWND m_hWnd;
};

// Waits, pumping messages, until pred holds or two minutes passed (the copier
// is a process of its own, slow to start on a loaded machine).
template <class Pred>
bool WaitFor(Pred pred)
{
    DWORD deadline = ::GetTickCount() + 120000;
    while (!pred()) {
        if (static_cast<LONG>(deadline - ::GetTickCount()) <= 0)
            return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(50);
    }
    return true;
}

std::vector<std::string> g_notesOpened;
void RecordNotes(const CString& address, const CString&) { g_notesOpened.push_back(static_cast<LPCTSTR>(address)); }

class WebUpdate : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_site = Env("VX_UPDATE_SITE");
        m_host = Env("VX_UPDATE_HOST");
        m_lindrow = Env("VX_LINDROW");
        if (m_site.empty() || m_host.empty() || m_lindrow.empty())
            GTEST_SKIP() << "run by update_peer.py, which starts the server";
        CWMOptions options;
        options.Init();
        m_anim = CWMOptions::m_bShowAnim;
        CWMOptions::m_bShowAnim = 0;
        m_oldSleep = CZLMWindowMgr::SetSleepFunction(&NoSleep);
        m_oldBox = AfxSetMessageBoxHook([this](HWND, LPCTSTR text, LPCTSTR, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_oldNotes = CNoticeDlg::s_pfnOpenReleaseNotes;
        CNoticeDlg::s_pfnOpenReleaseNotes = &RecordNotes;
        g_notesOpened.clear();
        m_folder = m_dir.path();
        ASSERT_TRUE(testsupport::WriteFile(m_dir.file("Vindalex.exe"), "old vindalex"));
        ASSERT_TRUE(testsupport::WriteFile(m_dir.file("Lindrow.exe"), "old copier"));
        SetOld(m_dir.file("Vindalex.exe"));
        SetOld(m_dir.file("Lindrow.exe"));
        m_newCopier = testsupport::ReadFile(m_lindrow);
        ASSERT_FALSE(m_newCopier.empty());
    }
    void TearDown() override
    {
        if (m_site.empty())
            return;
        for (int i = 0; i < g_WindowMgr.GetWindowCount(); ++i)
            if (g_WindowMgr.GetWindowAt(i)->m_hWnd)
                g_WindowMgr.GetWindowAt(i)->DestroyWindow();
        g_WindowMgr.RefreshWindowVector();
        CNoticeDlg::s_pfnOpenReleaseNotes = m_oldNotes;
        AfxSetMessageBoxHook(m_oldBox);
        CZLMWindowMgr::SetSleepFunction(m_oldSleep);
        CWMOptions::m_bShowAnim = m_anim;
        for (const char* f : {"Vindalex.ex_", "Lindrow.ex_", "CurrentVersion.txt"})
            ::DeleteFileA((m_site + "\\" + f).c_str());
    }
    void Serve(const std::string& name, const std::string& bytes)
    {
        ASSERT_TRUE(testsupport::WriteFile(m_site + "\\" + name, bytes));
    }
    std::vector<CNoticeDlg*> Notices()
    {
        std::vector<CNoticeDlg*> found;
        for (int i = 0; i < g_WindowMgr.GetWindowCount(); ++i)
            if (auto* n = dynamic_cast<CNoticeDlg*>(g_WindowMgr.GetWindowAt(i)))
                if (n->m_hWnd)
                    found.push_back(n);
        return found;
    }
    static std::string Text(CWnd* w)
    {
        CString s;
        w->GetWindowText(s);
        return static_cast<LPCTSTR>(s);
    }

    std::string m_site, m_host, m_lindrow, m_folder, m_newCopier;
    std::vector<std::string> m_boxes;
    testsupport::TempDir m_dir;
    AfxMessageBoxHook m_oldBox;
    ZLMSleepFunction m_oldSleep = nullptr;
    void (*m_oldNotes)(const CString&, const CString&) = nullptr;
    int m_anim = 0;
};

TEST_F(WebUpdate, NoticeUpdateNowAndTheCopierReplacesTheProgram)
{
    Serve("CurrentVersion.txt", "Vindalex Version 3.1 - Build 130\r\n" + Today() + " Lindrow.exe\r\n" + Today() +
                                    " Vindalex.exe\r\n" + Today() + " +Optional.kVX\r\nvndBldMSGYRead the notes.\r\n");
    Serve("Lindrow.ex_", Compressed(m_newCopier));
    Serve("Vindalex.ex_", Compressed("new vindalex"));
    // A line an earlier, unfinished update left stays in front.
    ASSERT_TRUE(testsupport::WriteFile(m_dir.file("vnd2U.dat"), "Horolux.kVX\r\n"));
    ASSERT_TRUE(testsupport::WriteFile(m_dir.file("Horolux.kV_"), "new plug-in"));

    const WebCheckResult result = RunWebVersionCheck(m_folder.c_str(), m_host.c_str());
    ASSERT_EQ(static_cast<int>(WebCheckResult::UpdateOffered), static_cast<int>(result));
    ReportWebCheck(result);
    EXPECT_TRUE(m_boxes.empty()) << "the notice is the answer";
    EXPECT_TRUE(testsupport::FileExists(m_dir.file("WebVersion.txt")));
    auto notices = Notices();
    ASSERT_EQ(2u, notices.size());
    CNoticeDlg* offer = notices[0];
    EXPECT_EQ("Vindalex new version alert.", Text(offer));
    EXPECT_EQ("There is a new version of Vindalex (Version 3.1, Build 130) available for download.\r\n"
              "Please complete your work and press the 'Update Now' button above.",
              Text(offer->GetDlgItem(IDC_NOTICE_TEXT)));
    EXPECT_TRUE(offer->GetDlgItem(IDC_NOTICE_UPDATE)->IsWindowVisible());
    EXPECT_TRUE(offer->GetDlgItem(IDC_NOTICE_CLOSE)->IsWindowVisible());
    ASSERT_EQ(2, offer->m_arrFiles.GetSize());
    EXPECT_STREQ("Lindrow.exe", offer->m_arrFiles[0]);
    EXPECT_STREQ("Vindalex.exe", offer->m_arrFiles[1]);
    EXPECT_EQ("Read the notes.", Text(notices[1]->GetDlgItem(IDC_NOTICE_TEXT)));
    EXPECT_FALSE(notices[1]->GetDlgItem(IDC_NOTICE_UPDATE)->IsWindowVisible());

    ExitTarget exit;
    offer->m_hWndExitTarget = exit.m_hWnd;
    offer->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NOTICE_UPDATE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(offer->GetDlgItem(IDC_NOTICE_UPDATE)->m_hWnd));
    EXPECT_TRUE(m_boxes.empty()) << m_boxes.front();
    ASSERT_EQ(1u, g_notesOpened.size());
    EXPECT_EQ("http://" + m_host + "/software/Vindalex/UpDate0/CurrentVersion.html", g_notesOpened[0]);
    EXPECT_TRUE(exit.GotExit());
    // The copier was replaced at once by the decompressed download.
    EXPECT_EQ(m_newCopier, testsupport::ReadFile(m_dir.file("Lindrow.exe")));
    EXPECT_FALSE(testsupport::FileExists(m_dir.file("Lindrow.ex_")));

    // The copier started and replaces the listed files (its waits are scaled to nothing).
    std::string vindalex = m_dir.file("Vindalex.exe");
    EXPECT_TRUE(WaitFor([&] { return testsupport::ReadFile(vindalex) == "new vindalex"; }))
        << "the copier did not replace Vindalex.exe within 120 s";
    EXPECT_TRUE(WaitFor([&] { return !testsupport::FileExists(m_dir.file("vnd2U.dat")); }))
        << "the copier did not remove vnd2U.dat within 120 s";
    EXPECT_EQ("new plug-in", testsupport::ReadFile(m_dir.file("Horolux.kVX")));
    EXPECT_EQ("old vindalex", testsupport::ReadFile(m_dir.file("backup\\Vindalex.exe")));
}

TEST_F(WebUpdate, BadDownloadsStopTheUpdate)
{
    const struct {
        const char* what;
        const char* served;  // null: not on the site (404)
        std::vector<const char*> names;
    } cases[] = {
        {"an HTML page served with 200", "<html><body>Moved</body></html>", {"Vindalex.exe"}},
        {"a damaged stream", "ZLCompB\x01\x02\x03", {"Vindalex.exe"}},
        {"a missing file", nullptr, {"Vindalex.exe"}},
        {"a traversal name", "unused", {"..\\Vindalex.exe"}},
        {"a name with a colon", "unused", {"C:Vindalex.exe"}},
    };
    for (const auto& c : cases) {
        if (c.served)
            Serve("Vindalex.ex_", c.served);
        else
            ::DeleteFileA((m_site + "\\Vindalex.ex_").c_str());
        m_boxes.clear();
        auto* notice = new CNoticeDlg(nullptr);
        notice->m_bAutoClose = FALSE;
        notice->m_bShowUpdate = TRUE;
        notice->m_strFolder = m_folder.c_str();
        notice->m_strUpdateHost = m_host.c_str();
        for (const char* n : c.names)
            notice->m_arrFiles.Add(n);
        ASSERT_TRUE(notice->Create(IDD_NOTICE, nullptr));
        g_WindowMgr.AttachWindow(notice, 0);
        ExitTarget exit;
        notice->m_hWndExitTarget = exit.m_hWnd;
        notice->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NOTICE_UPDATE, BN_CLICKED),
                            reinterpret_cast<LPARAM>(notice->GetDlgItem(IDC_NOTICE_UPDATE)->m_hWnd));
        ASSERT_EQ(1u, m_boxes.size()) << c.what;
        EXPECT_EQ("There was a problem while downloading the update.  Please visit our website to try downloading again.",
                  m_boxes[0]);
        EXPECT_FALSE(exit.GotExit()) << c.what;
        EXPECT_EQ("old vindalex", testsupport::ReadFile(m_dir.file("Vindalex.exe"))) << c.what;
        EXPECT_FALSE(testsupport::FileExists(m_dir.file("Vindalex.ex_"))) << c.what;
        EXPECT_FALSE(testsupport::FileExists(m_dir.file("vnd2U.dat"))) << c.what;
    }
}

TEST_F(WebUpdate, NoExitWhenTheCopierCannotStart)
{
    Serve("Vindalex.ex_", Compressed("new vindalex"));
    ASSERT_TRUE(::DeleteFileA(m_dir.file("Lindrow.exe").c_str()));
    CStringArray names;
    names.Add("Vindalex.exe");
    CString failed;
    EXPECT_FALSE(RunUpdateDownload(m_folder.c_str(), names, m_host.c_str(), &failed));
    EXPECT_STREQ("", failed);  // every file came; the copier did not start
    // What was fetched waits for the next try; the installed program is untouched.
    EXPECT_EQ("new vindalex", testsupport::ReadFile(m_dir.file("Vindalex.ex_")));
    EXPECT_EQ("Vindalex.exe\r\n", testsupport::ReadFile(m_dir.file("vnd2U.dat")));
    EXPECT_EQ("old vindalex", testsupport::ReadFile(m_dir.file("Vindalex.exe")));
}

// Only a real version file with nothing newer in it means "up to date"; a
// site that cannot be reached or does not answer with a version file means
// the check could not be made, and the user asking for it is told so.
TEST_F(WebUpdate, CheckSaysHowItEnded)
{
    const std::string hangUp = Env("VX_UPDATE_HANGUP_HOST"), dead = Env("VX_UPDATE_DEAD_HOST");
    ASSERT_FALSE(hangUp.empty() || dead.empty()) << "update_peer.py names the hang-up and dead hosts";
    const char* const kUpToDate = "Vindalex is up to date.";
    const char* const kCouldNotCheck =
        "Vindalex could not check our website for a program update.\r\n"
        "Please make sure you are connected to the internet and try again later.";
    const struct {
        const char* what;
        std::string host;
        const char* versionFile;  // null: not on the site
        WebCheckResult result;
        const char* box;
    } cases[] = {
        {"nothing listening on the port", dead, nullptr, WebCheckResult::CouldNotCheck, kCouldNotCheck},
        {"the connection closed without an answer", hangUp, nullptr, WebCheckResult::CouldNotCheck, kCouldNotCheck},
        {"no version file (404)", m_host, nullptr, WebCheckResult::CouldNotCheck, kCouldNotCheck},
        {"an HTML page served with 200", m_host, "<html><body>Moved</body></html>", WebCheckResult::CouldNotCheck,
         kCouldNotCheck},
        {"no build in the first line", m_host, "Vindalex 3.1\r\n01/01/2030 Vindalex.exe\r\n",
         WebCheckResult::CouldNotCheck, kCouldNotCheck},
        {"an empty version file", m_host, "", WebCheckResult::CouldNotCheck, kCouldNotCheck},
        {"nothing newer", m_host, "Vindalex Version 3.1 - Build 130\r\n01/01/2019 Vindalex.exe\r\n",
         WebCheckResult::UpToDate, kUpToDate},
        {"only a message", m_host, "Vindalex Version 3.1 - Build 130\r\nvndBldMSGYhello\r\n",
         WebCheckResult::UpToDate, kUpToDate},
    };
    for (const auto& c : cases) {
        if (c.versionFile)
            Serve("CurrentVersion.txt", c.versionFile);
        else
            ::DeleteFileA((m_site + "\\CurrentVersion.txt").c_str());
        // A version file left by an earlier check is not taken for the site's answer.
        ASSERT_TRUE(testsupport::WriteFile(m_dir.file("WebVersion.txt"),
                                           "Vindalex Version 9 - Build 9\r\n01/01/2030 Vindalex.exe\r\n"));
        m_boxes.clear();
        const WebCheckResult result = RunWebVersionCheck(m_folder.c_str(), c.host.c_str());
        EXPECT_EQ(static_cast<int>(c.result), static_cast<int>(result)) << c.what;
        EXPECT_TRUE(Notices().empty()) << c.what;
        EXPECT_TRUE(m_boxes.empty()) << c.what << ": the check itself is silent";
        ReportWebCheck(result);
        ASSERT_EQ(1u, m_boxes.size()) << c.what;
        EXPECT_EQ(c.box, m_boxes[0]) << c.what;
    }
}

} // namespace

namespace {

class NoticeWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_anim = CWMOptions::m_bShowAnim;
        CWMOptions::m_bShowAnim = 0;
        m_oldSleep = CZLMWindowMgr::SetSleepFunction(&NoSleep);
    }
    void TearDown() override
    {
        CZLMWindowMgr::SetSleepFunction(m_oldSleep);
        CWMOptions::m_bShowAnim = m_anim;
    }
    static void Pump()
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    ZLMSleepFunction m_oldSleep = nullptr;
    int m_anim = 0;
    testsupport::TempDir m_dir;
};

// The auto-close timer's tick is delivered at once instead of waiting 3 seconds.
TEST_F(NoticeWindow, AutoCloseOnlyWhenAsked)
{
    for (BOOL autoClose : {TRUE, FALSE}) {
        CNoticeDlg notice(nullptr);
        notice.m_strText = "Nothing understood that.";
        notice.m_bAutoClose = autoClose;
        ASSERT_TRUE(notice.Create(IDD_NOTICE, nullptr));
        EXPECT_EQ("Nothing understood that.", [&] {
            CString s;
            notice.GetDlgItem(IDC_NOTICE_TEXT)->GetWindowText(s);
            return std::string(static_cast<LPCTSTR>(s));
        }());
        EXPECT_FALSE(notice.GetDlgItem(IDC_NOTICE_UPDATE)->IsWindowVisible());
        HWND h = notice.m_hWnd;
        notice.SendMessage(WM_TIMER, 0xDEAF);
        Pump();
        EXPECT_EQ(!autoClose, ::IsWindow(h) != FALSE) << autoClose;
        if (::IsWindow(h))
            notice.DestroyWindow();
    }
}

TEST_F(NoticeWindow, CloseOnAnOfferCopiesTheFile)
{
    std::string source = m_dir.file("source.txt"), dest = m_dir.file("dest.txt");
    ASSERT_TRUE(testsupport::WriteFile(source, "fresh"));
    ASSERT_TRUE(testsupport::WriteFile(dest, "stale"));
    CNoticeDlg notice(nullptr);
    notice.m_bAutoClose = FALSE;
    notice.m_bShowClose = TRUE;
    notice.m_bShowUpdate = TRUE;
    notice.m_strCopySource = source.c_str();
    notice.m_strCopyDest = dest.c_str();
    ASSERT_TRUE(notice.Create(IDD_NOTICE, nullptr));
    HWND h = notice.m_hWnd;
    notice.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NOTICE_CLOSE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(notice.GetDlgItem(IDC_NOTICE_CLOSE)->m_hWnd));
    Pump();
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ("fresh", testsupport::ReadFile(dest));
}

} // namespace
