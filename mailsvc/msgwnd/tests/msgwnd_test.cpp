// Message windows with real dialogs under the test display.
#include "files/fileutil.h"
#include "msgwnd/msgwnd.h"
#include "msgwnd/msgwnd_ids.h"
#include "options/wmoptions.h"
#include "testsupport/testsupport.h"
#include "testsupport/win_wait.h"
#include "winmgr/winmgr.h"

#include "winmgr/tests/options_key_guard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ShellCall {
    std::string verb, file, params, dir;
    int show;
};
std::vector<ShellCall> g_shellCalls;

HINSTANCE RecordShell(HWND, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show)
{
    g_shellCalls.push_back({verb, file, params, dir, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

void NoSleep(DWORD) {}

std::string Text(CWnd* dlg, int id)
{
    CString s;
    dlg->GetDlgItemText(id, s);
    return std::string(s);
}

CRect ChildRect(CWnd* dlg, int id)
{
    CRect rc;
    dlg->GetDlgItem(id)->GetWindowRect(&rc);
    return rc;
}

class MessageWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_anim = CWMOptions::m_bShowAnim;
        CWMOptions::m_bShowAnim = 0;
        m_oldSleep = CZLMWindowMgr::SetSleepFunction(&NoSleep);
        m_oldRunner = CMessageAttachDlg::SetShellRunner(&RecordShell);
        g_shellCalls.clear();
    }
    void TearDown() override
    {
        m_mgr.DeInIt();
        CMessageAttachDlg::SetShellRunner(m_oldRunner);
        CZLMWindowMgr::SetSleepFunction(m_oldSleep);
        CWMOptions::m_bShowAnim = m_anim;
    }
    void Pump()
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    CZLMWindowMgr m_mgr;
    int m_anim = 0;
    ZLMSleepFunction m_oldSleep = nullptr;
    CMessageAttachDlg::ShellRunner m_oldRunner = nullptr;
};

TEST_F(MessageWindowTest, ShowsTheAnswerAndKeepsItsTextsAsWritten)
{
    CMessageDlg* dlg = new CMessageDlg;
    dlg->m_strSubject = "Your files";
    dlg->m_strDate = "Thu Dec 10 12:00:00 2026";
    dlg->m_strBody = "line one\r\nline two";
    dlg->m_strTitle = "Message from Vindalex";
    ASSERT_TRUE(dlg->Create(IDD_ZLM_MESSAGE, m_mgr.GetParent()));
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_EQ(::GetWindow(dlg->m_hWnd, GW_OWNER), nullptr);  // stands on the desktop by itself
    m_mgr.AttachWindow(dlg, 0);
    EXPECT_TRUE(dlg->IsWindowVisible());

    EXPECT_EQ(Text(dlg, IDC_ZLM_SUBJECT), "Your files");
    EXPECT_EQ(Text(dlg, IDC_ZLM_DATE), "Thu Dec 10 12:00:00 2026");
    EXPECT_EQ(Text(dlg, IDC_ZLM_BODY), "line one\r\nline two");
    CString title;
    dlg->GetWindowText(title);
    EXPECT_STREQ(title, "Message from Vindalex");
    EXPECT_NE(dlg->GetIcon(TRUE), nullptr);

    // Typing into the body is undone at once.
    HWND body = dlg->GetDlgItem(IDC_ZLM_BODY)->m_hWnd;
    ::SendMessageA(body, WM_CHAR, 'x', 1);
    ::SendMessageA(body, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("typed"));
    EXPECT_EQ(Text(dlg, IDC_ZLM_BODY), "line one\r\nline two");
    HWND date = dlg->GetDlgItem(IDC_ZLM_DATE)->m_hWnd;
    ::SendMessageA(date, EM_SETSEL, 0, -1);
    ::SendMessageA(date, WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(Text(dlg, IDC_ZLM_DATE), "Thu Dec 10 12:00:00 2026");
}

TEST_F(MessageWindowTest, OkAndTheCloseBoxDestroyTheWindow)
{
    CMessageDlg* a = new CMessageDlg;
    CMessageDlg* b = new CMessageDlg;
    ASSERT_TRUE(a->Create(IDD_ZLM_MESSAGE, m_mgr.GetParent()));
    ASSERT_TRUE(b->Create(IDD_ZLM_MESSAGE, m_mgr.GetParent()));
    m_mgr.AttachWindow(a, 0);
    m_mgr.AttachWindow(b, 0);
    HWND ha = a->m_hWnd, hb = b->m_hWnd;

    ::SendMessageA(ha, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Pump();
    EXPECT_FALSE(::IsWindow(ha));
    ::SendMessageA(hb, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hb));
    // Nothing stays hidden until the program ends: the manager lets both go.
    m_mgr.RefreshWindowVector();
    EXPECT_EQ(m_mgr.GetWindowCount(), 0);
}

TEST_F(MessageWindowTest, ListsAttachmentsWithTheirOwnIconsAndRunsTheShellOnTheSelection)
{
    testsupport::TempDir dir;
    std::vector<std::string> files = {dir.file("a.txt"), dir.file("b.bmp"), dir.file("c.zip")};
    for (const std::string& f : files)
        ASSERT_TRUE(testsupport::WriteFile(f, "x"));

    CMessageAttachDlg* dlg = new CMessageAttachDlg;
    const int imagesBefore = dlg->m_ImageList.GetImageCount();
    EXPECT_EQ(imagesBefore, 2);  // a blank image and the library's own icon
    dlg->m_strSubject = "files";
    ASSERT_TRUE(dlg->Create(IDD_ZLM_MESSAGE_ATTACH, m_mgr.GetParent()));
    // Each later path goes in at position 1, as the reply object does it.
    for (int i = 0; i < 3; ++i)
        dlg->m_AttachList.InsertItem(1, files[i].c_str(), i + 1);
    dlg->UpdateAttachmentIcons();
    m_mgr.AttachWindow(dlg, 0);

    ASSERT_EQ(dlg->m_AttachList.GetItemCount(), 3);
    EXPECT_EQ(std::string(dlg->m_AttachList.GetItemText(0)), files[0]);
    EXPECT_EQ(std::string(dlg->m_AttachList.GetItemText(1)), files[2]);
    EXPECT_EQ(std::string(dlg->m_AttachList.GetItemText(2)), files[1]);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dlg->m_AttachList.GetItemImage(i), imagesBefore + i);
    EXPECT_EQ(dlg->m_ImageList.GetImageCount(), imagesBefore + 3);

    // Nothing selected: the command does nothing.
    ::SendMessageA(dlg->m_hWnd, WM_COMMAND, ID_ZLM_ATTACH_OPEN, 0);
    EXPECT_TRUE(g_shellCalls.empty());

    dlg->m_AttachList.SetItemSelected(1, TRUE);
    dlg->m_AttachList.SetItemSelected(2, TRUE);  // single selection: replaces the first
    ::SendMessageA(dlg->m_hWnd, WM_COMMAND, ID_ZLM_ATTACH_OPEN, 0);
    ::SendMessageA(dlg->m_hWnd, WM_COMMAND, ID_ZLM_ATTACH_PRINT, 0);
    ::SendMessageA(dlg->m_hWnd, WM_COMMAND, ID_ZLM_ATTACH_EDIT, 0);
    ASSERT_EQ(g_shellCalls.size(), 3u);
    const std::string folder = std::string(GetPath(files[1].c_str())) + "/";
    EXPECT_EQ(g_shellCalls[0].verb, "open");
    EXPECT_EQ(g_shellCalls[1].verb, "print");
    EXPECT_EQ(g_shellCalls[2].verb, "edit");
    for (const ShellCall& c : g_shellCalls) {
        EXPECT_EQ(c.file, files[1]);
        EXPECT_EQ(c.params, "");
        EXPECT_EQ(c.dir, folder);
        EXPECT_EQ(c.show, SW_SHOWNORMAL);
    }
}

// A file the shell finds no icon for (it is gone) gets the blank image; the
// files after it keep their own icons.
TEST_F(MessageWindowTest, AttachmentWithoutAnIconTakesNoOtherFilesIcon)
{
    testsupport::TempDir dir;
    const std::vector<std::string> files = {dir.file("a.txt"), dir.file("gone.txt"), dir.file("c.zip")};
    ASSERT_TRUE(testsupport::WriteFile(files[0], "x"));
    ASSERT_TRUE(testsupport::WriteFile(files[2], "x"));

    CMessageAttachDlg* dlg = new CMessageAttachDlg;
    const int imagesBefore = dlg->m_ImageList.GetImageCount();
    ASSERT_TRUE(dlg->Create(IDD_ZLM_MESSAGE_ATTACH, m_mgr.GetParent()));
    for (int i = 0; i < 3; ++i)
        dlg->m_AttachList.InsertItem(i, files[static_cast<size_t>(i)].c_str(), i + 1);
    dlg->UpdateAttachmentIcons();
    m_mgr.AttachWindow(dlg, 0);

    ASSERT_EQ(dlg->m_AttachList.GetItemCount(), 3);
    EXPECT_EQ(std::string(dlg->m_AttachList.GetItemText(1)), files[1]);
    EXPECT_EQ(dlg->m_ImageList.GetImageCount(), imagesBefore + 2);
    EXPECT_EQ(dlg->m_AttachList.GetItemImage(0), imagesBefore);
    EXPECT_EQ(dlg->m_AttachList.GetItemImage(1), 0) << "the missing file shows another file's icon";
    EXPECT_EQ(dlg->m_AttachList.GetItemImage(2), imagesBefore + 1);
}

TEST_F(MessageWindowTest, RightClickOpensTheSideBarMenuWhoseFirstItemOpensTheFile)
{
    testsupport::TempDir dir;
    const std::string file = dir.file("a.txt");
    ASSERT_TRUE(testsupport::WriteFile(file, "x"));
    CMessageAttachDlg* dlg = new CMessageAttachDlg;
    ASSERT_TRUE(dlg->Create(IDD_ZLM_MESSAGE_ATTACH, m_mgr.GetParent()));
    dlg->m_AttachList.InsertItem(0, file.c_str(), 1);
    dlg->UpdateAttachmentIcons();
    m_mgr.AttachWindow(dlg, 0);
    dlg->m_AttachList.SetItemSelected(0, TRUE);

    // The menu runs modally on this thread: a script finds it among this
    // thread's windows (other programs on the display show menus of the same
    // class) and, once it is up, chooses its first item with Return.
    const DWORD thread = ::GetCurrentThreadId();
    auto menusOfThisThread = [thread] { return testsupport::ThreadWindows(thread, "BitmapMenu"); };
    testsupport::ScriptThread keys([thread] {
        HWND menu = testsupport::WaitForThreadWindow(thread, "BitmapMenu");
        if (!menu)
            return;  // the failure names what was missing; the watchdog closes whatever opened
        ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    });
    NMHDR nm = {};
    nm.hwndFrom = dlg->m_AttachList.m_hWnd;
    nm.idFrom = IDC_ZLM_ATTACH_LIST;
    nm.code = NM_RCLICK;
    testsupport::ModalWatchdog watchdog("the attachment menu to choose its first item", testsupport::kModalLoopMs,
                                        [menusOfThisThread] {
                                            for (HWND menu : menusOfThisThread())
                                                ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                                        });
    ::SendMessageA(dlg->m_hWnd, WM_NOTIFY, IDC_ZLM_ATTACH_LIST, (LPARAM)&nm);
    watchdog.Disarm();
    keys.Join();
    EXPECT_TRUE(menusOfThisThread().empty()) << "the menu stayed open";
    // The chosen item reaches the dialog as a posted command (none when the
    // watchdog had to close the menu: that failure is already told).
    if (!watchdog.Fired())
        EXPECT_TRUE(testsupport::WaitUntil([] { return !g_shellCalls.empty(); }, testsupport::kWindowWaitMs, true))
            << "the menu's first item never ran the shell";
    ASSERT_EQ(g_shellCalls.size(), 1u);
    EXPECT_EQ(g_shellCalls[0].verb, "open");
    EXPECT_EQ(g_shellCalls[0].file, file);
}

TEST_F(MessageWindowTest, ResizingStretchesTheBoxesButNotTheLabels)
{
    CMessageAttachDlg* dlg = new CMessageAttachDlg;
    ASSERT_TRUE(dlg->Create(IDD_ZLM_MESSAGE_ATTACH, m_mgr.GetParent()));
    m_mgr.AttachWindow(dlg, 0);
    CRect wr;
    dlg->GetWindowRect(&wr);
    const CRect subject0 = ChildRect(dlg, IDC_ZLM_SUBJECT), body0 = ChildRect(dlg, IDC_ZLM_BODY),
                list0 = ChildRect(dlg, IDC_ZLM_ATTACH_LIST), label0 = ChildRect(dlg, IDC_ZLM_SUBJECT_LABEL),
                ok0 = ChildRect(dlg, IDOK);

    dlg->MoveWindow(wr.left, wr.top, wr.Width() + 120, wr.Height() + 90, TRUE);
    Pump();
    const CRect subject1 = ChildRect(dlg, IDC_ZLM_SUBJECT), body1 = ChildRect(dlg, IDC_ZLM_BODY),
                list1 = ChildRect(dlg, IDC_ZLM_ATTACH_LIST), label1 = ChildRect(dlg, IDC_ZLM_SUBJECT_LABEL),
                ok1 = ChildRect(dlg, IDOK);
    EXPECT_GT(subject1.Width(), subject0.Width() + 60);
    EXPECT_GT(body1.Width(), body0.Width() + 60);
    EXPECT_GT(body1.Height(), body0.Height());
    EXPECT_GT(list1.Width(), list0.Width());
    EXPECT_EQ(label1.Size(), label0.Size());
    EXPECT_EQ(ok1.Height(), ok0.Height());

    dlg->ShowWindow(SW_MINIMIZE);
    Pump();
    dlg->ShowWindow(SW_RESTORE);
    Pump();
    EXPECT_EQ(ChildRect(dlg, IDC_ZLM_BODY).Size(), body1.Size());
    EXPECT_EQ(ChildRect(dlg, IDC_ZLM_SUBJECT_LABEL).Size(), label0.Size());
}

} // namespace
