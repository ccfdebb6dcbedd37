#include "assistant_site.h"
#include "addrbook/address_book.h"

#include "assistant_settings.h"
#include "options/wmoptions.h"
#include "reply/reply.h"
#include "mapi/mapi_logon.h"
#include "program_resources.h"
#include "request_gate.h"
#include "site_rules.h"
#include "webmsg/webfiles.h"

#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

namespace {

void Trace(const char*) {}

WebRequestCore g_core;

bool RandomBytes(unsigned char* out, ULONG size)
{
    using GenRandom = BOOLEAN(WINAPI*)(PVOID, ULONG);
    static GenRandom fn = reinterpret_cast<GenRandom>(
        reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryA("advapi32.dll"), "SystemFunction036")));
    return fn && fn(out, size);
}

// A new web user's id from the system's random source.
CString NewUserId(bool smallDevice)
{
    unsigned char random[16];
    if (!RandomBytes(random, sizeof random)) {
        // No random source: still unguessable enough to tell users apart,
        // never a plain clock value.
        LARGE_INTEGER c;
        ::QueryPerformanceCounter(&c);
        for (int i = 0; i < 16; ++i)
            random[i] = static_cast<unsigned char>((c.QuadPart >> ((i % 8) * 8)) ^ (::GetTickCount() >> i) ^ (i * 151));
    }
    return websrv::MakeUserId(random, smallDevice).c_str();
}

// The name as the pages' links use it: the virtual directory's form, blanks
// turned into "-", so that "/~@assistant@/..." reaches the site.
CString AssistantName()
{
    CString name = g_pWebSettings ? g_pWebSettings->GetMyName() : CString();
    name.Replace(' ', '-');
    return name;
}

const std::vector<std::string>& ExitWords()
{
    static const std::vector<std::string> words = [] {
        std::vector<std::string> w;
        for (UINT id = 61258; id <= 61260; ++id)
            w.push_back(websrv::ProgramString(id));
        return w;
    }();
    return words;
}

// Failed logins, per client address.
websrv::LoginThrottle g_loginThrottle;

// Marks the web request the thread works on for the plug-ins: whether it
// acts for the owner.
class WebRequestMark {
public:
    WebRequestMark(const CString& user, bool owner) { SetWebRequestOwner(user, owner); }
    ~WebRequestMark() { ClearWebRequestOwner(); }
    WebRequestMark(const WebRequestMark&) = delete;
    WebRequestMark& operator=(const WebRequestMark&) = delete;
};

// Holds the request lock (the core's, or g_RequestGate) for a scope. The
// workers that hold it or wait for it are bounded, so that some are always
// free for pages, files and sessions: beyond the bound, and after the lock's
// own wait, the request gets the busy page.
class RequestHold {
public:
    RequestHold(const std::atomic<int>* cancel, std::atomic<int>& holders, int bound, DWORD gateWaitMs)
        : m_holders(holders)
    {
        if (++m_holders > bound) {
            --m_holders;
            m_counted = false;
            return;
        }
        m_held = g_core.enterRequest ? g_core.enterRequest(cancel)
                                     : g_RequestGate.Enter(cancel, static_cast<int>(gateWaitMs));
        if (!m_held) {
            --m_holders;
            m_counted = false;
        }
    }
    ~RequestHold()
    {
        if (!m_held)
            return;
        if (g_core.leaveRequest)
            g_core.leaveRequest();
        else
            g_RequestGate.Leave();
        if (m_counted)
            --m_holders;
    }
    bool Held() const { return m_held; }
    RequestHold(const RequestHold&) = delete;
    RequestHold& operator=(const RequestHold&) = delete;

private:
    std::atomic<int>& m_holders;
    bool m_held = false;
    bool m_counted = true;
};

}  // namespace

void SetWebRequestCore(const WebRequestCore& core)
{
    g_core = core;
}

CZLMMapi g_WebMapiSession;
CString g_strWebLog;

IMPLEMENT_DYNCREATE(CVindalexHttpClient, CHttpClient)

