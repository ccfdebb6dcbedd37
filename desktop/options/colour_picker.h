// CColourPicker: an owner-drawn button that shows a colour and opens the
// palette popup; CColourPopup: that popup, a grid of 40 named colours with the
// optional "Automatic" and "More Colours..." boxes. The popup reports to the
// picker and the picker to its parent by the five messages below (colour in
// WPARAM, the picker's control id in LPARAM).
#pragma once

#include "fx/fxwin.h"

#include "colour_grid.h"

#define CPN_SELCHANGE (WM_USER + 1001)
#define CPN_DROPDOWN (WM_USER + 1002)
#define CPN_CLOSEUP (WM_USER + 1003)
#define CPN_SELENDOK (WM_USER + 1004)
#define CPN_SELENDCANCEL (WM_USER + 1005)

#define CLR_AUTOMATIC ((COLORREF)colourgrid::kAutomatic)

class CColourPicker;

class CColourPopup : public CWnd {
public:
    // Shows itself at `pt` (screen; the picker's lower left corner). Deletes
    // itself when its window is destroyed.
    CColourPopup(CPoint pt, COLORREF colour, CColourPicker* pParent, LPCTSTR szDefaultText, LPCTSTR szCustomText);
    ~CColourPopup() override;

    int GetSelection() const { return m_nCurrentSel; }
    int GetChosen() const { return m_nChosenColourSel; }
    COLORREF GetColour() const { return m_crColour; }
    // The cell rectangle of cell `index` in client coordinates (false when it does not exist).
    BOOL GetCellRect(int index, RECT* rect) const;

protected:
    void PostNcDestroy() override;
    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd);
    // Mouse messages also go to the cells' tool tips.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    DECLARE_MESSAGE_MAP()

private:
    void SetWindowSize(CPoint pt);
    void CreateToolTips();
    void CreatePalette();
    void RealisePalette();
    int HitTest(CPoint point) const;
    void ChangeSelection(int index);
    void EndSelection(UINT message);
    void DrawCell(CDC* pDC, int index);

    COLORREF m_crColour, m_crInitialColour;
    int m_nCurrentSel = colourgrid::kNone;
    int m_nChosenColourSel = colourgrid::kNone;
    int m_nBoxSize = 18;
    int m_nMargin = 2;
    CString m_strDefaultText, m_strCustomText;
    CRect m_CustomTextRect, m_DefaultTextRect, m_WindowRect;
    CFont m_Font;
    CToolTipCtrl m_ToolTip;
    CPalette m_Palette;  // the table's colours, for palette displays
    CColourPicker* m_pParent;
    bool m_bEnded = false;
};

class CColourPicker : public CButton {
public:
    CColourPicker();
    COLORREF GetColour() const;
    void SetColour(COLORREF colour);
    COLORREF GetDefaultColour() const { return m_crColourText; }
    void SetDefaultColour(COLORREF colour) { m_crColourText = colour; }
    void SetDefaultText(LPCTSTR szDefaultText) { m_strDefaultText = szDefaultText ? szDefaultText : ""; }
    void SetCustomText(LPCTSTR szCustomText) { m_strCustomText = szCustomText ? szCustomText : ""; }
    void SetTrackSelection(BOOL bTracking) { m_bTrackSelection = bTracking; }
    void SetSelectionMode(UINT nMode) { m_nSelectionMode = nMode; }
    BOOL IsActive() const { return m_bActive; }
    // The open popup, or null.
    CColourPopup* GetPopup() const { return m_pPopup; }

    enum { CP_MODE_TEXT = 1, CP_MODE_BK = 2 };

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    afx_msg LRESULT OnSelEndOK(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSelEndCancel(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSelChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    friend class CColourPopup;
    void SetWindowSize();
    void OnClicked();
    void Notify(UINT message, COLORREF colour);

    COLORREF m_crColourBk, m_crColourText;
    UINT m_nSelectionMode = CP_MODE_BK;
    BOOL m_bTrackSelection = FALSE;
    BOOL m_bActive = FALSE;
    CRect m_ArrowRect;
    CString m_strDefaultText = "Automatic";
    CString m_strCustomText = "More Colours...";
    CColourPopup* m_pPopup = nullptr;
};

// Exchanges a picker's colour with a COLORREF member.
void DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& crColour);
