#include "shell_bar.h"

#include "shell_bar_site.h"

#include "BmpMenu.h"
#include "Gradient.h"
#include "files/fileutil.h"
#include "fx/msgbox.h"
#include "notice_dlg.h"
#include "notice_ids.h"
#include "options/wmoptions.h"
#include "winmgr/winmgr.h"

#include <shellapi.h>

CShellBarSite g_ShellBarSite;
CShellBar* CShellBar::m_pShellBar = nullptr;

namespace {
// A window object bound to no window: the toolbar's parent, so that the
// toolbar stands on the desktop without an owner.
CWnd* g_pPlaceholderParent = nullptr;
HMODULE g_hHookLibrary = nullptr;

const UINT ID_SB_CONSOLE = 32779;
const UINT ID_SB_ACTIVATE = 32782;
const UINT ID_SB_DEACTIVATE = 32783;
const UINT ID_SB_PREVIOUS_LOG = 32784;
const UINT ID_SB_OPTIONS = 32796;
const UINT ID_SB_TOGGLE_TOP = 32771;
const UINT ID_SB_TOGGLE_HIDE = 32772;

// The menu's command route as one target, for the item states.
class CMenuRoute : public CCmdTarget {
public:
    explicit CMenuRoute(CShellBar* bar) : m_pBar(bar) {}
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        return m_pBar->RouteMenuCommand(nID, nCode, pExtra, pHandlerInfo);
    }

private:
    CShellBar* m_pBar;
};

int Setting(const std::function<int()>& f, int fallback) { return f ? f() : fallback; }

CString LoadText(UINT id, LPCTSTR fallback)
{
    CString s;
    if (!s.LoadString(id) || s.IsEmpty())
        s = fallback;
    return s;
}
}  // namespace

// ---- The hot-key library.

HMODULE KeyboardHookModule() { return g_hHookLibrary; }

void LoadKeyboardHook(HWND window)
{
    if (g_hHookLibrary)
        return;
    g_hHookLibrary = ::LoadLibraryA("vndHook.dll");
    if (!g_hHookLibrary)
        return;
    typedef BOOL (*HookProc)(HMODULE, HWND);
    if (auto hook = reinterpret_cast<HookProc>(::GetProcAddress(g_hHookLibrary, "HookKeyboard")))
        hook(g_hHookLibrary, window);
}

void SetHookHotKey(char key, BOOL shift, BOOL ctrl, BOOL alt)
{
    if (!g_hHookLibrary)
        return;
    typedef void (*KeysProc)(char, BOOL, BOOL, BOOL);
    if (auto keys = reinterpret_cast<KeysProc>(::GetProcAddress(g_hHookLibrary, "SetHookKeys")))
        keys(key, shift, ctrl, alt);
}

void UnloadKeyboardHook()
{
    if (!g_hHookLibrary)
        return;
    typedef void (*UnhookProc)();
    if (auto unhook = reinterpret_cast<UnhookProc>(::GetProcAddress(g_hHookLibrary, "UnHookKeyboard")))
        unhook();
    ::FreeLibrary(g_hHookLibrary);
    g_hHookLibrary = nullptr;
}

// ---- Creation and destruction.

int CShellBar::CreateShellBar()
{
    if (m_pShellBar)
        return 0;
    g_pPlaceholderParent = new CWnd;
    m_pShellBar = new CShellBar;
    const BOOL created = m_pShellBar->Create(IDD_SHELLBAR, g_pPlaceholderParent);
    if (!created) {
        delete m_pShellBar;
        m_pShellBar = nullptr;
        delete g_pPlaceholderParent;
        g_pPlaceholderParent = nullptr;
        return 0;
    }
    LoadKeyboardHook(m_pShellBar->m_hWnd);
    char key = 'e';
    BOOL shift = FALSE, ctrl = TRUE, alt = TRUE;
    if (g_ShellBarSite.hotKey)
        g_ShellBarSite.hotKey(&key, &shift, &ctrl, &alt);
    SetHookHotKey(key, shift, ctrl, alt);
    return created;
}

