// Drives the Relvane plug-in's action the way the host does: loads the module,
// hands it the settings and the links of a parsed request, and calls it. The
// mail box and the outbox are those of the profile named by VX_RELVANE_PROFILE
// (made by forward_action_peer.py, which writes the mail and reads the result).
// VX_RELVANE_REQUESTER is who asks by mail (someone@example.com when unset),
// VX_RELVANE_ACCEPTED the program's accepted-sender list (one address, or none).
#include "plugin_interface.h"
#include "mapi/text_scramble.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include "msgwnd/msgwnd.h"
#include "options/wmoptions.h"
#include "webmsg/htmlmsg.h"
#include "winmgr/winmgr.h"
#include "../../tests/plugin_test_support.h"
#include "../../tests/accepted_senders.h"

#include <memory>

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Request {
    const char* name;
    std::vector<WordLinkage> links;
};

WordLinkage L(const char* left, const char* label, const char* right, int l, int r)
{
    return WordLinkage(left, label, right, l, r);
}

// Links as the request grammar gives them for each request of the peer.
std::vector<Request> Requests()
{
    return {
        // "Please send me new messages without attachments."
        {"new-without",
         {L("/////", "Wi", "send.v", 0, 2), L("please", "E", "send.v", 1, 2), L("send.v", "Opn", "messages.n", 2, 5),
          L("send.v", "Y", "me", 2, 3), L("new", "A", "messages.n", 4, 5), L("messages.n", "M", "without", 5, 6),
          L("without", "Jp", "attachments.n", 6, 7)}},
        // "Send me all my old messages."
        {"all-with",
         {L("/////", "Wi", "send.v", 0, 1), L("send.v", "Opn", "messages.n", 1, 5), L("send.v", "Y", "me", 1, 2),
          L("all", "DA", "my", 3, 4), L("my", "D", "messages.n", 4, 5), L("old", "A", "messages.n", 4, 5)}},
        // "Send me all my old messages from (Alice)."
        {"from-alice",
         {L("/////", "Wi", "send.v", 0, 1), L("send.v", "Opn", "messages.n", 1, 5), L("send.v", "Y", "me", 1, 2),
          L("old", "A", "messages.n", 4, 5), L("send.v", "MV", "from", 1, 6),
          L("from", "Js", "(Alice).n", 6, 7)}},
        // "Send my new messages to (carol@example.com)." - by mail to that address.
        {"to-carol",
         {L("/////", "Wi", "send.v", 0, 1), L("send.v", "Opn", "messages.n", 1, 4), L("my", "D", "messages.n", 2, 4),
          L("new", "A", "messages.n", 3, 4), L("send.v", "MV", "to", 1, 5),
          L("to", "Ox", "(carol@example.com).n", 5, 6)}},
        // "Send me a summary of my new messages." - not this plug-in's.
        {"summary",
         {L("/////", "Wi", "send.v", 0, 1), L("send.v", "O*n", "summary.n", 1, 4), L("send.v", "Y", "me", 1, 2),
          L("summary.n", "M", "of", 4, 5), L("of", "Jp", "messages.n", 5, 8)}},
    };
}

