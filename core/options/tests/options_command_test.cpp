// The options command and the first-run wizard on real windows: the sheet is
// driven from inside its own message loop, the settings land in the registry
// and are read back, and what the command does besides is recorded.
#include "options_command.h"

#include "assistant_settings.h"
#include "dialog_driver.h"
#include "mapi/text_scramble.h"
#include "options/wmoptions.h"
#include "options_ids.h"
#include "window_test_support.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using optest::Click;

namespace {

// The application's registry profile under a company name of this run.
class TestProfile {
public:
    TestProfile() : m_app("Vindalex Personal Assistant")
    {
        m_company.Format("Ostrel Software Options Test %lu", GetCurrentProcessId());
        m_app.SetRegistryKey(m_company);
    }
    ~TestProfile() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\" + m_company); }

private:
    CWinApp m_app;
    CString m_company;
};

// Records what the command does outside the settings.
struct Recorder {
    std::map<std::string, int> calls;
    CString caption;
    std::map<int, UINT> icons;
    bool shellBar = true;
    std::string hotKey;
    CAssistantSettings* settings = nullptr;

    OptionsEffects Effects()
    {
        OptionsEffects e;
        e.setCaptionText = [this](const CString& t) { caption = t; };
        e.setCaptionIcon = [this](UINT id, int slot) { icons[slot] = id; };
        e.shellBarExists = [this] { return shellBar; };
        e.destroyShellBar = [this] { ++calls["destroyShellBar"]; shellBar = false; };
        e.createShellBar = [this] { ++calls["createShellBar"]; shellBar = true; };
        e.repaintShellBar = [this] { ++calls["repaintShellBar"]; };
        e.windowColoursChanged = [this] { ++calls["windowColours"]; };
        e.setHookHotKey = [this](char k, int s, int c, int a) {
            hotKey = std::string(1, k) + (s ? "+shift" : "") + (c ? "+ctrl" : "") + (a ? "+alt" : "");
        };
        e.rebuildWebServer = [this] { ++calls["rebuildWebServer"]; };
        e.sendSettingsToPlugins = [this] { ++calls["sendSettings"]; };
        e.saveSettings = [this] {
            ++calls["save"];
            settings->Save();
        };
        e.showNotice = [this](UINT) -> std::function<void()> {
            ++calls["notice"];
            return [this] { ++calls["noticeClosed"]; };
        };
        return e;
    }
};

CString Scrambled(const char* plain, int key)
{
    CString s = plain;
    ZLMScrambleText(s, key);
    return s;
}

HWND CurrentPage(HWND sheet) { return (HWND)::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0); }

// Shows page `index` of the sheet and returns its window.
HWND ShowPage(HWND sheet, int index)
{
    ::SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return CurrentPage(sheet);
}

enum { kAttributes = 1, kScreen = 2, kKeyboard = 4, kMail = 5, kWeb = 6, kAcceptable = 7 };

// Runs the options sheet; `edit` changes the open sheet and returns the button to press.
template <class Edit>
bool RunSheet(COptionsCommand& command, Edit edit)
{
    bool sawSheet = false;
    optest::ModalDriver driver([&] {
        HWND sheet = optest::FindThreadWindow("Properties");
        if (!sheet || !CurrentPage(sheet))
            return false;
        sawSheet = true;
        const int button = edit(sheet);
        ::SendMessageA(sheet, PSM_PRESSBUTTON, button, 0);
        return true;
    }, "the options sheet to be edited and closed with its button");
    command.RunOptions();
    return sawSheet;
}

class OptionsCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CWMOptions init;
        init.Init();
        settings.SetMyName("Vindi");
        settings.SetRefreshRate(50);
        settings.SetUNM(Scrambled("Profile", kScrambleKeyMailProfile));
        settings.SetCheckMAPI(1);
        settings.SetCreateAppBar(1);
        settings.SetHotKeyCtrl(1);
        settings.SetHotKeyAlt(1);
        settings.SetHotKeyChar('V');
        settings.SetWPort(8088);
        settings.SetUseWWWServer(1);
        settings.AddOKAddress("boss@x.org");
        settings.SetTimeStart(CTime(1999, 1, 1, 0, 0, 0));
        settings.SetTimeEnd(CTime(1999, 1, 1, 23, 0, 0));
        rec.settings = &settings;
    }
    CAssistantSettings Reloaded()
    {
        CAssistantSettings t;
        t.Load();
        return t;
    }
    TestProfile profile;
    CAssistantSettings settings;
    Recorder rec;
    fxtest::MessageBoxRecorder boxes;
};

}  // namespace

