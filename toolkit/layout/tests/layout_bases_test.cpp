// The layout window bases as real windows: a dialog resized to a table of
// sizes, its limits, its placement in the profile, the background erase, a
// property sheet with a layout page, a dialog bar and a form view.
#include "ETSLayout.h"
#include "layout_test_ids.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

CRect ChildRect(CWnd& parent, int id)
{
    CRect r;
    parent.GetDlgItem(id)->GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return r;
}

void Pump()
{
    MSG msg;
    for (int i = 0; i < 200 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// A dialog whose tree is an edit over a list, with OK and Cancel at the bottom right.
class LayoutDialog : public ETSLayoutDialog {
public:
    explicit LayoutDialog(const char* section = nullptr, bool gripper = false)
        : ETSLayoutDialog(IDD_LAYOUT, nullptr, section, gripper)
    {
    }
    int applied = 0;
    CRect lastArea;

    BOOL OnInitDialog() override
    {
        ETSLayoutDialog::OnInitDialog();
        for (int id : {IDC_L_PUSH, IDC_L_CHECK, IDC_L_GROUP, IDC_L_TAB, IDC_L_COMBO, IDC_L_SIMPLE})
            GetDlgItem(id)->ShowWindow(SW_HIDE);
        LayoutPanePtr root = CreateRootPane(LayoutVertical, 5, 0);
        root.AddItem(NewItem(IDC_L_EDIT, LayoutFixedHeight, 0, 0, 60, -1));
        root.AddItem(NewItem(IDC_L_LIST, LayoutGreedy, 0, 0, 60, 40));
        LayoutPanePtr buttons = NewPane(LayoutHorizontal, LayoutFixedHeight, 5, 0);
        buttons.AddItem(NewGrowingSpacer(LayoutHorizontal));
        buttons.AddItem(NewItem(IDOK, LayoutFixedWidth | LayoutFixedHeight));
        buttons.AddItem(NewItem(IDCANCEL, LayoutFixedWidth | LayoutFixedHeight));
        root.AddPane(buttons);
        Relayout();
        return TRUE;
    }
    void ApplyLayout(CRect area) override
    {
        ++applied;
        lastArea = area;
        ResizeRoot(area);
    }
};

} // namespace

TEST(LayoutDialog, ControlsFollowTheDialogsSize)
{
    LayoutDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LAYOUT));
    dlg.ShowWindow(SW_SHOWNA);
    CRect ok0 = ChildRect(dlg, IDOK);
    const CSize button = ok0.Size();
    const int editHeight = ChildRect(dlg, IDC_L_EDIT).Height();

    const CSize sizes[] = {{400, 300}, {250, 200}, {600, 450}, {321, 257}};
    for (CSize s : sizes) {
        dlg.SetWindowPos(nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        CRect client;
        dlg.GetClientRect(&client);
        CRect area = client;
        area.DeflateRect(5, 5);
        EXPECT_EQ(dlg.lastArea, area);
        CRect edit = ChildRect(dlg, IDC_L_EDIT), list = ChildRect(dlg, IDC_L_LIST);
        CRect ok = ChildRect(dlg, IDOK), cancel = ChildRect(dlg, IDCANCEL);
        EXPECT_EQ(edit, CRect(area.left, area.top, area.right, area.top + editHeight)) << s.cx << "x" << s.cy;
        EXPECT_EQ(list.left, area.left);
        EXPECT_EQ(list.right, area.right);
        EXPECT_EQ(list.top, edit.bottom + 5);
        EXPECT_EQ(list.bottom, ok.top - 5);
        EXPECT_EQ(cancel, CRect(area.right - button.cx, area.bottom - button.cy, area.right, area.bottom));
        EXPECT_EQ(ok, CRect(cancel.left - 5 - button.cx, cancel.top, cancel.left - 5, cancel.bottom));
    }

    // A size message of 0 by 0 (minimised) lays nothing out.
    int applied = dlg.applied;
    dlg.SendMessage(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(dlg.applied, applied);
    dlg.DestroyWindow();
}

TEST(LayoutDialog, KeptAtLeastAsLargeAsItsTree)
{
    LayoutDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_LAYOUT));
    CRect wr, client;
    dlg.GetWindowRect(&wr);
    dlg.GetClientRect(&client);
    const CSize frame(wr.Width() - client.Width(), wr.Height() - client.Height());

    MINMAXINFO mmi = {};
    dlg.SendMessage(WM_GETMINMAXINFO, 0, (LPARAM)&mmi);
    LayoutPanePtr root = dlg.GetRootPane();
    ASSERT_TRUE(root);
    EXPECT_EQ(mmi.ptMinTrackSize.x, root->MinWidth() + frame.cx + 10);
    EXPECT_EQ(mmi.ptMinTrackSize.y, root->MinHeight() + frame.cy + 10);
    EXPECT_EQ(dlg.m_bMinMaxInfoInited, 1);
    // Later requests are answered from the first one.
    MINMAXINFO again = {};
    dlg.SendMessage(WM_GETMINMAXINFO, 0, (LPARAM)&again);
    EXPECT_EQ(again.ptMinTrackSize.x, mmi.ptMinTrackSize.x);
    EXPECT_EQ(again.ptMinTrackSize.y, mmi.ptMinTrackSize.y);

    // Made too small, the next layout widens it back to its minimum.
    dlg.SetWindowPos(nullptr, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    dlg.GetWindowRect(&wr);
    EXPECT_EQ(wr.Width(), mmi.ptMinTrackSize.x);
    EXPECT_EQ(wr.Height(), mmi.ptMinTrackSize.y);
    dlg.DestroyWindow();
}

