#include "webmsg/htmlmsg.h"

#include "options/wmoptions.h"
#include "webmsg/htmltext.h"
#include "webmsg/webfiles.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#ifdef _WIN32
#  include "fx/resources.h"
#endif

namespace {

// Identifiers run upwards from 1; after two thousand million messages they
// start again at 1, by which time the early ones are long closed.
std::atomic<int> g_nextMessageID{1};

int NewMessageID()
{
    for (;;) {
        int id = g_nextMessageID.fetch_add(1);
        if (id > 0)
            return id;
        int expected = id + 1;
        g_nextMessageID.compare_exchange_strong(expected, 1);
    }
}

CString LoadFromResources(int resourceID)
{
#ifdef _WIN32
    LPCTSTR name = MAKEINTRESOURCEA(resourceID);
    LPCTSTR type = MAKEINTRESOURCEA(23);
    HINSTANCE module = AfxFindResourceHandle(name, type);
    HRSRC found = ::FindResourceA(module, name, type);
    if (!found)
        return CString();
    HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded)
        return CString();
    const char* bytes = static_cast<const char*>(::LockResource(loaded));
    DWORD size = ::SizeofResource(module, found);
    if (!bytes || size == 0 || size > 0x7FFFFFFF)
        return CString();
    // CString(text, length) stops at the first zero byte as well.
    return CString(bytes, static_cast<int>(size));
#else
    (void)resourceID;
    return CString();
#endif
}

CZLMHTMLMgr::ResourceLoader& Loader()
{
    static CZLMHTMLMgr::ResourceLoader loader = &LoadFromResources;
    return loader;
}

CString ToCString(const std::string& s)
{
    return CString(s.c_str(), static_cast<int>(s.size()));
}

void CopyNames(CStringList& to, const CStringList& from)
{
    to.RemoveAll();
    for (POSITION pos = from.GetHeadPosition(); pos;)
        to.AddTail(from.GetNext(pos));
}

} // namespace

// ---- CHTMLMsg ----

CHTMLMsg::CHTMLMsg() : m_bCloseOlder(false), m_nMessageID(NewMessageID())
{
    SetTags();
}

CHTMLMsg::CHTMLMsg(const CHTMLMsg& other)
    : m_strSubject(other.m_strSubject),
      m_strDate(other.m_strDate),
      m_strBody(other.m_strBody),
      m_strSender(other.m_strSender),
      m_strUserID(other.m_strUserID),
      m_bCloseOlder(other.m_bCloseOlder),
      m_strSpare(other.m_strSpare),
      m_nMessageID(NewMessageID())
{
    std::memcpy(m_szFrontTag, other.m_szFrontTag, sizeof m_szFrontTag);
    std::memcpy(m_szBackTag, other.m_szBackTag, sizeof m_szBackTag);
    CopyNames(m_AttachmentNames, other.m_AttachmentNames);
}

CHTMLMsg& CHTMLMsg::operator=(const CHTMLMsg& other)
{
    if (this == &other)
        return *this;
    std::memcpy(m_szFrontTag, other.m_szFrontTag, sizeof m_szFrontTag);
    m_strSubject = other.m_strSubject;
    m_strDate = other.m_strDate;
    m_strBody = other.m_strBody;
    m_strSender = other.m_strSender;
    m_strUserID = other.m_strUserID;
    CopyNames(m_AttachmentNames, other.m_AttachmentNames);
    m_bCloseOlder = other.m_bCloseOlder;
    m_strSpare = other.m_strSpare;
    std::memcpy(m_szBackTag, other.m_szBackTag, sizeof m_szBackTag);
    return *this;
}

void CHTMLMsg::SetTags()
{
    std::memcpy(m_szFrontTag, "HTMLMsg", 8);
    std::memcpy(m_szBackTag, "gsMLMTH", 8);
}

CHTMLMsg::~CHTMLMsg()
{
    for (POSITION pos = m_AttachmentNames.GetHeadPosition(); pos;) {
        CString& name = m_AttachmentNames.GetNext(pos);
        try {
            // No web folder, or a name that points elsewhere: nothing to delete.
            CString path = webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, name);
            if (!path.IsEmpty())
                webmsg::DeleteWebFile(path);
            name.Empty();
        } catch (...) {
        }
    }
}

