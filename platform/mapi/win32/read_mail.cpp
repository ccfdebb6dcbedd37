// Finding, reading and deleting stored messages.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../core/maildir.h"
#include "../core/mail_os.h"
#include "../core/mime_parser.h"
#include "../core/stored_reader.h"
#include "ansi_text.h"
#include "mail_operations.h"
#include "mapi_buffers.h"

namespace vxmail {

namespace {

constexpr size_t kMaxIdText = 511;   // identifiers of the long form fit 512 characters
// One line at the end of "VxMail.log" in the Maildir's folder, for what the
// reader could not hand over (the caller sees only what it got).
void LogLine(const std::string& maildir, const std::string& text) {
    HANDLE h = CreateFileA(os::Join(maildir, "VxMail.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const CivilTime t = os::LocalTime(os::NowSeconds());
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    const std::string line = stamp + text + "\r\n";
    DWORD written = 0;
    WriteFile(h, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(h);
}

bool IsOrdinaryType(const char* type) {
    if (!type || !*type) return true;
    return _stricmp(type, "IPM") == 0 || _strnicmp(type, "IPM.", 4) == 0;
}

// An ANSI file name that is also safe on disk ('?' stands for what the code page lacks).
std::string AnsiFileName(const std::string& utf8) {
    std::string name = Utf8ToAnsi(utf8);
    for (char& c : name)
        if (c == '?' || c == '*' || c == ':' || c == '\\' || c == '/' || (unsigned char)c < 32) c = '_';
    return name.empty() ? std::string("attachment") : name;
}

std::atomic<unsigned> g_tempCounter{0};


// Each attachment in a file of its own in the temporary folder, named after it.
bool WriteTempFile(const std::string& fileName, const std::string& data, std::string& path) {
    char dir[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof dir, dir);
    if (n == 0 || n > MAX_PATH) return false;
    std::string name = fileName;
    size_t room = MAX_PATH - 1 - n - 20;
    if (name.size() > room) {
        size_t dot = name.rfind('.');
        std::string ext = dot != std::string::npos && name.size() - dot <= 10 ? name.substr(dot) : std::string();
        name = name.substr(0, room > ext.size() ? room - ext.size() : 0) + ext;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        char prefix[40];
        std::snprintf(prefix, sizeof prefix, "vxm%lx-%x_", GetCurrentProcessId(), g_tempCounter++);
        path = std::string(dir) + prefix + name;
        if (os::CreateNewFile(path, data)) return true;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

struct TempFiles {
    std::vector<std::string> paths;
    bool keep = false;
    ~TempFiles() {
        if (!keep)
            for (const std::string& p : paths) DeleteFileA(p.c_str());
    }
};

struct RecipText {
    ULONG recipClass;
    std::string name, address;
};

RecipText Recip(ULONG cls, const Address& a) {
    RecipText r{cls, Utf8ToAnsi(a.name), Utf8ToAnsi(a.address)};
    if (r.name.empty()) r.name = r.address;
    return r;
}

} // namespace

ULONG FindNextMessage(const Session& s, const char* type, const char* seed, ULONG flags, char* messageId) {
    if (!messageId) return MAPI_E_FAILURE;
    if (!IsOrdinaryType(type)) return MAPI_E_NO_MESSAGES;   // the store holds ordinary messages only
    std::string seedId = seed ? seed : "";
    if (seedId.size() > kMaxIdText) return MAPI_E_INVALID_MESSAGE;
    const Maildir& store = *s.store;
    std::string id;
    switch (store.FindNext(seedId, (flags & MAPI_UNREAD_ONLY) != 0, id)) {
    case FindResult::Found:
        // Identifiers are at most 63 characters: they fit the short form's 64 too.
        std::memcpy(messageId, id.c_str(), id.size() + 1);
        return SUCCESS_SUCCESS;
    case FindResult::NoMore: return MAPI_E_NO_MESSAGES;
    case FindResult::BadSeed: return MAPI_E_INVALID_MESSAGE;
    default: return MAPI_E_FAILURE;
    }
}

ULONG ReadMessage(const Session& s, const char* messageId, ULONG flags, MapiMessage** out) {
    if (!out) return MAPI_E_FAILURE;
    *out = nullptr;
    if (!messageId || !*messageId || strlen(messageId) > kMaxIdText) return MAPI_E_INVALID_MESSAGE;
    const Maildir& store = *s.store;
    const bool envelopeOnly = (flags & MAPI_ENVELOPE_ONLY) != 0;
    // A message beyond the bound is never handed over cut: its head is read,
    // and in place of its text and attachments the caller gets a note of why
    // they are missing (so a forward of it says so, and sends nothing altered).
    StoredRead found;
    switch (ReadStoredMessage(store, messageId, envelopeOnly, !(flags & MAPI_SUPPRESS_ATTACH), kMaxMessageBytes,
                              found)) {
    case StoredReadResult::Read: break;
    case StoredReadResult::NotFound: return MAPI_E_INVALID_MESSAGE;
    default: return MAPI_E_FAILURE;
    }
    const StoredMessage& stored = found.stored;
    MimeMessage& mail = found.mail;
    if (found.tooLarge && !envelopeOnly) {
        char text[600];
        std::snprintf(text, sizeof text, "Message %s: larger than %zu MB, its text and attachments were not read.",
                      messageId, kMaxMessageBytes >> 20);
        LogLine(s.profile.maildir, text);
    }
    if (mail.droppedParts > 0) {
        char text[600];
        std::snprintf(text, sizeof text, "Message %s: %zu part(s) not kept (at most %zu attachments are read).",
                      messageId, mail.droppedParts, kMaxMimeAttachments);
        LogLine(s.profile.maildir, text);
    }

    TempFiles temps;
    std::vector<std::string> fileNames;
    for (const MimeAttachment& a : mail.attachments) {
        std::string name = AnsiFileName(a.fileName);
        std::string path;
        if (!WriteTempFile(name, a.data, path)) return MAPI_E_ATTACHMENT_WRITE_FAILURE;
        temps.paths.push_back(path);
        fileNames.push_back(name);
    }

    std::string subject = Utf8ToAnsi(mail.subject);
    std::string note = envelopeOnly ? std::string() : Utf8ToAnsi(ToCrlf(mail.text));
    int64_t when = mail.hasDate ? mail.date : stored.modified / 10000000;
    std::string date = FormatMapiDate(os::LocalTime(when));
    std::vector<RecipText> recips;
    for (const Address& a : mail.to) recips.push_back(Recip(MAPI_TO, a));
    for (const Address& a : mail.cc) recips.push_back(Recip(MAPI_CC, a));
    for (const Address& a : mail.bcc) recips.push_back(Recip(MAPI_BCC, a));
    RecipText originator = Recip(MAPI_ORIG, mail.originator);

    size_t size = sizeof(MapiMessage) + sizeof(MapiRecipDesc) * (1 + recips.size()) +
                  sizeof(MapiFileDesc) * temps.paths.size() + 64;
    size += MapiBlock::TextSize(subject) + MapiBlock::TextSize(note) + MapiBlock::TextSize(date);
    size += mail.automatic ? sizeof kAutomaticMessageType : 0;
    size += MapiBlock::TextSize(originator.name) + MapiBlock::TextSize(originator.address);
    for (const RecipText& r : recips) size += MapiBlock::TextSize(r.name) + MapiBlock::TextSize(r.address);
    for (size_t i = 0; i < temps.paths.size(); ++i)
        size += MapiBlock::TextSize(temps.paths[i]) + MapiBlock::TextSize(fileNames[i]);
    MapiBlock block(size);
    if (!block.Ok()) return MAPI_E_INSUFFICIENT_MEMORY;
    MapiMessage* m = block.Take<MapiMessage>(1);
    MapiRecipDesc* orig = block.Take<MapiRecipDesc>(1);
    MapiRecipDesc* rs = recips.empty() ? nullptr : block.Take<MapiRecipDesc>(recips.size());
    MapiFileDesc* fs = temps.paths.empty() ? nullptr : block.Take<MapiFileDesc>(temps.paths.size());
    m->lpszSubject = block.Copy(subject);
    m->lpszNoteText = envelopeOnly ? nullptr : block.Copy(note);
    m->lpszDateReceived = block.Copy(date);
    m->lpszMessageType = mail.automatic ? block.Copy(kAutomaticMessageType) : nullptr;
    m->flFlags = (stored.Seen() ? 0 : MAPI_UNREAD) | (mail.receiptRequested ? MAPI_RECEIPT_REQUESTED : 0);
    orig->ulRecipClass = MAPI_ORIG;
    orig->lpszName = block.Copy(originator.name);
    orig->lpszAddress = block.Copy(originator.address);
    m->lpOriginator = orig;
    for (size_t i = 0; i < recips.size(); ++i) {
        rs[i].ulRecipClass = recips[i].recipClass;
        rs[i].lpszName = block.Copy(recips[i].name);
        rs[i].lpszAddress = block.Copy(recips[i].address);
    }
    m->nRecipCount = ULONG(recips.size());
    m->lpRecips = rs;
    for (size_t i = 0; i < temps.paths.size(); ++i) {
        fs[i].nPosition = ULONG(-1);   // not placed in the note text
        fs[i].lpszPathName = block.Copy(temps.paths[i]);
        fs[i].lpszFileName = block.Copy(fileNames[i]);
    }
    m->nFileCount = ULONG(temps.paths.size());
    m->lpFiles = fs;

    if (!(flags & MAPI_PEEK) && !stored.Seen()) {
        if (!store.MarkSeen(stored)) {
            // Moved meanwhile (another session read it): mark where it is now.
            StoredMessage again;
            if (store.Locate(messageId, again) && !again.Seen()) store.MarkSeen(again);
        }
    }
    temps.keep = true;
    *out = static_cast<MapiMessage*>(block.Release());
    return SUCCESS_SUCCESS;
}

void RemoveAbandonedAttachmentFiles() {
    char dir[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof dir, dir);
    if (n == 0 || n > MAX_PATH) return;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((std::string(dir) + "vxm*-*_*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    const unsigned self = GetCurrentProcessId();
    std::vector<std::string> stale;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // "vxm" <writer's process id, hex> "-" <counter, hex> "_" <name>
        const char* p = found.cFileName + 3;
        char* end = nullptr;
        unsigned long pid = std::strtoul(p, &end, 16);
        if (end == p || *end != '-' || end - p > 8) continue;
        if (pid == self || os::ProcessRunning(unsigned(pid))) continue;
        stale.push_back(std::string(dir) + found.cFileName);
    } while (FindNextFileA(h, &found) && stale.size() < 10000);
    FindClose(h);
    for (const std::string& path : stale) DeleteFileA(path.c_str());
}

ULONG DeleteMessage(const Session& s, const char* messageId) {
    if (!messageId || !*messageId || strlen(messageId) > kMaxIdText) return MAPI_E_INVALID_MESSAGE;
    const Maildir& store = *s.store;
    for (int attempt = 0; attempt < 3; ++attempt) {
        StoredMessage m;
        if (!store.Locate(messageId, m)) return attempt == 0 ? MAPI_E_INVALID_MESSAGE : SUCCESS_SUCCESS;
        if (store.Remove(m)) return SUCCESS_SUCCESS;
    }
    return MAPI_E_FAILURE;
}

} // namespace vxmail
