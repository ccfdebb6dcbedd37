// Web messages and sessions through the process-wide manager.
#include "options/wmoptions.h"
#include "testsupport/testsupport.h"
#include "webmsg/htmlmsg.h"
#include "webmsg/webfiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

time_t g_now = 1700000000;
time_t TestClock() { return g_now; }

std::vector<std::string> g_closed;  // "<user>:<reason>"

// A message that notes how it was closed.
class NotingMsg : public CHTMLMsg {
public:
    NotingMsg(const char* user, const char* subject)
    {
        m_strUserID = user;
        m_strSubject = subject;
    }
    void Close(CString reason) override
    {
        g_closed.push_back(std::string(m_strUserID) + ":" + std::string(reason));
        CHTMLMsg::Close(reason);
    }
};

size_t Count(const std::string& hay, const std::string& needle)
{
    size_t n = 0;
    for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1))
        ++n;
    return n;
}

class WebMsgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_now = 1700000000;
        m_oldClock = fx::SetTimeSource(&TestClock);
        g_closed.clear();
        m_oldLoader = CZLMHTMLMgr::SetResourceLoader([](int id) -> CString {
            const char* name = id == 186 ? "page_head.html" : id == 187 ? "page_foot.html" : id == 189 ? "message.html" : nullptr;
            if (!name)
                return CString();
            std::string bytes = testsupport::ReadFile(testsupport::SourcePath(std::string("mailsvc/webmsg/res/") + name));
            return CString(bytes.c_str(), static_cast<int>(bytes.size()));
        });
        m_oldDir = CWMOptions::m_strAssistantWWWDir;
        CWMOptions::m_strAssistantWWWDir = m_web.path().c_str();
    }
    void TearDown() override
    {
        for (const char* user : {"7", "8", "alice", "bob", ""})
            g_HTMLMgr.EndUserSession(user);
        EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 0);
        EXPECT_EQ(g_HTMLMgr.GetSessionCount(), 0);
        CWMOptions::m_strAssistantWWWDir = m_oldDir;
        CZLMHTMLMgr::SetResourceLoader(m_oldLoader);
        fx::SetTimeSource(m_oldClock);
    }
    testsupport::TempDir m_web;
    CString m_oldDir;
    fx::TimeSource m_oldClock = nullptr;
    CZLMHTMLMgr::ResourceLoader m_oldLoader;
};

TEST_F(WebMsgTest, HostileMailTextIsEscapedAndCannotFillPlaceholders)
{
    CHTMLMsg* m = new CHTMLMsg;
    m->m_strUserID = "7";
    m->m_strSubject = "<script>alert(1)</script> @msgid@";
    m->m_strSender = "\"Eve\" <eve@example.com>";
    m->m_strDate = "Thu Dec 10 12:00:00 2026";
    m->m_strBody = "line one\nline two{_cr_}@userid@ @assistant@ @body@ </td></form>";
    m->m_AttachmentNames.AddTail("Photo.JPEG");
    m->m_AttachmentNames.AddTail("notes.txt");
    m->m_AttachmentNames.AddTail("x\"><script>.txt");
    g_HTMLMgr.AttachMessage(m);

    const std::string page = static_cast<const char*>(g_HTMLMgr.RenderHTMLForUser("7"));
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("<b>&lt;script&gt;alert(1)&lt;/script&gt; &#64;msgid&#64;</b>"), std::string::npos);
    EXPECT_NE(page.find("&quot;Eve&quot; &lt;eve&#64;example.com&gt;"), std::string::npos);
    EXPECT_NE(page.find("line one<br>line two\n&#64;userid&#64; &#64;assistant&#64; &#64;body&#64; &lt;/td&gt;&lt;/form&gt;"),
              std::string::npos);
    // The placeholders that stay for the web server are only the pages' own:
    // head and block each hold one "UserID" field.
    EXPECT_EQ(Count(page, "@userid@"), 2u);
    EXPECT_NE(page.find("value=\"" + std::to_string(m->GetMessageID()) + "\""), std::string::npos);
    EXPECT_EQ(Count(page, "@msgid@"), 0u);
    // Attachments: a picture shows as an image, a text file by its name.
    // The links carry the user's id (the server serves a copy to its owner only);
    // names are data in the link.
    EXPECT_NE(page.find("<tr><td><center><a href=\"/~@assistant@/Photo.JPEG?UserID=7\"><img src=\"/~@assistant@/Photo.JPEG?UserID=7\"></a></tr>"),
              std::string::npos);
    EXPECT_NE(page.find("<a href=\"/~@assistant@/notes.txt?UserID=7\">notes.txt</a></tr>"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"/~@assistant@/x%22%3E%3Cscript%3E.txt?UserID=7\">x&quot;&gt;&lt;script&gt;.txt</a>"),
              std::string::npos);
    // Head first, foot last.
    EXPECT_EQ(page.find("<html>"), 0u);
    EXPECT_NE(page.rfind("</html>"), std::string::npos);
    EXPECT_GT(page.find("name=\"MessageID\""), page.find("name=\"COMPOSE\""));
}

