// The layout tree's sizes and placement, on real child windows of a plain
// owner window: each case builds a tree, resizes it into a cell and checks
// the controls' rectangles.
#include "ETSLayout.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// An owner window with child controls of known sizes.
class Owner {
public:
    Owner() : mgr(&wnd)
    {
        wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 600, 400, nullptr, nullptr);
    }
    ~Owner()
    {
        mgr.m_RootPane.Release();
        for (CWnd* c : controls) {
            c->DestroyWindow();
            delete c;
        }
        wnd.DestroyWindow();
    }
    // A static control of the given size at (1, 1), with id 100 + its number.
    CWnd* Add(int cx, int cy, const char* cls = "STATIC", DWORD style = 0)
    {
        CWnd* c = new CWnd;
        int id = 100 + (int)controls.size();
        c->CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | style, 1, 1, cx, cy, wnd.m_hWnd, (HMENU)(INT_PTR)id);
        controls.push_back(c);
        return c;
    }
    CRect RectOf(CWnd* c)
    {
        CRect r;
        c->GetWindowRect(&r);
        wnd.ScreenToClient(&r);
        return r;
    }
    CWnd wnd;
    ETSLayoutMgr mgr;
    std::vector<CWnd*> controls;
};

struct Expect {
    int index;       // control number
    CRect rect;      // its rectangle in the owner's client area
};

struct Case {
    const char* name;
    std::function<void(Owner&)> build;  // sets mgr.m_RootPane
    CRect cell;
    std::vector<Expect> expect;
};

} // namespace

