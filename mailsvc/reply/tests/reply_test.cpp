// The reply object delivering through each road: message windows, web
// messages, and mail through the session to the mail provider's outbox.
#include "files/fileutil.h"
#include "fx/msgbox.h"
#include "mapi/zlm_mapi.h"
#include "msgwnd/msgwnd.h"
#include "msgwnd/msgwnd_ids.h"
#include "options/wmoptions.h"
#include "reply/reply.h"
#include "testsupport/testsupport.h"
#include "webmsg/htmlmsg.h"
#include "winmgr/winmgr.h"

#include "winmgr/tests/options_key_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace {

void NoSleep(DWORD) {}

std::string S(const CString& s) { return std::string(static_cast<LPCTSTR>(s), s.GetLength()); }

class ReplyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CWMOptions options;
        options.Init();
        m_anim = CWMOptions::m_bShowAnim;
        CWMOptions::m_bShowAnim = 0;
        m_oldSleep = CZLMWindowMgr::SetSleepFunction(&NoSleep);
        m_oldDir = CWMOptions::m_strAssistantWWWDir;
        CWMOptions::m_strAssistantWWWDir = m_web.path().c_str();
        m_oldBox = AfxSetMessageBoxHook([this](HWND, LPCTSTR text, LPCTSTR, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
        m_windowsBefore = WindowCount();
    }
    void TearDown() override
    {
        for (int i = 0; i < g_WindowMgr.GetWindowCount(); ++i)
            if (g_WindowMgr.GetWindowAt(i)->m_hWnd)
                g_WindowMgr.GetWindowAt(i)->DestroyWindow();
        g_WindowMgr.RefreshWindowVector();
        for (const char* user : {"7", "alice", "bob", ""})
            g_HTMLMgr.EndUserSession(user);
        AfxSetMessageBoxHook(m_oldBox);
        CWMOptions::m_strAssistantWWWDir = m_oldDir;
        CZLMWindowMgr::SetSleepFunction(m_oldSleep);
        CWMOptions::m_bShowAnim = m_anim;
    }
    static int WindowCount()
    {
        g_WindowMgr.RefreshWindowVector();
        return g_WindowMgr.GetWindowCount();
    }
    static CMessageDlg* LastWindow()
    {
        int n = g_WindowMgr.GetWindowCount();
        return n ? dynamic_cast<CMessageDlg*>(g_WindowMgr.GetWindowAt(n - 1)) : nullptr;
    }
    static std::string WebPage(const char* user) { return S(g_HTMLMgr.RenderHTMLForUser(user)); }
    // Sends one reply through the given road.
    void Send(const char* to, int mode, const std::vector<std::string>& paths = {}, CZLMMapi* session = nullptr,
              const char* subject = "Re: files", const char* text = "Here you are.")
    {
        CString sTo = to, sFrom = "Vindalex", sSubject = subject, sText = text;
        MAPIOutgoingMessage reply(session, &m_log, &sTo, &sFrom, mode);
        reply.Subject(&sSubject);
        reply.Text(&sText);
        for (const std::string& p : paths)
            reply.Attach(p.c_str());
    }

    testsupport::TempDir m_web;
    testsupport::TempDir m_files;
    CString m_log;
    std::vector<std::string> m_boxes;
    int m_windowsBefore = 0;
    int m_anim = 0;
    CString m_oldDir;
    ZLMSleepFunction m_oldSleep = nullptr;
    AfxMessageBoxHook m_oldBox;
};

TEST_F(ReplyTest, WithoutALogNothingIsEverDelivered)
{
    CString to = "Current User", from = "Vindalex";
    {
        MAPIOutgoingMessage reply(nullptr, nullptr, &to, &from, 1);
    }
    EXPECT_EQ(m_boxes, (std::vector<std::string>{"Param2 must not be NULL!"}));
    EXPECT_EQ(WindowCount(), m_windowsBefore);
}

TEST_F(ReplyTest, CurrentUserGetsAMessageWindow)
{
    Send("Current User", 0);
    ASSERT_EQ(WindowCount(), m_windowsBefore + 1);
    CMessageDlg* dlg = LastWindow();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetRuntimeClass(), RUNTIME_CLASS(CMessageDlg));
    EXPECT_TRUE(dlg->IsWindowVisible());
    CString title, subject, body;
    dlg->GetWindowText(title);
    dlg->GetDlgItemText(IDC_ZLM_SUBJECT, subject);
    dlg->GetDlgItemText(IDC_ZLM_BODY, body);
    EXPECT_EQ(S(title), "Message from Vindalex");
    EXPECT_EQ(S(subject), "Re: files");
    EXPECT_EQ(S(body), "Here you are.");
    EXPECT_TRUE(m_log.IsEmpty()) << S(m_log);

    // Closing it destroys it, and the manager lets it go.
    ::SendMessageA(dlg->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(WindowCount(), m_windowsBefore);
}

