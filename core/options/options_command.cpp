#include "options_command.h"

#include "address_pages.h"
#include "assistant_settings.h"
#include "attrib_page.h"
#include "interface_page.h"
#include "mapi/text_scramble.h"
#include "options/wmoptions.h"
#include "options_ids.h"
#include "program_password_dlg.h"
#include "sheet_with_logo.h"
#include "simple_pages.h"
#include "wizard_pages.h"
#include "www_server_prop.h"

namespace {

const char kLogo[] = "Vindalex";

CString Plain(CString stored, int key)
{
    ZLMUnscrambleText(stored, key);
    return stored;
}

CString Stored(CString plain, int key)
{
    ZLMScrambleText(plain, key);
    return plain;
}

template <class F>
void Call(const F& f)
{
    if (f)
        f();
}

// The values both the sheet and the wizard carry on their shared pages.
void FillScreen(CInterfacePage& page)
{
    const COLORREF colours[6] = {CWMOptions::Color1,     CWMOptions::Color2,     CWMOptions::Color3,
                                 CWMOptions::ColorText1, CWMOptions::ColorText2, CWMOptions::ColorText3};
    for (int i = 0; i < 6; ++i)
        page.m_Colors[i] = colours[i];
    page.m_bMainUseBackground2 = CWMOptions::m_bMainUseBackground2;
    page.m_bShowAnim = CWMOptions::m_bShowAnim;
}

void FillKeyboard(CAppBarProp& page, const CAssistantSettings& s)
{
    page.m_bCreateAppBar = s.GetCreateAppBar();
    page.m_bAutoHide = s.GetAutoHideAppBar();
    page.m_bNoShape = s.GetNoShapeAppBar();
    page.m_bShift = s.GetHotKeyShift();
    page.m_bCtrl = s.GetHotKeyCtrl();
    page.m_bAlt = s.GetHotKeyAlt();
    page.m_strKey = s.GetHotKeyChar() ? CString(s.GetHotKeyChar(), 1) : CString();
}

void FillWeb(CWWWServerProp& page, const CAssistantSettings& s)
{
    page.m_bUseWeb = s.GetUseWWWServer();
    page.m_bPrivateSite = s.GetUseWWWPrivateServer();
    page.m_bPublicSite = s.GetUseWWWPublicServer();
    page.m_nPort = static_cast<UINT>(s.GetWPort());
    page.m_strLogin1Name = s.GetWAN();
    page.m_strLogin1Password = s.GetWAP();
    page.m_strSessionPassword = s.GetWSPW();
    page.m_strLogin2Name = s.GetWPN();
    page.m_strLogin2Password = s.GetWPP();
    for (int i = 0; i < 5; ++i)
        page.m_Colors[i] = s.GetWebColor(i);
}

void TakeWeb(const CWWWServerProp& page, CAssistantSettings& s)
{
    s.SetUseWWWServer(page.m_bUseWeb);
    s.SetWAN(page.m_strLogin1Name);
    s.SetWAP(page.m_strLogin1Password);
    s.SetUseWWWPrivateServer(page.m_bPrivateSite);
    s.SetWPN(page.m_strLogin2Name);
    s.SetWPP(page.m_strLogin2Password);
    s.SetUseWWWPublicServer(page.m_bPublicSite);
    s.SetWPort(static_cast<int>(page.m_nPort));
    s.SetWSPW(page.m_strSessionPassword);
    for (int i = 0; i < 5; ++i)
        s.SetWebColor(i, page.m_Colors[i]);
}

}  // namespace

COptionsCommand::COptionsCommand(CAssistantSettings& settings, OptionsEffects effects, CWnd* pParent)
    : m_Settings(settings), m_Effects(std::move(effects)), m_pParent(pParent)
{
}