void CShellBar::DestroyShellBar()
{
    if (m_pShellBar) {
        UnloadKeyboardHook();
        m_pShellBar->SaveState();
        // The window goes through its whole destruction (the shell forgets
        // the bar, the history is saved) before the object is freed.
        if (m_pShellBar->m_hWnd)
            m_pShellBar->DestroyWindow();
        delete m_pShellBar;
    }
    delete g_pPlaceholderParent;
    g_pPlaceholderParent = nullptr;
    m_pShellBar = nullptr;
}

IMPLEMENT_DYNAMIC(CShellBar, ETSLayoutAppBar)

BEGIN_MESSAGE_MAP(CShellBar, ETSLayoutAppBar)
    ON_BN_CLICKED(ID_SHELLBAR_GO, OnGo)
    ON_BN_DOUBLECLICKED(ID_SHELLBAR_GO, OnGo)
    ON_BN_CLICKED(ID_SHELLBAR_MENU, OnMenuButton)
    ON_BN_DOUBLECLICKED(ID_SHELLBAR_MENU, OnMenuButton)
    ON_COMMAND(ID_SB_CONSOLE, OnConsoleCommand)
    ON_COMMAND(ID_SB_ACTIVATE, OnActivateMail)
    ON_COMMAND(ID_SB_DEACTIVATE, OnNothing)
    ON_COMMAND(ID_SB_PREVIOUS_LOG, OnPreviousLog)
    ON_COMMAND(ID_SB_OPTIONS, OnOptions)
    ON_COMMAND(ID_CLEAR_HISTORY, OnClearHistory)
    ON_COMMAND(ID_CLEAR_HISTORY2, OnClearHistory)
    ON_COMMAND(ID_SB_TOGGLE_TOP, OnToggleOnTop)
    ON_COMMAND(ID_SB_TOGGLE_HIDE, OnToggleAutoHide)
    ON_MESSAGE(WM_ACTIVATE_INSTANCE, OnHotKey)
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopupMsg)
    ON_WM_CONTEXTMENU()
    ON_WM_SYSCOMMAND()
    ON_WM_SIZE()
    ON_WM_MOVE()
    ON_WM_GETMINMAXINFO()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CShellBar::CShellBar() : ETSLayoutAppBar(IDD_SHELLBAR, nullptr), CWindowShaper(nullptr), m_Combo(12, FALSE, 0) {}

CShellBar::~CShellBar()
{
    if (m_pShellBar == this)
        m_pShellBar = nullptr;
}

// ---- Initialisation.

