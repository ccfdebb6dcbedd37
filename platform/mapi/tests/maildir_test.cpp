// The Maildir store: identifiers, order, the walk with a seed, flags and moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include "core/answer_journal.h"
#include "core/maildir.h"
#include "core/mail_os.h"
#include "testsupport/testsupport.h"

using namespace vxmail;

namespace {

// Every identifier FindNext hands out, from the start, each time seeded with the last.
std::vector<std::string> Walk(const Maildir& store, bool unreadOnly) {
    std::vector<std::string> ids;
    std::string seed;
    for (int i = 0; i < 1000; ++i) {
        std::string id;
        FindResult r = store.FindNext(seed, unreadOnly, id);
        if (r != FindResult::Found) {
            EXPECT_EQ(r, FindResult::NoMore);
            break;
        }
        ids.push_back(id);
        seed = id;
    }
    return ids;
}

class MaildirTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.Create()); }
    std::string Path(const std::string& folder, const std::string& name) {
        return os::Join(os::Join(dir.path(), folder), name);
    }
    // Writes a message file directly, as a delivery agent would.
    void Put(const std::string& folder, const std::string& name) {
        ASSERT_TRUE(os::CreateNewFile(Path(folder, name), "Subject: " + name + "\r\n\r\nbody\r\n"));
    }
    std::vector<std::string> Walk(bool unreadOnly) { return ::Walk(store, unreadOnly); }
    testsupport::TempDir dir;
    Maildir store{dir.path()};
};

} // namespace

TEST_F(MaildirTest, IdentifiersIgnoreFlagsAndStayShort) {
    EXPECT_EQ(Maildir::IdOf("1700000000.M1P1.host:2,S"), "1700000000.M1P1.host");
    EXPECT_EQ(Maildir::IdOf("1700000000.M1P1.host"), "1700000000.M1P1.host");
    EXPECT_EQ(Maildir::FlagsOf("x:2,SRF"), "FRS");
    EXPECT_EQ(Maildir::FlagsOf("x:1,whatever"), "");
    std::string longName(200, 'n');
    std::string id = Maildir::IdOf(longName + ":2,S");
    EXPECT_LE(id.size(), Maildir::kMaxIdLength);
    EXPECT_EQ(id, Maildir::IdOf(longName));
    EXPECT_NE(id, Maildir::IdOf(std::string(199, 'n') + "m"));
    EXPECT_LE(store.NewUniqueName().size(), Maildir::kMaxIdLength);
}

TEST_F(MaildirTest, WalkContinuesFromASeedThatWasJustMarkedRead) {
    // Delivery order by name here (equal times are ordered by identifier).
    Put("new", "100.a.host");
    Put("cur", "101.b.host:2,S");
    Put("new", "102.c.host");
    Put("cur", "103.d.host:2,");
    Put("new", ".hidden");
    std::vector<StoredMessage> all;
    ASSERT_TRUE(store.List(all));
    ASSERT_EQ(all.size(), 4u);

    std::vector<std::string> unread = Walk(true);
    std::vector<std::string> everything = Walk(false);
    EXPECT_EQ(everything.size(), 4u);
    EXPECT_EQ(unread.size(), 3u);
    EXPECT_EQ(std::count(unread.begin(), unread.end(), "101.b.host"), 0);

    // Read the first unread one, then ask for the next with it as the seed.
    std::string first;
    ASSERT_EQ(store.FindNext("", true, first), FindResult::Found);
    StoredMessage m;
    ASSERT_TRUE(store.Locate(first, m));
    EXPECT_EQ(m.folder, "new");
    ASSERT_TRUE(store.MarkSeen(m));
    ASSERT_TRUE(store.Locate(first, m));
    EXPECT_EQ(m.folder, "cur");
    EXPECT_EQ(m.fileName, first + ":2,S");
    EXPECT_TRUE(m.Seen());
    std::string next;
    ASSERT_EQ(store.FindNext(first, true, next), FindResult::Found);
    EXPECT_NE(next, first);
    EXPECT_EQ(Walk(true).size(), 2u);

    std::string none;
    EXPECT_EQ(store.FindNext("no-such-id", false, none), FindResult::BadSeed);
}

TEST_F(MaildirTest, OrderIsDeliveryTimeThenName) {
    // Later file time first in the name order: the time must win.
    Put("new", "200.z.host");
    Put("new", "100.a.host");
    std::vector<StoredMessage> all;
    ASSERT_TRUE(store.List(all));
    ASSERT_EQ(all.size(), 2u);
    if (all[0].modified != all[1].modified) {
        EXPECT_EQ(all[0].id, "200.z.host");   // written first
    } else {
        EXPECT_EQ(all[0].id, "100.a.host");
    }
}

