#include "main_frame.h"

#include "frame_hooks.h"
#include "korvane_app.h"
#include "korvane_view.h"
#include "resource.h"
#include "running_log.h"

#include "BmpMenu.h"
#include "assistant_settings.h"
#include "assistant_site.h"
#include "request_engine.h"
#include "mapi/mapi_logon.h"
#include "mapi/zlm_mapi.h"
#include "options/wmoptions.h"
#include "office2k_dlg.h"

#include <commdlg.h>
#include <io.h>
#include <shellapi.h>

#include <new>

extern CZLMMapi g_MapiSession;

CMainFrame* g_pMainFrame = nullptr;
CFrameHooks g_FrameHooks;

namespace {
const UINT kTrayIcons[] = {IDI_TRAY_INACTIVE, 142, 143, 144, 145, 146, 147, 148, 0};
// The frame's copy of the shared appearance options.
CWMOptions g_FrameOptions;

CString AssistantName()
{
    CString name = g_Settings.GetMyName();
    return name.IsEmpty() ? CString("Unnamed Assistant") : name;
}

CString LoadText(UINT id)
{
    CString s;
    s.LoadString(id);
    return s;
}

void SetTrayTip(CAnimTrayIcon& tray, const CString& tip)
{
    try {
        tray.SetTooltipText(tip);
    } catch (...) {
    }
}

CString PreviousLogPath() { return theApp.m_strAppPath + "\\VindalexB.log"; }

// The attachment path of the desktop toolbar, or null while it does not exist.
CString* AttachmentPath() { return g_FrameHooks.attachmentPath ? g_FrameHooks.attachmentPath() : nullptr; }

void AttachmentChanged()
{
    if (g_FrameHooks.repaintShellBar)
        g_FrameHooks.repaintShellBar();
}
}  // namespace

IMPLEMENT_DYNAMIC(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_INITMENU, OnInitMenuMsg)
    ON_MESSAGE(WM_TRAYNOTIFY, OnTrayNotify)
    ON_MESSAGE(WM_ACTIVATE_INSTANCE, OnActivateFromOtherInstance)
    ON_COMMAND(ID_ACTIVATE, OnMailActivate)
    ON_UPDATE_COMMAND_UI(ID_ACTIVATE, OnUpdateMailActivate)
    ON_COMMAND(ID_DEACTIVATE, OnAutoDeactivate)
    ON_UPDATE_COMMAND_UI(ID_DEACTIVATE, OnUpdateNothing)
    ON_COMMAND(ID_TRAY_ACTIVATE, OnMailActivate)
    ON_UPDATE_COMMAND_UI(ID_TRAY_ACTIVATE, OnUpdateTrayActivate)
    ON_COMMAND(ID_TRAY_DEACTIVATE, OnMailDeactivate)
    ON_UPDATE_COMMAND_UI(ID_TRAY_DEACTIVATE, OnUpdateTrayDeactivate)
    ON_COMMAND(ID_OPTIONS, OnOptions)
    ON_UPDATE_COMMAND_UI(ID_OPTIONS, OnUpdateOptions)
    ON_UPDATE_COMMAND_UI(ID_STATUS_PANE, OnUpdateStatusPane)
    ON_COMMAND(ID_CONSOLE, OnConsole)
    ON_COMMAND(ID_PREVIOUS_LOG, OnPreviousLog)
    ON_UPDATE_COMMAND_UI(ID_PREVIOUS_LOG, OnUpdatePreviousLog)
    ON_COMMAND(ID_PASTE_FILES, OnPasteFromExplorer)
    ON_UPDATE_COMMAND_UI(ID_PASTE_FILES, OnUpdateNothing)
    ON_COMMAND(ID_CLEAR_FILE, OnClearFile)
    ON_UPDATE_COMMAND_UI(ID_CLEAR_FILE, OnUpdateNothing)
    ON_COMMAND(ID_CHOOSE_FILE, OnChooseFile)
    // The framework's help commands (there is no help file to open yet).
    ON_COMMAND(ID_HELP_FINDER, CFrameWnd::OnHelpFinder)
    ON_COMMAND(ID_HELP, CFrameWnd::OnHelp)
    ON_COMMAND(ID_CONTEXT_HELP, CFrameWnd::OnContextHelp)
    ON_COMMAND(ID_DEFAULT_HELP, CFrameWnd::OnHelpFinder)
    // One console at a time; the application's handler makes it.
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    // The console document runs the mail road; without one the frame does.
    ON_COMMAND(ID_PROCESS, OnProcess)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_TrayIcon(kTrayIcons) { g_pMainFrame = this; }

