// The nodes of the layout tree: handles, items, panes, tab and control panes.
#include "ETSLayout.h"

#include <cstdlib>

namespace {

// Each item keeps at least this much in a dimension that is not fixed, so a
// growing spacer never vanishes.
const int kMinItemSize = 5;
// Below this many pixels a deficit is taken whole from one child.
const int kSmallDeficit = 6;
// Redistribution sweeps end long before this; it only bounds a broken tree.
const int kMaxSweeps = 10000;

int Larger(int a, int b) { return a > b ? a : b; }

} // namespace

// ---- LayoutPanePtr ----

LayoutPanePtr::LayoutPanePtr(LayoutPaneBase* pNode) : m_pHolder(nullptr)
{
    if (pNode)
        m_pHolder = new Holder{pNode, 1};
}

LayoutPanePtr::LayoutPanePtr(const LayoutPanePtr& other) : m_pHolder(other.m_pHolder)
{
    if (m_pHolder)
        ::InterlockedIncrement(&m_pHolder->nCount);
}

LayoutPanePtr& LayoutPanePtr::operator=(const LayoutPanePtr& other)
{
    Holder* h = other.m_pHolder;  // other may be this handle
    if (h)
        ::InterlockedIncrement(&h->nCount);
    Release();
    m_pHolder = h;
    return *this;
}

void LayoutPanePtr::Release()
{
    Holder* h = m_pHolder;
    m_pHolder = nullptr;
    if (h && ::InterlockedDecrement(&h->nCount) == 0) {
        delete h->pNode;
        delete h;
    }
}

LayoutPane* LayoutPanePtr::GetPane() const { return dynamic_cast<LayoutPane*>(get()); }

LayoutPanePtr& LayoutPanePtr::AddPane(LayoutPanePtr sub)
{
    LayoutPane* pane = GetPane();
    LayoutPane* subPane = sub.GetPane();
    if (pane && subPane)
        pane->AddSubPane(sub, subPane->GetMode(), subPane->m_sizeSecondary);
    else if (pane && sub)
        pane->AddChild(sub);
    return *this;
}

LayoutPanePtr& LayoutPanePtr::AddItem(LayoutPanePtr item)
{
    if (LayoutPane* pane = GetPane())
        pane->AddChild(item);
    return *this;
}

// ---- LayoutItem ----

LayoutItem::LayoutItem(ETSLayoutMgr* pMgr, HWND hwndCtrl, int modeResize, int sizeX, int sizeY, int sizeXMin,
                       int sizeYMin)
    : LayoutPaneBase(pMgr, modeResize), m_sizeX(sizeX), m_sizeXMin(sizeXMin), m_sizeY(sizeY),
      m_sizeYMin(sizeYMin), m_hwndCtrl(hwndCtrl), m_bComboSpecial(false)
{
    if (!hwndCtrl)
        return;
    CRect r;
    ::GetWindowRect(hwndCtrl, &r);
    if (m_sizeX == 0)
        m_sizeX = r.Width();
    if (m_sizeY == 0)
        m_sizeY = r.Height();
    if (m_sizeXMin == -1)
        m_sizeXMin = r.Width();
    if (m_sizeYMin == -1)
        m_sizeYMin = r.Height();
    char cls[16] = {};
    ::GetClassNameA(hwndCtrl, cls, sizeof cls);
    m_bComboSpecial = strcmp(cls, "ComboBox") == 0;
}

int LayoutItem::PreferredWidth(int total)
{
    if (m_modeResize & LayoutFixedWidth)
        return m_sizeX;
    if (m_modeResize & LayoutPercentWidth)
        return total * m_sizeX / 100;
    return -1;
}

int LayoutItem::PreferredHeight(int total)
{
    if (m_modeResize & LayoutFixedHeight)
        return m_sizeY;
    if (m_modeResize & LayoutPercentHeight)
        return total * m_sizeY / 100;
    return -1;
}

int LayoutItem::MinWidth() { return (m_modeResize & LayoutFixedWidth) ? m_sizeX : Larger(m_sizeXMin, kMinItemSize); }
int LayoutItem::MaxWidth() { return (m_modeResize & LayoutFixedWidth) ? m_sizeX : -1; }
int LayoutItem::MinHeight() { return (m_modeResize & LayoutFixedHeight) ? m_sizeY : Larger(m_sizeYMin, kMinItemSize); }
int LayoutItem::MaxHeight() { return (m_modeResize & LayoutFixedHeight) ? m_sizeY : -1; }