namespace {

class PlacementApp : public CWinApp {
public:
    PlacementApp() : CWinApp("Layout Placement Test") { SetRegistryKey("Vindalex Tests"); }
};

CString PlacementKey(const char* section)
{
    return CString("Software\\Vindalex Tests\\Layout Placement Test\\") + section;
}

bool ValueExists(const char* section)
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, PlacementKey(section), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool found = ::RegQueryValueExA(key, "WindowPlacement", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return found;
}

} // namespace

TEST(LayoutDialog, WindowPlacementRoundTrips)
{
    PlacementApp app;
    app.WriteProfileString("LayoutPlacement", nullptr, nullptr);
    CRect placed(30, 40, 430, 340);
    {
        LayoutDialog dlg("LayoutPlacement");
        ASSERT_TRUE(dlg.Create(IDD_LAYOUT));
        dlg.MoveWindow(&placed);
        dlg.DestroyWindow();
    }
    BYTE* data = nullptr;
    UINT bytes = 0;
    ASSERT_TRUE(app.GetProfileBinary("LayoutPlacement", "WindowPlacement", &data, &bytes));
    ASSERT_EQ(bytes, 44u);
    WINDOWPLACEMENT wp;
    memcpy(&wp, data, sizeof wp);
    delete[] data;
    EXPECT_EQ(wp.showCmd, (UINT)SW_SHOWNORMAL);
    EXPECT_EQ(CRect(wp.rcNormalPosition), placed);

    // The next dialog of that section starts where the last one was.
    {
        LayoutDialog dlg("LayoutPlacement");
        ASSERT_TRUE(dlg.Create(IDD_LAYOUT));
        CRect r;
        dlg.GetWindowRect(&r);
        EXPECT_EQ(r, placed);
        // Minimised when it goes: stored as shown normally.
        dlg.ShowWindow(SW_MINIMIZE);
        dlg.DestroyWindow();
    }
    ASSERT_TRUE(app.GetProfileBinary("LayoutPlacement", "WindowPlacement", &data, &bytes));
    memcpy(&wp, data, sizeof wp);
    delete[] data;
    EXPECT_EQ(wp.showCmd, (UINT)SW_SHOWNORMAL);

    // A value of any other length is ignored.
    BYTE shortValue[40] = {};
    app.WriteProfileBinary("LayoutPlacement", "WindowPlacement", shortValue, sizeof shortValue);
    {
        LayoutDialog dlg("LayoutPlacement");
        ASSERT_TRUE(dlg.Create(IDD_LAYOUT));
        CRect r;
        dlg.GetWindowRect(&r);
        EXPECT_NE(r, placed);
        EXPECT_GT(r.Width(), 0);
        dlg.DestroyWindow();
    }

    // A dialog without a section keeps nothing.
    app.WriteProfileString("LayoutPlacement", nullptr, nullptr);
    {
        LayoutDialog dlg;
        ASSERT_TRUE(dlg.Create(IDD_LAYOUT));
        dlg.DestroyWindow();
    }
    EXPECT_FALSE(ValueExists("LayoutPlacement"));
    EXPECT_FALSE(ValueExists(""));
}

