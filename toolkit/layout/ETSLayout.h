// The layout manager: places the child controls of a resizable window by a
// tree of panes built once in code, keeps the window between the sizes the
// tree allows, erases the background without flicker and keeps the window's
// placement in the application profile.
//
// A window class derives from its window base and from ETSLayoutMgr (see
// ETSLayoutBases.h for the ready-made ones), builds the tree in its
// initialisation handler and forwards its size, size-limit and erase messages.
#pragma once

#include "fx/fxwin.h"

#include <vector>

class ETSLayoutMgr;

// No limit for a maximum, no preference for an item's preferred size.
enum { LayoutUnlimited = -1 };

// Orientation of a pane.
enum { LayoutHorizontal = 0, LayoutVertical = 1 };

// Resize modes of items and panes (flags; width and height flags combine).
enum {
    LayoutGreedy = 0x0000,
    LayoutFixedWidth = 0x0001,
    LayoutPercentWidth = 0x0002,
    LayoutFixedHeight = 0x0004,
    LayoutPercentHeight = 0x0008,
    LayoutAlignLeft = 0x0010,
    LayoutAlignRight = 0x0020,
    LayoutCenterHorz = 0x0030,
    LayoutAlignTop = 0x0040,
    LayoutAlignBottom = 0x0080,
    LayoutCenterVert = 0x00C0,
    LayoutFillWidth = 0x0100,
    LayoutFillHeight = 0x0200,
};

// A node of the layout tree.
class LayoutPaneBase {
public:
    LayoutPaneBase(ETSLayoutMgr* pMgr, int modeResize) : m_modeResize(modeResize), m_pMgr(pMgr) {}
    LayoutPaneBase(const LayoutPaneBase&) = delete;
    LayoutPaneBase& operator=(const LayoutPaneBase&) = delete;

    // Sizes; total is the free space that percentages refer to.
    virtual int PreferredWidth(int total) = 0;
    virtual int PreferredHeight(int total) = 0;
    virtual int MinWidth() = 0;
    virtual int MaxWidth() = 0;
    virtual int MinHeight() = 0;
    virtual int MaxHeight() = 0;
    // Places the node in the cell.
    virtual bool ResizeTo(CRect& rcCell) = 0;
    virtual ~LayoutPaneBase() = default;

    int GetMode() const { return m_modeResize; }
    void SetMode(int mode) { m_modeResize = mode; }

    int m_modeResize;
    ETSLayoutMgr* m_pMgr;
};

class LayoutPane;

// A reference-counted handle to a node; the tree lives as long as the last
// handle to each node.
class LayoutPanePtr {
public:
    LayoutPanePtr() : m_pHolder(nullptr) {}
    // Takes ownership of a new node (count 1).
    explicit LayoutPanePtr(LayoutPaneBase* pNode);
    LayoutPanePtr(const LayoutPanePtr& other);
    LayoutPanePtr& operator=(const LayoutPanePtr& other);
    ~LayoutPanePtr() { Release(); }

    LayoutPaneBase* operator->() const { return get(); }
    LayoutPaneBase* get() const { return m_pHolder ? m_pHolder->pNode : nullptr; }
    // The node as a pane, or null for an item.
    LayoutPane* GetPane() const;
    bool IsValid() const { return get() != nullptr; }
    explicit operator bool() const { return IsValid(); }
    void Release();
    // Reference count of the node (0 for a null handle).
    long GetRefCount() const { return m_pHolder ? m_pHolder->nCount : 0; }

    // Adds a sub-pane (with its own mode and secondary size) or an item to
    // the pane this handle points to; return this handle so calls chain.
    LayoutPanePtr& AddPane(LayoutPanePtr sub);
    LayoutPanePtr& AddItem(LayoutPanePtr item);

private:
    struct Holder {
        LayoutPaneBase* pNode;
        volatile long nCount;
    };
    Holder* m_pHolder;
};

