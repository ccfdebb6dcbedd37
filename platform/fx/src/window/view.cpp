// CView, CScrollView and CFormView.
#include "window_state.h"

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CScrollView, CView)
IMPLEMENT_DYNAMIC(CFormView, CScrollView)

using namespace fx::win;

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_NCDESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, HandleInitialUpdate)
END_MESSAGE_MAP()

CView::CView() : m_pDocument(nullptr), m_bAutoDeleteView(FALSE) {}

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CView::AttachContext(CCreateContext* pContext)
{
    if (!pContext)
        return;
    m_bAutoDeleteView = TRUE;
    if (pContext->m_pCurrentDoc && !m_pDocument)
        pContext->m_pCurrentDoc->AddView(this);
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // Only a context the layer is handing over counts; other creation data is not ours.
    CCreateContext* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (pContext && pContext == Thread().pPendingContext)
        AttachContext(pContext);
    return 0;
}

void CView::LeaveFrameAndDocument()
{
    if (m_hWnd) {
        CFrameWnd* pFrame = GetParentFrame();
        if (pFrame && pFrame->GetActiveView() == this)
            pFrame->SetActiveView(nullptr, FALSE);
    }
    // The document may close itself when its last view goes.
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CView::OnDestroy()
{
    LeaveFrameAndDocument();
    CWnd::OnDestroy();
}

void CView::OnNcDestroy()
{
    // Also for views whose own WM_DESTROY handler skipped the base class.
    LeaveFrameAndDocument();
    CWnd::OnNcDestroy();
}

void CView::PostNcDestroy()
{
    if (m_bAutoDeleteView)
        delete this;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    if (m_hWnd)
        Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    // Take the focus when the view's top-level window is the active one.
    if (bActivate && pActivateView == this && m_hWnd &&
        ::GetAncestor(m_hWnd, GA_ROOT) == ::GetActiveWindow())
        SetFocus();
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    // A click makes the view its frame's active view.
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame && pFrame->GetActiveView() != this)
        pFrame->SetActiveView(this);
    return result;
}

LRESULT CView::HandleInitialUpdate(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnDraw(CDC*) {}

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
                       CCreateContext* pContext)
{
    if (m_hWnd || !pParentWnd || !pParentWnd->m_hWnd)
        return FALSE;
    HWND hWnd = CreateChildFromTemplate(this, m_lpszTemplateName, pParentWnd, nID);
    if (!hWnd)
        return FALSE;
    AttachContext(pContext);
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