TEST(LayoutDialog, GripperStatusBarSitsBelowTheLayout)
{
    LayoutDialog dlg(nullptr, true);
    ASSERT_TRUE(dlg.Create(IDD_LAYOUT));
    dlg.ShowWindow(SW_SHOWNA);
    dlg.SetWindowPos(nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    ASSERT_NE(dlg.m_StatusBar.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dlg.m_StatusBar.GetDlgCtrlID(), AFX_IDW_STATUS_BAR);
    CRect client, bar;
    dlg.GetClientRect(&client);
    dlg.m_StatusBar.GetWindowRect(&bar);
    dlg.ScreenToClient(&bar);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.Width(), client.Width());
    // The layout area ends (bar height - root border - 5) above the client's bottom.
    EXPECT_EQ(dlg.LayoutArea().bottom, client.bottom - (bar.Height() - 5 - 5));
    EXPECT_LE(ChildRect(dlg, IDOK).bottom, client.bottom - (bar.Height() - 5));
    dlg.DestroyWindow();
}

TEST(LayoutDialog, EraseLeavesPlainButtonsAndTabStripsAlone)
{
    ETSLayoutDialog dlg(IDD_LAYOUT, nullptr, nullptr, false);
    ASSERT_TRUE(dlg.Create(IDD_LAYOUT));
    CTabCtrl* tab = static_cast<CTabCtrl*>(dlg.GetDlgItem(IDC_L_TAB));
    tab->InsertItem(0, "One");
    for (int id : {IDC_L_EDIT, IDC_L_LIST, IDC_L_COMBO, IDC_L_SIMPLE, IDOK})
        dlg.GetDlgItem(id)->ShowWindow(SW_HIDE);
    CRect client;
    dlg.GetClientRect(&client);
    const COLORREF marker = RGB(1, 2, 3);
    CMemDC dc(nullptr, client.Width(), client.Height());
    dc.FillSolidRect(&client, marker);
    dlg.EraseBackground(&dc);

    auto centre = [&](int id) { return ChildRect(dlg, id).CenterPoint(); };
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    EXPECT_EQ(dc.GetPixel(1, 1), face);                    // the dialog's own background
    EXPECT_EQ(dc.GetPixel(centre(IDC_L_PUSH)), marker);    // a push button paints itself
    EXPECT_EQ(dc.GetPixel(centre(IDCANCEL)), marker);
    EXPECT_EQ(dc.GetPixel(centre(IDC_L_CHECK)), face);     // a check box shows the background
    EXPECT_EQ(dc.GetPixel(centre(IDC_L_GROUP)), face);     // so does a group box
    EXPECT_EQ(dc.GetPixel(centre(IDOK)), face);            // a hidden control is no control
    CRect tabRect = ChildRect(dlg, IDC_L_TAB), page = tabRect;
    tab->AdjustRect(FALSE, &page);
    EXPECT_EQ(dc.GetPixel(page.CenterPoint()), face);           // the page area is ours to paint
    EXPECT_EQ(dc.GetPixel(tabRect.left + 2, tabRect.top + 2), marker);  // the strip is the tab's
    dlg.DestroyWindow();
}

namespace {

class LayoutPage : public ETSLayoutPropertyPage {
public:
    LayoutPage() : ETSLayoutPropertyPage(IDD_LAYOUT_PAGE) {}
    BOOL OnInitDialog() override
    {
        ETSLayoutPropertyPage::OnInitDialog();
        LayoutPanePtr root = CreateRootPane(LayoutVertical, 5, 0);
        root.AddItem(NewItem(IDC_L_EDIT, LayoutFixedHeight, 0, 0, 40, -1));
        root.AddItem(NewItem(IDC_L_LIST, LayoutGreedy, 0, 0, 40, 30));
        Relayout();
        return TRUE;
    }
    void ApplyLayout(CRect area) override { ResizeRoot(area); }
};

} // namespace

