// Simple MAPI through the system's MAPI32.DLL (which forwards to VxMail.dll, the
// registered mail client), on a Maildir of this test's own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "mapi32_client.h"
#include "testsupport/testsupport.h"

namespace {

std::string Join(const std::string& a, const std::string& b) { return a + "\\" + b; }

class Mapi32Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mapi.Load()) << "MAPI32.DLL or an entry point is missing";
        store = Join(dir.path(), "Maildir");
        profile.name = "vxtest-" + std::to_string(GetCurrentProcessId()) + "-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name();
        profile.password = "secret";
        profile.maildir = store;
        profile.from = "assistant@example.com";
        profile.outbox = Join(dir.path(), "Outbox");
        ASSERT_TRUE(WriteProfile(profile));
        ASSERT_EQ(Logon(profile.name, "secret"), 0u);
        ASSERT_NE(session, 0u);
    }
    void TearDown() override {
        if (session) mapi.Logoff(session, 0, 0, 0);
        DeleteProfile(profile.name);
    }
    ULONG Logon(const std::string& name, const char* password) {
        session = 0;
        return mapi.Logon(0, const_cast<char*>(name.c_str()), const_cast<char*>(password), 0, 0, &session);
    }
    // Delivers a message file as a delivery agent would, with a given file time.
    void Deliver(const std::string& folder, const std::string& name, const std::string& content, int minutesAgo = 0) {
        std::string path = Join(Join(store, folder), name);
        ASSERT_TRUE(testsupport::WriteFile(path, content));
        if (minutesAgo) {
            HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE);
            FILETIME ft;
            GetSystemTimeAsFileTime(&ft);
            ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
            t.QuadPart -= ULONGLONG(minutesAgo) * 60 * 10000000;
            ft.dwLowDateTime = t.LowPart;
            ft.dwHighDateTime = t.HighPart;
            SetFileTime(h, nullptr, nullptr, &ft);
            CloseHandle(h);
        }
    }
    std::vector<std::string> Walk(ULONG flags) {
        std::vector<std::string> ids;
        char seed[512] = "";
        for (int i = 0; i < 1000; ++i) {
            char id[512] = "";
            ULONG rc = mapi.FindNext(session, 0, nullptr, seed, flags | MAPI_LONG_MSGID, 0, id);
            if (rc != 0) {
                EXPECT_EQ(rc, ULONG(MAPI_E_NO_MESSAGES));
                break;
            }
            ids.push_back(id);
            strcpy(seed, id);
        }
        return ids;
    }
    bool InFolder(const std::string& folder, const std::string& fileName) {
        return GetFileAttributesA(Join(Join(store, folder), fileName).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    Mapi32 mapi;
    testsupport::TempDir dir;
    std::string store;
    TestProfile profile;
    LHANDLE session = 0;
};

const char kSimple[] =
    "From: Anna Smith <anna@example.net>\r\nTo: assistant@example.com\r\nSubject: Hello\r\n"
    "Date: Tue, 08 May 2001 14:07:00 +0000\r\n\r\nFirst line\r\nSecond line\r\n";

} // namespace

TEST_F(Mapi32Test, LogonChecksProfileAndPassword) {
    LHANDLE h = 1234;
    EXPECT_EQ(mapi.Logon(0, const_cast<char*>("no-such-profile"), nullptr, 0, 0, &h), ULONG(MAPI_E_LOGIN_FAILURE));
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(mapi.Logon(0, const_cast<char*>(profile.name.c_str()), const_cast<char*>("wrong"), 0, 0, &h),
              ULONG(MAPI_E_LOGIN_FAILURE));
    EXPECT_EQ(mapi.Logon(0, const_cast<char*>(profile.name.c_str()), nullptr, 0, 0, &h), ULONG(MAPI_E_LOGIN_FAILURE));
    // The store was created by the first logon.
    EXPECT_TRUE(testsupport::FileExists(Join(store, "new")));
    // The default profile of the session set-up answers an empty name.
    LHANDLE d = 0;
    EXPECT_EQ(mapi.Logon(0, const_cast<char*>(""), nullptr, 0, 0, &d), 0u);
    EXPECT_NE(d, 0u);
    EXPECT_EQ(mapi.Logoff(d, 0, 0, 0), 0u);
}

