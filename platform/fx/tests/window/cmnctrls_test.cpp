// Common controls, control bars and form views as real windows.
#include "fx/fxwin.h"
#include "gdi_controls_ids.h"

#include <gtest/gtest.h>

namespace {

struct Parent {
    CWnd wnd;
    Parent(int cx = 400, int cy = 300, DWORD style = WS_POPUP | WS_THICKFRAME)
    {
        wnd.CreateEx(0, nullptr, "parent", style, 0, 0, cx, cy, nullptr, nullptr);
    }
    ~Parent() { wnd.DestroyWindow(); }
};

} // namespace

TEST(CommonControls, TabControlItemsAndDisplayArea)
{
    Parent p;
    CTabCtrl tab;
    ASSERT_TRUE(tab.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 310, 210), &p.wnd, 5));
    EXPECT_EQ(tab.InsertItem(0, "One"), 0);
    EXPECT_EQ(tab.InsertItem(1, "Two"), 1);
    EXPECT_EQ(tab.GetItemCount(), 2);
    EXPECT_EQ(tab.SetCurSel(1), 0);
    EXPECT_EQ(tab.GetCurSel(), 1);

    // The display area lies inside the window rectangle; growing it again gives that rectangle back.
    CRect area(0, 0, 300, 200);
    tab.AdjustRect(FALSE, &area);
    EXPECT_GT(area.top, 0);
    EXPECT_LT(area.Width(), 300);
    tab.AdjustRect(TRUE, &area);
    EXPECT_EQ(area, CRect(0, 0, 300, 200));
    EXPECT_TRUE(tab.DeleteItem(0));
    EXPECT_EQ(tab.GetItemCount(), 1);
}

TEST(CommonControls, ProgressSliderSpinAndImageList)
{
    Parent p;
    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD, CRect(0, 0, 100, 10), &p.wnd, 1));
    progress.SetRange32(0, 200);
    int lo = -1, hi = -1;
    progress.GetRange(lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 200);
    progress.SetStep(15);
    progress.SetPos(100);
    EXPECT_EQ(progress.StepIt(), 100);  // the position before the step
    EXPECT_EQ(progress.GetPos(), 115);

    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD, CRect(0, 20, 100, 40), &p.wnd, 2));
    slider.SetRange(-10, 10);
    slider.SetPos(25);  // clamped to the range
    EXPECT_EQ(slider.GetPos(), 10);
    EXPECT_EQ(slider.GetRangeMin(), -10);

    CEdit buddy;
    ASSERT_TRUE(buddy.Create(WS_CHILD, CRect(0, 50, 60, 70), &p.wnd, 3));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_CHILD | UDS_SETBUDDYINT, CRect(60, 50, 75, 70), &p.wnd, 4));
    spin.SetBuddy(&buddy);
    EXPECT_EQ(spin.GetBuddy()->m_hWnd, buddy.m_hWnd);
    spin.SetRange32(0, 50);
    spin.SetPos(42);
    CString text;
    buddy.GetWindowText(text);
    EXPECT_STREQ(text, "42");
    EXPECT_EQ(LOWORD(spin.GetPos()), 42);

    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 2));
    CMemDC dc(nullptr, 32, 16);
    dc.FillSolidRect(0, 0, 32, 16, RGB(10, 20, 30));
    HBITMAP strip = static_cast<HBITMAP>(dc.m_bitmap.m_hObject);
    // A bitmap selected into a context cannot be added; take a copy out.
    CBitmap copy;
    copy.Attach(::CopyImage(strip, IMAGE_BITMAP, 0, 0, 0));
    EXPECT_EQ(images.Add(copy, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 2);  // 32 pixels give two 16-pixel images
    int cx = 0, cy = 0;
    EXPECT_TRUE(images.GetIconSize(&cx, &cy));
    EXPECT_EQ(cx, 16);
}