CMainFrame::~CMainFrame()
{
    if (g_pMainFrame == this)
        g_pMainFrame = nullptr;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CMDIFrameWnd::PreCreateWindow(cs))
        return FALSE;
    if (!m_bOwnerCreated) {
        m_bOwnerCreated = m_wndOwner.Create(IDD_OWNER, nullptr);
        if (m_bOwnerCreated)
            m_wndOwner.ShowWindow(SW_HIDE);
    }
    if (m_bOwnerCreated) {
        // Owned by a hidden window, the frame can be taken off the taskbar.
        cs.hwndParent = m_wndOwner.GetSafeHwnd();
        HICON icon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_APP));
        m_wndOwner.SetIcon(icon, TRUE);
        m_wndOwner.SetIcon(icon, FALSE);
    }
    // A size that shows the console and its strip without covering the desktop.
    if (cs.cx == static_cast<int>(CW_USEDEFAULT) || cs.cx == 0) {
        cs.cx = 900;
        cs.cy = 640;
    }
    return TRUE;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    g_FrameOptions.Init();
    if (!CMDIFrameWnd::OnCreateClient(lpcs, pContext))
        return FALSE;
    m_wndMDIClient.SubclassWindow(m_hWndMDIClient);
    ApplyBackgroundColours();
    return TRUE;
}

void CMainFrame::ApplyBackgroundColours()
{
    if (CWMOptions::m_bMainUseBackground2) {
        m_wndMDIClient.SetColor1(CWMOptions::Color1);
        m_wndMDIClient.SetColor2(CWMOptions::Color2);
    } else {
        m_wndMDIClient.SetColor1(CWMOptions::Color2);
        m_wndMDIClient.SetColor2(CWMOptions::Color1);
    }
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    static const UINT kIndicators[] = {ID_SEPARATOR, ID_STATUS_PANE};
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, 2))
        return -1;
    m_wndStatusBar.SetPaneInfo(1, ID_STATUS_PANE, SBPS_NORMAL, 200);
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);

    // Caption strip: its own child id; the status bar's id stays the status bar's.
    m_wndCaptionBar.Create(this, IDW_CAPTION_BAR);
    m_wndCaptionBar.SetFontName("Arial");
    m_wndCaptionBar.SetText(AssistantName());
    m_wndCaptionBar.SetIcon(g_Settings.GetCheckMAPI() ? IDI_MAIL_ON : IDI_MAIL_OFF, 0);
    m_wndCaptionBar.SetIcon(g_Settings.GetCreateAppBar() ? IDI_BAR_ON : IDI_BAR_OFF, 1);
    const int web = (g_Settings.GetUseWWWServer() ? 1 : 0) | (g_Settings.GetUseWWWPrivateServer() ? 2 : 0) |
                    (g_Settings.GetUseWWWPublicServer() ? 4 : 0);
    // none, S, P, S+P, U, S+U, P+U, S+P+U
    static const UINT kWebIcons[8] = {176, 177, 178, 181, 179, 180, 182, 183};
    m_wndCaptionBar.SetIcon(kWebIcons[web], 2);

    m_nMailTimer = SetTimer(IDT_MAIL_TICK, MailTickPeriodMs(g_Settings.GetRefreshRate()));
    m_nFastTimer = SetTimer(IDT_FAST_TICK, 100);

    SetTrayTip(m_TrayIcon, LoadText(IDS_TRAY_INACTIVE));
    m_TrayIcon.Create(WM_TRAYNOTIFY, this);

    LPCTSTR popupClass = AfxRegisterWndClass(CS_CLASSDC);
    m_wndHiddenPopup.CreateEx(WS_EX_TOPMOST | WS_EX_NOPARENTNOTIFY, popupClass, "", WS_POPUP, 0, 0, 1, 1,
                              nullptr, nullptr);

    // A first run sets the assistant up before its toolbar and web server exist.
    RunQuickSetup();
    if (g_Settings.GetCreateAppBar() == 1 && g_FrameHooks.createShellBar)
        g_FrameHooks.createShellBar();
    // Always built; the settings choose what it serves.
    g_pWebServer = new (std::nothrow) CAssistantWebServer(&g_Settings);
    RecalcLayout();
    return 0;
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    m_Gate.OnResize();
    CMDIFrameWnd::OnSize(nType, cx, cy);
    SetTaskbarButton(!(cx == 0 && cy == 0));
}