bool LayoutItem::ResizeTo(CRect& rcCell)
{
    if (!m_hwndCtrl || !::IsWindow(m_hwndCtrl))
        return true;
    CRect current;
    ::GetWindowRect(m_hwndCtrl, &current);
    CRect r = rcCell;

    if ((m_modeResize & LayoutFixedWidth) && !(m_modeResize & LayoutFillWidth)) {
        int w = current.Width();
        int align = m_modeResize & LayoutCenterHorz;
        if (align == LayoutCenterHorz)
            r.left += (rcCell.Width() - w) / 2;
        else if (align == LayoutAlignRight)
            r.left = rcCell.right - w;
        r.right = r.left + w;
    }
    if ((m_modeResize & LayoutFixedHeight) && !(m_modeResize & LayoutFillHeight)) {
        int h = current.Height();
        int align = m_modeResize & LayoutCenterVert;
        if (align == LayoutCenterVert)
            r.top += (rcCell.Height() - h) / 2;
        else if (align == LayoutAlignBottom)
            r.top = rcCell.bottom - h;
        r.bottom = r.top + h;
    }

    DWORD style = (DWORD)::GetWindowLongA(m_hwndCtrl, GWL_STYLE);
    // A drop-down combo box's window is its closed height; its list is not ours to size.
    if (m_bComboSpecial && (style & CBS_DROPDOWN))
        r.bottom = r.top + current.Height();

    ::MoveWindow(m_hwndCtrl, r.left, r.top, r.Width(), r.Height(), TRUE);

    // A simple combo box snaps to whole list lines; follow its new height.
    if (m_bComboSpecial && !(style & CBS_DROPDOWN) && !(style & CBS_NOINTEGRALHEIGHT)) {
        CRect after;
        ::GetWindowRect(m_hwndCtrl, &after);
        if (::GetDlgItem(m_hwndCtrl, 1000))
            ::MoveWindow(m_hwndCtrl, r.left, r.top, r.Width(), after.Height(), TRUE);
    }
    ::InvalidateRect(m_hwndCtrl, nullptr, TRUE);
    ::UpdateWindow(m_hwndCtrl);
    return true;
}

// ---- LayoutPane ----

LayoutPane::LayoutPane(ETSLayoutMgr* pMgr, int orientation, int modeResize, int sizeBorder, int sizeExtraBorder,
                       int sizeSecondary)
    : LayoutPaneBase(pMgr, modeResize), m_nOrientation(orientation), m_sizeSecondary(sizeSecondary),
      m_sizeBorder(sizeBorder), m_sizeExtraBorder(sizeExtraBorder)
{
}

int LayoutPane::PreferredWidth(int total)
{
    if (m_modeResize & LayoutPercentWidth)
        return total * m_sizeSecondary / 100;
    if (m_modeResize & LayoutFixedWidth)
        return m_sizeSecondary;
    return 0;
}

int LayoutPane::PreferredHeight(int total)
{
    if (m_modeResize & LayoutPercentHeight)
        return total * m_sizeSecondary / 100;
    if (m_modeResize & LayoutFixedHeight)
        return m_sizeSecondary;
    return 0;
}

// Sizes along a pane add up (with the borders between the children); sizes
// across it are the largest child's. The gaps count only between children:
// an empty pane has none.
int LayoutPane::PaneMinWidth()
{
    int n = GetChildCount();
    if (m_nOrientation == LayoutHorizontal) {
        int sum = 0;
        for (auto& c : m_paneItems)
            sum += Larger(c->MinWidth(), kMinItemSize);
        return sum + (n > 0 ? n - 1 : 0) * m_sizeBorder + 2 * m_sizeExtraBorder;
    }
    if ((m_modeResize & LayoutFixedWidth) && m_sizeSecondary != 0)
        return m_sizeSecondary;
    int most = 0;
    for (auto& c : m_paneItems)
        most = Larger(most, c->MinWidth());
    return most + 2 * m_sizeExtraBorder;
}