TEST_F(Mapi32Test, BadSessionsAreRefused) {
    char id[512];
    lpMapiMessage msg = nullptr;
    const LHANDLE bad = session + 7777;
    EXPECT_EQ(mapi.FindNext(bad, 0, nullptr, nullptr, 0, 0, id), ULONG(MAPI_E_INVALID_SESSION));
    EXPECT_EQ(mapi.ReadMail(bad, 0, const_cast<char*>("x"), 0, 0, &msg), ULONG(MAPI_E_INVALID_SESSION));
    EXPECT_EQ(msg, nullptr);
    EXPECT_EQ(mapi.DeleteMail(bad, 0, const_cast<char*>("x"), 0, 0), ULONG(MAPI_E_INVALID_SESSION));
    EXPECT_EQ(mapi.Logoff(bad, 0, 0, 0), ULONG(MAPI_E_INVALID_SESSION));
    LHANDLE old = session;
    EXPECT_EQ(mapi.Logoff(old, 0, 0, 0), 0u);
    session = 0;
    EXPECT_EQ(mapi.FindNext(old, 0, nullptr, nullptr, 0, 0, id), ULONG(MAPI_E_INVALID_SESSION));
    EXPECT_EQ(mapi.FindNext(0, 0, nullptr, nullptr, 0, 0, id), ULONG(MAPI_E_INVALID_SESSION));
}

TEST_F(Mapi32Test, EmptyStoreHasNoMessages) {
    char id[512] = "";
    EXPECT_EQ(mapi.FindNext(session, 0, const_cast<char*>(""), const_cast<char*>(""), MAPI_LONG_MSGID, 0, id),
              ULONG(MAPI_E_NO_MESSAGES));
    EXPECT_EQ(mapi.FindNext(session, 0, nullptr, const_cast<char*>("not-there"), 0, 0, id),
              ULONG(MAPI_E_INVALID_MESSAGE));
    lpMapiMessage msg = nullptr;
    EXPECT_EQ(mapi.ReadMail(session, 0, const_cast<char*>("not-there"), 0, 0, &msg), ULONG(MAPI_E_INVALID_MESSAGE));
}

TEST_F(Mapi32Test, ReadMailFillsTheMessageAndPeekLeavesItUnread) {
    Deliver("new", "1700000000.M1P1.test", kSimple);
    std::vector<std::string> ids = Walk(MAPI_UNREAD_ONLY);
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(ids[0], "1700000000.M1P1.test");

    lpMapiMessage m = nullptr;
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>(ids[0].c_str()), MAPI_PEEK, 0, &m), 0u);
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->lpszSubject, "Hello");
    EXPECT_STREQ(m->lpszNoteText, "First line\r\nSecond line\r\n");
    ASSERT_NE(m->lpOriginator, nullptr);
    EXPECT_STREQ(m->lpOriginator->lpszName, "Anna Smith");
    EXPECT_STREQ(m->lpOriginator->lpszAddress, "anna@example.net");
    EXPECT_EQ(m->lpOriginator->ulRecipClass, ULONG(MAPI_ORIG));
    ASSERT_EQ(m->nRecipCount, 1u);
    EXPECT_STREQ(m->lpRecips[0].lpszAddress, "assistant@example.com");
    EXPECT_EQ(m->lpRecips[0].ulRecipClass, ULONG(MAPI_TO));
    EXPECT_TRUE(std::regex_match(m->lpszDateReceived, std::regex("2001/05/0[78] [0-9]{2}:07")));
    EXPECT_TRUE(m->flFlags & MAPI_UNREAD);
    EXPECT_EQ(mapi.FreeBuffer(m), 0u);
    EXPECT_TRUE(InFolder("new", "1700000000.M1P1.test"));

    // Envelope only: no text; then a real read marks it seen and moves it.
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>(ids[0].c_str()), MAPI_ENVELOPE_ONLY | MAPI_PEEK, 0, &m), 0u);
    EXPECT_EQ(m->lpszNoteText, nullptr);
    EXPECT_STREQ(m->lpszSubject, "Hello");
    mapi.FreeBuffer(m);
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>(ids[0].c_str()), 0, 0, &m), 0u);
    mapi.FreeBuffer(m);
    EXPECT_FALSE(InFolder("new", "1700000000.M1P1.test"));
    EXPECT_TRUE(InFolder("cur", "1700000000.M1P1.test:2,S"));
    EXPECT_TRUE(Walk(MAPI_UNREAD_ONLY).empty());
    EXPECT_EQ(Walk(0).size(), 1u);
}