BOOL CMainFrame::SetTaskbarButton(BOOL on)
{
    if (on == m_nTaskbarState)
        return FALSE;
    m_nTaskbarState = on;
    if (!m_bOwnerCreated)
        return FALSE;
    ShowWindow(SW_HIDE);
    if (on)
        ModifyStyleEx(WS_EX_TOOLWINDOW, WS_EX_APPWINDOW);
    else
        ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == IDT_MAIL_TICK)
        m_Gate.OnTimer([] { theApp.OnMailTick(); });
    else if (nIDEvent == IDT_FAST_TICK)
        m_Gate.OnTimer([] { theApp.OnFastTick(); });
    CMDIFrameWnd::OnTimer(nIDEvent);
}

void CMainFrame::OnSetFocus(CWnd* pOldWnd)
{
    if (!m_Gate.InTick())
        CMDIFrameWnd::OnSetFocus(pOldWnd);
}

BOOL CMainFrame::OnEraseBkgnd(CDC*) { return TRUE; }

LRESULT CMainFrame::OnInitMenuMsg(WPARAM wParam, LPARAM)
{
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    const CString help = LoadText(IDS_HELP_MENU);
    const CString tip = LoadText(IDS_TIP_MENU);
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        if (help != text)
            continue;
        HMENU sub = ::GetSubMenu(menu, i);
        if (!sub)
            break;
        char first[128] = {};
        ::GetMenuStringA(sub, 0, first, sizeof first, MF_BYPOSITION);
        if (tip != first) {
            ::InsertMenuA(sub, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            ::InsertMenuA(sub, 0, MF_BYPOSITION | MF_STRING, ID_TIP_OF_THE_DAY, tip);
        }
        break;
    }
    return 0;
}

// Mail command states. With mailbox watching switched off the commands show
// unchecked, and opening a menu also ends a session that is still open.
bool CMainFrame::MailWatchingOff(CCmdUI* pCmdUI)
{
    if (g_Settings.GetCheckMAPI())
        return false;
    pCmdUI->SetCheck(0);
    if (g_MapiSession.GetSessionHandle())
        DeactivateMail(false);
    return true;
}

void CMainFrame::OnUpdateMailActivate(CCmdUI* pCmdUI)
{
    if (!MailWatchingOff(pCmdUI))
        pCmdUI->SetCheck(g_MapiSession.GetSessionHandle() ? 1 : 0);
}

void CMainFrame::OnUpdateTrayActivate(CCmdUI* pCmdUI)
{
    if (!MailWatchingOff(pCmdUI))
        pCmdUI->Enable(g_MapiSession.GetSessionHandle() == 0);
}

void CMainFrame::OnUpdateTrayDeactivate(CCmdUI* pCmdUI)
{
    if (!g_Settings.GetCheckMAPI())
        pCmdUI->SetCheck(0);
    else
        pCmdUI->Enable(g_MapiSession.GetSessionHandle() != 0);
}

void CMainFrame::OnUpdateOptions(CCmdUI* pCmdUI) { pCmdUI->Enable(g_MapiSession.GetSessionHandle() == 0); }

void CMainFrame::OnUpdateStatusPane(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetText(GetStatusText());
}

void CMainFrame::OnUpdatePreviousLog(CCmdUI* pCmdUI) { pCmdUI->Enable(_access(PreviousLogPath(), 4) == 0); }

void CMainFrame::OnUpdateNothing(CCmdUI*) {}

