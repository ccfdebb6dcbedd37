// The alert list: adding, stopping, matching incoming mail, and keeping the
// list in the settings, a damaged stored list included.
#include "alert_list.h"
#include "alert_reading.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

AlertEntry Alert(const char* sender, const char* text, int method = 0)
{
    AlertEntry e;
    e.m_strSender = sender;
    e.m_strText = text;
    e.m_nMethod = method;
    return e;
}

std::string Describe(const CAlertList& list)
{
    std::string out;
    for (const AlertEntry& e : list.Entries())
        out += std::string("[") + (const char*)e.m_strSender + "|" + (const char*)e.m_strText + "|" +
               std::to_string(e.m_nMethod) + "]";
    return out;
}

class MemoryStore : public AlertStore {
public:
    bool ReadNumber(const CString& name, int& value) override
    {
        auto it = numbers.find((const char*)name);
        if (it == numbers.end())
            return false;
        value = it->second;
        return true;
    }
    bool ReadText(const CString& name, CString& value) override
    {
        auto it = texts.find((const char*)name);
        if (it == texts.end())
            return false;
        value = it->second.c_str();
        return true;
    }
    void WriteNumber(const CString& name, int value) override { numbers[(const char*)name] = value; }
    void WriteText(const CString& name, const CString& value) override
    {
        texts[(const char*)name] = (const char*)value;
    }

    std::map<std::string, int> numbers;
    std::map<std::string, std::string> texts;
};

