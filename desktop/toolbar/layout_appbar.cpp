#include "layout_appbar.h"

IMPLEMENT_DYNAMIC(ETSLayoutAppBar, CAppBar)

BEGIN_MESSAGE_MAP(ETSLayoutAppBar, CAppBar)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

ETSLayoutAppBar::ETSLayoutAppBar(UINT nIDTemplate, CWnd* pParent)
    : CAppBar(nIDTemplate, pParent), ETSLayoutMgr(this)
{
}

CRect ETSLayoutAppBar::LayoutArea()
{
    CRect r;
    GetClientRect(&r);
    return r;
}

BOOL ETSLayoutAppBar::OnInitDialog()
{
    BOOL result = CAppBar::OnInitDialog();
    Relayout();
    return result;
}

void ETSLayoutAppBar::OnSize(UINT, int cx, int cy)
{
    Default();
    if (cx + cy >= 1)
        Relayout();
}

void ETSLayoutAppBar::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    Default();
    if (!m_RootPane)
        return;
    CRect wr;
    GetWindowRect(&wr);
    GetLayoutLimits(wr, lpMMI);
}

BOOL ETSLayoutAppBar::OnEraseBkgnd(CDC* pDC)
{
    EraseBackground(pDC);
    return TRUE;
}

void ETSLayoutAppBar::OnDestroy()
{
    m_RootPane.Release();
    CAppBar::OnDestroy();
}
