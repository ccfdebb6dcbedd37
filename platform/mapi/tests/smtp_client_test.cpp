// The SMTP dialogue against scripted server replies.
#include <gtest/gtest.h>

#include <deque>

#include "core/smtp_client.h"

using namespace vxmail;

namespace {
// Answers each command with the next scripted reply lines; records what was sent.
class ScriptedServer : public SmtpTransport {
public:
    explicit ScriptedServer(std::deque<std::string> replies) : m_replies(std::move(replies)) {}
    bool Send(const std::string& bytes) override {
        sent += bytes;
        return !failSends;
    }
    bool ReadLine(std::string& line) override {
        if (m_replies.empty()) return false;
        line = m_replies.front();
        m_replies.pop_front();
        return true;
    }
    std::string sent;
    bool failSends = false;

private:
    std::deque<std::string> m_replies;
};
} // namespace

TEST(SmtpClient, FullDialogueWithDotStuffing) {
    ScriptedServer s({"220 ready", "250-hello", "250-SIZE 1000", "250 OK", "250 sender ok", "250 rcpt 1",
                      "251 rcpt 2", "354 go", "250 queued", "221 bye"});
    SmtpOutcome r = SmtpDeliver(s, "client.example", "a@x.org", {"b@y.org", "c@z.org"},
                                "Subject: t\r\n\r\n.leading dot\nbare LF\r\nend");
    EXPECT_TRUE(r.delivered);
    EXPECT_EQ(s.sent,
              "EHLO client.example\r\nMAIL FROM:<a@x.org>\r\nRCPT TO:<b@y.org>\r\nRCPT TO:<c@z.org>\r\nDATA\r\n"
              "Subject: t\r\n\r\n..leading dot\r\nbare LF\r\nend\r\n.\r\nQUIT\r\n");
}

TEST(SmtpClient, FallsBackToHelo) {
    ScriptedServer s({"220 old", "502 no EHLO", "250 hi", "250 ok", "250 ok", "354 go", "250 ok", "221 bye"});
    EXPECT_TRUE(SmtpDeliver(s, "h", "a@x.org", {"b@y.org"}, "x").delivered);
    EXPECT_NE(s.sent.find("HELO h\r\n"), std::string::npos);
}

TEST(SmtpClient, FailuresNameTheirStage) {
    struct Case { std::deque<std::string> replies; const char* stage; int code; } cases[] = {
        {{"554 go away"}, "greeting", 554},
        {{}, "greeting", 0},                                             // silence / timeout
        {{"220 ok", "250 ok", "451 try later"}, "mail", 451},
        {{"220 ok", "250 ok", "250 ok", "550 no such user", "250 reset"}, "rcpt", 550},
        {{"220 ok", "250 ok", "250 ok", "250 ok", "554 no data"}, "data", 554},
        {{"220 ok", "250 ok", "250 ok", "250 ok", "354 go", "552 too big"}, "message", 552},
        {{"garbage"}, "greeting", 0},
    };
    for (Case& c : cases) {
        ScriptedServer s(c.replies);
        SmtpOutcome r = SmtpDeliver(s, "h", "a@x.org", {"b@y.org"}, "body");
        EXPECT_FALSE(r.delivered);
        EXPECT_EQ(r.stage, c.stage);
        EXPECT_EQ(r.code, c.code);
    }
}

TEST(SmtpClient, RefusesInjectedAddressesAndEndlessReplies) {
    ScriptedServer s({"220 ok"});
    EXPECT_FALSE(SmtpDeliver(s, "h", "a@x.org\r\nRCPT TO:<evil@x>", {"b@y.org"}, "x").delivered);
    EXPECT_TRUE(s.sent.empty());
    std::deque<std::string> endless(500, "220-more");
    ScriptedServer e(endless);
    EXPECT_FALSE(SmtpDeliver(e, "h", "a@x.org", {"b@y.org"}, "x").delivered);
    EXPECT_EQ(DotStuff(".\r\n..\n"), "..\r\n...\r\n");
}
