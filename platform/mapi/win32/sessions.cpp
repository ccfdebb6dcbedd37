#include "sessions.h"

#include <map>
#include <mutex>

#include <windows.h>
#include <mapi.h>

#include "../core/answer_journal.h"
#include "../core/mail_os.h"
#include "../core/maildir.h"
#include "mail_operations.h"

namespace vxmail {

namespace {
std::mutex g_lock;
std::map<unsigned long, SessionPtr>& Table() {
    static std::map<unsigned long, SessionPtr> table;
    return table;
}
unsigned long g_next = 0;

unsigned long Logon(const char* name, const char* password, SessionPtr& out) {
    auto s = std::make_shared<Session>();
    if (!LoadProfile(name ? name : "", s->profile)) return MAPI_E_LOGIN_FAILURE;
    if (!s->profile.password.empty() && s->profile.password != (password ? password : "")) return MAPI_E_LOGIN_FAILURE;
    s->store = std::make_unique<Maildir>(s->profile.maildir);
    if (!s->store->Exists() && !s->store->Create()) return MAPI_E_LOGIN_FAILURE;
    out = std::move(s);
    return SUCCESS_SUCCESS;
}
} // namespace

unsigned long OpenSession(const char* profile, const char* password, unsigned long* handle) {
    if (!handle) return MAPI_E_FAILURE;
    *handle = 0;
    SessionPtr s;
    unsigned long rc = Logon(profile, password, s);
    if (rc != SUCCESS_SUCCESS) return rc;
    // What a run that was killed left half-written: a message never stored,
    // an answer never sent (MAPISendMail had not returned), attachment copies.
    s->store->RemoveAbandonedFiles();
    Maildir outbox(s->profile.outbox);
    if (!s->profile.outbox.empty() && outbox.Exists()) {
        // An answer noted before the kill had been written whole: it goes out.
        AnswerJournal journal(os::Join(s->profile.outbox, kAnswerJournal));
        outbox.RemoveAbandonedFiles([&](const std::string& name) { return journal.Noted(name); });
    }
    static std::once_flag attachments;
    std::call_once(attachments, RemoveAbandonedAttachmentFiles);
    std::lock_guard<std::mutex> g(g_lock);
    if (Table().size() >= kMaxSessions) return MAPI_E_TOO_MANY_SESSIONS;
    if (g_next == 0) g_next = 0x1000 + (GetTickCount() & 0xFFF) * 16;   // handles differ between runs
    unsigned long h;
    do {
        h = ++g_next;
    } while (h == 0 || Table().count(h));
    Table()[h] = std::move(s);
    *handle = h;
    return SUCCESS_SUCCESS;
}

unsigned long CloseSession(unsigned long handle) {
    std::lock_guard<std::mutex> g(g_lock);
    return Table().erase(handle) ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION;
}

unsigned long SessionFor(unsigned long handle, bool allowImplicit, SessionPtr& out) {
    if (handle == 0) {
        if (!allowImplicit) return MAPI_E_INVALID_SESSION;
        return Logon("", nullptr, out);
    }
    std::lock_guard<std::mutex> g(g_lock);
    auto it = Table().find(handle);
    if (it == Table().end()) return MAPI_E_INVALID_SESSION;
    out = it->second;
    return SUCCESS_SUCCESS;
}

} // namespace vxmail
