#include "main_frame.h"

#include "frame_hooks.h"
#include "korvane_app.h"
#include "korvane_doc.h"
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

#include <io.h>
#include <shellapi.h>

#include <new>

extern CZLMMapi g_MapiSession;

CMainFrame* g_pMainFrame = nullptr;
CFrameHooks g_FrameHooks;

namespace {
const UINT kTrayIcons[] = {IDI_TRAY_INACTIVE, 142, 143, 144, 145, 146, 147, 148, 0};
CWMOptions g_FrameOptions;
const int kConsoleId = 0xE900;

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
}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ERASEBKGND()
    ON_WM_DROPFILES()
    ON_MESSAGE(WM_INITMENU, OnInitMenuMsg)
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopupMsg)
    ON_MESSAGE(WM_TRAYNOTIFY, OnTrayNotify)
    ON_MESSAGE(0x2490, OnActivateFromOtherInstance)
    ON_COMMAND(ID_ACTIVATE_CMD, OnMailActivate)
    ON_COMMAND(ID_DEACTIVATE_CMD, OnMailDeactivate)
    ON_COMMAND(ID_TRAY_ACTIVATE, OnMailActivate)
    ON_COMMAND(ID_TRAY_DEACTIVATE, OnMailDeactivate)
    ON_COMMAND(ID_OPTIONS, OnOptions)
    ON_COMMAND(ID_CONSOLE, OnConsole)
    ON_COMMAND(ID_PREVIOUS_LOG, OnPreviousLog)
    ON_COMMAND(ID_PASTE_FILES, OnAttachmentCommand)
    ON_COMMAND(ID_CLEAR_FILE, OnAttachmentCommand)
    ON_COMMAND(ID_CHOOSE_FILE, OnAttachmentCommand)
    ON_COMMAND(ID_FILE_NEW_CMD, OnFileNew)
    ON_COMMAND(ID_FILE_CLOSE_CMD, OnFileClose)
    ON_COMMAND(ID_PROCESS_CMD, OnProcess)
    ON_COMMAND(ID_APP_EXIT_CMD, OnAppExit)
    ON_COMMAND(ID_TIP_OF_THE_DAY, OnTipOfTheDay)
    ON_COMMAND(ID_CHECK_WEB_UPDATE, OnCheckWebUpdate)
    ON_COMMAND(ID_APP_ABOUT_CMD, OnAbout)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_TrayIcon(kTrayIcons) { g_pMainFrame = this; }

CMainFrame::~CMainFrame()
{
    CloseConsole();
    if (g_pMainFrame == this)
        g_pMainFrame = nullptr;
}

BOOL CMainFrame::LoadFrame(const char* title)
{
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr,
                                      ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_APP)));
    HMENU menu = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    CREATESTRUCT cs = {};
    cs.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    if (!PreCreateWindow(cs))
        return FALSE;
    return CreateEx(0, cls, title, cs.style, CW_USEDEFAULT, CW_USEDEFAULT, 900, 640, cs.hwndParent, menu);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
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
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT)
{
    static const UINT kIndicators[] = {ID_SEPARATOR, ID_STATUS_PANE};
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, 2))
        return -1;
    m_wndStatusBar.SetPaneInfo(1, ID_STATUS_PANE, SBPS_NORMAL, 200);
    // Caption strip: its own child id; the status bar's id stays the status bar's.
    m_wndCaptionBar.Create(this, IDW_CAPTION_BAR);
    m_wndCaptionBar.SetFontName("Arial");
    m_wndCaptionBar.SetText(AssistantName());
    m_wndCaptionBar.SetIcon(g_Settings.GetCheckMAPI() ? IDI_MAIL_ON : IDI_MAIL_OFF, 0);
    m_wndCaptionBar.SetIcon(g_Settings.GetCreateAppBar() ? IDI_BAR_ON : IDI_BAR_OFF, 1);
    const int web = (g_Settings.GetUseWWWServer() ? 1 : 0) | (g_Settings.GetUseWWWPrivateServer() ? 2 : 0) |
                    (g_Settings.GetUseWWWPublicServer() ? 4 : 0);
    // none, S, P, U, S+U, S+P, P+U, S+P+U
    static const UINT kWebIcons[8] = {176, 177, 178, 181, 179, 180, 182, 183};
    m_wndCaptionBar.SetIcon(kWebIcons[web], 2);

    // The console's background: a real MDI client window, painted by us.
    g_FrameOptions.Init();
    CLIENTCREATESTRUCT ccs = {};
    ccs.idFirstChild = 0xFF00;
    HWND client = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 0, 0, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0xE900 - 1)),
                                    AfxGetInstanceHandle(), &ccs);
    if (client && m_wndMDIClient.SubclassWindow(client)) {
        if (CWMOptions::m_bMainUseBackground2) {
            m_wndMDIClient.SetColor1(CWMOptions::Color1);
            m_wndMDIClient.SetColor2(CWMOptions::Color2);
        } else {
            m_wndMDIClient.SetColor1(CWMOptions::Color2);
            m_wndMDIClient.SetColor2(CWMOptions::Color1);
        }
    }

    m_nMailTimer = SetTimer(IDT_MAIL_TICK, MailTickPeriodMs(g_Settings.GetRefreshRate()));
    m_nFastTimer = SetTimer(IDT_FAST_TICK, 100);

    try {
        m_TrayIcon.SetTooltipText(LoadText(IDS_TRAY_INACTIVE));
    } catch (...) {
    }
    m_TrayIcon.Create(WM_TRAYNOTIFY, this);

    LPCTSTR popupClass = AfxRegisterWndClass(CS_CLASSDC);
    m_wndHiddenPopup.CreateEx(WS_EX_TOPMOST | WS_EX_NOPARENTNOTIFY, popupClass, "", WS_POPUP, 0, 0, 1, 1,
                              nullptr, nullptr);

    if (g_Settings.GetCreateAppBar() == 1 && g_FrameHooks.createShellBar)
        g_FrameHooks.createShellBar();
    // Always built; the settings choose what it serves.
    g_pWebServer = new (std::nothrow) CAssistantWebServer(&g_Settings);
    return 0;
}

