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

    std::string attachments;
    for (POSITION pos = m_AttachmentNames.GetHeadPosition(); pos;) {
        const CString& name = m_AttachmentNames.GetNext(pos);
        const std::string link = "\"\\~@assistant@\\" + webmsg::EscapeHTML(name) + "\"";
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
        RenewSession(message->m_strUserID);
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

void CZLMHTMLMgr::RenewSession(const CString& user)
{
    const CTime expires = CTime::GetCurrentTime() + CTimeSpan(0, kSessionHours, 0, 0);
    for (HTMLSession& s : m_sessions) {
        if (s.m_strUserID.Compare(user) == 0) {
            s.m_tExpires = expires;
            return;
        }
    }
    m_sessions.push_back({user, expires});
}

BOOL CZLMHTMLMgr::IsActiveSession(CString user)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const CTime now = CTime::GetCurrentTime();
    for (const HTMLSession& s : m_sessions) {
        if (s.m_strUserID.Compare(user) == 0) {
            if (s.m_tExpires > now)
                return TRUE;
            EndSessionLocked(user);
            return FALSE;
        }
    }
    return FALSE;
}

void CZLMHTMLMgr::ActivateSession(CString user)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    EndExpiredLocked(user);
    RenewSession(user);
}

void CZLMHTMLMgr::EndExpiredLocked(const CString& user)
{
    const CTime now = CTime::GetCurrentTime();
    for (const HTMLSession& s : m_sessions) {
        if (s.m_strUserID.Compare(user) == 0) {
            if (s.m_tExpires <= now)
                EndSessionLocked(user);
            return;
        }
    }
}

void CZLMHTMLMgr::CheckForSessionTimeouts()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const CTime now = CTime::GetCurrentTime();
    std::vector<CString> expired;
    for (const HTMLSession& s : m_sessions)
        if (s.m_tExpires <= now)
            expired.push_back(s.m_strUserID);
    for (const CString& user : expired)
        EndSessionLocked(user);
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
    auto s = std::find_if(m_sessions.begin(), m_sessions.end(),
                          [&](const HTMLSession& r) { return r.m_strUserID.Compare(user) == 0; });
    if (s != m_sessions.end())
        m_sessions.erase(s);
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