UINT COptionsCommand::MailIcon(const CAssistantSettings& s) { return s.GetCheckMAPI() ? 168 : 169; }
UINT COptionsCommand::BarIcon(const CAssistantSettings& s) { return s.GetCreateAppBar() ? 166 : 167; }
UINT COptionsCommand::WebIcon(const CAssistantSettings& s)
{
    // none, S, P, S+P, U, S+U, P+U, S+P+U
    static const UINT kWebIcons[8] = {176, 177, 178, 181, 179, 180, 182, 183};
    const int web = (s.GetUseWWWServer() ? 1 : 0) | (s.GetUseWWWPrivateServer() ? 2 : 0) |
                    (s.GetUseWWWPublicServer() ? 4 : 0);
    return kWebIcons[web];
}

bool COptionsCommand::PassGate()
{
    CWMOptions options;
    options.Init();
    return PassProgramPasswordGate(Plain(m_Settings.GetPPM(), kScrambleKeyProgramPassword), m_pParent);
}

void COptionsCommand::CaptionText()
{
    if (m_Effects.setCaptionText) {
        const CString name = m_Settings.GetMyName();
        m_Effects.setCaptionText(name.IsEmpty() ? CString("Unnamed Assistant") : name);
    }
}

void COptionsCommand::ApplyAppearance(const COLORREF c[6], int useBackground2, int showAnim)
{
    CWMOptions options;
    options.Init();
    CWMOptions::Color1 = c[0];
    CWMOptions::Color2 = c[1];
    CWMOptions::Color3 = c[2];
    CWMOptions::ColorText1 = c[3];
    CWMOptions::ColorText2 = c[4];
    CWMOptions::ColorText3 = c[5];
    CWMOptions::m_bMainUseBackground2 = useBackground2;
    CWMOptions::m_bShowAnim = showAnim;
    options.Save();
    Call(m_Effects.windowColoursChanged);
}

void COptionsCommand::ApplyHotKey(int shift, int ctrl, int alt, const CString& key, bool toHook)
{
    if (!ctrl && !alt) {
        AfxMessageBox(IDS_HOTKEY_NO_MODIFIER, MB_ICONINFORMATION);
        return;
    }
    if (key.IsEmpty()) {
        AfxMessageBox(IDS_HOTKEY_NO_KEY, MB_ICONINFORMATION);
        return;
    }
    m_Settings.SetHotKeyShift(shift);
    m_Settings.SetHotKeyAlt(alt);
    m_Settings.SetHotKeyCtrl(ctrl);
    m_Settings.SetHotKeyChar(key[0]);
    if (toHook && m_Effects.setHookHotKey)
        m_Effects.setHookHotKey(key[0], shift, ctrl, alt);
}