CVindalexHttpClient::CVindalexHttpClient() : m_bSmallDevice(false) {}

CVindalexHttpClient::~CVindalexHttpClient()
{
    DeInIt();
}

void CVindalexHttpClient::DeInIt()
{
    // The messages of every user this site served go; the manager gives no
    // list of its users, so the site keeps the ids it handed out.
    try {
        for (const CString& user : m_Users)
            g_HTMLMgr.EndUserSession(user);
        m_Users.clear();
    } catch (...) {
        Trace("Catch in CVindalexHttpClient::DeInIt()");
    }
}

void CVindalexHttpClient::EndUserSession(const CString& userID)
{
    try {
        g_HTMLMgr.EndUserSession(userID);
    } catch (...) {
        Trace("Catch in CVindalexHttpClient::EndUserSession()");
    }
}

void CVindalexHttpClient::CheckForSessionTimeouts(CString& page, const CString& userID)
{
    try {
        g_HTMLMgr.CheckForSessionTimeouts();
    } catch (...) {
        Trace("Catch in CHTMLMgr::CheckForSessionTimeouts()");
    }
    page = g_HTMLMgr.RenderHTMLForUser(userID);
}

void CVindalexHttpClient::PostLog(int status, long bytes)
{
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    // The zone's bias changes at most at the turn of an hour: asked once per
    // hour (by whichever worker logs first then).
    static std::mutex biasLock;
    static long bias = 0;
    static int biasHour = -1, biasDay = -1;
    long useBias;
    {
        std::lock_guard<std::mutex> guard(biasLock);
        if (st.wHour != biasHour || st.wDay != biasDay) {
            TIME_ZONE_INFORMATION tz;
            DWORD zone = ::GetTimeZoneInformation(&tz);
            bias = tz.Bias + (zone == TIME_ZONE_ID_DAYLIGHT ? tz.DaylightBias : 0);
            biasHour = st.wHour;
            biasDay = st.wDay;
        }
        useBias = bias;
    }
    websrv::LogTime t = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, useBias};
    const unsigned char* a = reinterpret_cast<const unsigned char*>(&m_clientAddress.sin_addr.s_addr);
    // No password reaches the log: not one sent in the URL, nor a login
    // form's sent by GET.
    std::string line = websrv::FormatAccessLogLine(a, m_request.user, t, websrv::LogRequestLine(m_request.requestLine),
                                                   status, bytes);
    // Written as data: a "%" of the request line is a plain character.
    g_WebServerLog.Log("%s", line.c_str());
}

BOOL CVindalexHttpClient::ResolveRequestPath(CString& localPath, BOOL& isFolder, BOOL& needsLogin, CString& userName,
                                             CString& password, CString& fileName, bool& isAssistant)
{
    needsLogin = FALSE;
    userName.Empty();
    password.Empty();
    isAssistant = false;
    const CHttpDirectory* dir = nullptr;
    if (!ResolvePath(localPath, isFolder, &dir, &fileName, true))
        return FALSE;
    userName = dir->m_strUserName;
    password = dir->m_strPassword;
    needsLogin = !userName.IsEmpty() && !password.IsEmpty();
    isAssistant = dir->m_strRealm.Compare("My Assistant") == 0;
    return TRUE;
}

