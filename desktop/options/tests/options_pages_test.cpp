// The settings pages, the sheet with its logo and the small dialogs on real
// windows: values exchanged with the page members, the pages' own rules, and
// a picture of every page kept as an artifact.
#include "address_pages.h"
#include "assistant_settings.h"
#include "attrib_page.h"
#include "dialog_driver.h"
#include "interface_page.h"
#include "login_password_dlg.h"
#include "options_ids.h"
#include "plugin_prop.h"
#include "program_password_dlg.h"
#include "sheet_with_logo.h"
#include "simple_pages.h"
#include "wizard_pages.h"
#include "www_server_prop.h"

#include "window_test_support.h"

#include <gtest/gtest.h>

#include <string>

using optest::Click;
using optest::Text;

namespace {

// A modeless sheet of the given pages (created and shown), destroyed at the end.
struct Sheet {
    CPropertySheetWithLogo sheet{"Properties"};
    explicit Sheet(std::initializer_list<CPropertyPage*> pages, bool wizard = false)
    {
        for (CPropertyPage* p : pages)
            sheet.AddPage(p);
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        sheet.m_psh.dwFlags &= ~PSH_HASHELP;
        if (wizard)
            sheet.SetWizardMode();
        sheet.SetLogoText("Vindalex");
        EXPECT_TRUE(sheet.Create());
    }
    ~Sheet()
    {
        if (sheet.m_hWnd)
            sheet.DestroyWindow();
        fxtest::DrainQueue();
    }
    void Show(int index)
    {
        sheet.SetActivePage(index);
        fxtest::DrainQueue();
    }
};

// A plug-in that answers every text through one buffer, as the plug-in glue does.
char g_answer[64];
int g_activeFlag = 0;
int g_settingsCalls = 0;
const char* SharedBufferNames(int row, int item)
{
    if (row != -1)
        return nullptr;
    switch (item) {
    case 0: lstrcpyA(g_answer, "Sends your mail"); break;
    case 2: lstrcpyA(g_answer, "Ostrel Software"); break;
    case 4: lstrcpyA(g_answer, g_activeFlag ? "Yes" : "No"); break;
    default: return nullptr;
    }
    return g_answer;
}
void ToggleActive(const void* value, int code)
{
    if (value == nullptr && code == 255) {
        ++g_settingsCalls;
        g_activeFlag = 1;
    }
}

CString ListText(HWND list, int row, int col)
{
    char buf[256] = {};
    LVITEMA item = {};
    item.iSubItem = col;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return buf;
}

int ListCount(HWND list) { return (int)::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }

}  // namespace