TEST_F(ReplyTest, DesktopAnswerListsItsFilesLaterOnesAtPositionOne)
{
    std::vector<std::string> paths = {m_files.file("A.txt"), m_files.file("B.txt"), m_files.file("C.txt")};
    for (const std::string& p : paths)
        ASSERT_TRUE(testsupport::WriteFile(p, "x"));
    Send("Current User", 1, paths);
    CMessageAttachDlg* dlg = dynamic_cast<CMessageAttachDlg*>(LastWindow());
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(dlg->m_AttachList.GetItemCount(), 3);
    EXPECT_EQ(S(dlg->m_AttachList.GetItemText(0)), paths[0]);
    EXPECT_EQ(S(dlg->m_AttachList.GetItemText(1)), paths[2]);
    EXPECT_EQ(S(dlg->m_AttachList.GetItemText(2)), paths[1]);
    // The source files stay where they are.
    for (const std::string& p : paths)
        EXPECT_TRUE(testsupport::FileExists(p));
}

TEST_F(ReplyTest, WebRequestGetsAWebMessageWithCopiedAttachments)
{
    const std::string pic = m_files.file("pic.jpg");
    ASSERT_TRUE(testsupport::WriteFile(pic, "JFIF"));
    Send("Web Request7", 0, {pic, m_files.file("missing.txt")}, nullptr, "<b>hi</b>");
    EXPECT_EQ(WindowCount(), m_windowsBefore);
    const std::string page = WebPage("7");
    EXPECT_NE(page.find("&lt;b&gt;hi&lt;/b&gt;"), std::string::npos);
    EXPECT_NE(page.find("Here you are."), std::string::npos);
    // The copy is named after a random tag (no running number anyone could
    // guess) and listed for its user; the missing file is logged and not listed.
    const size_t at = page.find("name=\"MessageID\" value=\"");
    ASSERT_NE(at, std::string::npos);
    const int id = std::atoi(page.c_str() + at + 24);
    std::smatch link;
    ASSERT_TRUE(std::regex_search(page, link, std::regex("\"/~@assistant@/([0-9a-f]{32}-pic\\.jpg)\\?UserID=7\"><img")))
        << page;
    const std::string copy = link[1];
    EXPECT_EQ(testsupport::ReadFile(m_web.file(copy)), "JFIF");
    EXPECT_EQ(page.find("missing"), std::string::npos);
    EXPECT_NE(S(m_log).find("could not be copied"), std::string::npos);
    EXPECT_NE(S(m_log).find("missing.txt"), std::string::npos);
    EXPECT_TRUE(testsupport::FileExists(pic));

    // Closing the web message deletes its copy.
    CHTMLMsg* msg = g_HTMLMgr.FindMessage(id, "7");
    ASSERT_NE(msg, nullptr);
    msg->ExecuteAction("ClosE");
    EXPECT_FALSE(testsupport::FileExists(m_web.file(copy)));
    EXPECT_TRUE(testsupport::FileExists(pic));
}

TEST_F(ReplyTest, WebAnswerWithoutAUserIsRefusedAndLogged)
{
    Send("Web Request", 0);
    Send("short", 2);
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 0);
    EXPECT_EQ(WebPage("").find("Here you are."), std::string::npos);
    size_t refusals = 0;
    for (size_t p = S(m_log).find("refused"); p != std::string::npos; p = S(m_log).find("refused", p + 1))
        ++refusals;
    EXPECT_EQ(refusals, 2u);
}

TEST_F(ReplyTest, NoWebFolderMeansNoCopies)
{
    CWMOptions::m_strAssistantWWWDir = "";
    const std::string file = m_files.file("data.bin");
    ASSERT_TRUE(testsupport::WriteFile(file, "123"));
    Send("Web Request7", 2, {file});
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 1);
    EXPECT_EQ(WebPage("7").find("data.bin"), std::string::npos);
    EXPECT_NE(S(m_log).find("could not be copied"), std::string::npos);
}

