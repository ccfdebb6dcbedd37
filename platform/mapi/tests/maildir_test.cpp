// The Maildir store: identifiers, order, the walk with a seed, flags and moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/time.h>
#endif

#include "core/maildir.h"
#include "core/mail_os.h"
#include "testsupport/testsupport.h"

using namespace vxmail;

namespace {

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
    std::vector<std::string> Walk(bool unreadOnly) {
        std::vector<std::string> ids;
        std::string seed;
        for (int i = 0; i < 100; ++i) {
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

// Sets a folder's modification time an hour back, as in a box last changed a
// while ago (a folder changed in the last seconds is listed on every call).
void Age(const std::string& folder) {
#ifdef _WIN32
    HANDLE h = CreateFileA(folder.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    t.QuadPart -= 3600ull * 10000000;
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
    CloseHandle(h);
#else
    struct timeval now, times[2];
    gettimeofday(&now, nullptr);
    times[0] = times[1] = now;
    times[0].tv_sec -= 3600;
    times[1].tv_sec -= 3600;
    ASSERT_EQ(utimes(folder.c_str(), times), 0);
#endif
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
    std::string Path(const std::string& folder, const std::string& name) const {
        return os::Join(os::Join(dir.path(), folder), name);
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AgedBox box;
        Maildir session(box.dir.path());
        std::string first;
        ASSERT_EQ(session.FindNext("", false, first), FindResult::Found);
        EXPECT_EQ(session.Listings(), 2u);   // each folder once
        c.change(box);
        c.request(session);
        EXPECT_EQ(session.Listings() - 2, c.listings);
    }
}
