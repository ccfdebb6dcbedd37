// The engine's decisions: line cutting, trigger words, senders, forward rules,
// automatic mail, the watchdog and back-off, the handled list, address classes
// and the request lock.
#include "engine_rules.h"
#include "request_lock.h"

#include "assistant_settings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::vector<std::string> Lines(const char* body)
{
    std::vector<std::string> out;
    for (const CString& l : CutRequestLines(body))
        out.push_back(static_cast<const char*>(l));
    return out;
}

TEST(EngineRules, BodyIsCutAtEveryRunOfLineBreaks)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines(""), V{});
    EXPECT_EQ(Lines("\r\n\r\n"), V{});
    EXPECT_EQ(Lines("send me mail"), V{"send me mail"});
    EXPECT_EQ(Lines("first line\r\n\r\nsecond line\r\n"), (V{"first line", "second line"}));
    EXPECT_EQ(Lines("\na\rb\n\r\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(Lines("  \r\nx"), (V{"  ", "x"}));  // a blank line is still a line
}

TEST(EngineRules, TriggerWordsWakeRowsOnTheLowerCasedLine)
{
    struct Case {
        const char* word;
        const char* line;  // already lower-cased, as the engine hands it
        bool wakes;
    } cases[] = {
        {"send.v", "please send me the report", true},
        {"send.v", "resend it", true},          // a plain substring test
        {"send.v", "show the files", false},
        {"Send.v", "send it", true},            // the word is compared lower-cased too
        {"*", "anything at all", true},
        {"*x", "anything", true},
        {"**", "anything", false},              // whole mails only
        {"list", "", false},
        {"", "anything", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TriggerWordWakes(c.word, c.line), c.wakes) << c.word << " / " << c.line;
}

TEST(EngineRules, NameIsFoundInAnyLetterCase)
{
    EXPECT_TRUE(NameOccursIn("VINDI", "hello vindi, please"));
    EXPECT_TRUE(NameOccursIn("VINDI", "VINDIGO"));
    EXPECT_FALSE(NameOccursIn("VINDI", "vind i"));
}

class SenderRules : public ::testing::Test {
protected:
    CAssistantSettings s;
};

TEST_F(SenderRules, AcceptedListIsAlwaysInForceWhenNotEmpty)
{
    // Empty list: everyone, until a ".kvn" document switches the check on.
    EXPECT_TRUE(IsSenderAccepted(s, "a@x.org", false));
    EXPECT_FALSE(IsSenderAccepted(s, "a@x.org", true));

    s.AddOKAddress("boss@x.org");
    s.AddOKAddress("Jane Doe");
    for (bool docs : {false, true}) {
        EXPECT_TRUE(IsSenderAccepted(s, "boss@x.org", docs));
        EXPECT_FALSE(IsSenderAccepted(s, "BOSS@x.org", docs));  // whole, case-sensitive
        EXPECT_FALSE(IsSenderAccepted(s, "mallory@x.org", docs)) << "documents loaded: " << docs;
        // The display name is the sender's own text: it never lets anyone in.
        EXPECT_FALSE(IsSenderAccepted(s, "jane@y.org", docs));
        EXPECT_FALSE(IsSenderAccepted(s, "stranger@elsewhere.example", docs));
    }
}

TEST_F(SenderRules, AnEmptyAcceptedEntryLetsNoSenderIn)
{
    // A stored list with an empty row (an older options sheet could write one).
    s.AddOKAddress("");
    s.AddOKAddress("boss@x.org");
    for (bool docs : {false, true}) {
        EXPECT_FALSE(IsSenderAccepted(s, "", docs)) << "a sender without an address";
        EXPECT_TRUE(IsSenderAccepted(s, "boss@x.org", docs));
    }
}

TEST_F(SenderRules, ShortReplySendersMatchWildcards)
{
    s.AddShortAddress("*@pager.example");
    s.AddShortAddress("sms-??@x.org");
    EXPECT_TRUE(IsShortReplySender(s, "555@pager.example"));
    EXPECT_TRUE(IsShortReplySender(s, "sms-12@x.org"));
    EXPECT_FALSE(IsShortReplySender(s, "sms-123@x.org"));
    EXPECT_FALSE(IsShortReplySender(s, "me@x.org"));
}

TEST_F(SenderRules, FirstForwardRuleEqualWithoutCaseRedirectsAnswers)
{
    s.AddForwardAddress("Phone@Carrier.example", "desk@office.example");
    s.AddForwardAddress("phone@carrier.example", "second@office.example");
    s.AddForwardAddress("lost@x.org", "");
    EXPECT_EQ(ApplyForwardRules(s, "phone@carrier.example"), "desk@office.example");
    EXPECT_EQ(ApplyForwardRules(s, "other@carrier.example"), "other@carrier.example");
    // A rule without a reply-to address never sends answers nowhere.
    EXPECT_EQ(ApplyForwardRules(s, "lost@x.org"), "lost@x.org");
}

TEST(EngineRules, MachineSendersAndAutomaticRepliesAreAutomaticMail)
{
    struct Case {
        const char* from;
        const char* subject;
        bool automatic;
    } cases[] = {
        {"MAILER-DAEMON@mx.example", "Undelivered Mail Returned to Sender", true},
        {"mailer_daemon@mx.example", "x", true},
        {"postmaster@example.org", "Delivery Status Notification", true},
        {"no-reply@shop.example", "Your order", true},
        {"noreply@shop.example", "Your order", true},
        {"do-not-reply@bank.example", "Statement", true},
        {"SMTP:MAILER-DAEMON@mx", "x", true},
        {"other.assistant@example.org", "Regarding your last message.[Auto reply]", true},
        {"other.assistant@example.org", "re: regarding your last message.[auto reply]", true},
        {"vacation@example.org", "Re: lunch", true},
        {"Auto-Reply@example.org", "Re: lunch", true},
        {"autoresponder@example.org", "Re: lunch", true},
        {"ann@example.org", "Out of Office: back on Monday", true},
        {"ann@example.org", "Re: OUT OF OFFICE", true},
        {"ann@example.org", "Automatic reply: Vindi, send me new mail", true},
        {"ann@example.org", "  Auto: Vindi, send me new mail", true},
        {"ann@example.org", "[Auto-Reply] Vindi", true},
        {"ann@example.org", "Autoreply: Vindi", true},
        {"jane@example.org", "send me the weather", false},
        {"jane@example.org", "Vindi, automobile prices", false},
        {"jane@example.org", "My auto: a red one", false},
        {"mavacation@example.org", "x", false},
        {"replyall@example.org", "no reply needed", false},
        {"daemon@example.org", "x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAutomaticMail(c.from, c.subject), c.automatic) << c.from << " / " << c.subject;
}

// The watchdog and back-off on a clock of our own.
class Gate : public ::testing::Test {
protected:
    // Runs one tick; true when it ran.
    bool Tick()
    {
        bool stuck = false;
        int skip = gate.Check(now, 60, stuck);
        stuckSeen = stuckSeen || stuck;
        return skip == 0;
    }
    CEngineGate gate;
    time_t now = 1000000;
    bool stuckSeen = false;
};

TEST_F(Gate, IdleEngineRunsEveryTickAndSetsTheDeadline)
{
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Tick());
    EXPECT_EQ(gate.m_tWatchdogDeadline, now + 60 * 200 + 300);
    EXPECT_EQ(gate.m_nBackOff, 0);
}

TEST_F(Gate, LongStepRaisesTheBackOffOnceAndTheWatchdogFreesIt)
{
    ASSERT_TRUE(Tick());
    gate.BeginStep();  // a step that sits in a dialog
    for (int i = 0; i < 100; ++i) {
        now += 1;
        EXPECT_FALSE(Tick());
    }
    EXPECT_EQ(gate.m_nBackOff, 1) << "one busy spell, one level";
    EXPECT_FALSE(stuckSeen);
    now = gate.m_tWatchdogDeadline + 1;
    EXPECT_TRUE(Tick()) << "past the deadline the tick runs although busy";
    EXPECT_TRUE(stuckSeen);
    gate.EndStep();
}

TEST_F(Gate, BackOffIsCappedAndDecays)
{
    ASSERT_TRUE(Tick());  // sets the watchdog's deadline
    for (int spell = 0; spell < 30; ++spell) {
        gate.BeginStep();
        Tick();
        gate.EndStep();
    }
    EXPECT_EQ(gate.m_nBackOff, CEngineGate::BACKOFF_MAX);
    // Now every (level + 1)-th tick runs; the level drops by one per 50 runs.
    int ran = 0, ticks = 0;
    while (gate.m_nBackOff == CEngineGate::BACKOFF_MAX) {
        ran += Tick() ? 1 : 0;
        ++ticks;
        ASSERT_LT(ticks, 10000);
    }
    EXPECT_EQ(ran, 50);
    EXPECT_GE(ticks, 50 * CEngineGate::BACKOFF_MAX);
    EXPECT_LE(ticks, 51 * (CEngineGate::BACKOFF_MAX + 1));
    while (gate.m_nBackOff > 0) {
        Tick();
        ASSERT_LT(++ticks, 100000);
    }
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_TRUE(Tick());
    EXPECT_TRUE(Tick());
}

TEST_F(Gate, ThrowingStepClearsTheBusyFlag)
{
    try {
        CBusyStep step(gate);
        EXPECT_EQ(gate.m_bBusy, 1);
        throw 42;
    } catch (int) {
    }
    EXPECT_EQ(gate.m_bBusy, 0);
    EXPECT_TRUE(Tick());
}

TEST(EngineRules, HandledListSearchesWholeIdsAndTrimsPastAThousand)
{
    CHandledIDs ids;
    ids.AddHandled("abc");
    EXPECT_EQ(ids.IsHandled("abc"), 1);
    EXPECT_EQ(ids.IsHandled("ABC"), 0);
    EXPECT_EQ(ids.IsHandled("ab"), 0);
    for (int i = 1; i < 1000; ++i) {
        CString id;
        id.Format("id%d", i);
        ids.AddHandled(id);
    }
    ids.TrimHandled();
    EXPECT_EQ(ids.GetCount(), 1000);
    ids.AddHandled("one more");
    ids.TrimHandled();
    EXPECT_EQ(ids.GetCount(), 0);
}

TEST(EngineRules, AddressClassesDecideNetworkPresence)
{
    using A = std::vector<unsigned char>;
    struct Case {
        std::vector<A> addresses;
        bool present;
    } cases[] = {
        {{}, false},
        {{A{127, 0, 0, 1}}, false},
        {{A{127, 0, 1, 1}}, false},  // Debian's name for the host itself
        {{A{169, 254, 10, 20}}, false},
        {{A{192, 168, 1, 5}}, true},
        {{A{172, 20, 0, 1}}, true},
        {{A{172, 32, 0, 1}}, true},  // public
        {{A{10, 1, 2, 3}}, true},
        {{A{127, 0, 0, 1}, A{169, 254, 1, 1}, A{93, 184, 216, 34}}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddressesShowPresence(c.addresses), c.present) << c.addresses.size();

    CString text;
    const unsigned char ten[] = {10, 9, 8, 7};
    EXPECT_EQ(ClassifyAddress(ten, 4, text), ADDRESS_PRIVATE);
    EXPECT_EQ(text, "10");
    const unsigned char pub[] = {8, 8, 4, 4};
    EXPECT_EQ(ClassifyAddress(pub, 4, text), ADDRESS_PUBLIC);
    EXPECT_EQ(text, "8.8.4.4");
}

TEST(RequestLock, SecondThreadWaitsBoundedAndTheOwnerMayReenter)
{
    CRequestLock outer(0);
    ASSERT_TRUE(outer.Acquired());
    {
        CRequestLock inner(0);  // a nested message loop on the same thread
        EXPECT_TRUE(inner.Acquired());
    }
    std::atomic<int> got{-1};
    std::thread other([&] {
        CRequestLock l(50);
        got = l.Acquired() ? 1 : 0;
    });
    other.join();
    EXPECT_EQ(got, 0) << "a request runs: the other thread gives up after its wait";
}

TEST(RequestLock, StoppingThreadGivesUpItsWait)
{
    CRequestLock guiRequest(0);  // a long request on this thread
    ASSERT_TRUE(guiRequest.Acquired());
    std::atomic<int> stop{0};
    std::atomic<int> waiting{0};
    std::atomic<int> got{-1};
    std::thread listener([&] {
        CRequestLock::SetCancelFlag(&stop);
        waiting = 1;
        CRequestLock l(120000);  // would outlast the test's time limit
        got = l.Acquired() ? 1 : 0;
        CRequestLock::SetCancelFlag(nullptr);
    });
    while (!waiting)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    stop = 1;  // the web server stops
    listener.join();
    EXPECT_EQ(got, 0);

    // A flag already set: no wait at all, whatever the lock's state.
    std::thread late([&] {
        CRequestLock::SetCancelFlag(&stop);
        CRequestLock l(120000);
        got = l.Acquired() ? 1 : 0;
    });
    late.join();
    EXPECT_EQ(got, 0);
}

TEST(RequestLock, HeldAcrossCallsUntilLeftOrTheServerStops)
{
    std::atomic<int> stop{0};
    ASSERT_TRUE(EnterRequestLock(&stop));
    {
        CRequestLock nested(0);  // the engine entered from the holder's thread
        EXPECT_TRUE(nested.Acquired());
    }
    std::atomic<int> got{-1};
    std::thread gui([&] {
        CRequestLock l(0);
        got = l.Acquired() ? 1 : 0;
    });
    gui.join();
    EXPECT_EQ(got, 0);
    LeaveRequestLock();

    std::thread web([&] { got = EnterRequestLock(&stop) ? 1 : 0; if (got) LeaveRequestLock(); });
    web.join();
    EXPECT_EQ(got, 1) << "free again after the leave";

    CRequestLock held(0);
    stop = 1;
    std::thread stopping([&] { got = EnterRequestLock(&stop) ? 1 : 0; });
    stopping.join();
    EXPECT_EQ(got, 0);
}

TEST(RequestLock, RequestsOfTwoThreadsNeverOverlap)
{
    std::atomic<int> inside{0}, overlaps{0}, done{0};
    auto worker = [&] {
        for (int i = 0; i < 200; ++i) {
            CRequestLock l(CRequestLock::WAIT_WEB_MS);  // a loaded machine may hold a thread off for long
            if (!l.Acquired())
                continue;
            if (++inside > 1)
                ++overlaps;
            std::this_thread::yield();
            --inside;
            ++done;
        }
    };
    std::thread a(worker), b(worker);
    a.join();
    b.join();
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(done, 400);
}

} // namespace