// The forwarded messages on the user's page; the [forward] button opens the
// form with the message quoted and its attachment copied; the form sends the
// mail (the peer reads it from the outbox).
void CheckWebPages()
{
    std::vector<CHTMLMsg*> pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    CHTMLMsg* lunch = nullptr;
    for (CHTMLMsg* p : pages) {
        EXPECT_EQ(std::string((const char*)p->m_strUserID), "user1");
        // The links are live markup on the rendered page, carrying the page's own ids.
        const std::string html = (const char*)p->RenderHTML();
        EXPECT_NE(html.find("<a href=\"AssistantReply.kvx?req=FullMsgRead?UserID=user1?MessageID=" +
                            std::to_string(p->GetMessageID()) + "?USRBTN1=MsgForward\">[forward]</a>"),
                  std::string::npos)
            << html;
        EXPECT_NE(html.find("[reply]</a>"), std::string::npos);
        if (p->m_strSubject == "FW: Lunch plans")
            lunch = p;
    }
    ASSERT_NE(lunch, nullptr);
    EXPECT_EQ(std::string((const char*)lunch->m_strSpare), "alice@example.com");
    // Even when the request said "without attachments", the page keeps a copy.
    ASSERT_EQ(lunch->m_AttachmentNames.GetCount(), 1);
    // Its name starts with a random tag nobody can guess (not a running number).
    const std::string copy = (const char*)lunch->m_AttachmentNames.GetHead();
    EXPECT_EQ(copy.size(), 32 + std::strlen("-menu.txt")) << copy;
    EXPECT_EQ(copy.find_first_not_of("0123456789abcdef"), 32u) << copy;
    EXPECT_EQ(copy.substr(32), "-menu.txt");

    lunch->ExecuteAction("req=FullMsgRead|UserID=user1|MessageID=1|USRBTN1=MsgForward");
    pages = Pages();
    ASSERT_EQ(pages.size(), 3u);
    CHTMLMsg* form = pages.back();
    EXPECT_EQ(std::string((const char*)form->m_strSubject), "Forward Message");
    EXPECT_NE(form->m_strBody.Find("FW: FW: Lunch plans"), -1) << (const char*)form->m_strBody;
    EXPECT_NE(form->m_strBody.Find("-- Original Message --{_cr_}From: alice&#64;example.com"), -1);
    EXPECT_NE(form->m_strBody.Find("checked"), -1);
    // The form is markup on the rendered page, not escaped text.
    const std::string formHtml = (const char*)form->RenderHTML();
    EXPECT_NE(formHtml.find("<input type=\"text\" name=\"EmAddr\""), std::string::npos) << formHtml;
    ASSERT_EQ(form->m_AttachmentNames.GetCount(), 1);
    const std::string formCopy = (const char*)form->m_AttachmentNames.GetHead();
    EXPECT_EQ(formCopy.substr(32), "-menu.txt");
    EXPECT_NE(formCopy.substr(0, 32), copy.substr(0, 32));  // a copy of the form's own

    form->ExecuteAction("EmAddr=dave@example.com|Subjt=FW: Lunch plans|ATTch=1|MBody=See below.|");
    // The form closed itself; the two forwarded messages stay.
    EXPECT_EQ(Pages().size(), 2u);
}

void NoSleep(DWORD) {}

// The forwarded messages in desktop windows: the one with an attachment lists
// it, and the listed file is still there (with its bytes) after the forward,
// kept in the program's "Temporary Files" folder.
void CheckDesktopWindows(const std::string& installDir)
{
    g_WindowMgr.RefreshWindowVector();
    std::vector<std::string> subjects;
    CMessageAttachDlg* lunch = nullptr;
    for (int i = 0; i < g_WindowMgr.GetWindowCount(); ++i) {
        auto* dlg = dynamic_cast<CMessageDlg*>(g_WindowMgr.GetWindowAt(i));
        if (!dlg)
            continue;
        subjects.push_back((const char*)dlg->m_strSubject);
        if (dlg->m_strSubject == "FW: Lunch plans")
            lunch = dynamic_cast<CMessageAttachDlg*>(dlg);
        else
            EXPECT_EQ(dlg->GetRuntimeClass(), RUNTIME_CLASS(CMessageDlg)) << (const char*)dlg->m_strSubject;
    }
    EXPECT_EQ(subjects.size(), 3u);
    ASSERT_NE(lunch, nullptr) << "the lunch message's window lists no files";
    ASSERT_EQ(lunch->m_AttachList.GetItemCount(), 1);
    const std::string path = (const char*)lunch->m_AttachList.GetItemText(0);
    const std::string kept = installDir + "\\Temporary Files\\";
    EXPECT_EQ(Lower(path.substr(0, kept.size())), Lower(kept)) << path;
    EXPECT_EQ(path.substr(path.size() - std::strlen("-menu.txt")), "-menu.txt") << path;
    HANDLE f = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << "the listed file is gone: " << path;
    char bytes[64] = {};
    DWORD got = 0;
    ::ReadFile(f, bytes, sizeof bytes, &got, nullptr);
    ::CloseHandle(f);
    EXPECT_EQ(std::string(bytes, got), "soup\r\nbread\r\n");
    for (int i = 0; i < g_WindowMgr.GetWindowCount(); ++i)
        if (g_WindowMgr.GetWindowAt(i)->m_hWnd)
            g_WindowMgr.GetWindowAt(i)->DestroyWindow();
    g_WindowMgr.RefreshWindowVector();
}