void COptionsCommand::RunOptions()
{
    if (!PassGate())
        return;
    CAssistantSettings& s = m_Settings;

    ZLMPage zlm;
    AttribPage attrib;
    attrib.m_strName = s.GetMyName();
    attrib.m_bAutoLogin = s.GetAutoLogin();
    attrib.m_nRefreshRate = static_cast<UINT>(s.GetRefreshRate());
    attrib.m_strProgramPassword = Plain(s.GetPPM(), kScrambleKeyProgramPassword);
    attrib.m_strUnZipPassword = Plain(s.GetUnZipPassword(), kScrambleKeyUnZipPassword);
    attrib.m_strZipPassword = Plain(s.GetZipPassword(), kScrambleKeyZipPassword);
    attrib.m_timeActiveFrom = s.GetTimeStart();
    attrib.m_timeActiveUntil = s.GetTimeEnd();
    attrib.m_bStartMin = s.GetStartMin();
    CInterfacePage screen;
    FillScreen(screen);
    CPluginProp plugins;
    if (m_Effects.plugins)
        plugins.m_Plugins = m_Effects.plugins();
    CAppBarProp keyboard;
    FillKeyboard(keyboard, s);
    MailBoxProp mail;
    mail.m_strName = Plain(s.GetUNM(), kScrambleKeyMailProfile);
    mail.m_strPassword = Plain(s.GetUPM(), kScrambleKeyMailPassword);
    mail.m_bSortByDate = s.GetCheckFIFO();
    mail.m_bAllowInteraction = s.GetCheckMAPI();
    mail.m_strProtocolPrefix = s.GetEmailProtocolPrefix();
    CWWWServerProp web;
    FillWeb(web, s);
    CAcceptAddress accept(&s);
    accept.m_bNoUpdates = s.GetNoUpdates();
    CHandheldProp handheld(&s);
    handheld.m_nShortMessageLength = s.GetShortMessageLength();
    CAddrBookProp book;

    INT_PTR result;
    {
        CPropertySheetWithLogo sheet("Properties", m_pParent);
        for (CPropertyPage* p : std::initializer_list<CPropertyPage*>{&zlm, &attrib, &screen, &plugins, &keyboard,
                                                                      &mail, &web, &accept, &handheld, &book})
            sheet.AddPage(p);
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        sheet.m_psh.dwFlags &= ~PSH_HASHELP;
        sheet.SetLogoText(kLogo);
        result = sheet.DoModal();
    }

    if (result == IDOK) {
        // a. A new program password is typed a second time, or it is cleared.
        CString password = attrib.m_strProgramPassword;
        if (!password.IsEmpty() && password != Plain(s.GetPPM(), kScrambleKeyProgramPassword)) {
            CProgramPasswordDlg confirm(m_pParent);
            if (confirm.DoModal() != IDOK || confirm.m_strPassword != password) {
                AfxMessageBox(IDS_PASSWORD_MISMATCH, MB_ICONEXCLAMATION);
                password.Empty();
            }
        }
        // b. The accepted senders, when their page was opened.
        if (accept.m_bShown) {
            s.ClearOKAddresses();
            for (const CString& a : accept.m_Addresses)
                s.AddOKAddress(a);
        }
        // c-e.
        s.SetEmailProtocolPrefix(mail.m_strProtocolPrefix);
        s.SetCheckFIFO(mail.m_bSortByDate);
        s.SetUNM(Stored(mail.m_strName, kScrambleKeyMailProfile));
        s.SetUPM(Stored(mail.m_strPassword, kScrambleKeyMailPassword));
        s.SetMyName(attrib.m_strName);
        s.SetCheckMAPI(mail.m_bAllowInteraction);
        if (m_Effects.setCaptionIcon)
            m_Effects.setCaptionIcon(MailIcon(s), 0);
        // f.
        CaptionText();
        // g.
        s.SetStartMin(attrib.m_bStartMin);
        s.SetAutoLogin(attrib.m_bAutoLogin);
        s.SetRefreshRate(static_cast<int>(attrib.m_nRefreshRate));
        s.SetPPM(Stored(password, kScrambleKeyProgramPassword));
        s.SetUnZipPassword(Stored(attrib.m_strUnZipPassword, kScrambleKeyUnZipPassword));
        s.SetZipPassword(Stored(attrib.m_strZipPassword, kScrambleKeyZipPassword));
        s.SetNoUpdates(accept.m_bNoUpdates);
        // h.
        s.SetTimeStart(attrib.m_timeActiveFrom);
        s.SetTimeEnd(attrib.m_timeActiveUntil);
        s.SetShortMessageLength(handheld.m_nShortMessageLength);
        if (handheld.m_bShown) {
            s.ClearShortAddresses();
            for (const CString& a : handheld.m_ShortAddresses)
                s.AddShortAddress(a);
            s.ClearForwardAddresses();
            for (size_t i = 0; i < handheld.m_ForwardFrom.size() && i < handheld.m_ForwardTo.size(); ++i)
                s.AddForwardAddress(handheld.m_ForwardFrom[i], handheld.m_ForwardTo[i]);
        }
        // i.
        ApplyAppearance(screen.m_Colors, screen.m_bMainUseBackground2, screen.m_bShowAnim);
        if (m_Effects.shellBarExists && m_Effects.shellBarExists())
            Call(m_Effects.repaintShellBar);
        // j.
        if (attrib.m_strName.IsEmpty())
            AfxMessageBox(IDS_NO_NAME, MB_ICONINFORMATION);
        // k. The desktop toolbar is rebuilt only when one of its switches changed.
        if (keyboard.m_bCreateAppBar != s.GetCreateAppBar() || keyboard.m_bAutoHide != s.GetAutoHideAppBar() ||
            keyboard.m_bNoShape != s.GetNoShapeAppBar()) {
            std::function<void()> closeNotice;
            if (m_Effects.showNotice)
                closeNotice = m_Effects.showNotice(IDS_ADJUSTING);
            s.SetCreateAppBar(keyboard.m_bCreateAppBar);
            s.SetAutoHideAppBar(keyboard.m_bAutoHide);
            s.SetNoShapeAppBar(keyboard.m_bNoShape);
            Call(m_Effects.destroyShellBar);
            Call(m_Effects.saveSettings);
            if (s.GetCreateAppBar())
                Call(m_Effects.createShellBar);
            Call(closeNotice);
        }
        // l.
        ApplyHotKey(keyboard.m_bShift, keyboard.m_bCtrl, keyboard.m_bAlt, keyboard.m_strKey, true);
        // m, n.
        TakeWeb(web, s);
        if (m_Effects.setCaptionIcon) {
            m_Effects.setCaptionIcon(WebIcon(s), 2);
            m_Effects.setCaptionIcon(BarIcon(s), 1);
        }
    }
    // OK or Cancel: saved, the web server rebuilt, the plug-ins told.
    Call(m_Effects.saveSettings);
    Call(m_Effects.rebuildWebServer);
    Call(m_Effects.sendSettingsToPlugins);
}