TEST_F(ReplyTest, ModeNineReplacesTheUsersEarlierMessages)
{
    const std::string a = m_files.file("a.txt");
    ASSERT_TRUE(testsupport::WriteFile(a, "first"));
    Send("alice", 9, {a}, nullptr, "one");
    Send("bob", 9, {}, nullptr, "other");
    ASSERT_TRUE(testsupport::WriteFile(a, "second"));
    Send("alice", 9, {a}, nullptr, "two");
    const std::string page = WebPage("alice");
    EXPECT_EQ(page.find("<b>one</b>"), std::string::npos);
    EXPECT_NE(page.find("<b>two</b>"), std::string::npos);
    EXPECT_NE(WebPage("bob").find("<b>other</b>"), std::string::npos);
    // The remaining copy is the new one, intact after the old message's files went.
    const size_t at = page.find("-a.txt");
    ASSERT_NE(at, std::string::npos);
    size_t start = page.rfind('/', at) + 1;
    EXPECT_EQ(testsupport::ReadFile(m_web.file(page.substr(start, at + 6 - start))), "second");
}

TEST_F(ReplyTest, AttachmentListsReachEveryRoad)
{
    const std::string f = m_files.file("list.txt");
    const std::string g = m_files.file("photo.jpg");
    ASSERT_TRUE(testsupport::WriteFile(f, "x"));
    ASSERT_TRUE(testsupport::WriteFile(g, "JFIF"));
    CZLMMapiFile list;
    list.CreatePointer(2);
    list.SetPosition(0);
    list.SetPathName(f.c_str());
    list.SetFileName("list.txt");
    list.SetPosition(1);
    list.SetPathName(g.c_str());
    list.SetFileName("photo.jpg");
    CString to = "Current User", from = "Vindalex", subject = "forwarded";
    {
        MAPIOutgoingMessage reply(nullptr, &m_log, &to, &from, 0);
        reply.Subject(&subject);
        reply.Attach(&list);
        EXPECT_EQ(reply.GetMessagePtr()->GetFiles().GetSize(), 0u);  // no mail goes out
    }
    // The desktop window lists the files of the list (a forwarded mail's
    // attachments), as it lists files attached one by one.
    CMessageAttachDlg* dlg = dynamic_cast<CMessageAttachDlg*>(LastWindow());
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(dlg->m_AttachList.GetItemCount(), 2);
    EXPECT_EQ(S(dlg->m_AttachList.GetItemText(0)), f);
    EXPECT_EQ(S(dlg->m_AttachList.GetItemText(1)), g);

    // A web answer carries copies of them.
    CString web = "Web Request7";
    {
        MAPIOutgoingMessage reply(nullptr, &m_log, &web, &from, 2);
        reply.Subject(&subject);
        reply.Attach(&list);
    }
    const std::string page = WebPage("7");
    std::smatch link;
    ASSERT_TRUE(std::regex_search(page, link, std::regex("([0-9a-f]{32}-photo\\.jpg)\\?UserID=7\"><img"))) << page;
    EXPECT_EQ(testsupport::ReadFile(m_web.file(link[1].str())), "JFIF");
    EXPECT_NE(page.find("-list.txt?UserID=7"), std::string::npos) << page;

    CString mailTo = "someone@example.com";
    MAPIOutgoingMessage mail(nullptr, &m_log, &mailTo, &from, 0);
    mail.Attach(&list);
    EXPECT_EQ(mail.GetMessagePtr()->GetFiles().GetSize(), 2u);
}

TEST_F(ReplyTest, OtherModesDeliverNothing)
{
    const int webBefore = g_HTMLMgr.GetMessageCount();
    Send("someone", 5);
    Send("someone", -1);
    Send("someone", 3);
    EXPECT_EQ(WindowCount(), m_windowsBefore);
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), webBefore);
    EXPECT_TRUE(m_log.IsEmpty());
}

TEST_F(ReplyTest, MailWithoutALoggedOnSessionIsLoggedAndNotSent)
{
    CZLMMapi session;
    Send("current user", 0, {}, &session);  // not the desktop marker: a mail to that text
    EXPECT_EQ(WindowCount(), m_windowsBefore);
    EXPECT_EQ(S(m_log), "  Unknown error has occurred.\r\n");
    m_log.Empty();
    Send("someone@example.com", 0, {}, nullptr);
    EXPECT_EQ(S(m_log), "  Unknown error has occurred.\r\n");
}

