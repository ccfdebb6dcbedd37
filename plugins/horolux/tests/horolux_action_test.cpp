// Drives the Horolux plug-in the way the host does: loads the module, builds
// the parser's dictionary from the grammar block the module hands over, parses
// each request, offers the links row by row and calls the action. At the
// desktop the request opens a window, through the web pages it answers a line
// of text, by mail it is not handled.
#include "plugin_interface.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/sentence/linkage.h"
#include "parser/sentence/sentence.h"

#include "options/wmoptions.h"
#include "webmsg/htmlmsg.h"
#include "winmgr/winmgr.h"
#include "../../tests/offer_line.h"
#include "../../tests/plugin_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace {

// The loaded plug-in and the dictionary built from its block.
class LoadedPlugIn {
public:
    LoadedPlugIn()
    {
        std::string module = "Z:" + Env("VX_BIN_DIR") + "/Horolux.kVX";
        m_module = LoadLibraryA(module.c_str());
        if (!m_module)
            return;
        m_names = reinterpret_cast<GetActionsNameProc>(GetProcAddress(m_module, "GetActionsName"));
        m_setUserInfo = reinterpret_cast<SetUserInfoProc>(GetProcAddress(m_module, "SetUserInfo"));
        m_rows = reinterpret_cast<GetNumberOfActionsProc>(GetProcAddress(m_module, "GetNumberOfActions"));
        m_action = reinterpret_cast<PluginActionProc>(GetProcAddress(m_module, "Horolux"));
        if (!m_names || !m_setUserInfo || !m_rows || !m_action)
            return;
        // The host hands over the module first: the block is read from its resources.
        m_setUserInfo(m_module, USERINFO_MODULE);
        m_setUserInfo(&m_log, USERINFO_LOG);
        m_setUserInfo(&m_myName, USERINFO_MY_NAME);
        const char* size = m_names(-2, PLUGIN_INFO_DICTIONARY);
        const char* block = m_names(-1, PLUGIN_INFO_DICTIONARY);
        std::string rules = "Z:" + Env("VX_BIN_DIR") + "/VindalexR.Vqt";
        if (size && block)
            m_dictionary = std::make_unique<CGrammarDictionary>("", rules.c_str(), block,
                                                                static_cast<unsigned>(std::atoi(size)), m_names);
        m_options = CreateParseOptions();
    }
    ~LoadedPlugIn()
    {
        if (m_options)
            DeleteParseOptions(m_options);
        m_dictionary.reset();
        if (m_module) {
            if (m_setUserInfo)
                m_setUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
            FreeLibrary(m_module);
        }
    }
    bool Ready() const { return m_dictionary && m_dictionary->IsLoaded(); }
    int Offer(const std::string& line, int mode, const CString& requester)
    {
        CString modeText;
        modeText.Format("%d", mode);
        return OfferLine({m_names, m_setUserInfo, m_rows, m_action}, m_dictionary.get(), m_options, line,
                         modeText, requester);
    }

    HMODULE m_module = nullptr;
    GetActionsNameProc m_names = nullptr;
    SetUserInfoProc m_setUserInfo = nullptr;
    GetNumberOfActionsProc m_rows = nullptr;
    PluginActionProc m_action = nullptr;
    std::unique_ptr<CGrammarDictionary> m_dictionary;
    ParseOptions* m_options = nullptr;
    CString m_log;
    CString m_myName = "Vindalex Personal Assistant";
};

std::vector<HWND> OurWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            if (IsWindowVisible(w))
                reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string Caption(HWND w)
{
    char text[64] = {};
    GetWindowTextA(w, text, sizeof text);
    return text;
}

void CloseAll()
{
    for (HWND w : OurWindows())
        DestroyWindow(w);
    g_WindowMgr.RefreshWindowVector();
}

// The kind of window a clock request opened: the digital clock is wide and
// low, the analog face about square.
std::string ClockKind(HWND window)
{
    HWND control = GetWindow(window, GW_CHILD);
    RECT r = {};
    GetClientRect(control, &r);
    return r.right > 2 * r.bottom ? "digital" : "analog";
}

