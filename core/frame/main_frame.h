// The program's one top-level window, an MDI frame: the clock that drives the
// request engine, the tray icon, the caption strip, the mail commands, the
// console's life and the web server's.
#pragma once

#include "fx/fxwin.h"

#include "anim_tray_icon.h"
#include "caption_bar.h"
#include "mdi_client.h"
#include "tick_gate.h"

struct OptionsEffects;

#define IDT_MAIL_TICK 0x3C003FFF
#define IDT_FAST_TICK 0xBAADF00D
#define WM_TRAYNOTIFY 0x8001
#define WM_ACTIVATE_INSTANCE 0x2490
#define FRAME_TEXT_OPTIONS_NEED_DEACTIVATE                                                         \
    "The options can be changed only while your assistant's mail interface is not active.\r\n" \
    "Deactivate it now and open the options?"

class CKorvaneView;

class CMainFrame : public CMDIFrameWnd {
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    CAnimTrayIcon m_TrayIcon;
    CTickGate m_Gate;
    CMdiClient m_wndMDIClient;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CCaptionBar m_wndCaptionBar;
    UINT_PTR m_nMailTimer = static_cast<UINT_PTR>(-1);
    UINT_PTR m_nFastTimer = static_cast<UINT_PTR>(-1);
    UINT_PTR m_nThirdTimer = static_cast<UINT_PTR>(-1);
    BOOL m_bOwnerCreated = FALSE;
    CDialog m_wndOwner;
    int m_nTaskbarState = 2;
    CWnd m_wndHiddenPopup;
    // The open console view, or null; the console views keep it up to date.
    CKorvaneView* m_pConsoleView = nullptr;

    BOOL SetTaskbarButton(BOOL on);
    void UpdateCaption();
    // The commands other modules call.
    afx_msg void OnOptions();
    // The first-run wizard (once; the settings remember it).
    void RunQuickSetup();
    // For the desktop toolbar: an attachment is chosen; the clipboard holds files.
    BOOL HasSelectedFile();
    BOOL CanPasteFiles();
    afx_msg void OnConsole();
    afx_msg void OnMailActivate();
    // The user's Deactivate: automatic activation holds off afterwards.
    afx_msg void OnMailDeactivate();
    // The engine's own (the end of the active hours).
    afx_msg void OnAutoDeactivate();
    // The text of the status pane.
    CString GetStatusText() const;
    // The shared appearance options changed: the console background follows.
    void ApplyBackgroundColours();

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnInitMenuMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnActivateFromOtherInstance(WPARAM wParam, LPARAM lParam);
    afx_msg void OnUpdateMailActivate(CCmdUI* pCmdUI);
    afx_msg void OnUpdateTrayActivate(CCmdUI* pCmdUI);
    afx_msg void OnUpdateTrayDeactivate(CCmdUI* pCmdUI);
    afx_msg void OnUpdateOptions(CCmdUI* pCmdUI);
    afx_msg void OnUpdateStatusPane(CCmdUI* pCmdUI);
    afx_msg void OnUpdatePreviousLog(CCmdUI* pCmdUI);
    afx_msg void OnUpdateNothing(CCmdUI* pCmdUI);
    afx_msg void OnPreviousLog();
    afx_msg void OnFileNew();
    afx_msg void OnProcess();
    afx_msg void OnClearFile();
    afx_msg void OnChooseFile();
    afx_msg void OnPasteFromExplorer();
    DECLARE_MESSAGE_MAP()

private:
    bool MailWatchingOff(CCmdUI* pCmdUI);
    void DeactivateMail(bool byUser);
    // What the options command changes besides the settings.
    OptionsEffects OptionsEffectsOfFrame();
};

extern CMainFrame* g_pMainFrame;
