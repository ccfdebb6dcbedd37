// A pop-up menu shown in a window of its own: a gradient side bar with the
// menu's title written upwards, the items to its right. It follows the menu
// protocol towards its owner (WM_INITMENU / WM_INITMENUPOPUP,
// WM_ENTERMENULOOP, WM_MENUSELECT, WM_COMMAND, WM_EXITMENULOOP) and runs
// modally until an item is chosen or the menu is dismissed.
#pragma once

#include "fx/fxwin.h"

#include <vector>

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
    // is no window or the menu window cannot be created.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, CRect* exclude = nullptr);
    // Closes this menu and the whole chain it belongs to.
    void DestroyRootMenu();

    // The item under index (-1 none) and the number of items; for tests.
    int GetHotItem() const { return m_nHot; }
    int GetItemCount() const { return static_cast<int>(m_Items.size()); }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
    afx_msg void OnActivate(UINT state, CWnd* other, BOOL minimized);
    DECLARE_MESSAGE_MAP()

private:
    struct Item {
        UINT id;
        UINT state;
        HMENU sub;
        bool separator;
        CString text;
        CRect rect;
    };
    void LoadItems();
    int ItemAt(CPoint point) const;
    void SetHot(int index);
    void Choose(int index);
    void Close();

    CWnd* m_pOwner = nullptr;
    CBmpMenu* m_pSubMenu = nullptr;
    CBmpMenu* m_pParentMenu = nullptr;
    HBITMAP m_hSideBitmap = nullptr;
    int m_nSubMenuSideBar;
    int m_nBitmapMode;
    int m_nSideBarWidth;
    int m_nTrackFlags = 0;
    CString m_strTitle;
    HMENU m_hMenu = nullptr;
    std::vector<Item> m_Items;
    int m_nHot = -1;
    bool m_bDone = false;
    HFONT m_hFont = nullptr;
};