TEST(ControlBars, StatusBarAndDialogBarTakeTheirEdges)
{
    Parent p(400, 300, WS_POPUP | WS_THICKFRAME);
    CStatusBar status;
    ASSERT_TRUE(status.Create(&p.wnd, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR));
    const UINT ids[] = {ID_SEPARATOR};
    EXPECT_TRUE(status.SetIndicators(ids, 1));
    EXPECT_EQ(status.GetPaneStyle(0), (UINT)(SBPS_STRETCH | SBPS_NOBORDERS));
    EXPECT_TRUE(status.SetPaneText(0, "Ready"));
    EXPECT_STREQ(status.GetPaneText(0), "Ready");

    CDialogBar bar;
    ASSERT_TRUE(bar.Create(&p.wnd, IDD_GC_BAR, CBRS_TOP | WS_VISIBLE, AFX_IDW_CONTROLBAR_FIRST + 5));
    EXPECT_EQ(bar.GetDlgCtrlID(), AFX_IDW_CONTROLBAR_FIRST + 5);
    EXPECT_NE(bar.GetDlgItem(IDC_GC_EDIT), nullptr);
    CSize barSize = bar.m_sizeDefault;
    EXPECT_GT(barSize.cy, 0);

    p.wnd.ShowWindow(SW_SHOWNA);
    CRect client;
    p.wnd.GetClientRect(&client);
    CRect rest = AfxRepositionBars(&p.wnd);

    CRect sr, br;
    status.GetWindowRect(&sr);
    p.wnd.ScreenToClient(&sr);
    bar.GetWindowRect(&br);
    p.wnd.ScreenToClient(&br);
    EXPECT_EQ(sr.bottom, client.bottom);
    EXPECT_EQ(sr.Width(), client.Width());
    EXPECT_EQ(br.top, 0);
    EXPECT_EQ(br.Height(), barSize.cy);
    EXPECT_EQ(br.Width(), client.Width());
    EXPECT_EQ(rest, CRect(0, br.bottom, client.right, sr.top));
}

namespace {
class Form : public CFormView {
public:
    Form() : CFormView(IDD_GC_FORM) {}
    int initialUpdates = 0;
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        CFormView::OnInitialUpdate();
    }
};
} // namespace

TEST(Views, FormViewFromATemplate)
{
    Parent p;
    Form form;
    ASSERT_TRUE(form.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &p.wnd, 0xE900));
    EXPECT_EQ(form.initialUpdates, 1);
    EXPECT_EQ(form.GetDlgCtrlID(), 0xE900);
    EXPECT_EQ(form.GetParent()->m_hWnd, p.wnd.m_hWnd);
    EXPECT_NE(form.GetDlgItem(IDC_GC_EDIT), nullptr);
    CRect r;
    form.GetWindowRect(&r);
    EXPECT_EQ(r.Width(), 300);
    EXPECT_GT(form.GetTotalSize().cx, 0);
    form.SetScrollSizes(MM_TEXT, CSize(50, 40));
    EXPECT_EQ(form.GetTotalSize(), CSize(50, 40));
    EXPECT_EQ(form.GetMapMode(), MM_TEXT);
}

namespace {
int CALLBACK ByDataDescending(LPARAM a, LPARAM b, LPARAM) { return (int)(b - a); }
} // namespace

TEST(CommonControls, ListViewReportRows)
{
    Parent p;
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                            CRect(0, 0, 300, 200), &p.wnd, 9));
    EXPECT_EQ(list.InsertColumn(0, "Email Request From", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, "Reply To", LVCFMT_LEFT, 100, 1), 1);
    EXPECT_EQ(list.GetColumnWidth(0), 120);
    const char* rows[][2] = {{"a@example.org", "x@example.org"}, {"b@example.org", "y@example.org"},
                             {"c@example.org", "z@example.org"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list.InsertItem(i, rows[i][0]), i);
        EXPECT_TRUE(list.SetItemText(i, 1, rows[i][1]));
        EXPECT_TRUE(list.SetItemData(i, 100 + i));
    }
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_STREQ(list.GetItemText(1, 0), "b@example.org");
    EXPECT_STREQ(list.GetItemText(2, 1), "z@example.org");
    // Texts longer than the first buffer come back whole.
    CString longText('w', 3000);
    list.SetItemText(0, 1, longText);
    EXPECT_EQ(list.GetItemText(0, 1).GetLength(), 3000);

    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
    EXPECT_TRUE(list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), (UINT)LVIS_SELECTED);

    EXPECT_TRUE(list.SortItems(ByDataDescending, 0));
    EXPECT_EQ(list.GetItemData(0), 102u);
    EXPECT_STREQ(list.GetItemText(0, 0), "c@example.org");
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = "a@example.org";
    EXPECT_EQ(list.FindItem(&find), 2);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(CommonControls, ToolTipsForWindowsAndRectangles)
{
    Parent p;
    CWnd cell;
    ASSERT_TRUE(cell.CreateEx(0, nullptr, "cell", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, p.wnd.m_hWnd, nullptr));
    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&p.wnd));
    EXPECT_TRUE(tips.AddTool(&cell, "Whole window"));
    EXPECT_TRUE(tips.AddTool(&cell, "Red", CRect(0, 0, 10, 10), 1));
    EXPECT_TRUE(tips.AddTool(&cell, "Blue", CRect(10, 0, 20, 10), 2));
    EXPECT_EQ(tips.GetToolCount(), 3);
    EXPECT_STREQ(tips.GetText(&cell, 2), "Blue");
    EXPECT_STREQ(tips.GetText(&cell), "Whole window");
    tips.UpdateTipText("Dark blue", &cell, 2);
    EXPECT_STREQ(tips.GetText(&cell, 2), "Dark blue");
    tips.DelTool(&cell, 1);
    EXPECT_EQ(tips.GetToolCount(), 2);
    tips.Activate(TRUE);
    MSG msg = {cell.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)};
    tips.RelayEvent(&msg);  // accepted without a tip window shown
    tips.DestroyWindow();
}