TEST(AlertList, StopRemovesOnlyAlertsWithTheGivenCriteria)
{
    const CString john("john"), budget("budget");
    struct Case {
        const char* what;
        const CString* sender;
        const CString* text;
        const char* left;
    } cases[] = {
        // A sender's stop leaves an alert with a text but no sender.
        {"from john", &john, nullptr, "[|budget|0][mary|budget|0]"},
        {"containing budget", nullptr, &budget, "[john||0]"},
        {"from john containing budget", &john, &budget, "[john||0][|budget|0][mary|budget|0]"},
        // No criteria: every alert ends.
        {"everything", nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        CAlertList list;
        list.Add(Alert("john", ""));
        list.Add(Alert("", "budget"));
        list.Add(Alert("mary", "budget"));
        list.Remove(c.sender, c.text);
        EXPECT_EQ(Describe(list), c.left) << c.what;
    }
    CAlertList list;
    list.Add(Alert("john", ""));
    const CString other("JOHN");
    EXPECT_EQ(list.Remove(&other, nullptr), 0);  // criteria compare case by case
}

TEST(AlertList, MatchesSenderKeyTextAndSubject)
{
    CAlertList list;
    list.Add(Alert("john", ""));
    list.Add(Alert("", "budget", 1));
    list.Add(Alert("ann@example.org", "lunch"));
    struct Case {
        const char* key;
        const char* text;
        const char* subject;
        unsigned methods;
    } cases[] = {
        {"John Smith**john@example.org", "hello", "hi", 1},
        {"Mary**mary@example.org", "the BUDGET is late", "hi", 2},
        {"Mary**mary@example.org", "", "Budget meeting", 2},
        {"John**john@example.org", "budget", "", 3},
        {"Ann**ann@example.org", "lunch at noon", "", 1},
        {"Ann**ann@example.org", "dinner", "", 0},  // both criteria must hold
        {"Zed**zed@example.org", "nothing", "here", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.Match(c.key, c.text, c.subject), c.methods) << c.key << " / " << c.text;
    // An alert on every mail matches any mail.
    list.Add(Alert("", ""));
    EXPECT_EQ(list.Match("Zed**zed@example.org", "nothing", "here"), 1u);
}

TEST(AlertList, AddIsBoundedAndKeepsNoDuplicates)
{
    CAlertList list;
    for (int i = 0; i < CAlertList::MAX_ALERTS; ++i) {
        CString sender;
        sender.Format("sender%d", i);
        ASSERT_TRUE(list.Add(Alert(sender, "")));
    }
    EXPECT_FALSE(list.Add(Alert("one too many", "")));
    EXPECT_TRUE(list.Add(Alert("sender0", "")));  // already kept
    EXPECT_EQ(list.Entries().size(), static_cast<size_t>(CAlertList::MAX_ALERTS));
}

TEST(AlertList, SaveAndLoadReverseTheOrder)
{
    CAlertList list;
    list.Add(Alert("a", ""));
    list.Add(Alert("", "b", 1));
    list.Add(Alert("c", "d"));
    MemoryStore store;
    list.Save(store, "Chimavo-");
    EXPECT_EQ(store.numbers["Chimavo-NumAlerts"], 3);
    EXPECT_EQ(store.texts["Chimavo-AlertWho2"], "c");
    EXPECT_EQ(store.numbers["Chimavo-AlertMth1"], 1);
    CAlertList back;
    back.Load(store, "Chimavo-");
    EXPECT_EQ(Describe(back), "[c|d|0][|b|1][a||0]");
    // Matching does not depend on the order.
    EXPECT_EQ(back.Match("x**a@example.org", "", ""), list.Match("x**a@example.org", "", ""));
}

TEST(AlertList, DamagedStoredListsLoadSafely)
{
    struct Case {
        const char* what;
        int count;
        bool hasCount;
        const char* loaded;
    } cases[] = {
        // Alert 1 was never stored: without its texts it would match every
        // mail, so it is skipped.
        {"a missing entry", 3, true, "[c||0][a||0]"},
        {"no count", 0, false, ""},
        {"a negative count", -5, true, ""},
        // A huge count reads no more than the list can hold: the stored ones.
        {"a huge count", 0x7FFFFFFF, true, "[c||0][a||0]"},
        // Alert 3 is stored with both texts empty: it too would match every
        // mail (an earlier program kept such alerts), and is skipped.
        {"an alert with nothing to look for", 4, true, "[c||0][a||0]"},
    };
    for (const Case& c : cases) {
        MemoryStore store;
        if (c.hasCount)
            store.numbers["Chimavo-NumAlerts"] = c.count;
        store.texts["Chimavo-AlertWho0"] = "A";
        store.texts["Chimavo-AlertCtn0"] = "";
        store.texts["Chimavo-AlertWho2"] = "c";
        store.numbers["Chimavo-AlertMth2"] = 7;  // no such method: by mail
        store.texts["Chimavo-AlertWho3"] = "";
        store.texts["Chimavo-AlertCtn3"] = "";
        store.numbers["Chimavo-AlertMth3"] = 0;
        CAlertList list;
        list.Load(store, "Chimavo-");
        EXPECT_EQ(Describe(list), c.loaded) << c.what;
    }
}

WordLinkage L(const char* left, const char* label, const char* right, int l, int r)
{
    return WordLinkage(left, label, right, l, r);
}

TEST(AlertReading, ReadsCriteriaAndStopFromTheLinks)
{
    struct Case {
        const char* what;
        std::vector<WordLinkage> links;
        bool handled;
        const char* reading;
    } cases[] = {
        {"alert from a quoted sender",
         {L("/////", "Wi", "alert.v", 0, 1), L("alert.v", "O", "me", 1, 2), L("alert.v", "Os", "email.n", 1, 4),
          L("email.n", "Mp", "from", 4, 5), L("from", "Js", "\"John\"", 5, 6)},
         true,
         "alert|john|"},
        {"stop, with a text",
         {L("/////", "W", "stop.v", 0, 1), L("stop.v", "Pg", "notifying.v", 1, 2),
          L("notifying.v", "Op", "messages.n", 2, 4), L("messages.n", "Mg", "containing", 4, 5),
          L("containing", "Js", "(Budget).n", 5, 6)},
         true,
         "stop||budget"},
        // The stop request may name the alerts themselves...
        {"stop sending me alerts",
         {L("/////", "Wi", "stop.v", 0, 1), L("stop.v", "Pg", "sending.v", 1, 2), L("sending.v", "Y", "me", 2, 3),
          L("sending.v", "O*n", "alerts", 2, 4)},
         true,
         "stop||"},
        // ... but asking for them is no alert request.
        {"send me my alerts",
         {L("/////", "Wi", "send.v", 0, 1), L("send.v", "Y", "me", 1, 2), L("send.v", "O*n", "alerts", 1, 4)},
         false,
         ""},
        // An alert verb whose object is no mail word is not this plug-in's.
        {"tell me a joke",
         {L("/////", "Wi", "tell.v", 0, 1), L("tell.v", "O", "joke.n", 1, 4)},
         false,
         ""},
        // A request that begins with its condition: the clause's verb has the mail.
        {"when mail from a sender comes in, tell me",
         {L("/////", "Wi", "when.r", 0, 1), L("when.r", "OC", "tell.v", 1, 8), L("when.r", "CO", ",", 1, 7),
          L(",", "XC", "tell.v", 7, 8), L("when.r", "C", "comes.v", 1, 5), L("when.r", "O*n", "mail.n", 1, 2),
          L("mail.n", "Ss", "comes.v", 2, 5), L("mail.n", "M", "from", 2, 3), L("from", "Js", "\"Dave\"", 3, 4),
          L("tell.v", "Y", "me", 8, 9)},
         true,
         "alert|dave|"},
        {"if I get mail saying a text, let me know",
         {L("/////", "Wi", "if.r", 0, 1), L("if.r", "OC", "know.v", 1, 10), L("if.r", "C", "get.v", 1, 3),
          L("I", "S", "get.v", 2, 3), L("get.v", "O*n", "mail.n", 3, 4), L("mail.n", "M", "saying", 4, 5),
          L("saying", "Js", "\"urgent\"", 5, 6), L("let.c", "I", "know.v", 8, 10)},
         true,
         "alert||urgent"},
        // The clause must be about mail, and must name a verb that asks to be told.
        {"when it is late, tell me",
         {L("/////", "Wi", "when.r", 0, 1), L("when.r", "OC", "tell.v", 1, 6), L("when.r", "C", "is", 1, 3),
          L("it", "S", "is", 2, 3), L("tell.v", "Y", "me", 6, 7)},
         false,
         ""},
        {"when mail comes in, send me the time",
         {L("/////", "Wi", "when.r", 0, 1), L("when.r", "OC", "send.v", 1, 6), L("when.r", "C", "comes.v", 1, 3),
          L("mail.n", "Ss", "comes.v", 2, 3), L("send.v", "O*n", "time.n", 6, 9)},
         false,
         ""},
    };
    for (const Case& c : cases) {
        AlertReading r;
        bool handled = ReadAlertRequest(&c.links, r);
        EXPECT_EQ(handled, c.handled) << c.what;
        if (!handled)
            continue;
        std::string got = std::string(r.m_bStop ? "stop" : "alert") + "|" + (const char*)r.m_strSender + "|" +
                          (const char*)r.m_strText;
        EXPECT_EQ(got, c.reading) << c.what;
    }
    AlertReading none;
    EXPECT_FALSE(ReadAlertRequest(nullptr, none));
}

} // namespace