TEST(OptionsSheet, EveryPageShowsItsValuesAndGivesThemBack)
{
    AttribPage attrib;
    attrib.m_strName = "Vindi";
    attrib.m_bAutoLogin = 1;
    attrib.m_nRefreshRate = 50;
    attrib.m_strProgramPassword = "secret";
    attrib.m_timeActiveFrom = CTime(1999, 1, 1, 8, 30, 0);
    attrib.m_timeActiveUntil = CTime(1999, 1, 1, 17, 45, 0);
    CInterfacePage screen;
    for (int i = 0; i < 6; ++i)
        screen.m_Colors[i] = 0x101010 * (i + 1);
    CAppBarProp bar;
    bar.m_bCreateAppBar = 1;
    bar.m_bCtrl = 1;
    bar.m_strKey = "V";
    MailBoxProp mail;
    mail.m_strName = "Profile";
    mail.m_strProtocolPrefix = "SMTP:";
    CWWWServerProp web;
    web.m_nPort = 8088;
    for (int i = 0; i < 5; ++i)
        web.m_Colors[i] = CWWWServerProp::kFactory[i];
    ZLMPage zlm;
    CAddrBookProp book;
    CPluginProp plugins;
    CAssistantSettings settings;
    CAcceptAddress accept(&settings);
    CHandheldProp handheld(&settings);

    Sheet s({&zlm, &attrib, &screen, &plugins, &bar, &mail, &web, &accept, &handheld, &book});
    const char* names[] = {"zlm", "attributes", "screen", "plugins", "keyboard", "mail", "www_server",
                           "acceptable", "handheld", "address_book"};
    for (int i = 0; i < 10; ++i) {
        s.Show(i);
        ASSERT_EQ(s.sheet.GetActiveIndex(), i);
        optest::SaveWindowPicture(s.sheet.m_hWnd, std::string("options_page_") + names[i]);
    }
    // What the pages show.
    EXPECT_EQ(Text(attrib.m_hWnd, IDC_ATTR_NAME), "Vindi");
    EXPECT_EQ(Text(attrib.m_hWnd, IDC_ATTR_REFRESH), "50");
    EXPECT_EQ(::SendDlgItemMessageA(attrib.m_hWnd, IDC_ATTR_PPM, EM_GETLIMITTEXT, 0, 0), kProgramPasswordMaxChars);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(attrib.m_hWnd, IDC_ATTR_FROM)));
    EXPECT_EQ(Text(mail.m_hWnd, IDC_MAIL_PREFIX), "SMTP:");
    EXPECT_EQ(Text(web.m_hWnd, IDC_WWW_PORT), "8088");
    EXPECT_EQ(Text(bar.m_hWnd, IDC_KEY_CHAR), "V");
    EXPECT_NE(Text(book.m_hWnd, IDC_ADDRBOOK_FILE).find("\\OutlookExpressExport.CDF"), std::string::npos);
    EXPECT_EQ(screen.IsDlgButtonChecked(IDC_SCHEME_CUSTOM), 1u) << "the scheme always reads Custom";

    // Changes typed into the pages come back on OK.
    // As a user would: each page is typed into while it is shown.
    s.Show(1);
    ::SetDlgItemTextA(attrib.m_hWnd, IDC_ATTR_NAME, "Vindalex");
    ::CheckDlgButton(attrib.m_hWnd, IDC_ATTR_AUTOLOGIN, BST_UNCHECKED);
    Click(attrib.m_hWnd, IDC_ATTR_AUTOLOGIN);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(attrib.m_hWnd, IDC_ATTR_FROM)))
        << "the active hours follow the start-up box";
    s.Show(5);
    ::SetDlgItemTextA(mail.m_hWnd, IDC_MAIL_NAME, "Other");
    s.Show(6);
    ::SetDlgItemTextA(web.m_hWnd, IDC_WWW_PORT, "8123");
    s.sheet.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(s.sheet.m_hWnd, IDOK));
    EXPECT_TRUE(fxtest::PumpUntil([&] { return s.sheet.m_hWnd == nullptr; })) << "the sheet did not close after OK";
    EXPECT_EQ(s.sheet.m_hWnd, nullptr);
    EXPECT_STREQ(attrib.m_strName, "Vindalex");
    EXPECT_EQ(attrib.m_bAutoLogin, 0);
    EXPECT_EQ(attrib.m_timeActiveFrom.GetHour(), 8);
    EXPECT_EQ(attrib.m_timeActiveUntil.GetMinute(), 45);
    EXPECT_STREQ(mail.m_strName, "Other");
    EXPECT_EQ(web.m_nPort, 8123u);
    EXPECT_EQ(screen.m_Colors[5], 0x606060u);
    EXPECT_TRUE(accept.m_bShown && handheld.m_bShown);
}

