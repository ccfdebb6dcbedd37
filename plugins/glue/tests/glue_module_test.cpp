// The glue under Wine: the registry helper and the settings under
// HKEY_CURRENT_USER\Korvaneant1, and two real plug-ins driven through their
// exports (strings, row tests, the "-Active" item, unload, properties dialog).
#include "plugin_module.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/sentence.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void DeleteValue(const char* name)
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueA(key, name);
        ::RegCloseKey(key);
    }
}

bool ReadStoredDword(const char* name, DWORD& value)
{
    DWORD size = sizeof(value);
    return ::RegGetValueA(HKEY_CURRENT_USER, "Korvaneant1", name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

void WriteStoredDword(const char* name, DWORD value)
{
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(key);
}

const PlugInOption kOptions[] = {
    {"Count", PLUGIN_OPTION_CHECK, 1, nullptr, 1004},
    {"Address", PLUGIN_OPTION_TEXT, 0, "nobody@example.org", 1005},
};
PlugInDescription GlueTestDescription()
{
    PlugInDescription d{};
    d.name = "GlueTest";
    d.activeDefault = 0;
    d.options = kOptions;
    d.optionCount = 2;
    return d;
}

} // namespace

TEST(PlugInRegistry, ValuesRoundTripAndFailuresReadAsDefaults)
{
    CRegistry reg;
    ASSERT_TRUE(reg.Connect());
    ASSERT_TRUE(reg.CreateKey("Korvaneant1"));
    EXPECT_TRUE(reg.IsOpen());
    EXPECT_TRUE(reg.WriteDword("GlueTest-Number", 0x12345678));
    EXPECT_TRUE(reg.WriteString("GlueTest-Text", "hello"));
    DWORD n = 0;
    CString s;
    EXPECT_TRUE(reg.ReadDword("GlueTest-Number", n, 5));
    EXPECT_EQ(n, 0x12345678u);
    EXPECT_TRUE(reg.ReadString("GlueTest-Text", s, "x"));
    EXPECT_STREQ(s, "hello");
    // Missing, of another size, too long, or without a name: the default.
    EXPECT_FALSE(reg.ReadDword("GlueTest-Missing", n, 5));
    EXPECT_EQ(n, 5u);
    EXPECT_FALSE(reg.ReadDword("GlueTest-Text", n, 6));  // six bytes, not four
    EXPECT_EQ(n, 6u);
    EXPECT_FALSE(reg.ReadString("GlueTest-Missing", s, "default"));
    EXPECT_STREQ(s, "default");
    EXPECT_TRUE(reg.WriteString("GlueTest-Long", std::string(300, 'x').c_str()));
    EXPECT_FALSE(reg.ReadString("GlueTest-Long", s, "short"));
    EXPECT_STREQ(s, "short");
    EXPECT_FALSE(reg.ReadDword(nullptr, n, 7));
    EXPECT_EQ(reg.GetLastError(), 87);
    EXPECT_EQ(n, 7u);
    EXPECT_FALSE(reg.WriteString(nullptr, "x"));
    for (const char* name : {"GlueTest-Number", "GlueTest-Text", "GlueTest-Long"})
        DeleteValue(name);
}

TEST(PlugInSettings, LoadOnceDefaultsUntilSavedAndNamesWithTheHyphen)
{
    for (const char* name : {"GlueTest-Active", "GlueTest-Count", "GlueTest-Address"})
        DeleteValue(name);
    PlugInDescription d = GlueTestDescription();
    {
        CPlugInSettings settings(d);
        settings.Save();  // not loaded: writes nothing
        DWORD v;
        EXPECT_FALSE(ReadStoredDword("GlueTest-Active", v));
        settings.Load();
        EXPECT_TRUE(settings.IsLoaded());
        EXPECT_EQ(settings.m_nActive, 0);
        EXPECT_EQ(settings.GetInt("Count"), 1);
        EXPECT_STREQ(settings.GetText("Address"), "nobody@example.org");
        EXPECT_FALSE(ReadStoredDword("GlueTest-Active", v));  // loading writes nothing
        // Loaded once: a later change in the registry is not read again.
        WriteStoredDword("GlueTest-Count", 0);
        settings.Load();
        EXPECT_EQ(settings.GetInt("Count"), 1);
        settings.m_nActive = 1;
        settings.m_Texts[1] = "jane@example.org";
        settings.Save();
        EXPECT_TRUE(ReadStoredDword("GlueTest-Active", v));
        EXPECT_EQ(v, 1u);
    }
    CPlugInSettings again(d);
    again.Load();
    EXPECT_EQ(again.m_nActive, 1);
    EXPECT_EQ(again.GetInt("Count"), 1);
    EXPECT_STREQ(again.GetText("Address"), "jane@example.org");
    EXPECT_STREQ(again.ValueName("Count"), "GlueTest-Count");
    for (const char* name : {"GlueTest-Active", "GlueTest-Count", "GlueTest-Address"})
        DeleteValue(name);
}

namespace {

// One real plug-in of the install tree, loaded for a test.
struct LoadedPlugIn {
    HMODULE h;
    GetActionsNameProc name;
    SetUserInfoProc info;
    explicit LoadedPlugIn(const char* file)
    {
        h = ::LoadLibraryA(file);
        name = reinterpret_cast<GetActionsNameProc>(reinterpret_cast<void*>(::GetProcAddress(h, "GetActionsName")));
        info = reinterpret_cast<SetUserInfoProc>(reinterpret_cast<void*>(::GetProcAddress(h, "SetUserInfo")));
    }
    ~LoadedPlugIn()
    {
        if (h)
            ::FreeLibrary(h);
    }
};

struct Boxes {
    std::vector<std::string> texts;
    AfxMessageBoxHook old;
    Boxes()
    {
        old = AfxSetMessageBoxHook([this](HWND, LPCTSTR text, LPCTSTR, UINT) {
            texts.push_back(text ? text : "");
            return IDOK;
        });
    }
    ~Boxes() { AfxSetMessageBoxHook(old); }
};

// Answers the next properties dialog of this thread: optionally clicks the
// "-Active" box, then presses the button.
struct DialogScript {
    static bool clickActive;
    static int button;
    static std::string title;
    static BOOL CALLBACK Find(HWND hWnd, LPARAM found)
    {
        char caption[64] = {};
        ::GetWindowTextA(hWnd, caption, sizeof(caption));
        if (std::string(caption) == "Properties" && ::IsWindowVisible(hWnd)) {
            *reinterpret_cast<HWND*>(found) = hWnd;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND dlg = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), Find, reinterpret_cast<LPARAM>(&dlg));
        if (!dlg)
            return;
        ::KillTimer(nullptr, id);
        char text[128] = {};
        ::GetDlgItemTextA(dlg, IDC_PLUGIN_TITLE, text, sizeof(text));
        title = text;
        if (clickActive)
            ::SendMessageA(::GetDlgItem(dlg, IDC_PLUGIN_ACTIVE), BM_CLICK, 0, 0);
        ::PostMessageA(dlg, WM_COMMAND, button, 0);
    }
    static void Arm(bool click, int pressed)
    {
        clickActive = click;
        button = pressed;
        title.clear();
        ::SetTimer(nullptr, 0, 20, Tick);
    }
};
bool DialogScript::clickActive = false;
int DialogScript::button = IDCANCEL;
std::string DialogScript::title;

} // namespace