void CVindalexHttpClient::HandleClient(SOCKET socket, const sockaddr_in& address)
{
    if (g_core.setCancelFlag)
        g_core.setCancelFlag(StopFlagPtr());
    AttachConnection(socket, address);
    bool answered = false;
    if (!ReadAndParse(answered)) {
        FinishConnection();
        return;
    }
    const int verb = m_request.verb;
    if (verb == websrv::HTTP_VERB_PUT) {
        FinishConnection();
        return;
    }
    if (verb != websrv::HTTP_VERB_POST && verb != websrv::HTTP_VERB_GET && verb != websrv::HTTP_VERB_HEAD) {
        ReturnErrorMessage(501);
        FinishConnection();
        return;
    }
    CString local, user, password, fileName;
    BOOL isFolder = FALSE, needsLogin = FALSE;
    bool isAssistant = false;
    if (!ResolveRequestPath(local, isFolder, needsLogin, user, password, fileName, isAssistant)) {
        ReturnErrorMessage(404);
        FinishConnection();
        return;
    }
    const bool credentialsMatch =
        user.Compare(m_request.user.c_str()) == 0 && password.Compare(m_request.password.c_str()) == 0;
    websrv::SiteRoute route = websrv::RouteSiteRequest(static_cast<const char*>(fileName), isAssistant,
                                                       isFolder != FALSE, needsLogin != FALSE, credentialsMatch);
    if (route == websrv::ROUTE_FORM && !OnAssistantReply())
        route = websrv::RouteSiteRequest(static_cast<const char*>(fileName), isAssistant, isFolder != FALSE,
                                         needsLogin != FALSE, credentialsMatch, true);
    switch (route) {
    case websrv::ROUTE_FAVICON: ServeFavicon(); break;
    case websrv::ROUTE_LOGO: ServeLogo(); break;
    case websrv::ROUTE_ENTRY: ServeLoginPage("", false); break;
    case websrv::ROUTE_SMALL_ENTRY: ServeLoginPage("", true); break;
    case websrv::ROUTE_UNAUTHORIZED: ReturnUnauthorizedMessage(m_request.realm.c_str()); break;
    case websrv::ROUTE_FORM: break;  // answered
    case websrv::ROUTE_ATTACHMENT:
        if (MayServeAttachment(fileName))
            TransmitFile(local);
        else
            ReturnErrorMessage(404);
        break;
    case websrv::ROUTE_FOLDER: TransmitDirectory(local); break;
    case websrv::ROUTE_FILE: TransmitFile(local); break;
    }
    FinishConnection();
}

bool CVindalexHttpClient::MayServeAttachment(const CString& fileName)
{
    // The assistant's folder holds the copies of the web answers'
    // attachments: each goes only to the live session of its message's user.
    // Anything else there (a copy whose message is gone) is nobody's.
    CString owner;
    if (!g_HTMLMgr.FindAttachmentOwner(fileName, owner) || owner.IsEmpty())
        return false;
    const websrv::FormFields fields = websrv::ParseQueryFields(std::string_view(m_request.query));
    const std::string user = websrv::FormValue(fields, "UserID");
    return owner.Compare(user.c_str()) == 0 && g_HTMLMgr.IsActiveSession(owner);
}

void CVindalexHttpClient::ServeFavicon()
{
    if (g_pWebSettings) {
        CString path = g_pWebSettings->GetInstDir() + "\\FavIcon.ico";
        if (::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
            TransmitFile(path);
            return;
        }
    }
    std::string data = websrv::ProgramResource(174, "WEB_BINARY");
    if (!data.empty())
        TransmitBuffer(data.data(), static_cast<int>(data.size()), ".ico", false);
}

void CVindalexHttpClient::ServeLogo()
{
    std::string data = websrv::ProgramResource(175, "WEB_BINARY");
    if (!data.empty())
        TransmitBuffer(data.data(), static_cast<int>(data.size()), ".jpg", false);
}

void CVindalexHttpClient::ServeLoginPage(CString userID, bool smallDevice)
{
    const bool needPassword = !g_strSessionPassword.IsEmpty() && userID.IsEmpty();
    CString page = websrv::ProgramPage(needPassword ? 25007 : 185).c_str();
    m_bSmallDevice = smallDevice;
    CString id = userID.IsEmpty() ? NewUserId(smallDevice) : userID;
    // Without a session password the entry page itself opens the session of
    // the id it hands out; only ids made here ever get one.
    // Such a session is unproven until its user makes a request: a flood of
    // entry pages then ends only sessions that nobody used.
    if (g_strSessionPassword.IsEmpty())
        g_HTMLMgr.ActivateSession(id, !userID.IsEmpty(), PeerAddress());
    m_Users.insert(id);
    ApplyBranding(page, true, id);
    TransmitPage(page, true);
}