// The outbox folder of the session's mail profile.
std::string OutboxFolder()
{
    char buf[MAX_PATH] = {};
    DWORD size = sizeof buf;
    if (::RegGetValueA(HKEY_CURRENT_USER, "Software\\Vindalex\\VxMail\\Profiles\\Vindalex", "Outbox", RRF_RT_REG_SZ,
                       nullptr, buf, &size) != ERROR_SUCCESS)
        return std::string();
    return buf;
}

// Names and contents of the mails in a Maildir's "new" folder.
std::vector<std::pair<std::string, std::string>> MailsIn(const std::string& maildir)
{
    std::vector<std::pair<std::string, std::string>> mails;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((maildir + "\\new\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return mails;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            mails.push_back({fd.cFileName, testsupport::ReadFile(maildir + "\\new\\" + fd.cFileName)});
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return mails;
}

TEST_F(ReplyTest, MailGoesOutThroughTheSessionWithItsAttachments)
{
    const std::string outbox = OutboxFolder();
    ASSERT_FALSE(outbox.empty()) << "the test session registers a mail profile";
    std::vector<std::string> before;
    for (const auto& m : MailsIn(outbox))
        before.push_back(m.first);
    const std::string x = m_files.file("x.txt"), y = m_files.file("y");
    ASSERT_TRUE(testsupport::WriteFile(x, "text file\r\n"));
    ASSERT_TRUE(testsupport::WriteFile(y, "no extension\r\n"));

    // A subject of this run's own: the peer check may run this test beside another copy of it.
    const char* token = getenv("VX_REPLY_TOKEN");
    const std::string subject = "Your files " + (token ? std::string(token) : std::to_string(::GetCurrentProcessId()));
    CZLMMapi session;
    ASSERT_EQ(session.Logon("Vindalex", 0, "", nullptr), 0u);
    Send("someone@example.com", 0, {x, y}, &session, subject.c_str(), "Both attached.");
    EXPECT_TRUE(m_log.IsEmpty()) << S(m_log);
    session.Logoff(0, nullptr);

    // Other tests may use the same outbox meanwhile: look at new mails only.
    std::vector<std::string> ours;
    for (const auto& m : MailsIn(outbox))
        if (std::find(before.begin(), before.end(), m.first) == before.end() &&
            m.second.find(subject) != std::string::npos)
            ours.push_back(m.second);
    ASSERT_EQ(ours.size(), 1u);
    const std::string& mail = ours[0];
    EXPECT_NE(mail.find("someone@example.com"), std::string::npos);
    EXPECT_NE(mail.find("Both attached."), std::string::npos);
    EXPECT_NE(mail.find("filename=\"x.txt\""), std::string::npos) << mail;
    EXPECT_NE(mail.find("filename=\"y\""), std::string::npos) << mail;
    EXPECT_EQ(WindowCount(), m_windowsBefore);
}

// The mail classes throw their failures as heap objects: a send that throws
// one is logged, and the object is freed, not leaked once per failed send.
int g_thrown = 0;
int g_freed = 0;

class CountedMapiException : public CZLMMapiException {
public:
    CountedMapiException() : CZLMMapiException(ZLM_MAPI_NO_MEMORY) { ++g_thrown; }
    ~CountedMapiException() override { ++g_freed; }
};

ULONG WINAPI ThrowingSendMail(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG)
{
    throw new CountedMapiException;
}

TEST_F(ReplyTest, FailedSendThatThrowsIsLoggedAndItsExceptionFreed)
{
    CZLMMapi session;
    ASSERT_EQ(session.Logon("Vindalex", 0, "", nullptr), 0u);
    const ZLMPFN_MAPISENDMAIL real = CZLMMapi::lpfnMAPISendMail;
    CZLMMapi::lpfnMAPISendMail = &ThrowingSendMail;
    g_thrown = g_freed = 0;
    for (int i = 0; i < 3; ++i)
        Send("someone@example.com", 0, {}, &session);
    CZLMMapi::lpfnMAPISendMail = real;
    session.Logoff(0, nullptr);
    EXPECT_EQ(g_thrown, 3);
    EXPECT_EQ(g_freed, 3) << "each failed send leaked its exception object";
    EXPECT_EQ(S(m_log), "  Mail send error caught.\r\n  Mail send error caught.\r\n  Mail send error caught.\r\n");
}

} // namespace
