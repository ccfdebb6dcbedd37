// CFrameWnd: creation from resources, the view pane, command routing, menus
// and status prompts, closing.
#include "window_state.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

using namespace fx::win;

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, char chSep)
{
    rString.Empty();
    if (!lpszFullString || iSubString < 0)
        return FALSE;
    const char* p = lpszFullString;
    for (int i = 0; i < iSubString; ++i) {
        p = strchr(p, chSep);
        if (!p)
            return FALSE;
        ++p;
    }
    const char* end = strchr(p, chSep);
    rString = end ? CString(p, (int)(end - p)) : CString(p);
    return TRUE;
}

// ---- CWnd: frames above a window ---------------------------------------------------

CFrameWnd* CWnd::GetParentFrame() const
{
    if (!m_hWnd)
        return nullptr;
    for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h))
        if (CFrameWnd* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(h)))
            return f;
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    if (!m_hWnd)
        return nullptr;
    CFrameWnd* top = dynamic_cast<CFrameWnd*>(const_cast<CWnd*>(this));
    for (CFrameWnd* f = GetParentFrame(); f; f = f->GetParentFrame())
        top = f;
    return top;
}

// ---- CFrameWnd -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ACTIVATE()
    ON_WM_DROPFILES()
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
    ON_WM_EXITMENULOOP()
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopupMsg)
    ON_MESSAGE(WM_MENUSELECT, OnMenuSelectMsg)
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd()
    : m_bAutoMenuEnable(TRUE), m_nIDHelp(0), m_hMenuDefault(nullptr), m_hAccelTable(nullptr), m_nWindow(-1),
      m_nIdleFlags(0), m_pViewActive(nullptr), m_nIDTracking(0), m_nIDLastMessage(0), m_nModalCount(0),
      m_dwDockStyle(0)
{
}

// Accelerators loaded from a resource need no freeing; the frame's menu is
// freed with its window (OnDestroy).
CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    // The document's name comes first in the caption, as the shell shows it.
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName) {
        HINSTANCE hInst = AfxFindResourceHandle(lpszMenuName, RT_MENU);
        if (::FindResourceA(hInst, lpszMenuName, RT_MENU))
            hMenu = ::LoadMenuA(hInst, lpszMenuName);
    }
    m_strTitle = lpszWindowName ? lpszWindowName : "";
    PendingContext pending(pContext);
    ThreadState& ts = Thread();
    ts.pLastNcDestroyed = nullptr;
    int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (rect.left == CW_USEDEFAULT)
        cx = cy = CW_USEDEFAULT;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, cx, cy,
                  pParentWnd->GetSafeHwnd(), hMenu, pContext)) {
        // A window that was made took its menu along (and this object, in
        // PostNcDestroy); otherwise the menu is left to free.
        if (hMenu && ts.pLastNcDestroyed != this && ::IsMenu(hMenu))
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

CFrameWnd::FrameResources CFrameWnd::LoadFrameResources(UINT nIDResource)
{
    FrameResources res;
    LPCTSTR id = MAKEINTRESOURCEA(nIDResource);
    CString full;
    if (full.LoadString(nIDResource))
        AfxExtractSubString(res.title, full, 0, '\n');
    res.hIconInst = AfxFindResourceHandle(id, RT_GROUP_ICON);
    if (::FindResourceA(res.hIconInst, id, RT_GROUP_ICON))
        res.hIcon = ::LoadIconA(res.hIconInst, id);
    res.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), res.hIcon);
    return res;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    LPCTSTR id = MAKEINTRESOURCEA(nIDResource);
    const FrameResources res = LoadFrameResources(nIDResource);
    const CString& title = res.title;
    LPCTSTR cls = res.lpszClass;
    HICON hIcon = res.hIcon;
    HINSTANCE hIconInst = res.hIconInst;
    HINSTANCE hAccInst = AfxFindResourceHandle(id, RT_ACCELERATOR);
    if (::FindResourceA(hAccInst, id, RT_ACCELERATOR))
        m_hAccelTable = ::LoadAcceleratorsA(hAccInst, id);

    if (!Create(cls, title, dwDefaultStyle, rectDefault, pParentWnd, id, 0L, pContext))
        return FALSE;  // the object may be deleted already
    if (hIcon) {
        SetIcon(hIcon, TRUE);
        HICON hSmall = static_cast<HICON>(::LoadImageA(hIconInst, id, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                       ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        SetIcon(hSmall ? hSmall : hIcon, FALSE);
    }
    // Without a context nobody else runs the views' first update.
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    return TRUE;
}

CCreateContext* CFrameWnd::ContextOf(LPCREATESTRUCT lpcs) const
{
    if (!lpcs)
        return nullptr;
    CCreateContext* pending = Thread().pPendingContext;
    if (!pending)
        return nullptr;
    void* param = lpcs->lpCreateParams;
    // An MDI child's creation data is the MDICREATESTRUCT holding the context.
    if (param && param != pending && (GetExStyle() & WS_EX_MDICHILD))
        param = reinterpret_cast<void*>(static_cast<MDICREATESTRUCTA*>(param)->lParam);
    return param == pending ? pending : nullptr;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // A child window's "menu" is its id.
    m_hMenuDefault = (GetStyle() & WS_CHILD) ? nullptr : ::GetMenu(m_hWnd);
    if (!OnCreateClient(lpcs, ContextOf(lpcs)))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (!pContext || !pContext->m_pNewViewClass)
        return nullptr;
    CObject* obj = pContext->m_pNewViewClass->CreateObject();
    CWnd* pView = dynamic_cast<CWnd*>(obj);
    if (!pView) {
        delete obj;
        return nullptr;
    }
    ThreadState& ts = Thread();
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, nID, pContext)) {
        // A view that went with its window deleted itself; any other is ours.
        if (ts.pLastNcDestroyed != pView && !pView->m_hWnd)
            delete pView;
        return nullptr;
    }
    // Views drawn flat inside a frame with a client edge of their own.
    if (pView->GetExStyle() & WS_EX_CLIENTEDGE)
        pView->ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
    return pView;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = pViewNew;
    if (pViewOld && bNotify)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    if (pViewNew && bNotify)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveView();
    return pView ? pView->GetDocument() : nullptr;
}