void CVindalexHttpClient::ServeThankYouPage()
{
    CString page = websrv::ProgramPage(m_bSmallDevice ? 25010 : 190).c_str();
    ApplyBranding(page, true);
    TransmitPage(page, true);
}

void CVindalexHttpClient::ShowUserPage(const CString& userID, bool understood)
{
    CString page;
    CheckForSessionTimeouts(page, userID);
    CString message;
    if (!understood)
        message = ("<hr><center>" + websrv::EscapeHTML(websrv::ProgramString(61248)) + "<br></center><hr>").c_str();
    ApplyBranding(page, true, userID, message);
    TransmitPage(page, true);
}

bool CVindalexHttpClient::OnAssistantReply()
{
    m_bSmallDevice = false;
    const websrv::AssistantForm form = websrv::ReadAssistantForm(m_request, ExitWords());
    const CString userID = form.user.c_str();
    m_bSmallDevice = form.smallDevice;
    const bool active = !form.user.empty() && g_HTMLMgr.IsActiveSession(userID);
    switch (websrv::ChooseAssistantStep(form, active)) {
    case websrv::STEP_NOT_ANSWERED: return false;
    case websrv::STEP_LOGIN: OnLogin(form); return true;
    case websrv::STEP_NO_SESSION: ServeLoginPage("", m_bSmallDevice); return true;
    default: break;
    }
    g_HTMLMgr.ActivateSession(userID, true, PeerAddress());  // used: renewed and proven
    const websrv::AssistantStep step = websrv::ChooseAssistantStep(form, true);
    if (step == websrv::STEP_LOGOUT) {
        EndUserSession(userID);
        ServeThankYouPage();
        return true;
    }
    if (step == websrv::STEP_COMPOSE) {
        std::string text = websrv::ProgramPage(25011);
        text = websrv::FillTemplate(text, {{"address", ""}, {"subject", ""}, {"body", ""}, {"checkedATT", ""}});
        CString body = text.c_str();
        body.Replace("{_cr_}", "\n");
        CWebMailMsg* msg = new CWebMailMsg;
        msg->m_strUserID = userID;
        msg->m_strSubject = "Compose New Email";
        msg->m_strDate = "Current Time";
        msg->m_strBody = body;
        g_HTMLMgr.AttachMessage(msg);
        ShowUserPage(userID, true);
        return true;
    }
    const bool owner = websrv::ActsForOwner(PeerAddress(), g_HTMLMgr.IsOwnerSession(userID));
    if (step == websrv::STEP_MESSAGE) {
        // Only the user's own message can be acted on.
        RequestHold hold(StopFlagPtr(), m_state->lockHolders, LockHolderBound(), Settings().m_dwBusyTimeout);
        if (!hold.Held()) {
            AnswerBusy();
            return true;
        }
        bool done = false;
        {
            WebRequestMark mark(userID, owner);
            done = g_HTMLMgr.ExecuteMessageAction(form.messageId, userID, form.actionText.c_str());
        }
        if (done || form.b3) {
            ShowUserPage(userID, true);
            return true;
        }
    }
    // A typed request.
    CString sender = "Web Request" + userID;
    CString name = userID;
    CString text = form.req.c_str();
    bool understood = false;
    {
        RequestHold hold(StopFlagPtr(), m_state->lockHolders, LockHolderBound(), Settings().m_dwBusyTimeout);
        if (!hold.Held()) {
            AnswerBusy();
            return true;
        }
        WebRequestMark mark(userID, owner);
        if (text.Find("help") >= 0) {
            if (g_core.sendReply) {
                CString a = sender, b = sender;
                g_core.sendReply(&a, &b, 1, 2, m_bSmallDevice ? 1 : 0);
                understood = true;
            }
        } else if (!text.IsEmpty() && g_core.processRequest) {
            CZLMMapiFile none;
            for (int pass = 1; pass >= 0; --pass) {
                CString t = text, a = sender, n = name, s = sender, m = text;
                if (g_core.processRequest(&t, &a, &n, &s, &m, &none, pass, m_bSmallDevice ? 1 : 0, 2))
                    understood = true;
            }
        }
    }
    ShowUserPage(userID, understood);
    return true;
}

