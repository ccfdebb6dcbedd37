// Writing messages: what we send must read back through our own parser, and
// (under Wine, in the interoperability test) through Python's email package.
#include <gtest/gtest.h>

#include "core/mime_composer.h"
#include "core/mime_parser.h"

using namespace vxmail;

namespace {
OutgoingMessage Sample() {
    OutgoingMessage m;
    m.from = {"Vindalex Assistant", "assistant@example.com"};
    m.to = {{"", "john@example.org"}, {"Smith, Anna", "anna@example.net"}};
    m.cc = {{"J\xC3\xBCrgen", "j@example.de"}};
    m.bcc = {{"", "hidden@example.org"}};
    m.subject = "Re: caf\xC3\xA9 prices \xE2\x82\xAC";
    m.text = "Line one\nLine two\r\n.starts with a dot\n";
    m.date = {2001, 5, 8, 14, 7, 0};
    m.dateOffset = 7200;
    m.messageId = "123.P1Q0.host@example.com";
    return m;
}
} // namespace

TEST(MimeComposer, PlainMessageReadsBack) {
    OutgoingMessage m = Sample();
    std::string raw = ComposeMessage(m);
    EXPECT_NE(raw.find("Date: Tue, 8 May 2001 14:07:00 +0200\r\n"), std::string::npos);
    EXPECT_NE(raw.find("Message-ID: <123.P1Q0.host@example.com>\r\n"), std::string::npos);
    EXPECT_NE(raw.find("MIME-Version: 1.0\r\n"), std::string::npos);
    EXPECT_EQ(raw.find("hidden@example.org"), std::string::npos);   // blind copies stay blind
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n') {
            ASSERT_TRUE(i > 0 && raw[i - 1] == '\r') << "bare LF at " << i;
        }
        ASSERT_LT((unsigned char)raw[i], 0x80) << "8-bit byte at " << i;
    }
    MimeMessage back = ParseMime(raw);
    EXPECT_EQ(back.subject, m.subject);
    EXPECT_EQ(back.originator.name, "Vindalex Assistant");
    EXPECT_EQ(back.originator.address, "assistant@example.com");
    ASSERT_EQ(back.to.size(), 2u);
    EXPECT_EQ(back.to[1].name, "Smith, Anna");
    ASSERT_EQ(back.cc.size(), 1u);
    EXPECT_EQ(back.cc[0].name, "J\xC3\xBCrgen");
    EXPECT_EQ(back.text, "Line one\nLine two\n.starts with a dot\n");
    EXPECT_EQ(back.date, 989323620);

    m.writeBcc = true;
    EXPECT_NE(ComposeMessage(m).find("Bcc: <hidden@example.org>\r\n"), std::string::npos);
}

TEST(MimeComposer, AutomaticAnswersAreMarkedAndReadBackAsAutomatic) {
    OutgoingMessage m = Sample();
    EXPECT_EQ(ComposeMessage(m).find("Auto-Submitted"), std::string::npos);
    EXPECT_FALSE(ParseMime(ComposeMessage(m)).automatic);
    m.automatic = true;
    const std::string raw = ComposeMessage(m);
    EXPECT_NE(raw.find("\r\nAuto-Submitted: auto-replied\r\n"), std::string::npos);
    EXPECT_TRUE(ParseMime(raw).automatic);
}

TEST(MimeComposer, AttachmentsAreBase64PartsWithTheirNames) {
    OutgoingMessage m = Sample();
    std::string binary;
    for (int i = 0; i < 1000; ++i) binary += char(i * 7);
    m.attachments = {{"picture.jpg", binary}, {"r\xC3\xA9sum\xC3\xA9.txt", "text\r\n--=_VxMail_ inside\r\n"}, {"empty", ""}};
    std::string raw = ComposeMessage(m);
    EXPECT_NE(raw.find("Content-Type: image/jpeg; name=\"picture.jpg\""), std::string::npos);
    EXPECT_NE(raw.find("filename*=utf-8''r%C3%A9sum%C3%A9.txt"), std::string::npos);
    MimeMessage back = ParseMime(raw);
    EXPECT_EQ(back.text, "Line one\nLine two\n.starts with a dot\n");
    ASSERT_EQ(back.attachments.size(), 3u);
    EXPECT_EQ(back.attachments[0].fileName, "picture.jpg");
    EXPECT_EQ(back.attachments[0].data, binary);
    EXPECT_EQ(back.attachments[1].fileName, "r\xC3\xA9sum\xC3\xA9.txt");
    EXPECT_EQ(back.attachments[1].data, "text\r\n--=_VxMail_ inside\r\n");
    EXPECT_EQ(back.attachments[2].data, "");
}

TEST(MimeComposer, LongAsciiLinesAreEncoded) {
    OutgoingMessage m = Sample();
    m.text = std::string(2000, 'a');
    std::string raw = ComposeMessage(m);
    EXPECT_NE(raw.find("quoted-printable"), std::string::npos);
    EXPECT_EQ(ParseMime(raw).text, m.text);
    EXPECT_EQ(MediaTypeFor("x.PNG"), "image/png");
    EXPECT_EQ(MediaTypeFor("noext"), "application/octet-stream");
}
