// The glue inside a real module: dictionary and web page resources, string
// loading limits, the action gate and test mode, the "-Active" setting that the
// properties dialog changes, and what unload leaves in the registry.
#include "plugin_interface.h"
#include "fx/fxwin.h"
#include "testsupport/testsupport.h"
#include "testsupport/win_wait.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/sentence.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

typedef const char* (*ProbeTextProc)(unsigned id);

std::string ProbePath()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of("\\/") + 1) + "glue_plugins\\GlueProbe.kVX";
}

void DeleteProbeValues()
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueA(key, "GlueProbe-Active");
        ::RegDeleteValueA(key, "GlueProbe-Note");
        ::RegCloseKey(key);
    }
}

template <class T>
T Bind(HMODULE h, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(h, name)));
}

struct Probe {
    HMODULE h = ::LoadLibraryA(ProbePath().c_str());
    GetActionsNameProc name = Bind<GetActionsNameProc>(h, "GetActionsName");
    SetUserInfoProc info = Bind<SetUserInfoProc>(h, "SetUserInfo");
    PluginActionProc action = Bind<PluginActionProc>(h, "Probe");
    ProbeTextProc html = Bind<ProbeTextProc>(h, "ProbeHtml");
    ProbeTextProc string = Bind<ProbeTextProc>(h, "ProbeString");
    ~Probe()
    {
        if (h)
            ::FreeLibrary(h);
    }
};

} // namespace

TEST(GlueProbe, ResourcesOfTheModule)
{
    DeleteProbeValues();
    Probe p;
    ASSERT_TRUE(p.h && p.name && p.info && p.action && p.html && p.string);
    EXPECT_STREQ(p.html(189), "");  // no module handle yet
    EXPECT_STREQ(p.string(2), "Error loading KVX.");
    p.info(p.h, USERINFO_MODULE);

    // The grammar block packed at build time is the module's dictionary.
    std::string dictionary = testsupport::ReadFile(std::string("Z:") + VX_PROBE_BLOCK);
    ASSERT_FALSE(dictionary.empty());
    const char* copy = p.name(-1, PLUGIN_INFO_DICTIONARY);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::string(copy, dictionary.size()), dictionary);
    EXPECT_EQ(std::string(p.name(-2, PLUGIN_INFO_DICTIONARY)), std::to_string(dictionary.size()));
    EXPECT_STREQ(p.name(-1, PLUGIN_INFO_MACRO), "% probe macro %");

    EXPECT_EQ(std::string(p.html(189)),
              testsupport::ReadFile(testsupport::SourcePath("plugins/tests/probe_page.html")));
    EXPECT_STREQ(p.html(190), "");
    EXPECT_EQ(std::string(p.string(20)).size(), 255u);  // read with at most 255 characters
    EXPECT_STREQ(p.string(21), "");   // in a block that exists
    EXPECT_STREQ(p.string(500), "");  // in a block that does not
    p.info(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
    DeleteProbeValues();
}