void CVindalexHttpClient::OnLogin(const websrv::AssistantForm& form)
{
    const CString userID = form.user.c_str();
    const std::uint32_t address = PeerAddress();
    const ULONGLONG now = ::GetTickCount64();
    ULONGLONG answerAt = now;
    // An address that failed lately waits; what it sends meanwhile is not
    // even checked. The wait holds back only this answer: the server goes on
    // with everyone else's.
    bool right = false;
    if (g_loginThrottle.MayTry(address, now, answerAt)) {
        right = !g_strSessionPassword.IsEmpty() && form.req == static_cast<const char*>(g_strSessionPassword);
        if (right)
            g_loginThrottle.Succeeded(address);
        else
            answerAt = g_loginThrottle.Failed(address, now);
    }
    if (right) {
        g_HTMLMgr.ActivateSession(userID, true, address);
        g_HTMLMgr.MarkOwnerSession(userID);
        ServeLoginPage(userID, m_bSmallDevice);
        return;
    }
    ServeThankYouPage();
    m_response.notBefore = answerAt;
}

int CVindalexHttpClient::LockHolderBound() const
{
    // Two workers always stay free of the request lock.
    return std::max(1, std::min(Settings().m_nWorkers, 32) - 2);
}

void CVindalexHttpClient::AnswerBusy()
{
    // A stopping server closes the connection unanswered.
    if (StopFlagPtr()->load())
        return;
    ReturnErrorMessage(503);
}

void CVindalexHttpClient::ApplyBranding(CString& page, bool full, const CString& userID, const CString& serverMessage)
{
    (void)full;
    std::vector<std::pair<std::string, std::string>> values;
    if (m_bSmallDevice) {
        values = {{"brand", ""}, {"topbrand", "How can I help?"}, {"verytopbrand", ""}};
    } else {
        std::string top = static_cast<const char*>(g_strWWWGreeting);
        if (top.empty())
            top = websrv::ProgramPage(25005);
        values = {{"brand", static_cast<const char*>(g_strWWWFooter)},
                  {"topbrand", top},
                  {"verytopbrand", static_cast<const char*>(g_strWWWHeader)}};
    }
    // Background, text, link, activated link, visited link: the stored
    // colours in the order the settings keep them, written red first as HTML
    // reads them (the stored form has blue in its high byte).
    for (int i = 0; i < 5; ++i) {
        COLORREF c = g_pWebSettings ? g_pWebSettings->GetWebColor(i) : 0;
        values.emplace_back("clr" + std::to_string(i), websrv::HtmlColour(c));
    }
    values.emplace_back("assistant", websrv::EscapeHTML(static_cast<const char*>(AssistantName())));
    values.emplace_back("userid", websrv::EscapeHTML(static_cast<const char*>(userID)));
    values.emplace_back("serverMSG", static_cast<const char*>(serverMessage));
    page = websrv::FillTemplate(static_cast<const char*>(page), values).c_str();
}

void CVindalexHttpClient::TransmitPage(const CString& page, bool expires)
{
    TransmitBuffer(page, page.GetLength(), ".html", expires);
}