TEST_F(MaildirTest, FlagsAreKeptAndTrashIsSkipped) {
    Put("cur", "300.r.host:2,RF");
    Put("cur", "301.t.host:2,T");
    StoredMessage m;
    ASSERT_TRUE(store.Locate("300.r.host", m));
    ASSERT_TRUE(store.MarkSeen(m));
    std::vector<os::FileEntry> files;
    ASSERT_TRUE(os::ListFiles(os::Join(dir.path(), "cur"), files));
    bool found = false;
    for (auto& f : files) found |= f.name == "300.r.host:2,FRS";
    EXPECT_TRUE(found);
    std::vector<std::string> ids = Walk(false);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "301.t.host"), 0);
}

TEST_F(MaildirTest, DeliverReplaceRemove) {
    std::string id;
    ASSERT_TRUE(store.Deliver("Subject: one\r\n\r\n1\r\n", false, "", id));
    StoredMessage m;
    ASSERT_TRUE(store.Locate(id, m));
    EXPECT_EQ(m.folder, "new");
    std::string id2;
    ASSERT_TRUE(store.Deliver("Subject: two\r\n\r\n2\r\n", true, "S", id2));
    EXPECT_NE(id, id2);
    StoredMessage m2;
    ASSERT_TRUE(store.Locate(id2, m2));
    EXPECT_EQ(m2.folder, "cur");
    EXPECT_TRUE(m2.Seen());
    ASSERT_TRUE(store.Replace(m2, "Subject: three\r\n\r\n3\r\n"));
    std::string content;
    ASSERT_TRUE(os::ReadFile(store.PathOf(m2), content, 1000));
    EXPECT_EQ(content, "Subject: three\r\n\r\n3\r\n");
    ASSERT_TRUE(store.Remove(m));
    EXPECT_FALSE(store.Locate(id, m));
    std::vector<os::FileEntry> tmp;
    ASSERT_TRUE(os::ListFiles(os::Join(dir.path(), "tmp"), tmp));
    EXPECT_TRUE(tmp.empty());
}

TEST(MaildirCreate, MakesMissingParents) {
    testsupport::TempDir dir;
    Maildir store(os::Join(os::Join(dir.path(), "a"), "b"));
    EXPECT_FALSE(store.Exists());
    EXPECT_TRUE(store.Create());
    EXPECT_TRUE(store.Exists());
}

namespace {

// Sets the modification time of a file or folder (100-ns ticks since 1970).
void SetTime(const std::string& path, int64_t ticks) {
#ifdef _WIN32
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ULARGE_INTEGER t;
    t.QuadPart = uint64_t(ticks) + 116444736000000000ull;   // 1601 -> 1970
    FILETIME ft;
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
    CloseHandle(h);
#else
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = time_t(ticks / 10000000);
    times[0].tv_nsec = times[1].tv_nsec = long(ticks % 10000000) * 100;
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
#endif
}

int64_t TimeOf(const std::string& path) {
    int64_t ticks = 0;
    EXPECT_TRUE(os::ModifiedTime(path, ticks));
    return ticks;
}

// Sets a folder's modification time an hour back, as in a box last changed a
// while ago (a folder changed in the last seconds is listed on every call).
// The time is taken finely: aging a folder again must still change its time.
void Age(const std::string& folder) {
    using namespace std::chrono;
    const int64_t now = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    SetTime(folder, now - 3600 * 10000000LL);
}

// One request as the engine makes it: the first unread message, read without
// and then with marking it seen, then a look for the next unread one.
void Request(const Maildir& session) {
    std::string id, next;
    ASSERT_EQ(session.FindNext("", true, id), FindResult::Found);
    for (int read = 0; read < 2; ++read) {
        StoredMessage m;
        ASSERT_TRUE(session.Locate(id, m));
        std::string raw;
        ASSERT_TRUE(os::ReadFile(session.PathOf(m), raw, 1000));
        EXPECT_NE(raw.find("Subject: "), std::string::npos);
        if (read == 1) {
            ASSERT_TRUE(session.MarkSeen(m));
        }
    }
    FindResult r = session.FindNext(id, true, next);
    EXPECT_TRUE(r == FindResult::NoMore || (r == FindResult::Found && next != id));
    StoredMessage after;
    ASSERT_TRUE(session.Locate(id, after));
    EXPECT_EQ(after.folder, "cur");
    EXPECT_TRUE(after.Seen());
}

} // namespace