TEST(OptionsSheet, LogoSitsLeftOfTheButtonsAndPageKeysWrapAround)
{
    ZLMPage a;
    CAddrBookProp b;
    MailBoxProp c;
    Sheet s({&a, &b, &c});
    CRect logo = s.sheet.GetLogoRect();
    CRect ok;
    ::GetWindowRect(::GetDlgItem(s.sheet.m_hWnd, IDOK), &ok);
    ::MapWindowPoints(nullptr, s.sheet.m_hWnd, reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_FALSE(logo.IsRectEmpty());
    EXPECT_EQ(logo.right, ok.left);
    EXPECT_EQ(logo.top, ok.top);
    EXPECT_EQ(s.sheet.GetLogoText(), CString("Vindalex"));

    // Released keys posted to a control of the page, as the keyboard would.
    struct Step {
        UINT key;
        int page;
    } steps[] = {{VK_PRIOR, 2}, {VK_NEXT, 0}, {VK_NEXT, 1}, {VK_NEXT, 2}, {VK_NEXT, 0}};
    for (const Step& st : steps) {
        HWND focus = ::GetDlgItem(s.sheet.GetActivePage()->m_hWnd, IDC_ZLM_SITE);
        if (!focus)
            focus = s.sheet.GetActivePage()->m_hWnd;
        ::PostMessageA(focus, WM_KEYUP, st.key, 0xC0000001);
        fxtest::PumpUntil([&] { return s.sheet.GetActiveIndex() == st.page; });
        EXPECT_EQ(s.sheet.GetActiveIndex(), st.page) << "after key " << st.key;
    }
}

namespace {
// A wizard page that refuses to be left forward.
class Gate : public CPropertyPage {
public:
    Gate() : CPropertyPage(IDD_WIZARD_WELCOME) {}
    int nextCalls = 0;
    LRESULT OnWizardNext() override
    {
        ++nextCalls;
        return -1;
    }
};
}  // namespace

TEST(OptionsSheet, WizardPageDownGoesThroughThePagesNextLogic)
{
    Gate gate;
    ZLMPage second;
    Sheet s({&gate, &second}, true);
    ASSERT_EQ(s.sheet.GetActiveIndex(), 0);
    fxtest::DrainQueue();
    ::PostMessageA(gate.m_hWnd, WM_KEYUP, VK_NEXT, 0xC0000001);
    EXPECT_TRUE(fxtest::PumpUntil([&] { return gate.nextCalls > 0; })) << "Page Down never reached the page's Next";
    fxtest::DrainQueue();
    EXPECT_EQ(gate.nextCalls, 1) << "Page Down pressed Next";
    EXPECT_EQ(s.sheet.GetActivePage(), &gate) << "the page refused: the wizard stays";
}

TEST(OptionsPages, RefreshRateArrowsAndRange)
{
    struct Case {
        UINT from;
        int delta;
        UINT to;
    } cases[] = {{3595, -1, 3600}, {3600, -1, 3600}, {5, 1, 1}, {50, 1, 40}, {50, -1, 60}, {0, -1, 10}};
    for (const Case& c : cases)
        EXPECT_EQ(AttribPage::StepRefreshRate(c.from, c.delta), c.to) << c.from << " " << c.delta;

    AttribPage attrib;
    attrib.m_nRefreshRate = 3595;
    MailBoxProp other;
    Sheet s({&attrib, &other});
    // The arrow control's notification, as the control sends it for the upper arrow.
    NMUPDOWN nm = {};
    nm.hdr.hwndFrom = ::GetDlgItem(attrib.m_hWnd, IDC_ATTR_REFRESH_SPIN);
    nm.hdr.idFrom = IDC_ATTR_REFRESH_SPIN;
    nm.hdr.code = UDN_DELTAPOS;
    nm.iDelta = -1;
    ::SendMessageA(attrib.m_hWnd, WM_NOTIFY, IDC_ATTR_REFRESH_SPIN, (LPARAM)&nm);
    EXPECT_EQ(Text(attrib.m_hWnd, IDC_ATTR_REFRESH), "3600");

    // "0" is refused when the page is left: the user stays, told the range.
    fxtest::MessageBoxRecorder boxes;
    ::SetDlgItemTextA(attrib.m_hWnd, IDC_ATTR_REFRESH, "0");
    s.sheet.SetActivePage(1);
    EXPECT_EQ(s.sheet.GetActivePage(), &attrib);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST(OptionsPages, ScreenSchemesAndPickerChangesSelectCustom)
{
    CInterfacePage screen;
    for (auto& c : screen.m_Colors)
        c = 0x123456;
    Sheet s({&screen});
    Click(screen.m_hWnd, IDC_SCHEME_STEEL);
    ::CheckRadioButton(screen.m_hWnd, IDC_SCHEME_FACTORY, IDC_SCHEME_CUSTOM, IDC_SCHEME_STEEL);
    Click(screen.m_hWnd, IDC_SCHEME_STEEL);
    screen.UpdateData(TRUE);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(screen.m_Colors[i], CInterfacePage::kSteel[i]) << i;
    EXPECT_EQ(screen.m_nScheme, 1);
    ::CheckRadioButton(screen.m_hWnd, IDC_SCHEME_FACTORY, IDC_SCHEME_CUSTOM, IDC_SCHEME_FACTORY);
    Click(screen.m_hWnd, IDC_SCHEME_FACTORY);
    screen.UpdateData(TRUE);
    EXPECT_EQ(screen.m_Colors[5], 0x4040FFu);
    // A colour chosen in a picker makes the scheme custom.
    screen.SendMessage(CPN_SELENDOK, 0x00FF00, IDC_PICK_2);
    EXPECT_EQ(screen.IsDlgButtonChecked(IDC_SCHEME_CUSTOM), 1u);
    screen.UpdateData(TRUE);
    EXPECT_EQ(screen.m_nScheme, 2);
}

TEST(OptionsPages, PluginRowsKeepTheirThreeTextsAndADoubleClickOpensTheSettings)
{
    g_activeFlag = 0;
    g_settingsCalls = 0;
    CPluginProp page;
    page.m_Plugins.push_back({SharedBufferNames, ToggleActive});
    Sheet s({&page});
    HWND list = ::GetDlgItem(page.m_hWnd, IDC_PLUGIN_LIST);
    ASSERT_EQ(ListCount(list), 1);
    EXPECT_STREQ(ListText(list, 0, 0), "Sends your mail");
    EXPECT_STREQ(ListText(list, 0, 1), "No");
    EXPECT_STREQ(ListText(list, 0, 2), "Ostrel Software");

    // A double click beside the rows does nothing; on the row it opens the settings.
    RECT row = {};
    row.left = LVIR_LABEL;
    ::SendMessageA(list, LVM_GETITEMRECT, 0, (LPARAM)&row);
    const int y = (row.top + row.bottom) / 2;
    ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 4, y + 80));
    EXPECT_EQ(g_settingsCalls, 0);
    ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 4, y));
    fxtest::DrainQueue();
    EXPECT_EQ(g_settingsCalls, 1);
    EXPECT_STREQ(ListText(list, 0, 1), "Yes");
}

