// The assistant's web site: its client class, the compose-mail message and
// the server object that the main frame creates and deletes.
#pragma once

#include "http_server.h"
#include "mapi/zlm_mapi.h"
#include "site_rules.h"
#include "webmsg/htmlmsg.h"

#include <set>

class CAssistantSettings;

// The core's request processing, as the web site calls it. The core sets
// these at start-up; tests put a stand-in in their place.
struct WebRequestCore {
    int (*processRequest)(CString* text, CString* address, CString* name, CString* subject, CString* messageText,
                          CZLMMapiFile* files, int pass, int shortReply, int mode) = nullptr;
    void (*sendReply)(CString* address, CString* second, int flag, int mode, int shortReply) = nullptr;
    // Called on the listener thread before it serves a connection, with the
    // server's stop flag: a lock of the core's own then stops waiting when
    // the server stops.
    void (*setCancelFlag)(const std::atomic<int>* cancel) = nullptr;
    // The lock held while the site runs the core or a message's action for a
    // web user (false: not taken, the server is stopping). Without these the
    // site uses g_RequestGate.
    bool (*enterRequest)(const std::atomic<int>* cancel) = nullptr;
    void (*leaveRequest)() = nullptr;
};
void SetWebRequestCore(const WebRequestCore& core);

class CVindalexHttpClient : public CHttpClient {
    DECLARE_DYNCREATE(CVindalexHttpClient)
public:
    CVindalexHttpClient();
    ~CVindalexHttpClient() override;

    void HandleClient(SOCKET socket, const sockaddr_in& address) override;
    void PostLog(int status, long bytes) override;
    virtual BOOL ResolveRequestPath(CString& localPath, BOOL& isFolder, BOOL& needsLogin, CString& userName,
                                    CString& password, CString& fileName, bool& isAssistant);

    void ServeFavicon();
    void ServeLogo();
    void ServeLoginPage(CString userID, bool smallDevice);
    void ServeThankYouPage();
    bool OnAssistantReply();
    void CheckForSessionTimeouts(CString& page, const CString& userID);
    void EndUserSession(const CString& userID);
    void DeInIt();
    void ApplyBranding(CString& page, bool full, const CString& userID = CString(),
                       const CString& serverMessage = CString());
    void TransmitPage(const CString& page, bool expires);
    void TransmitBuffer(const char* data, int length, const CString& extension, bool expires);

    static CHttpClient* Create() { return new CVindalexHttpClient; }

private:
    void ShowUserPage(const CString& userID, bool understood);
    // The login form: the password, checked at most as often as the
    // client's address may try.
    void OnLogin(const websrv::AssistantForm& form);
    int LockHolderBound() const;
    void AnswerBusy();
    bool MayServeAttachment(const CString& fileName);
    bool m_bSmallDevice;
    std::set<CString> m_Users;
};

// The compose form on a web user's page; posting it sends the mail.
class CWebMailMsg : public CHTMLMsg {
public:
    CWebMailMsg() = default;
    void ExecuteAction(CString action) override;
    // The body is the site's own form, shown as HTML rather than as text.
    CString RenderHTML() override;
};

// The web server's own mail session and its log text.
extern CZLMMapi g_WebMapiSession;
extern CString g_strWebLog;

class CAssistantWebServer {
public:
    // StartWebServer: builds the site from the settings and starts it.
    explicit CAssistantWebServer(CAssistantSettings* settings, DWORD requestTimeout = 30000,
                                 DWORD busyTimeout = 30000);
    // StopWebServer.
    ~CAssistantWebServer();
    CHttpServer m_Server;
    CHttpDirectory m_PublicDir, m_AssistantDir, m_PrivateDir;
    CHttpServerSettings m_Settings;
    BOOL m_bStarted;
};

extern CAssistantWebServer* g_pWebServer;
extern CAssistantSettings* g_pWebSettings;
extern CString g_strWWWHeader, g_strWWWGreeting, g_strWWWFooter, g_strSessionPassword;

BOOL WINAPI WebServerCtrlHandler(DWORD event);
void BuildWebAccessLinksPage();
// The listening address: 127.0.0.1 unless the profile value "WebBindAddress"
// asks for another (a dotted address, or "0.0.0.0" for every interface).
unsigned long WebBindAddress();
// The name clients use for the server when it listens beyond the loopback
// address: the profile value "WebHostName" (a bare host name), else empty.
CString WebHostName();
// The address the access links page gives: 127.0.0.1 while the server
// listens on a loopback address; else the configured name, else the address
// listened on (the machine's own for every interface; "??error??" when it
// cannot be found).
std::string WebAdvertisedHost(unsigned long bindAddress);
