// The parts of the file dialog with the places bar: the big place buttons,
// the split Open/Save button with its menu, and the file-name edit that
// empties itself after a jump to a place.
#pragma once

#include "fx/fxwin.h"

class CPlacesButton : public CWnd {
public:
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                CImageList* pImageList, int nImage);
    void SetSelected(BOOL selected);
    BOOL IsSelected() const { return m_bSelected; }
    BOOL IsHot() const { return m_bHot; }
    BOOL IsPressed() const { return m_bPressed; }
    UINT GetCommand() const { return m_nID; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    CWnd* m_pOwner = nullptr;
    CImageList* m_pImageList = nullptr;
    int m_nImage = 0;
    CString m_strCaption;
    UINT m_nID = 0;
    BOOL m_bSelected = FALSE, m_bPressed = FALSE, m_bHot = FALSE;
};

class CDropDownButton : public CButton {
public:
    CDropDownButton();
    ~CDropDownButton() override;
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL AddMenuItem(UINT nID, LPCTSTR lpszText, UINT nFlags);
    BOOL SetImage(UINT nBitmapID, COLORREF crMask);
    HMENU GetMenu() const { return m_hMenu; }
    BOOL HasItems() const { return m_bHasItems; }
    BOOL IsMenuShowing() const { return m_bMenuShowing; }
    // The width of the arrow part at the right.
    static const int kArrowWidth = 13;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    HMENU m_hMenu;
    CImageList m_Images;
    CWnd* m_pParent = nullptr;
    UINT m_nID = 0;
    BOOL m_bPressed = FALSE, m_bMenuShowing = FALSE, m_bHasItems = FALSE;
};

// The path a place jump goes to and whether one is under way, shared by the
// dialog and its file-name edit.
extern char g_szPlacesPath[MAX_PATH];
extern BOOL g_bPlacesNavigating;

class CFileNameEdit : public CEdit {
protected:
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};