class HoroluxAction : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_anim = CWMOptions::m_bShowAnim;
        CWMOptions::m_bShowAnim = 0;
    }
    void TearDown() override
    {
        CloseAll();
        CWMOptions::m_bShowAnim = m_anim;
    }
    SettingsGuard m_settings{{"Horolux-Active", "Horolux-ClockFace"}};
    int m_anim = 0;
};

TEST_F(HoroluxAction, DesktopOpensTheWindowTheRequestAsksFor)
{
    SettingsGuard::Write("Horolux-ClockFace", 0);
    struct Case {
        const char* line;
        int handled;
        const char* caption;  // the window that opens, or null for none
        const char* kind;
    } cases[] = {
        {"Show me the calendar.", 1, "Calendar", nullptr},
        {"What time is it?", 1, "Clock", "digital"},
        {"What day is it?", 1, "Calendar", nullptr},
        {"Show me the house.", 0, nullptr, nullptr},
    };
    {
        LoadedPlugIn plugIn;
        ASSERT_TRUE(plugIn.Ready());
        for (const Case& c : cases) {
            CloseAll();
            EXPECT_EQ(plugIn.Offer(c.line, MODE_DESKTOP, "Someone"), c.handled) << c.line;
            std::vector<HWND> windows = OurWindows();
            if (!c.caption) {
                EXPECT_TRUE(windows.empty()) << c.line;
                continue;
            }
            ASSERT_EQ(windows.size(), 1u) << c.line;
            EXPECT_EQ(Caption(windows[0]), c.caption) << c.line;
            if (c.kind)
                EXPECT_EQ(ClockKind(windows[0]), c.kind) << c.line;
        }
        CloseAll();
    }
    // The clock-face option picks the analog face.
    SettingsGuard::Write("Horolux-ClockFace", 1);
    LoadedPlugIn plugIn;
    ASSERT_TRUE(plugIn.Ready());
    EXPECT_EQ(plugIn.Offer("Show me the time.", MODE_DESKTOP, "Someone"), 1);
    std::vector<HWND> windows = OurWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(ClockKind(windows[0]), "analog");
    CloseAll();
}

TEST_F(HoroluxAction, WebPagesGetOneLineAndMailIsNotServed)
{
    LoadedPlugIn plugIn;
    ASSERT_TRUE(plugIn.Ready());
    struct Case {
        const char* line;
        int mode;
        int handled;
        const char* pattern;  // the page's text, or null when no page appears
    } cases[] = {
        {"Show me the calendar.", MODE_WEB, 1, "^[A-Z][a-z]+day, [A-Z][a-z]+ [0-3][0-9], [0-9]{4}$"},
        {"What time is it?", MODE_WEB, 1, "^[0-2][0-9] : [0-5][0-9] (AM|PM)$"},
        {"Show me the clock.", MODE_WEB, 1, "^[0-2][0-9] : [0-5][0-9] (AM|PM)$"},
        {"Show me the calendar.", MODE_EMAIL, 0, nullptr},
        {"What time is it?", MODE_EMAIL, 0, nullptr},
    };
    for (const Case& c : cases) {
        size_t before = Pages().size();
        EXPECT_EQ(plugIn.Offer(c.line, c.mode, "WebRequest:user1"), c.handled) << c.line;
        std::vector<CHTMLMsg*> pages = Pages();
        EXPECT_TRUE(OurWindows().empty()) << c.line;
        if (!c.pattern) {
            EXPECT_EQ(pages.size(), before) << c.line;
            continue;
        }
        ASSERT_EQ(pages.size(), before + 1) << c.line << "\n" << (const char*)plugIn.m_log;
        CHTMLMsg* page = pages.back();
        EXPECT_EQ(std::string((const char*)page->m_strUserID), "user1");
        std::string text = (const char*)page->m_strBody;
        EXPECT_TRUE(std::regex_match(text, std::regex(c.pattern))) << c.line << ": '" << text << "'";
    }
}

} // namespace
