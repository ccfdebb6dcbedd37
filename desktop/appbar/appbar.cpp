#include "appbar.h"

#include "fx/msgbox.h"

UINT g_uAppBarNotifyMsg = ::RegisterWindowMessageA("AppBarNotify");

namespace {
UINT_PTR RealShell(DWORD message, APPBARDATA* data) { return ::SHAppBarMessage(message, data); }
AppBarShellProc g_shell = &RealShell;

const UINT_PTR kTimerId = 1;
const UINT kTimerMs = 400;
const DWORD kSlideMs = 400;

int ScreenW() { return ::GetSystemMetrics(SM_CXSCREEN); }
int ScreenH() { return ::GetSystemMetrics(SM_CYSCREEN); }

AppBarRect ToBar(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const AppBarRect& r) { return {r.left, r.top, r.right, r.bottom}; }
}  // namespace

AppBarShellProc SetAppBarShell(AppBarShellProc proc)
{
    AppBarShellProc old = g_shell;
    g_shell = proc ? proc : &RealShell;
    return old;
}

IMPLEMENT_DYNAMIC(CAppBar, CDialog)

BEGIN_MESSAGE_MAP(CAppBar, CDialog)
    ON_REGISTERED_MESSAGE(g_uAppBarNotifyMsg, OnAppBarNotify)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_ACTIVATE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_TIMER()
    ON_WM_NCMOUSEMOVE()
    ON_WM_NCHITTEST()
    ON_WM_ENTERSIZEMOVE()
    ON_WM_MOVING()
    ON_WM_SIZING()
    ON_WM_EXITSIZEMOVE()
END_MESSAGE_MAP()

CAppBar::CAppBar() { Init(); }

CAppBar::CAppBar(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent) { Init(); }

void CAppBar::Init()
{
    m_barState = DefaultAppBarState();
    m_dwTaskbarState = static_cast<DWORD>(AppBarMessage(ABM_GETSTATE, 0));
}

UINT_PTR CAppBar::AppBarMessage(DWORD message, int edge, LPARAM lParam, RECT* rect)
{
    APPBARDATA abd = {};
    abd.cbSize = sizeof abd;
    abd.hWnd = m_hWnd;
    abd.uCallbackMessage = g_uAppBarNotifyMsg;
    abd.uEdge = static_cast<UINT>(edge);
    if (rect)
        abd.rc = *rect;
    abd.lParam = lParam;
    UINT_PTR result = g_shell(message, &abd);
    if (rect)
        *rect = abd.rc;
    return result;
}

void CAppBar::SetState(const CAppBarState* record)
{
    CopyInAppBarState(m_barState, record);
    if (m_hWnd)
        ApplyState(GetState());
}

void CAppBar::GetStateRecord(CAppBarState* out) const { CopyOutAppBarState(m_barState, out); }

int CAppBar::GetState() const { return m_nProposedState != APPBAR_NONE ? m_nProposedState : m_barState.state; }

void CAppBar::GetFloatRect(RECT* out) const
{
    if (out)
        *out = ToRect(m_barState.floatRect);
}

void CAppBar::GetRect(int state, RECT* rect)
{
    if (state == APPBAR_FLOAT)
        return;
    RECT r = {0, 0, ScreenW(), ScreenH()};
    if (!IsAutoHide())
        AppBarMessage(ABM_QUERYPOS, state, 0, &r);
    AppBarRect bar = ToBar(r);
    ApplyDockSize(m_barState, state, bar);
    *rect = ToRect(bar);
}

BOOL CAppBar::AdjustAutoHideRect(BOOL show, RECT* rect)
{
    AppBarRect bar = ToBar(*rect);
    const int stripX = 2 * ::GetSystemMetrics(SM_CXBORDER);
    const int stripY = m_nOverlap + 2 * ::GetSystemMetrics(SM_CYBORDER);
    if (!AutoHideRect(GetState(), IsAutoHide(), show != FALSE, ScreenW(), ScreenH(), stripX, stripY, bar))
        return FALSE;
    *rect = ToRect(bar);
    return TRUE;
}

void CAppBar::ShowHiddenBar(BOOL show)
{
    if (!m_hWnd)
        return;
    RECT r;
    GetWindowRect(&r);
    m_bShown = TRUE;
    if (AdjustAutoHideRect(show, &r)) {
        m_bShown = show;
        SlideWindow(r);
    }
}

void CAppBar::SlideWindow(const RECT& target)
{
    RECT start;
    GetWindowRect(&start);
    BOOL fullDrag = FALSE;
    ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_DRAWFRAME;
    if (fullDrag && !::EqualRect(&start, &target)) {
        const long sw = start.right - start.left, sh = start.bottom - start.top;
        const long tw = target.right - target.left, th = target.bottom - target.top;
        const DWORD begin = ::GetTickCount();
        for (DWORD t = 0; t < kSlideMs; t = ::GetTickCount() - begin) {
            const long x = start.left - (start.left - target.left) * static_cast<long>(t) / kSlideMs;
            const long y = start.top - (start.top - target.top) * static_cast<long>(t) / kSlideMs;
            const long w = sw - static_cast<long>(t) * (sw - tw) / kSlideMs;
            const long h = sh - static_cast<long>(t) * (sh - th) / kSlideMs;
            SetWindowPos(nullptr, x, y, w, h, flags);
            UpdateWindow();
        }
    }
    SetWindowPos(nullptr, target.left, target.top, target.right - target.left, target.bottom - target.top, flags);
    UpdateWindow();
}

