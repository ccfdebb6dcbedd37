#include "korvane_view.h"

#include "korvane_app.h"
#include "korvane_doc.h"
#include "main_frame.h"
#include "resource.h"
#include "running_log.h"

#include "assistant_settings.h"
#include "mapi/zlm_mapi.h"

#include <algorithm>
#include <vector>

extern CZLMMapi g_MapiSession;

namespace {
// Every console view alive, oldest first. The frame's console pointer names
// the newest; when that one closes the pointer goes back to the one before,
// so a second view (a ".kvn" file opened while the console is up) closing
// does not make the frame believe the mail interface is off.
std::vector<CKorvaneView*>& LiveViews()
{
    static std::vector<CKorvaneView*> views;
    return views;
}

void PublishNewestView()
{
    if (g_pMainFrame)
        g_pMainFrame->m_pConsoleView = LiveViews().empty() ? nullptr : LiveViews().back();
}
}  // namespace

IMPLEMENT_DYNCREATE(CKorvaneView, CScrollView)

BEGIN_MESSAGE_MAP(CKorvaneView, CScrollView)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_CONSOLE, OnConsole)
    ON_COMMAND(ID_TRAY_DEACTIVATE, OnTrayDeactivate)
    ON_COMMAND(ID_CONSOLE_EXIT, OnExit)
    ON_COMMAND(ID_APP_EXIT, OnExit)
    ON_UPDATE_COMMAND_UI(ID_TRAY_ACTIVATE, OnUpdateTrayActivate)
END_MESSAGE_MAP()

CKorvaneView::CKorvaneView()
{
    LiveViews().push_back(this);
    PublishNewestView();
}

CKorvaneView::~CKorvaneView()
{
    auto& views = LiveViews();
    views.erase(std::remove(views.begin(), views.end(), this), views.end());
    PublishNewestView();
}

CKorvaneDoc* CKorvaneView::GetDocument() const { return static_cast<CKorvaneDoc*>(m_pDocument); }

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

void CKorvaneView::OnPaint()
{
    if (!g_bHoldLog) {
        m_Paragraph.AddText(m_Chunks.Text());
        CString chunk;
        // Only the text written to the file leaves the buffer; while a web
        // request holds the log's lock the transfer waits for the next refresh.
        if (runlog::Transfer(theApp.m_strLogPath, &chunk)) {
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
        // A console whose mail session has ended closes itself.
        CWnd* top = this;
        while (top && (top->GetStyle() & WS_CHILD))
            top = top->GetParent();
        if (top)
            top->PostMessage(WM_COMMAND, ID_FILE_CLOSE);
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

// While a console is open the mail interface is active.
void CKorvaneView::OnUpdateTrayActivate(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

// ---- the console's child window ----

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CChildFrame, CMDIChildWnd)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

void CChildFrame::OnClose()
{
    // Only the console's own window ends the session: a window of a ".kvn"
    // file (a document read from a path) closes without touching the mail.
    CDocument* doc = GetActiveDocument();
    if (!doc || doc->GetPathName().IsEmpty()) {
        g_MapiSession.Logoff(0, nullptr);
        if (g_pMainFrame) {
            try {
                g_pMainFrame->m_TrayIcon.SetTooltipText("Vindalex is not active.");
            } catch (...) {
            }
            g_pMainFrame->m_TrayIcon.ShowInactiveIcon();
        }
    }
    CMDIChildWnd::OnClose();
}