void CVindalexHttpClient::TransmitBuffer(const char* data, int length, const CString& extension, bool expires)
{
    if (extension.GetLength() >= 256) {
        g_WebServerLog.Log("Attempt to TransmitBuffer() of Extension type '%s'. Types should be html, txt, jpeg, etc.\n",
                           websrv::EscapeLogText(static_cast<const char*>(extension)).c_str());
        ReturnUnauthorizedMessage(m_request.realm.c_str());
        return;
    }
    if (length <= 0) {
        ReturnUnauthorizedMessage(m_request.realm.c_str());
        return;
    }
    std::string out;
    if (m_request.version >= websrv::MakeHttpVersion(1, 0) && m_request.version != websrv::kHttpVersion09) {
        SYSTEMTIME now;
        ::GetSystemTime(&now);
        CHttpResponseHeader h;
        h.AddStatus(200);
        h.AddDate(now);
        h.AddServer(Settings().m_strServerName);
        h.AddAllow();
        if (expires)
            h.AddExpires(now);
        h.AddLastModified(now);
        h.AddContentLength(length);
        h.AddContentType(m_state->mime.GetContentType(extension));
        out = h.Text() + "\r\n";
    }
    const int kOneSend = 64 * 1024;
    if (!IsHead() && length <= kOneSend) {
        // A page or a picture goes out with its header in one send.
        out.append(data, static_cast<std::size_t>(length));
        m_socket.Send(out.data(), static_cast<int>(out.size()));
    } else {
        BOOL ok = out.empty() || m_socket.Send(out.data(), static_cast<int>(out.size()));
        if (ok && !IsHead())
            TransmitData(data, length);
    }
    PostLog(200, length);
}

// ---- compose message ----

CString CWebMailMsg::RenderHTML()
{
    static const char kMarker[] = "VxComposeFormBody7f3a";
    CString form = m_strBody;
    m_strBody = kMarker;
    CString block = CHTMLMsg::RenderHTML();
    m_strBody = form;
    block.Replace(kMarker, form);
    return block;
}

void CWebMailMsg::ExecuteAction(CString action)
{
    const websrv::FormFields fields = websrv::SplitFormText(static_cast<const char*>(action));
    bool hasAddress = false;
    const std::string address = websrv::FormValue(fields, "EmAddr", &hasAddress);
    if (!hasAddress) {
        CHTMLMsg::ExecuteAction(action);
        return;
    }
    bool attach = false;
    websrv::FormValue(fields, "ATTch", &attach);
    CString subject = websrv::FormValue(fields, "Subjt").c_str();
    CString body = websrv::FormValue(fields, "MBody").c_str();
    CString logonName = g_pWebSettings ? g_pWebSettings->GetUNM() : CString();
    CString logonPassword = g_pWebSettings ? g_pWebSettings->GetUPM() : CString();
    // A name goes through the address books; the web user's own address is not
    // known here, so "me" names no one.
    CString dir = g_pWebSettings ? g_pWebSettings->GetInstDir() : CString();
    if (!dir.IsEmpty() && dir.Right(1) != "\\" && dir.Right(1) != "/")
        dir += "\\";
    CString bookFile = dir + "OutlookExpressExport.CDF";
    CString own;
    CString to = AddressBook::TranslateNameToEmail(address.c_str(), logonName, logonPassword, own, bookFile,
                                                   &g_strWebLog);
    if (!AddressBook::IsAddressToSendTo(to)) {
        g_strWebLog += "Web mail: no e-mail address for '" + CString(address.c_str()) + "'; nothing was sent\r\n";
        CHTMLMsg::ExecuteAction("ClosE");
        return;
    }
    try {
        if (!g_WebMapiSession.GetSessionHandle()) {
            CMAPILogon logon;
            logon.Logon(&g_WebMapiSession, logonName, logonPassword, &g_strWebLog, nullptr);
        }
        {
            CString sender = to;
            MAPIOutgoingMessage out(&g_WebMapiSession, &g_strWebLog, &to, &sender, 0);
            out.WrittenByUser();
            out.Subject(&subject);
            out.Text(&body);
            if (attach) {
                for (POSITION pos = m_AttachmentNames.GetHeadPosition(); pos;) {
                    const CString& name = m_AttachmentNames.GetNext(pos);
                    out.Attach(CWMOptions::m_strAssistantWWWDir + "\\" + name, webmsg::WebFileOriginalName(name));
                }
            }
        }
        if (g_WebMapiSession.GetSessionHandle())
            g_WebMapiSession.Logoff(0, nullptr);
    } catch (...) {
        g_strWebLog += "Web mail: the message could not be sent\r\n";
    }
    CHTMLMsg::ExecuteAction("ClosE");
}
