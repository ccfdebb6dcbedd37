// The request engine under Wine with real test plug-ins and the parser's
// fixture grammar: request lines, the ticks on an injected clock, and - when
// engine_mail_peer.py runs a case with a Maildir that it filled through
// Python's email package - the whole mail road through VxMail.dll.
#include "request_engine.h"

#include "desktop_road.h"
#include "dictionary_check.h"
#include "local_words.h"

#include "assistant_settings.h"
#include "plugin_table.h"

#include "assistant_site.h"
#include "mapi/text_scramble.h"
#include "mapi/zlm_mapi.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "reply/reply.h"
#include "parser/sentence/sentence.h"
#include "parser/tests/fixture_grammar.h"
#include "testsupport/testsupport.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

time_t g_now = 1700000000;
time_t FakeNow() { return g_now; }

std::string ExeFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of("\\/") + 1);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& prefix)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

int IndexOf(const std::vector<std::string>& lines, const std::string& prefix)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind(prefix, 0) == 0)
            return static_cast<int>(i);
    return -1;
}

// A current folder with the engine's test plug-ins, their table, the fixture
// grammar and an engine wired to them; the clock is ours.
class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        char old[MAX_PATH] = {};
        ::GetCurrentDirectoryA(MAX_PATH, old);
        m_old = old;
        PreparePluginsAndGrammar();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(m_dictionary && m_dictionary->IsLoaded());
        ASSERT_TRUE(::SetCurrentDirectoryA(m_dir.path().c_str()));
        m_table = std::make_unique<CPluginTable>();
        ASSERT_EQ(m_table->GetNumberOfRows(), ExpectedRows());

        g_Settings.ClearOKAddresses();
        g_Settings.ClearShortAddresses();
        g_Settings.ClearForwardAddresses();
        g_Settings.SetCheckFIFO(0);
        g_Settings.SetMyName("Vindi");
        g_Settings.SetCheckMAPI(1);
        g_Settings.SetAutoLogin(0);
        g_Settings.SetRefreshRate(60);
        g_strLog.Empty();
        g_DocumentStrings.RemoveAll();
        g_strLastProcessedID.Empty();
        m_oldClock = fx::SetTimeSource(&FakeNow);

        m_engine.m_pPlugins = m_table.get();
        m_engine.m_pDictionary = m_dictionary.get();
        m_engine.m_pParseOptions = m_options.p;
        m_engine.m_pSession = &m_session;
        m_engine.m_strAppPath = m_dir.path().c_str();
        m_engine.m_SendCommand = [this](unsigned id) {
            m_commands.push_back(id);
            if (id == ID_PROCESS)
                m_engine.OnProcess();
        };
        m_engine.m_PostCommand = [this](unsigned id) { m_posted.push_back(id); };
        CRequestEngine::SetCurrent(&m_engine);
    }

    void TearDown() override
    {
        CRequestEngine::SetCurrent(nullptr);
        if (m_session.GetSessionHandle())
            m_session.Logoff(0, nullptr);
        fx::SetTimeSource(m_oldClock);
        m_table.reset();
        ::SetCurrentDirectoryA(m_old.c_str());
    }

    // The engine's test plug-ins in the current folder and the parser's
    // fixture grammar.
    virtual void PreparePluginsAndGrammar()
    {
        for (const char* name : {"EngineTestA", "EngineTestB", "EngineTestC"}) {
            std::string from = ExeFolder() + "engine_plugins\\" + name + ".kVX";
            ASSERT_TRUE(::CopyFileA(from.c_str(), m_dir.file(std::string(name) + ".kVX").c_str(), FALSE)) << from;
        }
        m_dictionary = fixture::LoadDictionaryText(fixture::FixtureText("fixture.dict"));
    }
    virtual int ExpectedRows() const { return 5; }

    std::vector<std::string> Events() const { return Lines(testsupport::ReadFile(m_dir.file("events.txt"))); }
    void ClearEvents() const { ::DeleteFileA(m_dir.file("events.txt").c_str()); }

    // Mail ticks, one clock second apart, until a whole sweep dispatched
    // nothing more. Returns the number of mails handed to the mail road.
    int DriveMail(int maxTicks = 200)
    {
        int dispatched = 0;
        bool dispatchedThisSweep = false;
        int emptySweeps = 0;
        for (int i = 0; i < maxTicks && emptySweeps < 2; ++i) {
            g_now += 1;
            size_t before = m_commands.size();
            m_engine.OnMailTick();
            EXPECT_EQ(m_engine.m_Gate.m_bBusy, 0) << "busy flag left set by tick " << i;
            for (size_t c = before; c < m_commands.size(); ++c)
                if (m_commands[c] == ID_PROCESS) {
                    ++dispatched;
                    dispatchedThisSweep = true;
                }
            if (m_engine.m_strMessageID.IsEmpty()) {
                emptySweeps = dispatchedThisSweep ? 0 : emptySweeps + 1;
                dispatchedThisSweep = false;
            }
        }
        return dispatched;
    }

    // The profile that engine_mail_peer.py filled; skips without one.
    bool LogOnToPeerMaildir()
    {
        const char* maildir = std::getenv("VX_ENGINE_MAILDIR");
        const char* outbox = std::getenv("VX_ENGINE_OUTBOX");
        const char* profile = std::getenv("VX_ENGINE_PROFILE");
        if (!maildir || !outbox || !profile)
            return false;
        std::string key = std::string("Software\\Vindalex\\VxMail\\Profiles\\") + profile;
        HKEY h = nullptr;
        EXPECT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr),
                  ERROR_SUCCESS);
        auto set = [h](const char* name, const char* value) {
            ::RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             static_cast<DWORD>(std::strlen(value) + 1));
        };
        set("Password", "");
        set("Maildir", maildir);
        set("Outbox", outbox);
        set("From", "vindi@localhost");
        const char* smtp = std::getenv("VX_ENGINE_SMTP");  // host:port, else the outbox keeps the mail
        set("SmtpServer", smtp ? smtp : "");
        ::RegCloseKey(h);
        // The plug-ins log on with the program's (scrambled) mail settings.
        CString user = profile, password;
        ZLMScrambleText(user, kScrambleKeyMailProfile);
        ZLMScrambleText(password, kScrambleKeyMailPassword);
        g_Settings.SetUNM(user);
        g_Settings.SetUPM(password);
        EXPECT_EQ(m_session.Logon(profile, 0, "", nullptr), 0u);
        return m_session.GetSessionHandle() != 0;
    }

    testsupport::TempDir m_dir;
    std::string m_old;
    std::unique_ptr<CGrammarDictionary> m_dictionary;
    fixture::Options m_options;
    std::unique_ptr<CPluginTable> m_table;
    CZLMMapi m_session;
    CRequestEngine m_engine;
    std::vector<unsigned> m_commands;
    std::vector<unsigned> m_posted;
    fx::TimeSource m_oldClock = nullptr;
};