TEST(ForwardAction, ForwardsTheRequestedMessages)
{
    std::string which = Env("VX_RELVANE_CASE");
    std::string profile = Env("VX_RELVANE_PROFILE");
    if (which.empty() || profile.empty())
        GTEST_SKIP() << "run by forward_action_peer.py";

    SettingsGuard settings({"Relvane-Active", "Relvane-DefaultNew", "Relvane-DefaultAttach"});
    std::unique_ptr<AcceptedSenders> accepted;
    if (!Env("VX_RELVANE_ACCEPTED").empty())
        accepted = std::make_unique<AcceptedSenders>(Env("VX_RELVANE_ACCEPTED"));
    std::string module = "Z:" + Env("VX_BIN_DIR") + "/Relvane.kVX";
    HMODULE h = LoadLibraryA(module.c_str());
    ASSERT_NE(h, nullptr) << module;
    auto setUserInfo = reinterpret_cast<SetUserInfoProc>(GetProcAddress(h, "SetUserInfo"));
    auto action = reinterpret_cast<PluginActionProc>(GetProcAddress(h, "SendMeNewMail"));
    ASSERT_TRUE(setUserInfo && action);

    CString user = profile.c_str();
    ZLMScrambleText(user, kScrambleKeyMailProfile);
    CString password;
    ZLMScrambleText(password, kScrambleKeyMailPassword);
    CString myName = "Vindalex Personal Assistant";
    CString log;
    CString sender = "Someone";
    setUserInfo(h, USERINFO_MODULE);
    setUserInfo(&user, USERINFO_MAIL_USER);
    setUserInfo(&password, USERINFO_MAIL_PASSWORD);
    setUserInfo(&myName, USERINFO_MY_NAME);
    setUserInfo(&log, USERINFO_LOG);
    setUserInfo(&sender, USERINFO_SENDER_NAME);
    setUserInfo("0", USERINFO_INTERFACE_MODE);

    bool web = which == "web";
    bool desktop = which == "desktop";
    std::string webDir = Env("VX_RELVANE_WEB_DIR");
    std::string installDir = "Z:" + Env("VX_RELVANE_INSTALL_DIR");
    for (char& c : installDir)
        if (c == '/')
            c = '\\';
    CString install = (installDir + "\\").c_str();
    setUserInfo(&install, USERINFO_INSTALL_DIR);
    if (desktop) {
        // Typed at the desktop toolbar, every message, attachments and all.
        setUserInfo("1", USERINFO_INTERFACE_MODE);
        CWMOptions::m_bShowAnim = 0;
        CZLMWindowMgr::SetSleepFunction(&NoSleep);
        which = "all-with";
    }
    if (web) {
        // As the web server asks: the answer goes to the user's page.
        setUserInfo("2", USERINFO_INTERFACE_MODE);
        CWMOptions::m_strAssistantWWWDir = ("Z:" + webDir).c_str();
        which = "new-without";
    }
    for (Request& r : Requests()) {
        if (which != r.name)
            continue;
        std::string asker = Env("VX_RELVANE_REQUESTER").empty() ? "someone@example.com" : Env("VX_RELVANE_REQUESTER");
        CString requester = web ? "Web Requestuser1" : desktop ? "Current User" : asker.c_str();
        // The web server marks the request it works on as the owner's (it
        // came from the owner's own address).
        if (web)
            SetWebRequestOwner("user1", true);
        // The host calls with the link that matched a row: the trigger's object link.
        int index = 0;
        while (index < static_cast<int>(r.links.size()) && r.links[index].m_strLinkLabel.Left(1) != "O")
            ++index;
        int result = action(&requester, index, &r.links, 0);
        if (web)
            ClearWebRequestOwner();
        std::printf("%s", (const char*)log);
        EXPECT_EQ(result, which == "summary" ? 0 : 1) << (const char*)log;
        if (web)
            CheckWebPages();
        if (desktop)
            CheckDesktopWindows(installDir);
        setUserInfo("UnLoadKVX", USERINFO_UNLOAD);
        FreeLibrary(h);
        return;
    }
    FAIL() << "no request " << which;
}

