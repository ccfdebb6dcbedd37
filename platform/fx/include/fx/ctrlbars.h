// Control bars: windows docked along an edge of their parent's client area
// (status bar, dialog bar), placed by AfxRepositionBars. There are no
// docking frames in this layer: a bar stays where its parent puts it.
#pragma once

#include "fx/wnd.h"
#include "fx/collections.h"

#include <vector>

// Control ids of the bars (AFX_IDW_CONTROLBAR_FIRST..LAST, AFX_IDW_STATUS_BAR)
// and ID_SEPARATOR come from fx/fxres.h.
#include "fx/fxres.h"

// Bar styles (the low word and bit 22 of a bar's creation style).
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// Layout modes of CalcDynamicLayout.
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40

// Status bar pane styles.
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS 0x0100
#define SBPS_POPOUT 0x0200
#define SBPS_OWNERDRAW 0x1000
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000

class CFrameWnd;

// Sent to a frame's descendants when the message queue goes idle; each bar
// then brings its items up to date (wParam: disable items nobody handles).
#define WM_IDLEUPDATECMDUI 0x0363

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();

    // Brings the bar's items (buttons, panes) up to date through the
    // update handlers reachable from pTarget, normally the owning frame.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);

    // The size the bar wants: bStretch across the whole parent, bHorz along a top or bottom edge.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual CSize CalcDynamicLayout(int nLength, DWORD dwMode);
    DWORD GetBarStyle() const { return m_dwStyle; }
    // Records the edges the bar may sit along (CBRS_ALIGN_xxx). Bars do not
    // float or get dragged here: a docked bar stays on the edge its style names.
    void EnableDocking(DWORD dwDockStyle);
    // The frame the bar belongs to (its nearest frame ancestor), or null.
    CFrameWnd* GetDockingFrame() const;
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle & CBRS_ALL; }
    // Whether the bar sits in a floating frame of its own.
    BOOL IsFloating() const { return m_bFloating; }
    BOOL IsHorz() const { return (m_dwStyle & CBRS_ORIENT_VERT) == 0; }

    DWORD m_dwStyle;      // CBRS_ styles
    BOOL m_bFloating;     // set by whoever floats the bar in a frame of its own
    CSize m_sizeDefault;  // the size from the bar's creation
    DWORD m_dwDockStyle;  // edges docking allows (EnableDocking)

protected:
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// Places the control bars among pWnd's children whose ids lie in
// [nIDFirst, nIDLast] along the edges their styles ask for; returns the
// client area left over.
CRect AfxRepositionBars(CWnd* pWnd, UINT nIDFirst = AFX_IDW_CONTROLBAR_FIRST,
                        UINT nIDLast = AFX_IDW_CONTROLBAR_LAST);

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar() = default;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; ID_SEPARATOR gives a stretching pane without text.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    int GetCount() const { return (int)m_panes.size(); }
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // Updates every pane but the first (the message pane) through pTarget's
    // update handlers: SetText sets the pane's text, Enable(FALSE) blanks it.
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    struct Pane {
        UINT nID;
        UINT nStyle;
        int cxWidth;
        CString text;
    };
    std::vector<Pane> m_panes;
    void UpdateParts();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

// A bar made from a dialog template (which must have the WS_CHILD style).
class CDialogBar : public CControlBar {
    DECLARE_DYNAMIC(CDialogBar)
public:
    CDialogBar() = default;
    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
    BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID);
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

protected:
    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};