// The index of the link that the send row must be offered: the first "O"
// link with the verb at one end, in the best linkage (index 0).
int ExpectedSendLink(CGrammarDictionary* dictionary, ParseOptions* options, const char* line)
{
    CSentence sentence(line, dictionary);
    if (sentence.Parse(options) <= 0)
        return -2;
    CLinkage best(0, &sentence, options);
    std::unique_ptr<std::vector<WordLinkage>> links(best.GetWordLinkages());
    for (size_t i = 0; i < links->size(); ++i) {
        const WordLinkage& l = (*links)[i];
        if (l.m_strLinkLabel.Left(1) == "O" &&
            (CPluginActionCall::WordMatches("send.v", l.m_strLeftWord) ||
             CPluginActionCall::WordMatches("send.v", l.m_strRightWord)))
            return static_cast<int>(i);
    }
    return -1;
}

TEST_F(EngineFixture, RequestLineWakesOnlyItsRowsAndActsOnTheBestLinkage)
{
    CString sender = "someone@example.org", name = "Someone", subject = "subject";
    auto process = [&](const char* text) {
        CString line = text, message = text;
        return ProcessRequest(&line, &sender, &name, &subject, &message, nullptr, 0, 0, MODE_EMAIL);
    };

    EXPECT_EQ(process("Send me new mail"), 1);
    std::vector<std::string> events = Events();
    int expected = ExpectedSendLink(m_dictionary.get(), m_options.p, "Send me new mail");
    ASSERT_GE(expected, 0);
    ASSERT_EQ(IndexOf(events, "A send "), static_cast<int>(events.size()) - 1);
    EXPECT_EQ(events.back().substr(0, std::string("A send Send me new mail|").size() + 2),
              "A send Send me new mail|" + std::to_string(expected) + "|")
        << events.back();
    EXPECT_TRUE(Has(events, "A mode 0"));
    EXPECT_FALSE(Has(events, "B ")) << "no trigger word of B in the line";
    // The line's parser budget goes with the line: the dictionary test, which
    // shares the options, runs without it.
    EXPECT_EQ(ParseOptionsGetTimeLimitMs(m_options.p), -1);
    EXPECT_EQ(ParseOptionsGetMemoryLimit(m_options.p), kNoMemoryLimit);
    EXPECT_FALSE(ParseOptionsResourcesExhausted(m_options.p));

    // The inactive plug-in gets the mode reset but is never parsed for or called.
    ClearEvents();
    EXPECT_EQ(process("list the files"), 0);
    events = Events();
    EXPECT_TRUE(Has(events, "B mode 0"));
    EXPECT_FALSE(Has(events, "B list"));

    // No row's word in the line: B hears nothing ("*" rows wake on every line
    // but match no linkage label).
    ClearEvents();
    EXPECT_EQ(process("what is the weather"), 0);
    EXPECT_FALSE(Has(Events(), "B "));
    EXPECT_FALSE(Has(Events(), "A send"));

    // A plug-in whose own grammar block does not load: one log text naming
    // its first trigger word, and the start-up grammar serves the row.
    ClearEvents();
    g_strLog.Empty();
    EXPECT_EQ(process("tell me new mail"), 1);
    EXPECT_TRUE(Has(Events(), "C tell tell me new mail|"));
    EXPECT_EQ(g_strLog, ENGINE_TEXT_DICTIONARY_LOAD "tell.v)");

    // A trigger word in a line the grammar cannot parse: no action.
    ClearEvents();
    EXPECT_EQ(process("send send send"), 0);
    EXPECT_FALSE(Has(Events(), "A send"));
}

TEST_F(EngineFixture, GuiAndWebThreadsNeverProcessAtTheSameTime)
{
    auto requests = [](int n, std::atomic<int>& handled) {
        CString sender = "someone@example.org", name = "Someone", subject = "subject";
        for (int i = 0; i < n; ++i) {
            CString line = "tell me new mail", message = line;
            handled += ProcessRequest(&line, &sender, &name, &subject, &message, nullptr, 0, 0, MODE_WEB);
        }
    };
    std::atomic<int> gui{0}, web{0};
    std::thread listener([&] { requests(40, web); });  // the web server's thread
    requests(40, gui);                                  // the thread that runs the ticks
    listener.join();
    std::vector<std::string> events = Events();
    EXPECT_FALSE(Has(events, "C overlap"));
    EXPECT_EQ(web, 40) << "the web thread waits for the GUI's request";
    EXPECT_GT(gui, 0);
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const std::string& e) { return e.rfind("C tell", 0) == 0; }),
              gui + web);
}

