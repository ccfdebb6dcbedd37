// Outgoing mail: sending (SMTP relay or outbox), saving into the store, sending documents.
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "../core/answer_journal.h"
#include "../core/maildir.h"
#include "../core/mail_address.h"
#include "../core/mail_os.h"
#include "../core/mime_composer.h"
#include "../core/mime_parser.h"
#include "../core/smtp_client.h"
#include "ansi_text.h"
#include "mail_operations.h"
#include "winsock_transport.h"

namespace vxmail {

namespace {

constexpr ULONG kMaxRecipients = 1000;
constexpr ULONG kMaxFiles = 256;
constexpr unsigned kConnectTimeoutMs = 10000;

std::string HeloName() {
    std::string host;
    for (char c : os::HostName()) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (ok) host += c;
    }
    return host.empty() ? std::string("localhost") : host;
}

std::string BaseName(const std::string& path) {
    size_t sep = path.find_last_of("\\/:");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

ULONG AddAttachment(const char* pathName, const char* fileName, size_t& total, std::vector<OutgoingAttachment>& out) {
    if (!pathName || !*pathName) return MAPI_E_ATTACHMENT_NOT_FOUND;
    DWORD attributes = GetFileAttributesA(pathName);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return MAPI_E_ATTACHMENT_NOT_FOUND;
    OutgoingAttachment a;
    if (!os::ReadFile(pathName, a.data, kMaxOutgoingBytes + 1)) return MAPI_E_ATTACHMENT_OPEN_FAILURE;
    total += a.data.size();
    if (total > kMaxOutgoingBytes) return MAPI_E_INSUFFICIENT_MEMORY;
    std::string name = fileName && *fileName ? BaseName(fileName) : BaseName(pathName);
    a.fileName = SafeFileName(AnsiToUtf8(name.c_str()));
    if (a.fileName.empty()) a.fileName = "attachment";
    out.push_back(std::move(a));
    return SUCCESS_SUCCESS;
}

// The caller's message (ANSI) as our outgoing message (UTF-8), with the plain
// addresses of every recipient.
ULONG Build(const Session& s, const MapiMessage* msg, bool requireRecipients, OutgoingMessage& out,
            std::vector<std::string>& envelope) {
    if (!msg) return MAPI_E_FAILURE;
    if (msg->nRecipCount > kMaxRecipients) return MAPI_E_TOO_MANY_RECIPIENTS;
    if (msg->nFileCount > kMaxFiles) return MAPI_E_TOO_MANY_FILES;
    if ((msg->nRecipCount && !msg->lpRecips) || (msg->nFileCount && !msg->lpFiles)) return MAPI_E_FAILURE;

    // The sender's address is the profile's; the caller's originator gives the name
    // (the assistant's name, which callers also put into the address field).
    std::string origName, origAddress;
    if (const MapiRecipDesc* o = msg->lpOriginator) {
        origName = AnsiToUtf8(o->lpszName);
        origAddress = AnsiToUtf8(o->lpszAddress);
    }
    std::string from = PlainAddress(s.profile.from);
    if (from.empty()) from = PlainAddress(origAddress);
    if (from.empty()) from = "postmaster@" + HeloName();
    out.from.address = from;
    out.from.name = origName;
    if (out.from.name.empty() && PlainAddress(origAddress).empty()) out.from.name = origAddress;
    if (!PlainAddress(out.from.name).empty()) out.from.name.clear();   // an address is no display name

    for (ULONG i = 0; i < msg->nRecipCount; ++i) {
        const MapiRecipDesc& r = msg->lpRecips[i];
        std::string name = AnsiToUtf8(r.lpszName);
        std::string address = AnsiToUtf8(r.lpszAddress);
        std::string plain = PlainAddress(address.empty() ? name : address);
        if (plain.empty()) plain = PlainAddress(name);
        if (plain.empty()) return MAPI_E_UNKNOWN_RECIPIENT;
        Address a{PlainAddress(name).empty() ? name : std::string(), plain};
        switch (r.ulRecipClass) {
        case MAPI_TO: out.to.push_back(a); break;
        case MAPI_CC: out.cc.push_back(a); break;
        case MAPI_BCC: out.bcc.push_back(a); break;
        default: return MAPI_E_BAD_RECIPTYPE;
        }
        envelope.push_back(plain);
    }
    if (requireRecipients && envelope.empty()) return MAPI_E_INVALID_RECIPS;

    out.subject = AnsiToUtf8(msg->lpszSubject);
    out.text = AnsiToUtf8(msg->lpszNoteText);
    out.receiptRequested = (msg->flFlags & MAPI_RECEIPT_REQUESTED) != 0;
    // The type that the reader gives automatic mail marks it when sent too.
    out.automatic = msg->lpszMessageType && _stricmp(msg->lpszMessageType, kAutomaticMessageType) == 0;
    size_t total = 0;
    for (ULONG i = 0; i < msg->nFileCount; ++i) {
        ULONG rc = AddAttachment(msg->lpFiles[i].lpszPathName, msg->lpFiles[i].lpszFileName, total, out.attachments);
        if (rc != SUCCESS_SUCCESS) return rc;
    }
    int64_t now = os::NowSeconds();
    out.date = os::LocalTime(now, &out.dateOffset);
    size_t at = from.rfind('@');
    out.messageId = Maildir("").NewUniqueName() + from.substr(at);
    return SUCCESS_SUCCESS;
}

// The request the caller is answering, when it names one in the environment
// variable VXMAIL_ANSWERING ("<request>/<round>": the round tells one
// carrying-out of the request from the next); empty otherwise.
std::string AnsweringTag() {
    char tag[256];
    DWORD n = GetEnvironmentVariableA("VXMAIL_ANSWERING", tag, sizeof tag);
    return n == 0 || n >= sizeof tag ? std::string() : UsableTag(std::string(tag, n));
}

// The key of an answer under the request it answers: the same answer sent
// again under the same tag counts on, so that a request carried out again
// after a kill matches its answers one by one.
std::string AnswerKey(const std::string& tag, const OutgoingMessage& m) {
    static std::mutex lock;
    static std::map<std::string, unsigned> sent;
    static std::string round;
    std::lock_guard<std::mutex> g(lock);
    // A new round counts from the start.
    if (tag != round || sent.size() > 10000) {
        sent.clear();
        round = tag;
    }
    const size_t slash = tag.rfind('/');
    const std::string base = (slash == std::string::npos ? tag : tag.substr(0, slash)) + " " + AnswerHash(m);
    return base + "#" + std::to_string(sent[base]++);
}

// Into the outbox first, so that nothing is lost whatever happens next; then to
// the relay, and out of the outbox once the relay has taken it. An answer to a
// named request is noted before it is delivered and not sent a second time.
ULONG Deliver(const Session& s, OutgoingMessage& m, const std::vector<std::string>& envelope) {
    Maildir outbox(s.profile.outbox);
    if (!outbox.Exists() && !outbox.Create()) return MAPI_E_FAILURE;
    const std::string tag = AnsweringTag();
    const std::string key = tag.empty() ? std::string() : AnswerKey(tag, m);
    AnswerJournal journal(os::Join(s.profile.outbox, kAnswerJournal));
    if (!key.empty() && journal.Has(key)) return SUCCESS_SUCCESS;   // sent by an earlier attempt
    m.writeBcc = true;
    std::string stored = ComposeMessage(m);
    std::string id;
    auto note = [&](const std::string& unique) { return key.empty() || journal.Note(key, unique); };
    if (!outbox.Deliver(stored, false, "", id, note)) return MAPI_E_DISK_FULL;
    if (s.profile.smtpHost.empty() || envelope.empty()) return SUCCESS_SUCCESS;
    m.writeBcc = false;
    std::string wire = ComposeMessage(m);
    WinsockTransport transport;
    if (!transport.Connect(s.profile.smtpHost, s.profile.smtpPort, kConnectTimeoutMs)) return MAPI_E_FAILURE;
    SmtpOutcome outcome = SmtpDeliver(transport, HeloName(), m.from.address, envelope, wire);
    if (!outcome.delivered) return MAPI_E_FAILURE;
    StoredMessage sent;
    if (outbox.Locate(id, sent)) outbox.Remove(sent);
    return SUCCESS_SUCCESS;
}

std::vector<std::string> Split(const char* text, char delimiter) {
    std::vector<std::string> out;
    if (!text) return out;
    std::string current;
    for (const char* p = text; *p; ++p) {
        if (*p == delimiter) {
            out.push_back(current);
            current.clear();
        } else {
            current += *p;
        }
    }
    out.push_back(current);
    return out;
}

} // namespace

ULONG SendMessage(const Session& s, const MapiMessage* msg, FLAGS flags) {
    MapiMessage addressed{};
    MapiRecipDesc self{};
    std::string selfAddress = PlainAddress(s.profile.from);
    if (msg && (flags & MAPI_DIALOG) && msg->nRecipCount == 0 && !selfAddress.empty()) {
        addressed = *msg;
        self.ulRecipClass = MAPI_TO;
        self.lpszAddress = const_cast<char*>(selfAddress.c_str());
        addressed.nRecipCount = 1;
        addressed.lpRecips = &self;
        msg = &addressed;
    }
    OutgoingMessage m;
    std::vector<std::string> envelope;
    ULONG rc = Build(s, msg, true, m, envelope);
    if (rc != SUCCESS_SUCCESS) return rc;
    return Deliver(s, m, envelope);
}

ULONG SaveMessage(const Session& s, const MapiMessage* msg, char* messageId) {
    if (!messageId) return MAPI_E_FAILURE;
    OutgoingMessage m;
    std::vector<std::string> envelope;
    ULONG rc = Build(s, msg, false, m, envelope);
    if (rc != SUCCESS_SUCCESS) return rc;
    CivilTime given;
    if (msg->lpszDateReceived && ParseMapiDate(msg->lpszDateReceived, given)) {
        int64_t utc = os::FromLocalTime(given);
        m.date = os::LocalTime(utc, &m.dateOffset);
    }
    m.writeBcc = true;
    std::string bytes = ComposeMessage(m);
    Maildir store(s.profile.maildir);
    if (*messageId) {
        if (strlen(messageId) > 511) return MAPI_E_INVALID_MESSAGE;
        StoredMessage existing;
        if (!store.Locate(messageId, existing)) return MAPI_E_INVALID_MESSAGE;
        return store.Replace(existing, bytes) ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
    }
    std::string id;
    bool unread = (msg->flFlags & MAPI_UNREAD) != 0;
    if (!store.Deliver(bytes, true, unread ? "" : "S", id)) return MAPI_E_DISK_FULL;
    std::memcpy(messageId, id.c_str(), id.size() + 1);
    return SUCCESS_SUCCESS;
}

ULONG SendDocuments(const Session& s, const char* delimiters, const char* paths, const char* names) {
    char delimiter = delimiters && *delimiters ? *delimiters : ';';
    std::vector<std::string> pathList = Split(paths, delimiter);
    std::vector<std::string> nameList = Split(names, delimiter);
    MapiMessage msg{};
    std::vector<MapiFileDesc> files;
    for (size_t i = 0; i < pathList.size(); ++i) {
        if (pathList[i].empty()) continue;
        MapiFileDesc f{};
        f.nPosition = ULONG(-1);
        f.lpszPathName = const_cast<char*>(pathList[i].c_str());
        if (i < nameList.size() && !nameList[i].empty()) f.lpszFileName = const_cast<char*>(nameList[i].c_str());
        files.push_back(f);
    }
    if (files.empty()) return MAPI_E_ATTACHMENT_NOT_FOUND;
    msg.nFileCount = ULONG(files.size());
    msg.lpFiles = files.data();
    // With no one to address it to, the note waits in the outbox for the user.
    OutgoingMessage m;
    std::vector<std::string> envelope;
    ULONG rc = Build(s, &msg, false, m, envelope);
    if (rc != SUCCESS_SUCCESS) return rc;
    return Deliver(s, m, envelope);
}

} // namespace vxmail