BOOL CShellBar::OnInitDialog()
{
    ETSLayoutAppBar::OnInitDialog();
    m_dwOptions = APPBAR_ALLOW_TOP_BOTTOM | APPBAR_ALLOW_AUTOHIDE | APPBAR_ALLOW_ALWAYSONTOP;

    m_TitleFont.CreateFont(24, 0, 0, 0, FW_BOLD, TRUE, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    m_TextFont.CreateFont(0, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    m_WhitePen.CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    m_BlackPen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    m_ShadowPen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    m_FacePen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE));
    DragAcceptFiles(TRUE);

    CRect client;
    GetClientRect(&client);
    m_szIncrement = {1, client.Height()};
    m_sizeClient = CSize(client.Width(), client.Height());

    // The default record: docked at the top, always on top.
    CAppBarState record = DefaultAppBarState();
    record.state = APPBAR_TOP;
    record.alwaysOnTop = 1;
    CRect window;
    GetWindowRect(&window);
    record.floatRect = {window.left, window.top, window.right + window.Width(), window.bottom};
    {
        const DWORD style = GetStyle();
        ModifyStyle(WS_CAPTION | WS_SYSMENU, 0);
        CRect measure = client;
        ::AdjustWindowRectEx(&measure, GetStyle(), FALSE, GetExStyle());
        ModifyStyle(0, style & (WS_CAPTION | WS_SYSMENU));
        record.dockSize[APPBAR_LEFT] = record.dockSize[APPBAR_RIGHT] = measure.Width();
        record.dockSize[APPBAR_TOP] = record.dockSize[APPBAR_BOTTOM] = measure.Height();
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, SHELLBAR_STATE_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        unsigned char data[sizeof(CAppBarState)] = {};
        DWORD size = sizeof data, type = 0;
        // A value of any other size, or with an unknown state, leaves the default.
        if (::RegQueryValueExA(key, SHELLBAR_STATE_VALUE, nullptr, &type, data, &size) == ERROR_SUCCESS &&
            type == REG_BINARY)
            ReadStoredAppBarState(record, data, size);
        ::RegCloseKey(key);
    }
    record.autoHide = Setting(g_ShellBarSite.autoHide, 0) ? 1 : 0;
    record.alwaysOnTop = Setting(g_ShellBarSite.alwaysOnTop, 1) ? 1 : 0;
    SetState(&record);

    // The shape of the docked window: its size is the record's now, no
    // longer the template's.
    {
        CRect docked;
        GetClientRect(&docked);
        ShapeWindow(docked.Width(), docked.Height());
    }

    m_DropIcon.SubclassDlgItem(IDC_SHELLBAR_DROP, this);
    m_DropIcon.m_pKeepShown = &m_bKeepShown;
    m_DropIcon.m_pRepaint = this;
    m_DropIcon.DragAcceptFiles(TRUE);
    m_Combo.SubclassDlgItem(IDC_SHELLBAR_COMBO, this);
    m_Combo.SetButtonBarPosition(1, FALSE);  // the request line carries no button bar
    m_Combo.m_pKeepShown = &m_bKeepShown;
    m_Combo.LoadHistory(SHELLBAR_HISTORY_VALUE, SHELLBAR_COMPANY, SHELLBAR_APPLICATION, HKEY_CURRENT_USER, FALSE);

    MakeButton(m_MenuButton, IDC_SHELLBAR_MENU_PLACE, ID_SHELLBAR_MENU, "Menu", "Menu");
    MakeButton(m_GoButton, IDC_SHELLBAR_GO_PLACE, ID_SHELLBAR_GO, "&Go", "&Go!");
    Invalidate();

    const int fixed = LayoutFixedWidth | LayoutFixedHeight;
    LayoutPanePtr root = CreateRootPane(LayoutVertical, 5, 0);
    root.AddPane(NewPane(LayoutHorizontal, LayoutFixedHeight, 5)
                     .AddItem(NewFixedSpacer(LayoutHorizontal, 10))
                     .AddItem(NewItem(IDC_SHELLBAR_COMBO, LayoutFixedHeight))
                     .AddItem(NewItem(&m_GoButton, fixed))
                     .AddItem(NewItem(IDC_SHELLBAR_DROP, fixed))
                     .AddItem(NewFixedSpacer(LayoutHorizontal, 10)));
    root.AddPane(NewPane(LayoutHorizontal, LayoutFixedHeight | LayoutCenterHorz, 5)
                     .AddItem(NewFixedSpacer(LayoutHorizontal, 10))
                     .AddItem(NewGrowingSpacer(LayoutHorizontal))
                     .AddItem(NewItem(&m_MenuButton, fixed))
                     .AddItem(NewGrowingSpacer(LayoutHorizontal))
                     .AddItem(NewFixedSpacer(LayoutHorizontal, 10)));
    Relayout();

    m_ToolTip.Create(this);
    m_ToolTip.Activate(TRUE);
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(child);
        if (id == -1 || id == 0xFFFF)
            continue;
        CString tip;
        if (tip.LoadString(static_cast<UINT>(id)) && !tip.IsEmpty())
            m_ToolTip.AddTool(CWnd::FromHandle(child), tip);
    }

    m_nOverlap = Setting(g_ShellBarSite.noShape, 0) ? 0 : LayoutArea().Height() / 8;
    // The overlap changes what the shell reserves: apply the record again.
    ApplyState(GetState());
    return TRUE;
}