TEST(LayoutPropertySheet, PageFollowsTheSheet)
{
    LayoutPage page;
    ETSLayoutPropertySheet sheet("Sheet", nullptr, 0, nullptr, true);
    sheet.AddPage(&page);
    sheet.ModelessWithButtons();
    ASSERT_TRUE(sheet.Create(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_TRUE(sheet.GetStyle() & WS_THICKFRAME);  // a layout sheet can be sized
    EXPECT_TRUE(sheet.GetStyle() & WS_CLIPCHILDREN);
    sheet.ShowWindow(SW_SHOWNA);
    ASSERT_NE(page.m_hWnd, nullptr);
    ASSERT_TRUE(sheet.GetRootPane());

    for (CSize s : {CSize(500, 400), CSize(650, 480)}) {
        sheet.SetWindowPos(nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        CTabCtrl* tab = sheet.GetTabControl();
        CRect tr;
        tab->GetWindowRect(&tr);
        sheet.ScreenToClient(&tr);
        CRect display = tr;
        tab->AdjustRect(FALSE, &display);
        EXPECT_EQ(sheet.m_rcPage, display);
        CRect pr;
        page.GetWindowRect(&pr);
        sheet.ScreenToClient(&pr);
        EXPECT_EQ(pr, display) << s.cx;
        // The page laid its own controls out.
        CRect client;
        page.GetClientRect(&client);
        CRect list = ChildRect(page, IDC_L_LIST);
        EXPECT_EQ(list.right, client.right - 5);
        EXPECT_EQ(list.bottom, client.bottom - 5);
        // Buttons stay at the bottom right, above the status bar's room.
        CRect okr = ChildRect(sheet, IDOK), sheetClient;
        sheet.GetClientRect(&sheetClient);
        EXPECT_GT(okr.top, tr.bottom);
        EXPECT_LT(okr.bottom, sheetClient.bottom);
    }

    MINMAXINFO mmi = {};
    sheet.SendMessage(WM_GETMINMAXINFO, 0, (LPARAM)&mmi);
    EXPECT_GE(mmi.ptMinTrackSize.x, sheet.m_rcStart.Width());
    EXPECT_GE(mmi.ptMinTrackSize.y, sheet.m_rcStart.Height());
    sheet.DestroyWindow();
    EXPECT_FALSE(sheet.GetRootPane());
}

TEST(LayoutPropertySheet, LockedPageRefusesOutsideMoves)
{
    LayoutPage page;
    CPropertySheet sheet("Plain");
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.Create());
    CRect before;
    page.GetWindowRect(&before);
    page.m_bLockMove = true;
    page.SetWindowPos(nullptr, 3, 3, 20, 20, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect after;
    page.GetWindowRect(&after);
    EXPECT_EQ(after, before);
    page.m_bLockMove = false;
    page.SetWindowPos(nullptr, 3, 3, 20, 20, SWP_NOZORDER | SWP_NOACTIVATE);
    page.GetWindowRect(&after);
    EXPECT_EQ(after.Width(), 20);
    sheet.DestroyWindow();
}

namespace {

class LayoutBar : public ETSLayoutDialogBar {
public:
    bool built = false;
    bool InitLayout() override
    {
        built = true;
        LayoutPanePtr root = CreateRootPane(LayoutHorizontal, 5, 0);
        root.AddItem(NewItem(IDC_L_EDIT, LayoutFixedHeight, 0, 0, 40, -1));
        root.AddItem(NewItem(IDC_L_PUSH, LayoutFixedWidth | LayoutFixedHeight));
        return true;
    }
    void ApplyLayout(CRect area) override { ResizeRoot(area); }
};

class LayoutForm : public ETSLayoutFormView {
public:
    LayoutForm() : ETSLayoutFormView(IDD_LAYOUT_FORM) {}
    void OnInitialUpdate() override
    {
        ETSLayoutFormView::OnInitialUpdate();
        LayoutPanePtr root = CreateRootPane(LayoutVertical, 5, 0);
        root.AddItem(NewItem(IDC_L_EDIT, LayoutFixedHeight, 0, 0, 40, -1));
        root.AddItem(NewItem(IDC_L_LIST, LayoutGreedy, 0, 0, 40, 30));
        Relayout();
    }
    void ApplyLayout(CRect area) override { ResizeRoot(area); }
};

} // namespace

TEST(LayoutDialogBar, BuildsOnInitAndKeepsAMarginWhenFloating)
{
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "frame", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, nullptr, nullptr));
    LayoutBar bar;
    EXPECT_EQ(bar.m_sizeRootBorders, CSize(0, 0));
    ASSERT_TRUE(bar.Create(&frame, IDD_LAYOUT_BAR, CBRS_TOP | WS_VISIBLE, AFX_IDW_CONTROLBAR_FIRST + 1));
    EXPECT_TRUE(bar.built);
    AfxRepositionBars(&frame);
    Pump();
    CRect client;
    bar.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 500);  // stretched along the top
    EXPECT_EQ(bar.LayoutArea(), client);
    CRect push = ChildRect(bar, IDC_L_PUSH), edit = ChildRect(bar, IDC_L_EDIT);
    EXPECT_EQ(push.right, client.right);
    EXPECT_EQ(edit.left, 0);
    EXPECT_EQ(edit.right, push.left - 5);

    bar.m_bFloating = TRUE;
    CRect inner = client;
    inner.DeflateRect(4, 4);
    EXPECT_EQ(bar.LayoutArea(), inner);
    // The dynamic size keeps at least what the tree needs.
    CSize dyn = bar.CalcDynamicLayout(-1, LM_HORZ);
    EXPECT_GE(dyn.cx, bar.GetRootPane()->MinWidth());
    bar.DestroyWindow();
    frame.DestroyWindow();
}