TEST_F(Mapi32Test, TextArrivesInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "expectations are for code page 1252";
    // UTF-8 with an encoded-word subject, and KOI8-R (through the system's code pages:
    // Cyrillic has no 1252 form, so it must come out as '?', not as Latin mojibake).
    Deliver("new", "1700000004.M1P1.test",
            "Subject: =?utf-8?q?caf=C3=A9_=E2=82=AC?=\r\nContent-Type: text/plain; charset=utf-8\r\n"
            "Content-Transfer-Encoding: 8bit\r\n\r\nd\xC3\xA9j\xC3\xA0 vu\n");
    Deliver("new", "1700000005.M1P1.test",
            "Subject: koi8\r\nContent-Type: text/plain; charset=koi8-r\r\n\r\n\xF0\xD2\xC9\xD7\xC5\xD4\r\n");
    lpMapiMessage m = nullptr;
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>("1700000004.M1P1.test"), MAPI_PEEK, 0, &m), 0u);
    EXPECT_STREQ(m->lpszSubject, "caf\xE9 \x80");
    EXPECT_STREQ(m->lpszNoteText, "d\xE9j\xE0 vu\r\n");
    mapi.FreeBuffer(m);
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>("1700000005.M1P1.test"), MAPI_PEEK, 0, &m), 0u);
    EXPECT_STREQ(m->lpszNoteText, "??????\r\n");
    mapi.FreeBuffer(m);
}

TEST_F(Mapi32Test, FreeBufferRefusesWhatItDidNotHandOut) {
    Deliver("new", "1700000001.M1P1.test", kSimple);
    lpMapiMessage m = nullptr;
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>("1700000001.M1P1.test"), MAPI_PEEK, 0, &m), 0u);
    EXPECT_EQ(mapi.FreeBuffer(m), 0u);
    EXPECT_NE(mapi.FreeBuffer(m), 0u);   // a second free is refused, not a crash
    int local = 0;
    EXPECT_NE(mapi.FreeBuffer(&local), 0u);
    EXPECT_EQ(mapi.FreeBuffer(nullptr), 0u);
}

TEST_F(Mapi32Test, AttachmentsGoToTemporaryFilesUnlessSuppressed) {
    std::string mail =
        "From: a@example.org\r\nSubject: Files\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n--XX\r\nContent-Type: text/plain\r\n\r\nSee files.\r\n"
        "--XX\r\nContent-Type: application/octet-stream\r\nContent-Disposition: attachment; filename=\"a.bin\"\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\nAAEC\r\n"
        "--XX\r\nContent-Type: text/plain; name=\"b.txt\"\r\n\r\nsecond\r\n--XX--\r\n";
    Deliver("new", "1700000002.M1P1.test", mail);
    lpMapiMessage m = nullptr;
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>("1700000002.M1P1.test"), MAPI_PEEK, 0, &m), 0u);
    ASSERT_EQ(m->nFileCount, 2u);
    EXPECT_STREQ(m->lpFiles[0].lpszFileName, "a.bin");
    EXPECT_STREQ(m->lpFiles[1].lpszFileName, "b.txt");
    EXPECT_EQ(m->lpFiles[0].nPosition, ULONG(-1));
    EXPECT_STRNE(m->lpFiles[0].lpszPathName, m->lpFiles[1].lpszPathName);
    EXPECT_EQ(testsupport::ReadFile(m->lpFiles[0].lpszPathName), std::string("\x00\x01\x02", 3));
    EXPECT_EQ(testsupport::ReadFile(m->lpFiles[1].lpszPathName), "second");
    for (ULONG i = 0; i < m->nFileCount; ++i) DeleteFileA(m->lpFiles[i].lpszPathName);
    mapi.FreeBuffer(m);
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>("1700000002.M1P1.test"), MAPI_PEEK | MAPI_SUPPRESS_ATTACH, 0, &m), 0u);
    EXPECT_EQ(m->nFileCount, 0u);
    EXPECT_STREQ(m->lpszNoteText, "See files.");
    mapi.FreeBuffer(m);
}

