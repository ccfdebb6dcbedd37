// Control bars: status bar and dialog bar, and their placement.
#include "window_state.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)
IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

using namespace fx::win;

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::CControlBar() : m_dwStyle(0), m_bFloating(FALSE), m_dwDockStyle(0) {}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

void CControlBar::EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }

CFrameWnd* CControlBar::GetDockingFrame() const
{
    for (HWND h = m_hWnd ? ::GetParent(m_hWnd) : nullptr; h; h = ::GetParent(h))
        if (CFrameWnd* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(h)))
            return f;
    return nullptr;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    // Hidden bars and bars outside a frame have nothing to show.
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    CFrameWnd* pTarget = GetDockingFrame();
    if (pTarget)
        OnUpdateCmdUI(pTarget, (BOOL)wParam);
    return 0;
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = m_sizeDefault;
    if (bStretch && m_hWnd) {
        CRect parent;
        if (CWnd* p = GetParent())
            p->GetClientRect(&parent);
        if (bHorz)
            size.cx = parent.Width();
        else
            size.cy = parent.Height();
    }
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD dwMode)
{
    return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZ) != 0);
}

CRect AfxRepositionBars(CWnd* pWnd, UINT nIDFirst, UINT nIDLast)
{
    CRect area;
    if (!pWnd || !pWnd->m_hWnd)
        return area;
    pWnd->GetClientRect(&area);
    for (HWND h = ::GetWindow(pWnd->m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        UINT id = (UINT)::GetDlgCtrlID(h);
        // The style, not IsWindowVisible: the parent may not be shown yet.
        if (id < nIDFirst || id > nIDLast || !(::GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE))
            continue;
        CControlBar* bar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(h));
        if (!bar)
            continue;
        DWORD align = bar->m_dwStyle & CBRS_ALIGN_ANY;
        BOOL horz = (align & CBRS_ORIENT_VERT) == 0;
        CSize size = bar->CalcFixedLayout(TRUE, horz);
        CRect r = area;
        if (align & CBRS_ALIGN_BOTTOM) {
            r.top = r.bottom - size.cy;
            area.bottom = r.top;
        } else if (align & CBRS_ALIGN_LEFT) {
            r.right = r.left + size.cx;
            area.left = r.right;
        } else if (align & CBRS_ALIGN_RIGHT) {
            r.left = r.right - size.cx;
            area.right = r.left;
        } else {
            r.bottom = r.top + size.cy;
            area.top = r.bottom;
        }
        ::SetWindowPos(h, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return area;
}

// ---- CStatusBar ----

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (!pParentWnd || !pParentWnd->m_hWnd)
        return FALSE;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_dwStyle = dwStyle & CBRS_ALL;
    // The bar is placed by AfxRepositionBars, not by the control itself; a
    // sizable parent gets the size gripper.
    DWORD style = (dwStyle & 0xFFFF0000L & ~CBRS_GRIPPER) | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER |
                  CCS_NORESIZE;
    if (pParentWnd->GetStyle() & WS_THICKFRAME)
        style |= SBARS_SIZEGRIP;
    if (!CWnd::Create(STATUSCLASSNAMEA, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    // The control's own height for its font.
    ::SendMessageA(m_hWnd, WM_SIZE, 0, 0);
    CRect r;
    GetWindowRect(&r);
    m_sizeDefault = CSize(r.Width(), r.Height() > 0 ? r.Height() : ::GetSystemMetrics(SM_CYMENU) + 4);
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray))
        return FALSE;
    m_panes.clear();
    BOOL ok = TRUE;
    for (int i = 0; i < nIDCount; ++i) {
        Pane pane{lpIDArray[i], SBPS_NORMAL, 0, CString()};
        if (pane.nID != ID_SEPARATOR && !pane.text.LoadString(pane.nID))
            ok = FALSE;
        if (pane.nID == ID_SEPARATOR)
            pane.nStyle = SBPS_STRETCH | SBPS_NOBORDERS;
        else if (m_hWnd) {
            CClientDC dc(this);
            HGDIOBJ old = ::SelectObject(dc, (HGDIOBJ)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
            pane.cxWidth = dc.GetTextExtent(pane.text).cx;
            ::SelectObject(dc, old);
        }
        m_panes.push_back(pane);
    }
    UpdateParts();
    return ok;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    m_panes[nIndex].nID = nID;
    m_panes[nIndex].nStyle = nStyle;
    m_panes[nIndex].cxWidth = cxWidth;
    UpdateParts();
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    if (nIndex < 0 || nIndex >= GetCount()) {
        nID = 0, nStyle = 0, cxWidth = 0;
        return;
    }
    nID = m_panes[nIndex].nID;
    nStyle = m_panes[nIndex].nStyle;
    cxWidth = m_panes[nIndex].cxWidth;
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[nIndex].nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    if (nIndex >= 0 && nIndex < GetCount()) {
        m_panes[nIndex].nStyle = nStyle;
        UpdateParts();
    }
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    m_panes[nIndex].text = lpszNewText ? lpszNewText : "";
    if (m_hWnd) {
        LPCSTR shown = (m_panes[nIndex].nStyle & SBPS_DISABLED) ? "" : (LPCSTR)m_panes[nIndex].text;
        UINT flags = (m_panes[nIndex].nStyle & SBPS_NOBORDERS) ? SBT_NOBORDERS : 0;
        if (m_panes[nIndex].nStyle & SBPS_POPOUT)
            flags |= SBT_POPOUT;
        ::SendMessageA(m_hWnd, SB_SETTEXTA, (WPARAM)(nIndex | flags), (LPARAM)shown);
        if (bUpdate)
            UpdateWindow();
    }
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[nIndex].text : CString();
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (m_hWnd && nIndex >= 0 && nIndex < GetCount())
        ::SendMessageA(m_hWnd, SB_GETRECT, nIndex, (LPARAM)lpRect);
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    return size;
}

namespace {

// A status pane's update request.
class PaneCmdUI : public CCmdUI {
public:
    explicit PaneCmdUI(CStatusBar* bar) : m_bar(bar) {}
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        UINT style = m_bar->GetPaneStyle((int)m_nIndex);
        UINT wanted = bOn ? (style & ~(UINT)SBPS_DISABLED) : (style | SBPS_DISABLED);
        if (wanted != style) {
            m_bar->SetPaneStyle((int)m_nIndex, wanted);
            // A disabled pane shows no text; the text comes back with the pane.
            m_bar->SetPaneText((int)m_nIndex, m_bar->GetPaneText((int)m_nIndex));
        }
    }
    void SetCheck(int nCheck) override
    {
        UINT style = m_bar->GetPaneStyle((int)m_nIndex);
        UINT wanted = nCheck ? (style | SBPS_POPOUT) : (style & ~(UINT)SBPS_POPOUT);
        if (wanted != style)
            m_bar->SetPaneStyle((int)m_nIndex, wanted);
    }
    void SetText(LPCTSTR lpszText) override
    {
        CString text(lpszText ? lpszText : "");
        if (text != m_bar->GetPaneText((int)m_nIndex))
            m_bar->SetPaneText((int)m_nIndex, text);
    }

private:
    CStatusBar* m_bar;
};

} // namespace

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    if (!pTarget)
        return;
    PaneCmdUI state(this);
    state.m_nIndexMax = (UINT)GetCount();
    // Pane 0 carries the frame's messages and prompts, not a command's state.
    for (int i = 1; i < GetCount(); ++i) {
        state.m_nIndex = (UINT)i;
        state.m_nID = m_panes[i].nID;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

void CStatusBar::UpdateParts()
{
    if (!m_hWnd)
        return;
    int n = GetCount();
    if (n == 0) {
        int edge = -1;
        ::SendMessageA(m_hWnd, SB_SETPARTS, 1, (LPARAM)&edge);
        return;
    }
    CRect client;
    GetClientRect(&client);
    int fixed = 0, stretch = 0;
    for (const Pane& p : m_panes) {
        if (p.nStyle & SBPS_STRETCH)
            ++stretch;
        else
            fixed += p.cxWidth;
    }
    int spare = client.Width() - fixed;
    if (spare < 0)
        spare = 0;
    std::vector<int> edges(n);
    int x = 0;
    for (int i = 0; i < n; ++i) {
        int w = m_panes[i].cxWidth;
        if (m_panes[i].nStyle & SBPS_STRETCH) {
            w = spare / stretch;
            spare -= w;
            --stretch;
        }
        x += w;
        edges[i] = x;
    }
    edges[n - 1] = -1;  // the last part runs to the edge
    ::SendMessageA(m_hWnd, SB_SETPARTS, n, (LPARAM)edges.data());
    for (int i = 0; i < n; ++i) {
        UINT flags = (m_panes[i].nStyle & SBPS_NOBORDERS) ? SBT_NOBORDERS : 0;
        LPCSTR shown = (m_panes[i].nStyle & SBPS_DISABLED) ? "" : (LPCSTR)m_panes[i].text;
        ::SendMessageA(m_hWnd, SB_SETTEXTA, (WPARAM)(i | flags), (LPARAM)shown);
    }
}

void CStatusBar::OnSize(UINT nType, int cx, int cy)
{
    Default();
    UpdateParts();
}

// ---- CDialogBar ----

BEGIN_MESSAGE_MAP(CDialogBar, CControlBar)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

BOOL CDialogBar::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
{
    return Create(pParentWnd, MAKEINTRESOURCEA(nIDTemplate), nStyle, nID);
}

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID)
{
    if (m_hWnd || !pParentWnd || !pParentWnd->m_hWnd)
        return FALSE;
    m_dwStyle = nStyle & CBRS_ALL;
    HWND hWnd = CreateChildFromTemplate(this, lpszTemplateName, pParentWnd, nID);
    if (!hWnd)
        return FALSE;
    CRect r;
    GetWindowRect(&r);
    m_sizeDefault = r.Size();
    if (nStyle & WS_VISIBLE)
        ShowWindow(SW_SHOWNOACTIVATE);
    return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return CControlBar::CalcFixedLayout(bStretch, bHorz);
}

LRESULT CDialogBar::HandleInitDialog(WPARAM, LPARAM)
{
    Default();
    UpdateData(FALSE);
    return TRUE;
}