CFrameWnd* CFrameWnd::GetActiveFrame() { return this; }

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* pView = GetActiveView();
    if (!pView) {
        pView = dynamic_cast<CView*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
        if (pView)
            SetActiveView(pView, FALSE);
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
        if (pView)
            pView->OnActivateFrame(WA_INACTIVE, this);
        int nCmdShow = -1;
        // The main window shows the way the program was started, once.
        CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->m_pMainWnd == this && !IsWindowVisible()) {
            nCmdShow = pApp->m_nCmdShow;
            pApp->m_nCmdShow = -1;
        }
        ActivateFrame(nCmdShow);
        if (pView)
            pView->OnActivateView(TRUE, pView, pView);
    }
    if (pDoc)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1)
        ShowWindow(nCmdShow);
    if (!(GetStyle() & WS_CHILD))
        BringWindowToTop();
}

// ---- Caption --------------------------------------------------------------------------

void CFrameWnd::SetWindowTextIfChanged(LPCTSTR lpszText)
{
    CString current;
    GetWindowText(current);
    if (current != lpszText)
        SetWindowText(lpszText);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CDocument* pDoc = GetActiveDocument();
    if (bAddToTitle && pDoc)
        UpdateFrameTitleForDocument(pDoc->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName)
{
    CString text;
    CString doc(lpszDocName ? lpszDocName : "");
    if (lpszDocName && m_nWindow > 0) {
        char num[16];
        wsprintfA(num, ":%d", m_nWindow);
        doc += num;
    }
    if (!lpszDocName)
        text = m_strTitle;
    else if (GetStyle() & FWS_PREFIXTITLE)
        text = m_strTitle.IsEmpty() ? doc : doc + " - " + m_strTitle;
    else
        text = m_strTitle.IsEmpty() ? doc : m_strTitle + " - " + doc;
    SetWindowTextIfChanged(text);
}

// ---- Layout and bars ------------------------------------------------------------------

void CFrameWnd::RecalcLayout(BOOL)
{
    if (!m_hWnd)
        return;
    CRect rest = AfxRepositionBars(this, AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST);
    HWND hPane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
    if (hPane)
        ::SetWindowPos(hPane, nullptr, rest.left, rest.top, rest.Width(), rest.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    m_nIdleFlags &= ~idleLayout;
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    if (!m_hWnd)
        return nullptr;
    return dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, (int)nID)));
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (bDelay)
        m_nIdleFlags |= idleLayout;
    else
        RecalcLayout();
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT)
{
    if (!pBar)
        return;
    DWORD align = 0;
    switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_TOP: align = CBRS_ALIGN_TOP; break;
    case AFX_IDW_DOCKBAR_BOTTOM: align = CBRS_ALIGN_BOTTOM; break;
    case AFX_IDW_DOCKBAR_LEFT: align = CBRS_ALIGN_LEFT; break;
    case AFX_IDW_DOCKBAR_RIGHT: align = CBRS_ALIGN_RIGHT; break;
    default: break;
    }
    // No dock bar named: the edge the bar's style asks for, if docking allows it,
    // else the first edge both the bar and the frame allow.
    DWORD allowed = (pBar->m_dwDockStyle ? pBar->m_dwDockStyle : CBRS_ALIGN_ANY) &
                    (m_dwDockStyle ? m_dwDockStyle : CBRS_ALIGN_ANY);
    if (!align) {
        align = pBar->m_dwStyle & CBRS_ALIGN_ANY & allowed;
        if (!align) {
            for (DWORD edge : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT})
                if (allowed & edge) {
                    align = edge;
                    break;
                }
        }
    }
    if (align & CBRS_ALIGN_TOP)
        align = CBRS_ALIGN_TOP;
    else if (align & CBRS_ALIGN_BOTTOM)
        align = CBRS_ALIGN_BOTTOM;
    else if (align & CBRS_ALIGN_LEFT)
        align = CBRS_ALIGN_LEFT;
    else if (align & CBRS_ALIGN_RIGHT)
        align = CBRS_ALIGN_RIGHT;
    pBar->m_dwStyle = (pBar->m_dwStyle & ~CBRS_ALIGN_ANY) | align;
    pBar->m_bFloating = FALSE;
    RecalcLayout();
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (!pBar)
        return FALSE;
    ShowControlBar(pBar, !(pBar->GetStyle() & WS_VISIBLE), FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (!pBar) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck((pBar->GetStyle() & WS_VISIBLE) != 0);
}