// A leaf for one control, or a spacer without one.
class LayoutItem : public LayoutPaneBase {
public:
    // With a control: width/height 0 take the control's current size, a
    // minimum of -1 its current size. Without one every value is used as given.
    LayoutItem(ETSLayoutMgr* pMgr, HWND hwndCtrl, int modeResize, int sizeX, int sizeY, int sizeXMin,
               int sizeYMin);

    int PreferredWidth(int total) override;
    int PreferredHeight(int total) override;
    int MinWidth() override;
    int MaxWidth() override;
    int MinHeight() override;
    int MaxHeight() override;
    bool ResizeTo(CRect& rcCell) override;

    int m_sizeX;
    int m_sizeXMin;
    int m_sizeY;
    int m_sizeYMin;
    HWND m_hwndCtrl;
    bool m_bComboSpecial;
};

// A node that lines up its children along its orientation.
class LayoutPane : public LayoutPaneBase {
public:
    LayoutPane(ETSLayoutMgr* pMgr, int orientation, int modeResize, int sizeBorder, int sizeExtraBorder,
               int sizeSecondary);

    int PreferredWidth(int total) override;
    int PreferredHeight(int total) override;
    int MinWidth() override;
    int MaxWidth() override;
    int MinHeight() override;
    int MaxHeight() override;
    bool ResizeTo(CRect& rcCell) override;

    bool AddChild(LayoutPanePtr child);
    bool AddSubPane(LayoutPanePtr pane, int modeResize, int sizeSecondary = 0);
    bool AddControl(CWnd* pWnd, int modeResize = LayoutGreedy, int sizeX = 0, int sizeY = 0, int sizeXMin = -1,
                    int sizeYMin = -1);
    bool AddControl(UINT nID, int modeResize = LayoutGreedy, int sizeX = 0, int sizeY = 0, int sizeXMin = -1,
                    int sizeYMin = -1);
    bool AddFixedSpace(int size);
    bool AddGrowingSpace();
    bool AddSpaceBetween(CWnd* pFirst, CWnd* pSecond);
    bool AddSpaceBetween(UINT nIDFirst, UINT nIDSecond);
    bool AddSpaceLike(CWnd* pWnd);
    bool AddSpaceLike(UINT nID);

    int GetOrientation() const { return m_nOrientation; }
    int GetChildCount() const { return (int)m_paneItems.size(); }
    LayoutPanePtr GetChild(int i) const { return m_paneItems[i]; }

    int m_nOrientation;
    std::vector<LayoutPanePtr> m_paneItems;
    int m_sizeSecondary;
    int m_sizeBorder;
    int m_sizeExtraBorder;

protected:
    // The pane's own sizes, without what a derived kind adds.
    int PaneMinWidth();
    int PaneMaxWidth();
    int PaneMinHeight();
    int PaneMaxHeight();
    bool LayOut(CRect rcCell);
};

// A pane laid out inside the display area of a tab control.
class LayoutTabPane : public LayoutPane {
public:
    LayoutTabPane(ETSLayoutMgr* pMgr, CTabCtrl* pTab, int orientation, int modeResize, int sizeBorder,
                  int sizeExtraBorder, int sizeSecondary);

    int PreferredWidth(int total) override;
    int PreferredHeight(int total) override;
    int MinWidth() override;
    int MaxWidth() override;
    int MinHeight() override;
    int MaxHeight() override;
    bool ResizeTo(CRect& rcCell) override;

    CTabCtrl* m_pTab;

private:
    CSize TabFrame() const;
};

// A pane framed by a control (a group box, usually); its children start
// below an extra top margin.
class LayoutCtrlPane : public LayoutPane {
public:
    LayoutCtrlPane(ETSLayoutMgr* pMgr, HWND hwndCtrl, int orientation, int modeResize, int sizeBorder,
                   int sizeExtraBorder, int sizeTopExtra, int sizeSecondary);

    int MinHeight() override;
    int MaxHeight() override;
    bool ResizeTo(CRect& rcCell) override;

    HWND m_hwndCtrl;
    int m_sizeTopExtra;
};

