// Web messages: the assistant's answers to requests made on its web pages,
// waiting on the user's page until the user closes them or the session ends,
// and the process-wide manager that keeps them with the users' sessions.
#pragma once

#include "fx/fx.h"
#include "fx/collections.h"
#include "fx/time.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CHTMLMsg {
public:
    CHTMLMsg();
    CHTMLMsg(const CHTMLMsg& other);
    CHTMLMsg& operator=(const CHTMLMsg& other);
    // Deletes the attachment files from the web folder.
    virtual ~CHTMLMsg();

    // "ClosE..." closes the message; derived messages handle their own forms
    // and pass other actions on.
    virtual void ExecuteAction(CString action);
    // Detaches the message from g_HTMLMgr and deletes it.
    virtual void Close(CString reason);
    // The message's block of the page; its texts escaped.
    virtual CString RenderHTML();

    int GetMessageID() const { return m_nMessageID; }

    char m_szFrontTag[8];  // "HTMLMsg"
    CString m_strSubject;
    CString m_strDate;
    CString m_strBody;
    CString m_strSender;
    CString m_strUserID;
    // Files in CWMOptions::m_strAssistantWWWDir, owned; served only to this
    // message's user (their names start with webmsg::NewWebFileTag()).
    CStringList m_AttachmentNames;
    bool m_bCloseOlder;
    CString m_strSpare;
    char m_szBackTag[8];  // "gsMLMTH"

protected:
    // The body's markup in the message block. By default the body is text from
    // outside and is escaped; a page that composes its own markup (links, forms)
    // overrides this and escapes whatever outside text it puts in.
    virtual CString BodyMarkup();

private:
    void SetTags();
    int m_nMessageID;
};


class CZLMHTMLMgr : public CObject {
    DECLARE_DYNAMIC(CZLMHTMLMgr)
public:
    CZLMHTMLMgr();
    ~CZLMHTMLMgr() override;
    CZLMHTMLMgr(const CZLMHTMLMgr&) = delete;
    CZLMHTMLMgr& operator=(const CZLMHTMLMgr&) = delete;

    // Takes the message over; with its close-older flag the user's earlier
    // messages are closed first. Renews the user's session.
    void AttachMessage(CHTMLMsg* message);
    void DetachMessage(CHTMLMsg* message);
    // The attached message with that identifier, or null.
    CHTMLMsg* FindMessage(int messageID);
    // The same, but only among user's messages: what the web server asks on
    // behalf of a web user, so one user cannot reach another's messages.
    CHTMLMsg* FindMessage(int messageID, const CString& user);
    // Finds user's message and runs action on it, both under the manager's
    // lock, so another thread cannot close the message in between. False
    // when the user has no such message.
    bool ExecuteMessageAction(int messageID, const CString& user, const CString& action);

    CString RenderHTMLForUser(CString user);
    // The user whose attached message owns the web copy called name (names
    // compared without case, as the file system does); false when no
    // message owns it.
    bool FindAttachmentOwner(const CString& name, CString& user);
    // True while the user's session has not expired. Expired sessions are
    // ended by every call that looks at sessions.
    BOOL IsActiveSession(CString user);
    // Starts the user's session, or renews it when it is still running.
    // proven false: a session nobody has used yet (the entry page hands one
    // to every visitor). address: the client's IPv4 address (0 unknown),
    // kept from the session's start.
    // Room for a new session: an address that holds its share
    // (kMaxPerAddress) gives up one of its own, its oldest unused one first,
    // else the one it used longest ago. A full table gives up its oldest
    // unused session; only when none is left, the session used longest ago
    // of the address that holds the most.
    void ActivateSession(CString user, bool proven = true, std::uint32_t address = 0);
    // The user's session logged in with the site password (it ends with the
    // session).
    void MarkOwnerSession(CString user);
    bool IsOwnerSession(CString user);
    // Ends every session that has expired.
    void CheckForSessionTimeouts();
    void EndUserSession(CString user);
    int CHTMLMgr();
    void DeInIt();
    CString LoadHTMLResource(int resourceID);

    int GetMessageCount();
    int GetSessionCount();

    // Where page parts come from; the default reads the HTML resources of the
    // resource chain (nothing on the host build).
    using ResourceLoader = std::function<CString(int)>;
    static ResourceLoader SetResourceLoader(ResourceLoader loader);

    // Sessions last this long after their last use.
    static const int kSessionHours = 2;
    // At most this many sessions at once, and at most kMaxPerAddress of
    // them from one client address.
    static constexpr int kMaxSessions = 1000;
    static constexpr int kMaxPerAddress = kMaxSessions / 4;

private:
    struct Session {
        time_t expires;
        uint64_t made;  // order of creation
        bool proven;
        bool owner;  // logged in with the site password
        uint32_t address;
    };
    void RenewSession(const CString& user, bool proven, uint32_t address = 0);
    // The session to end so that address (0 none) may start one; empty when
    // no session must end.
    std::string EvictionVictim(uint32_t address) const;
    void EndSessionLocked(const CString& user);
    void EndExpiredLocked();

    std::vector<CHTMLMsg*> m_messages;
    // Sessions by user id, with two orders for the sweeps: by expiry, and
    // the unproven ones by creation.
    std::unordered_map<std::string, Session> m_sessions;
    std::set<std::pair<time_t, std::string>> m_byExpiry;
    std::set<std::pair<uint64_t, std::string>> m_unproven;
    std::unordered_map<uint32_t, int> m_perAddress;  // sessions by address (0 not counted)
    uint64_t m_nextMade = 0;
    std::recursive_mutex m_lock;
};

extern CZLMHTMLMgr g_HTMLMgr;

// The web request the calling thread works on, as the web server marks it
// while the engine or a message's action runs for it: the web user's id and
// whether the request acts for the owner (it came from the owner's own
// address, or its session logged in with the site password). A plug-in on
// that thread asks before it hands out the owner's mail, files or listings,
// runs a program or sets an alert for a web requester.
void SetWebRequestOwner(const CString& user, bool actsForOwner);
void ClearWebRequestOwner();
// True when requester ("Web Request" followed by the user id) is the web
// request the calling thread works on, and that request acts for the owner.
bool WebRequestActsForOwner(const CString& requester);
