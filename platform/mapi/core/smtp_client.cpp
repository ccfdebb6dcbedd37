#include "smtp_client.h"

namespace vxmail {

namespace {

constexpr int kMaxReplyLines = 100;

// Reads one (possibly multi-line) reply; code 0 when none could be read.
int ReadReply(SmtpTransport& t, std::string& text) {
    text.clear();
    for (int n = 0; n < kMaxReplyLines; ++n) {
        std::string line;
        if (!t.ReadLine(line)) return 0;
        if (line.size() < 3 || line[0] < '1' || line[0] > '5' || line[1] < '0' || line[1] > '9' || line[2] < '0' ||
            line[2] > '9')
            return 0;   // not SMTP: give up rather than guess
        int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
        if (!text.empty()) text += "\n";
        text += line.size() > 4 ? line.substr(4) : std::string();
        if (line.size() == 3 || line[3] != '-') return code;
    }
    return 0;
}

bool Clean(const std::string& s) {
    for (char c : s)
        if (c == '\r' || c == '\n' || c == '<' || c == '>') return false;
    return true;
}

} // namespace

std::string DotStuff(const std::string& message) {
    std::string out;
    out.reserve(message.size() + message.size() / 50 + 8);
    bool lineStart = true;
    for (size_t i = 0; i < message.size(); ++i) {
        char c = message[i];
        if (lineStart && c == '.') out += '.';
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < message.size() && message[i + 1] == '\n') ++i;
            lineStart = true;
            continue;
        }
        if (c == '\n') {
            out += "\r\n";
            lineStart = true;
            continue;
        }
        out += c;
        lineStart = false;
    }
    if (!lineStart) out += "\r\n";
    return out;
}

SmtpOutcome SmtpDeliver(SmtpTransport& t, const std::string& heloName, const std::string& from,
                        const std::vector<std::string>& recipients, const std::string& message) {
    SmtpOutcome r;
    std::string text;
    auto fail = [&](const char* stage, int code) {
        r.stage = stage;
        r.code = code;
        r.reply = text;
        if (code != 0) t.Send("QUIT\r\n");   // polite end; its answer is not awaited
        return r;
    };
    auto command = [&](const std::string& line) -> int {
        if (!t.Send(line + "\r\n")) return 0;
        return ReadReply(t, text);
    };
    if (recipients.empty() || !Clean(from) || !Clean(heloName)) return fail("mail", 0);
    for (const std::string& rcpt : recipients)
        if (!Clean(rcpt) || rcpt.empty()) return fail("rcpt", 0);

    int code = ReadReply(t, text);
    if (code != 220) return fail("greeting", code);
    code = command("EHLO " + heloName);
    if (code != 250) {
        if (code == 0) return fail("ehlo", code);
        code = command("HELO " + heloName);
        if (code != 250) return fail("ehlo", code);
    }
    code = command("MAIL FROM:<" + from + ">");
    if (code != 250) return fail("mail", code);
    for (const std::string& rcpt : recipients) {
        code = command("RCPT TO:<" + rcpt + ">");
        // Every recipient must be taken, or none gets it: the caller keeps the message.
        if (code != 250 && code != 251) {
            std::string refusal = text;
            if (code != 0) command("RSET");
            text = refusal;
            return fail("rcpt", code);
        }
    }
    code = command("DATA");
    if (code != 354) return fail("data", code);
    if (!t.Send(DotStuff(message) + ".\r\n")) return fail("message", 0);
    code = ReadReply(t, text);
    if (code != 250) return fail("message", code);
    r.delivered = true;
    r.code = code;
    command("QUIT");
    return r;
}

} // namespace vxmail