TEST_F(EngineFixture, WholeRequestOffersFollowThePass)
{
    CString sender = "someone@example.org", name = "Someone", text = "anything";
    CString subject = "[whole-take]";
    EXPECT_EQ(TryPluginActions(nullptr, &sender, &name, nullptr, nullptr, &text, &text, &subject, 1, 0, 0), 0);
    EXPECT_EQ(TryPluginActions(nullptr, &sender, &name, nullptr, nullptr, &text, &text, &subject, 0, 0, 0), 1);
    std::vector<std::string> events = Events();
    EXPECT_TRUE(Has(events, "A alert [whole-take]|-1"));   // "**" row, tentative pass
    EXPECT_TRUE(Has(events, "A whole [whole-take]|-1"));   // "*" row, final pass
    EXPECT_LT(IndexOf(events, "A alert"), IndexOf(events, "A whole"));
}

TEST_F(EngineFixture, WatchdogReportsAStuckStepAndTheBackOffRisesOncePerStep)
{
    m_engine.OnMailTick();  // not logged on: nothing to probe, the deadline is set
    time_t deadline = m_engine.m_Gate.m_tWatchdogDeadline;
    EXPECT_EQ(deadline, g_now + 60 * 200 + 300);

    m_engine.m_Gate.BeginStep();  // a step that waits in a dialog
    for (int i = 0; i < 300; ++i) {
        g_now += 1;
        m_engine.OnMailTick();
        m_engine.OnFastTick();
    }
    EXPECT_EQ(m_engine.m_Gate.m_nBackOff, 1);
    EXPECT_EQ(g_strLog.Find("Watchdog"), -1);

    g_now = deadline + 1;
    g_bHoldLog = 1;
    m_engine.OnMailTick();
    EXPECT_GE(g_strLog.Find(ENGINE_TEXT_WATCHDOG), 0);
    EXPECT_EQ(g_bHoldLog, 0);
    m_engine.m_Gate.EndStep();
}

TEST_F(EngineFixture, ActiveHoursSendEachCommandOncePerChange)
{
    // The main frame's answer to the two commands: log the session on or off.
    m_engine.m_SendCommand = [this](unsigned id) {
        m_commands.push_back(id);
        if (id == ID_ACTIVATE)
            m_session.Logon("Vindalex", 0, "", nullptr);
        else if (id == ID_DEACTIVATE)
            m_session.Logoff(0, nullptr);
    };
    int webChecks = 0;
    m_engine.m_CheckWebForUpdate = [&webChecks] { ++webChecks; };
    g_Settings.SetCheckMAPI(0);
    g_Settings.SetAutoLogin(1);
    g_Settings.SetTimeStart(CTime(2026, 1, 1, 8, 0, 0));
    g_Settings.SetTimeEnd(CTime(2026, 1, 1, 17, 0, 0));
    auto tickAt = [&](int hour, int minute) {
        m_commands.clear();
        g_now = CTime(2026, 12, 10, hour, minute, 30).GetTime();
        m_engine.OnMailTick();
        return m_commands;
    };
    using C = std::vector<unsigned>;
    EXPECT_EQ(tickAt(7, 0), C{});
    EXPECT_EQ(tickAt(8, 0), C{ID_ACTIVATE});
    EXPECT_NE(m_session.GetSessionHandle(), 0u);
    EXPECT_EQ(tickAt(8, 1), C{});
    EXPECT_EQ(tickAt(16, 59), C{});
    // At the end one tick clears the flag and ends; the next deactivates.
    webChecks = 0;
    EXPECT_EQ(tickAt(17, 0), C{});
    EXPECT_EQ(webChecks, 0);
    EXPECT_EQ(tickAt(17, 1), C{ID_DEACTIVATE});
    EXPECT_EQ(webChecks, 0);
    EXPECT_EQ(m_session.GetSessionHandle(), 0u);
    EXPECT_EQ(tickAt(17, 2), C{});
    EXPECT_EQ(tickAt(23, 0), C{});

    // Start equal to end: no window; an activation on every tick that finds
    // the session logged off, and never a deactivation.
    g_Settings.SetTimeEnd(CTime(2026, 1, 1, 8, 0, 0));
    m_engine.m_bTimeWindowActed = 0;
    webChecks = 0;
    EXPECT_EQ(tickAt(3, 0), C{ID_ACTIVATE});
    EXPECT_EQ(tickAt(3, 1), C{});
    m_session.Logoff(0, nullptr);
    EXPECT_EQ(tickAt(20, 0), C{ID_ACTIVATE});
    // No mail probe with kVCheckMAPI off: the version check runs on every tick.
    EXPECT_EQ(webChecks, 3);
}