LRESULT CMainFrame::OnTrayNotify(WPARAM, LPARAM lParam)
{
    if (lParam != WM_LBUTTONDOWN && lParam != WM_RBUTTONDOWN)
        return 0;
    HBITMAP side = ::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(131));
    {
        CBmpMenu menu(24, 1, side, 1);
        HMENU bar = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_TRAYMENU));
        if (bar) {
            menu.Attach(::GetSubMenu(bar, 0));
            menu.SetTitle("Vindalex");
            CWnd* owner = m_pConsoleView ? static_cast<CWnd*>(m_pConsoleView) : this;
            menu.EnableMenuItem(ID_TRAY_DEACTIVATE, m_pConsoleView ? MF_ENABLED : MF_GRAYED);
            menu.EnableMenuItem(ID_TRAY_ACTIVATE, m_pConsoleView ? MF_GRAYED : MF_ENABLED);
            POINT pt;
            ::GetCursorPos(&pt);
            SetForegroundWindow();
            menu.TrackPopupMenu(TPM_RIGHTBUTTON, pt.x, pt.y, owner);
            menu.Detach();
            ::DestroyMenu(bar);
        }
    }
    if (side)
        ::DeleteObject(side);
    return 0;
}

LRESULT CMainFrame::OnActivateFromOtherInstance(WPARAM, LPARAM)
{
    if (g_FrameHooks.activateShellBar)
        g_FrameHooks.activateShellBar();
    return 0;
}

void CMainFrame::UpdateCaption() { m_wndCaptionBar.SetText(AssistantName()); }

void CMainFrame::OnMailActivate()
{
    if (!g_Settings.GetCheckMAPI())
        return;
    try {
        // What the last session logged is kept in the log file, not dropped.
        runlog::FlushAndClear(theApp.m_strLogPath);
        if (g_MapiSession.GetSessionHandle()) {
            OnMailDeactivate();
            return;
        }
        HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        CMAPILogon logon;
        // The logon writes into a text of its own (it may show a dialog, and
        // the log's lock is not held across one); its lines then join the log.
        CString logonLog;
        ULONG rc = logon.Logon(&g_MapiSession, g_Settings.GetUNM(), g_Settings.GetUPM(), &logonLog, &m_wndHiddenPopup);
        runlog::Append(logonLog);
        ::SetCursor(old);
        if (rc == 0) {
            PostMessage(WM_COMMAND, ID_FILE_NEW);
            SetTrayTip(m_TrayIcon, LoadText(IDS_TRAY_ACTIVE));
            m_TrayIcon.ShowActiveIcon();
            UpdateCaption();
        } else {
            g_Settings.SetAutoLogin(0);
            AfxMessageBox(logonLog);
            PostMessage(WM_COMMAND, ID_FILE_CLOSE);
        }
    } catch (...) {
        g_Settings.SetAutoLogin(0);
        AfxMessageBox(LoadText(IDS_LOGON_EXCEPTION));
        PostMessage(WM_COMMAND, ID_FILE_CLOSE);
    }
}

void CMainFrame::OnMailDeactivate() { DeactivateMail(true); }

void CMainFrame::OnAutoDeactivate() { DeactivateMail(false); }

void CMainFrame::DeactivateMail(bool byUser)
{
    // Without the hold, automatic activation (every tick while logged off,
    // without active hours) would log straight back on and open a new console.
    if (byUser)
        theApp.m_Engine.HoldDeactivation();
    m_Gate.SetDeactivating(true);
    SetTrayTip(m_TrayIcon, LoadText(IDS_TRAY_INACTIVE));
    m_TrayIcon.ShowInactiveIcon();
    g_MapiSession.Logoff(0, nullptr);
    PostMessage(WM_COMMAND, ID_FILE_CLOSE);
    UpdateCaption();
    m_Gate.SetDeactivating(false);
}

void CMainFrame::OnConsole()
{
    ShowWindow(SW_RESTORE);
    PostMessage(WM_ACTIVATE, WA_ACTIVE, 0);
}

void CMainFrame::OnPreviousLog()
{
    ::ShellExecuteA(m_hWnd, "open", PreviousLogPath(), "", theApp.m_strAppPath, SW_SHOW);
}