// A page that composes its own body markup (links, a form) shows it as markup,
// and only that page: its plain body text stays escaped on every other message.
class LinkPage : public CHTMLMsg {
protected:
    CString BodyMarkup() override { return "<a href=\"go\">[go]</a> " + CHTMLMsg::BodyMarkup(); }
};

TEST_F(WebMsgTest, PagesMayComposeTheirOwnBodyMarkup)
{
    LinkPage* m = new LinkPage;
    m->m_strUserID = "8";
    m->m_strBody = "<i>from a mail</i>";
    g_HTMLMgr.AttachMessage(m);
    const std::string page = static_cast<const char*>(g_HTMLMgr.RenderHTMLForUser("8"));
    EXPECT_NE(page.find("<a href=\"go\">[go]</a> &lt;i&gt;from a mail&lt;/i&gt;"), std::string::npos) << page;
}

TEST_F(WebMsgTest, PagesShowTheUsersMessagesNewestFirst)
{
    g_HTMLMgr.AttachMessage(new NotingMsg("alice", "first"));
    g_HTMLMgr.AttachMessage(new NotingMsg("bob", "other"));
    g_HTMLMgr.AttachMessage(new NotingMsg("alice", "second"));
    const std::string page = static_cast<const char*>(g_HTMLMgr.RenderHTMLForUser("alice"));
    ASSERT_NE(page.find("<b>first</b>"), std::string::npos);
    EXPECT_LT(page.find("<b>second</b>"), page.find("<b>first</b>"));
    EXPECT_EQ(page.find("other"), std::string::npos);
}

TEST_F(WebMsgTest, CloseOlderClosesOnlyThatUsersMessages)
{
    for (int i = 0; i < 3; ++i)
        g_HTMLMgr.AttachMessage(new NotingMsg("alice", "old"));
    NotingMsg* bobs = new NotingMsg("bob", "keep");
    g_HTMLMgr.AttachMessage(bobs);
    NotingMsg* fresh = new NotingMsg("alice", "new");
    fresh->m_bCloseOlder = true;
    g_HTMLMgr.AttachMessage(fresh);
    EXPECT_EQ(g_closed, (std::vector<std::string>{"alice:force", "alice:force", "alice:force"}));
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 2);
    EXPECT_EQ(g_HTMLMgr.FindMessage(bobs->GetMessageID()), bobs);
    EXPECT_EQ(g_HTMLMgr.FindMessage(fresh->GetMessageID()), fresh);
}