TEST(CommonControls, ListViewHitTestAndExtendedStyles)
{
    Parent p;
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &p.wnd, 9));
    list.InsertColumn(0, "Description", LVCFMT_LEFT, 150);
    list.InsertItem(0, "first");
    list.InsertItem(1, "second");
    EXPECT_EQ(list.SetExtendedStyle(LVS_EX_FULLROWSELECT), 0u);
    EXPECT_EQ(list.GetExtendedStyle() & LVS_EX_FULLROWSELECT, (DWORD)LVS_EX_FULLROWSELECT);

    CRect row;
    ASSERT_TRUE(list.GetItemRect(1, &row, LVIR_LABEL));
    UINT flags = 0;
    // A point on the second row's label, then one below every row.
    EXPECT_EQ(list.HitTest(CPoint(row.left + 4, row.CenterPoint().y), &flags), 1);
    EXPECT_NE(flags & LVHT_ONITEM, 0u);
    EXPECT_EQ(list.HitTest(CPoint(row.left + 4, row.bottom + 60), &flags), -1);
    EXPECT_NE(flags & LVHT_NOWHERE, 0u);
}

TEST(CommonControls, DateTimePickerExchangesItsTimeOfDay)
{
    Parent p;
    CDateTimeCtrl picker;
    ASSERT_TRUE(picker.Create(WS_CHILD | WS_VISIBLE | DTS_TIMEFORMAT, CRect(10, 10, 150, 34), &p.wnd, 1025));
    // Times of day on the settings' fixed date, at the edges of the day.
    const int cases[][3] = {{0, 0, 0}, {8, 30, 15}, {23, 59, 59}};
    for (auto& c : cases) {
        CTime in(1999, 1, 1, c[0], c[1], c[2]);
        CDataExchange load(&p.wnd, FALSE);
        DDX_DateTimeCtrl(&load, 1025, in);
        CTime out;
        CDataExchange save(&p.wnd, TRUE);
        DDX_DateTimeCtrl(&save, 1025, out);
        EXPECT_EQ(out.GetHour(), c[0]);
        EXPECT_EQ(out.GetMinute(), c[1]);
        EXPECT_EQ(out.GetSecond(), c[2]);
        EXPECT_EQ(out.GetYear(), 1999);
    }
    EXPECT_FALSE(picker.SetTime(CTime(static_cast<time_t>(-1)))) << "an invalid time is refused";
    EXPECT_TRUE(picker.SetFormat("HH':'mm"));
}

TEST(CommonControls, AnimationControlRefusesAMissingClip)
{
    Parent p;
    CAnimateCtrl anim;
    ASSERT_TRUE(anim.Create(WS_CHILD | WS_VISIBLE | ACS_CENTER, CRect(0, 0, 64, 64), &p.wnd, 12));
    EXPECT_FALSE(anim.Open("Z:\\no\\such\\clip.avi"));
    EXPECT_FALSE(anim.Open(4242u)) << "no such resource";
    anim.Close();
}
