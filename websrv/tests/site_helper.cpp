// A program that runs the assistant's web server as the main program does,
// with a stand-in for the core's request processing, for the site tests:
//   websrv_site_helper <installation folder> <flags> [session password]
// flags: letters a (assistant pages), p (public), r (private, account ann/pw),
// A (an account web/pw2 on the assistant pages), m (the program's own engine,
// packed grammar and Sumvane and Relvane plug-ins from VX_BIN_DIR in place of
// the stand-in; they read mail through the profile named by VX_SITE_PROFILE).
// Writes the bound port to "<folder>\port.txt"; stops when "<folder>\stop"
// appears, writing "<folder>\stopped.txt" with the milliseconds the stop took.
#include "assistant_site.h"
#include "assistant_settings.h"
#include "mapi/text_scramble.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "plugin_table.h"
#include "reply/reply.h"
#include "request_engine.h"
#include "request_lock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

HANDLE g_never = nullptr;
std::string g_folder;

// Answers "time" as a web message ("attach" with the file "<folder>\note.txt"
// attached), "slow" by waiting for ever (a request still in progress when the
// server stops), "whoami" with "owner" or "guest" as a plug-in would find the
// requester (acting for the owner or not); anything else is not understood.
int StandInProcess(CString* text, CString* address, CString* name, CString* subject, CString* messageText,
                   CZLMMapiFile*, int pass, int, int mode)
{
    if (pass != 0)
        return 0;
    if (text->Find("slow") >= 0) {
        // Tells the test the request is in progress, then holds it.
        if (FILE* f = std::fopen((g_folder + "\\slow.txt").c_str(), "w"))
            std::fclose(f);
        ::WaitForSingleObject(g_never, INFINITE);
        return 0;
    }
    if (text->Find("whoami") >= 0) {
        CString log;
        CString from = "Assistant";
        MAPIOutgoingMessage out(nullptr, &log, address, &from, mode);
        CString subj = WebRequestActsForOwner(*address) ? "You are: owner" : "You are: guest";
        CString body = "Asked by " + *address;
        out.Subject(&subj);
        out.Text(&body);
        return 1;
    }
    if (text->Find("time") < 0 && text->Find("echo") < 0 && text->Find("attach") < 0)
        return 0;
    CString log;
    CString from = "Assistant <b>";
    MAPIOutgoingMessage out(nullptr, &log, address, &from, mode);
    CString subj = "Answer: " + *text;
    CString body = "You asked: " + *messageText + "\nIt is noon.";
    out.Subject(&subj);
    out.Text(&body);
    if (text->Find("attach") >= 0)
        out.Attach((g_folder + "\\note.txt").c_str());
    return 1;
}