TEST(LayoutFormView, LaysOutOnSize)
{
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "frame", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, nullptr, nullptr));
    LayoutForm form;
    ASSERT_TRUE(form.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &frame, 0xE900));
    form.MoveWindow(0, 0, 400, 250);
    Pump();
    CRect client;
    form.GetClientRect(&client);
    CRect list = ChildRect(form, IDC_L_LIST);
    EXPECT_EQ(list, CRect(5, ChildRect(form, IDC_L_EDIT).bottom + 5, client.right - 5, client.bottom - 5));
    EXPECT_EQ(form.GetTotalSize(), client.Size());  // the form never scrolls
    EXPECT_STREQ(form.GetRuntimeClass()->m_lpszClassName, "ETSLayoutFormView");
    form.DestroyWindow();
    frame.DestroyWindow();
}

namespace {

// Refuses the creation of status bars on this thread while it lives.
class NoStatusBars {
public:
    NoStatusBars() { s_hook = ::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId()); }
    ~NoStatusBars() { ::UnhookWindowsHookEx(s_hook); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            char cls[64] = {};
            ::GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls);
            if (lstrcmpiA(cls, STATUSCLASSNAMEA) == 0)
                return 1;
        }
        return ::CallNextHookEx(s_hook, code, wParam, lParam);
    }
    static HHOOK s_hook;
};
HHOOK NoStatusBars::s_hook = nullptr;

} // namespace

TEST(LayoutDialog, MissingStatusBarIsReportedOnceAndTheDialogCarriesOn)
{
    std::vector<std::string> boxes;
    AfxMessageBoxHook previous = AfxSetMessageBoxHook([&](HWND, LPCTSTR text, LPCTSTR, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    {
        NoStatusBars refuse;
        LayoutDialog dlg(nullptr, true);
        ASSERT_TRUE(dlg.Create(IDD_LAYOUT));
        EXPECT_EQ(dlg.m_StatusBar.GetSafeHwnd(), nullptr);
        dlg.SetWindowPos(nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        CRect client;
        dlg.GetClientRect(&client);
        EXPECT_EQ(ChildRect(dlg, IDCANCEL).bottom, client.bottom - 5);  // laid out without the bar
        dlg.DestroyWindow();
    }
    AfxSetMessageBoxHook(std::move(previous));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Error - Statusbar");
}

TEST(LayoutPropertySheet, WizardPagesAreLockedAndFinishSitsOnNext)
{
    LayoutPage one, two;
    ETSLayoutPropertySheet sheet("Wizard", nullptr, 0, nullptr, false);
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    sheet.SetWizardMode();
    ASSERT_TRUE(sheet.Create(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    sheet.ShowWindow(SW_SHOWNA);
    sheet.SetWindowPos(nullptr, 0, 0, 520, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_TRUE(one.m_bLockMove);
    CRect page;
    one.GetWindowRect(&page);
    sheet.ScreenToClient(&page);
    EXPECT_EQ(page, sheet.m_rcPage);
    // Only the layout moves a locked page.
    one.SetWindowPos(nullptr, 1, 1, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect still;
    one.GetWindowRect(&still);
    sheet.ScreenToClient(&still);
    EXPECT_EQ(still, page);
    if (sheet.GetDlgItem(12324) && sheet.GetDlgItem(12325))
        EXPECT_EQ(ChildRect(sheet, 12325), ChildRect(sheet, 12324));
    // The next page is put in the page area when it becomes active.
    sheet.PressButton(PSBTN_NEXT);
    Pump();
    ASSERT_NE(two.m_hWnd, nullptr);
    CRect second;
    two.GetWindowRect(&second);
    sheet.ScreenToClient(&second);
    EXPECT_EQ(second, sheet.m_rcPage);
    EXPECT_TRUE(two.m_bLockMove);
    sheet.DestroyWindow();
}