TEST_F(EngineFixture, AUserDeactivationHoldsUntilTheUserActivatesOrTheWindowNextOpens)
{
    m_engine.m_SendCommand = [this](unsigned id) {
        m_commands.push_back(id);
        if (id == ID_ACTIVATE)
            m_session.Logon("Vindalex", 0, "", nullptr);
        else if (id == ID_DEACTIVATE)
            m_session.Logoff(0, nullptr);
    };
    g_Settings.SetCheckMAPI(0);
    g_Settings.SetAutoLogin(1);
    int day = 10;
    auto tickAt = [&](int hour, int minute) {
        m_commands.clear();
        g_now = CTime(2026, 12, day, hour, minute, 30).GetTime();
        m_engine.OnMailTick();
        return m_commands;
    };
    auto userDeactivates = [&] {
        m_session.Logoff(0, nullptr);
        m_engine.HoldDeactivation();
    };
    using C = std::vector<unsigned>;

    // Start equal to end (no window): without the hold every tick would log
    // the session on again; with it nothing comes until the user activates.
    g_Settings.SetTimeStart(CTime(2026, 1, 1, 0, 0, 0));
    g_Settings.SetTimeEnd(CTime(2026, 1, 1, 0, 0, 0));
    EXPECT_EQ(tickAt(9, 0), C{ID_ACTIVATE});
    userDeactivates();
    for (int minute = 1; minute < 6; ++minute)
        EXPECT_EQ(tickAt(9, minute), C{}) << "tick at 9:0" << minute;
    EXPECT_EQ(tickAt(23, 59), C{});
    m_session.Logon("Vindalex", 0, "", nullptr);  // the user's Activate
    EXPECT_EQ(tickAt(10, 0), C{});
    EXPECT_FALSE(m_engine.DeactivationHeld());
    // A session ended otherwise (not by the user's Deactivate) comes back.
    m_session.Logoff(0, nullptr);
    EXPECT_EQ(tickAt(10, 1), C{ID_ACTIVATE});

    // Active hours 08:00 to 17:00: deactivated at 10:00, nothing for the
    // rest of the day; the next morning's opening activates again.
    g_Settings.SetTimeStart(CTime(2026, 1, 1, 8, 0, 0));
    g_Settings.SetTimeEnd(CTime(2026, 1, 1, 17, 0, 0));
    m_engine.m_bTimeWindowActed = 0;
    EXPECT_EQ(tickAt(10, 2), C{});
    userDeactivates();
    EXPECT_EQ(tickAt(10, 3), C{});
    EXPECT_EQ(tickAt(10, 4), C{});
    EXPECT_EQ(tickAt(16, 59), C{});
    EXPECT_EQ(tickAt(17, 30), C{});
    EXPECT_EQ(tickAt(23, 0), C{});
    day = 11;
    EXPECT_EQ(tickAt(7, 0), C{});
    EXPECT_EQ(tickAt(8, 0), C{ID_ACTIVATE});
    EXPECT_NE(m_session.GetSessionHandle(), 0u);
    EXPECT_FALSE(m_engine.DeactivationHeld());
}

TEST_F(EngineFixture, FastTickDrainsOneQueuedSentenceElseGivesAnIdleTurn)
{
    m_engine.QueueMessageBody("tell me new mail\r\n\r\ntell me new mail", "web@example.org", "Web", "", MODE_WEB, 0,
                              "queued", nullptr);
    m_engine.OnFastTick();
    auto tells = [this] {
        std::vector<std::string> e = Events();
        return std::count_if(e.begin(), e.end(), [](const std::string& l) { return l.rfind("C tell", 0) == 0; });
    };
    EXPECT_EQ(tells(), 1);
    EXPECT_TRUE(Has(Events(), "C mode 2"));
    EXPECT_EQ(m_engine.m_Gate.m_bBusy, 0);
    m_engine.OnFastTick();
    EXPECT_EQ(tells(), 2);
    EXPECT_FALSE(Has(Events(), "C idle"));
    m_engine.OnFastTick();  // the queue is empty: one idle turn
    EXPECT_TRUE(Has(Events(), "C idle"));
    EXPECT_EQ(m_engine.m_Gate.m_bBusy, 0);
}

// ---- The desktop road: requests typed into the desktop toolbar.

TEST_F(EngineFixture, DesktopLocalWordsActOnlyOnTheFinalPassWhenNothingElseDid)
{
    struct Case {
        const char* text;
        std::vector<unsigned> posted;  // on the final pass
        std::vector<unsigned> sent;
        int handled;
    };
    using U = std::vector<unsigned>;
    const Case cases[] = {
        {"quit", U{ID_APP_EXIT_COMMAND}, U{}, 1},
        {"console window", U{}, U{ID_CONSOLE_COMMAND}, 1},
        {"mail off", U{ID_DEACTIVATE}, U{}, 1},
        {"mapi deactivate", U{ID_DEACTIVATE}, U{}, 1},
        {"mail on", U{ID_ACTIVATE}, U{}, 1},
        // An action took the text on the final pass: not even quit is looked at.
        {"quit [whole-take]", U{}, U{}, 1},
        {"what is the weather", U{}, U{}, 0},
    };
    for (const Case& c : cases) {
        CString text = c.text, file;
        m_posted.clear();
        m_commands.clear();
        EXPECT_EQ(ProcessLocalRequest(&text, &file, 1, 0, 1), 0) << c.text;
        EXPECT_TRUE(m_posted.empty() && m_commands.empty()) << c.text << ": the tentative pass acted";
        EXPECT_EQ(ProcessLocalRequest(&text, &file, 1, 0, 0) != 0, c.handled != 0) << c.text;
        EXPECT_EQ(m_posted, c.posted) << c.text;
        EXPECT_EQ(m_commands, c.sent) << c.text;
        EXPECT_EQ(text, c.text) << "the caller's text is left as it was";
    }
}

TEST_F(EngineFixture, DesktopHelpSendsTheListingToTheUserAtTheComputer)
{
    CString text = "Options and HELP", file;
    g_strLog.Empty();
    EXPECT_EQ(ProcessLocalRequest(&text, &file, 1, 0, 0), 1);
    EXPECT_EQ(m_posted, std::vector<unsigned>{ID_OPTIONS_COMMAND});
    EXPECT_GE(g_strLog.Find(" Request for help by Current User\r\n"), 0) << static_cast<const char*>(g_strLog);
}

TEST_F(EngineFixture, DesktopDroppedFileGoesWithTheWholeRequestOffer)
{
    std::string path = m_dir.file("report.final.txt");
    ASSERT_TRUE(testsupport::WriteFile(path, "numbers"));
    CString text, file = path.c_str();
    EXPECT_EQ(ProcessLocalRequest(&text, &file, 1, 0, 0), 0);
    std::vector<std::string> events = Events();
    EXPECT_TRUE(Has(events, "A whole Appbar request {vndLocalReq}|-1"));
    EXPECT_TRUE(Has(events, "A whole attachment " + path + "|report.final.txt")) << testsupport::ReadFile(m_dir.file("events.txt"));
    // An empty text is not parsed: no row is woken for it.
    EXPECT_FALSE(Has(events, "B mode"));
    EXPECT_FALSE(Has(events, "C mode"));
}