void CShellBar::MakeButton(CShapeButton& button, UINT placeholder, UINT id, LPCTSTR caption, LPCTSTR text)
{
    CWnd* place = GetDlgItem(static_cast<int>(placeholder));
    if (!place)
        return;
    CRect r;
    place->GetWindowRect(&r);
    ScreenToClient(&r);
    place->ShowWindow(SW_HIDE);
    button.Create(caption, r, this, id);
    button.SetWindowText(text);
    button.SetColors(CShapeButton::kNoColor, 0xFFFFFF, CShapeButton::kNoColor, 0x4040FF, 0xFFFFFF,
                     CShapeButton::kNoColor);
    button.Capsule(nullptr);
    button.SetDrawText(TRUE);
}

void CShellBar::ShapeButtons()
{
    if (m_MenuButton.m_hWnd)
        m_MenuButton.Capsule(nullptr);
    if (m_GoButton.m_hWnd)
        m_GoButton.Capsule(nullptr);
}

void CShellBar::ApplyLayout(CRect area)
{
    if (area.Width() && area.Height() && m_RootPane)
        m_RootPane->ResizeTo(area);
}

void CShellBar::Relayout()
{
    if (GetState() == APPBAR_FLOAT) {
        ETSLayoutAppBar::Relayout();
        return;
    }
    if (m_RootPane && m_hWnd)
        ApplyLayout(LayoutArea());
}

void CShellBar::ShapeWindow(int width, int height)
{
    if (Setting(g_ShellBarSite.noShape, 0) || !m_hWnd)
        return;
    CRect r(0, 0, width, height);
    ::AdjustWindowRectEx(&r, GetStyle(), FALSE, GetExStyle());
    r.OffsetRect(-r.left, -r.top);
    RoundedBottom(&r);
}

void CShellBar::OnAppBarStateChange(BOOL, int state)
{
    if (!m_hWnd)
        return;
    if (state == APPBAR_FLOAT)
        ModifyStyle(0, WS_CAPTION | WS_SYSMENU, SWP_FRAMECHANGED);
    else
        ModifyStyle(WS_CAPTION | WS_SYSMENU, 0, SWP_FRAMECHANGED);
}

BOOL CShellBar::PreTranslateMessage(MSG* pMsg)
{
    if (m_hWnd && m_ToolTip.m_hWnd)
        m_ToolTip.RelayEvent(pMsg);
    return ETSLayoutAppBar::PreTranslateMessage(pMsg);
}

// ---- Commands.

void CShellBar::OnOK() { OnGo(); }

void CShellBar::OnCancel()
{
    m_strRequest.Empty();
    if (m_Combo.m_hWnd)
        m_Combo.SetWindowText("");
}

void CShellBar::ShowNotice(LPCTSTR text)
{
    // A notice on the desktop that closes by itself, so the request line
    // stays usable; the window manager owns it once attached.
    auto* notice = new CNoticeDlg(nullptr);
    notice->m_strText = text;
    if (!notice->Create(IDD_NOTICE, g_WindowMgr.GetParent())) {
        delete notice;
        AfxShowMessageBox(m_hWnd, text, "Vindalex Personal Assistant", MB_OK | MB_ICONINFORMATION);
    } else {
        g_WindowMgr.AttachWindow(notice, 0);
    }
    // Showing the notice took the focus: the request line gets it back.
    if (m_Combo.m_hWnd)
        m_Combo.SetFocus();
}