void CMainFrame::RecalcLayout()
{
    if (!m_hWnd)
        return;
    CRect r;
    GetClientRect(&r);
    if (m_wndStatusBar.m_hWnd) {
        const int h = m_wndStatusBar.CalcFixedLayout(TRUE, TRUE).cy;
        m_wndStatusBar.MoveWindow(0, r.Height() - h, r.Width(), h);
        r.bottom -= h;
    }
    int top = 0;
    if (m_wndCaptionBar.m_hWnd) {
        const int h = m_wndCaptionBar.CalcHeight(r.Width());
        m_wndCaptionBar.MoveWindow(0, 0, r.Width(), h);
        top = h;
    }
    if (m_wndMDIClient.m_hWnd) {
        m_wndMDIClient.MoveWindow(0, top, r.Width(), r.Height() - top);
        if (m_pConsoleView && m_pConsoleView->m_hWnd) {
            CRect c;
            m_wndMDIClient.GetClientRect(&c);
            c.DeflateRect(8, 8);
            m_pConsoleView->MoveWindow(&c);
        }
    }
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    m_Gate.OnResize();
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
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
    else if (nIDEvent == IDT_FAST_TICK) {
        m_Gate.OnTimer([] { theApp.OnFastTick(); });
        if (m_wndStatusBar.m_hWnd) {
            const CString status = GetStatusText();
            if (status != m_wndStatusBar.GetPaneText(1))
                m_wndStatusBar.SetPaneText(1, status);
        }
    }
    CWnd::OnTimer(nIDEvent);
}

void CMainFrame::OnSetFocus(CWnd* pOldWnd)
{
    if (!m_Gate.InTick())
        CWnd::OnSetFocus(pOldWnd);
}

BOOL CMainFrame::OnEraseBkgnd(CDC*) { return TRUE; }

void CMainFrame::OnDropFiles(HDROP hDropInfo)
{
    const UINT count = ::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH] = {};
        if (::DragQueryFileA(hDropInfo, i, path, MAX_PATH) == 0)
            continue;
        CKorvaneDoc doc;
        if (!doc.OnOpenDocument(path))
            AfxMessageBox(CString("Unexpected file format.\n") + path);
    }
    ::DragFinish(hDropInfo);
    if (m_pConsoleDoc)
        SetCurrentDocument(m_pConsoleDoc);
}

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

LRESULT CMainFrame::OnInitMenuPopupMsg(WPARAM wParam, LPARAM)
{
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    const bool session = g_MapiSession.GetSessionHandle() != 0;
    const bool checkMail = g_Settings.GetCheckMAPI() != 0;
    if (!checkMail && session)
        OnMailDeactivate();
    auto enable = [&](UINT id, bool on) { ::EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
    ::CheckMenuItem(menu, ID_ACTIVATE_CMD, MF_BYCOMMAND | (checkMail && session ? MF_CHECKED : MF_UNCHECKED));
    enable(ID_TRAY_ACTIVATE, checkMail && !session);
    enable(ID_TRAY_DEACTIVATE, checkMail && session);
    enable(ID_OPTIONS, !session);
    CString previous = theApp.m_strAppPath + "\\VindalexB.log";
    enable(ID_PREVIOUS_LOG, _access(previous, 4) == 0);
    return 0;
}

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
        ULONG rc;
        {
            std::lock_guard<std::recursive_mutex> hold(runlog::Lock());
            rc = logon.Logon(&g_MapiSession, g_Settings.GetUNM(), g_Settings.GetUPM(), &g_strLog, &m_wndHiddenPopup);
        }
        ::SetCursor(old);
        if (rc == 0) {
            PostMessage(WM_COMMAND, ID_FILE_NEW_CMD);
            try {
                m_TrayIcon.SetTooltipText(LoadText(IDS_TRAY_ACTIVE));
            } catch (...) {
            }
            m_TrayIcon.ShowActiveIcon();
            UpdateCaption();
        } else {
            g_Settings.SetAutoLogin(0);
            CString text;
            {
                std::lock_guard<std::recursive_mutex> hold(runlog::Lock());
                text = g_strLog;
            }
            AfxMessageBox(text);
            PostMessage(WM_COMMAND, ID_FILE_CLOSE_CMD);
        }
    } catch (...) {
        g_Settings.SetAutoLogin(0);
        AfxMessageBox(LoadText(IDS_LOGON_EXCEPTION));
        PostMessage(WM_COMMAND, ID_FILE_CLOSE_CMD);
    }
}

