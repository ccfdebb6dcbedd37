// Request engine throughput and latency under Wine (not a test).
//   1. A Maildir of 1,000 request mails: mail ticks run back to back until each
//      is answered - requests processed per second.
//   2. Then one more mail lands beside the 1,000 read ones: the ticks it takes
//      and the time from its landing to its answer in the outbox (target: the
//      next mail tick, 600 ms, plus 50 ms of work).
// Run in a Wine session (scripts/wine-session.sh start <dir>):
//   VX_WINE_ENV=<dir>/env scripts/wine-run.sh build/win32/bench/core_engine_bench.exe
// (the 32-bit build: VX_WIN_ARCH=i686 session, VX_BIN_DIR=build/bin-i686, build/win32-i686).
#include "request_engine.h"

#include "assistant_settings.h"
#include "plugin_table.h"

#include "mapi/zlm_mapi.h"
#include "parser/tests/fixture_grammar.h"
#include "testsupport/testsupport.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string ExeFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of("\\/") + 1);
}

int CountFiles(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE h = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++n;
    } while (::FindNextFileA(h, &found));
    ::FindClose(h);
    return n;
}

void Deliver(const std::string& maildir, int i)
{
    char name[64];
    std::snprintf(name, sizeof(name), "\\new\\%d.M%dP1.bench", 1700000000 + i, i);
    char mail[512];
    std::snprintf(mail, sizeof(mail),
                  "From: Sender %d <sender%d@example.org>\r\nTo: vindi@localhost\r\nSubject: Vindi request %d\r\n"
                  "Date: Thu, 10 Dec 2026 12:00:00 +0000\r\nMessage-ID: <%d@bench.example>\r\n"
                  "Content-Type: text/plain; charset=us-ascii\r\n\r\nsend me new mail\r\n",
                  i, i, i, i);
    testsupport::WriteFile(maildir + name, mail);
}

void SetProfile(const char* profile, const std::string& maildir, const std::string& outbox)
{
    std::string key = std::string("Software\\Vindalex\\VxMail\\Profiles\\") + profile;
    HKEY h = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr);
    auto set = [h](const char* name, const std::string& value) {
        ::RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    };
    set("Password", "");
    set("Maildir", maildir);
    set("Outbox", outbox);
    set("From", "vindi@localhost");
    set("SmtpServer", "");
    ::RegCloseKey(h);
}

} // namespace

int main()
{
    const int kMails = 1000;
    testsupport::TempDir dir;
    std::string maildir = dir.file("Maildir"), outbox = dir.file("Outbox");
    for (const std::string& f : {maildir, outbox})
        for (const char* sub : {"", "\\new", "\\cur", "\\tmp"})
            ::CreateDirectoryA((f + sub).c_str(), nullptr);
    for (int i = 0; i < kMails; ++i)
        Deliver(maildir, i);
    SetProfile("EngineBench", maildir, outbox);
    _putenv("VX_ENGINE_PROFILE=EngineBench");

    std::string plugin = ExeFolder() + "..\\tests\\engine_plugins\\EngineTestA.kVX";
    if (!::CopyFileA(plugin.c_str(), dir.file("EngineTestA.kVX").c_str(), FALSE)) {
        std::printf("no test plug-in at %s\n", plugin.c_str());
        return 1;
    }
    auto dictionary = fixture::LoadDictionaryText(fixture::FixtureText("fixture.dict"));
    fixture::Options options;
    ::SetCurrentDirectoryA(dir.path().c_str());
    CPluginTable table;

    g_Settings.SetMyName("Vindi");
    g_Settings.SetCheckMAPI(1);
    g_Settings.SetRefreshRate(60);
    CZLMMapi session;
    if (session.Logon("EngineBench", 0, "", nullptr) != 0) {
        std::printf("logon failed\n");
        return 1;
    }
    CRequestEngine engine;
    engine.m_pPlugins = &table;
    engine.m_pDictionary = dictionary.get();
    engine.m_pParseOptions = options.p;
    engine.m_pSession = &session;
    engine.m_SendCommand = [&engine](unsigned id) {
        if (id == ID_PROCESS)
            engine.OnProcess();
    };
    CRequestEngine::SetCurrent(&engine);

    // Each tick runs at once: the clock steps past every deadline it could hit.
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    int ticks = 0;
    while (CountFiles(outbox + "\\new") < kMails && ticks < 10 * kMails) {
        engine.OnMailTick();
        ++ticks;
    }
    double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    int answered = CountFiles(outbox + "\\new");
    std::printf("answered %d of %d request mails in %d ticks, %.2f s: %.1f requests per second\n", answered, kMails,
                ticks, seconds, answered / seconds);
    // Let the sweep end, as it has between two mail ticks of a quiet mailbox.
    for (int i = 0; i < 3; ++i)
        engine.OnMailTick();

    int before = CountFiles(outbox + "\\new");
    auto landed = Clock::now();
    Deliver(maildir, kMails);
    int latencyTicks = 0;
    while (CountFiles(outbox + "\\new") == before && latencyTicks < 100) {
        engine.OnMailTick();
        ++latencyTicks;
    }
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - landed).count();
    std::printf("one new mail beside %d read ones: answered after %d mail tick(s), %.1f ms of work "
                "(target: 1 tick, at most 50 ms)\n",
                kMails, latencyTicks, ms);
    CRequestEngine::SetCurrent(nullptr);
    session.Logoff(0, nullptr);
    return 0;
}
