// Reading real mail: the fixtures are written by make_fixtures.py with Python's
// email package (plus two hand-damaged files).
#include <gtest/gtest.h>

#include "core/mime_parser.h"
#include "testsupport/testsupport.h"

using namespace vxmail;

namespace {
std::string Fixture(const std::string& name) {
    std::string data = testsupport::ReadFile(testsupport::SourcePath("platform/mapi/tests/fixtures/" + name));
    EXPECT_FALSE(data.empty()) << name;
    return data;
}
} // namespace

TEST(MimeParser, EnvelopeAndTextOfEachFixture) {
    struct Case {
        const char* file;
        const char* subject;
        const char* fromName;
        const char* fromAddress;
        std::string text;        // expected note text (exact)
        size_t attachments;
    } cases[] = {
        {"plain_utf8.eml", "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln", "J\xC3\xBCrgen M\xC3\xBCller", "juergen@example.org",
         "Hallo Vindalex,\nbitte sende mir die Liste.\nDanke \xE2\x80\x93 J\xC3\xBCrgen\n", 0},
        {"alternative.eml", "Two forms", "", "sender@example.org", "The plain form.\n", 0},
        {"html_only.eml", "Your order", "Web Shop", "shop@example.org",
         "Price: 5\xE2\x82\xAC & more\n\nLine one\nLine two\n\n* first\n* second", 0},
        {"mixed_attach.eml", "Files", "", "sender@example.org", "See the files.\n", 2},
        {"nested.eml", "Nested", "", "nest@example.org", "Nested plain text.\n", 1},
        {"qp_latin1.eml", "Prix: 10 \xE2\x82\xAC net", "", "latin@example.org",
         "Voil\xC3\xA0 le caf\xC3\xA9 \xC3\xA0 3,50 F.\n" + std::string(100, 'x') + "\n", 0},
        {"lf_no_from_no_date.eml", "No sender, no date", "", "", "Body with LF only.\nSecond line.\n", 0},
        {"forwarded.eml", "Fwd: Original note", "", "sender@example.org", "Forwarding this.\n", 1},
        {"cp1252.eml", "\xE2\x80\x9CQuoted\xE2\x80\x9D text", "", "win@example.org",
         "\xE2\x80\x9CSmart\xE2\x80\x9D quotes \xE2\x80\x93 and \xE2\x82\xAC.\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        MimeMessage m = ParseMime(Fixture(c.file));
        EXPECT_EQ(m.subject, c.subject);
        EXPECT_EQ(m.originator.name, c.fromName);
        EXPECT_EQ(m.originator.address, c.fromAddress);
        EXPECT_EQ(m.hasOriginator, *c.fromAddress != '\0');
        EXPECT_EQ(m.text, c.text);
        EXPECT_EQ(m.attachments.size(), c.attachments);
    }
}

TEST(MimeParser, RecipientsAndDate) {
    MimeMessage m = ParseMime(Fixture("plain_utf8.eml"));
    ASSERT_EQ(m.to.size(), 2u);
    EXPECT_EQ(m.to[0].name, "Vindalex");
    EXPECT_EQ(m.to[1].address, "second@example.com");
    ASSERT_EQ(m.cc.size(), 1u);
    EXPECT_EQ(m.cc[0].name, "Smith, Anna");
    EXPECT_TRUE(m.hasDate);
    EXPECT_EQ(m.date, 989323620);   // 2001-05-08 12:07 UTC
    EXPECT_FALSE(ParseMime(Fixture("lf_no_from_no_date.eml")).hasDate);
}

TEST(MimeParser, AttachmentsAreDecodedWithTheirNames) {
    MimeMessage m = ParseMime(Fixture("mixed_attach.eml"));
    ASSERT_EQ(m.attachments.size(), 2u);
    EXPECT_EQ(m.attachments[0].fileName, "data.bin");
    ASSERT_EQ(m.attachments[0].data.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ((unsigned char)m.attachments[0].data[size_t(i)], i);
    EXPECT_EQ(m.attachments[1].fileName, "r\xC3\xA9sum\xC3\xA9.txt");   // RFC 2231 name
    EXPECT_EQ(m.attachments[1].data, "R\xC3\xA9sum\xC3\xA9 text\n");

    MimeMessage nested = ParseMime(Fixture("nested.eml"));
    ASSERT_EQ(nested.attachments.size(), 1u);
    EXPECT_EQ(nested.attachments[0].fileName, "report.pdf");
    EXPECT_EQ(nested.attachments[0].data, "%PDF-1.4 fake");

    MimeMessage fwd = ParseMime(Fixture("forwarded.eml"));
    ASSERT_EQ(fwd.attachments.size(), 1u);
    EXPECT_EQ(fwd.attachments[0].fileName, "Original note.eml");
    EXPECT_NE(fwd.attachments[0].data.find("Original body."), std::string::npos);
}

TEST(MimeParser, OptionsLeaveOutBodyOrAttachments) {
    std::string raw = Fixture("mixed_attach.eml");
    MimeReadOptions envelope{false, false};
    MimeMessage e = ParseMime(raw, envelope);
    EXPECT_EQ(e.subject, "Files");
    EXPECT_TRUE(e.text.empty());
    EXPECT_TRUE(e.attachments.empty());
    MimeReadOptions noAttach{true, false};
    MimeMessage t = ParseMime(raw, noAttach);
    EXPECT_EQ(t.text, "See the files.\n");
    EXPECT_TRUE(t.attachments.empty());
}

TEST(MimeParser, DamagedMessagesAreReadAsFarAsTheyGo) {
    MimeMessage h = ParseMime(Fixture("malformed_header.eml"));
    EXPECT_EQ(h.subject, "Broken");
    EXPECT_EQ(h.originator.address, "broken@example.org");
    EXPECT_NE(h.text.find("This line is no header"), std::string::npos);

    MimeMessage m = ParseMime(Fixture("malformed_multipart.eml"));
    EXPECT_EQ(m.text, "Text survives.");
    ASSERT_EQ(m.attachments.size(), 1u);
    EXPECT_EQ(m.attachments[0].fileName, "cut.bin");
    EXPECT_EQ(m.attachments[0].data, std::string("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09", 10));
}

TEST(MimeParser, HostileStructuresStayBounded) {
    // Deep nesting, a missing boundary parameter, endless headers.
    std::string deep = "Content-Type: multipart/mixed; boundary=b0\r\n\r\n";
    for (int i = 1; i < 200; ++i)
        deep += "--b" + std::to_string(i - 1) + "\r\nContent-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\r\n\r\n";
    deep += "--b199\r\n\r\ninnermost\r\n";
    MimeMessage d = ParseMime(deep);
    EXPECT_TRUE(d.attachments.size() <= 1000);

    MimeMessage nb = ParseMime("Content-Type: multipart/mixed\r\n\r\nno boundary given\r\n");
    EXPECT_EQ(nb.text, "no boundary given\n");

    std::string many;
    for (int i = 0; i < 5000; ++i) many += "X-H" + std::to_string(i) + ": v\r\n";
    many += "Subject: late\r\n\r\nbody";
    MimeMessage mh = ParseMime(many);
    EXPECT_EQ(mh.text, "body");

    // A parameter section number too long to be one is ignored, not read
    // into an overflowing counter (found by the fuzzer).
    MimeMessage sec = ParseMime("Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
                                "Content-Disposition: attachment; filename*96311711411930=x.bin;"
                                " filename=kept.bin\r\n\r\ndata\r\n--b--\r\n");
    ASSERT_EQ(sec.attachments.size(), 1u);
    EXPECT_EQ(sec.attachments[0].fileName, "kept.bin");

    MimeMessage empty = ParseMime("");
    EXPECT_TRUE(empty.subject.empty());
    EXPECT_FALSE(empty.hasOriginator);
}

TEST(MimeParser, AttachmentsUpToTheBoundAreKeptTheRestCounted) {
    // A note and n attachments in one multipart/mixed.
    auto mail = [](size_t n) {
        std::string m = "Subject: many\r\nContent-Type: multipart/mixed; boundary=zz\r\n\r\n"
                        "--zz\r\nContent-Type: text/plain\r\n\r\nthe note\r\n";
        for (size_t i = 0; i < n; ++i)
            m += "--zz\r\nContent-Type: text/plain; name=\"f" + std::to_string(i) + ".txt\"\r\n\r\n" +
                 std::to_string(i) + "\r\n";
        return m + "--zz--\r\n";
    };
    struct Case { size_t given, kept, dropped; } cases[] = {
        {kMaxMimeAttachments - 1, kMaxMimeAttachments - 1, 0},
        {kMaxMimeAttachments, kMaxMimeAttachments, 0},
        {kMaxMimeAttachments + 1, kMaxMimeAttachments, 1},
        {kMaxMimeAttachments * 5, kMaxMimeAttachments, kMaxMimeAttachments * 4},
    };
    for (const Case& c : cases) {
        MimeMessage m = ParseMime(mail(c.given));
        EXPECT_EQ(m.text, "the note") << c.given;
        ASSERT_EQ(m.attachments.size(), c.kept) << c.given;
        EXPECT_EQ(m.droppedParts, c.dropped) << c.given;
        EXPECT_EQ(m.attachments.back().fileName, "f" + std::to_string(c.kept - 1) + ".txt");
        EXPECT_EQ(m.attachments.back().data, std::to_string(c.kept - 1));
    }
    // Without attachments asked for, nothing counts as dropped.
    MimeReadOptions textOnly;
    textOnly.attachments = false;
    EXPECT_EQ(ParseMime(mail(kMaxMimeAttachments + 5), textOnly).droppedParts, 0u);
}

TEST(MimeParser, AutomaticMailByItsHeaderFields) {
    struct Case { const char* fields; bool automatic; } cases[] = {
        {"Auto-Submitted: auto-replied\r\n", true},
        {"AUTO-SUBMITTED: Auto-Generated; x=y\r\n", true},
        {"Auto-Submitted: no\r\n", false},
        {"Auto-Submitted: No ; comment\r\n", false},
        {"Precedence: bulk\r\n", true},
        {"Precedence: JUNK\r\n", true},
        {"Precedence: list\r\n", true},
        {"Precedence: first-class\r\n", false},
        {"X-Autoreply: yes\r\n", true},
        {"X-Autorespond: Out of office\r\n", true},
        {"X-Auto-Response-Suppress: All\r\n", false},
        {"", false},
    };
    for (const Case& c : cases) {
        std::string mail = std::string("From: a@x.org\r\nSubject: s\r\n") + c.fields + "\r\nbody\r\n";
        EXPECT_EQ(ParseMime(mail).automatic, c.automatic) << c.fields;
    }
    // Only the message's own head counts, not an attached message's.
    EXPECT_FALSE(ParseMime("From: a@x.org\r\nContent-Type: message/rfc822\r\n\r\nAuto-Submitted: auto-replied\r\n\r\nx")
                     .automatic);
}

TEST(MimeParser, OriginatorIsTheFromAddressOnly) {
    // Whoever relays or forges a mail sets Sender, Reply-To and Return-Path:
    // none of them makes the mail somebody's.
    struct Case {
        const char* head;
        const char* name;
        const char* address;   // empty: no sender
    } cases[] = {
        {"From: Boss <boss@x.org>\r\nSender: s@x.org\r\nReply-To: rt@x.org\r\n", "Boss", "boss@x.org"},
        {"Sender: s@x.org\r\n", "", ""},
        {"Return-Path: <r@x.org>\r\n", "", ""},
        {"From: \r\nReply-To: rt@x.org\r\n", "", ""},
        {"From: <>\r\nReply-To: rt@x.org\r\nReturn-Path: <r@x.org>\r\n", "", ""},
        {"From: Nobody <>\r\nSender: s@x.org\r\n", "Nobody", ""},
        {"From: undisclosed\r\nReply-To: rt@x.org\r\n", "", ""},
        {"From: <not an address>\r\n", "", ""},
        {"From: a@x.org, b@y.org\r\n", "", "a@x.org"},
    };
    for (const Case& c : cases) {
        MimeMessage m = ParseMime(std::string(c.head) + "Subject: s\r\n\r\nbody\r\n");
        EXPECT_EQ(m.originator.address, c.address) << c.head;
        EXPECT_EQ(m.hasOriginator, *c.address != '\0') << c.head;
        if (*c.address) EXPECT_EQ(m.originator.name, c.name) << c.head;
    }
}

TEST(SafeFileName, DefusesHostileNames) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"report.pdf", "report.pdf"},
        {"..\\..\\windows\\system.ini", "system.ini"},
        {"/etc/passwd", "passwd"},
        {"a<b>c:d\"e|f?g*h.txt", "a_b_c_d_e_f_g_h.txt"},
        {"con.txt", "_con.txt"},
        {"NUL", "_NUL"},
        {"trailing. . ", "trailing"},
        {"..", ""},
        {"tab\there", "tab_here"},
    };
    for (const Case& c : cases) EXPECT_EQ(SafeFileName(c.in), c.out) << c.in;
    std::string longName = std::string(300, 'a') + ".txt";
    std::string safe = SafeFileName(longName);
    EXPECT_LE(safe.size(), 120u);
    EXPECT_EQ(safe.substr(safe.size() - 4), ".txt");
}