void CMainFrame::OnMailDeactivate()
{
    m_Gate.SetDeactivating(true);
    try {
        m_TrayIcon.SetTooltipText(LoadText(IDS_TRAY_INACTIVE));
    } catch (...) {
    }
    m_TrayIcon.ShowInactiveIcon();
    g_MapiSession.Logoff(0, nullptr);
    PostMessage(WM_COMMAND, ID_FILE_CLOSE_CMD);
    UpdateCaption();
    m_Gate.SetDeactivating(false);
}

void CMainFrame::OnOptions()
{
    if (g_FrameHooks.runOptions)
        g_FrameHooks.runOptions();
}

void CMainFrame::OnConsole()
{
    ShowWindow(SW_RESTORE);
    PostMessage(WM_ACTIVATE, WA_ACTIVE, 0);
}

void CMainFrame::OnPreviousLog()
{
    CString file = theApp.m_strAppPath + "\\VindalexB.log";
    ::ShellExecuteA(m_hWnd, "open", file, "", theApp.m_strAppPath, SW_SHOW);
}

void CMainFrame::OnAttachmentCommand()
{
    // The attachment belongs to the desktop toolbar; without one there is
    // nothing to set or clear.
}

void CMainFrame::OnFileNew()
{
    if (m_pConsoleView)
        return;
    m_pConsoleDoc = new CKorvaneDoc;
    auto* view = new CKorvaneView(m_pConsoleDoc);
    CRect c(0, 0, 100, 100);
    if (m_wndMDIClient.m_hWnd)
        m_wndMDIClient.GetClientRect(&c);
    if (!view->CreateView(m_wndMDIClient.m_hWnd ? static_cast<CWnd*>(&m_wndMDIClient) : this, c, kConsoleId)) {
        delete view;
        delete m_pConsoleDoc;
        m_pConsoleDoc = nullptr;
        return;
    }
    RecalcLayout();
}

void CMainFrame::CloseConsole()
{
    delete m_pConsoleView;  // clears m_pConsoleView
    m_pConsoleView = nullptr;
    delete m_pConsoleDoc;
    m_pConsoleDoc = nullptr;
}

void CMainFrame::OnFileClose()
{
    if (!m_pConsoleView)
        return;
    // Closing the console ends the mail session.
    g_MapiSession.Logoff(0, nullptr);
    try {
        m_TrayIcon.SetTooltipText("Vindalex is not active.");
    } catch (...) {
    }
    m_TrayIcon.ShowInactiveIcon();
    CloseConsole();
}

void CMainFrame::OnProcess()
{
    // The mail road runs also before the console document exists: the log-on
    // and the first mail check share one tick, and the console opens only
    // after it (a mail found then would otherwise count as handled, unread).
    theApp.m_Engine.OnProcess();
}

void CMainFrame::OnAppExit() { PostMessage(WM_CLOSE); }

void CMainFrame::OnTipOfTheDay() { theApp.OnCmdMsg(ID_TIP_OF_THE_DAY, CN_COMMAND, nullptr, nullptr); }
void CMainFrame::OnCheckWebUpdate() { theApp.OnCmdMsg(ID_CHECK_WEB_UPDATE, CN_COMMAND, nullptr, nullptr); }
void CMainFrame::OnAbout() { theApp.OnCmdMsg(ID_APP_ABOUT_CMD, CN_COMMAND, nullptr, nullptr); }

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
    CloseConsole();
    // The console's last text goes to the log file before the program ends.
    CString chunk;
    runlog::Transfer(theApp.m_strLogPath, &chunk);
    DestroyWindow();
}

void CMainFrame::OnDestroy()
{
    m_TrayIcon.RemoveIcon();
    if (m_wndMDIClient.m_hWnd)
        m_wndMDIClient.UnsubclassWindow();
    CWnd::OnDestroy();
}