TEST_F(WebMsgTest, LookupIsPerUserAndClosingNeedsTheExactWord)
{
    NotingMsg* a = new NotingMsg("alice", "a");
    NotingMsg* b = new NotingMsg("bob", "b");
    g_HTMLMgr.AttachMessage(a);
    g_HTMLMgr.AttachMessage(b);
    const int idA = a->GetMessageID(), idB = b->GetMessageID();
    EXPECT_NE(idA, idB);
    EXPECT_GT(idA, 0);
    EXPECT_EQ(g_HTMLMgr.FindMessage(idA, "alice"), a);
    EXPECT_EQ(g_HTMLMgr.FindMessage(idB, "alice"), nullptr);
    EXPECT_EQ(g_HTMLMgr.FindMessage(0), nullptr);

    EXPECT_FALSE(g_HTMLMgr.ExecuteMessageAction(idB, "alice", "ClosE"));
    EXPECT_TRUE(g_HTMLMgr.ExecuteMessageAction(idA, "alice", "close"));  // lower case: ignored
    EXPECT_EQ(g_HTMLMgr.FindMessage(idA), a);
    EXPECT_TRUE(g_HTMLMgr.ExecuteMessageAction(idA, "alice", "ClosE B3"));
    EXPECT_EQ(g_closed, (std::vector<std::string>{"alice:ClosE B3"}));
    EXPECT_EQ(g_HTMLMgr.FindMessage(idA), nullptr);
    EXPECT_EQ(g_HTMLMgr.FindMessage(idB, "bob"), b);
}

TEST_F(WebMsgTest, SessionsStartRenewAndExpire)
{
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession("alice"));
    g_HTMLMgr.ActivateSession("alice");
    g_HTMLMgr.ActivateSession("alice");
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), 1);  // one record per user
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("alice"));

    // A message an hour later renews the session for two more hours.
    g_now += 3600;
    g_HTMLMgr.AttachMessage(new NotingMsg("alice", "renews"));
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), 1);
    g_now += 2 * 3600 - 1;
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("alice"));
    g_HTMLMgr.CheckForSessionTimeouts();
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 1);

    // Expired: the check on use ends it even before a timeout sweep.
    g_now += 1;
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession("alice"));
    EXPECT_EQ(g_closed, (std::vector<std::string>{"alice:shutdown"}));
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), 0);
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 0);
}

TEST_F(WebMsgTest, TimeoutSweepEndsEveryExpiredSession)
{
    g_HTMLMgr.ActivateSession("alice");
    g_HTMLMgr.AttachMessage(new NotingMsg("alice", "a"));
    g_now += 600;
    g_HTMLMgr.ActivateSession("bob");
    g_HTMLMgr.AttachMessage(new NotingMsg("bob", "b"));
    g_now += 3600;
    g_HTMLMgr.ActivateSession("7");
    g_now += 3600;  // alice and bob expired, 7 not
    g_HTMLMgr.CheckForSessionTimeouts();
    EXPECT_EQ(g_closed, (std::vector<std::string>{"alice:shutdown", "bob:shutdown"}));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("7"));
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), 1);

    // Activating an expired session starts afresh: its old messages are gone.
    g_HTMLMgr.AttachMessage(new NotingMsg("7", "old"));
    g_now += 3 * 3600;
    g_HTMLMgr.ActivateSession("7");
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 0);
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("7"));
}

TEST_F(WebMsgTest, SessionsAreBoundedOldestUnusedFirst)
{
    // Proven sessions (a password login, an answer) and a flood of unused ones.
    g_HTMLMgr.ActivateSession("alice");
    g_now += 1;
    g_HTMLMgr.ActivateSession("bob", false);
    g_HTMLMgr.AttachMessage(new NotingMsg("bob", "proves bob"));
    std::vector<std::string> flood;
    for (int i = 0; i < CZLMHTMLMgr::kMaxSessions + 50; ++i) {
        flood.push_back("visitor" + std::to_string(i));
        g_HTMLMgr.ActivateSession(flood.back().c_str(), false);
        g_now += 1;
    }
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), CZLMHTMLMgr::kMaxSessions);
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("alice"));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("bob"));
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 1);
    // The oldest unused ones went, the newest stay.
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession(flood[0].c_str()));
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession(flood[51].c_str()));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession(flood[52].c_str()));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession(flood.back().c_str()));

    // With only proven sessions left, the one that expires first goes.
    for (size_t i = 52; i < flood.size(); ++i)
        g_HTMLMgr.ActivateSession(flood[i].c_str());  // proven now, and renewed after alice and bob
    g_HTMLMgr.ActivateSession("newcomer", false);
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession("alice"));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("bob"));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("newcomer"));
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), CZLMHTMLMgr::kMaxSessions);

    // Expired sessions are removed by the next look at any session.
    g_now += CZLMHTMLMgr::kSessionHours * 3600 + 100;
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession("bob"));
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), 0);
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 0);
}