// ---- Modal state ------------------------------------------------------------------------

void CFrameWnd::BeginModalState()
{
    if (m_nModalCount++ == 0 && m_hWnd)
        ::EnableWindow(m_hWnd, FALSE);
}

void CFrameWnd::EndModalState()
{
    if (m_nModalCount > 0 && --m_nModalCount == 0 && m_hWnd)
        ::EnableWindow(m_hWnd, TRUE);
}

// ---- Commands -----------------------------------------------------------------------------

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view (and through it the document and its template) first.
    CView* pView = GetActiveView();
    if (pView && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // An MDI frame asking its child leaves the application for after itself.
    if (Thread().nNoAppRouting > 0)
        return FALSE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

HACCEL CFrameWnd::GetDefaultAccelerator() { return m_hAccelTable; }

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL hAccel = GetDefaultAccelerator();
        if (hAccel && ::TranslateAcceleratorA(m_hWnd, hAccel, pMsg))
            return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    HMENU hMenu = hMenuAlt ? hMenuAlt : m_hMenuDefault;
    if (hMenu && ::GetMenu(m_hWnd) != hMenu)
        ::SetMenu(m_hWnd, hMenu);
}

// ---- Menus and prompts -----------------------------------------------------------------

LRESULT CFrameWnd::OnInitMenuPopupMsg(WPARAM wParam, LPARAM lParam)
{
    Default();
    return HandleInitMenuPopup(wParam, lParam);
}