void CHTMLMsg::ExecuteAction(CString action)
{
    if (action.GetLength() >= 5 && std::strncmp(action, "ClosE", 5) == 0)
        Close(action);
}

void CHTMLMsg::Close(CString reason)
{
    (void)reason;
    g_HTMLMgr.DetachMessage(this);
    delete this;
}

CString CHTMLMsg::BodyMarkup()
{
    return ToCString(webmsg::BodyToHTML(m_strBody));
}

CString CHTMLMsg::RenderHTML()
{
    const std::string block = static_cast<const char*>(g_HTMLMgr.LoadHTMLResource(189));

    // The links carry the user's id: the web server serves a copy only to
    // the session of the message that owns it. A URL path is written with
    // "/": not every client mends backslashes the way browsers do.
    std::string attachments;
    const std::string query = "?UserID=" + webmsg::EscapeURLText(m_strUserID);
    for (POSITION pos = m_AttachmentNames.GetHeadPosition(); pos;) {
        const CString& name = m_AttachmentNames.GetNext(pos);
        const std::string link = "\"/~@assistant@/" + webmsg::EscapeURLText(name) + query + "\"";
        attachments += "<tr><td><center><a href=" + link + ">";
        if (webmsg::IsPictureName(name))
            attachments += "<img src=" + link + ">";
        else
            attachments += webmsg::EscapeHTML(name);
        attachments += "</a></tr>";
    }

    const webmsg::Placeholders values = {
        {"body", static_cast<const char*>(BodyMarkup())},
        {"attachments", attachments},
        {"subject", webmsg::EscapeHTML(m_strSubject)},
        {"sender", webmsg::EscapeHTML(m_strSender)},
        {"date", webmsg::EscapeHTML(m_strDate)},
        {"msgid", std::to_string(m_nMessageID)},
    };
    return ToCString(webmsg::FillPlaceholders(block, values));
}

// ---- CZLMHTMLMgr ----

IMPLEMENT_DYNAMIC(CZLMHTMLMgr, CObject)

CZLMHTMLMgr g_HTMLMgr;

CZLMHTMLMgr::CZLMHTMLMgr() = default;

CZLMHTMLMgr::~CZLMHTMLMgr()
{
    // Messages still attached when the library unloads are not deleted:
    // their owners may be gone by then.
    m_messages.clear();
    m_sessions.clear();
}

CZLMHTMLMgr::ResourceLoader CZLMHTMLMgr::SetResourceLoader(ResourceLoader loader)
{
    ResourceLoader old = Loader();
    Loader() = loader ? std::move(loader) : ResourceLoader(&LoadFromResources);
    return old;
}

CString CZLMHTMLMgr::LoadHTMLResource(int resourceID)
{
    try {
        return Loader()(resourceID);
    } catch (...) {
        return CString();
    }
}

int CZLMHTMLMgr::CHTMLMgr()
{
    return 1;
}

void CZLMHTMLMgr::DeInIt() {}

void CZLMHTMLMgr::AttachMessage(CHTMLMsg* message)
{
    if (!message)
        return;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (std::find(m_messages.begin(), m_messages.end(), message) != m_messages.end())
        return;  // attached already: a second entry would close it twice
    try {
        if (message->m_bCloseOlder) {
            for (;;) {
                auto it = std::find_if(m_messages.begin(), m_messages.end(), [&](CHTMLMsg* m) {
                    return m->m_strUserID.Compare(message->m_strUserID) == 0;
                });
                if (it == m_messages.end())
                    break;
                CHTMLMsg* older = *it;
                m_messages.erase(it);  // whatever Close does, this entry is gone
                older->Close("force");
            }
        }
    } catch (...) {
    }
    try {
        EndExpiredLocked();
        RenewSession(message->m_strUserID, true);
    } catch (...) {
    }
    m_messages.push_back(message);
}