// The layout manager: the second base of every layout window.
class ETSLayoutMgr {
public:
    explicit ETSLayoutMgr(CWnd* pWnd);
    virtual ~ETSLayoutMgr();
    ETSLayoutMgr(const ETSLayoutMgr&) = delete;
    ETSLayoutMgr& operator=(const ETSLayoutMgr&) = delete;

    // The rectangle the layout fills: the owner's client rectangle.
    virtual CRect LayoutArea();
    virtual void SetRootPane(LayoutPanePtr root);
    // Keeps a dialog within its limits and lays the tree out again.
    virtual void Relayout();
    // Places the tree in the area; does nothing here. A window that wants
    // its controls placed overrides it (see ResizeRoot).
    virtual void ApplyLayout(CRect area);

    // Building the tree.
    LayoutPanePtr CreateRootPane(int orientation, int sizeBorder = 5, int sizeExtraBorder = 0);
    LayoutPanePtr NewPane(int orientation, int modeResize = LayoutGreedy, int sizeBorder = 5,
                          int sizeExtraBorder = 0, int sizeSecondary = 0);
    LayoutPanePtr NewTabPane(CTabCtrl* pTab, int orientation, int modeResize = LayoutGreedy, int sizeBorder = 5,
                             int sizeExtraBorder = 0, int sizeSecondary = 0);
    LayoutPanePtr NewCtrlPane(CWnd* pCtrl, int orientation, int modeResize = LayoutGreedy, int sizeBorder = 5,
                              int sizeExtraBorder = 0, int sizeTopExtra = 0, int sizeSecondary = 0);
    LayoutPanePtr NewCtrlPane(UINT nID, int orientation, int modeResize = LayoutGreedy, int sizeBorder = 5,
                              int sizeExtraBorder = 0, int sizeTopExtra = 0, int sizeSecondary = 0);
    LayoutPanePtr NewItem(CWnd* pWnd, int modeResize = LayoutGreedy, int sizeX = 0, int sizeY = 0,
                          int sizeXMin = -1, int sizeYMin = -1);
    LayoutPanePtr NewItem(UINT nID, int modeResize = LayoutGreedy, int sizeX = 0, int sizeY = 0,
                          int sizeXMin = -1, int sizeYMin = -1);
    LayoutPanePtr NewFixedSpacer(int orientation, int size);
    LayoutPanePtr NewGrowingSpacer(int orientation);
    LayoutPanePtr NewSpacerBetween(int orientation, CWnd* pFirst, CWnd* pSecond);
    LayoutPanePtr NewSpacerBetween(int orientation, UINT nIDFirst, UINT nIDSecond);
    LayoutPanePtr NewSpacerLike(int orientation, CWnd* pWnd);
    LayoutPanePtr NewSpacerLike(int orientation, UINT nID);

    void SetRootBorder(int cx, int cy) { m_sizeRootBorders = CSize(cx, cy); }
    bool SaveWindowPlacement(const char* section);
    bool LoadWindowPlacement(const char* section);
    // Fills the owner's background except under the controls that paint their own.
    void EraseBackground(CDC* pDC);

    // The size limits of the owner for a window rectangle rcWindow: fills the
    // minimum tracking size and, when the root has maxima, the maximum tracking
    // and maximised sizes. False without a root.
    bool GetLayoutLimits(const CRect& rcWindow, MINMAXINFO* lpMMI);
    // The usual ApplyLayout: resize the root to a non-empty area.
    void ResizeRoot(CRect area);

    CWnd* GetLayoutWnd() const { return m_pWnd; }
    LayoutPanePtr GetRootPane() const { return m_RootPane; }

    CWnd* m_pWnd;
    LayoutPanePtr m_RootPane;
    CString m_sSection;
    CSize m_sizeRootBorders;

protected:
    HWND CtrlHandle(UINT nID) const;
};

// Name of the profile value that keeps a window's placement.
extern const char ETSLayoutPlacementEntry[];  // "WindowPlacement"

// The window bases that join a window class with the manager.
#include "ETSLayoutBases.h"