TEST_F(EngineFixture, DesktopRequestRunsAtHighPriorityUntilTheOuterCallEnds)
{
    HANDLE self = ::GetCurrentProcess();
    ASSERT_EQ(::GetPriorityClass(self), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    {
        CPriorityBoost outer;
        EXPECT_EQ(::GetPriorityClass(self), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
        {
            CPriorityBoost inner;
            CString text = "what is the weather", file;
            ProcessLocalRequest(&text, &file, 1, 0, 0);  // a third level inside
        }
        EXPECT_EQ(::GetPriorityClass(self), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
        EXPECT_EQ(CPriorityBoost::Nesting(), 1);
    }
    EXPECT_EQ(::GetPriorityClass(self), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(CPriorityBoost::Nesting(), 0);
}

TEST_F(EngineFixture, DesktopRequestWhileTheWebHoldsTheLockIsBusyNotMisunderstood)
{
    CRequestLock::SetTickThread();
    std::atomic<int> held{0}, release{0};
    std::thread web([&] {
        if (!EnterRequestLock(nullptr)) {
            held = -1;
            return;
        }
        held = 1;
        // Released by the test thread, whose own waits are bounded.
        testsupport::WaitUntil([&] { return release != 0; }, INFINITE);
        LeaveRequestLock();
    });
    testsupport::WaitUntil([&] { return held != 0; });
    EXPECT_EQ(held, 1) << "the web thread did not take the request lock (0: still waiting after "
                       << testsupport::kWindowWaitMs << " ms, -1: refused)";
    if (held == 1) {
        EXPECT_EQ(RunDesktopRequest("quit", ""), DESKTOP_BUSY);
        EXPECT_TRUE(m_posted.empty()) << "a busy request must not reach the local words";
    }
    release = 1;
    web.join();
    EXPECT_EQ(RunDesktopRequest("quit", ""), DESKTOP_HANDLED);
    EXPECT_EQ(m_posted, std::vector<unsigned>{ID_APP_EXIT_COMMAND});
    EXPECT_EQ(RunDesktopRequest("tell me new mail", ""), DESKTOP_HANDLED);
    EXPECT_EQ(RunDesktopRequest("what is the weather", ""), DESKTOP_NOT_HANDLED);
}

// ---- The dictionary test.

TEST_F(EngineFixture, DictionaryTestLogsABlockPerPluginAndEachFailedSentence)
{
    g_strLog.Empty();
    EXPECT_EQ(RunDictionaryTest(), 1);
    EXPECT_EQ(g_bHoldLog, 0);
    const std::string log = static_cast<const char*>(g_strLog);
    const size_t a = log.find("----------\r\nName : EngineTestA | Ver: 1.0\r\n");
    const size_t b = log.find("----------\r\nName : EngineTestB | Ver: \r\n");
    const size_t c = log.find("----------\r\nName : EngineTestC | Ver: 2.5\r\n");
    ASSERT_NE(a, std::string::npos) << log;
    ASSERT_NE(b, std::string::npos) << log;
    ASSERT_NE(c, std::string::npos) << log;
    // The sentence that reaches no row of its plug-in, with its row number;
    // the one that acts and the empty one give no line.
    const std::string failed = "!Dictionary Test Failed: \"send send send\" (-2)\r\n";
    const size_t f = log.find(failed);
    ASSERT_NE(f, std::string::npos) << log;
    EXPECT_EQ(log.find("Dictionary Test Failed: \"send me new mail\""), std::string::npos) << log;
    EXPECT_EQ(log.find("(-3)"), std::string::npos) << log;
    EXPECT_EQ(log.find("(-1)"), std::string::npos) << "B and C have no sentence to fail: " << log;
    // Each block in one piece: A's failure line sits inside A's block.
    EXPECT_GT(f, a);
    EXPECT_TRUE(f < b || b < a) << log;
    // The plug-in went into test mode and out again; the acting sentence
    // reached its action.
    std::vector<std::string> events = Events();
    int on = IndexOf(events, "A test mode on"), off = IndexOf(events, "A test mode off");
    ASSERT_GE(on, 0);
    EXPECT_GT(off, on);
    int sent = IndexOf(events, "A send send me new mail|");
    EXPECT_GT(sent, on);
    EXPECT_LT(sent, off);
}

TEST_F(EngineFixture, DictionaryTestHoldsTheRequestLockThroughout)
{
    // Web requests keep coming while the test runs: none may reach a plug-in
    // between its test mode going on and off.
    std::atomic<int> stop{0};
    std::atomic<int> served{0};
    std::thread web([&] {
        while (!stop) {
            CString line = "tell me new mail", sender = "w@example.org", name = "W", subject = "s", message = line;
            served += ProcessRequest(&line, &sender, &name, &subject, &message, nullptr, 0, 0, MODE_WEB);
        }
    });
    const bool serving = testsupport::WaitUntil([&] { return served != 0; });
    EXPECT_TRUE(serving) << "no web request was served within " << testsupport::kWindowWaitMs << " ms";
    if (serving) {
        EXPECT_EQ(RunDictionaryTest(), 1);
        const int before = served;
        EXPECT_TRUE(testsupport::WaitUntil([&] { return served != before; }))
            << "no web request was served after the dictionary test within " << testsupport::kWindowWaitMs << " ms";
    }
    stop = 1;
    web.join();
    std::vector<std::string> events = Events();
    const int on = IndexOf(events, "A test mode on"), off = IndexOf(events, "A test mode off");
    ASSERT_GE(on, 0);
    ASSERT_GT(off, on);
    for (int i = on; i < off; ++i)
        EXPECT_NE(events[static_cast<size_t>(i)].rfind("C tell", 0), 0u) << "a web request inside the test at " << i;
}

TEST(EngineSeams, WebSiteTakesTheEnginesEntriesAndLock)
{
    // What the application lends the web site: the engine's entries and its lock.
    WebRequestCore core;
    core.processRequest = &ProcessRequest;
    core.sendReply = &SendReply;
    core.setCancelFlag = &CRequestLock::SetCancelFlag;
    core.enterRequest = &EnterRequestLock;
    core.leaveRequest = &LeaveRequestLock;
    EXPECT_TRUE(core.enterRequest(nullptr));
    core.leaveRequest();
}

TEST_F(EngineFixture, MailLeftUnansweredByTheLastRunIsLoggedOnceAtStart)
{
    // What the mail road leaves when the program dies between marking a mail
    // read and sending its answer.
    ASSERT_TRUE(testsupport::WriteFile(m_dir.file("Answering.txt"), "1700.M1P1.x \"Vindi, x\" from a@example.org"));
    m_engine.ReportUnansweredMail();
    EXPECT_GE(g_strLog.Find("A request was marked read but never answered: 1700.M1P1.x \"Vindi, x\" from "
                            "a@example.org\r\n"),
              0)
        << static_cast<const char*>(g_strLog);
    EXPECT_FALSE(testsupport::FileExists(m_dir.file("Answering.txt")));
    g_strLog.Empty();
    m_engine.ReportUnansweredMail();
    EXPECT_TRUE(g_strLog.IsEmpty());

    // The note goes only once its line is on disk: a log that could not be
    // written keeps it for the next start.
    ASSERT_TRUE(testsupport::WriteFile(m_dir.file("Answering.txt"), "1700.M2P1.y \"Vindi, y\" from b@example.org"));
    m_engine.ReportUnansweredMail([] { return false; });
    EXPECT_TRUE(testsupport::FileExists(m_dir.file("Answering.txt")));
    m_engine.ReportUnansweredMail([] { return true; });
    EXPECT_FALSE(testsupport::FileExists(m_dir.file("Answering.txt")));

    // The record of both outlives the log's rotation at the next starts, and
    // holds each once.
    g_strLog.Empty();
    m_engine.ReportUnansweredMail();
    m_engine.ReportUnansweredMail();
    const std::string record = testsupport::ReadFile(m_dir.file("Unanswered.txt"));
    for (const char* id : {"1700.M1P1.x", "1700.M2P1.y"}) {
        const std::string line = std::string("A request was marked read but never answered: ") + id;
        EXPECT_NE(record.find(line), std::string::npos) << record;
        EXPECT_EQ(record.find(line), record.rfind(line)) << record;
    }
    EXPECT_FALSE(testsupport::FileExists(m_dir.file("Unanswered.txt.tmp")));
}

TEST_F(EngineFixture, RequestBegunTooOftenIsGivenUpAndReported)
{
    ASSERT_TRUE(testsupport::WriteFile(m_dir.file("PendingRequests.txt"), "1700.M3P1.z 3\r\n1700.M4P1.w 1\r\n"));
    ASSERT_TRUE(testsupport::WriteFile(m_dir.file("Answering.txt"), "1700.M3P1.z \"Vindi, z\" from c@example.org"));
    m_engine.ReportUnansweredMail();
    EXPECT_GE(g_strLog.Find("never answered: 1700.M3P1.z"), 0) << static_cast<const char*>(g_strLog);
    EXPECT_FALSE(m_engine.Pending().Contains("1700.M3P1.z"));
    EXPECT_TRUE(m_engine.Pending().Contains("1700.M4P1.w"));
    EXPECT_EQ(m_engine.Pending().Attempts("1700.M4P1.w"), 1);
    // The list as the next start reads it.
    CPendingRequests again;
    again.Open(PendingRequestsPath(m_dir.path().c_str()));
    EXPECT_EQ(again.GetCount(), 1);
    EXPECT_EQ(again.Attempts("1700.M4P1.w"), 1);
}

TEST_F(EngineFixture, NoMainWindowNoTick)
{
    m_engine.m_SendCommand = nullptr;
    m_engine.OnMailTick();
    m_engine.OnFastTick();
    EXPECT_EQ(m_engine.m_Gate.m_tWatchdogDeadline, 0);
}

TEST_F(EngineFixture, NetworkPresenceAnswersWithoutHanging)
{
    int present = GetLocalIPAddress();
    EXPECT_TRUE(present == TRUE || present == FALSE);
}

// ---- The mail road, fed by engine_mail_peer.py.

class EngineMail : public EngineFixture {};

TEST_F(EngineMail, Requests)
{
    if (!LogOnToPeerMaildir())
        GTEST_SKIP() << "run by engine_mail_peer.py";
    int dispatched = DriveMail();
    EXPECT_EQ(dispatched, 7);
    // The last whole sweep saw only the mail that is not for the assistant
    // and the bounce (automatic mail is left alone, unread).
    EXPECT_EQ(m_engine.m_nUnreadCount, 2);
    std::vector<std::string> events = Events();
    // Not for the assistant: the tentative pass only.
    EXPECT_TRUE(Has(events, "A alert hello there|-1"));
    EXPECT_FALSE(Has(events, "A whole hello there"));
    // A "**" row that took the mail does not stop the final pass.
    int alert = IndexOf(events, "A alert Vindi [alert-take]|-1");
    int whole = IndexOf(events, "A whole Vindi [alert-take]|-1");
    ASSERT_GE(alert, 0);
    EXPECT_GT(whole, alert);
    // Help: no row is offered the mail.
    EXPECT_FALSE(Has(events, "A alert vindi, help please"));
    EXPECT_GE(g_strLog.Find(" Request for help by carol@example.org\r\n"), 0) << static_cast<const char*>(g_strLog);

    // Mail that stayed unread is not offered again in later sweeps.
    ClearEvents();
    EXPECT_EQ(DriveMail(), 0);
    EXPECT_TRUE(Events().empty());
    // Every answer was finished: no note of an unanswered mail is left.
    EXPECT_FALSE(testsupport::FileExists(m_dir.file("Answering.txt")));
}

TEST_F(EngineMail, ShortRepliesForwardsAndOddMail)
{
    if (!LogOnToPeerMaildir())
        GTEST_SKIP() << "run by engine_mail_peer.py";
    g_Settings.AddShortAddress("*@sms.example");
    g_Settings.AddForwardAddress("PHONE@Carrier.example", "desk@office.example");
    EXPECT_EQ(DriveMail(), 6);
    std::vector<std::string> events = Events();
    // An empty body for the assistant: the tentative pass asks for no final one.
    EXPECT_TRUE(Has(events, "A alert Vindi empty|-1"));
    EXPECT_FALSE(Has(events, "A whole Vindi empty"));
    EXPECT_GE(g_strLog.Find("I can't find a return email address for this message. Subject was: Vindi nobody\r\n"), 0)
        << static_cast<const char*>(g_strLog);

    // The same identifier again: the road does nothing.
    ClearEvents();
    m_engine.m_strMessageID = g_strLastProcessedID;
    m_engine.OnProcess();
    EXPECT_TRUE(Events().empty());
}

TEST_F(EngineMail, AutoReplyLoopGuard)
{
    if (!LogOnToPeerMaildir())
        GTEST_SKIP() << "run by engine_mail_peer.py";
    g_Settings.SetMyName("");
    EXPECT_EQ(DriveMail(), 12);
    // Only gina's mail reached an action.
    EXPECT_FALSE(Has(Events(), "A send"));
}

TEST_F(EngineMail, AcceptedSenders)
{
    if (!LogOnToPeerMaildir())
        GTEST_SKIP() << "run by engine_mail_peer.py";
    g_Settings.AddOKAddress("boss@example.org");
    ASSERT_EQ(g_DocumentStrings.GetCount(), 0);  // no ".kvn" document opened
    EXPECT_EQ(DriveMail(), 3);
    for (const char* who : {"mallory@example.org", "stranger@elsewhere.example"})
        EXPECT_GE(g_strLog.Find(CString("A request for services came in from an unauthorized user. (") + who + ")\r\n"),
                  0)
            << static_cast<const char*>(g_strLog);
    EXPECT_FALSE(Has(Events(), "A send"));
}

TEST_F(EngineMail, ThrowingStepClearsTheBusyFlag)
{
    if (!LogOnToPeerMaildir())
        GTEST_SKIP() << "run by engine_mail_peer.py";
    g_now += 1;
    m_engine.OnMailTick();
    ASSERT_EQ(std::count(m_commands.begin(), m_commands.end(), unsigned(ID_PROCESS)), 1);
    EXPECT_TRUE(Has(Events(), "A alert Vindi [throw]|-1"));
    EXPECT_EQ(m_engine.m_Gate.m_bBusy, 0);
    // The next tick runs (it is not taken for a busy one) and ends the sweep.
    g_now += 1;
    m_engine.OnMailTick();
    EXPECT_EQ(m_engine.m_Gate.m_nBackOff, 0);
    EXPECT_TRUE(m_engine.m_strMessageID.IsEmpty());
}

TEST_F(EngineMail, RefusedRequestsStayHandled)
{
    if (!LogOnToPeerMaildir())
        GTEST_SKIP() << "run by engine_mail_peer.py";
    g_Settings.AddOKAddress("boss@example.org");
    EXPECT_EQ(DriveMail(), 5);
    EXPECT_FALSE(Has(Events(), "A send"));
    EXPECT_GE(g_strLog.Find("unauthorized user. (stranger@elsewhere.example)"), 0) << static_cast<const char*>(g_strLog);
    for (const char* subject : {"Vindi no sender", "Vindi empty sender"})
        EXPECT_GE(g_strLog.Find(CString("I can't find a return email address for this message. Subject was: ") +
                                subject + "\r\n"),
                  0)
            << static_cast<const char*>(g_strLog);

    // A later run on other settings (every sender served): the box holds no
    // request for it to take up.
    g_Settings.ClearOKAddresses();
    m_engine.m_HandledIDs.ClearHandled();
    g_strLastProcessedID.Empty();
    ClearEvents();
    EXPECT_EQ(DriveMail(), 0);
    EXPECT_TRUE(Events().empty());
}

TEST_F(EngineMail, AlertsSeeEveryMail)
{
    if (!LogOnToPeerMaildir())
        GTEST_SKIP() << "run by engine_mail_peer.py";
    // The accepted list names who may command the assistant, not whose mail
    // an alert may watch.
    g_Settings.AddOKAddress("jane@example.org");
    EXPECT_EQ(DriveMail(), 5);
    std::vector<std::string> events = Events();
    for (const char* sender : {"john@example.com", "ann@example.org", "MAILER-DAEMON@mx.example.org",
                               "mallory@example.org"})
        EXPECT_TRUE(Has(events, std::string("A alert from ") + sender)) << sender;
    EXPECT_FALSE(Has(events, "A alert FW: Hello")) << "the assistant's own forward came back to an alert";
    EXPECT_FALSE(Has(events, "A whole")) << "only mallory's mail was a request, and it was refused";
    EXPECT_EQ(g_strLog.Find("unauthorized user. (john"), -1) << static_cast<const char*>(g_strLog);
    EXPECT_GE(g_strLog.Find("unauthorized user. (mallory@example.org)"), 0) << static_cast<const char*>(g_strLog);
}

TEST_F(EngineMail, ForwardLeavesPendingRequests)
{
    if (!LogOnToPeerMaildir())
        GTEST_SKIP() << "run by engine_mail_peer.py";
    DriveMail();
    std::vector<std::string> events = Events();
    EXPECT_TRUE(Has(events, "A forwarded Lunch"));
    EXPECT_FALSE(Has(events, "A forwarded Vindi")) << "a forward took a request for new mail";
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const std::string& e) { return e.rfind("A send send me new mail|", 0) == 0; }),
              10);
    EXPECT_FALSE(testsupport::FileExists(m_dir.file("PendingRequests.txt")));
    EXPECT_FALSE(testsupport::FileExists(m_dir.file("PendingRequests.txt.tmp")));
}

TEST_F(EngineMail, TakenRequestsSurviveTheRun)
{
    if (!LogOnToPeerMaildir())
        GTEST_SKIP() << "run by engine_mail_peer.py";
    // What a run leaves that ended after taking the requests (a forward of
    // new mail first, then three others): the list on disk (with a
    // half-written copy beside it), all but the last marked read (the run
    // ended before it marked that one), and the one it had begun on in the note.
    std::vector<std::string> ids;
    CString seed, id, type;
    while (m_session.FindNext(id, type, MAPI_UNREAD_ONLY, seed, nullptr) == 0 && ids.size() < 10) {
        ids.push_back(static_cast<const char*>(id));
        seed = id;
    }
    ASSERT_EQ(ids.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        CZLMMapiMessage scratch;
        CString mid = ids[i].c_str();
        ASSERT_EQ(m_session.ReadMail(mid, MAPI_ENVELOPE_ONLY, scratch, nullptr), 0u);
    }
    // The second was begun on, and its answer went out, noted under its name
    // by the mail client; the run was killed before it was done with it.
    ASSERT_TRUE(testsupport::WriteFile(m_dir.file("PendingRequests.txt"),
                                       ids[0] + "\r\n" + ids[1] + " 1\r\n" + ids[2] + "\r\n" + ids[3] + "\r\n"));
    ASSERT_TRUE(testsupport::WriteFile(m_dir.file("PendingRequests.txt.tmp"), ids[1] + "\r\n"));
    ASSERT_TRUE(testsupport::WriteFile(m_dir.file("Answering.txt"), ids[1] + " \"Vindi request 0\" from user0@example.org"));
    CString dummy = "Done: send me new mail", text = "Sent as asked.", to = "user0@example.org", from = "Vindi";
    ::SetEnvironmentVariableA("VXMAIL_ANSWERING", (ids[1] + "/killed-run").c_str());
    {
        MAPIOutgoingMessage answered(&m_session, &g_strLog, &to, &from, MODE_EMAIL);
        answered.Subject(&dummy);
        answered.Text(&text);
    }
    ::SetEnvironmentVariableA("VXMAIL_ANSWERING", nullptr);

    // Each is carried out; the second without a second answer, and the
    // forward leaves the last out although it was still unread.
    g_strLog.Empty();
    m_engine.ReportUnansweredMail();
    EXPECT_EQ(g_strLog.Find("never answered"), -1) << static_cast<const char*>(g_strLog);
    DriveMail();
    std::vector<std::string> events = Events();
    EXPECT_FALSE(Has(events, "A forwarded Vindi")) << "a forward took a pending request";
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const std::string& e) { return e.rfind("A send send me new mail|", 0) == 0; }),
              3);
    EXPECT_FALSE(testsupport::FileExists(m_dir.file("PendingRequests.txt")));
    EXPECT_FALSE(testsupport::FileExists(m_dir.file("PendingRequests.txt.tmp")));
}

