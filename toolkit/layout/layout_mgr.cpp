// The layout manager: building the tree, relayout, size limits, placement
// in the profile and the background erase.
#include "ETSLayout.h"

const char ETSLayoutPlacementEntry[] = "WindowPlacement";

ETSLayoutMgr::ETSLayoutMgr(CWnd* pWnd) : m_pWnd(pWnd), m_sizeRootBorders(5, 5) {}

ETSLayoutMgr::~ETSLayoutMgr() { m_RootPane.Release(); }

HWND ETSLayoutMgr::CtrlHandle(UINT nID) const
{
    HWND owner = m_pWnd ? m_pWnd->GetSafeHwnd() : nullptr;
    return owner ? ::GetDlgItem(owner, (int)nID) : nullptr;
}

CRect ETSLayoutMgr::LayoutArea()
{
    CRect r;
    if (m_pWnd && m_pWnd->GetSafeHwnd())
        m_pWnd->GetClientRect(&r);
    return r;
}

void ETSLayoutMgr::SetRootPane(LayoutPanePtr root)
{
    m_RootPane = root;
    Relayout();
}

void ETSLayoutMgr::ApplyLayout(CRect) {}

void ETSLayoutMgr::ResizeRoot(CRect area)
{
    if (area.Width() != 0 && area.Height() != 0 && m_RootPane)
        m_RootPane->ResizeTo(area);
}

LayoutPanePtr ETSLayoutMgr::CreateRootPane(int orientation, int sizeBorder, int sizeExtraBorder)
{
    m_RootPane.Release();
    m_RootPane = LayoutPanePtr(new LayoutPane(this, orientation, LayoutGreedy, sizeBorder, sizeExtraBorder, 0));
    return m_RootPane;
}

LayoutPanePtr ETSLayoutMgr::NewPane(int orientation, int modeResize, int sizeBorder, int sizeExtraBorder,
                                    int sizeSecondary)
{
    return LayoutPanePtr(new LayoutPane(this, orientation, modeResize, sizeBorder, sizeExtraBorder, sizeSecondary));
}

LayoutPanePtr ETSLayoutMgr::NewTabPane(CTabCtrl* pTab, int orientation, int modeResize, int sizeBorder,
                                       int sizeExtraBorder, int sizeSecondary)
{
    return LayoutPanePtr(
        new LayoutTabPane(this, pTab, orientation, modeResize, sizeBorder, sizeExtraBorder, sizeSecondary));
}

LayoutPanePtr ETSLayoutMgr::NewCtrlPane(CWnd* pCtrl, int orientation, int modeResize, int sizeBorder,
                                        int sizeExtraBorder, int sizeTopExtra, int sizeSecondary)
{
    return LayoutPanePtr(new LayoutCtrlPane(this, pCtrl->GetSafeHwnd(), orientation, modeResize, sizeBorder,
                                            sizeExtraBorder, sizeTopExtra, sizeSecondary));
}

LayoutPanePtr ETSLayoutMgr::NewCtrlPane(UINT nID, int orientation, int modeResize, int sizeBorder,
                                        int sizeExtraBorder, int sizeTopExtra, int sizeSecondary)
{
    return LayoutPanePtr(new LayoutCtrlPane(this, CtrlHandle(nID), orientation, modeResize, sizeBorder,
                                            sizeExtraBorder, sizeTopExtra, sizeSecondary));
}

LayoutPanePtr ETSLayoutMgr::NewItem(CWnd* pWnd, int modeResize, int sizeX, int sizeY, int sizeXMin, int sizeYMin)
{
    return LayoutPanePtr(new LayoutItem(this, pWnd->GetSafeHwnd(), modeResize, sizeX, sizeY, sizeXMin, sizeYMin));
}

LayoutPanePtr ETSLayoutMgr::NewItem(UINT nID, int modeResize, int sizeX, int sizeY, int sizeXMin, int sizeYMin)
{
    // An id the owner lacks gives an empty item (a spacer).
    return LayoutPanePtr(new LayoutItem(this, CtrlHandle(nID), modeResize, sizeX, sizeY, sizeXMin, sizeYMin));
}

LayoutPanePtr ETSLayoutMgr::NewFixedSpacer(int orientation, int size)
{
    bool horz = orientation == LayoutHorizontal;
    return LayoutPanePtr(new LayoutItem(this, nullptr, LayoutFixedWidth | LayoutFixedHeight, horz ? size : 0,
                                        horz ? 0 : size, 0, 0));
}

