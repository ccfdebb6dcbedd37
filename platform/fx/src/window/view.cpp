// CView, CScrollView and CFormView.
#include "window_state.h"

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CScrollView, CView)
IMPLEMENT_DYNAMIC(CFormView, CScrollView)

using namespace fx::win;

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CView::OnDraw(CDC*) {}
void CView::OnInitialUpdate() {}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnDraw(&dc);
}

BEGIN_MESSAGE_MAP(CScrollView, CView)
END_MESSAGE_MAP()

CScrollView::CScrollView() : m_nMapMode(MM_TEXT) {}

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    m_nMapMode = nMapMode;
    m_totalLog = sizeTotal;
    m_pageDev = sizePage;
    m_lineDev = sizeLine;
    UpdateBars();
}

void CScrollView::UpdateBars()
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    si.nMax = m_totalLog.cx > 0 ? m_totalLog.cx - 1 : 0;
    si.nPage = (UINT)(client.Width() > 0 ? client.Width() : 0);
    ::SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
    si.nMax = m_totalLog.cy > 0 ? m_totalLog.cy - 1 : 0;
    si.nPage = (UINT)(client.Height() > 0 ? client.Height() : 0);
    ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
}

BEGIN_MESSAGE_MAP(CFormView, CScrollView)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CFormView::CFormView(UINT nIDTemplate) : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)) {}

CFormView::CFormView(LPCTSTR lpszTemplateName)
    : m_lpszTemplateName(IS_INTRESOURCE(lpszTemplateName) ? lpszTemplateName : _strdup(lpszTemplateName))
{
}

CFormView::~CFormView()
{
    if (m_lpszTemplateName && !IS_INTRESOURCE(m_lpszTemplateName))
        free(const_cast<char*>(m_lpszTemplateName));
}

BOOL CFormView::Create(LPCTSTR, LPCTSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                       CCreateContext*)
{
    if (m_hWnd || !pParentWnd || !pParentWnd->m_hWnd)
        return FALSE;
    HWND hWnd = CreateChildFromTemplate(this, m_lpszTemplateName, pParentWnd, nID);
    if (!hWnd)
        return FALSE;
    // The template's size is the form's total size.
    CRect r;
    GetClientRect(&r);
    m_totalLog = r.Size();
    if (!::IsRectEmpty(&rect))
        ::SetWindowPos(hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    OnInitialUpdate();
    if (dwStyle & WS_VISIBLE)
        ShowWindow(SW_SHOWNOACTIVATE);
    return TRUE;
}

void CFormView::OnInitialUpdate() { UpdateData(FALSE); }

LRESULT CFormView::HandleInitDialog(WPARAM, LPARAM)
{
    Default();
    return FALSE;
}