void CShellBar::OnGo()
{
    if (!m_Combo.m_hWnd)
        return;
    m_Combo.GetWindowText(m_strRequest);
    m_strFile = m_DropIcon.m_strPath;
    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    const int result = g_ShellBarSite.runRequest ? g_ShellBarSite.runRequest(m_strRequest, m_strFile) : 0;
    ::SetCursor(old);
    if (result == 2) {
        // The request is kept for another try.
        ShowNotice(SHELLBAR_TEXT_BUSY);
    } else if (result == 0) {
        ShowNotice(LoadText(IDS_NOT_UNDERSTOOD, SHELLBAR_TEXT_NOT_UNDERSTOOD));
    } else {
        m_Combo.AddToHistory();
        m_strRequest.Empty();
        m_Combo.SetWindowText("");
        // Stored at once too, so a program that ends abruptly loses nothing.
        m_Combo.SaveHistory(SHELLBAR_HISTORY_VALUE, SHELLBAR_COMPANY, SHELLBAR_APPLICATION, HKEY_CURRENT_USER, FALSE);
    }
}

void CShellBar::OnMenuButton()
{
    // The menu reports to the toolbar, which hands each command to the console
    // view first (see RouteMenuCommand): the view alone would drop what it
    // does not handle itself (options, previous log, activate, about).
    CRect r;
    m_MenuButton.GetWindowRect(&r);
    HBITMAP side = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(131));
    HMENU bar = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_SHELLBAR_MENU));
    if (bar) {
        m_bKeepShown = TRUE;
        {
            CBmpMenu menu(24, 1, side, 1);
            menu.SetTitle("Main");
            menu.Attach(bar);
            menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.left, r.bottom, this);
            menu.Detach();
        }
        m_bKeepShown = FALSE;
        ::DestroyMenu(bar);
    }
    if (side)
        ::DeleteObject(side);
}

BOOL CShellBar::RouteMenuCommand(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Looked up when the command comes: the console may have closed meanwhile.
    CWnd* view = g_ShellBarSite.consoleView ? g_ShellBarSite.consoleView() : nullptr;
    if (view && view != this && ::IsWindow(view->GetSafeHwnd()) && view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (ETSLayoutAppBar::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // A dialog hands only the ordinary command range on; the framework's own
    // commands (exit, about, help) are the application's too.
    if ((nCode != CN_COMMAND && static_cast<UINT>(nCode) != CN_UPDATE_COMMAND_UI) || nID >= 0xF000)
        return FALSE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CShellBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A menu item (no control, code 0) or an accelerator (code 1).
    if (lParam == 0 && HIWORD(wParam) <= 1) {
        RouteMenuCommand(LOWORD(wParam), CN_COMMAND, nullptr, nullptr);
        return TRUE;
    }
    return ETSLayoutAppBar::OnCommand(wParam, lParam);
}

LRESULT CShellBar::OnInitMenuPopupMsg(WPARAM wParam, LPARAM lParam)
{
    HMENU popup = reinterpret_cast<HMENU>(wParam);
    if (HIWORD(lParam) || !::IsMenu(popup))
        return 0;
    // As a frame does for its menus: each item takes the state its handler
    // gives it, and one that nothing on the route handles is greyed.
    CMenuRoute route(this);
    CCmdUI state;
    state.m_hMenu = popup;
    for (state.m_nIndex = 0; state.m_nIndex < static_cast<UINT>(::GetMenuItemCount(popup)); ++state.m_nIndex) {
        state.m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(popup));
        const UINT id = ::GetMenuItemID(popup, static_cast<int>(state.m_nIndex));
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;
        state.m_nID = id;
        state.m_hSubMenu = nullptr;
        state.DoUpdate(&route, TRUE);
    }
    return 0;
}

void CShellBar::OnConsoleCommand()
{
    if (CWnd* main = AfxGetMainWnd()) {
        main->ShowWindow(SW_RESTORE);
        main->PostMessage(WM_ACTIVATE, WA_ACTIVE, 0);
    }
}

void CShellBar::OnActivateMail()
{
    if (CWnd* main = AfxGetMainWnd())
        main->PostMessage(WM_COMMAND, ID_SB_ACTIVATE);
}

void CShellBar::OnNothing() {}

void CShellBar::OnPreviousLog()
{
    const CString folder = GetModulePath();
    ::ShellExecuteA(m_hWnd, "open", folder + "\\VindalexB.log", nullptr, folder, SW_SHOW);
}

void CShellBar::OnOptions()
{
    if (g_ShellBarSite.options)
        g_ShellBarSite.options();
}

void CShellBar::OnClearHistory() { m_Combo.ClearHistory(); }

void CShellBar::OnToggleOnTop()
{
    CAppBarState s = m_barState;
    s.alwaysOnTop = !s.alwaysOnTop;
    SetState(&s);
}

void CShellBar::OnToggleAutoHide()
{
    CAppBarState s = m_barState;
    s.autoHide = !s.autoHide;
    SetState(&s);
}

LRESULT CShellBar::OnHotKey(WPARAM, LPARAM)
{
    ShowHiddenBar(TRUE);
    CWnd* combo = GetDlgItem(IDC_SHELLBAR_COMBO);
    if (!combo)
        return 0;
    combo->SetForegroundWindow();
    SetActiveWindow();
    combo->SetFocus();
    combo->SetActiveWindow();
    combo->PostMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    return 0;
}

void CShellBar::OnContextMenu(CWnd*, CPoint) {}

void CShellBar::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == SC_CLOSE)
        SaveState();
    Default();
}

