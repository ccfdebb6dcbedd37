// CMDIFrameWnd and CMDIChildWnd over the system's MDI client.
#include "window_state.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

using namespace fx::win;

namespace {

bool IsWindowCommand(UINT id) { return id >= AFX_IDM_WINDOW_FIRST && id <= AFX_IDM_WINDOW_LAST; }

// The popup of hMenuBar that holds the Window commands; else one titled "Window".
HMENU FindWindowPopup(HMENU hMenuBar)
{
    if (!hMenuBar || !::IsMenu(hMenuBar))
        return nullptr;
    int n = ::GetMenuItemCount(hMenuBar);
    for (int i = 0; i < n; ++i) {
        HMENU hPopup = ::GetSubMenu(hMenuBar, i);
        if (!hPopup)
            continue;
        int m = ::GetMenuItemCount(hPopup);
        for (int j = 0; j < m; ++j)
            if (IsWindowCommand(::GetMenuItemID(hPopup, j)))
                return hPopup;
    }
    for (int i = 0; i < n; ++i) {
        HMENU hPopup = ::GetSubMenu(hMenuBar, i);
        char text[64] = {};
        if (!hPopup || !::GetMenuStringA(hMenuBar, (UINT)i, text, sizeof text, MF_BYPOSITION))
            continue;
        CString name(text);
        name.Remove('&');
        if (name.CompareNoCase("Window") == 0)
            return hPopup;
    }
    return nullptr;
}

// Keeps the application out of a child frame's command routing for one scope.
class NoAppRouting {
public:
    NoAppRouting() { ++Thread().nNoAppRouting; }
    ~NoAppRouting() { --Thread().nNoAppRouting; }
    NoAppRouting(const NoAppRouting&) = delete;
    NoAppRouting& operator=(const NoAppRouting&) = delete;
};

// The application's routing is back in force for one scope (a handler run
// from a child's routing may send commands of its own).
class AppRouting {
public:
    AppRouting() : m_saved(Thread().nNoAppRouting) { Thread().nNoAppRouting = 0; }
    ~AppRouting() { Thread().nNoAppRouting = m_saved; }
    AppRouting(const AppRouting&) = delete;
    AppRouting& operator=(const AppRouting&) = delete;
private:
    int m_saved;
};

} // namespace

// ---- CMDIFrameWnd -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_WM_DESTROY()
    ON_COMMAND_EX(ID_WINDOW_ARRANGE, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_CASCADE, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_HORZ, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateMDIWindowCmd)
    ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd() : m_hWndMDIClient(nullptr) {}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar) { return FindWindowPopup(hMenuBar); }

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*)
{
    return CreateClient(lpcs, GetWindowMenuPopup(::GetMenu(m_hWnd)));
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, HMENU hWindowMenu)
{
    CLIENTCREATESTRUCT ccs = {hWindowMenu, AFX_IDM_FIRST_MDICHILD};
    DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE |
                  MDIS_ALLCHILDSTYLES;
    m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, style, 0, 0, 0, 0, m_hWnd,
                                        reinterpret_cast<HMENU>((UINT_PTR)AFX_IDW_PANE_FIRST),
                                        AfxGetInstanceHandle(), &ccs);
    return m_hWndMDIClient != nullptr;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    BOOL bMax = FALSE;
    HWND h = m_hWndMDIClient
                 ? reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                                         reinterpret_cast<LPARAM>(&bMax)))
                 : nullptr;
    if (pbMaximized)
        *pbMaximized = h ? bMax : FALSE;
    return dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(h));
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate)
{
    if (m_hWndMDIClient && pWndActivate)
        ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pWndActivate->m_hWnd), 0);
}

void CMDIFrameWnd::MDIMaximize(CWnd* pWnd)
{
    if (m_hWndMDIClient && pWnd)
        ::SendMessageA(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0);
}

void CMDIFrameWnd::MDIRestore(CWnd* pWnd)
{
    if (m_hWndMDIClient && pWnd)
        ::SendMessageA(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0);
}

void CMDIFrameWnd::MDINext()
{
    if (m_hWndMDIClient)
        ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, 0, 0);
}

void CMDIFrameWnd::MDICascade() { MDICascade(0); }
void CMDIFrameWnd::MDICascade(int nType)
{
    if (m_hWndMDIClient)
        ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, (WPARAM)nType, 0);
}
void CMDIFrameWnd::MDITile() { MDITile(MDITILE_HORIZONTAL); }
void CMDIFrameWnd::MDITile(int nType)
{
    if (m_hWndMDIClient)
        ::SendMessageA(m_hWndMDIClient, WM_MDITILE, (WPARAM)nType, 0);
}
void CMDIFrameWnd::MDIIconArrange()
{
    if (m_hWndMDIClient)
        ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0);
}