TEST_F(WebMsgTest, AFloodOfUsedSessionsFromOneAddressEndsNoneOfAnothers)
{
    const std::uint32_t owner = 0x7F000001u, flood = 0x7F000002u;
    // Sessions in use (each used once) from the owner's address.
    for (int i = 0; i < 10; ++i) {
        g_HTMLMgr.ActivateSession(("mine" + std::to_string(i)).c_str(), true, owner);
        g_now += 1;
    }
    // 1,100 sessions, each used, from one other address.
    std::vector<std::string> made;
    for (int i = 0; i < 1100; ++i) {
        made.push_back("flood" + std::to_string(i));
        g_HTMLMgr.ActivateSession(made.back().c_str(), false, flood);
        g_HTMLMgr.ActivateSession(made.back().c_str(), true, flood);
        g_now += 1;
    }
    // The flood holds at most its share; it gave up its own, oldest first.
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), 10 + CZLMHTMLMgr::kMaxPerAddress);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(g_HTMLMgr.IsActiveSession(("mine" + std::to_string(i)).c_str())) << i;
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession(made[0].c_str()));
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession(made[1100 - CZLMHTMLMgr::kMaxPerAddress - 1].c_str()));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession(made[1100 - CZLMHTMLMgr::kMaxPerAddress].c_str()));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession(made.back().c_str()));
    g_now += CZLMHTMLMgr::kSessionHours * 3600 + 2000;
    g_HTMLMgr.CheckForSessionTimeouts();
}

TEST_F(WebMsgTest, AnAddressAtItsShareGivesUpItsUnusedSessionsFirst)
{
    const std::uint32_t a = 0x0A000001u;
    g_HTMLMgr.ActivateSession("used", true, a);
    g_now += 1;
    for (int i = 0; i < CZLMHTMLMgr::kMaxPerAddress + 20; ++i) {
        g_HTMLMgr.ActivateSession(("entry" + std::to_string(i)).c_str(), false, a);
        g_now += 1;
    }
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), CZLMHTMLMgr::kMaxPerAddress);
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("used"));
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession("entry0"));
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession("entry20"));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("entry21"));
    g_now += CZLMHTMLMgr::kSessionHours * 3600 + 2000;
    g_HTMLMgr.CheckForSessionTimeouts();
}

TEST_F(WebMsgTest, AFullTableOfUsedSessionsGivesUpTheBusiestAddresssOldest)
{
    // Four addresses fill the table with used sessions; the unused ones go
    // first, then the one used longest ago of the address that holds the most.
    std::vector<std::string> names;
    for (int i = 0; i < CZLMHTMLMgr::kMaxSessions; ++i) {
        const std::uint32_t address = 0x0A000001u + static_cast<std::uint32_t>(i % 4);
        names.push_back("u" + std::to_string(i));
        g_HTMLMgr.ActivateSession(names.back().c_str(), i != 5, address);
        g_now += 1;
    }
    EXPECT_EQ(g_HTMLMgr.GetSessionCount(), CZLMHTMLMgr::kMaxSessions);
    g_HTMLMgr.ActivateSession("late", true, 0x0A000009u);
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession("u5"));  // the one nobody used
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("u0"));
    g_HTMLMgr.ActivateSession("later", true, 0x0A000009u);
    // Every address holds 250 but 0x0A000002 (249 after u5): the lowest of the
    // busiest gives up the session it used longest ago.
    EXPECT_FALSE(g_HTMLMgr.IsActiveSession("u0"));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("u1"));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("late"));
    EXPECT_TRUE(g_HTMLMgr.IsActiveSession("later"));
    g_now += CZLMHTMLMgr::kSessionHours * 3600 + 2000;
    g_HTMLMgr.CheckForSessionTimeouts();
}