LRESULT CFrameWnd::HandleInitMenuPopup(WPARAM wParam, LPARAM lParam)
{
    HMENU hPopup = reinterpret_cast<HMENU>(wParam);
    if (HIWORD(lParam) || !::IsMenu(hPopup))
        return 0;  // the system menu keeps its own states
    CCmdUI state;
    state.m_hMenu = hPopup;
    // Handlers may add or remove items: the count is read again each time.
    for (state.m_nIndex = 0; state.m_nIndex < (UINT)::GetMenuItemCount(hPopup); ++state.m_nIndex) {
        state.m_nIndexMax = (UINT)::GetMenuItemCount(hPopup);
        UINT id = ::GetMenuItemID(hPopup, (int)state.m_nIndex);
        if (id == 0 || id == (UINT)-1)
            continue;  // separators and popups
        state.m_nID = id;
        state.m_hSubMenu = nullptr;
        // System commands and the MDI window list are not disabled for want of a handler.
        state.DoUpdate(this, m_bAutoMenuEnable && id < 0xF000);
    }
    return 0;
}

LRESULT CFrameWnd::OnMenuSelectMsg(WPARAM wParam, LPARAM lParam)
{
    UINT nItemID = LOWORD(wParam);
    UINT nFlags = HIWORD(wParam);
    HMENU hMenu = reinterpret_cast<HMENU>(lParam);
    if (nFlags == 0xFFFF && !hMenu)
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;  // the menu closed
    else if (nFlags & (MF_POPUP | MF_SEPARATOR))
        m_nIDTracking = 0;
    else if (nItemID >= AFX_IDM_FIRST_MDICHILD)
        m_nIDTracking = AFX_IDS_MDICHILD;
    else
        m_nIDTracking = nItemID;
    if (m_nIDTracking != m_nIDLastMessage)
        SendMessage(WM_SETMESSAGESTRING, (WPARAM)m_nIDTracking);
    Default();
    return 0;
}

void CFrameWnd::OnExitMenuLoop(BOOL)
{
    Default();
    m_nIDTracking = AFX_IDS_IDLEMESSAGE;
    if (m_nIDLastMessage != AFX_IDS_IDLEMESSAGE)
        SendMessage(WM_SETMESSAGESTRING, (WPARAM)AFX_IDS_IDLEMESSAGE);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage.Empty();
    CString full;
    if (nID && full.LoadString(nID))
        AfxExtractSubString(rMessage, full, 0, '\n');
}

CWnd* CFrameWnd::GetMessageBar()
{
    // A status bar among the children with the status bar's id (another bar may share the id).
    CWnd* pFirst = nullptr;
    for (HWND h = m_hWnd ? ::GetWindow(m_hWnd, GW_CHILD) : nullptr; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(h) != AFX_IDW_STATUS_BAR)
            continue;
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (dynamic_cast<CStatusBar*>(pWnd))
            return pWnd;
        if (!pFirst)
            pFirst = pWnd;
    }
    return pFirst;
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT nIDLast = m_nIDLastMessage;
    m_nIDLastMessage = (UINT)wParam;
    m_nIdleFlags |= idleMessageShown;
    CWnd* pBar = GetMessageBar();
    if (pBar) {
        CString text;
        if (lParam)
            text = reinterpret_cast<LPCTSTR>(lParam);
        else if (wParam)
            GetMessageString((UINT)wParam, text);
        if (CStatusBar* pStatus = dynamic_cast<CStatusBar*>(pBar))
            pStatus->SetPaneText(0, text);
        else
            pBar->SetWindowText(text);
    }
    return nIDLast;
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText ? lpszText : ""));
}

void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, (WPARAM)nID); }

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (m_nIdleFlags & idleTitle) {
        m_nIdleFlags &= ~idleTitle;
        OnUpdateFrameTitle(TRUE);
    }
    if (m_nIdleFlags & idleLayout)
        RecalcLayout();
    // The message pane starts out with the idle prompt.
    if (!(m_nIdleFlags & idleMessageShown) && GetMessageBar())
        SetMessageText((UINT)AFX_IDS_IDLEMESSAGE);
    return 0;
}

