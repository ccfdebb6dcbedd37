// The Maildir store: identifiers, order, the walk with a seed, flags and moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

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