void CMainFrame::OnClearFile()
{
    CString* path = AttachmentPath();
    if (!path)
        return;
    path->Empty();
    AttachmentChanged();
}

void CMainFrame::OnChooseFile()
{
    CString* path = AttachmentPath();
    if (!path)
        return;
    static const char kFilter[] =
        "Text documents (*.doc;*.txt;*.wpd;*.wri)|*.doc;*.txt;*.wpd;*.wri|"
        "Spreadsheets (*.xls;*.xl*)|*.xl*|"
        "Graphic Files (*.gif;*.jpg;*.jpe*;*.bmp;*.rle;*.png;*.tif*)|*.gif;*.jpg;*.jpe*;*.bmp;*.rle;*.png;*.tif*|"
        "Web Pages (*.htm*)|*.htm*|"
        "Sounds (*.wav)|*.wav|"
        "All Files (*.*)|*.*||";
    COffice2KDlg dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter, this);
    dlg.m_ofn.lpstrTitle = "Select File";
    if (dlg.DoModal() != IDOK)
        return;
    const CString file = dlg.GetPathName();
    *path = file;
    AttachmentChanged();
}

void CMainFrame::OnPasteFromExplorer()
{
    CString* path = AttachmentPath();
    if (!path || !::OpenClipboard(m_hWnd))
        return;
    if (HDROP drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP))) {
        char file[MAX_PATH] = {};
        // Only the first of several files becomes the attachment.
        if (::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 0 && ::DragQueryFileA(drop, 0, file, MAX_PATH) > 0) {
            *path = file;
            AttachmentChanged();
        }
    }
    ::CloseClipboard();
}

void CMainFrame::OnFileNew()
{
    if (m_pConsoleView)
        return;
    theApp.OnFileNew();
}

void CMainFrame::OnProcess()
{
    // The mail road runs also before the console document exists: the log-on
    // and the first mail check share one tick, and the console opens only
    // after it (a mail found then would otherwise count as handled, unread).
    theApp.m_Engine.OnProcess();
}

CString CMainFrame::GetStatusText() const
{
    if (!theApp.IsParserReady())
        return LoadText(IDS_STATUS_LOADING);
    if (g_MapiSession.GetSessionHandle()) {
        if (theApp.m_Engine.m_nUnreadCount == -1)
            return LoadText(IDS_STATUS_WAITING);
        CString s;
        s.Format(LoadText(IDS_STATUS_UNREAD), theApp.m_Engine.m_nUnreadCount);
        return s;
    }
    return LoadText(IDS_STATUS_NOT_LOGGED);
}

void CMainFrame::OnClose()
{
    if (m_nMailTimer != static_cast<UINT_PTR>(-1))
        KillTimer(m_nMailTimer);
    if (m_nFastTimer != static_cast<UINT_PTR>(-1))
        KillTimer(m_nFastTimer);
    if (m_nThirdTimer != static_cast<UINT_PTR>(-1))
        KillTimer(m_nThirdTimer);
    m_nMailTimer = m_nFastTimer = m_nThirdTimer = static_cast<UINT_PTR>(-1);
    delete g_pWebServer;
    g_pWebServer = nullptr;
    if (g_FrameHooks.destroyShellBar)
        g_FrameHooks.destroyShellBar();
    g_MapiSession.Logoff(0, nullptr);
    if (m_wndHiddenPopup.m_hWnd)
        m_wndHiddenPopup.DestroyWindow();
    CMDIFrameWnd::OnClose();
}

void CMainFrame::OnDestroy()
{
    // A frame destroyed without its close (its hidden owner went first, as
    // when every window of the program is closed) still stores the toolbar.
    if (g_FrameHooks.destroyShellBar)
        g_FrameHooks.destroyShellBar();
    m_TrayIcon.RemoveIcon();
    // The console's last text goes to the log file before the program ends.
    CString chunk;
    runlog::Transfer(theApp.m_strLogPath, &chunk);
    CMDIFrameWnd::OnDestroy();
    if (m_wndMDIClient.m_hWnd)
        m_wndMDIClient.UnsubclassWindow();
}