void CAppBar::ApplyState(int newState)
{
    for (int edge = APPBAR_LEFT; edge <= APPBAR_BOTTOM; ++edge) {
        if (reinterpret_cast<HWND>(AppBarMessage(ABM_GETAUTOHIDEBAR, edge)) == m_hWnd) {
            AppBarMessage(ABM_SETAUTOHIDEBAR, edge, FALSE);
            break;
        }
    }
    m_barState.state = newState;
    if (newState == APPBAR_FLOAT) {
        RECT empty = {};
        AppBarMessage(ABM_SETPOS, APPBAR_FLOAT, 0, &empty);
        const AppBarRect& f = m_barState.floatRect;
        SetWindowPos(nullptr, f.left, f.top, f.Width(), f.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (newState == APPBAR_NONE) {
        AppBarMessage(ABM_REMOVE, 0);
    } else {
        if (IsAutoHide() && !AppBarMessage(ABM_SETAUTOHIDEBAR, newState, TRUE)) {
            m_barState.autoHide = 0;
            OnAutoHideRefused();
        }
        RECT r = {};
        GetRect(newState, &r);
        if (!IsAutoHide()) {
            RECT reserve = r;
            reserve.bottom -= m_nOverlap;
            AppBarMessage(ABM_SETPOS, newState, 0, &reserve);
        } else {
            RECT empty = {};
            AppBarMessage(ABM_SETPOS, APPBAR_LEFT, 0, &empty);
        }
        AdjustAutoHideRect(m_bShown, &r);
        SlideWindow(r);
    }
    if (newState != APPBAR_NONE) {
        const CWnd* after = IsAlwaysOnTop() ? (m_bFullScreenApp ? &CWnd::wndBottom : &CWnd::wndTopMost)
                                            : &CWnd::wndNoTopMost;
        SetWindowPos(after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        AppBarMessage(ABM_ACTIVATE, 0);
    }
    OnAppBarStateChange(FALSE, newState);
}

void CAppBar::SetAutoHideAndTopmost(DWORD mask, DWORD flags)
{
    bool changed = false;
    if ((mask & ABS_AUTOHIDE) && (m_dwOptions & APPBAR_ALLOW_AUTOHIDE) &&
        IsAutoHide() != ((flags & ABS_AUTOHIDE) != 0)) {
        m_barState.autoHide = (flags & ABS_AUTOHIDE) ? 1 : 0;
        changed = true;
    }
    if ((mask & ABS_ALWAYSONTOP) && (m_dwOptions & APPBAR_ALLOW_ALWAYSONTOP)) {
        const int top = (flags & ABS_ALWAYSONTOP) ? 1 : 0;
        changed = changed || top != m_barState.alwaysOnTop;
        m_barState.alwaysOnTop = top;
    }
    if (changed && m_hWnd) {
        ApplyState(GetState());
        ShowHiddenBar(FALSE);
    }
}

void CAppBar::OnAppBarStateChange(BOOL, int) {}

void CAppBar::OnAutoHideRefused()
{
    CString caption;
    if (m_hWnd)
        GetWindowText(caption);
    AfxShowMessageBox(nullptr, APPBAR_TEXT_AUTOHIDE_TAKEN, caption, MB_OK | MB_ICONSTOP);
}

void CAppBar::OnFullScreenApp(BOOL open)
{
    m_bFullScreenApp = open;
    ApplyState(GetState());
}

void CAppBar::OnPositionChanged()
{
    if (GetState() != APPBAR_FLOAT && !IsAutoHide())
        ApplyState(GetState());
}

void CAppBar::OnTaskbarStateChange(DWORD changedMask, DWORD newState) { SetAutoHideAndTopmost(changedMask, newState); }

void CAppBar::OnWindowArrange(BOOL) {}

LRESULT CAppBar::OnAppBarNotify(WPARAM code, LPARAM lParam)
{
    switch (code) {
    case ABN_STATECHANGE: {
        const DWORD now = static_cast<DWORD>(AppBarMessage(ABM_GETSTATE, 0));
        const DWORD changed = (now ^ m_dwTaskbarState) & (ABS_ALWAYSONTOP | ABS_AUTOHIDE);
        OnTaskbarStateChange(changed, now);
        m_dwTaskbarState = now;
        break;
    }
    case ABN_POSCHANGED: OnPositionChanged(); break;
    case ABN_FULLSCREENAPP: OnFullScreenApp(static_cast<BOOL>(lParam)); break;
    case ABN_WINDOWARRANGE: OnWindowArrange(static_cast<BOOL>(lParam)); break;
    default: break;
    }
    return 0;
}

int CAppBar::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    SetTimer(kTimerId, kTimerMs);
    AppBarMessage(ABM_NEW, 0);
    SetAutoHideAndTopmost(ABS_AUTOHIDE | ABS_ALWAYSONTOP, m_dwTaskbarState);
    return 0;
}

void CAppBar::OnDestroy()
{
    Default();
    KillTimer(kTimerId);
    ApplyState(APPBAR_NONE);
}

void CAppBar::OnActivate(UINT state, CWnd*, BOOL)
{
    Default();
    if (state == WA_INACTIVE && !m_bKeepShown)
        ShowHiddenBar(FALSE);
    AppBarMessage(ABM_ACTIVATE, 0);
}

void CAppBar::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    AppBarMessage(ABM_WINDOWPOSCHANGED, 0);
}

void CAppBar::OnTimer(UINT_PTR)
{
    if (::GetActiveWindow() != m_hWnd) {
        const DWORD pos = ::GetMessagePos();
        POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        RECT r;
        GetWindowRect(&r);
        ::InflateRect(&r, 2 * ::GetSystemMetrics(SM_CXDOUBLECLK), 2 * ::GetSystemMetrics(SM_CYDOUBLECLK));
        if (!::PtInRect(&r, pt) && !m_bKeepShown)
            ShowHiddenBar(FALSE);
    }
    Default();
}

void CAppBar::OnNcMouseMove(UINT, CPoint)
{
    ShowHiddenBar(TRUE);
    Default();
}

LRESULT CAppBar::OnNcHitTest(CPoint pt)
{
    ShowHiddenBar(TRUE);
    LRESULT hit = Default();
    const int primary = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    if ((::GetKeyState(primary) & 0x8000) && hit == HTCLIENT)
        return HTCAPTION;
    const int state = GetState();
    if (state < APPBAR_LEFT || state > APPBAR_BOTTOM || hit < HTLEFT || hit > HTBOTTOMRIGHT)
        return hit;
    const int step = (state == APPBAR_LEFT || state == APPBAR_RIGHT) ? m_szIncrement.cx : m_szIncrement.cy;
    if (step == 0)
        return HTBORDER;
    RECT client;
    GetClientRect(&client);
    ClientToScreen(&client);
    switch (state) {
    case APPBAR_LEFT: return pt.x >= client.right ? HTRIGHT : HTBORDER;
    case APPBAR_TOP: return pt.y >= client.bottom ? HTBOTTOM : HTBORDER;
    case APPBAR_RIGHT: return pt.x < client.left ? HTLEFT : HTBORDER;
    default: return pt.y < client.top ? HTTOP : HTBORDER;
    }
}

int CAppBar::ProposeState(POINT pt)
{
    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int cx = ::GetSystemMetrics(SM_CXVSCROLL), cy = ::GetSystemMetrics(SM_CYHSCROLL);
    const AppBarRect shrunk = {work.left + cx, work.top + cy, work.right - cx, work.bottom - cy};
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    return ProposeAppBarState(m_dwOptions, ctrl, pt.x, pt.y, ScreenW(), ScreenH(), shrunk);
}

void CAppBar::OnEnterSizeMove() { m_nProposedState = GetState(); }

void CAppBar::OnMoving(UINT, LPRECT rect)
{
    const DWORD pos = ::GetMessagePos();
    POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    const int previous = m_nProposedState;
    const int proposal = ProposeState(pt);
    if (previous != APPBAR_FLOAT && proposal == APPBAR_FLOAT) {
        const AppBarRect& f = m_barState.floatRect;
        rect->left = pt.x - f.Width() / 2;
        rect->right = rect->left + f.Width();
        rect->top = pt.y;
        rect->bottom = pt.y + f.Height();
    }
    m_nProposedState = proposal;
    GetRect(proposal, rect);
    OnAppBarStateChange(TRUE, proposal);
}

void CAppBar::OnSizing(UINT side, LPRECT rect)
{
    RECT frame = {0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
    const int frameW = frame.right - frame.left, frameH = frame.bottom - frame.top;
    const int w = SnapWidth(rect->right - rect->left, frameW, m_szIncrement.cx);
    const int h = m_szIncrement.cy + frameH;
    if (side == WMSZ_LEFT || side == WMSZ_TOPLEFT || side == WMSZ_BOTTOMLEFT)
        rect->left = rect->right - w;
    else
        rect->right = rect->left + w;
    if (side == WMSZ_TOP || side == WMSZ_TOPLEFT || side == WMSZ_TOPRIGHT)
        rect->top = rect->bottom - h;
    else
        rect->bottom = rect->top + h;
}

void CAppBar::OnExitSizeMove()
{
    const int proposal = m_nProposedState;
    const int before = m_barState.state;
    m_nProposedState = APPBAR_NONE;
    RECT r;
    GetWindowRect(&r);
    if (proposal == before) {
        if (proposal == APPBAR_LEFT || proposal == APPBAR_RIGHT)
            m_barState.dockSize[proposal] = r.right - r.left;
        else if (proposal == APPBAR_TOP || proposal == APPBAR_BOTTOM)
            m_barState.dockSize[proposal] = r.bottom - r.top;
    }
    if (proposal == APPBAR_FLOAT)
        m_barState.floatRect = ToBar(r);
    ApplyState(proposal);
}