// A box of three messages (two read, one new) last changed a while ago.
struct AgedBox {
    AgedBox() {
        EXPECT_TRUE(Maildir(dir.path()).Create());
        Put("cur", "100.a.host:2,S");
        Put("cur", "101.b.host:2,RS");
        Put("new", "104.e.host");
        Age("new");
        Age("cur");
    }
    std::string Folder(const std::string& folder) const { return os::Join(dir.path(), folder); }
    std::string Path(const std::string& folder, const std::string& name) const {
        return os::Join(Folder(folder), name);
    }
    void Put(const std::string& folder, const std::string& name) {
        EXPECT_TRUE(os::CreateNewFile(Path(folder, name), "Subject: " + name + "\r\n\r\nbody\r\n"));
    }
    // Only a folder that changed: aging the other one would change its time too.
    void Age(const char* folder) { ::Age(os::Join(dir.path(), folder)); }
    testsupport::TempDir dir;
};

// A session keeps its listing: a request lists only the folders that changed
// since the session's last call, whatever the size of the box.
TEST(MaildirListing, FolderListingsPerRequest) {
    struct Case {
        const char* what;
        std::function<void(AgedBox&)> change;   // between the session's first call and the request
        std::function<void(const Maildir&)> request;
        unsigned listings;
        std::function<void(AgedBox&)> before = [](AgedBox&) {};   // before the session's first call
    };
    const Case cases[] = {
        {"a request, nothing changed meanwhile", [](AgedBox&) {}, Request, 0},
        {"requests after new mail arrived",
         [](AgedBox& b) {
             b.Put("new", "105.f.host");
             b.Age("new");
         },
         [](const Maildir& s) {
             Request(s);   // the older one first, then the new one
             Request(s);
         },
         1},
        {"a request after another program read a message and new mail arrived",
         [](AgedBox& b) {
             ASSERT_TRUE(os::RenameFile(b.Path("new", "104.e.host"), b.Path("cur", "104.e.host:2,S"), false));
             b.Put("new", "105.f.host");
             b.Age("new");
             b.Age("cur");
         },
         Request, 2},
        {"reads by identifier and a whole walk", [](AgedBox&) {},
         [](const Maildir& s) {
             StoredMessage m;
             for (const char* id : {"101.b.host", "104.e.host", "100.a.host"}) EXPECT_TRUE(s.Locate(id, m));
             EXPECT_FALSE(s.Locate("no-such-id", m));
             std::string id, seed;
             int found = 0;
             while (s.FindNext(seed, false, id) == FindResult::Found && found < 10) {
                 seed = id;
                 ++found;
             }
             EXPECT_EQ(found, 3);
         },
         0},
        {"a request just after new mail arrived: only new/ is listed, on each find",
         [](AgedBox& b) { b.Put("new", "105.f.host"); }, Request, 2},
        {"a folder changed in the last seconds is listed on every call",
         [](AgedBox& b) { b.Put("new", "105.f.host"); },
         [](const Maildir& s) {
             std::string id;
             for (int i = 0; i < 3; ++i) EXPECT_EQ(s.FindNext("", true, id), FindResult::Found);
         },
         3},
        {"mail delivered by another program into cur/ and new/ within the time stamp of the session's listing",
         [](AgedBox& b) {
             // A file system stamping coarsely leaves the folders' times as they were.
             const int64_t newTime = TimeOf(b.Folder("new")), curTime = TimeOf(b.Folder("cur"));
             b.Put("cur", "105.f.host:2,");
             b.Put("new", "106.g.host");
             SetTime(b.Folder("new"), newTime);
             SetTime(b.Folder("cur"), curTime);
         },
         [](const Maildir& s) {
             std::vector<std::string> unread = Walk(s, true);
             std::sort(unread.begin(), unread.end());
             EXPECT_EQ(unread, (std::vector<std::string>{"103.d.host", "104.e.host", "105.f.host", "106.g.host"}));
         },
         10,   // both folders changed in the last seconds: listed on each of the five finds
         [](AgedBox& b) {
             b.Put("new", "103.d.host");
             b.Put("cur", "102.c.host:2,S");
         }},
        {"a message removed by another program is not found",
         [](AgedBox& b) {
             ASSERT_TRUE(os::RemoveFile(b.Path("cur", "101.b.host:2,RS")));
             b.Age("cur");
         },
         [](const Maildir& s) {
             StoredMessage m;
             EXPECT_FALSE(s.Locate("101.b.host", m));
             EXPECT_EQ(Walk(s, false), (std::vector<std::string>{"100.a.host", "104.e.host"}));
             std::string id;
             EXPECT_EQ(s.FindNext("101.b.host", false, id), FindResult::BadSeed);
         },
         1},
        {"a read by identifier after another program changed the message's flags",
         [](AgedBox& b) {
             ASSERT_TRUE(os::RenameFile(b.Path("cur", "101.b.host:2,RS"), b.Path("cur", "101.b.host:2,FRS"), false));
             b.Age("cur");
         },
         [](const Maildir& s) {
             StoredMessage m;
             ASSERT_TRUE(s.Locate("101.b.host", m));
             EXPECT_EQ(m.fileName, "101.b.host:2,FRS");
             EXPECT_EQ(m.flags, "FRS");
             std::string raw;
             EXPECT_TRUE(os::ReadFile(s.PathOf(m), raw, 1000));
         },
         1},
        {"a message caught by another program's move in both folders is walked once and found where it comes first",
         [](AgedBox& b) {
             b.Put("cur", "104.e.host:2,S");
             SetTime(b.Path("cur", "104.e.host:2,S"), TimeOf(b.Path("new", "104.e.host")) + 10000000);
             b.Age("cur");
         },
         [](const Maildir& s) {
             EXPECT_EQ(Walk(s, false), (std::vector<std::string>{"100.a.host", "101.b.host", "104.e.host"}));
             StoredMessage m;
             ASSERT_TRUE(s.Locate("104.e.host", m));
             EXPECT_EQ(m.folder, "new");
         },
         1},
        {"a message another program wrote again under its name takes its new place in the order",
         [](AgedBox& b) {
             const std::string rewritten = b.Path("tmp", "100.a.host");
             ASSERT_TRUE(os::CreateNewFile(rewritten, "Subject: again\r\n\r\nbody\r\n"));
             SetTime(rewritten, TimeOf(b.Path("new", "104.e.host")) + 10000000);
             ASSERT_TRUE(os::RenameFile(rewritten, b.Path("cur", "100.a.host:2,S"), true));
             b.Age("cur");
         },
         [](const Maildir& s) {
             EXPECT_EQ(Walk(s, false), (std::vector<std::string>{"101.b.host", "104.e.host", "100.a.host"}));
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AgedBox box;
        c.before(box);
        Maildir session(box.dir.path());
        std::string first;
        ASSERT_EQ(session.FindNext("", false, first), FindResult::Found);
        EXPECT_EQ(session.Listings(), 2u);   // each folder once
        c.change(box);
        c.request(session);
        EXPECT_EQ(session.Listings() - 2, c.listings);
    }
}

// Another program's change within the time stamp of the session's own move
// leaves the folders' times as that move set them: the session finds it once
// the folders have settled, looking at them once each, and no more.
TEST(MaildirListing, AChangeWithinTheStampOfTheSessionsMoveIsFoundOnceSettled) {
    AgedBox box;
    Maildir session(box.dir.path());
    StoredMessage m;
    ASSERT_TRUE(session.Locate("104.e.host", m));   // lists both folders
    ASSERT_TRUE(session.MarkSeen(m));
    const int64_t newTime = TimeOf(box.Folder("new")), curTime = TimeOf(box.Folder("cur"));
    box.Put("cur", "105.f.host:2,");
    box.Put("new", "106.g.host");
    ASSERT_TRUE(os::RemoveFile(box.Path("cur", "100.a.host:2,S")));
    SetTime(box.Folder("new"), newTime);
    SetTime(box.Folder("cur"), curTime);

    const std::vector<std::string> expected = {"101.b.host", "104.e.host", "105.f.host", "106.g.host"};
    std::vector<std::string> walked;
    for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         std::chrono::steady_clock::now() < deadline;) {
        walked = Walk(session, false);
        std::sort(walked.begin(), walked.end());
        if (walked == expected) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(session.Listings(), 4u);
    EXPECT_FALSE(session.Locate("100.a.host", m));
    ASSERT_TRUE(session.Locate("105.f.host", m));
    EXPECT_EQ(m.folder, "cur");
}

// Whatever other programs and the session do to the box, the session's kept
// listing walks and finds exactly what a fresh listing of the folders holds.
TEST(MaildirListing, KeptListingAgreesWithAFreshOne) {
    AgedBox box;
    Maildir session(box.dir.path());
    std::mt19937 random(20);
    auto pick = [&](unsigned n) { return unsigned(random() % n); };
    const int64_t base = TimeOf(box.Folder("cur")) - 3600 * 10000000LL;
    int64_t stamp = base;   // distinct old folder times: each change is seen and settled
    const char* flagSets[] = {"", "S", "T", "RS", "FT", "F"};
    auto files = [&](const char* folder) {
        std::vector<os::FileEntry> out;
        EXPECT_TRUE(os::ListFiles(box.Folder(folder), out));
        return out;
    };
    for (int step = 0; step < 120; ++step) {
        SCOPED_TRACE(step);
        const unsigned action = pick(5);
        std::vector<os::FileEntry> inNew = files("new"), inCur = files("cur");
        std::vector<std::string> changed;
        if (action <= 1) {   // another program delivers, with a time that may tie with others
            const bool intoCur = action == 1;
            const std::string unique = std::to_string(200 + step) + ".x.host";
            const std::string name = intoCur ? unique + ":2," + flagSets[pick(6)] : unique;
            const char* folder = intoCur ? "cur" : "new";
            box.Put(folder, name);
            SetTime(box.Path(folder, name), base + int64_t(pick(40)) * 10000000);
            changed.push_back(folder);
        } else if (action == 2 && !(inNew.empty() && inCur.empty())) {   // another program removes one
            const char* folder = inCur.empty() || (!inNew.empty() && pick(2)) ? "new" : "cur";
            std::vector<os::FileEntry>& in = folder[0] == 'n' ? inNew : inCur;
            ASSERT_TRUE(os::RemoveFile(box.Path(folder, in[pick(unsigned(in.size()))].name)));
            changed.push_back(folder);
        } else if (action == 3 && !(inNew.empty() && inCur.empty())) {   // another program changes flags
            const bool fromNew = inCur.empty() || (!inNew.empty() && pick(2));
            const std::string name = (fromNew ? inNew : inCur)[pick(unsigned((fromNew ? inNew : inCur).size()))].name;
            const std::string to = Maildir::IdOf(name) + ":2," + flagSets[pick(6)];
            if (to == name) continue;
            ASSERT_TRUE(os::RenameFile(box.Path(fromNew ? "new" : "cur", name), box.Path("cur", to), false));
            changed = {"cur"};
            if (fromNew) changed.push_back("new");
        } else if (action == 4) {   // the session reads one and marks it seen
            std::vector<std::string> unread = Walk(session, true);
            if (unread.empty()) continue;
            StoredMessage m;
            ASSERT_TRUE(session.Locate(unread[pick(unsigned(unread.size()))], m));
            ASSERT_TRUE(session.MarkSeen(m));
        }
        for (const std::string& folder : changed) SetTime(box.Folder(folder), ++stamp);

        std::vector<StoredMessage> fresh;
        ASSERT_TRUE(Maildir(box.dir.path()).List(fresh));
        std::vector<std::string> visible, unread;
        for (const StoredMessage& m : fresh) {
            if (m.Trashed()) continue;
            visible.push_back(m.id);
            if (!m.Seen()) unread.push_back(m.id);
        }
        ASSERT_EQ(Walk(session, false), visible);
        ASSERT_EQ(Walk(session, true), unread);
        for (const StoredMessage& m : fresh) {
            StoredMessage found;
            ASSERT_TRUE(session.Locate(m.id, found));
            EXPECT_EQ(found.fileName, m.fileName);
            EXPECT_EQ(found.folder, m.folder);
        }
    }
}

TEST_F(MaildirTest, AbandonedFilesOfWritersThatEndedAreRemoved) {
    const std::string host = Maildir::NameHost();
    const std::string dead = "2147483000";   // no process has this id
    const std::string self = std::to_string(os::ProcessId());
    struct Case {
        std::string name;
        bool removed;
    } cases[] = {
        {"1700000000.P" + dead + "Q3." + host, true},
        {"1700000000.P" + dead + "Q12." + host.substr(0, 1), true},   // the host cut to fit the name
        {"1700000000.P" + self + "Q4." + host, false},                // still being written by us
        {"1700000000.M123P" + dead + "Q1." + host, false},            // another program's scheme
        {"1700000000.P" + dead + "Q5.other-host.example", false},     // another machine's writer
        {"1700000000.P" + dead + "Q." + host, false},
        {"P" + dead + "Q1." + host, false},
        {"notes.txt", false},
    };
    for (const Case& c : cases) ASSERT_TRUE(os::CreateNewFile(Path("tmp", c.name), "partial")) << c.name;
    size_t expected = 0;
    for (const Case& c : cases) expected += c.removed;
    EXPECT_EQ(store.RemoveAbandonedFiles(), expected);
    for (const Case& c : cases) {
        int64_t t = 0;
        EXPECT_EQ(!os::ModifiedTime(Path("tmp", c.name), t), c.removed) << c.name;
    }
}

TEST_F(MaildirTest, AnswersNotedBeforeDeliveryGoOutOnceAcrossAKill) {
    AnswerJournal journal(os::Join(dir.path(), "Answers.txt"));
    OutgoingMessage answer;
    answer.to = {{"", "user@example.org"}};
    answer.subject = "Done";
    answer.text = "Sent as asked.";
    const std::string hash = AnswerHash(answer);
    // The date and message id are no part of what an answer says; the rest is.
    OutgoingMessage later = answer;
    later.messageId = "other@x";
    later.date.minute = 59;
    EXPECT_EQ(AnswerHash(later), hash);
    for (auto change : std::vector<std::function<void(OutgoingMessage&)>>{
             [](OutgoingMessage& m) { m.subject += "!"; },
             [](OutgoingMessage& m) { m.to[0].address = "other@example.org"; },
             [](OutgoingMessage& m) { m.attachments.push_back({"a.txt", "x"}); },
             [](OutgoingMessage& m) { m.cc = m.to; m.to.clear(); }}) {
        OutgoingMessage other = answer;
        change(other);
        EXPECT_NE(AnswerHash(other), hash);
    }

    // Noted under its key before the move into new/; a refused note stops the delivery.
    const std::string key = "1700.M1P1.x " + hash + "#0";
    std::string id, noted;
    ASSERT_TRUE(store.Deliver("Subject: Done\r\n\r\nx\r\n", false, "", id, [&](const std::string& unique) {
        noted = unique;
        return journal.Note(key, unique);
    }));
    EXPECT_TRUE(journal.Has(key));
    EXPECT_FALSE(journal.Has("1700.M1P1.x " + hash + "#1"));
    EXPECT_FALSE(journal.Has("1700.M1P1.x " + hash));
    EXPECT_TRUE(journal.Noted(noted));
    EXPECT_FALSE(store.Deliver("x", false, "", id, [](const std::string&) { return false; }));
    std::vector<os::FileEntry> files;
    ASSERT_TRUE(os::ListFiles(os::Join(dir.path(), "tmp"), files));
    EXPECT_TRUE(files.empty());
    ASSERT_TRUE(os::ListFiles(os::Join(dir.path(), "new"), files));
    EXPECT_EQ(files.size(), 1u);

    // A killed writer's finished, noted answer is delivered at the next
    // logon; an unnoted one is dropped.
    const std::string dead = "2147483000", host = Maildir::NameHost();
    const std::string finished = "1700000000.P" + dead + "Q1." + host, partial = "1700000000.P" + dead + "Q2." + host;
    ASSERT_TRUE(os::CreateNewFile(Path("tmp", finished), "Subject: noted\r\n\r\nx\r\n"));
    ASSERT_TRUE(os::CreateNewFile(Path("tmp", partial), "Subject: cut"));
    ASSERT_TRUE(journal.Note("1700.M2P1.y " + hash + "#0", finished));
    EXPECT_EQ(store.RemoveAbandonedFiles([&](const std::string& name) { return journal.Noted(name); }), 2u);
    int64_t t = 0;
    EXPECT_TRUE(os::ModifiedTime(Path("new", finished), t));
    EXPECT_FALSE(os::ModifiedTime(Path("tmp", finished), t));
    EXPECT_FALSE(os::ModifiedTime(Path("tmp", partial), t));
    EXPECT_FALSE(os::ModifiedTime(Path("new", partial), t));
}

TEST(AnswerTags, OnlyPlainPrintableTagsCount) {
    EXPECT_EQ(UsableTag("1700.M1P1.host/5a.1"), "1700.M1P1.host/5a.1");
    for (const std::string bad : {std::string(), std::string("a b"), std::string("a\nb"), std::string(201, 'x')})
        EXPECT_EQ(UsableTag(bad), "") << bad;
}