// ---- Focus and activation ----------------------------------------------------------------

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        Default();
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    Default();
    CFrameWnd* pActive = GetActiveFrame();
    CView* pView = pActive ? pActive->GetActiveView() : nullptr;
    if (pView)
        pView->OnActivateFrame(nState, pActive);
    if (nState != WA_INACTIVE && !bMinimized && pView && pView->m_hWnd)
        pView->SetFocus();
}

// ---- Files dropped on the frame ----------------------------------------------------------

void CFrameWnd::OnDropFiles(HDROP hDropInfo)
{
    if (!hDropInfo)
        return;
    SetActiveWindow();
    CWinApp* pApp = AfxGetApp();
    UINT n = ::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
        UINT len = ::DragQueryFileA(hDropInfo, i, nullptr, 0);
        if (len == 0)
            continue;
        CString name;
        char* buf = name.GetBuffer((int)len + 1);
        ::DragQueryFileA(hDropInfo, i, buf, len + 1);
        name.ReleaseBuffer();
        if (pApp)
            pApp->OpenDocumentFile(name);
    }
    ::DragFinish(hDropInfo);
}

// ---- Closing -------------------------------------------------------------------------------

void CFrameWnd::OnClose()
{
    HWND hWnd = m_hWnd;
    CDocument* pDocument = GetActiveDocument();
    if (pDocument && !pDocument->CanCloseFrame(this))
        return;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        // The main window: every document is offered for saving, then closed.
        if (!pDocument && !pApp->SaveAllModified())
            return;
        pApp->CloseAllDocuments(FALSE);
        // Closing the documents may have destroyed this frame (single-document programs).
        if (CWnd::FromHandlePermanent(hWnd) != this)
            return;
        pDocument = GetActiveDocument();
    }
    if (pDocument && pDocument->m_bAutoDelete) {
        BOOL bOtherFrame = FALSE;
        POSITION pos = pDocument->GetFirstViewPosition();
        while (pos) {
            CView* pView = pDocument->GetNextView(pos);
            if (pView->GetParentFrame() != this) {
                bOtherFrame = TRUE;
                break;
            }
        }
        if (!bOtherFrame) {
            // The document's last frame: closing the document closes the frame.
            pDocument->OnCloseDocument();
            return;
        }
        pDocument->PreCloseFrame(this);
    }
    DestroyWindow();
}

BOOL CFrameWnd::OnQueryEndSession()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        return pApp->SaveAllModified();
    return TRUE;
}

void CFrameWnd::OnEndSession(BOOL bEnding)
{
    CWinApp* pApp = AfxGetApp();
    if (bEnding && pApp && pApp->m_pMainWnd == this)
        pApp->CloseAllDocuments(TRUE);
}

void CFrameWnd::OnDestroy()
{
    // Bars and views go with the window; forget the active view first.
    m_pViewActive = nullptr;
    // The frame's own menu, when another one shows, is not freed by the window.
    if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault && !(GetStyle() & WS_CHILD))
        ::DestroyMenu(m_hMenuDefault);
    m_hMenuDefault = nullptr;
    CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy() { delete this; }

// ---- Help ------------------------------------------------------------------------------------

static void RunHelp(CWnd* pWnd, UINT nCommand, ULONG_PTR dwData)
{
    CWinApp* pApp = AfxGetApp();
    // Without a help file there is nothing to show.
    if (!pApp || !pApp->m_pszHelpFilePath || !*pApp->m_pszHelpFilePath)
        return;
    ::WinHelpA(pWnd->GetSafeHwnd(), pApp->m_pszHelpFilePath, nCommand, dwData);
}

void CFrameWnd::OnHelp() { RunHelp(this, HELP_CONTEXT, m_nIDHelp ? 0x20000 + m_nIDHelp : 0); }
void CFrameWnd::OnHelpFinder() { RunHelp(this, HELP_FINDER, 0); }
void CFrameWnd::OnHelpIndex() { RunHelp(this, HELP_INDEX, 0); }
void CFrameWnd::OnHelpUsing() { RunHelp(this, HELP_HELPONHELP, 0); }
void CFrameWnd::OnContextHelp() { RunHelp(this, HELP_FINDER, 0); }