TEST(OptionsPages, AcceptedSendersRefuseEmptyEntriesAndCollectTheRest)
{
    CAssistantSettings settings;
    settings.AddOKAddress("boss@x.org");
    settings.AddOKAddress("");  // written by an older sheet
    CAcceptAddress page(&settings);
    {
        Sheet s({&page});
        HWND list = ::GetDlgItem(page.m_hWnd, IDC_ADDR_LIST);
        EXPECT_EQ(ListCount(list), 2);
        // "Add New": an empty address keeps the dialog open; a typed one is added at the end.
        int stage = 0;
        optest::ModalDriver driver([&] {
            HWND dlg = optest::FindThreadWindow("Add Email Address");
            if (!dlg)
                return false;
            if (stage == 0) {
                EXPECT_EQ(Text(dlg, IDC_ADD_PROMPT), "Enter Email address I can accept messages from.");
                EXPECT_EQ(::SendDlgItemMessageA(dlg, IDC_ADD_ADDRESS, EM_GETLIMITTEXT, 0, 0), 128);
                optest::SaveWindowPicture(dlg, "add_address_dialog");
                ::SetDlgItemTextA(dlg, IDC_ADD_ADDRESS, "   ");
                Click(dlg, IDOK);
                stage = 1;
                return false;
            }
            EXPECT_TRUE(::IsWindowVisible(dlg)) << "an empty address was not taken";
            ::SetDlgItemTextA(dlg, IDC_ADD_ADDRESS, "jane@y.org");
            Click(dlg, IDOK);
            return true;
        }, "the Add Email Address dialog to refuse a blank address and take a typed one");
        Click(page.m_hWnd, IDC_ADDR_ADD);
        EXPECT_TRUE(driver.Done() && !driver.GaveUp());
        ASSERT_EQ(ListCount(list), 3);
        EXPECT_STREQ(ListText(list, 2, 0), "jane@y.org");
        // Remove without a selection does nothing; with one, that row goes.
        Click(page.m_hWnd, IDC_ADDR_REMOVE);
        EXPECT_EQ(ListCount(list), 3);
        LVITEMA sel = {};
        sel.stateMask = sel.state = LVIS_SELECTED;
        ::SendMessageA(list, LVM_SETITEMSTATE, 0, (LPARAM)&sel);
        Click(page.m_hWnd, IDC_ADDR_REMOVE);
        EXPECT_EQ(ListCount(list), 2);
    }
    ASSERT_EQ(page.m_Addresses.size(), 1u) << "the empty row is not handed back";
    EXPECT_STREQ(page.m_Addresses[0], "jane@y.org");
}