TEST_F(OptionsCommandTest, OkSavesEveryPagesValuesAndRebuildsTheWebServer)
{
    COptionsCommand command(settings, rec.Effects());
    ASSERT_TRUE(RunSheet(command, [](HWND sheet) {
        HWND attrib = ShowPage(sheet, kAttributes);
        ::SetDlgItemTextA(attrib, IDC_ATTR_NAME, "Vindalex");
        ::SetDlgItemTextA(attrib, IDC_ATTR_REFRESH, "75");
        HWND mail = ShowPage(sheet, kMail);
        EXPECT_EQ(optest::Text(mail, IDC_MAIL_NAME), "Profile") << "the page sees plain text";
        ::SetDlgItemTextA(mail, IDC_MAIL_NAME, "Other profile");
        ::SetDlgItemTextA(mail, IDC_MAIL_PREFIX, "SMTP:");
        HWND web = ShowPage(sheet, kWeb);
        ::SetDlgItemTextA(web, IDC_WWW_PORT, "8123");
        ::CheckDlgButton(web, IDC_WWW_PUBLIC, BST_CHECKED);
        optest::SaveWindowPicture(sheet, "options_sheet_properties");
        return PSBTN_OK;
    }));
    CAssistantSettings saved = Reloaded();
    EXPECT_STREQ(saved.GetMyName(), "Vindalex");
    EXPECT_EQ(saved.GetRefreshRate(), 75);
    CString unm = saved.GetUNM();
    ZLMUnscrambleText(unm, kScrambleKeyMailProfile);
    EXPECT_STREQ(unm, "Other profile") << "stored scrambled, read back plain";
    EXPECT_STREQ(saved.GetEmailProtocolPrefix(), "SMTP:");
    EXPECT_EQ(saved.GetWPort(), 8123);
    EXPECT_EQ(saved.GetUseWWWPublicServer(), 1);
    ASSERT_EQ(saved.GetNumOKAddresses(), 1) << "a list page never opened keeps the stored list";
    EXPECT_STREQ(saved.GetOKAddress(0), "boss@x.org");
    EXPECT_EQ(saved.GetHotKeyChar(), 'V');
    EXPECT_STREQ(rec.caption, "Vindalex");
    EXPECT_EQ(rec.icons[0], 168u);
    EXPECT_EQ(rec.icons[2], 180u) << "web and public on, private off";
    EXPECT_EQ(rec.hotKey, "V+ctrl+alt");
    EXPECT_EQ(rec.calls["rebuildWebServer"], 1);
    EXPECT_EQ(rec.calls["sendSettings"], 1);
    EXPECT_EQ(rec.calls["windowColours"], 1);
    EXPECT_EQ(rec.calls["repaintShellBar"], 1);
    EXPECT_EQ(rec.calls["destroyShellBar"], 0) << "no toolbar switch changed: the toolbar stays";
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(OptionsCommandTest, CancelStillSavesRebuildsAndTellsThePlugins)
{
    COptionsCommand command(settings, rec.Effects());
    ASSERT_TRUE(RunSheet(command, [](HWND sheet) {
        ::SetDlgItemTextA(ShowPage(sheet, kAttributes), IDC_ATTR_NAME, "Changed");
        return PSBTN_CANCEL;
    }));
    EXPECT_STREQ(Reloaded().GetMyName(), "Vindi");
    EXPECT_GE(rec.calls["save"], 1);
    EXPECT_EQ(rec.calls["rebuildWebServer"], 1);
    EXPECT_EQ(rec.calls["sendSettings"], 1);
    EXPECT_EQ(rec.calls["windowColours"], 0);
}

TEST_F(OptionsCommandTest, OnlyAToolbarSwitchRebuildsTheToolbar)
{
    COptionsCommand command(settings, rec.Effects());
    ASSERT_TRUE(RunSheet(command, [](HWND sheet) {
        ::CheckDlgButton(ShowPage(sheet, kKeyboard), IDC_BAR_AUTOHIDE, BST_CHECKED);
        return PSBTN_OK;
    }));
    EXPECT_EQ(rec.calls["notice"], 1);
    EXPECT_EQ(rec.calls["destroyShellBar"], 1);
    EXPECT_EQ(rec.calls["createShellBar"], 1);
    EXPECT_EQ(rec.calls["noticeClosed"], 1);
    EXPECT_EQ(Reloaded().GetAutoHideAppBar(), 1);
}

TEST_F(OptionsCommandTest, AnEmptyNameIsKeptWithItsMessage)
{
    COptionsCommand command(settings, rec.Effects());
    ASSERT_TRUE(RunSheet(command, [](HWND sheet) {
        ::SetDlgItemTextA(ShowPage(sheet, kAttributes), IDC_ATTR_NAME, "");
        return PSBTN_OK;
    }));
    EXPECT_STREQ(Reloaded().GetMyName(), "");
    EXPECT_STREQ(rec.caption, "Unnamed Assistant");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text.rfind("If you do not refer to me by name", 0), 0u);
}