LayoutPanePtr ETSLayoutMgr::NewGrowingSpacer(int orientation)
{
    int mode = orientation == LayoutHorizontal ? LayoutFixedHeight : LayoutFixedWidth;
    return LayoutPanePtr(new LayoutItem(this, nullptr, mode, 0, 0, -5, -5));
}

namespace {
CRect WindowRectOf(HWND h)
{
    CRect r;
    if (h)
        ::GetWindowRect(h, &r);
    return r;
}
} // namespace

LayoutPanePtr ETSLayoutMgr::NewSpacerBetween(int orientation, CWnd* pFirst, CWnd* pSecond)
{
    CRect a = WindowRectOf(pFirst->GetSafeHwnd()), b = WindowRectOf(pSecond->GetSafeHwnd());
    int gap;
    if (orientation == LayoutHorizontal) {
        gap = b.left - a.right - 10;
        if (gap < 0)
            gap = b.left - a.left;
    } else {
        gap = b.top - a.bottom - 10;
        if (gap < 0)
            gap = b.top - a.top;
    }
    return NewFixedSpacer(orientation, gap);
}

LayoutPanePtr ETSLayoutMgr::NewSpacerBetween(int orientation, UINT nIDFirst, UINT nIDSecond)
{
    return NewSpacerBetween(orientation, CWnd::FromHandle(CtrlHandle(nIDFirst)),
                            CWnd::FromHandle(CtrlHandle(nIDSecond)));
}

LayoutPanePtr ETSLayoutMgr::NewSpacerLike(int orientation, CWnd* pWnd)
{
    CRect r = WindowRectOf(pWnd->GetSafeHwnd());
    return NewFixedSpacer(orientation, orientation == LayoutHorizontal ? r.Width() : r.Height());
}

LayoutPanePtr ETSLayoutMgr::NewSpacerLike(int orientation, UINT nID)
{
    return NewSpacerLike(orientation, CWnd::FromHandle(CtrlHandle(nID)));
}

bool ETSLayoutMgr::GetLayoutLimits(const CRect& rcWindow, MINMAXINFO* lpMMI)
{
    if (!m_RootPane || !lpMMI)
        return false;
    CRect area = LayoutArea();
    int frameX = rcWindow.Width() - area.Width();
    int frameY = rcWindow.Height() - area.Height();
    int minX = m_RootPane->MinWidth() + frameX + 2 * m_sizeRootBorders.cx;
    int minY = m_RootPane->MinHeight() + frameY + 2 * m_sizeRootBorders.cy;
    lpMMI->ptMinTrackSize.x = minX;
    lpMMI->ptMinTrackSize.y = minY;
    int maxX = m_RootPane->MaxWidth();
    if (maxX != -1) {
        maxX += frameX + 2 * m_sizeRootBorders.cx;
        lpMMI->ptMaxTrackSize.x = lpMMI->ptMaxSize.x = maxX < minX ? minX : maxX;
    }
    int maxY = m_RootPane->MaxHeight();
    if (maxY != -1) {
        maxY += frameY + 2 * m_sizeRootBorders.cy;
        lpMMI->ptMaxTrackSize.y = lpMMI->ptMaxSize.y = maxY < minY ? minY : maxY;
    }
    return true;
}