TEST(OptionsPages, ForwardRulesStayPairedInTheSortedList)
{
    CAssistantSettings settings;
    settings.AddForwardAddress("zed@x.org", "pager-z@x.org");
    settings.AddShortAddress("*@pager.example");
    CHandheldProp page(&settings);
    page.m_nShortMessageLength = 120;
    {
        Sheet s({&page});
        optest::ModalDriver driver([&] {
            HWND dlg = optest::FindThreadWindow("Add Email Address");
            if (!dlg || !::GetDlgItem(dlg, IDC_ADD_TO))
                return false;
            ::SetDlgItemTextA(dlg, IDC_ADD_FROM, "amy@x.org");
            ::SetDlgItemTextA(dlg, IDC_ADD_TO, "pager-a@x.org");
            optest::SaveWindowPicture(dlg, "add_forward_rule_dialog");
            Click(dlg, IDOK);
            return true;
        }, "the Add Email Address dialog to take a forward rule");
        Click(page.m_hWnd, IDC_FWD_ADD);
        EXPECT_TRUE(driver.Done() && !driver.GaveUp());
        HWND list = ::GetDlgItem(page.m_hWnd, IDC_FWD_LIST);
        ASSERT_EQ(ListCount(list), 2);
        EXPECT_STREQ(ListText(list, 0, 0), "amy@x.org");
        EXPECT_STREQ(ListText(list, 0, 1), "pager-a@x.org");
        EXPECT_STREQ(ListText(list, 1, 1), "pager-z@x.org");
        // 2001 is refused when the page's values are read.
        fxtest::MessageBoxRecorder boxes;
        ::SetDlgItemTextA(page.m_hWnd, IDC_SHORT_LENGTH, "2001");
        EXPECT_FALSE(page.UpdateData(TRUE));
        EXPECT_EQ(boxes.boxes.size(), 1u);
        ::SetDlgItemTextA(page.m_hWnd, IDC_SHORT_LENGTH, "150");
    }
    ASSERT_EQ(page.m_ForwardFrom.size(), 2u);
    EXPECT_STREQ(page.m_ForwardFrom[0], "amy@x.org");
    EXPECT_STREQ(page.m_ForwardTo[0], "pager-a@x.org");
    EXPECT_STREQ(page.m_ForwardTo[1], "pager-z@x.org");
    ASSERT_EQ(page.m_ShortAddresses.size(), 1u);
}

TEST(OptionsDialogs, ProgramPasswordGateAndItsOneLimit)
{
    struct Case {
        const char* typed;
        int button;
        bool passes;
    } cases[] = {{"sixteen-chars-pw", IDOK, true}, {"wrong", IDOK, false}, {"sixteen-chars-pw", IDCANCEL, false}};
    for (const Case& c : cases) {
        optest::ModalDriver driver([&] {
            HWND dlg = optest::FindThreadWindow("Program Password");
            if (!dlg)
                return false;
            EXPECT_EQ(::SendDlgItemMessageA(dlg, IDC_PROGRAM_PASSWORD, EM_GETLIMITTEXT, 0, 0),
                      kProgramPasswordMaxChars)
                << "the gate takes what the page takes";
            ::SetDlgItemTextA(dlg, IDC_PROGRAM_PASSWORD, c.typed);
            Click(dlg, c.button);
            return true;
        }, "the Program Password dialog to take the typed password");
        EXPECT_EQ(PassProgramPasswordGate("sixteen-chars-pw"), c.passes) << c.typed;
        EXPECT_TRUE(driver.Done());
    }
    // Nothing stored: no dialog at all.
    EXPECT_TRUE(PassProgramPasswordGate(""));
}