int LayoutPane::PaneMaxWidth()
{
    int n = GetChildCount();
    if (m_nOrientation == LayoutHorizontal) {
        if (n == 0)
            return -1;
        int sum = 0;
        for (auto& c : m_paneItems) {
            int m = c->MaxWidth();
            if (m == -1)
                return -1;
            sum += m;
        }
        return sum + (n - 1) * m_sizeBorder + 2 * m_sizeExtraBorder;
    }
    if ((m_modeResize & LayoutFixedWidth) && m_sizeSecondary != 0)
        return m_sizeSecondary;
    if (n == 0)
        return -1;
    int most = 0;
    for (auto& c : m_paneItems) {
        int m = c->MaxWidth();
        if (m == -1)
            return -1;
        most = Larger(most, m);
    }
    return most + 2 * m_sizeExtraBorder;
}

int LayoutPane::PaneMinHeight()
{
    int n = GetChildCount();
    if (m_nOrientation == LayoutVertical) {
        int sum = 0;
        for (auto& c : m_paneItems)
            sum += Larger(c->MinHeight(), kMinItemSize);
        return sum + (n > 0 ? n - 1 : 0) * m_sizeBorder + 2 * m_sizeExtraBorder;
    }
    if ((m_modeResize & LayoutFixedHeight) && m_sizeSecondary != 0)
        return m_sizeSecondary;
    int most = 0;
    for (auto& c : m_paneItems)
        most = Larger(most, c->MinHeight());
    return most + 2 * m_sizeExtraBorder;
}

int LayoutPane::PaneMaxHeight()
{
    int n = GetChildCount();
    if (m_nOrientation == LayoutVertical) {
        if (n == 0)
            return -1;
        int sum = 0;
        for (auto& c : m_paneItems) {
            int m = c->MaxHeight();
            if (m == -1)
                return -1;
            sum += m;
        }
        return sum + (n - 1) * m_sizeBorder + 2 * m_sizeExtraBorder;
    }
    if ((m_modeResize & LayoutFixedHeight) && m_sizeSecondary != 0)
        return m_sizeSecondary;
    if (n == 0)
        return -1;
    int most = 0;
    for (auto& c : m_paneItems) {
        int m = c->MaxHeight();
        if (m == -1)
            return -1;
        most = Larger(most, m);
    }
    return most + 2 * m_sizeExtraBorder;
}

int LayoutPane::MinWidth() { return PaneMinWidth(); }
int LayoutPane::MaxWidth() { return PaneMaxWidth(); }
int LayoutPane::MinHeight() { return PaneMinHeight(); }
int LayoutPane::MaxHeight() { return PaneMaxHeight(); }

bool LayoutPane::AddChild(LayoutPanePtr child)
{
    m_paneItems.push_back(child);
    return true;
}

bool LayoutPane::AddSubPane(LayoutPanePtr pane, int modeResize, int sizeSecondary)
{
    LayoutPane* sub = pane.GetPane();
    if (!sub)
        return AddChild(pane);
    if (sub->m_nOrientation == m_nOrientation) {
        // Same direction: wrap it in a greedy pane of the other orientation.
        LayoutPanePtr wrapper(new LayoutPane(m_pMgr, m_nOrientation == LayoutHorizontal ? LayoutVertical
                                                                                         : LayoutHorizontal,
                                             LayoutGreedy, 0, 0, 0));
        AddChild(wrapper);
        return wrapper.GetPane()->AddSubPane(pane, modeResize, sizeSecondary);
    }
    sub->SetMode(modeResize);
    if (m_nOrientation == LayoutHorizontal) {
        if ((modeResize & LayoutFixedWidth) && sizeSecondary == 0)
            sub->m_sizeSecondary = sub->MinWidth();
        if (modeResize & LayoutPercentWidth)
            sub->m_sizeSecondary = sizeSecondary;
    } else {
        if ((modeResize & LayoutFixedHeight) && sizeSecondary == 0)
            sub->m_sizeSecondary = sub->MinHeight();
        if (modeResize & LayoutPercentHeight)
            sub->m_sizeSecondary = sizeSecondary;
    }
    return AddChild(pane);
}

bool LayoutPane::AddControl(CWnd* pWnd, int modeResize, int sizeX, int sizeY, int sizeXMin, int sizeYMin)
{
    return AddChild(m_pMgr->NewItem(pWnd, modeResize, sizeX, sizeY, sizeXMin, sizeYMin));
}