void CZLMHTMLMgr::DetachMessage(CHTMLMsg* message)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    try {
        auto it = std::find(m_messages.begin(), m_messages.end(), message);
        if (it != m_messages.end())
            m_messages.erase(it);
    } catch (...) {
    }
}

CHTMLMsg* CZLMHTMLMgr::FindMessage(int messageID)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    for (CHTMLMsg* m : m_messages)
        if (m->GetMessageID() == messageID)
            return m;
    return nullptr;
}

CHTMLMsg* CZLMHTMLMgr::FindMessage(int messageID, const CString& user)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    for (CHTMLMsg* m : m_messages)
        if (m->GetMessageID() == messageID && m->m_strUserID.Compare(user) == 0)
            return m;
    return nullptr;
}

bool CZLMHTMLMgr::ExecuteMessageAction(int messageID, const CString& user, const CString& action)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    CHTMLMsg* m = FindMessage(messageID, user);
    if (!m)
        return false;
    m->ExecuteAction(action);
    return true;
}

CString CZLMHTMLMgr::RenderHTMLForUser(CString user)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    CString page = LoadHTMLResource(186);
    for (auto it = m_messages.rbegin(); it != m_messages.rend(); ++it) {
        if ((*it)->m_strUserID.Compare(user) == 0)
            page += (*it)->RenderHTML();
    }
    page += LoadHTMLResource(187);
    return page;
}

bool CZLMHTMLMgr::FindAttachmentOwner(const CString& name, CString& user)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    for (CHTMLMsg* m : m_messages) {
        for (POSITION pos = m->m_AttachmentNames.GetHeadPosition(); pos;) {
            if (m->m_AttachmentNames.GetNext(pos).CompareNoCase(name) == 0) {
                user = m->m_strUserID;
                return true;
            }
        }
    }
    return false;
}

std::string CZLMHTMLMgr::EvictionVictim(uint32_t address) const
{
    // An address at its share gives up one of its own sessions.
    if (address != 0) {
        auto count = m_perAddress.find(address);
        if (count != m_perAddress.end() && count->second >= kMaxPerAddress) {
            const std::pair<const std::string, Session>* pick = nullptr;
            for (const auto& entry : m_sessions) {
                if (entry.second.address != address)
                    continue;
                if (!pick) {
                    pick = &entry;
                    continue;
                }
                const Session& a = entry.second;
                const Session& b = pick->second;
                // Unused before used; among unused the oldest, among used
                // the one that expires first (used longest ago).
                bool better;
                if (a.proven != b.proven)
                    better = !a.proven;
                else if (!a.proven)
                    better = a.made < b.made;
                else
                    better = a.expires < b.expires || (a.expires == b.expires && a.made < b.made);
                if (better)
                    pick = &entry;
            }
            if (pick)
                return pick->first;
        }
    }
    if (m_sessions.size() < static_cast<size_t>(kMaxSessions))
        return std::string();
    // A full table: the oldest session nobody used.
    if (!m_unproven.empty())
        return m_unproven.begin()->second;
    // Every session is in use: the one used longest ago of the address
    // that holds the most (a flood's own first); sessions of no known
    // address count as one address.
    uint32_t busiest = 0;
    int most = -1;
    std::unordered_map<uint32_t, int> counts = m_perAddress;
    int unknown = 0;
    for (const auto& entry : m_sessions)
        if (entry.second.address == 0)
            ++unknown;
    counts[0] = unknown;
    for (const auto& c : counts)
        if (c.second > most || (c.second == most && c.first < busiest)) {
            most = c.second;
            busiest = c.first;
        }
    for (const auto& e : m_byExpiry) {
        auto it = m_sessions.find(e.second);
        if (it != m_sessions.end() && it->second.address == busiest)
            return e.second;
    }
    return m_byExpiry.begin()->second;
}