void StandInReply(CString* address, CString*, int, int mode, int)
{
    CString log, from = "Assistant";
    MAPIOutgoingMessage out(nullptr, &log, address, &from, mode);
    CString subj = "Help", body = "Type a request.";
    out.Subject(&subj);
    out.Text(&body);
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The engine as the program wires it, over the plug-ins copied into the
// installation folder (the current one) and the packed grammar.
class RealEngine {
public:
    RealEngine() : m_options(CreateParseOptions()) {}
    ~RealEngine() { DeleteParseOptions(m_options); }
    RealEngine(const RealEngine&) = delete;
    RealEngine& operator=(const RealEngine&) = delete;

    bool Start(const std::string& folder)
    {
        const char* binEnv = std::getenv("VX_BIN_DIR");
        const char* profile = std::getenv("VX_SITE_PROFILE");
        if (!binEnv || !profile)
            return false;
        std::string bin = std::string("Z:") + binEnv;
        for (char& c : bin)
            if (c == '/')
                c = '\\';
        for (const char* name : {"Sumvane.kVX", "Relvane.kVX"})
            if (!::CopyFileA((bin + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE))
                return false;
        m_dictionary = std::make_unique<CGrammarDictionary>((bin + "\\VindalexW.Vqt").c_str(),
                                                            (bin + "\\VindalexR.Vqt").c_str(), nullptr,
                                                            0xFFFFFFFFu, nullptr);
        if (!m_dictionary->IsLoaded())
            return false;
        CString user = profile, password;
        ZLMScrambleText(user, kScrambleKeyMailProfile);
        ZLMScrambleText(password, kScrambleKeyMailPassword);
        g_Settings.SetUNM(user);
        g_Settings.SetUPM(password);
        g_Settings.SetMyName("Ann Lee");
        g_Settings.SetInstDir(folder.c_str());
        m_table = std::make_unique<CPluginTable>();
        if (m_table->GetNumberOfRows() == 0)
            return false;
        m_table->SendSettings();
        m_engine.m_pPlugins = m_table.get();
        m_engine.m_pDictionary = m_dictionary.get();
        m_engine.m_pParseOptions = m_options;
        m_engine.m_strAppPath = folder.c_str();
        CRequestEngine::SetCurrent(&m_engine);

        WebRequestCore core;
        core.processRequest = &ProcessRequest;
        core.sendReply = &SendReply;
        core.setCancelFlag = &CRequestLock::SetCancelFlag;
        core.enterRequest = &EnterRequestLock;
        core.leaveRequest = &LeaveRequestLock;
        SetWebRequestCore(core);
        return true;
    }

private:
    ParseOptions* m_options;
    std::unique_ptr<CGrammarDictionary> m_dictionary;
    std::unique_ptr<CPluginTable> m_table;
    CRequestEngine m_engine;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const std::string folder = argv[1];
    g_folder = folder;
    const std::string flags = argv[2];
    g_never = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ::SetCurrentDirectoryA(folder.c_str());
    g_WebServerLog.OpenIn(folder.c_str());

    CAssistantSettings settings;
    settings.SetMyName("Ann Lee");
    settings.SetInstDir(folder.c_str());
    settings.SetWPort(0);
    settings.SetUseWWWServer(flags.find('a') != std::string::npos);
    settings.SetUseWWWPublicServer(flags.find('p') != std::string::npos);
    settings.SetUseWWWPrivateServer(flags.find('r') != std::string::npos);
    settings.SetWPN("ann");
    settings.SetWPP("pw");
    if (flags.find('A') != std::string::npos) {
        settings.SetWAN("web");
        settings.SetWAP("pw2");
    }
    if (argc > 3)
        settings.SetWSPW(argv[3]);
    const COLORREF colours[5] = {0xffffff, 0, 0xcc, 0x551a8b, 0xff0000};
    for (int i = 0; i < 5; ++i)
        settings.SetWebColor(i, colours[i]);

    RealEngine engine;
    if (flags.find('m') != std::string::npos) {
        if (!engine.Start(folder))
            return 6;
    } else {
        WebRequestCore core;
        core.processRequest = &StandInProcess;
        core.sendReply = &StandInReply;
        SetWebRequestCore(core);
    }

    // The request time-out: 2 s unless the test asks for another.
    DWORD requestTimeout = 2000;
    char timeoutText[32] = {};
    if (::GetEnvironmentVariableA("VX_SITE_REQUEST_TIMEOUT_MS", timeoutText, sizeof timeoutText))
        requestTimeout = static_cast<DWORD>(std::strtoul(timeoutText, nullptr, 10));
    // The wait for a worker or the request lock before the busy page: 30 s
    // unless the test asks for another.
    DWORD busyTimeout = 30000;
    if (::GetEnvironmentVariableA("VX_SITE_BUSY_TIMEOUT_MS", timeoutText, sizeof timeoutText))
        busyTimeout = static_cast<DWORD>(std::strtoul(timeoutText, nullptr, 10));
    g_pWebServer = new CAssistantWebServer(&settings, requestTimeout, busyTimeout);
    if (!g_pWebServer->m_bStarted)
        return 3;
    FILE* f = std::fopen((folder + "\\port.txt").c_str(), "w");
    if (!f)
        return 4;
    std::fprintf(f, "%u\n", g_pWebServer->m_Server.GetBoundPort());
    std::fclose(f);
    // The test always asks for the stop; a test that died cannot leave the
    // helper running for ever.
    const ULONGLONG waitStart = ::GetTickCount64();
    while (!Exists(folder + "\\stop")) {
        if (::GetTickCount64() - waitStart > 30 * 60 * 1000)
            return 5;
        ::Sleep(100);
    }
    ULONGLONG start = ::GetTickCount64();
    delete g_pWebServer;
    g_pWebServer = nullptr;
    f = std::fopen((folder + "\\stopped.txt").c_str(), "w");
    if (f) {
        std::fprintf(f, "%llu\n", static_cast<unsigned long long>(::GetTickCount64() - start));
        std::fclose(f);
    }
    // A request that never ends may still hold its thread.
    ::ExitProcess(0);
}