TEST(LayoutPanes, PlacesControlsForATableOfLayouts)
{
    const std::vector<Case> cases = {
        {"two greedy share equally", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 5, 0);
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 10, 10));
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 10, 10));
         }, CRect(0, 0, 101, 50), {{0, CRect(0, 0, 48, 50)}, {1, CRect(53, 0, 101, 50)}}},
        {"an odd pixel goes to the last greedy child", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 5, 0);
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 10, 10));
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 10, 10));
         }, CRect(0, 0, 102, 50), {{0, CRect(0, 0, 48, 50)}, {1, CRect(53, 0, 102, 50)}}},
        {"fixed then greedy, with extra border", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 5, 3);
             root.AddItem(o.mgr.NewItem(o.Add(30, 20), LayoutFixedWidth, 0, 0, -1, -1));
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 10, 10));
         }, CRect(10, 10, 116, 60), {{0, CRect(13, 13, 43, 57)}, {1, CRect(48, 13, 113, 57)}}},
        {"percentages of the free space", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 5, 0);
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutPercentWidth, 25, 0, 5, 5));
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutPercentWidth, 75, 0, 5, 5));
         }, CRect(0, 0, 205, 40), {{0, CRect(0, 0, 50, 40)}, {1, CRect(55, 0, 205, 40)}}},
        {"a percent child below its minimum takes it from the others", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 5, 0);
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutPercentWidth, 10, 0, 40, 5));
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutPercentWidth, 50, 0, 10, 5));
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutPercentWidth, 40, 0, 10, 5));
         }, CRect(0, 0, 210, 40),
         // free 200: wants 20, 100, 80; the first keeps 40 and the deficit of 20 is cut 11 and 8, then the last 1 from the first.
         {{0, CRect(0, 0, 40, 40)}, {1, CRect(45, 0, 133, 40)}, {2, CRect(138, 0, 210, 40)}}},
        {"greedy children keep their minimum", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 5, 0);
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 60, 10));
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 10, 10));
         }, CRect(0, 0, 85, 30), {{0, CRect(0, 0, 60, 30)}, {1, CRect(65, 0, 85, 30)}}},
        {"a greedy child with a maximum gives its surplus to the others", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 5, 0);
             auto column = o.mgr.NewPane(LayoutVertical, LayoutGreedy, 5, 0);
             column.AddItem(o.mgr.NewItem(o.Add(30, 20), LayoutFixedWidth | LayoutFixedHeight));
             root.AddPane(column);
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 10, 10));
         }, CRect(0, 0, 205, 40), {{0, CRect(0, 0, 30, 20)}, {1, CRect(35, 0, 205, 40)}}},
        {"leftover space goes to a fill child", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 5, 0);
             root.AddItem(o.mgr.NewItem(o.Add(30, 20), LayoutFixedWidth | LayoutFillWidth));
             root.AddItem(o.mgr.NewItem(o.Add(20, 20), LayoutFixedWidth | LayoutFixedHeight));
         }, CRect(0, 0, 100, 40), {{0, CRect(0, 0, 75, 40)}, {1, CRect(80, 0, 100, 20)}}},
        {"a fixed child fills across only when told to", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutVertical, 0, 0);
             root.AddItem(o.mgr.NewItem(o.Add(40, 10), LayoutFixedWidth | LayoutFixedHeight));
             root.AddItem(o.mgr.NewItem(o.Add(40, 10), LayoutFixedWidth | LayoutFixedHeight | LayoutAlignRight));
             root.AddItem(o.mgr.NewItem(o.Add(40, 10), LayoutFixedWidth | LayoutFixedHeight | LayoutCenterHorz));
             root.AddItem(o.mgr.NewItem(o.Add(40, 10), LayoutFixedWidth | LayoutFixedHeight | LayoutFillWidth));
         }, CRect(0, 0, 100, 40),
         {{0, CRect(0, 0, 40, 10)}, {1, CRect(60, 10, 100, 20)}, {2, CRect(30, 20, 70, 30)}, {3, CRect(0, 30, 100, 40)}}},
        {"vertical alignment in a cell", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 0, 0);
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutFixedWidth | LayoutFixedHeight | LayoutAlignBottom));
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutFixedWidth | LayoutFixedHeight | LayoutCenterVert));
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutFixedWidth | LayoutFixedHeight));
         }, CRect(0, 0, 30, 50), {{0, CRect(0, 40, 10, 50)}, {1, CRect(10, 20, 20, 30)}, {2, CRect(20, 0, 30, 10)}}},
        {"a growing spacer never shrinks below 5", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutHorizontal, 5, 0);
             root.AddItem(o.mgr.NewItem(o.Add(50, 10), LayoutFixedWidth));
             root.AddItem(o.mgr.NewGrowingSpacer(LayoutHorizontal));
             root.AddItem(o.mgr.NewItem(o.Add(50, 10), LayoutFixedWidth));
         }, CRect(0, 0, 100, 10), {{0, CRect(0, 0, 50, 10)}, {1, CRect(65, 0, 115, 10)}}},
        {"buttons pushed right by a growing spacer", [](Owner& o) {
             auto root = o.mgr.CreateRootPane(LayoutVertical, 5, 0);
             root.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 10, 10));
             auto buttons = o.mgr.NewPane(LayoutHorizontal, LayoutFixedHeight, 5, 0);
             buttons.AddItem(o.mgr.NewGrowingSpacer(LayoutHorizontal));
             buttons.AddItem(o.mgr.NewItem(o.Add(60, 20), LayoutFixedWidth | LayoutFixedHeight));
             buttons.AddItem(o.mgr.NewItem(o.Add(60, 20), LayoutFixedWidth | LayoutFixedHeight));
             root.AddPane(buttons);
         }, CRect(0, 0, 300, 200),
         {{0, CRect(0, 0, 300, 175)}, {1, CRect(175, 180, 235, 200)}, {2, CRect(240, 180, 300, 200)}}},
        {"a framed pane starts below its top margin", [](Owner& o) {
             CWnd* frame = o.Add(10, 10, "BUTTON", BS_GROUPBOX);
             auto root = o.mgr.CreateRootPane(LayoutVertical, 0, 0);
             auto group = o.mgr.NewCtrlPane(frame, LayoutVertical, LayoutGreedy, 5, 4, 12);
             group.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 10, 10));
             root.AddPane(group);
         }, CRect(0, 0, 100, 100), {{0, CRect(0, 0, 100, 100)}, {1, CRect(4, 16, 96, 96)}}},
    };

    for (const Case& c : cases) {
        Owner o;
        c.build(o);
        ASSERT_TRUE(o.mgr.m_RootPane) << c.name;
        CRect cell = c.cell;
        EXPECT_TRUE(o.mgr.m_RootPane->ResizeTo(cell)) << c.name;
        for (const Expect& e : c.expect) {
            CRect got = o.RectOf(o.controls[e.index]);
            EXPECT_EQ(got, e.rect) << c.name << ": control " << e.index << " at (" << got.left << "," << got.top
                                   << "," << got.right << "," << got.bottom << ")";
        }
    }
}