TEST_F(Mapi32Test, AttachmentsBeyondTheBoundAreLogged) {
    // 1,000 attachments are all handed over; of 1,003 the last three are
    // named in the store's log, never dropped without a word.
    auto mail = [](int n) {
        std::string m = "From: a@example.org\r\nSubject: Many\r\nContent-Type: multipart/mixed; boundary=XX\r\n\r\n"
                        "--XX\r\nContent-Type: text/plain\r\n\r\nnote\r\n";
        for (int i = 0; i < n; ++i)
            m += "--XX\r\nContent-Type: text/plain; name=\"f" + std::to_string(i) + ".txt\"\r\n\r\nx\r\n";
        return m + "--XX--\r\n";
    };
    Deliver("new", "1700000010.M1P1.test", mail(1000));
    Deliver("new", "1700000011.M1P1.test", mail(1003));
    const std::string log = Join(store, "VxMail.log");
    for (const char* id : {"1700000010.M1P1.test", "1700000011.M1P1.test"}) {
        lpMapiMessage m = nullptr;
        ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>(id), MAPI_PEEK, 0, &m), 0u);
        EXPECT_EQ(m->nFileCount, 1000u) << id;
        EXPECT_STREQ(m->lpFiles[999].lpszFileName, "f999.txt");
        for (ULONG i = 0; i < m->nFileCount; ++i) DeleteFileA(m->lpFiles[i].lpszPathName);
        mapi.FreeBuffer(m);
        if (std::string(id) == "1700000010.M1P1.test") EXPECT_FALSE(testsupport::FileExists(log));
    }
    std::string text = testsupport::ReadFile(log);
    EXPECT_NE(text.find("Message 1700000011.M1P1.test: 3 part(s) not kept (at most 1000 attachments are read).\r\n"),
              std::string::npos) << text;
    EXPECT_EQ(text.find("1700000010"), std::string::npos);
}