void COptionsCommand::RunQuickSetup()
{
    CAssistantSettings& s = m_Settings;
    if (s.GetRWO())
        return;
    // Without the program password the wizard stays unrun and is offered again.
    if (!PassGate())
        return;

    CWizardWelcome welcome;
    CWizardName name;
    name.m_strName = s.GetMyName();
    name.m_bCheckMAPI = s.GetCheckMAPI();
    name.m_bNoUpdates = s.GetNoUpdates();
    g_strWizardName = name.m_strName;
    g_bWizardEmail = name.m_bCheckMAPI;
    g_bWizardNoUpdates = name.m_bNoUpdates;
    CInterfacePage screen;
    FillScreen(screen);
    CAppBarProp keyboard;
    FillKeyboard(keyboard, s);
    g_bWizardAppBar = keyboard.m_bCreateAppBar;
    CWWWServerProp web;
    FillWeb(web, s);
    CPluginProp plugins;
    if (m_Effects.plugins)
        plugins.m_Plugins = m_Effects.plugins();
    CAddrBookProp book;
    ZLMPage zlm;
    CWizardDone done;

    INT_PTR result;
    {
        CPropertySheetWithLogo sheet("Quick Setup", m_pParent);
        for (CPropertyPage* p : std::initializer_list<CPropertyPage*>{&welcome, &name, &screen, &keyboard, &web,
                                                                      &plugins, &book, &zlm, &done})
            sheet.AddPage(p);
        sheet.SetWizardMode();
        sheet.SetLogoText(kLogo);
        result = sheet.DoModal();
    }

    if (result == ID_WIZFINISH) {
        s.SetMyName(name.m_strName);
        s.SetCheckMAPI(name.m_bCheckMAPI);
        if (m_Effects.setCaptionIcon)
            m_Effects.setCaptionIcon(MailIcon(s), 0);
        s.SetNoUpdates(name.m_bNoUpdates);
        CaptionText();
        ApplyAppearance(screen.m_Colors, screen.m_bMainUseBackground2, screen.m_bShowAnim);
        s.SetAutoHideAppBar(keyboard.m_bAutoHide);
        s.SetCreateAppBar(keyboard.m_bCreateAppBar);
        s.SetNoShapeAppBar(keyboard.m_bNoShape);
        if (m_Effects.setCaptionIcon)
            m_Effects.setCaptionIcon(BarIcon(s), 1);
        ApplyHotKey(keyboard.m_bShift, keyboard.m_bCtrl, keyboard.m_bAlt, keyboard.m_strKey, false);
        TakeWeb(web, s);
        if (m_Effects.setCaptionIcon)
            m_Effects.setCaptionIcon(WebIcon(s), 2);
    }
    s.SetRWO(1);
    Call(m_Effects.saveSettings);
    Call(m_Effects.sendSettingsToPlugins);
}