TEST(LayoutPanes, TabPaneLaysOutInTheDisplayArea)
{
    Owner o;
    CTabCtrl tab;
    ASSERT_TRUE(tab.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &o.wnd, 50));
    tab.InsertItem(0, "Tab");
    CWnd* inner = o.Add(10, 10);
    auto root = o.mgr.CreateRootPane(LayoutVertical, 0, 0);
    auto pane = o.mgr.NewTabPane(&tab, LayoutVertical, LayoutGreedy, 0, 0);
    pane.AddItem(o.mgr.NewItem(inner, LayoutGreedy, 0, 0, 10, 10));
    root.AddPane(pane);

    CRect frame(0, 0, 0, 0);
    tab.AdjustRect(TRUE, &frame);
    EXPECT_EQ(pane->MinWidth(), 10 + frame.Width());
    EXPECT_EQ(pane->MinHeight(), 10 + frame.Height());
    EXPECT_EQ(pane->MaxWidth(), -1);

    CRect cell(0, 0, 300, 200);
    o.mgr.m_RootPane->ResizeTo(cell);
    CRect tr;
    tab.GetWindowRect(&tr);
    o.wnd.ScreenToClient(&tr);
    EXPECT_EQ(tr, CRect(0, 0, 300, 200));
    CRect area = tr;
    tab.AdjustRect(FALSE, &area);
    EXPECT_EQ(o.RectOf(inner), area);
    tab.DestroyWindow();
}

TEST(LayoutPanes, MinimaAndMaxima)
{
    Owner o;
    LayoutPanePtr empty = o.mgr.NewPane(LayoutHorizontal, LayoutGreedy, 5, 2);
    EXPECT_EQ(empty->MaxWidth(), -1);   // nothing to limit it
    EXPECT_EQ(empty->MaxHeight(), -1);
    EXPECT_EQ(empty->MinWidth(), 4);    // just its margins: no gap without children
    EXPECT_EQ(empty->MinHeight(), 4);

    LayoutPanePtr row = o.mgr.NewPane(LayoutHorizontal, LayoutGreedy, 5, 2);
    row.AddItem(o.mgr.NewItem(o.Add(30, 20), LayoutFixedWidth | LayoutFixedHeight));
    row.AddItem(o.mgr.NewItem(o.Add(40, 25), LayoutFixedWidth | LayoutFixedHeight));
    EXPECT_EQ(row->MinWidth(), 30 + 5 + 40 + 4);
    EXPECT_EQ(row->MaxWidth(), 30 + 5 + 40 + 4);
    EXPECT_EQ(row->MinHeight(), 25 + 4);
    EXPECT_EQ(row->MaxHeight(), 25 + 4);
    row.AddItem(o.mgr.NewItem(o.Add(10, 10), LayoutGreedy, 0, 0, 0, 0));
    EXPECT_EQ(row->MaxWidth(), -1);             // a child without a maximum
    EXPECT_EQ(row->MinWidth(), 79 + 5 + 5);     // a minimum of 0 counts as 5
    EXPECT_EQ(row->MaxHeight(), -1);

    // An item's minimum of 0 or less is 5 in every dimension that is not fixed.
    LayoutPanePtr item = o.mgr.NewItem(nullptr, LayoutGreedy, 0, 0, -3, 0);
    EXPECT_EQ(item->MinWidth(), 5);
    EXPECT_EQ(item->MinHeight(), 5);
    EXPECT_EQ(item->PreferredWidth(100), -1);

    // A fixed sub-pane added with size 0 takes its minimum when it is added.
    LayoutPanePtr column = o.mgr.NewPane(LayoutVertical, LayoutGreedy, 5, 0);
    column.AddItem(o.mgr.NewItem(o.Add(70, 20), LayoutFixedWidth | LayoutFixedHeight));
    LayoutPanePtr root = o.mgr.CreateRootPane(LayoutHorizontal);
    root.GetPane()->AddSubPane(column, LayoutFixedWidth, 0);
    EXPECT_EQ(column.GetPane()->m_sizeSecondary, 70);
    EXPECT_EQ(column->PreferredWidth(0), 70);
    LayoutPanePtr percent = o.mgr.NewPane(LayoutVertical, LayoutGreedy, 5, 0);
    root.GetPane()->AddSubPane(percent, LayoutPercentWidth, 30);
    EXPECT_EQ(percent->PreferredWidth(200), 60);
}