TEST_F(Mapi32Test, AutomaticMailHasItsOwnTypeBothWays) {
    // Read: header fields of responders give the message its type.
    Deliver("new", "1700000020.M1P1.test", std::string(kSimple));
    Deliver("new", "1700000021.M1P1.test", "Auto-Submitted: auto-replied\r\n" + std::string(kSimple));
    Deliver("new", "1700000022.M1P1.test", "Precedence: bulk\r\n" + std::string(kSimple));
    struct Case { const char* id; const char* type; } cases[] = {
        {"1700000020.M1P1.test", nullptr},
        {"1700000021.M1P1.test", "IPM.Note.Automatic"},
        {"1700000022.M1P1.test", "IPM.Note.Automatic"},
    };
    for (const Case& c : cases) {
        lpMapiMessage m = nullptr;
        ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>(c.id), MAPI_PEEK | MAPI_ENVELOPE_ONLY, 0, &m), 0u);
        if (c.type) EXPECT_STREQ(m->lpszMessageType, c.type) << c.id;
        else EXPECT_EQ(m->lpszMessageType, nullptr) << c.id;
        mapi.FreeBuffer(m);
    }
    // Sent: the type marks the mail as an automatic answer.
    MapiRecipDesc to{0, MAPI_TO, const_cast<char*>("John"), const_cast<char*>("john@example.org"), 0, nullptr};
    for (const char* type : {"IPM.Note.Automatic", static_cast<const char*>(nullptr)}) {
        MapiMessage msg{};
        msg.lpszSubject = const_cast<char*>(type ? "Automatic" : "Personal");
        msg.lpszMessageType = const_cast<char*>(type);
        msg.nRecipCount = 1;
        msg.lpRecips = &to;
        ASSERT_EQ(mapi.SendMail(session, 0, &msg, 0, 0), 0u);
    }
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(Join(Join(profile.outbox, "new"), "*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    int seen = 0;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string sent = testsupport::ReadFile(Join(Join(profile.outbox, "new"), fd.cFileName));
        const bool automatic = sent.find("Subject: Automatic\r\n") != std::string::npos;
        EXPECT_EQ(sent.find("\r\nAuto-Submitted: auto-replied\r\n") != std::string::npos, automatic) << sent;
        ++seen;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    EXPECT_EQ(seen, 2);
}

TEST_F(Mapi32Test, UnwritableTemporaryFolderIsReportedAndNothingIsMarked) {
    Deliver("new", "1700000003.M1P1.test",
            "Subject: A\r\nContent-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n\r\ntext\r\n--B\r\n"
            "Content-Disposition: attachment; filename=x.txt\r\n\r\ndata\r\n--B--\r\n");
    char tmp[MAX_PATH], temp[MAX_PATH];
    GetEnvironmentVariableA("TMP", tmp, sizeof tmp);
    GetEnvironmentVariableA("TEMP", temp, sizeof temp);
    std::string missing = Join(dir.path(), "no-such-folder");
    SetEnvironmentVariableA("TMP", missing.c_str());
    SetEnvironmentVariableA("TEMP", missing.c_str());
    lpMapiMessage m = nullptr;
    ULONG rc = mapi.ReadMail(session, 0, const_cast<char*>("1700000003.M1P1.test"), 0, 0, &m);
    SetEnvironmentVariableA("TMP", tmp);
    SetEnvironmentVariableA("TEMP", temp);
    EXPECT_EQ(rc, ULONG(MAPI_E_ATTACHMENT_WRITE_FAILURE));
    EXPECT_EQ(m, nullptr);
    EXPECT_TRUE(InFolder("new", "1700000003.M1P1.test"));   // a failed read does not mark the mail read
}

TEST_F(Mapi32Test, FifoOrderIsDeliveryTimeAndSurvivesMarkingRead) {
    Deliver("new", "3.c", "Subject: newest\r\n\r\nx\r\n", 1);
    Deliver("new", "1.a", "Subject: oldest\r\n\r\nx\r\n", 30);
    Deliver("cur", "2.b:2,S", "Subject: middle, read\r\n\r\nx\r\n", 20);
    Deliver("new", "4.d", "Subject: second\r\n\r\nx\r\n", 10);
    EXPECT_EQ(Walk(MAPI_GUARANTEE_FIFO), (std::vector<std::string>{"1.a", "2.b", "4.d", "3.c"}));
    // The probe's sweep: find, read (which marks it), find the next after it.
    std::vector<std::string> seen;
    char seed[512] = "";
    for (int i = 0; i < 10; ++i) {
        char id[512];
        if (mapi.FindNext(session, 0, nullptr, seed, MAPI_UNREAD_ONLY | MAPI_GUARANTEE_FIFO | MAPI_LONG_MSGID, 0, id))
            break;
        lpMapiMessage m = nullptr;
        ASSERT_EQ(mapi.ReadMail(session, 0, id, 0, 0, &m), 0u);
        mapi.FreeBuffer(m);
        seen.push_back(id);
        strcpy(seed, id);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1.a", "4.d", "3.c"}));
}

TEST_F(Mapi32Test, SaveReplaceAndDelete) {
    MapiRecipDesc to{0, MAPI_TO, const_cast<char*>("John"), const_cast<char*>("SMTP:john@example.org"), 0, nullptr};
    MapiMessage msg{};
    msg.lpszSubject = const_cast<char*>("Draft");
    msg.lpszNoteText = const_cast<char*>("draft text");
    msg.nRecipCount = 1;
    msg.lpRecips = &to;
    char id[512] = "";
    ASSERT_EQ(mapi.SaveMail(session, 0, &msg, 0, 0, id), 0u);
    ASSERT_GT(strlen(id), 0u);
    EXPECT_LT(strlen(id), 64u);
    lpMapiMessage m = nullptr;
    ASSERT_EQ(mapi.ReadMail(session, 0, id, MAPI_PEEK, 0, &m), 0u);
    EXPECT_STREQ(m->lpszSubject, "Draft");
    EXPECT_FALSE(m->flFlags & MAPI_UNREAD);
    ASSERT_EQ(m->nRecipCount, 1u);
    EXPECT_STREQ(m->lpRecips[0].lpszAddress, "john@example.org");
    mapi.FreeBuffer(m);

    std::string first = id;
    msg.lpszSubject = const_cast<char*>("Draft 2");
    ASSERT_EQ(mapi.SaveMail(session, 0, &msg, 0, 0, id), 0u);
    EXPECT_EQ(first, id);
    ASSERT_EQ(mapi.ReadMail(session, 0, id, MAPI_PEEK, 0, &m), 0u);
    EXPECT_STREQ(m->lpszSubject, "Draft 2");
    mapi.FreeBuffer(m);
    EXPECT_EQ(Walk(0).size(), 1u);

    EXPECT_EQ(mapi.DeleteMail(session, 0, id, 0, 0), 0u);
    EXPECT_EQ(mapi.DeleteMail(session, 0, id, 0, 0), ULONG(MAPI_E_INVALID_MESSAGE));
    EXPECT_TRUE(Walk(0).empty());
    char missing[512] = "no-such-message";
    EXPECT_EQ(mapi.SaveMail(session, 0, &msg, 0, 0, missing), ULONG(MAPI_E_INVALID_MESSAGE));
}

TEST_F(Mapi32Test, SendWithoutRelayKeepsTheMailInTheOutbox) {
    MapiRecipDesc to{0, MAPI_TO, const_cast<char*>("Vindalex"), const_cast<char*>("Vindalex"), 0, nullptr};
    MapiMessage msg{};
    msg.lpszSubject = const_cast<char*>("Reply");
    msg.nRecipCount = 1;
    msg.lpRecips = &to;
    EXPECT_EQ(mapi.SendMail(session, 0, &msg, 0, 0), ULONG(MAPI_E_UNKNOWN_RECIPIENT));
    msg.nRecipCount = 0;
    EXPECT_EQ(mapi.SendMail(session, 0, &msg, 0, 0), ULONG(MAPI_E_INVALID_RECIPS));
    to.lpszName = const_cast<char*>("John");
    to.lpszAddress = const_cast<char*>("SMTP:john@example.org");
    msg.nRecipCount = 1;
    // The assistant's name in both fields of the originator: it becomes the display name.
    MapiRecipDesc from{0, MAPI_ORIG, const_cast<char*>("Vindalex Assistant"), const_cast<char*>("Vindalex Assistant"), 0, nullptr};
    msg.lpOriginator = &from;
    MapiFileDesc file{0, 0, ULONG(-1), const_cast<char*>("C:\\no\\such\\file.txt"), nullptr, nullptr};
    msg.nFileCount = 1;
    msg.lpFiles = &file;
    EXPECT_EQ(mapi.SendMail(session, 0, &msg, 0, 0), ULONG(MAPI_E_ATTACHMENT_NOT_FOUND));
    msg.nFileCount = 0;
    ASSERT_EQ(mapi.SendMail(session, 0, &msg, 0, 0), 0u);
    std::vector<std::string> outbox;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(Join(Join(profile.outbox, "new"), "*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) outbox.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    ASSERT_EQ(outbox.size(), 1u);
    std::string sent = testsupport::ReadFile(Join(Join(profile.outbox, "new"), outbox[0]));
    EXPECT_NE(sent.find("From: Vindalex Assistant"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("From: \"Vindalex\""), std::string::npos);
    EXPECT_NE(sent.find("To: John <john@example.org>\r\n"), std::string::npos) << sent;
}

// A mail program asks the user for the recipients when called with its dialog;
// without a window, a message given none goes to the profile's own address.
TEST_F(Mapi32Test, DialogSendWithoutRecipientsGoesToTheProfilesOwnAddress) {
    MapiMessage msg{};
    msg.lpszSubject = const_cast<char*>("Test");
    EXPECT_EQ(mapi.SendMail(session, 0, &msg, 0, 0), ULONG(MAPI_E_INVALID_RECIPS)) << "no dialog, no one to send to";
    ASSERT_EQ(mapi.SendMail(session, 0, &msg, MAPI_DIALOG | MAPI_LOGON_UI, 0), 0u);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(Join(Join(profile.outbox, "new"), "*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<std::string> outbox;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) outbox.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    ASSERT_EQ(outbox.size(), 1u);
    std::string sent = testsupport::ReadFile(Join(Join(profile.outbox, "new"), outbox[0]));
    EXPECT_NE(sent.find("To: <assistant@example.com>\r\n"), std::string::npos) << sent;
}

TEST_F(Mapi32Test, SendDocumentsLeavesANoteInTheDefaultOutbox) {
    // The default profile's outbox, as the session set-up registered it.
    char outbox[MAX_PATH] = "";
    DWORD size = sizeof outbox;
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vindalex\\VxMail\\Profiles\\Vindalex", 0, KEY_READ, &key), 0);
    RegQueryValueExA(key, "Outbox", nullptr, nullptr, reinterpret_cast<BYTE*>(outbox), &size);
    RegCloseKey(key);
    std::string doc = Join(dir.path(), "doc.txt");
    ASSERT_TRUE(testsupport::WriteFile(doc, "document body"));
    std::string paths = doc + ";" + Join(dir.path(), "missing.txt");
    EXPECT_EQ(mapi.SendDocuments(0, const_cast<char*>(";"), const_cast<char*>(paths.c_str()), nullptr, 0),
              ULONG(MAPI_E_ATTACHMENT_NOT_FOUND));
    std::string name = "Report " + std::to_string(GetCurrentProcessId()) + ".txt";
    ASSERT_EQ(mapi.SendDocuments(0, const_cast<char*>(";"), const_cast<char*>(doc.c_str()), const_cast<char*>(name.c_str()), 0), 0u);
    bool found = false;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(Join(Join(outbox, "new"), "*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do {
        std::string path = Join(Join(outbox, "new"), fd.cFileName);
        std::string content = testsupport::ReadFile(path);
        if (content.find("filename=\"" + name + "\"") != std::string::npos) {
            found = true;
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    EXPECT_TRUE(found);
}

TEST_F(Mapi32Test, ResolveNameAcceptsAddressesOnly) {
    lpMapiRecipDesc r = nullptr;
    ASSERT_EQ(mapi.ResolveName(session, 0, const_cast<char*>("John Doe <john@example.org>"), 0, 0, &r), 0u);
    EXPECT_STREQ(r->lpszName, "John Doe");
    EXPECT_STREQ(r->lpszAddress, "SMTP:john@example.org");
    EXPECT_EQ(mapi.FreeBuffer(r), 0u);
    ASSERT_EQ(mapi.ResolveName(session, 0, const_cast<char*>("SMTP:jane@example.org"), 0, 0, &r), 0u);
    EXPECT_STREQ(r->lpszName, "jane@example.org");
    mapi.FreeBuffer(r);
    EXPECT_EQ(mapi.ResolveName(session, 0, const_cast<char*>("Nobody Known"), 0, 0, &r), ULONG(MAPI_E_UNKNOWN_RECIPIENT));
    EXPECT_EQ(r, nullptr);
    ULONG n = 5;
    lpMapiRecipDesc list = nullptr;
    EXPECT_EQ(mapi.Address(session, 0, nullptr, 1, nullptr, 0, nullptr, 0, 0, &n, &list), ULONG(MAPI_E_NOT_SUPPORTED));
    EXPECT_EQ(n, 0u);
}

TEST_F(Mapi32Test, TwelveSessionsOnTwoThreads) {
    for (int i = 0; i < 20; ++i)
        Deliver("new", "17000001" + std::to_string(10 + i) + ".M1P1.test", kSimple);
    std::atomic<int> failures{0}, reads{0};
    auto worker = [&](int thread) {
        std::vector<LHANDLE> sessions;
        for (int s = 0; s < 6; ++s) {
            LHANDLE h = 0;
            if (mapi.Logon(0, const_cast<char*>(profile.name.c_str()), const_cast<char*>("secret"), 0, 0, &h)) ++failures;
            sessions.push_back(h);
        }
        for (int round = 0; round < 3; ++round) {
            for (LHANDLE h : sessions) {
                char seed[512] = "";
                for (int k = 0; k < 100; ++k) {
                    char id[512];
                    ULONG rc = mapi.FindNext(h, 0, nullptr, seed, MAPI_LONG_MSGID | MAPI_GUARANTEE_FIFO, 0, id);
                    if (rc == MAPI_E_NO_MESSAGES) break;
                    if (rc) { ++failures; break; }
                    lpMapiMessage m = nullptr;
                    // Thread 1 marks messages read while thread 0 peeks at them.
                    rc = mapi.ReadMail(h, 0, id, thread ? 0 : MAPI_PEEK, 0, &m);
                    if (rc || !m || strcmp(m->lpszSubject, "Hello") != 0) ++failures;
                    else ++reads;
                    mapi.FreeBuffer(m);
                    strcpy(seed, id);
                }
            }
        }
        for (LHANDLE h : sessions)
            if (mapi.Logoff(h, 0, 0, 0)) ++failures;
    };
    std::thread a(worker, 0), b(worker, 1);
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(reads.load(), 2 * 6 * 3 * 20);
    EXPECT_TRUE(Walk(MAPI_UNREAD_ONLY).empty());
}

TEST_F(Mapi32Test, SessionCountIsBounded) {
    std::vector<LHANDLE> handles;
    ULONG rc = 0;
    for (int i = 0; i < 100 && rc == 0; ++i) {
        LHANDLE h = 0;
        rc = mapi.Logon(0, const_cast<char*>(profile.name.c_str()), const_cast<char*>("secret"), 0, 0, &h);
        if (rc == 0) handles.push_back(h);
    }
    EXPECT_EQ(rc, ULONG(MAPI_E_TOO_MANY_SESSIONS));
    for (LHANDLE h : handles) mapi.Logoff(h, 0, 0, 0);
    LHANDLE h = 0;
    EXPECT_EQ(mapi.Logon(0, const_cast<char*>(profile.name.c_str()), const_cast<char*>("secret"), 0, 0, &h), 0u);
    mapi.Logoff(h, 0, 0, 0);
}

TEST_F(Mapi32Test, MessageTooLargeToReadWholeIsNeverHandedOverCut) {
    // One attachment of about 33 MB encoded: beyond the 32 MB a read takes.
    // Its head is read; in place of text and attachments comes a note why.
    auto mail = [](size_t encodedBytes) {
        std::string m = "From: Big Sender <big@example.org>\r\nTo: assistant@example.com\r\nSubject: Holiday film\r\n"
                        "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
                        "--XX\r\nContent-Type: text/plain\r\n\r\nThe film.\r\n"
                        "--XX\r\nContent-Type: video/mp4\r\nContent-Disposition: attachment; filename=\"film.mp4\"\r\n"
                        "Content-Transfer-Encoding: base64\r\n\r\n";
        const std::string line = std::string(76, 'A') + "\r\n";
        m.reserve(m.size() + encodedBytes + 64);
        for (size_t n = 0; n < encodedBytes; n += line.size()) m += line;
        return m + "--XX--\r\n";
    };
    const std::string big = mail((33u << 20));
    Deliver("new", "1700000030.M1P1.test", big);
    Deliver("new", "1700000031.M1P1.test", mail(1u << 20));
    const std::string note =
        "This message is larger than 32 MB, too large to be read whole: its text and attachments could not be read, "
        "so none of them is given here. It stays unchanged in the mail box.\r\n";
    for (ULONG flags : {ULONG(MAPI_PEEK), ULONG(MAPI_PEEK | MAPI_SUPPRESS_ATTACH)}) {
        lpMapiMessage m = nullptr;
        ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>("1700000030.M1P1.test"), flags, 0, &m), 0u);
        EXPECT_STREQ(m->lpszSubject, "Holiday film");
        EXPECT_STREQ(m->lpOriginator->lpszAddress, "big@example.org");
        EXPECT_STREQ(m->lpszNoteText, note.c_str());
        EXPECT_EQ(m->nFileCount, 0u);
        mapi.FreeBuffer(m);
    }
    lpMapiMessage m = nullptr;
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>("1700000030.M1P1.test"), MAPI_PEEK | MAPI_ENVELOPE_ONLY, 0, &m), 0u);
    EXPECT_STREQ(m->lpszSubject, "Holiday film");
    mapi.FreeBuffer(m);
    // A smaller one is handed over whole.
    ASSERT_EQ(mapi.ReadMail(session, 0, const_cast<char*>("1700000031.M1P1.test"), MAPI_PEEK, 0, &m), 0u);
    ASSERT_EQ(m->nFileCount, 1u);
    EXPECT_STREQ(m->lpszNoteText, "The film.");
    WIN32_FILE_ATTRIBUTE_DATA info{};
    ASSERT_TRUE(GetFileAttributesExA(m->lpFiles[0].lpszPathName, GetFileExInfoStandard, &info));
    EXPECT_EQ(info.nFileSizeLow, (((1u << 20) + 77) / 78) * 57);
    DeleteFileA(m->lpFiles[0].lpszPathName);
    mapi.FreeBuffer(m);
    // The store's log names the message; the message itself is as it came.
    const std::string log = testsupport::ReadFile(Join(store, "VxMail.log"));
    EXPECT_NE(log.find("Message 1700000030.M1P1.test: larger than 32 MB"), std::string::npos) << log;
    EXPECT_EQ(testsupport::ReadFile(Join(Join(store, "new"), "1700000030.M1P1.test")).size(), big.size());
}