TEST_F(OptionsCommandTest, HotKeyRules)
{
    struct Case {
        int ctrl, alt;
        const char* key;
        const char* message;  // start of the message, or null
        char stored;
    } cases[] = {
        {0, 0, "K", "Your desktop toolbar kotkey", 'V'},
        {1, 0, "", "You did not choose a key", 'V'},
        {0, 1, "K", nullptr, 'K'},
    };
    for (const Case& c : cases) {
        boxes.boxes.clear();
        settings.SetHotKeyChar('V');
        COptionsCommand command(settings, rec.Effects());
        ASSERT_TRUE(RunSheet(command, [&](HWND sheet) {
            HWND page = ShowPage(sheet, kKeyboard);
            ::CheckDlgButton(page, IDC_KEY_CTRL, c.ctrl ? BST_CHECKED : BST_UNCHECKED);
            ::CheckDlgButton(page, IDC_KEY_ALT, c.alt ? BST_CHECKED : BST_UNCHECKED);
            ::SetDlgItemTextA(page, IDC_KEY_CHAR, c.key);
            return PSBTN_OK;
        }));
        EXPECT_EQ(settings.GetHotKeyChar(), c.stored) << c.key;
        if (c.message) {
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_EQ(boxes.boxes[0].text.rfind(c.message, 0), 0u);
        } else {
            EXPECT_TRUE(boxes.boxes.empty());
        }
    }
}

