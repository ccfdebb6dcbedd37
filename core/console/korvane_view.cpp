#include "korvane_view.h"

#include "korvane_app.h"
#include "korvane_doc.h"
#include "main_frame.h"
#include "resource.h"
#include "running_log.h"
#include "request_lock.h"

#include "assistant_settings.h"
#include "mapi/zlm_mapi.h"

extern CZLMMapi g_MapiSession;

BEGIN_MESSAGE_MAP(CKorvaneView, CScrollView)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_CONSOLE, OnConsole)
    ON_COMMAND(ID_TRAY_DEACTIVATE, OnTrayDeactivate)
    ON_COMMAND(ID_CONSOLE_EXIT, OnExit)
    ON_COMMAND(ID_APP_EXIT_CMD, OnExit)
END_MESSAGE_MAP()

CKorvaneView::CKorvaneView(CKorvaneDoc* doc) : m_pDocument(doc)
{
    if (g_pMainFrame)
        g_pMainFrame->m_pConsoleView = this;
}

CKorvaneView::~CKorvaneView()
{
    if (g_pMainFrame && g_pMainFrame->m_pConsoleView == this)
        g_pMainFrame->m_pConsoleView = nullptr;
    if (m_hWnd)
        DestroyWindow();
}

BOOL CKorvaneView::CreateView(CWnd* parent, const RECT& rect, UINT id)
{
    if (!Create(nullptr, "Console", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPSIBLINGS, rect, parent, id))
        return FALSE;
    OnInitialUpdate();
    return TRUE;
}

BOOL CKorvaneView::PreCreateWindow(CREATESTRUCT& cs)
{
    SetScrollSizes(MM_TEXT, CSize(800, 600));
    m_Paragraph.SetOrigin(0, 0);
    m_Paragraph.SetWidth(800);
    m_Paragraph.SetHeight(600);
    return CScrollView::PreCreateWindow(cs);
}

void CKorvaneView::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();
    m_nTimer = SetTimer(IDT_CONSOLE_REFRESH, 2000);
}

void CKorvaneView::OnDestroy()
{
    CScrollView::OnDestroy();
    if (m_nTimer)
        KillTimer(m_nTimer);
    m_nTimer = 0;
}

void CKorvaneView::OnTimer(UINT_PTR nIDEvent)
{
    Invalidate(TRUE);
    CScrollView::OnTimer(nIDEvent);
}

void CKorvaneView::Refresh()
{
    Invalidate(TRUE);
    UpdateWindow();
}

void CKorvaneView::OnPaint()
{
    if (!g_bHoldLog) {
        m_Paragraph.AddText(m_Chunks.Text());
        CString chunk;
        // Only the text written to the file leaves the buffer. The web
        // server's thread appends to the log only while it holds the request
        // lock, so the transfer holds it too (and waits for the next refresh
        // when a web request is running).
        CRequestLock busy(50);
        if (busy.Acquired() && runlog::Transfer(theApp.m_strLogPath, &chunk)) {
            m_nTransferred = chunk.GetLength();
            m_Chunks.Push(chunk);
        }
    }
    CScrollView::OnPaint();
}

void CKorvaneView::OnDraw(CDC* pDC)
{
    pDC->SetBkMode(TRANSPARENT);
    HGDIOBJ old = ::SelectObject(pDC->m_hDC, ::GetStockObject(DEFAULT_GUI_FONT));
    m_Paragraph.Draw(pDC);
    ::SelectObject(pDC->m_hDC, old);
    if (g_MapiSession.GetSessionHandle() == 0) {
        CWnd* top = this;
        while (top && (top->GetStyle() & WS_CHILD))
            top = top->GetParent();
        if (top)
            top->PostMessage(WM_COMMAND, ID_FILE_CLOSE_CMD);
    }
}

void CKorvaneView::OnContextMenu(CWnd*, CPoint point)
{
    if (!g_Settings.GetEnDevDictionary())
        return;
    if (point.x == -1 && point.y == -1) {
        point = CPoint(0, 0);
        ClientToScreen(&point);
        point.Offset(5, 5);
    }
    HMENU menu = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_CONSOLEMENU));
    if (!menu)
        return;
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
}

void CKorvaneView::OnConsole()
{
    if (g_pMainFrame)
        g_pMainFrame->OnConsole();
}

void CKorvaneView::OnTrayDeactivate()
{
    if (g_pMainFrame)
        g_pMainFrame->OnMailDeactivate();
}

void CKorvaneView::OnExit()
{
    if (g_pMainFrame)
        g_pMainFrame->PostMessage(WM_CLOSE);
}