// ---- The program's own Relvane plug-in and packed grammar on the mail road,
// fed by relvane_mail_peer.py; the answers go out through its SMTP server.

class RelvaneMail : public EngineFixture {
protected:
    static std::string BinFolder()
    {
        std::string path = std::string("Z:") + std::getenv("VX_BIN_DIR");
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    void SetUp() override
    {
        if (!std::getenv("VX_ENGINE_MAILDIR") || !std::getenv("VX_BIN_DIR"))
            GTEST_SKIP() << "run by relvane_mail_peer.py";
        m_bSetUp = true;
        // The plug-in keeps its settings in the one test prefix when it
        // unloads; values that were absent are removed again afterwards.
        for (const char* name : kRelvaneValues)
            m_existed.push_back(RelvaneValueExists(name));
        EngineFixture::SetUp();
        // The plug-in forwards only mail received before the request's time:
        // the driven clock starts at the real one.
        g_now = std::time(nullptr) + 60;
    }

    void TearDown() override
    {
        if (!m_bSetUp)
            return;
        EngineFixture::TearDown();  // unloads the plug-in, which saves its settings
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        for (size_t i = 0; i < m_existed.size(); ++i)
            if (!m_existed[i])
                ::RegDeleteValueA(key, kRelvaneValues[i]);
        ::RegCloseKey(key);
    }

    void PreparePluginsAndGrammar() override
    {
        std::string bin = BinFolder();
        std::string from = bin + "\\Relvane.kVX";
        ASSERT_TRUE(::CopyFileA(from.c_str(), m_dir.file("Relvane.kVX").c_str(), FALSE)) << from;
        m_dictionary = std::make_unique<CGrammarDictionary>((bin + "\\VindalexW.Vqt").c_str(),
                                                            (bin + "\\VindalexR.Vqt").c_str(), nullptr,
                                                            0xFFFFFFFFu, nullptr);
        m_engine.m_strAppPath = bin.c_str();
    }
    int ExpectedRows() const override { return 12; }

    static bool RelvaneValueExists(const char* name)
    {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return false;
        bool found = ::RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        ::RegCloseKey(key);
        return found;
    }
    static constexpr const char* kRelvaneValues[] = {"Relvane-Active", "Relvane-DefaultNew",
                                                     "Relvane-DefaultAttach"};
    bool m_bSetUp = false;
    std::vector<bool> m_existed;
};

TEST_F(RelvaneMail, ForwardsAndAnswers)
{
    ASSERT_TRUE(LogOnToPeerMaildir());
    EXPECT_GT(DriveMail(), 0);
    EXPECT_EQ(m_engine.m_Gate.m_bBusy, 0);
    // The running log, for the peer's report when a check fails.
    std::printf("---- log\n%s\n---- end of log\n", static_cast<const char*>(g_strLog));
}

} // namespace