TEST_F(WebMsgTest, OwnerMarksOfSessionsAndWebRequests)
{
    g_HTMLMgr.ActivateSession("alice", true, 0x0A000001u);
    EXPECT_FALSE(g_HTMLMgr.IsOwnerSession("alice"));
    g_HTMLMgr.MarkOwnerSession("alice");
    EXPECT_TRUE(g_HTMLMgr.IsOwnerSession("alice"));
    g_HTMLMgr.MarkOwnerSession("nobody");  // no session: nothing marked
    EXPECT_FALSE(g_HTMLMgr.IsOwnerSession("nobody"));
    g_HTMLMgr.EndUserSession("alice");
    EXPECT_FALSE(g_HTMLMgr.IsOwnerSession("alice"));

    // Nothing marked: no web requester acts for the owner.
    EXPECT_FALSE(WebRequestActsForOwner("Web Requestalice"));
    SetWebRequestOwner("alice", true);
    EXPECT_TRUE(WebRequestActsForOwner("Web Requestalice"));
    EXPECT_FALSE(WebRequestActsForOwner("Web Requestbob"));
    EXPECT_FALSE(WebRequestActsForOwner("Web Requestalice2"));
    EXPECT_FALSE(WebRequestActsForOwner("alice"));
    // The mark is the calling thread's own.
    bool other = true;
    std::thread([&] { other = WebRequestActsForOwner("Web Requestalice"); }).join();
    EXPECT_FALSE(other);
    SetWebRequestOwner("alice", false);
    EXPECT_FALSE(WebRequestActsForOwner("Web Requestalice"));
    SetWebRequestOwner("", true);
    EXPECT_TRUE(WebRequestActsForOwner("Web Request"));
    ClearWebRequestOwner();
    EXPECT_FALSE(WebRequestActsForOwner("Web Request"));
}

TEST_F(WebMsgTest, ClosingDeletesOnlyItsOwnFilesInTheWebFolder)
{
    const std::string kept = m_web.file("victim.txt");
    ASSERT_TRUE(testsupport::WriteFile(m_web.file("1-pic.jpg"), "jpeg"));
    ASSERT_TRUE(testsupport::WriteFile(kept, "keep me"));
    testsupport::TempDir inner;
    CWMOptions::m_strAssistantWWWDir = inner.path().c_str();
    ASSERT_TRUE(testsupport::WriteFile(inner.file("1-pic.jpg"), "jpeg"));

    CHTMLMsg* m = new CHTMLMsg;
    m->m_strUserID = "8";
    m->m_AttachmentNames.AddTail("1-pic.jpg");
    m->m_AttachmentNames.AddTail("missing.txt");  // a missing file does not stop the others
    m->m_AttachmentNames.AddTail((std::string("..") + (kept.find('\\') != std::string::npos ? "\\" : "/") +
                                  "victim.txt").c_str());
    m->m_AttachmentNames.AddTail(kept.c_str());
    g_HTMLMgr.AttachMessage(m);
    m->ExecuteAction("ClosE");
    EXPECT_FALSE(testsupport::FileExists(inner.file("1-pic.jpg")));
    EXPECT_TRUE(testsupport::FileExists(kept));
    EXPECT_TRUE(testsupport::FileExists(m_web.file("1-pic.jpg")));

    // With no web folder set, nothing is resolved at all.
    EXPECT_TRUE(webmsg::WebFilePath("", "1-pic.jpg").IsEmpty());
    CWMOptions::m_strAssistantWWWDir = "";
    CHTMLMsg* n = new CHTMLMsg;
    n->m_AttachmentNames.AddTail("1-pic.jpg");
    delete n;
}

