// CAppBar: a dialog that registers itself with the shell as an application
// desktop toolbar, docks to a screen edge with the shell reserving that strip,
// hides against its edge and slides out (auto-hide), stays on top, is dragged
// between edges and sized across its edge. Its whole state is one 48-byte
// record that its user stores and restores.
#pragma once

#include "appbar_state.h"

#include "fx/fxwin.h"

#include <shellapi.h>

// Every shell call of the bar goes through this one function: the shell's own
// SHAppBarMessage, or in tests a shell that reserves, refuses and notifies.
typedef UINT_PTR (*AppBarShellProc)(DWORD message, APPBARDATA* data);
// Installs proc (null: the shell's own); returns the previous one.
AppBarShellProc SetAppBarShell(AppBarShellProc proc);

// The registered "AppBarNotify" message: the callback of every shell call.
extern UINT g_uAppBarNotifyMsg;

#define APPBAR_TEXT_AUTOHIDE_TAKEN \
    "There is already an auto hidden window on this edge.\nOnly one auto hidden window is allowed on each edge."

class CAppBar : public CDialog {
    DECLARE_DYNAMIC(CAppBar)
public:
    CAppBar();
    CAppBar(UINT nIDTemplate, CWnd* pParent);

    void SetState(const CAppBarState* record);
    void GetStateRecord(CAppBarState* out) const;
    int GetState() const;
    BOOL IsAutoHide() const { return m_barState.autoHide != 0; }
    BOOL IsAlwaysOnTop() const { return m_barState.alwaysOnTop != 0; }
    void GetFloatRect(RECT* out) const;
    void SetAutoHideAndTopmost(DWORD mask, DWORD flags);
    void ShowHiddenBar(BOOL show);
    UINT_PTR AppBarMessage(DWORD message, int edge, LPARAM lParam = 0, RECT* rect = nullptr);

    virtual void OnAppBarStateChange(BOOL proposed, int state);
    virtual void OnAutoHideRefused();
    virtual void OnFullScreenApp(BOOL open);
    virtual void OnPositionChanged();
    virtual void OnTaskbarStateChange(DWORD changedMask, DWORD newState);
    virtual void OnWindowArrange(BOOL beginning);

    DWORD m_dwTaskbarState = 0;
    int m_nOverlap = 0;
    CAppBarState m_barState;
    DWORD m_dwOptions = 0;
    SIZE m_szIncrement = {0, 0};
    int m_nProposedState = APPBAR_NONE;
    BOOL m_bFullScreenApp = FALSE;
    BOOL m_bShown = FALSE;
    BOOL m_bKeepShown = FALSE;

    // Applies a state: the shell's reservation, position, z-order.
    void ApplyState(int newState);
    // The docked rectangle for a state (floating leaves rect as it is).
    void GetRect(int state, RECT* rect);
    BOOL AdjustAutoHideRect(BOOL show, RECT* rect);
    void SlideWindow(const RECT& target);

protected:
    int ProposeState(POINT pt);

    afx_msg LRESULT OnAppBarNotify(WPARAM code, LPARAM lParam);
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnDestroy();
    afx_msg void OnActivate(UINT state, CWnd* other, BOOL minimized);
    afx_msg void OnWindowPosChanged(WINDOWPOS* pos);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnNcMouseMove(UINT hit, CPoint pt);
    afx_msg LRESULT OnNcHitTest(CPoint pt);
    afx_msg void OnEnterSizeMove();
    afx_msg void OnMoving(UINT side, LPRECT rect);
    afx_msg void OnSizing(UINT side, LPRECT rect);
    afx_msg void OnExitSizeMove();
    DECLARE_MESSAGE_MAP()

private:
    void Init();
};