// The host's use of the block: the rules of the program and the plug-in's words,
// its escape replaced by the plug-in's text, parse the plug-in's own sentence.
// An escape "^0^" or one that is no number has no text.
TEST(GlueProbe, GrammarBlockReadsAsTheHostReadsIt)
{
    Probe p;
    ASSERT_TRUE(p.h && p.name && p.info);
    p.info(p.h, USERINFO_MODULE);
    const char* sizeText = p.name(-2, PLUGIN_INFO_DICTIONARY);
    const char* block = p.name(-1, PLUGIN_INFO_DICTIONARY);
    ASSERT_TRUE(sizeText && block);
    unsigned size = static_cast<unsigned>(std::strtoul(sizeText, nullptr, 10));
    std::string rules = std::string("Z:") + std::getenv("VX_BIN_DIR") + "/VindalexR.Vqt";
    CGrammarDictionary dictionary("", rules.c_str(), block, size, p.name);
    ASSERT_TRUE(dictionary.IsLoaded());
    ParseOptions* options = CreateParseOptions();
    {
        CSentence sentence("Please probe the glue.", &dictionary);
        EXPECT_GT(sentence.Parse(options), 0);
    }
    DeleteParseOptions(options);
    EXPECT_EQ(p.name(0, PLUGIN_INFO_MACRO), nullptr);
    p.info(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
    DeleteProbeValues();
}

TEST(GlueProbe, ActionGateTestModeAndTheCatchAllOfTheHost)
{
    DeleteProbeValues();
    Probe p;
    ASSERT_TRUE(p.h && p.action);
    CString log, requester("jane@example.org");
    p.info(p.h, USERINFO_MODULE);
    p.info(&log, USERINFO_LOG);
    // Inactive by default: nothing runs.
    EXPECT_STREQ(p.name(-1, PLUGIN_INFO_ACTIVE), "No");
    EXPECT_EQ(p.action(&requester, 3, nullptr, 1), 0);
    EXPECT_TRUE(log.IsEmpty());
    // Between items 7 and 9 the test sentences are still checked.
    EXPECT_STREQ(p.name(-1, PLUGIN_INFO_TEST_COUNT), "1");
    EXPECT_STREQ(p.name(-1, PLUGIN_INFO_TEST_SENTENCE), "Please probe the glue.");
    EXPECT_EQ(p.action(&requester, 3, nullptr, 1), 1);
    EXPECT_STREQ(log, "probe ran for jane@example.org at 3, fifo 1, test mode 1\r\n");
    p.name(-1, PLUGIN_INFO_TEST_END);
    EXPECT_EQ(p.action(&requester, 3, nullptr, 1), 0);
    // An exception leaves the export for the host's catch-all.
    p.name(-1, PLUGIN_INFO_TEST_COUNT);
    CString thrower("throw");
    EXPECT_ANY_THROW(p.action(&thrower, 0, nullptr, 0));
    p.name(-1, PLUGIN_INFO_TEST_END);
    p.info(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
    DeleteProbeValues();
}

namespace {
HWND FindProperties()
{
    struct Finder {
        static BOOL CALLBACK Each(HWND hWnd, LPARAM found)
        {
            char caption[64] = {};
            ::GetWindowTextA(hWnd, caption, sizeof(caption));
            if (std::string(caption) == "Properties" && ::IsWindowVisible(hWnd)) {
                *reinterpret_cast<HWND*>(found) = hWnd;
                return FALSE;
            }
            return TRUE;
        }
    };
    HWND dlg = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), Finder::Each, reinterpret_cast<LPARAM>(&dlg));
    return dlg;
}
std::string g_seen[3];
void CALLBACK TypeNoteAndOk(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dlg = FindProperties();
    if (!dlg)
        return;
    ::KillTimer(nullptr, id);
    char text[256];
    for (int i = 0; i < 3; ++i) {
        ::GetDlgItemTextA(dlg, 1000 + i, text, sizeof(text));
        g_seen[i] = text;
    }
    ::SetDlgItemTextA(dlg, 1004, "typed note");
    ::SendMessageA(::GetDlgItem(dlg, 1003), BM_CLICK, 0, 0);
    ::PostMessageA(dlg, WM_COMMAND, IDOK, 0);
}
} // namespace

TEST(GlueProbe, PropertiesDialogFillsItsTextsAndStoresTheOptions)
{
    DeleteProbeValues();
    {
        Probe p;
        ASSERT_TRUE(p.h);
        p.info(p.h, USERINFO_MODULE);
        ::SetTimer(nullptr, 0, 20, TypeNoteAndOk);
        {
            testsupport::ModalWatchdog watchdog("the properties dialog to be filled in and closed with OK");
            p.info(nullptr, USERINFO_SHOW_DIALOG);
        }
        EXPECT_EQ(g_seen[0], "Probe the glue - Ver. 3.0");
        EXPECT_EQ(g_seen[1], "Copyright line Maker") << "a blank between the line and the maker";
        EXPECT_EQ(g_seen[2], "A plug-in that exercises the glue.");
        EXPECT_STREQ(p.name(-1, PLUGIN_INFO_ACTIVE), "Yes");
    }
    // Stored at OK, so a fresh load reads them.
    char note[64] = {};
    DWORD size = sizeof(note);
    EXPECT_EQ(::RegGetValueA(HKEY_CURRENT_USER, "Korvaneant1", "GlueProbe-Note", RRF_RT_REG_SZ, nullptr, note, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(note, "typed note");
    {
        Probe p;
        p.info(p.h, USERINFO_MODULE);
        EXPECT_STREQ(p.name(-1, PLUGIN_INFO_ACTIVE), "Yes");
    }
    DeleteProbeValues();
}
