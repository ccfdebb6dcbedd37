// CWnd: thin wrappers of the window functions.
#include "window_state.h"

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep)
{
    for (HWND h = ::GetTopWindow(m_hWnd); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        ::SendMessageA(h, message, wParam, lParam);
        if (bDeep && ::GetTopWindow(h)) {
            CWnd tmp;
            tmp.m_hWnd = h;
            tmp.SendMessageToDescendants(message, wParam, lParam, TRUE);
            tmp.m_hWnd = nullptr;
        }
    }
}

DWORD CWnd::GetStyle() const { return (DWORD)::GetWindowLongA(m_hWnd, GWL_STYLE); }
DWORD CWnd::GetExStyle() const { return (DWORD)::GetWindowLongA(m_hWnd, GWL_EXSTYLE); }

static BOOL ModifyStyleOf(HWND hWnd, int index, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = (DWORD)::GetWindowLongA(hWnd, index);
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongA(hWnd, index, (LONG)newStyle);
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleOf(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleOf(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID); }

void CWnd::SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString ? lpszString : ""); }

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

static void ReadWindowText(HWND hWnd, CString& rString)
{
    int len = ::GetWindowTextLengthA(hWnd);
    char* buf = rString.GetBuffer(len);
    int got = len > 0 ? ::GetWindowTextA(hWnd, buf, len + 1) : 0;
    rString.ReleaseBuffer(got < 0 ? 0 : got);
}

void CWnd::GetWindowText(CString& rString) const { ReadWindowText(m_hWnd, rString); }
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

CWnd* CWnd::GetDlgItem(int nID) const { return CWnd::FromHandle(::GetDlgItem(m_hWnd, nID)); }
void CWnd::GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString ? lpszString : ""); }

int CWnd::GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const
{
    return (int)::GetDlgItemTextA(m_hWnd, nID, lpStr, nMaxCount);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    HWND h = ::GetDlgItem(m_hWnd, nID);
    if (!h) {
        rString.Empty();
        return 0;
    }
    ReadWindowText(h, rString);
    return rString.GetLength();
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const
{
    return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
UINT CWnd::IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }

void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton)
{
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        if (::IsDlgButtonChecked(m_hWnd, id))
            return id;
    return 0;
}

CWnd* CWnd::GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious) const
{
    return CWnd::FromHandle(::GetNextDlgGroupItem(m_hWnd, pWndCtl->GetSafeHwnd(), bPrevious));
}

CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const
{
    return CWnd::FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl->GetSafeHwnd(), bPrevious));
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    for (HWND h = ::GetTopWindow(m_hWnd); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        state.m_nID = (UINT)::GetDlgCtrlID(h);
        state.m_pOther = CWnd::FromHandle(h);
        // Check boxes and radio buttons keep their state without a handler.
        UINT code = (UINT)::SendMessageA(h, WM_GETDLGCODE, 0, 0);
        BOOL disable = bDisableIfNoHndler && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
        state.DoUpdate(pTarget, disable);
    }
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
BOOL CWnd::IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, pWnd->GetSafeHwnd()); }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                 lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
int CWnd::GetWindowRgn(HRGN hRgn) const { return ::GetWindowRgn(m_hWnd, hRgn); }

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const
{
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    return ::GetWindowPlacement(m_hWnd, lpwndpl);
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl)
{
    WINDOWPLACEMENT wp = *lpwndpl;
    wp.length = sizeof(WINDOWPLACEMENT);
    return ::SetWindowPlacement(m_hWnd, &wp);
}

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const
{
    ::MapWindowPoints(m_hWnd, pwndTo->GetSafeHwnd(), lpPoint, nCount);
}

void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const
{
    ::MapWindowPoints(m_hWnd, pwndTo->GetSafeHwnd(), reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd
                                   : ((GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
    RECT area;
    HMONITOR mon = ::MonitorFromWindow(hCenter ? hCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoA(mon, &mi);
    RECT work = mi.rcWork;
    if (hCenter && (::IsWindowVisible(hCenter) && !::IsIconic(hCenter)))
        ::GetWindowRect(hCenter, &area);
    else
        area = work;
    RECT self;
    ::GetWindowRect(m_hWnd, &self);
    int w = self.right - self.left, h = self.bottom - self.top;
    int x = (area.left + area.right) / 2 - w / 2;
    int y = (area.top + area.bottom) / 2 - h / 2;
    if (!(GetStyle() & WS_CHILD)) {
        // Keep a top-level window on the screen.
        if (x + w > work.right) x = work.right - w;
        if (x < work.left) x = work.left;
        if (y + h > work.bottom) y = work.bottom - h;
        if (y < work.top) y = work.top;
    } else {
        POINT p = {x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &p);
        x = p.x;
        y = p.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}

void CWnd::SetRedraw(BOOL bRedraw) { ::SendMessageA(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0; }

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

CWnd* CWnd::GetParent() const { return CWnd::FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::SetParent(CWnd* pWndNewParent) { return CWnd::FromHandle(::SetParent(m_hWnd, pWndNewParent->GetSafeHwnd())); }
CWnd* CWnd::GetOwner() const { return CWnd::FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }

CWnd* CWnd::GetTopLevelParent() const
{
    HWND h = m_hWnd;
    if (!h)
        return nullptr;
    HWND parent;
    while ((::GetWindowLongA(h, GWL_STYLE) & WS_CHILD) && (parent = ::GetParent(h)) != nullptr)
        h = parent;
    return CWnd::FromHandle(h);
}

CWnd* CWnd::GetWindow(UINT nCmd) const { return CWnd::FromHandle(::GetWindow(m_hWnd, nCmd)); }
CWnd* CWnd::GetNextWindow(UINT nFlag) const { return CWnd::FromHandle(::GetWindow(m_hWnd, nFlag)); }
CWnd* CWnd::GetTopWindow() const { return CWnd::FromHandle(::GetTopWindow(m_hWnd)); }
CWnd* CWnd::GetLastActivePopup() const { return CWnd::FromHandle(::GetLastActivePopup(m_hWnd)); }
CWnd* CWnd::SetFocus() { return CWnd::FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return CWnd::FromHandle(::GetFocus()); }
CWnd* CWnd::SetActiveWindow() { return CWnd::FromHandle(::SetActiveWindow(m_hWnd)); }
CWnd* CWnd::GetActiveWindow() { return CWnd::FromHandle(::GetActiveWindow()); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
CWnd* CWnd::GetForegroundWindow() { return CWnd::FromHandle(::GetForegroundWindow()); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
CWnd* CWnd::SetCapture() { return CWnd::FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return CWnd::FromHandle(::GetCapture()); }
CWnd* CWnd::GetDesktopWindow() { return CWnd::FromHandle(::GetDesktopWindow()); }

CWnd* CWnd::FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName)
{
    return CWnd::FromHandle(::FindWindowA(lpszClassName, lpszWindowName));
}

CWnd* CWnd::WindowFromPoint(POINT point) { return CWnd::FromHandle(::WindowFromPoint(point)); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                  reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const
{
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
}

void CWnd::DragAcceptFiles(BOOL bAccept) { ::DragAcceptFiles(m_hWnd, bAccept); }
BOOL CWnd::FlashWindow(BOOL bInvert) { return ::FlashWindow(m_hWnd, bInvert); }
BOOL CWnd::ShowOwnedPopups(BOOL bShow) { return ::ShowOwnedPopups(m_hWnd, bShow); }

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return AfxShowMessageBox(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}
