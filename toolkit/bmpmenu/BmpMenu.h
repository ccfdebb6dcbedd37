// A pop-up menu shown in a window of its own: a gradient side bar with the
// menu's title written upwards, the items to its right drawn by a tool bar
// whose buttons are the items. Sub-menus open as further menus beside their
// item. It follows the menu protocol towards its owner (WM_INITMENU /
// WM_INITMENUPOPUP, WM_ENTERMENULOOP, WM_MENUSELECT, WM_MENUCHAR, WM_COMMAND,
// WM_EXITMENULOOP) and runs modally until an item is chosen or the menu is
// dismissed.
#pragma once

#include "fx/fxwin.h"

// Posted by the item bar to itself after a click (wParam: mouse flags, with
// kMenuFromKeyboard when the click came from a key; lParam: the point).
#define WM_BMPMENU_CLICK (WM_USER + 101)
// Passed by the menu window to its item bar: forget the last activated item.
#define WM_BMPMENU_RESETACTIVE (WM_USER + 102)
// Opens an item's sub-menu (wParam: the item's point in item-bar client
// coordinates; lParam: tracking flags for the sub-menu).
#define WM_BMPMENU_OPENSUBMENU (WM_USER + 103)

class CBmpMenu;

// The items of one menu window: one button per menu item, drawn by us.
class MenuToolBar : public CToolBar {
public:
    explicit MenuToolBar(CBmpMenu* pMenu);
    ~MenuToolBar() override;

    // Creates the bar in the menu window with the menu font.
    BOOL CreateInMenu();
    // One button per item of hMenu; FALSE when the bar cannot hold them.
    BOOL FillFromMenu(HMENU hMenu);
    // Frees the item copies held by the buttons.
    void FreeItems();
    // The menu item behind button nIndex, or null (separators have one too).
    const MENUITEMINFOA* ItemInfo(int nIndex) const;
    int HitTest(CPoint point) const;
    // The button width the item texts need with the menu font.
    int TextWidthNeeded() const;
    BOOL IsItemEnabled(int nIndex) const;

    virtual void OnCustomDrawNotify(NMHDR* pNMHDR, LRESULT* pResult);
    virtual void OnMouseMove(UINT nFlags, CPoint point);

    UINT m_nLastHotCommand;     // command last reported as hot to the owner
    int m_nLastActivated;       // item last activated by a click; -1 none
    CFont m_font;               // the system menu font
    CPoint m_ptLastMove;        // last mouse position over an enabled item
    int m_nUnderMouse;          // item under the mouse, -1 none

protected:
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnClickItem(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnResetActive(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // A click one pixel inside the item's top-left corner, as from a key.
    void ClickFromKeyboard(int nIndex);
    void StepHot(int nDirection);
    void Mnemonic(UINT nChar);
    void Draw3DCheckmark(HDC hdc, const CRect& square, const MENUITEMINFOA& item, BOOL bHot, BOOL bGrey);

    CBmpMenu* m_pMenu;
};

class CBmpMenu : public CWnd {
public:
    CBmpMenu(int sideBarWidth = 0, int subMenuSideBar = 0, HBITMAP sideBitmap = nullptr, int bitmapMode = 1);
    ~CBmpMenu() override;
    CBmpMenu(const CBmpMenu&) = delete;
    CBmpMenu& operator=(const CBmpMenu&) = delete;

    void SetTitle(const CString& title) { m_strTitle = title; }
    CString GetTitle() const { return m_strTitle; }
    BOOL Attach(HMENU menu);
    HMENU Detach();
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL LoadMenu(UINT resourceId);
    // Enables or greys an item by command id (MF_ENABLED / MF_GRAYED).
    UINT EnableMenuItem(UINT id, UINT enable);

    // Shows the menu at the screen point and runs it until it closes; the
    // chosen command goes to the owner as WM_COMMAND. FALSE when the owner
    // is no window or the menu window cannot be created. exclude: for a
    // sub-menu, the screen rectangle of its parent item.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, CRect* exclude = nullptr);
    // Closes this menu and the whole chain it belongs to.
    void DestroyRootMenu();
    // Closes the open sub-menus below this one, innermost first.
    void DestroySubMenus();

    CString GetSubMenuString(int) const { return CString(); }
    void SetSubMenuString(int, CString&) {}

    // The hot item (-1 none) of the open menu and the number of items of the
    // last showing; for tests.
    int GetHotItem() const;
    int GetItemCount() const { return m_nItemCount; }
    // The open sub-menu, or null.
    CBmpMenu* GetOpenSubMenu() const { return m_pSubMenu; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnActivate(UINT state, CWnd* other, BOOL minimized);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnResetActive(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnOpenSubMenu(WPARAM wParam, LPARAM lParam);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

private:
    friend class MenuToolBar;
    void EndLoop();

    CWnd* m_pOwner = nullptr;
    CBmpMenu* m_pSubMenu = nullptr;
    HBITMAP m_hSideBitmap = nullptr;
    int m_nSubMenuSideBar;
    int m_nBitmapMode;
    int m_nSideBarWidth;
    int m_nTrackFlags = 0;
    MenuToolBar* m_pToolBar = nullptr;
    CString m_strTitle;

    HMENU m_hMenu = nullptr;
    CBmpMenu* m_pParentMenu = nullptr;
    bool m_bDone = false;
    int m_nItemCount = 0;
};