TEST(LayoutPanes, SameOrientationSubPaneIsWrapped)
{
    Owner o;
    LayoutPanePtr root = o.mgr.CreateRootPane(LayoutHorizontal);
    LayoutPanePtr sub = o.mgr.NewPane(LayoutHorizontal, LayoutFixedHeight, 5, 0, 0);
    root.AddPane(sub);
    ASSERT_EQ(root.GetPane()->GetChildCount(), 1);
    LayoutPanePtr wrapper = root.GetPane()->GetChild(0);
    ASSERT_NE(wrapper.GetPane(), nullptr);
    EXPECT_NE(wrapper.get(), sub.get());
    EXPECT_EQ(wrapper.GetPane()->GetOrientation(), LayoutVertical);
    EXPECT_EQ(wrapper->GetMode(), LayoutGreedy);
    EXPECT_EQ(wrapper.GetPane()->m_sizeBorder, 0);
    ASSERT_EQ(wrapper.GetPane()->GetChildCount(), 1);
    EXPECT_EQ(wrapper.GetPane()->GetChild(0).get(), sub.get());
}

TEST(LayoutPanes, ItemsAndSpacersFromControls)
{
    Owner o;
    CWnd* a = o.Add(40, 20);
    CWnd* b = o.Add(30, 10);
    b->MoveWindow(100, 60, 30, 10);
    // Zero sizes and minimums of -1 take the control's own.
    auto item = o.mgr.NewItem(a, LayoutFixedWidth | LayoutFixedHeight, 0, 0, -1, -1);
    auto* li = dynamic_cast<LayoutItem*>(item.get());
    ASSERT_NE(li, nullptr);
    EXPECT_EQ(li->m_sizeX, 40);
    EXPECT_EQ(li->m_sizeY, 20);
    EXPECT_EQ(li->m_sizeXMin, 40);
    EXPECT_FALSE(li->m_bComboSpecial);
    // An id the owner lacks gives an empty item with the values as given.
    auto missing = o.mgr.NewItem(4711u, LayoutGreedy, 0, 0, -1, -1);
    auto* lm = dynamic_cast<LayoutItem*>(missing.get());
    EXPECT_EQ(lm->m_hwndCtrl, nullptr);
    EXPECT_EQ(lm->m_sizeXMin, -1);
    CRect cell(0, 0, 10, 10);
    EXPECT_TRUE(missing->ResizeTo(cell));

    // Gap between a (1..41) and b (100..130): 100 - 41 - 10.
    auto between = o.mgr.NewSpacerBetween(LayoutHorizontal, a, b);
    EXPECT_EQ(between->GetMode(), LayoutFixedWidth | LayoutFixedHeight);
    EXPECT_EQ(between->MinWidth(), 49);
    EXPECT_EQ(between->MinHeight(), 0);
    // Overlapping vertically (a 1..21, b 60..70): 60 - 21 - 10 = 29.
    EXPECT_EQ(o.mgr.NewSpacerBetween(LayoutVertical, a, b)->MinHeight(), 29);
    // The wrong way round the gap is negative: left edge to left edge instead.
    EXPECT_EQ(o.mgr.NewSpacerBetween(LayoutHorizontal, b, a)->MinWidth(), 1 - 100);
    EXPECT_EQ(o.mgr.NewSpacerBetween(LayoutHorizontal, 100u, 101u)->MinWidth(), 49);
    EXPECT_EQ(o.mgr.NewSpacerLike(LayoutVertical, b)->MinHeight(), 10);
    EXPECT_EQ(o.mgr.NewSpacerLike(LayoutHorizontal, 100u)->MinWidth(), 40);
    auto fixed = o.mgr.NewFixedSpacer(LayoutVertical, 17);
    EXPECT_EQ(fixed->MinHeight(), 17);
    EXPECT_EQ(fixed->MaxWidth(), 0);

    // Combo boxes are recognised by their class name.
    CWnd* combo = o.Add(80, 100, "ComboBox", CBS_DROPDOWNLIST);
    auto comboItem = o.mgr.NewItem(combo);
    EXPECT_TRUE(dynamic_cast<LayoutItem*>(comboItem.get())->m_bComboSpecial);
    CRect before = o.RectOf(combo);
    CRect comboCell(0, 0, 200, 150);
    comboItem->ResizeTo(comboCell);
    CRect after = o.RectOf(combo);
    EXPECT_EQ(after.Width(), 200);
    EXPECT_EQ(after.Height(), before.Height());  // a drop-down keeps its closed height
}