bool LayoutPane::AddControl(UINT nID, int modeResize, int sizeX, int sizeY, int sizeXMin, int sizeYMin)
{
    return AddChild(m_pMgr->NewItem(nID, modeResize, sizeX, sizeY, sizeXMin, sizeYMin));
}

bool LayoutPane::AddFixedSpace(int size) { return AddChild(m_pMgr->NewFixedSpacer(m_nOrientation, size)); }
bool LayoutPane::AddGrowingSpace() { return AddChild(m_pMgr->NewGrowingSpacer(m_nOrientation)); }
bool LayoutPane::AddSpaceBetween(CWnd* pFirst, CWnd* pSecond)
{
    return AddChild(m_pMgr->NewSpacerBetween(m_nOrientation, pFirst, pSecond));
}
bool LayoutPane::AddSpaceBetween(UINT nIDFirst, UINT nIDSecond)
{
    return AddChild(m_pMgr->NewSpacerBetween(m_nOrientation, nIDFirst, nIDSecond));
}
bool LayoutPane::AddSpaceLike(CWnd* pWnd) { return AddChild(m_pMgr->NewSpacerLike(m_nOrientation, pWnd)); }
bool LayoutPane::AddSpaceLike(UINT nID) { return AddChild(m_pMgr->NewSpacerLike(m_nOrientation, nID)); }

bool LayoutPane::ResizeTo(CRect& rcCell) { return LayOut(rcCell); }

