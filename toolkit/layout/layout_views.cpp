// ETSLayoutFormView and ETSLayoutPropertyPage.
#include "ETSLayout.h"

IMPLEMENT_DYNAMIC(ETSLayoutFormView, CFormView)
IMPLEMENT_DYNAMIC(ETSLayoutPropertyPage, CPropertyPage)

BEGIN_MESSAGE_MAP(ETSLayoutFormView, CFormView)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

ETSLayoutFormView::ETSLayoutFormView(UINT nID, const char* strName) : CFormView(nID), ETSLayoutMgr(this)
{
    if (strName)
        m_sSection = strName;
}

void ETSLayoutFormView::OnSize(UINT nType, int cx, int cy)
{
    // The form never scrolls: its layout always fits the client area.
    SetScrollSizes(MM_TEXT, CSize(cx, cy));
    if (cx != 0 || cy != 0)
        Relayout();
}

void ETSLayoutFormView::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    CFormView::OnGetMinMaxInfo(lpMMI);
    CWnd* parent = GetParent();
    if (!parent)
        return;
    CRect wr;
    parent->GetWindowRect(&wr);
    GetLayoutLimits(wr, lpMMI);
}

BOOL ETSLayoutFormView::OnEraseBkgnd(CDC* pDC)
{
    EraseBackground(pDC);
    return TRUE;
}

// ---- ETSLayoutPropertyPage ----

BEGIN_MESSAGE_MAP(ETSLayoutPropertyPage, CPropertyPage)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_ERASEBKGND()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

ETSLayoutPropertyPage::ETSLayoutPropertyPage() : ETSLayoutMgr(this), m_bLockMove(false) {}

ETSLayoutPropertyPage::ETSLayoutPropertyPage(UINT nIDTemplate, UINT nIDCaption)
    : CPropertyPage(nIDTemplate, nIDCaption), ETSLayoutMgr(this), m_bLockMove(false)
{
}

ETSLayoutPropertyPage::ETSLayoutPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption)
    : CPropertyPage(lpszTemplateName, nIDCaption), ETSLayoutMgr(this), m_bLockMove(false)
{
}

CRect ETSLayoutPropertyPage::LayoutArea()
{
    CRect r;
    GetClientRect(&r);
    return r;
}

ETSLayoutPropertySheet* ETSLayoutPropertyPage::WizardSheet() const
{
    HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    auto sheet = dynamic_cast<ETSLayoutPropertySheet*>(CWnd::FromHandlePermanent(parent));
    return sheet && sheet->IsWizard() ? sheet : nullptr;
}

BOOL ETSLayoutPropertyPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    Relayout();
    HWND parent = ::GetParent(m_hWnd);
    auto sheet = dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(parent));
    if (sheet && sheet->IsWizard())
        m_bLockMove = true;
    return TRUE;
}

BOOL ETSLayoutPropertyPage::OnSetActive()
{
    if (ETSLayoutPropertySheet* sheet = WizardSheet()) {
        m_bLockMove = false;
        MoveWindow(&sheet->m_rcPage, TRUE);
        m_bLockMove = true;
    }
    Relayout();
    return CPropertyPage::OnSetActive();
}

void ETSLayoutPropertyPage::OnSize(UINT nType, int cx, int cy)
{
    CPropertyPage::OnSize(nType, cx, cy);
    if (cx != 0 || cy != 0)
        Relayout();
}

void ETSLayoutPropertyPage::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    CPropertyPage::OnGetMinMaxInfo(lpMMI);
    CRect wr;
    GetWindowRect(&wr);
    GetLayoutLimits(wr, lpMMI);
}

BOOL ETSLayoutPropertyPage::OnEraseBkgnd(CDC* pDC)
{
    EraseBackground(pDC);
    return TRUE;
}

void ETSLayoutPropertyPage::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    if (m_bLockMove)
        lpwndpos->flags |= SWP_NOSIZE | SWP_NOMOVE;
    CPropertyPage::OnWindowPosChanging(lpwndpos);
}

void ETSLayoutPropertyPage::OnDestroy()
{
    m_RootPane.Release();
    CPropertyPage::OnDestroy();
}