void CZLMHTMLMgr::RenewSession(const CString& user, bool proven, uint32_t address)
{
    const std::string key = static_cast<const char*>(user);
    const time_t expires = (CTime::GetCurrentTime() + CTimeSpan(0, kSessionHours, 0, 0)).GetTime();
    auto it = m_sessions.find(key);
    if (it == m_sessions.end()) {
        for (;;) {
            const std::string victim = EvictionVictim(address);
            if (victim.empty())
                break;
            EndSessionLocked(victim.c_str());
        }
        const Session made = {expires, m_nextMade++, proven, false, address};
        m_sessions.emplace(key, made);
        m_byExpiry.emplace(expires, key);
        if (!proven)
            m_unproven.emplace(made.made, key);
        if (address != 0)
            ++m_perAddress[address];
        return;
    }
    Session& s = it->second;
    m_byExpiry.erase({s.expires, key});
    s.expires = expires;
    m_byExpiry.emplace(expires, key);
    if (proven && !s.proven) {
        m_unproven.erase({s.made, key});
        s.proven = true;
    }
}

void CZLMHTMLMgr::EndExpiredLocked()
{
    const time_t now = CTime::GetCurrentTime().GetTime();
    while (!m_byExpiry.empty() && m_byExpiry.begin()->first <= now) {
        const std::string user = m_byExpiry.begin()->second;
        EndSessionLocked(user.c_str());
    }
}

BOOL CZLMHTMLMgr::IsActiveSession(CString user)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    EndExpiredLocked();
    return m_sessions.count(static_cast<const char*>(user)) ? TRUE : FALSE;
}

void CZLMHTMLMgr::ActivateSession(CString user, bool proven, std::uint32_t address)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    EndExpiredLocked();
    RenewSession(user, proven, address);
}

void CZLMHTMLMgr::MarkOwnerSession(CString user)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    auto s = m_sessions.find(static_cast<const char*>(user));
    if (s != m_sessions.end())
        s->second.owner = true;
}

bool CZLMHTMLMgr::IsOwnerSession(CString user)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    EndExpiredLocked();
    auto s = m_sessions.find(static_cast<const char*>(user));
    return s != m_sessions.end() && s->second.owner;
}

void CZLMHTMLMgr::CheckForSessionTimeouts()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    EndExpiredLocked();
}

void CZLMHTMLMgr::EndUserSession(CString user)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    EndSessionLocked(user);
}

void CZLMHTMLMgr::EndSessionLocked(const CString& user)
{
    for (;;) {
        auto it = std::find_if(m_messages.begin(), m_messages.end(),
                               [&](CHTMLMsg* m) { return m->m_strUserID.Compare(user) == 0; });
        if (it == m_messages.end())
            break;
        CHTMLMsg* m = *it;
        m_messages.erase(it);
        try {
            m->Close("shutdown");
        } catch (...) {
        }
    }
    auto s = m_sessions.find(static_cast<const char*>(user));
    if (s != m_sessions.end()) {
        m_byExpiry.erase({s->second.expires, s->first});
        m_unproven.erase({s->second.made, s->first});
        if (s->second.address != 0) {
            auto count = m_perAddress.find(s->second.address);
            if (count != m_perAddress.end() && --count->second <= 0)
                m_perAddress.erase(count);
        }
        m_sessions.erase(s);
    }
}

int CZLMHTMLMgr::GetMessageCount()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return static_cast<int>(m_messages.size());
}

int CZLMHTMLMgr::GetSessionCount()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return static_cast<int>(m_sessions.size());
}

// ---- the web request a thread works on ----

namespace {
struct WebRequestMark {
    std::string user;
    bool set = false;
    bool owner = false;
};
thread_local WebRequestMark t_webRequest;
}  // namespace

void SetWebRequestOwner(const CString& user, bool actsForOwner)
{
    t_webRequest.user = static_cast<const char*>(user);
    t_webRequest.set = true;
    t_webRequest.owner = actsForOwner;
}

void ClearWebRequestOwner()
{
    t_webRequest = WebRequestMark();
}

bool WebRequestActsForOwner(const CString& requester)
{
    static const char kPrefix[] = "Web Request";
    const std::string r = static_cast<const char*>(requester);
    const std::size_t n = sizeof kPrefix - 1;
    if (!t_webRequest.set || !t_webRequest.owner || r.compare(0, n, kPrefix) != 0)
        return false;
    return r.substr(n) == t_webRequest.user;
}
