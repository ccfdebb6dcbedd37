// Frame windows: CFrameWnd (a top-level window with a menu, control bars and
// a view), CMDIFrameWnd (the main window of a multiple-document program, with
// the system's MDI client) and CMDIChildWnd (a document's window inside it).
//
// Frames are heap objects: PostNcDestroy deletes them after their window.
// Commands reach the active view first (view, its document, the document's
// template), then the frame, then the application object.
#pragma once

#include "fx/wnd.h"
#include "fx/fxres.h"
#include "fx/ctrlbars.h"
#include "fx/view.h"

class CDocument;
class CDocTemplate;
class CMDIChildWnd;

// Asks a frame to show a prompt in its status bar: wParam a string id (text
// before "\n"), or lParam the text itself.
#define WM_SETMESSAGESTRING 0x0362

// Part iSubString (from 0) of lpszFullString split at chSep; FALSE (and an
// empty rString) when there are fewer parts.
BOOL AfxExtractSubString(CString& rString, LPCTSTR lpszFullString, int iSubString, char chSep = '\n');

// What a frame needs to make its view: given to LoadFrame/Create and passed on
// to OnCreateClient and the view's creation.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    static const CRect rectDefault;  // CW_USEDEFAULT position and size

    // Creates the frame from resource nIDResource: the title is the string's
    // first "\n" part; menu, icon and accelerators of that id are each used
    // when the resource chain has them.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr,
                        LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Views and documents.
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    // The frame whose view is active: this one, or the active MDI child.
    virtual CFrameWnd* GetActiveFrame();
    // Creates the context's view as pane nID of this frame; null on failure.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // Makes the pane the active view, runs the views' OnInitialUpdate and
    // shows the frame (bMakeVisible).
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);

    // Caption: m_strTitle, plus the active document's title with FWS_ADDTOTITLE
    // ("Doc - App" when FWS_PREFIXTITLE, which PreCreateWindow adds).
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle ? lpszTitle : ""; }
    CString GetTitle() const { return m_strTitle; }
    // The caption is brought up to date on the next idle pass.
    void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }

    // Layout: the control bars along their edges, the pane in what is left.
    virtual void RecalcLayout(BOOL bNotify = TRUE);

    // Status prompts.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);
    CWnd* GetMessageBar();

    // Control bars. Docking here is the least that works: a bar sits along
    // the edge its style (or DockControlBar's dock bar id) names; bars do not
    // float and cannot be dragged elsewhere.
    CControlBar* GetControlBar(UINT nID);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);

    // Modal state: the frame is disabled while a modal loop of its own runs.
    virtual void BeginModalState();
    virtual void EndModalState();
    BOOL InModalState() const { return m_nModalCount > 0; }

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override;

    BOOL m_bAutoMenuEnable;  // menu items without a handler are disabled
    UINT m_nIDHelp;          // the resource id the frame was loaded from
    CString m_strTitle;
    HMENU m_hMenuDefault;    // the frame's own menu
    HACCEL m_hAccelTable;
    int m_nWindow;           // the frame's number among its document's frames, or -1

    // Standard frame help commands (usable in message maps).
    afx_msg void OnHelp();
    afx_msg void OnHelpFinder();
    afx_msg void OnHelpIndex();
    afx_msg void OnHelpUsing();
    afx_msg void OnContextHelp();

    // Called by menus (WM_INITMENUPOPUP): runs the update handlers of the
    // popup's items. A derived frame that maps WM_INITMENUPOPUP itself calls
    // this to keep the updates.
    LRESULT HandleInitMenuPopup(WPARAM wParam, LPARAM lParam);

protected:
    // What LoadFrame takes from resource nIDResource: the title (the string's
    // first part) and a window class carrying the icon of that id, if any.
    struct FrameResources {
        CString title;
        HICON hIcon = nullptr;
        HINSTANCE hIconInst = nullptr;
        LPCTSTR lpszClass = nullptr;
    };
    static FrameResources LoadFrameResources(UINT nIDResource);

    enum { idleTitle = 1, idleLayout = 2, idleMessageShown = 4 };
    UINT m_nIdleFlags;
    CView* m_pViewActive;
    UINT m_nIDTracking;     // prompt wanted for the menu item under the cursor
    UINT m_nIDLastMessage;  // prompt shown last
    int m_nModalCount;
    DWORD m_dwDockStyle;

    // Creates the frame's client: the context's view.
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // The creation context of the window being created, or null.
    CCreateContext* ContextOf(LPCREATESTRUCT lpcs) const;
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
    // The accelerators that apply now.
    virtual HACCEL GetDefaultAccelerator();
    // Sets the caption only when it changed (no flicker).
    void SetWindowTextIfChanged(LPCTSTR lpszText);

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnEndSession(BOOL bEnding);
    afx_msg LRESULT OnInitMenuPopupMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMenuSelectMsg(WPARAM wParam, LPARAM lParam);
    afx_msg void OnExitMenuLoop(BOOL bIsTrackPopupMenu);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnBarCheck(UINT nID);
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    friend class CWinThread;
    friend class CMDIChildWnd;
};

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd();

    HWND m_hWndMDIClient;  // the system's MDICLIENT window (id AFX_IDW_PANE_FIRST)

    // Creates the MDI client (CreateClient) rather than a view.
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    virtual BOOL CreateClient(LPCREATESTRUCT lpcs, HMENU hWindowMenu);
    // The Window popup of the frame's default menu, or null.
    virtual HMENU GetWindowMenuPopup(HMENU hMenuBar);

    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate);
    void MDIMaximize(CWnd* pWnd);
    void MDIRestore(CWnd* pWnd);
    void MDINext();
    void MDICascade();
    void MDICascade(int nType);
    void MDITile();
    void MDITile(int nType);
    void MDIIconArrange();
    // Puts hMenuNew (and its Window popup hWindowMenu) on the frame; null keeps the current one.
    HMENU MDISetMenu(HMENU hMenuNew, HMENU hWindowMenu);

    CFrameWnd* GetActiveFrame() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    // Shows the active child's shared menu, or the frame's own (hMenuAlt when given).
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;

protected:
    HACCEL GetDefaultAccelerator() override;
    afx_msg void OnDestroy();
    afx_msg BOOL OnMDIWindowCmd(UINT nID);
    afx_msg void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    afx_msg void OnWindowNew();
    DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd();

    // Creation goes through WM_MDICREATE on the MDI frame's client (the main
    // window when pParentWnd is null); the context reaches OnCreate.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CMDIFrameWnd* pParentWnd = nullptr,
                        CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    CMDIFrameWnd* GetMDIFrame() const;
    void MDIDestroy();
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();

    BOOL DestroyWindow() override;
    void ActivateFrame(int nCmdShow = -1) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;

    HMENU m_hMenuShared;  // the template's menu shown while this child is active
    // m_hAccelTable holds the template's shared accelerators.

protected:
    afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