void ETSLayoutMgr::Relayout()
{
    if (!m_RootPane || !m_pWnd || !m_pWnd->GetSafeHwnd())
        return;
    HWND hWnd = m_pWnd->m_hWnd;
    if (dynamic_cast<CDialog*>(m_pWnd) && !(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) {
        // A top-level dialog is kept between the sizes its tree allows.
        CRect wr;
        m_pWnd->GetWindowRect(&wr);
        CWnd* parent = m_pWnd->GetParent();
        if (parent && dynamic_cast<CView*>(parent)) {
            CRect pr;
            parent->GetWindowRect(&pr);
            wr.OffsetRect(-pr.left, -pr.top);
        }
        CRect area = LayoutArea();
        int frameX = wr.Width() - area.Width();
        int frameY = wr.Height() - area.Height();
        int minX = m_RootPane->MinWidth() + frameX + 2 * m_sizeRootBorders.cx;
        int minY = m_RootPane->MinHeight() + frameY + 2 * m_sizeRootBorders.cy;
        int maxX = m_RootPane->MaxWidth(), maxY = m_RootPane->MaxHeight();
        if (maxX != -1) {
            maxX += frameX + 2 * m_sizeRootBorders.cx;
            if (maxX < minX)
                maxX = minX;
        }
        if (maxY != -1) {
            maxY += frameY + 2 * m_sizeRootBorders.cy;
            if (maxY < minY)
                maxY = minY;
        }
        int cx = wr.Width(), cy = wr.Height();
        if (cx < minX)
            cx = minX;
        if (cy < minY)
            cy = minY;
        if (maxX != -1 && cx > maxX)
            cx = maxX;
        if (maxY != -1 && cy > maxY)
            cy = maxY;
        // Moving only on a change keeps the size message this causes from coming back here for nothing.
        if (cx != wr.Width() || cy != wr.Height())
            m_pWnd->MoveWindow(wr.left, wr.top, cx, cy, TRUE);
    }
    CRect area = LayoutArea();
    area.DeflateRect(m_sizeRootBorders.cx, m_sizeRootBorders.cy);
    ApplyLayout(area);
    m_pWnd->Invalidate(TRUE);
}

bool ETSLayoutMgr::SaveWindowPlacement(const char* section)
{
    CWinApp* app = AfxGetApp();
    if (!app || !section || !m_pWnd || !m_pWnd->GetSafeHwnd())
        return true;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (!m_pWnd->GetWindowPlacement(&wp))
        return true;
    if (wp.showCmd != SW_SHOWMAXIMIZED)
        wp.showCmd = SW_SHOWNORMAL;
    app->WriteProfileBinary(section, ETSLayoutPlacementEntry, reinterpret_cast<LPBYTE>(&wp), sizeof wp);
    return true;
}

bool ETSLayoutMgr::LoadWindowPlacement(const char* section)
{
    CWinApp* app = AfxGetApp();
    if (!app || !section || !m_pWnd || !m_pWnd->GetSafeHwnd())
        return true;
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (app->GetProfileBinary(section, ETSLayoutPlacementEntry, &data, &bytes)) {
        if (data && bytes == sizeof(WINDOWPLACEMENT)) {
            WINDOWPLACEMENT wp;
            memcpy(&wp, data, sizeof wp);
            wp.length = sizeof wp;
            m_pWnd->SetWindowPlacement(&wp);
        }
        delete[] data;
    }
    return true;
}

void ETSLayoutMgr::EraseBackground(CDC* pDC)
{
    if (!pDC || !m_pWnd || !m_pWnd->GetSafeHwnd())
        return;
    HWND owner = m_pWnd->m_hWnd;
    CRect client;
    ::GetClientRect(owner, &client);
    HRGN region = ::CreateRectRgnIndirect(&client);
    if (!region)
        return;
    for (HWND child = ::GetWindow(owner, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        DWORD style = (DWORD)::GetWindowLongA(child, GWL_STYLE);
        if (!(style & WS_VISIBLE))
            continue;
        char cls[32] = {};
        ::GetClassNameA(child, cls, sizeof cls);
        bool button = lstrcmpiA(cls, "Button") == 0;
        // Check boxes, radio buttons and group boxes show the background through.
        if (button && (style & 7) != 0)
            continue;
        CRect r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, owner, reinterpret_cast<LPPOINT>(&r), 2);
        HRGN cut;
        if (lstrcmpiA(cls, "SysTabControl32") == 0) {
            // Only the tab strip and border paint themselves; the page area is ours.
            CRect page = r;
            ::SendMessageA(child, TCM_ADJUSTRECT, FALSE, (LPARAM)&page);
            cut = ::CreateRectRgnIndirect(&r);
            HRGN inner = ::CreateRectRgnIndirect(&page);
            ::CombineRgn(cut, cut, inner, RGN_DIFF);
            ::DeleteObject(inner);
        } else {
            cut = ::CreateRectRgnIndirect(&r);
        }
        ::CombineRgn(region, region, cut, RGN_DIFF);
        ::DeleteObject(cut);
    }
    HBRUSH brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrA(owner, GCLP_HBRBACKGROUND));
    ULONG_PTR value = reinterpret_cast<ULONG_PTR>(brush);
    // A class brush may be a system colour index plus one.
    if (value != 0 && value <= COLOR_MENUBAR + 1)
        brush = ::GetSysColorBrush((int)value - 1);
    if (!brush)
        brush = ::GetSysColorBrush(COLOR_3DFACE);
    ::FillRgn(pDC->GetSafeHdc(), region, brush);
    ::DeleteObject(region);
}