// The dictionary test's way: the plug-in hands out its test sentence in test
// mode, the sentence is parsed with the packed grammar (linkage 1, as the host
// takes it) and offered to the plug-in's rows; the plug-in answers 1 only for
// the reading it expects (7), and sends nothing.
class DictionaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string module = "Z:" + Env("VX_BIN_DIR") + "/Relvane.kVX";
        h = LoadLibraryA(module.c_str());
        ASSERT_NE(h, nullptr) << module;
        getActionsName = reinterpret_cast<GetActionsNameProc>(GetProcAddress(h, "GetActionsName"));
        setUserInfo = reinterpret_cast<SetUserInfoProc>(GetProcAddress(h, "SetUserInfo"));
        action = reinterpret_cast<PluginActionProc>(GetProcAddress(h, "SendMeNewMail"));
        ASSERT_TRUE(getActionsName && setUserInfo && action);
        setUserInfo(h, USERINFO_MODULE);
        setUserInfo(&log, USERINFO_LOG);
        std::string dir = "Z:" + Env("VX_BIN_DIR");
        dict = std::make_unique<CGrammarDictionary>((dir + "/VindalexW.Vqt").c_str(), (dir + "/VindalexR.Vqt").c_str(),
                                                    nullptr, 0, nullptr);
        ASSERT_TRUE(dict->IsLoaded());
        options = CreateParseOptions();
    }
    void TearDown() override
    {
        if (options)
            DeleteParseOptions(options);
        dict.reset();
        if (h) {
            setUserInfo("UnLoadKVX", USERINFO_UNLOAD);
            FreeLibrary(h);
        }
    }

    // The first nonzero answer of a row to the sentence, as the host's direct call gives it.
    int Offer(const std::string& sentenceText)
    {
        CSentence sentence(sentenceText.c_str(), dict.get());
        if (sentence.Parse(options) <= 0)
            return 0;
        CLinkage linkage(1, &sentence, options);
        std::unique_ptr<std::vector<WordLinkage>> links(linkage.GetWordLinkages());
        CString requester = "Vindalex Personal Assistant";
        for (int row = 0; getActionsName(row, 0) && *getActionsName(row, 0); ++row) {
            CString label = getActionsName(row, 1);
            for (size_t i = 0; i < links->size(); ++i) {
                if ((*links)[i].m_strLinkLabel.Left(label.GetLength()) != label)
                    continue;
                if (action(&requester, static_cast<int>(i), links.get(), 0))
                    return 1;
                break;
            }
        }
        return 0;
    }

    SettingsGuard settings{{"Relvane-Active", "Relvane-DefaultNew", "Relvane-DefaultAttach"}};
    HMODULE h = nullptr;
    GetActionsNameProc getActionsName = nullptr;
    SetUserInfoProc setUserInfo = nullptr;
    PluginActionProc action = nullptr;
    CString log;
    std::unique_ptr<CGrammarDictionary> dict;
    ParseOptions* options = nullptr;
};

TEST_F(DictionaryTest, TestSentenceReachesARowWithReadingSeven)
{
    ASSERT_STREQ(getActionsName(-1, PLUGIN_INFO_TEST_COUNT), "1");
    std::string sentence = getActionsName(-1, PLUGIN_INFO_TEST_SENTENCE);
    EXPECT_EQ(sentence, "Please send me new messages without attachments.");
    EXPECT_EQ(Offer(sentence), 1) << (const char*)log;
    // Another reading of the same kind of request is not the expected one.
    EXPECT_EQ(Offer("Send me my new mail."), 0) << (const char*)log;
    getActionsName(-1, PLUGIN_INFO_TEST_END);
}

} // namespace