namespace {
struct CountedNode : LayoutPaneBase {
    explicit CountedNode(int* deaths) : LayoutPaneBase(nullptr, 0), m_deaths(deaths) {}
    ~CountedNode() override { ++*m_deaths; }
    int PreferredWidth(int) override { return 0; }
    int PreferredHeight(int) override { return 0; }
    int MinWidth() override { return 0; }
    int MaxWidth() override { return 0; }
    int MinHeight() override { return 0; }
    int MaxHeight() override { return 0; }
    bool ResizeTo(CRect&) override { return true; }
    int* m_deaths;
};
} // namespace

TEST(LayoutPanes, HandlesCountReferences)
{
    int deaths = 0;
    {
        LayoutPanePtr a(new CountedNode(&deaths));
        EXPECT_EQ(a.GetRefCount(), 1);
        {
            LayoutPanePtr b = a;
            LayoutPanePtr c;
            c = b;
            EXPECT_EQ(a.GetRefCount(), 3);
            c = c;  // self-assignment keeps the node
            EXPECT_EQ(a.GetRefCount(), 3);
        }
        EXPECT_EQ(a.GetRefCount(), 1);
        EXPECT_EQ(deaths, 0);
        Owner o;
        LayoutPanePtr root = o.mgr.CreateRootPane(LayoutVertical);
        root.AddItem(a);
        EXPECT_EQ(a.GetRefCount(), 2);
        o.mgr.CreateRootPane(LayoutVertical);  // a new root releases the old tree
        root.Release();
        EXPECT_EQ(a.GetRefCount(), 1);
    }
    EXPECT_EQ(deaths, 1);
    LayoutPanePtr none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.GetRefCount(), 0);
    none.AddItem(LayoutPanePtr());  // nothing to add to: no crash
}
