#include "assistant_site.h"

#include "assistant_settings.h"
#include "options/wmoptions.h"

#include <cctype>
#include <cstdio>
#include <string>

CAssistantWebServer* g_pWebServer = nullptr;
CAssistantSettings* g_pWebSettings = nullptr;
CString g_strWWWHeader, g_strWWWGreeting, g_strWWWFooter, g_strSessionPassword;

namespace {

// The port the links page shows: the one bound (the settings may ask for 0);
// and the address listened on.
unsigned g_nLinksPort = 0;
unsigned long g_nLinksBindAddress = 0;

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

namespace {

// A text value of the program's profile section; empty when absent.
std::string ProfileText(const char* name)
{
    std::string result;
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char value[256] = {0};
        DWORD size = sizeof value - 1, type = 0;
        if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
            type == REG_SZ)
            result = value;
        ::RegCloseKey(key);
    }
    return result;
}

// The dotted address of the machine's own host name, empty when unknown.
std::string MachineAddress()
{
    char host[256] = {0};
    if (::gethostname(host, 255) == 0) {
        if (hostent* he = ::gethostbyname(host))
            if (he->h_addr_list && he->h_addr_list[0])
                return ::inet_ntoa(*reinterpret_cast<in_addr*>(he->h_addr_list[0]));
    }
    return std::string();
}

}  // namespace

unsigned long WebBindAddress()
{
    unsigned long address = htonl(INADDR_LOOPBACK);
    const std::string value = ProfileText("WebBindAddress");
    if (!value.empty()) {
        unsigned long a = ::inet_addr(value.c_str());
        if (a != INADDR_NONE || value == "255.255.255.255")
            address = a;
    }
    return address;
}

CString WebHostName()
{
    std::string name = ProfileText("WebHostName");
    // A bare host name: no port, path, blank or credentials.
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-'))
            return CString();
    return name.c_str();
}

std::string WebAdvertisedHost(unsigned long bindAddress)
{
    if ((ntohl(bindAddress) >> 24) == 127)
        return "127.0.0.1";
    const CString name = WebHostName();
    if (!name.IsEmpty())
        return static_cast<const char*>(name);
    if (bindAddress != 0) {
        in_addr a;
        a.s_addr = bindAddress;
        return ::inet_ntoa(a);
    }
    const std::string machine = MachineAddress();
    return machine.empty() ? std::string("??error??") : machine;
}

CAssistantWebServer::CAssistantWebServer(CAssistantSettings* settings, DWORD requestTimeout, DWORD busyTimeout)
    : m_bStarted(FALSE)
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
    // An answer the peer takes nothing of for as long is dropped.
    m_Settings.m_dwSendTimeout = requestTimeout;
    m_Settings.m_dwBusyTimeout = busyTimeout;
    // Besides 127.0.0.1 and localhost, requests may name the configured name
    // and the address the links page gives.
    const CString hostName = WebHostName();
    if (!hostName.IsEmpty())
        m_Settings.m_HostNames.push_back(hostName);
    const std::string advertised = WebAdvertisedHost(m_Settings.m_dwBindAddress);
    if (advertised != "??error??")
        m_Settings.m_HostNames.push_back(advertised.c_str());

    g_WebServerLog.Log("Web server is starting...\n");
    m_bStarted = m_Server.Start(m_Settings);
    g_nLinksPort = m_bStarted ? m_Server.GetBoundPort() : m_Settings.m_nPort;
    g_nLinksBindAddress = m_Settings.m_dwBindAddress;
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
    // The address the server is reached at: the one it listens on (the
    // machine's own when it listens on every interface), or the configured
    // name.
    const std::string ip = WebAdvertisedHost(g_nLinksBindAddress);
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