HMENU CMDIFrameWnd::MDISetMenu(HMENU hMenuNew, HMENU hWindowMenu)
{
    if (!m_hWndMDIClient)
        return nullptr;
    HMENU old = reinterpret_cast<HMENU>(::SendMessageA(m_hWndMDIClient, WM_MDISETMENU,
                                                       reinterpret_cast<WPARAM>(hMenuNew),
                                                       reinterpret_cast<LPARAM>(hWindowMenu)));
    ::DrawMenuBar(m_hWnd);
    return old;
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    HMENU hMenu = hMenuAlt;
    if (!hMenu) {
        CMDIChildWnd* pActive = MDIGetActive();
        if (pActive && pActive->m_hMenuShared)
            hMenu = pActive->m_hMenuShared;
    }
    if (!hMenu)
        hMenu = m_hMenuDefault;
    if (!hMenu || ::GetMenu(m_hWnd) == hMenu)
        return;
    MDISetMenu(hMenu, GetWindowMenuPopup(hMenu));
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* pActive = MDIGetActive();
    return pActive ? static_cast<CFrameWnd*>(pActive) : this;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active child (its view, document, template, then itself) first;
    // the application comes after this frame.
    if (CMDIChildWnd* pActive = MDIGetActive()) {
        NoAppRouting noApp;
        if (pActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    AppRouting app;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

HACCEL CMDIFrameWnd::GetDefaultAccelerator()
{
    CMDIChildWnd* pActive = MDIGetActive();
    if (pActive && pActive->m_hAccelTable)
        return pActive->m_hAccelTable;
    return m_hAccelTable;
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        CMDIChildWnd* pActive = MDIGetActive();
        if (pActive && ::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
            return TRUE;
        // The active child's (shared) accelerators, then the frame's own.
        if (pActive && pActive->m_hAccelTable && ::TranslateAcceleratorA(m_hWnd, pActive->m_hAccelTable, pMsg))
            return TRUE;
        if (m_hAccelTable && ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg))
            return TRUE;
        return FALSE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CMDIFrameWnd::RecalcLayout(BOOL bNotify)
{
    // The MDI client has the pane's id: it takes what the bars leave.
    CFrameWnd::RecalcLayout(bNotify);
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    // "App - Document" for the active child; while the child is maximised the
    // system adds its name itself, so the caption is the application's.
    CMDIChildWnd* pChild = bAddToTitle ? MDIGetActive() : nullptr;
    CDocument* pDoc = pChild && !(pChild->GetStyle() & WS_MAXIMIZE) ? pChild->GetActiveDocument() : nullptr;
    UpdateFrameTitleForDocument(pDoc ? static_cast<LPCTSTR>(pDoc->GetTitle()) : nullptr);
}

BOOL CMDIFrameWnd::OnMDIWindowCmd(UINT nID)
{
    switch (nID) {
    case ID_WINDOW_ARRANGE: MDIIconArrange(); break;
    case ID_WINDOW_CASCADE: MDICascade(); break;
    case ID_WINDOW_TILE_HORZ: MDITile(MDITILE_HORIZONTAL); break;
    case ID_WINDOW_TILE_VERT: MDITile(MDITILE_VERTICAL); break;
    default: return FALSE;
    }
    return TRUE;
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI) { pCmdUI->Enable(MDIGetActive() != nullptr); }

void CMDIFrameWnd::OnWindowNew()
{
    // Another frame on the active document, made by its template.
    CMDIChildWnd* pActive = MDIGetActive();
    CDocument* pDoc = pActive ? pActive->GetActiveDocument() : nullptr;
    CDocTemplate* pTemplate = pDoc ? pDoc->GetDocTemplate() : nullptr;
    if (!pTemplate)
        return;
    CFrameWnd* pFrame = pTemplate->CreateNewFrame(pDoc, pActive);
    if (pFrame)
        pTemplate->InitialUpdateFrame(pFrame, pDoc);
}

void CMDIFrameWnd::OnDestroy()
{
    // The frame's own menu goes with the window; a shared one stays with its template.
    if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault)
        ::SetMenu(m_hWnd, m_hMenuDefault);
    CFrameWnd::OnDestroy();
}

// ---- CMDIChildWnd -------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_MDIACTIVATE()
    ON_WM_MOUSEACTIVATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() : m_hMenuShared(nullptr) {}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD;
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    const FrameResources res = LoadFrameResources(nIDResource);
    const CString& title = res.title;
    LPCTSTR cls = res.lpszClass;
    // A child frame has no menu of its own: its template's shared menu shows
    // on the MDI frame, and the template's accelerators apply while it is active.
    if (CMultiDocTemplate* pTemplate = pContext ? dynamic_cast<CMultiDocTemplate*>(pContext->m_pNewDocTemplate) : nullptr) {
        m_hMenuShared = pTemplate->m_hMenuShared;
        m_hAccelTable = pTemplate->m_hAccelTable;
    }
    CMDIFrameWnd* pParent = dynamic_cast<CMDIFrameWnd*>(pParentWnd);
    if (!Create(cls, title, dwDefaultStyle, rectDefault, pParent, pContext))
        return FALSE;
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    return TRUE;
}

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (m_hWnd)
        return FALSE;
    if (!pParentWnd)
        pParentWnd = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (!pParentWnd || !pParentWnd->m_hWndMDIClient)
        return FALSE;
    m_strTitle = lpszWindowName ? lpszWindowName : "";

    CREATESTRUCT cs = {};
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle | WS_CHILD;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
    cs.cy = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
    cs.hwndParent = pParentWnd->m_hWndMDIClient;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    // Shown later (InitialUpdateFrame), once the view is ready; a maximised
    // sibling keeps the new child maximised.
    BOOL bMaximized = FALSE;
    pParentWnd->MDIGetActive(&bMaximized);
    MDICREATESTRUCTA mcs = {};
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.hOwner = cs.hInstance;
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = cs.style & ~(WS_MAXIMIZE | WS_VISIBLE);
    if (bMaximized)
        mcs.style |= WS_MAXIMIZE;
    mcs.lParam = reinterpret_cast<LPARAM>(cs.lpCreateParams);

    ThreadState& ts = Thread();
    ts.pLastNcDestroyed = nullptr;
    HWND hWnd;
    {
        PendingContext pending(pContext);
        CreationHook hook(this);
        hWnd = reinterpret_cast<HWND>(
            ::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    }
    if (!hWnd) {
        if (ts.pLastNcDestroyed == this)
            return FALSE;  // deleted with its window
        if (m_hWnd && CWnd::FromHandlePermanent(m_hWnd) == this)
            Detach();
        return FALSE;
    }
    if (cs.style & WS_VISIBLE) {
        ::ShowWindow(hWnd, bMaximized ? SW_SHOWMAXIMIZED : SW_SHOW);
        MDIActivate();
    }
    return TRUE;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    if (!m_hWnd)
        return nullptr;
    HWND hClient = ::GetParent(m_hWnd);
    return hClient ? dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(hClient))) : nullptr;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

void CMDIChildWnd::MDIDestroy()
{
    HWND hWnd = m_hWnd;
    HWND hClient = hWnd ? ::GetParent(hWnd) : nullptr;
    if (!hClient)
        return;
    CMDIFrameWnd* pFrame = GetMDIFrame();
    HWND hFrame = pFrame ? pFrame->m_hWnd : nullptr;
    ::SendMessageA(hClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hWnd), 0);
    // This object is gone. With no child left the frame shows its own menu again.
    if (hFrame && CWnd::FromHandlePermanent(hFrame) == pFrame && !pFrame->MDIGetActive())
        pFrame->OnUpdateFrameMenu(nullptr);
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    // Only the MDI client may destroy its children; a child without one goes the usual way.
    if (CWnd::FromHandlePermanent(m_hWnd) != this || !GetMDIFrame())
        return CWnd::DestroyWindow();
    MDIDestroy();
    return TRUE;
}

