// Tool bars: a row of command buttons over the common tool-bar control.
//
// CToolBarCtrl is the thin wrapper of the control's TB_ messages; CToolBar is
// the control bar built on it: buttons from a TOOLBAR resource and its
// bitmap, placed along an edge of the frame by AfxRepositionBars, its
// buttons brought up to date through ON_UPDATE_COMMAND_UI handlers, tool tips
// from the commands' strings. A click sends WM_COMMAND with the button's id
// to the bar's parent, as the control does.
#pragma once

#include "fx/ctrlbars.h"

#include <commctrl.h>

#ifndef AFX_IDW_TOOLBAR
#define AFX_IDW_TOOLBAR 0xE800
#endif

// The resource type of a tool bar's layout: WORD version (1), WORD width,
// WORD height, WORD count, then count WORD command ids (0: separator).
#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCE(241)
#endif

// Button styles: the control's style in the low word, its state in the high
// word; TBBS_DISABLED is the control's "enabled" state bit, inverted.
#define TBBS_BUTTON MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP (TBBS_GROUP | TBBS_CHECKBOX)
#define TBBS_DROPDOWN MAKELONG(TBSTYLE_DROPDOWN, 0)
#define TBBS_AUTOSIZE MAKELONG(TBSTYLE_AUTOSIZE, 0)
#define TBBS_NOPREFIX MAKELONG(TBSTYLE_NOPREFIX, 0)
#define TBBS_CHECKED MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN MAKELONG(0, TBSTATE_HIDDEN)
#define TBBS_WRAPPED MAKELONG(0, TBSTATE_WRAP)
#define TBBS_ELLIPSES MAKELONG(0, TBSTATE_ELLIPSES)
#define TBBS_MARKED MAKELONG(0, TBSTATE_MARKED)

// Loads a bitmap resource with its standard button colours (black, dark
// grey, grey, white of a colour table) mapped to the system's button colours,
// so that the grey background blends with the button face. Null on failure.
HBITMAP AfxLoadSysColorBitmap(HINSTANCE hInst, HRSRC hRsrc, BOOL bMono = FALSE);

class CToolBarCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolBarCtrl)
public:
    CToolBarCtrl() = default;
    ~CToolBarCtrl() override;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL AddButtons(int nNumButtons, LPTBBUTTON lpButtons);
    BOOL InsertButton(int nIndex, LPTBBUTTON lpButton);
    BOOL DeleteButton(int nIndex);
    BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const;
    int GetButtonCount() const;
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const;
    int CommandToIndex(UINT nID) const;
    void SetButtonStructSize(int nSize);
    BOOL SetButtonSize(CSize size);
    BOOL SetBitmapSize(CSize size);
    CSize GetButtonSize() const;
    BOOL SetButtonWidth(int cxMin, int cxMax);
    int AddBitmap(int nNumButtons, UINT nBitmapID);
    int AddBitmap(int nNumButtons, CBitmap* pBitmap);
    int AddBitmap(int nNumButtons, HBITMAP hBitmap);
    BOOL ReplaceBitmap(LPTBREPLACEBITMAP pReplaceBitmap);
    int AddStrings(LPCTSTR lpszStrings);

    // Commands by id.
    BOOL EnableButton(int nID, BOOL bEnable = TRUE);
    BOOL CheckButton(int nID, BOOL bCheck = TRUE);
    BOOL PressButton(int nID, BOOL bPress = TRUE);
    BOOL HideButton(int nID, BOOL bHide = TRUE);
    BOOL Indeterminate(int nID, BOOL bIndeterminate = TRUE);
    BOOL IsButtonEnabled(int nID) const;
    BOOL IsButtonChecked(int nID) const;
    BOOL IsButtonPressed(int nID) const;
    BOOL IsButtonHidden(int nID) const;
    BOOL SetState(int nID, UINT nState);
    int GetState(int nID) const;

    BOOL GetButtonInfo(int nID, TBBUTTONINFOA* ptbbi) const;
    BOOL SetButtonInfo(int nID, TBBUTTONINFOA* ptbbi);

    int GetHotItem() const;
    int SetHotItem(int nHot);
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD dwExStyle);
    CToolTipCtrl* GetToolTips() const;
    void SetToolTips(CToolTipCtrl* pTip);
    int GetRows() const;
    void AutoSize();

private:
    mutable CToolTipCtrl m_tipWrapper;  // GetToolTips' view of a tip nobody wrapped
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    // dwCtrlStyle: TBSTYLE_ styles of the control; the CBRS_ bits of dwStyle
    // are the bar's own, the rest its window style; rcBorders: space kept
    // around the buttons.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);

    // The buttons of a TOOLBAR resource and the bitmap of the same name,
    // both found through the resource chain. FALSE, with the bar unchanged
    // where it can be, when either is missing or malformed.
    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
    // Takes ownership of the image strip (deleted with the bar or the next strip).
    BOOL SetBitmap(HBITMAP hbmImageWell);
    // sizeButton must be larger than sizeImage by at least 7 x 6.
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    void SetHeight(int cyHeight);
    // One button per id, images in order; ID_SEPARATOR gives a separator; a
    // null array gives nIDCount empty separators (filled by SetButtonInfo).
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
    CString GetButtonText(int nIndex) const;
    void GetButtonText(int nIndex, CString& rString) const;
    int GetCount() const;

    CToolBarCtrl& GetToolBarCtrl() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    // The work of OnUpdateCmdUI: asks pTarget's update handlers about every
    // button; buttons nobody handles are disabled when bDisableIfNoHndler.
    void UpdateButtons(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    // The tool tip of a command: its string resource after the first "\n".
    static CString GetToolTipText(UINT nID);

    HBITMAP m_hbmImageWell;  // owned image strip, or null
    HINSTANCE m_hInstImageWell;
    HRSRC m_hRsrcImageWell;
    CSize m_sizeButton;
    CSize m_sizeImage;
    int m_cxLeftBorder, m_cxRightBorder, m_cyTopBorder, m_cyBottomBorder;

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg void OnNcDestroy();
    afx_msg void OnSysColorChange();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);

    // The size of the buttons laid in rows no wider than nMaxWidth (-1: one
    // row; 0: one column); with bCommit the control's wrap states are set to match.
    CSize LayoutButtons(int nMaxWidth, BOOL bCommit);
    void ApplySizes();

    DECLARE_MESSAGE_MAP()

private:
    mutable CToolBarCtrl m_ctrl;  // shares this bar's handle, outside the handle map
};
