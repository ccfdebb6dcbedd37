// ETSLayoutPropertySheet: a sizable property sheet whose tab control, page
// and buttons follow the layout.
#include "ETSLayout.h"

IMPLEMENT_DYNAMIC(ETSLayoutPropertySheet, CPropertySheet)

namespace {
// Control ids of the property sheet control's own children.
const UINT kIdBack = 12323;
const UINT kIdNext = 12324;
const UINT kIdFinish = 12325;
const UINT kIdApplyNow = 12321;
const UINT kIdHelp = 9;
const UINT kIdWizardLine = 12326;
const DWORD kStatusBarStyle = 0x50008200;
const UINT kStatusBarPane[] = {ID_SEPARATOR};
// Styles a layout sheet adds to itself: clip children, system menu, sizing frame.
const DWORD kSheetStyles = 0x020C0000;
} // namespace

BEGIN_MESSAGE_MAP(ETSLayoutPropertySheet, CPropertySheet)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

ETSLayoutPropertySheet::ETSLayoutPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage,
                                               const char* strName, bool bGripper)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage), ETSLayoutMgr(this), m_bGripper(bGripper),
      m_bAutoDestroy(false), m_bAutoDestroyPages(false), m_bModelessButtons(false)
{
    if (strName)
        m_sSection = strName;
}

ETSLayoutPropertySheet::ETSLayoutPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage,
                                               const char* strName, bool bGripper)
    : CPropertySheet(pszCaption, pParentWnd, iSelectPage), ETSLayoutMgr(this), m_bGripper(bGripper),
      m_bAutoDestroy(false), m_bAutoDestroyPages(false), m_bModelessButtons(false)
{
    if (strName)
        m_sSection = strName;
}

void ETSLayoutPropertySheet::ApplyLayout(CRect area) { ResizeRoot(area); }

int ETSLayoutPropertySheet::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    int r = CPropertySheet::OnCreate(lpCreateStruct);
    ModifyStyle(0, kSheetStyles);
    return r;
}

BOOL ETSLayoutPropertySheet::OnInitDialog()
{
    BOOL result = CPropertySheet::OnInitDialog();
    GetWindowRect(&m_rcStart);
    CRect client;
    GetClientRect(&client);

    LayoutPanePtr root = CreateRootPane(LayoutVertical, 5, 0);
    CTabCtrl* tab = GetTabControl();
    m_ItemTab = NewItem(tab, LayoutGreedy);
    root.AddItem(m_ItemTab);
    bool wizard = IsWizard();
    if (wizard) {
        if (tab)
            tab->ShowWindow(SW_HIDE);
        if (GetDlgItem(kIdWizardLine))
            root.AddItem(NewItem(kIdWizardLine, LayoutFixedHeight));
    }

    if (wizard || !IsModeless() || m_bModelessButtons) {
        LayoutPanePtr buttons = NewPane(LayoutHorizontal, LayoutFixedHeight, 5, 0);
        buttons.AddItem(NewGrowingSpacer(LayoutHorizontal));
        const UINT ids[] = {kIdBack, kIdNext, IDOK, IDCANCEL, kIdApplyNow, kIdHelp};
        bool first = true;
        for (UINT id : ids) {
            CWnd* button = GetDlgItem(id);
            if (!button)
                continue;
            if (id == kIdHelp && !(m_psh.dwFlags & PSH_HASHELP))
                continue;
            if (id == kIdApplyNow && (m_psh.dwFlags & PSH_NOAPPLYNOW))
                continue;
            if (wizard && !first && id != kIdNext)
                buttons.AddItem(NewFixedSpacer(LayoutHorizontal, 12));
            first = false;
            button->ShowWindow(SW_SHOW);
            buttons.AddItem(NewItem(button, LayoutFixedWidth | LayoutFixedHeight, 0, 0, -1, -1));
        }
        root.AddPane(buttons);
    }

    if (m_bGripper) {
        if (m_StatusBar.Create(this, kStatusBarStyle, AFX_IDW_STATUS_BAR)) {
            m_StatusBar.SetIndicators(kStatusBarPane, 1);
            m_StatusBar.SetPaneInfo(0, ID_SEPARATOR, SBPS_STRETCH | SBPS_NOBORDERS, 0);
            // Room for the bar below the buttons.
            CRect bar;
            m_StatusBar.GetWindowRect(&bar);
            root.AddItem(NewFixedSpacer(LayoutVertical, bar.Height() > m_sizeRootBorders.cy
                                                            ? bar.Height() - m_sizeRootBorders.cy
                                                            : 0));
            AfxRepositionBars(this, AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST);
        } else {
            AfxMessageBox("Error - Statusbar");
        }
    }

    if (!m_sSection.IsEmpty())
        LoadWindowPlacement(m_sSection);
    Resize(1, 1);
    CRect wr;
    GetWindowRect(&wr);
    MoveWindow(&wr, TRUE);
    return result;
}