TEST(PlugInModules, RowTestsStringsAndTheActiveItem)
{
    DeleteValue("Relvane-Active");
    DeleteValue("Listavo-Active");
    Boxes boxes;
    {
        LoadedPlugIn relvane("Relvane.kVX");
        LoadedPlugIn listavo("Listavo.kVX");
        ASSERT_TRUE(relvane.h && relvane.name && relvane.info);
        ASSERT_TRUE(listavo.h && listavo.name && listavo.info);
        EXPECT_STREQ(relvane.name(-2, PLUGIN_INFO_DESCRIPTION), "Error loading KVX.");
        relvane.info(relvane.h, USERINFO_MODULE);
        listavo.info(listavo.h, USERINFO_MODULE);
        EXPECT_STREQ(relvane.name(0, 0), "send.v");
        EXPECT_STREQ(relvane.name(11, 2), "SendMeNewMail");
        EXPECT_EQ(relvane.name(12, 0), nullptr);
        EXPECT_EQ(relvane.name(0, 3), nullptr);
        EXPECT_STREQ(relvane.name(-2, PLUGIN_INFO_DESCRIPTION), "Send e-mail upon request");
        EXPECT_EQ(listavo.name(-2, PLUGIN_INFO_DESCRIPTION), nullptr);
        EXPECT_STREQ(listavo.name(-1, PLUGIN_INFO_DESCRIPTION), "Send a listing of files or folders.");
        EXPECT_STREQ(relvane.name(-1, PLUGIN_INFO_VERSION), "3.0");
        EXPECT_STREQ(relvane.name(-1, PLUGIN_INFO_TEST_COUNT), "1");
        EXPECT_STREQ(relvane.name(-1, PLUGIN_INFO_TEST_SENTENCE),
                     "Please send me new messages without attachments.");
        relvane.name(-1, PLUGIN_INFO_TEST_END);
        EXPECT_STREQ(relvane.name(-1, PLUGIN_INFO_ACTIVE), "Yes");  // default 1
        EXPECT_STREQ(listavo.name(-1, PLUGIN_INFO_ACTIVE), "No");   // default 0
        // Without a dictionary the size item answers the previous answer.
        EXPECT_STREQ(relvane.name(-2, PLUGIN_INFO_DICTIONARY), "Yes");
        EXPECT_STREQ(relvane.name(-1, 40), "Yes");
        DWORD v;
        EXPECT_FALSE(ReadStoredDword("Relvane-Active", v));  // nothing written before unload
        relvane.info(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
        ASSERT_TRUE(ReadStoredDword("Relvane-Active", v));
        EXPECT_EQ(v, 1u);
        DWORD attach;
        ASSERT_TRUE(ReadStoredDword("Relvane-DefaultAttach", attach));
        EXPECT_EQ(attach, 1u);
    }
    EXPECT_TRUE(boxes.texts.empty());
    for (const char* name : {"Relvane-Active", "Relvane-DefaultNew", "Relvane-DefaultAttach", "Listavo-Active",
                             "Listavo-Folders", "Listavo-Files"})
        DeleteValue(name);
}

TEST(PlugInModules, PropertiesDialogCancelKeepsAndOkSaves)
{
    DeleteValue("Relvane-Active");
    Boxes boxes;
    {
        LoadedPlugIn relvane("Relvane.kVX");
        ASSERT_TRUE(relvane.h);
        // Before the host gave the module handle there is no template to show.
        {
            testsupport::ModalWatchdog watchdog("the properties call without a module handle to return");
            relvane.info(nullptr, USERINFO_SHOW_DIALOG);
        }
        EXPECT_EQ(boxes.texts, (std::vector<std::string>{"Error loading KVX"}));
        relvane.info(relvane.h, USERINFO_MODULE);

        DialogScript::Arm(true, IDCANCEL);
        {
            testsupport::ModalWatchdog watchdog("the properties dialog to close on Cancel");
            relvane.info(nullptr, USERINFO_SHOW_DIALOG);
        }
        EXPECT_EQ(DialogScript::title, "Send e-mail upon request - Ver. 3.0");
        EXPECT_STREQ(relvane.name(-1, PLUGIN_INFO_ACTIVE), "Yes");
        DWORD v;
        EXPECT_FALSE(ReadStoredDword("Relvane-Active", v));

        DialogScript::Arm(true, IDOK);
        {
            testsupport::ModalWatchdog watchdog("the properties dialog to close on OK");
            relvane.info(nullptr, USERINFO_SHOW_DIALOG);
        }
        EXPECT_STREQ(relvane.name(-1, PLUGIN_INFO_ACTIVE), "No");  // at once
        ASSERT_TRUE(ReadStoredDword("Relvane-Active", v));
        EXPECT_EQ(v, 0u);
    }
    for (const char* name : {"Relvane-Active", "Relvane-DefaultNew", "Relvane-DefaultAttach"})
        DeleteValue(name);
}

// What every plug-in tells the host about itself: maker, copyright, an example,
// its test sentences as many as its count says, and the grammar block of the
// plug-ins that carry one, which the host's dictionary reads with the rules.
TEST(PlugInModules, EveryPlugInDescribesItself)
{
    struct Case {
        const char* file;
        bool allNegativeRows;  // every negative row is an information request
        bool dictionary;
    } cases[] = {
        {"Horolux.kVX", true, true},  {"Relvane.kVX", true, false}, {"Sumvane.kVX", true, false},
        {"Ocavio.kVX", false, false}, {"Tulavo.kVX", true, false},  {"Ruvelo.kVX", false, false},
        {"Skrivo.kVX", false, false}, {"Listavo.kVX", false, false}, {"Chimavo.kVX", true, true},
        {"Parcavo.kVX", false, false},
    };
    Boxes boxes;
    ParseOptions* options = CreateParseOptions();
    for (const Case& c : cases) {
        LoadedPlugIn p(c.file);
        ASSERT_TRUE(p.h && p.name && p.info) << c.file;
        p.info(p.h, USERINFO_MODULE);
        EXPECT_STREQ(p.name(-1, PLUGIN_INFO_COMPANY), "Ostrel Software") << c.file;
        EXPECT_NE(std::string(p.name(-1, PLUGIN_INFO_COPYRIGHT)).find("Copyright (c)"), std::string::npos) << c.file;
        EXPECT_STRNE(p.name(-1, PLUGIN_INFO_EXAMPLE), "") << c.file;
        EXPECT_STREQ(p.name(-1, PLUGIN_INFO_VERSION), "3.0") << c.file;
        int count = std::atoi(p.name(-1, PLUGIN_INFO_TEST_COUNT));
        // The plug-ins that answer only row -1 can be asked for their first sentence only.
        int askable = c.allNegativeRows ? count : std::min(count, 1);
        for (int n = 1; n <= askable; ++n) {
            const char* sentence = p.name(-n, PLUGIN_INFO_TEST_SENTENCE);
            ASSERT_NE(sentence, nullptr) << c.file << " " << n;
            EXPECT_STRNE(sentence, "") << c.file << " " << n;
        }
        p.name(-1, PLUGIN_INFO_TEST_END);

        const char* sizeText = p.name(-2, PLUGIN_INFO_DICTIONARY);
        const char* block = p.name(-1, PLUGIN_INFO_DICTIONARY);
        if (!c.dictionary)
            continue;
        ASSERT_TRUE(sizeText && block) << c.file;
        unsigned size = static_cast<unsigned>(std::strtoul(sizeText, nullptr, 10));
        EXPECT_GT(size, 0u) << c.file;
        std::string rules = std::string("Z:") + std::getenv("VX_BIN_DIR") + "/VindalexR.Vqt";
        CGrammarDictionary dictionary("", rules.c_str(), block, size, p.name);
        EXPECT_TRUE(dictionary.IsLoaded()) << c.file;
        // The block's own words parse (the request grammar of its phrasings is the plug-in's own test).
        const char* own = c.file[0] == 'H' ? "Show me the calendar." : "Please tell me.";
        CSentence sentence(own, &dictionary);
        EXPECT_GT(sentence.Parse(options), 0) << c.file << ": " << own;
    }
    DeleteParseOptions(options);
    EXPECT_TRUE(boxes.texts.empty());
    for (const char* name : {"Horolux-Active", "Relvane-Active", "Sumvane-Active", "Ocavio-Active", "Tulavo-Active",
                             "Ruvelo-Active", "Skrivo-Active", "Listavo-Active", "Chimavo-Active", "Parcavo-Active"})
        DeleteValue(name);
}