TEST(OptionsDialogs, LoginDialogKeepsTheSessionPasswordWhenItCannotBeTyped)
{
    for (int ask : {0, 1}) {
        CWWWServerProp page;
        page.m_strLogin1Name = "web";
        page.m_strSessionPassword = "kept";
        page.m_strLogin2Name = "private";
        Sheet s({&page});
        optest::ModalDriver driver([&] {
            HWND dlg = optest::FindThreadWindow("Login Name Password");
            if (!dlg)
                return false;
            EXPECT_EQ(::IsWindowEnabled(::GetDlgItem(dlg, IDC_LOGIN_SESSION_PASSWORD)) != 0, ask == 1);
            optest::SaveWindowPicture(dlg, "login_password_dialog");
            ::SetDlgItemTextA(dlg, IDC_LOGIN_NAME, "changed");
            Click(dlg, IDOK);
            return true;
        }, "the Login Name Password dialog to take the typed name");
        Click(page.m_hWnd, ask ? IDC_WWW_LOGIN1 : IDC_WWW_LOGIN2);
        EXPECT_TRUE(driver.Done());
        EXPECT_STREQ(ask ? page.m_strLogin1Name : page.m_strLogin2Name, "changed");
        EXPECT_STREQ(page.m_strSessionPassword, "kept");
    }
}

TEST(OptionsDialogs, WebPageFactoryColoursKeepTheRest)
{
    CWWWServerProp page;
    page.m_nPort = 8088;
    Sheet s({&page});
    fxtest::MessageBoxRecorder boxes;
    Click(page.m_hWnd, IDC_WWW_FACTORY);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(page.m_Colors[i], CWWWServerProp::kFactory[i]);
    EXPECT_EQ(page.m_nPort, 8088u);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text.rfind("Colors only updated.", 0), 0u);
}

TEST(Wizard, DonePageSummarisesTheChoices)
{
    const char* const kChecks =
        "There may be updates to Vindalex on our website.\r\nVindalex will automatically check for you if you are "
        "connected to the internet. No information is sent, a file is downloaded from our site and YOUR assistant "
        "will compare versions and download new files, if necessary.";
    const char* const kDoesNotCheck =
        "There may be updates to Vindalex on our website.\r\nYou chose to check for them yourself, so Vindalex will "
        "not check automatically. Please visit our website from time to time, or choose \"Check web for program "
        "update\" on the Actions menu when you are connected to the internet.";
    struct Case {
        const char* name;
        int email;
        int bar;
        int noUpdates;
        const char* nameLine;
        const char* mailLine;
        const char* barLine;
        const char* updatesText;
    } cases[] = {
        {"Vindi", 1, 1, 0, "My name is Vindi", "I will watch your email for your requests.",
         "I will show you the application bar at the top of the screen.", kChecks},
        {"", 0, 0, 1, "My name is (unnamed)", "You cannot send me email.", "You will not see the application bar.",
         kDoesNotCheck},
    };
    for (const Case& c : cases) {
        CWizardWelcome welcome;
        CWizardName name;
        name.m_strName = c.name;
        name.m_bCheckMAPI = c.email;
        name.m_bNoUpdates = c.noUpdates;
        CAppBarProp bar;
        bar.m_bCreateAppBar = c.bar;
        CWizardDone done;
        Sheet s({&welcome, &name, &bar, &done}, true);
        fxtest::MessageBoxRecorder boxes;
        for (int i = 1; i < 4; ++i) {
            s.sheet.PressButton(PSBTN_NEXT);
            EXPECT_TRUE(fxtest::PumpUntil([&] { return s.sheet.GetActiveIndex() == i; })) << "Next did not reach page " << i;
            optest::SaveWindowPicture(s.sheet.m_hWnd, std::string("wizard_page_") + std::to_string(i) + (c.email ? "_a" : "_b"));
        }
        ASSERT_EQ(s.sheet.GetActivePage(), &done);
        EXPECT_EQ(Text(done.m_hWnd, IDC_WIZ_DONE_NAME), c.nameLine);
        EXPECT_EQ(Text(done.m_hWnd, IDC_WIZ_DONE_MAIL), c.mailLine);
        EXPECT_EQ(Text(done.m_hWnd, IDC_WIZ_DONE_BAR), c.barLine);
        EXPECT_EQ(Text(done.m_hWnd, IDC_WIZ_DONE_UPDATES), c.updatesText);
        EXPECT_EQ(boxes.boxes.size(), c.name[0] ? 0u : 1u) << "the name message once per leaving";
        EXPECT_STREQ(name.m_strName, c.name) << "the page's own name stays as typed";
        // Typing into the summary is undone at once.
        HWND edit = ::GetDlgItem(done.m_hWnd, IDC_WIZ_DONE_UPDATES);
        ::SendMessageA(edit, EM_SETSEL, 0, 0);
        ::SendMessageA(edit, WM_CHAR, 'x', 0);
        EXPECT_EQ(Text(done.m_hWnd, IDC_WIZ_DONE_UPDATES), c.updatesText);

        // Going back and changing the box changes the summary.
        for (int i = 2; i >= 1; --i) {
            s.sheet.PressButton(PSBTN_BACK);
            ASSERT_TRUE(fxtest::PumpUntil([&] { return s.sheet.GetActiveIndex() == i; })) << "Back did not reach page " << i;
        }
        ::CheckDlgButton(name.m_hWnd, IDC_NO_UPDATES, c.noUpdates ? BST_UNCHECKED : BST_CHECKED);
        for (int i = 2; i < 4; ++i) {
            s.sheet.PressButton(PSBTN_NEXT);
            ASSERT_TRUE(fxtest::PumpUntil([&] { return s.sheet.GetActiveIndex() == i; })) << "Next did not reach page " << i;
        }
        EXPECT_EQ(Text(done.m_hWnd, IDC_WIZ_DONE_UPDATES), c.noUpdates ? kChecks : kDoesNotCheck);
    }
}

