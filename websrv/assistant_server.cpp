#include "assistant_site.h"

#include "assistant_settings.h"
#include "options/wmoptions.h"

#include <cstdio>
#include <string>

CAssistantWebServer* g_pWebServer = nullptr;
CAssistantSettings* g_pWebSettings = nullptr;
CString g_strWWWHeader, g_strWWWGreeting, g_strWWWFooter, g_strSessionPassword;

namespace {

// The port the links page shows: the one bound (the settings may ask for 0).
unsigned g_nLinksPort = 0;

void ReadPageText(const CString& path, CString& text)
{
    HANDLE f = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    char buf[18000];
    DWORD read = 0;
    if (::ReadFile(f, buf, 17999, &read, nullptr)) {
        buf[read] = '\0';
        text = buf;
    }
    ::CloseHandle(f);
}

}  // namespace

unsigned long WebBindAddress()
{
    unsigned long address = htonl(INADDR_LOOPBACK);
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char value[64] = {0};
        DWORD size = sizeof value - 1, type = 0;
        if (::RegQueryValueExA(key, "WebBindAddress", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            unsigned long a = ::inet_addr(value);
            if (a != INADDR_NONE || std::string(value) == "255.255.255.255")
                address = a;
        }
        ::RegCloseKey(key);
    }
    return address;
}

CAssistantWebServer::CAssistantWebServer(CAssistantSettings* settings, DWORD requestTimeout) : m_bStarted(FALSE)
{
    g_pWebSettings = settings;
    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        std::printf("Failed to initialise sockets, GetLastError:%d\n", static_cast<int>(::GetLastError()));
        return;
    }
    const CString inst = settings->GetInstDir();
    CString publicDir = inst + "\\PlaceWebsiteFilesHere";
    CString ownDir = inst + "\\PrivatKorvaneantFiles";
    CString privateDir = inst + "\\PlacePrivateWebsiteFilesHere";
    ::CreateDirectoryA(publicDir, nullptr);
    ::CreateDirectoryA(ownDir, nullptr);
    ::CreateDirectoryA(privateDir, nullptr);
    settings->SetWebPublicDir(publicDir);
    CWMOptions::m_strAssistantWWWDir = ownDir;
    settings->SetWebPrivateDir(privateDir);

    ReadPageText(inst + "\\WWWHeader.txt", g_strWWWHeader);
    ReadPageText(inst + "\\WWWGreeting.txt", g_strWWWGreeting);
    ReadPageText(inst + "\\WWWFooter.txt", g_strWWWFooter);
    g_strSessionPassword = settings->GetWSPW();

    m_PublicDir.SetAlias("\\");
    m_PublicDir.m_strDirectory = publicDir;
    m_PublicDir.m_strDefaultFile = "index.html";

    CString vdir = "~" + settings->GetMyName();
    vdir.Replace(' ', '-');
    m_AssistantDir.SetAlias(vdir);
    m_AssistantDir.m_strDirectory = ownDir;
    m_AssistantDir.m_strDefaultFile = "login.html";
    m_AssistantDir.m_strRealm = "My Assistant";
    m_AssistantDir.m_strUserName = settings->GetWAN();
    m_AssistantDir.m_strPassword = settings->GetWAP();
    CWMOptions::m_strAssistantWWWVDir = vdir;

    m_PrivateDir.SetAlias("~private");
    m_PrivateDir.m_strDirectory = privateDir;
    m_PrivateDir.m_strRealm = "My Private Space";
    m_PrivateDir.m_nFlags = 1;
    m_PrivateDir.m_strUserName = settings->GetWPN();
    m_PrivateDir.m_strPassword = settings->GetWPP();

    // The program's folder holds the server log and other private files:
    // with no switch set nothing is published at all.
    m_Settings.m_Directories.clear();
    if (settings->GetUseWWWPublicServer())
        m_Settings.m_Directories.push_back(m_PublicDir);
    if (settings->GetUseWWWServer())
        m_Settings.m_Directories.push_back(m_AssistantDir);
    if (settings->GetUseWWWPrivateServer())
        m_Settings.m_Directories.push_back(m_PrivateDir);

    m_Settings.m_nPort = static_cast<unsigned short>(settings->GetWPort() & 0xFFFF);
    m_Settings.m_pClientFactory = &CVindalexHttpClient::Create;
    m_Settings.m_dwBindAddress = WebBindAddress();
    m_Settings.m_dwIdleTimeout = requestTimeout;

    g_WebServerLog.Log("Web server is starting...\n");
    m_bStarted = m_Server.Start(m_Settings);
    g_nLinksPort = m_bStarted ? m_Server.GetBoundPort() : m_Settings.m_nPort;
    if (!m_bStarted)
        g_WebServerLog.Log("Failed to start the web server, GetLastError:%d\n", static_cast<int>(::GetLastError()));

    if (!::SetConsoleCtrlHandler(&WebServerCtrlHandler, TRUE)) {
        g_WebServerLog.Log("Failed to initialise console handler, GetLastError:%d\n",
                           static_cast<int>(::GetLastError()));
        return;
    }
    BuildWebAccessLinksPage();
}

CAssistantWebServer::~CAssistantWebServer()
{
    ::SetConsoleCtrlHandler(&WebServerCtrlHandler, FALSE);
    m_Server.Stop();
    g_WebServerLog.Log("Web server has shut down...\n");
}

BOOL WINAPI WebServerCtrlHandler(DWORD)
{
    g_WebServerLog.Log("Received request to shut down the Web Server\n");
    if (g_pWebServer)
        g_pWebServer->m_Server.Stop();
    return TRUE;
}

void BuildWebAccessLinksPage()
{
    if (!g_pWebSettings)
        return;
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(192), MAKEINTRESOURCEA(23));
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (!bytes)
        return;
    std::string page(bytes, ::SizeofResource(module, found));
    // The virtual directory's form of the name, so the links reach the site.
    CString name = g_pWebSettings->GetMyName();
    name.MakeLower();
    name.Replace(' ', '-');
    std::string ip = "??error??";
    char host[256] = {0};
    if (::gethostname(host, 255) == 0) {
        if (hostent* he = ::gethostbyname(host))
            if (he->h_addr_list && he->h_addr_list[0])
                ip = ::inet_ntoa(*reinterpret_cast<in_addr*>(he->h_addr_list[0]));
    }
    page = websrv::FillTemplate(page, {{"assiatant", websrv::EscapeHTML(static_cast<const char*>(name))},
                                       {"port", std::to_string(g_nLinksPort ? g_nLinksPort : (g_pWebSettings->GetWPort() & 0xFFFF))},
                                       {"vnddir", websrv::EscapeHTML(static_cast<const char*>(g_pWebSettings->GetInstDir()))},
                                       {"ip", ip}});
    HANDLE f = ::CreateFileA(g_pWebSettings->GetInstDir() + "\\WebAccessLinks.html", GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    ::WriteFile(f, page.data(), static_cast<DWORD>(page.size()), &written, nullptr);
    ::CloseHandle(f);
}