TEST_F(OptionsCommandTest, ProgramPasswordGateAndConfirmation)
{
    // A changed password of 16 characters is confirmed in the same length.
    struct Case {
        const char* confirmation;
        int button;
        const char* stored;
    } cases[] = {{"sixteen-chars-pw", IDOK, "sixteen-chars-pw"}, {"other", IDOK, ""}, {"sixteen-chars-pw", IDCANCEL, ""}};
    for (const Case& c : cases) {
        boxes.boxes.clear();
        settings.SetPPM("");
        COptionsCommand command(settings, rec.Effects());
        int stage = 0;
        optest::ModalDriver driver([&] {
            if (stage == 0) {
                HWND sheet = optest::FindThreadWindow("Properties");
                if (!sheet || !CurrentPage(sheet))
                    return false;
                ::SetDlgItemTextA(ShowPage(sheet, kAttributes), IDC_ATTR_PPM, "sixteen-chars-pw");
                ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
                stage = 1;
                return false;
            }
            HWND dlg = optest::FindThreadWindow("Program Password");
            if (!dlg)
                return false;
            ::SetDlgItemTextA(dlg, IDC_PROGRAM_PASSWORD, c.confirmation);
            Click(dlg, c.button);
            return true;
        }, "the options sheet and then the password confirmation to close");
        command.RunOptions();
        EXPECT_TRUE(driver.Done() && !driver.GaveUp());
        CString ppm = Reloaded().GetPPM();
        ZLMUnscrambleText(ppm, kScrambleKeyProgramPassword);
        EXPECT_STREQ(ppm, c.stored) << c.confirmation;
        EXPECT_EQ(boxes.boxes.size(), c.stored[0] ? 0u : 1u);
    }

    // Now stored: a wrong password closes the command silently, nothing else happens.
    settings.SetPPM(Scrambled("sixteen-chars-pw", kScrambleKeyProgramPassword));
    rec.calls.clear();
    boxes.boxes.clear();
    COptionsCommand command(settings, rec.Effects());
    optest::ModalDriver driver([&] {
        HWND dlg = optest::FindThreadWindow("Program Password");
        if (!dlg)
            return false;
        ::SetDlgItemTextA(dlg, IDC_PROGRAM_PASSWORD, "guess");
        Click(dlg, IDOK);
        return true;
    }, "the program password box to close on OK");
    command.RunOptions();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(rec.calls.empty()) << "no sheet, no save, no web server rebuild";
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(OptionsCommandTest, QuickSetupCancelledOnItsFirstPageStillCountsAsRun)
{
    settings.SetRWO(0);
    COptionsCommand command(settings, rec.Effects());
    bool sawWizard = false;
    optest::ModalDriver driver([&] {
        HWND sheet = optest::FindThreadSheet();
        if (!sheet || !CurrentPage(sheet))
            return false;
        sawWizard = true;
        optest::SaveWindowPicture(sheet, "quick_setup_welcome");
        ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return true;
    }, "the quick setup wizard to close on Cancel");
    command.RunQuickSetup();
    EXPECT_TRUE(sawWizard);
    EXPECT_EQ(Reloaded().GetRWO(), 1);
    EXPECT_EQ(rec.calls["sendSettings"], 1);
    EXPECT_STREQ(Reloaded().GetMyName(), "Vindi");

    // Once run, it is not offered again.
    rec.calls.clear();
    testsupport::ModalWatchdog watchdog("the quick setup wizard, which must not open a second time");
    command.RunQuickSetup();
    EXPECT_TRUE(rec.calls.empty());
}

TEST_F(OptionsCommandTest, QuickSetupFinishStoresTheChoices)
{
    settings.SetRWO(0);
    COptionsCommand command(settings, rec.Effects());
    int steps = 0;
    optest::ModalDriver driver([&] {
        HWND sheet = optest::FindThreadSheet();
        if (!sheet || !CurrentPage(sheet))
            return false;
        const int index = (int)::SendMessageA(sheet, PSM_HWNDTOINDEX, (WPARAM)CurrentPage(sheet), 0);
        if (index != steps)
            return false;  // the move to the next page is still under way
        HWND page = CurrentPage(sheet);
        optest::SaveWindowPicture(sheet, "quick_setup_page_" + std::to_string(index));
        if (index == 1) {
            ::SetDlgItemTextA(page, IDC_WIZ_NAME, "");
            ::CheckDlgButton(page, IDC_WIZ_MAPI, BST_UNCHECKED);
            ::CheckDlgButton(page, IDC_NO_UPDATES, BST_CHECKED);
        }
        if (index == 3) {
            ::CheckDlgButton(page, IDC_BAR_CREATE, BST_UNCHECKED);
            ::CheckDlgButton(page, IDC_KEY_CTRL, BST_UNCHECKED);
            ::CheckDlgButton(page, IDC_KEY_ALT, BST_UNCHECKED);
        }
        if (index == 8) {
            EXPECT_EQ(optest::Text(page, IDC_WIZ_DONE_NAME), "My name is (unnamed)");
            EXPECT_EQ(optest::Text(page, IDC_WIZ_DONE_MAIL), "You cannot send me email.");
            EXPECT_EQ(optest::Text(page, IDC_WIZ_DONE_BAR), "You will not see the application bar.");
            EXPECT_EQ(optest::Text(page, IDC_WIZ_DONE_UPDATES).find("will automatically check"), std::string::npos)
                << "the box says the assistant will not check";
            ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
            return true;
        }
        ++steps;
        ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        return false;
    }, "the quick setup wizard to be stepped through to Finish");
    command.RunQuickSetup();
    EXPECT_TRUE(driver.Done() && !driver.GaveUp());
    CAssistantSettings saved = Reloaded();
    EXPECT_EQ(saved.GetRWO(), 1);
    EXPECT_STREQ(saved.GetMyName(), "") << "the page's own name, left empty";
    EXPECT_EQ(saved.GetCheckMAPI(), 0);
    EXPECT_EQ(saved.GetNoUpdates(), 1);
    EXPECT_EQ(saved.GetCreateAppBar(), 0);
    EXPECT_EQ(saved.GetHotKeyCtrl(), 1) << "an invalid hot key keeps the old one";
    EXPECT_EQ(rec.calls["createShellBar"] + rec.calls["destroyShellBar"], 0) << "no toolbar exists yet";
    EXPECT_TRUE(rec.hotKey.empty()) << "the wizard does not call the keyboard hook";
    EXPECT_EQ(rec.icons[0], 169u);
    EXPECT_EQ(rec.icons[1], 167u);
    bool sawName = false, sawHotKey = false;
    for (auto& b : boxes.boxes) {
        sawName |= b.text.rfind("If you do not refer to me by name", 0) == 0;
        sawHotKey |= b.text.rfind("Your desktop toolbar kotkey", 0) == 0;
    }
    EXPECT_TRUE(sawName && sawHotKey);
}