// Every push button of every page shows its whole caption (measured in the
// button's own font, inside its edges).
TEST(OptionsSheet, EveryPushButtonShowsItsWholeCaption)
{
    // Values the pages accept as they are (no page stops to complain).
    AttribPage attrib;
    attrib.m_strName = "Vindi";
    attrib.m_nRefreshRate = 50;
    attrib.m_timeActiveFrom = CTime(1999, 1, 1, 8, 30, 0);
    attrib.m_timeActiveUntil = CTime(1999, 1, 1, 17, 45, 0);
    CInterfacePage screen;
    CAppBarProp bar;
    bar.m_strKey = "V";
    MailBoxProp mail;
    mail.m_strName = "Profile";
    CWWWServerProp web;
    web.m_nPort = 8088;
    for (int i = 0; i < 5; ++i)
        web.m_Colors[i] = CWWWServerProp::kFactory[i];
    ZLMPage zlm;
    CAddrBookProp book;
    CPluginProp plugins;
    CAssistantSettings settings;
    CAcceptAddress accept(&settings);
    CHandheldProp handheld(&settings);
    CPropertyPage* pages[] = {&zlm, &attrib, &screen, &plugins, &bar, &mail, &web, &accept, &handheld, &book};
    Sheet s({&zlm, &attrib, &screen, &plugins, &bar, &mail, &web, &accept, &handheld, &book});
    int buttons = 0;
    for (int i = 0; i < 10; ++i) {
        s.Show(i);
        HWND page = pages[i]->m_hWnd;
        ASSERT_NE(page, nullptr);
        for (HWND c = ::GetWindow(page, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            char cls[32] = {}, text[128] = {};
            ::GetClassNameA(c, cls, sizeof cls);
            const LONG kind = ::GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK;
            if (lstrcmpiA(cls, "Button") != 0 || (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON))
                continue;
            ::GetWindowTextA(c, text, sizeof text);
            if (!*text)
                continue;
            HDC dc = ::GetDC(c);
            HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(c, WM_GETFONT, 0, 0)));
            RECT need = {0, 0, 0, 0};
            ::DrawTextA(dc, text, -1, &need, DT_SINGLELINE | DT_CALCRECT);
            ::SelectObject(dc, old);
            ::ReleaseDC(c, dc);
            RECT has;
            ::GetClientRect(c, &has);
            // Three pixels of edge and focus frame on each side.
            EXPECT_LE(need.right - need.left, has.right - has.left - 6)
                << "page " << i << ": \"" << text << "\" is cut off";
            ++buttons;
        }
    }
    EXPECT_GT(buttons, 0);
}