TEST_F(WebMsgTest, AttachmentCopiesBelongToTheirMessagesUser)
{
    CHTMLMsg* m = new CHTMLMsg;
    m->m_strUserID = "8";
    const CString tag = webmsg::NewWebFileTag();
    m->m_AttachmentNames.AddTail(tag + "-pic.jpg");
    g_HTMLMgr.AttachMessage(m);
    CString owner;
    EXPECT_TRUE(g_HTMLMgr.FindAttachmentOwner(tag + "-PIC.JPG", owner));
    EXPECT_STREQ(owner, "8");
    EXPECT_FALSE(g_HTMLMgr.FindAttachmentOwner("pic.jpg", owner));
    m->ExecuteAction("ClosE");
    EXPECT_FALSE(g_HTMLMgr.FindAttachmentOwner(tag + "-pic.jpg", owner));

    // Tags: 32 hex digits, never the same twice.
    const std::string a = static_cast<const char*>(webmsg::NewWebFileTag());
    const std::string b = static_cast<const char*>(webmsg::NewWebFileTag());
    EXPECT_EQ(a.size(), 32u);
    EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos) << a;
    EXPECT_NE(a, b);
}

TEST_F(WebMsgTest, CopiesGetTheirOwnIdentifiers)
{
    CHTMLMsg a;
    a.m_strSubject = "s";
    a.m_AttachmentNames.AddTail("n.txt");
    CHTMLMsg b(a);
    EXPECT_NE(b.GetMessageID(), a.GetMessageID());
    EXPECT_STREQ(b.m_szFrontTag, "HTMLMsg");
    EXPECT_STREQ(b.m_szBackTag, "gsMLMTH");
    EXPECT_STREQ(b.m_strSubject, "s");
    EXPECT_EQ(b.m_AttachmentNames.GetCount(), 1);
    CHTMLMsg c;
    const int idC = c.GetMessageID();
    c = a;
    EXPECT_EQ(c.GetMessageID(), idC);
    EXPECT_STREQ(c.m_strSubject, "s");
}

TEST_F(WebMsgTest, GuiAndListenerThreadsAtOnce)
{
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::thread listener([&] {
        while (!stop) {
            ++rounds;
            g_HTMLMgr.CheckForSessionTimeouts();
            if (!g_HTMLMgr.IsActiveSession("bob"))
                g_HTMLMgr.ActivateSession("bob");
            CString page = g_HTMLMgr.RenderHTMLForUser("alice");
            (void)page;
            g_HTMLMgr.AttachMessage(new NotingMsg("bob", "web"));
            for (int id = 1; id < 200; ++id)
                g_HTMLMgr.ExecuteMessageAction(id, "bob", "ClosE");
        }
    });
    // Both sides keep going until each has done a fair share alongside the
    // other; a listener that stops making progress fails the test, not hangs it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    for (int i = 0; i < 2000 || (rounds < 50 && std::chrono::steady_clock::now() < deadline); ++i) {
        NotingMsg* m = new NotingMsg("alice", "gui");
        m->m_bCloseOlder = (i % 3) == 0;
        g_HTMLMgr.AttachMessage(m);
        if (i % 5 == 0)
            g_HTMLMgr.EndUserSession("alice");
    }
    EXPECT_GE(rounds.load(), 50) << "the listener thread did not get its rounds in alongside the GUI thread";
    stop = true;
    listener.join();
    g_HTMLMgr.EndUserSession("alice");
    g_HTMLMgr.EndUserSession("bob");
    EXPECT_EQ(g_HTMLMgr.GetMessageCount(), 0);
}

#ifdef _WIN32
TEST_F(WebMsgTest, PagePartsComeFromTheLibrarysResources)
{
    CZLMHTMLMgr::SetResourceLoader(nullptr);
    const std::string head = static_cast<const char*>(g_HTMLMgr.LoadHTMLResource(186));
    const std::string foot = static_cast<const char*>(g_HTMLMgr.LoadHTMLResource(187));
    const std::string block = static_cast<const char*>(g_HTMLMgr.LoadHTMLResource(189));
    EXPECT_NE(head.find("name=\"dialoge\""), std::string::npos);
    EXPECT_NE(foot.find("@brand@"), std::string::npos);
    EXPECT_NE(block.find("@msgid@"), std::string::npos);
    EXPECT_EQ(g_HTMLMgr.LoadHTMLResource(188).GetLength(), 0);
}
#endif

} // namespace