void CShellBar::SaveState()
{
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, SHELLBAR_STATE_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) == ERROR_SUCCESS) {
        CAppBarState record;
        record.cbSize = sizeof record;
        GetStateRecord(&record);
        ::RegSetValueExA(key, SHELLBAR_STATE_VALUE, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&record),
                         sizeof record);
        ::RegCloseKey(key);
    }
    if (m_Combo.m_hWnd)
        m_Combo.SaveHistory(SHELLBAR_HISTORY_VALUE, SHELLBAR_COMPANY, SHELLBAR_APPLICATION, HKEY_CURRENT_USER, TRUE);
    if (m_hWnd)
        ShowWindow(SW_HIDE);
}

// ---- Size, shape and painting.

void CShellBar::OnSize(UINT nType, int cx, int cy)
{
    ETSLayoutAppBar::OnSize(nType, cx, cy);
    ShapeWindow(cx, cy);
    ShapeButtons();
    Invalidate();
}

void CShellBar::OnMove(int, int)
{
    Default();
    ShapeButtons();
}

void CShellBar::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    Default();
    if (GetState() == APPBAR_FLOAT) {
        CRect frame(0, 0, m_sizeClient.cx, m_sizeClient.cy);
        ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
        lpMMI->ptMinTrackSize = {frame.Width(), frame.Height()};
    }
    const int state = GetState();
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    lpMMI->ptMaxTrackSize.x = (state == APPBAR_TOP || state == APPBAR_BOTTOM) ? w : w / 2;
    lpMMI->ptMaxTrackSize.y = (state == APPBAR_LEFT || state == APPBAR_RIGHT) ? h : h / 2;
    // A docked bar takes the size its record gives that edge: a layout
    // minimum above it would push a bottom bar off the screen.
    if (m_RootPane && state == APPBAR_FLOAT) {
        CRect wr;
        GetWindowRect(&wr);
        GetLayoutLimits(wr, lpMMI);
    }
}