bool LayoutPane::LayOut(CRect rcCell)
{
    const int n = GetChildCount();
    const bool horz = m_nOrientation == LayoutHorizontal;
    const int fixedAlong = horz ? LayoutFixedWidth : LayoutFixedHeight;
    const int percentAlong = horz ? LayoutPercentWidth : LayoutPercentHeight;
    const int fillAlong = horz ? LayoutFillWidth : LayoutFillHeight;

    int free = (horz ? rcCell.Width() : rcCell.Height()) - (n > 0 ? n - 1 : 0) * m_sizeBorder -
               2 * m_sizeExtraBorder;
    if (horz) {
        rcCell.top += m_sizeExtraBorder;
        rcCell.bottom -= m_sizeExtraBorder;
    } else {
        rcCell.left += m_sizeExtraBorder;
        rcCell.right -= m_sizeExtraBorder;
    }

    std::vector<int> size(n, 0), minv(n, 0), maxv(n, -1);
    // A pinned child's size, or -1; pinnedAtMin tells which limit pinned it.
    std::vector<int> pinned(n, -1);
    std::vector<bool> pinnedAtMin(n, false);

    // Fixed children take their own size first.
    int greedy = 0;
    for (int i = 0; i < n; ++i) {
        LayoutPaneBase* c = m_paneItems[i].get();
        int mode = c->GetMode();
        minv[i] = horz ? c->MinWidth() : c->MinHeight();
        maxv[i] = horz ? c->MaxWidth() : c->MaxHeight();
        if (mode & fixedAlong) {
            size[i] = horz ? c->PreferredWidth(0) : c->PreferredHeight(0);
            free -= size[i];
        } else if (!(mode & percentAlong)) {
            ++greedy;
        }
    }
    if (free < 0)
        free = 0;

    // Percent children take their share of what is left, within their limits.
    {
        const int base = free;
        int deficit = 0, slack = 0, sumUnpinned = 0;
        for (int i = 0; i < n; ++i) {
            LayoutPaneBase* c = m_paneItems[i].get();
            int mode = c->GetMode();
            if ((mode & fixedAlong) || !(mode & percentAlong))
                continue;
            int want = horz ? c->PreferredWidth(base) : c->PreferredHeight(base);
            if (want < minv[i]) {
                pinned[i] = minv[i];
                pinnedAtMin[i] = true;
                deficit += minv[i] - want;
            } else if (maxv[i] != -1 && want > maxv[i]) {
                pinned[i] = maxv[i];
                deficit += maxv[i] - want;
            } else {
                size[i] = want;
                slack += want - minv[i];
                sumUnpinned += want;
            }
            free -= want;
        }
        if (deficit > slack && free >= deficit - slack) {
            free -= deficit - slack;
            deficit = slack;
        }
        for (int sweep = 0; deficit != 0 && sumUnpinned >= 0 && sweep < kMaxSweeps; ++sweep) {
            int taken = 0;
            const int sweepDeficit = deficit, sweepSum = sumUnpinned;
            for (int i = 0; i < n; ++i) {
                LayoutPaneBase* c = m_paneItems[i].get();
                int mode = c->GetMode();
                if ((mode & fixedAlong) || !(mode & percentAlong) || pinned[i] != -1)
                    continue;
                int cut = (std::abs(sweepDeficit) < kSmallDeficit || sweepSum == 0)
                              ? sweepDeficit - taken
                              : sweepDeficit * size[i] / sweepSum;
                bool whole = cut == sweepDeficit - taken;
                int newSize = size[i] - cut;
                if (newSize >= minv[i]) {
                    size[i] = newSize;
                    taken += cut;
                    if (whole)
                        break;
                } else {
                    taken += size[i] - minv[i];
                    sumUnpinned -= size[i];
                    pinned[i] = minv[i];
                    pinnedAtMin[i] = true;
                }
            }
            if (taken == 0)
                break;
            deficit -= taken;
        }
        for (int i = 0; i < n; ++i) {
            int mode = m_paneItems[i]->GetMode();
            if (!(mode & fixedAlong) && (mode & percentAlong) && pinned[i] != -1)
                size[i] = pinned[i];
        }
    }

    // Greedy children share the rest equally, within their limits.
    {
        int g = greedy, deficit = 0, slack = 0, sumUnpinned = 0;
        for (int i = 0; i < n; ++i) {
            int mode = m_paneItems[i]->GetMode();
            if ((mode & fixedAlong) || (mode & percentAlong))
                continue;
            int share = g > 1 ? free / g : free;
            if (share < minv[i]) {
                pinned[i] = minv[i];
                pinnedAtMin[i] = true;
                deficit += minv[i] - share;
            } else if (maxv[i] != -1 && share > maxv[i]) {
                pinned[i] = maxv[i];
                deficit += maxv[i] - share;
            } else {
                size[i] = share;
                slack += share - minv[i];
                sumUnpinned += share;
            }
            free -= share;
            --g;
        }
        bool changed = true;
        for (int sweep = 0; changed && deficit != 0 && sumUnpinned >= 1 && sweep < kMaxSweeps; ++sweep) {
            changed = false;
            int taken = 0;
            const int sweepDeficit = deficit, sweepSum = sumUnpinned;
            for (int i = 0; i < n; ++i) {
                int mode = m_paneItems[i]->GetMode();
                if ((mode & fixedAlong) || (mode & percentAlong) || pinned[i] != -1 || size[i] <= 0)
                    continue;
                int rest = sweepDeficit - taken;
                int cut = sweepDeficit * size[i] / sweepSum;
                if (std::abs(sweepDeficit) < kSmallDeficit || cut == 0)
                    cut = rest;
                bool whole = cut == rest;
                int newSize = size[i] - cut;
                if (newSize >= minv[i]) {
                    size[i] = newSize;
                    taken += cut;
                    changed = changed || cut != 0;
                    if (whole)
                        break;
                } else {
                    taken += size[i] - minv[i];
                    changed = changed || size[i] != minv[i];
                    sumUnpinned -= size[i];
                    size[i] = minv[i];
                    pinned[i] = minv[i];
                    pinnedAtMin[i] = true;
                }
            }
            deficit -= taken;
        }
        if (deficit < 0) {
            int surplus = -deficit;
            for (int i = 0; i < n && surplus > 0; ++i) {
                int mode = m_paneItems[i]->GetMode();
                if ((mode & fixedAlong) || (mode & percentAlong) || pinned[i] == -1 || !pinnedAtMin[i])
                    continue;
                if (maxv[i] == -1) {
                    pinned[i] += surplus;
                    surplus = 0;
                } else {
                    int give = maxv[i] - minv[i];
                    if (give > surplus)
                        give = surplus;
                    if (give > 0) {
                        pinned[i] += give;
                        surplus -= give;
                    }
                }
            }
        }
        for (int i = 0; i < n; ++i) {
            int mode = m_paneItems[i]->GetMode();
            if (!(mode & fixedAlong) && !(mode & percentAlong) && pinned[i] != -1)
                size[i] = pinned[i];
        }
    }

    // Space still left goes to the fixed children that fill along this pane.
    if (free > 0) {
        int count = 0;
        for (auto& c : m_paneItems)
            if ((c->GetMode() & fixedAlong) && (c->GetMode() & fillAlong))
                ++count;
        for (int i = 0; i < n && count > 0; ++i) {
            int mode = m_paneItems[i]->GetMode();
            if (!((mode & fixedAlong) && (mode & fillAlong)))
                continue;
            int extra = count > 1 ? free / count : free;
            size[i] += extra;
            free -= extra;
            --count;
        }
    }

    // Place the children one after another.
    int pos = (horz ? rcCell.left : rcCell.top) + m_sizeExtraBorder;
    for (int i = 0; i < n; ++i) {
        CRect child = horz ? CRect(pos, rcCell.top, pos + size[i], rcCell.bottom)
                           : CRect(rcCell.left, pos, rcCell.right, pos + size[i]);
        m_paneItems[i]->ResizeTo(child);
        pos += size[i] + m_sizeBorder;
    }
    return true;
}