void CMDIChildWnd::MDIActivate()
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame)
        pFrame->MDIActivate(this);
}

void CMDIChildWnd::MDIMaximize()
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame)
        pFrame->MDIMaximize(this);
}

void CMDIChildWnd::MDIRestore()
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame)
        pFrame->MDIRestore(this);
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (nCmdShow == -1) {
        BOOL bMaximized = FALSE;
        CMDIChildWnd* pActive = pFrame ? pFrame->MDIGetActive(&bMaximized) : nullptr;
        if (!IsWindowVisible())
            nCmdShow = (pActive && pActive != this && bMaximized) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1)
        ShowWindow(nCmdShow);
    MDIActivate();
    // The child's menu and the frame's view of the active child follow.
    OnUpdateFrameMenu(nullptr);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG*)
{
    // The MDI frame translates the child's accelerators.
    return FALSE;
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame)
        pFrame->OnUpdateFrameTitle(bAddToTitle);
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CDocument* pDoc = GetActiveDocument();
    if (!bAddToTitle || !pDoc) {
        SetWindowTextIfChanged(m_strTitle);
        return;
    }
    CString text = pDoc->GetTitle();
    if (m_nWindow > 0) {
        char num[16];
        wsprintfA(num, ":%d", m_nWindow);
        text += num;
    }
    SetWindowTextIfChanged(text);
}

void CMDIChildWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (!pFrame)
        return;
    if (pFrame->MDIGetActive() == this)
        pFrame->OnUpdateFrameMenu(hMenuAlt ? hMenuAlt : m_hMenuShared);
    else if (!pFrame->MDIGetActive())
        pFrame->OnUpdateFrameMenu(nullptr);
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd)
{
    Default();
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (!pFrame)
        return;
    CView* pView = GetActiveView();
    if (bActivate) {
        // The template's menu shows while one of its children is active.
        pFrame->OnUpdateFrameMenu(m_hMenuShared ? m_hMenuShared : pFrame->m_hMenuDefault);
        if (pView)
            pView->OnActivateView(TRUE, pView, pView);
    } else {
        if (pView)
            pView->OnActivateView(FALSE, pView, pView);
        // No child takes over: the frame's own menu comes back.
        if (!pActivateWnd)
            pFrame->OnUpdateFrameMenu(pFrame->m_hMenuDefault);
    }
    pFrame->DelayUpdateFrameTitle();
}

int CMDIChildWnd::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int result = CFrameWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame && pFrame->MDIGetActive() != this)
        MDIActivate();
    return result;
}

void CMDIChildWnd::OnDestroy()
{
    CFrameWnd::OnDestroy();
}