void ETSLayoutPropertySheet::Resize(int cx, int cy)
{
    if ((cx == 0 && cy == 0) || !m_RootPane)
        return;
    Relayout();
    bool wizard = IsWizard();
    if (wizard) {
        CWnd* next = GetDlgItem(kIdNext);
        CWnd* finish = GetDlgItem(kIdFinish);
        if (next && finish) {
            CRect r;
            next->GetWindowRect(&r);
            ScreenToClient(&r);
            finish->MoveWindow(&r, TRUE);
            finish->RedrawWindow();
        }
    }
    if (m_bGripper && m_StatusBar.GetSafeHwnd())
        AfxRepositionBars(this, AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST);
    if (CTabCtrl* tab = GetTabControl()) {
        CRect r;
        tab->GetWindowRect(&r);
        ScreenToClient(&r);
        if (wizard)
            r.bottom += 5;
        else
            tab->AdjustRect(FALSE, &r);
        m_rcPage = r;
    }
    if (CPropertyPage* page = GetActivePage()) {
        auto layoutPage = dynamic_cast<ETSLayoutPropertyPage*>(page);
        if (layoutPage)
            layoutPage->m_bLockMove = false;
        page->MoveWindow(&m_rcPage, TRUE);
        if (layoutPage)
            layoutPage->m_bLockMove = true;
    }
    if (IsWindowVisible())
        RedrawWindow();
}

void ETSLayoutPropertySheet::OnSize(UINT nType, int cx, int cy)
{
    CPropertySheet::OnSize(nType, cx, cy);
    Resize(cx, cy);
}

void ETSLayoutPropertySheet::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    CPropertySheet::OnGetMinMaxInfo(lpMMI);
    CTabCtrl* tab = GetTabControl();
    if (!m_RootPane || !tab)
        return;
    // The tab item must hold the largest page.
    int minX = 0, minY = 0;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (!page->GetSafeHwnd())
            continue;
        MINMAXINFO mmi = {};
        page->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        if (mmi.ptMinTrackSize.x > minX)
            minX = mmi.ptMinTrackSize.x;
        if (mmi.ptMinTrackSize.y > minY)
            minY = mmi.ptMinTrackSize.y;
    }
    if (auto item = dynamic_cast<LayoutItem*>(m_ItemTab.get())) {
        if (minX)
            item->m_sizeXMin = minX;
        if (minY)
            item->m_sizeYMin = minY;
    }
    CRect frame(0, 0, 0, 0);
    if (!IsWizard())
        tab->AdjustRect(TRUE, &frame);
    CRect wr;
    GetWindowRect(&wr);
    CRect area = LayoutArea();
    int x = m_RootPane->MinWidth() + (wr.Width() - area.Width()) + 2 * m_sizeRootBorders.cx + frame.Width();
    int y = m_RootPane->MinHeight() + (wr.Height() - area.Height()) + 2 * m_sizeRootBorders.cy + frame.Height();
    lpMMI->ptMinTrackSize.x = x > m_rcStart.Width() ? x : m_rcStart.Width();
    lpMMI->ptMinTrackSize.y = y > m_rcStart.Height() ? y : m_rcStart.Height();
}

BOOL ETSLayoutPropertySheet::OnEraseBkgnd(CDC* pDC)
{
    EraseBackground(pDC);
    return TRUE;
}

void ETSLayoutPropertySheet::OnDestroy()
{
    if (!m_sSection.IsEmpty())
        SaveWindowPlacement(m_sSection);
    m_ItemTab.Release();
    m_RootPane.Release();
    CPropertySheet::OnDestroy();
}

void ETSLayoutPropertySheet::PostNcDestroy()
{
    if (m_bAutoDestroyPages) {
        // Each page leaves the sheet as it goes; work on a copy of the list.
        std::vector<CPropertyPage*> pages;
        for (int i = 0; i < GetPageCount(); ++i)
            pages.push_back(GetPage(i));
        for (CPropertyPage* page : pages) {
            RemovePage(page);
            delete page;
        }
    }
    if (m_bAutoDestroy)
        delete this;
}