// ---- LayoutTabPane ----

LayoutTabPane::LayoutTabPane(ETSLayoutMgr* pMgr, CTabCtrl* pTab, int orientation, int modeResize, int sizeBorder,
                             int sizeExtraBorder, int sizeSecondary)
    : LayoutPane(pMgr, orientation, modeResize, sizeBorder, sizeExtraBorder, sizeSecondary), m_pTab(pTab)
{
}

CSize LayoutTabPane::TabFrame() const
{
    CRect r(0, 0, 0, 0);
    if (m_pTab && m_pTab->GetSafeHwnd())
        m_pTab->AdjustRect(TRUE, &r);
    return CSize(r.Width(), r.Height());
}

int LayoutTabPane::PreferredWidth(int total)
{
    int frame = TabFrame().cx;
    return frame > total ? frame : LayoutPane::PreferredWidth(total);
}

int LayoutTabPane::PreferredHeight(int total)
{
    int frame = TabFrame().cy;
    if (m_modeResize & LayoutFixedHeight)
        return frame + m_sizeSecondary;
    return frame <= total ? LayoutPane::PreferredHeight(total) : frame;
}

int LayoutTabPane::MinWidth() { return PaneMinWidth() + TabFrame().cx; }
int LayoutTabPane::MinHeight() { return PaneMinHeight() + TabFrame().cy; }
int LayoutTabPane::MaxWidth()
{
    int m = PaneMaxWidth();
    return m == -1 ? -1 : m + TabFrame().cx;
}
int LayoutTabPane::MaxHeight()
{
    int m = PaneMaxHeight();
    return m == -1 ? -1 : m + TabFrame().cy;
}

bool LayoutTabPane::ResizeTo(CRect& rcCell)
{
    CRect area = rcCell;
    if (m_pTab && m_pTab->GetSafeHwnd()) {
        m_pTab->MoveWindow(&rcCell, TRUE);
        m_pTab->AdjustRect(FALSE, &area);
    }
    return LayOut(area);
}

// ---- LayoutCtrlPane ----

LayoutCtrlPane::LayoutCtrlPane(ETSLayoutMgr* pMgr, HWND hwndCtrl, int orientation, int modeResize, int sizeBorder,
                               int sizeExtraBorder, int sizeTopExtra, int sizeSecondary)
    : LayoutPane(pMgr, orientation, modeResize, sizeBorder, sizeExtraBorder, sizeSecondary), m_hwndCtrl(hwndCtrl),
      m_sizeTopExtra(sizeTopExtra)
{
}

int LayoutCtrlPane::MinHeight() { return PaneMinHeight() + m_sizeTopExtra; }
int LayoutCtrlPane::MaxHeight()
{
    int m = PaneMaxHeight();
    return m == -1 ? -1 : m + m_sizeTopExtra;
}

bool LayoutCtrlPane::ResizeTo(CRect& rcCell)
{
    if (m_hwndCtrl && ::IsWindow(m_hwndCtrl)) {
        ::MoveWindow(m_hwndCtrl, rcCell.left, rcCell.top, rcCell.Width(), rcCell.Height(), TRUE);
        ::RedrawWindow(m_hwndCtrl, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    CRect inner = rcCell;
    inner.top += m_sizeTopExtra;
    return LayOut(inner);
}