BOOL CShellBar::OnEraseBkgnd(CDC* pDC)
{
    CRect clip;
    if (pDC->GetClipBox(&clip) == ERROR)
        return FALSE;
    CRect r;
    GetClientRect(&r);
    r.left -= 6;
    r.right += 6;
    r.bottom += 6;
    const int half = r.Width() / 2;
    CRect left(r.left, r.top, r.left + half + 1, r.bottom);
    CRect right(r.left + half - 1, r.top, r.right, r.bottom);
    if (CWMOptions::m_bMainUseBackground2) {
        PaintGradiantRect(pDC, left, CWMOptions::Color1, CWMOptions::Color2, TRUE, TRUE);
        PaintGradiantRect(pDC, right, CWMOptions::Color2, CWMOptions::Color1, TRUE, TRUE);
    } else {
        PaintGradiantRect(pDC, right, CWMOptions::Color1, CWMOptions::Color2, TRUE, TRUE);
        PaintGradiantRect(pDC, left, CWMOptions::Color2, CWMOptions::Color1, TRUE, TRUE);
    }
    if (!Setting(g_ShellBarSite.noShape, 0)) {
        // A dotted band across the rounded rim.
        const int width = r.Width(), height = r.Height();
        int from = r.left + half + 1 - width / 8 + 12, to = r.left + half + 1 + width / 8 - 12;
        int shift = 0;
        for (int y = r.top + 7 * (height / 8); y < r.bottom; y += 3) {
            for (int x = from; x <= to; x += 8) {
                pDC->SetPixel(x + shift, y, CWMOptions::ColorText1);
                pDC->SetPixel(x + shift + 1, y + 1, CWMOptions::ColorText2);
            }
            shift = shift ? 0 : 4;
            if (!shift) {
                from -= 9;
                to += 9;
            }
        }
    }
    return TRUE;
}

void CShellBar::OnPaint()
{
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    r.left -= 6;
    r.right += 6;
    r.bottom += 6;
    const int w = r.Width() / 8, h = r.Height() / 8;
    dc.SetBkMode(TRANSPARENT);
    CFont* oldFont = dc.SelectObject(&m_TitleFont);
    const COLORREF oldColour = dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    CRect title(w, 4 * h, 3 * w, 6 * h);
    CRect raised = title;
    raised.OffsetRect(1, 1);
    dc.DrawText("Vindalex", -1, &raised, DT_SINGLELINE | DT_VCENTER);
    dc.SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
    dc.DrawText("Vindalex", -1, &title, DT_SINGLELINE | DT_VCENTER);

    dc.SelectObject(&m_TextFont);
    dc.SetTextColor(CWMOptions::ColorText2);
    const CString path = m_DropIcon.m_strPath;
    CString name = path.IsEmpty() ? CString() : GetFileName(path) + GetExtension(path);
    const int x1 = 5 * w, x2 = 7 * w, y1 = 4 * h, y2 = 6 * h;
    CRect box(x1, y1, x2, y2);
    dc.DrawText(name, -1, &box, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);

    CPen* oldPen = dc.SelectObject(&m_ShadowPen);
    dc.MoveTo(x1, y2 - 2);
    dc.LineTo(x1, y1);
    dc.LineTo(x2 - 1, y1);
    dc.SelectObject(&m_WhitePen);
    dc.MoveTo(x2 - 1, y1);
    dc.LineTo(x2 - 1, y2 - 1);
    dc.LineTo(x1 - 1, y2 - 1);
    dc.SelectObject(&m_FacePen);
    dc.MoveTo(x2 - 2, y1 + 1);
    dc.LineTo(x2 - 2, y2 - 2);
    dc.LineTo(x1, y2 - 2);
    dc.SelectObject(&m_BlackPen);
    dc.MoveTo(x2 - 3, y1 + 1);
    dc.LineTo(x1 + 1, y1 + 1);
    dc.LineTo(x1 + 1, y2 - 2);
    dc.SelectObject(oldPen);
    dc.SetTextColor(oldColour);
    dc.SelectObject(oldFont);
}

void CShellBar::OnTimer(UINT_PTR id)
{
    POINT pt;
    if (::GetCursorPos(&pt) && pt.y < 2)
        ShowHiddenBar(TRUE);
    CAppBar::OnTimer(id);
}
