// Tool bars as real windows: buttons from a TOOLBAR resource, their place
// at the top of a frame, clicks reaching the parent's command map, update
// handlers deciding their states, tool tips from the command strings.
#include "fx/fxwin.h"
#include "toolbar_ids.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A top-level window with command and update handlers for some of the bar's ids.
class Frame : public CWnd {
public:
    Frame()
    {
        CreateEx(0, AfxRegisterWndClass(0), "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300,
                 nullptr, nullptr);
    }
    ~Frame() override
    {
        if (m_hWnd)
            DestroyWindow();
    }

    std::vector<UINT> commands;
    BOOL openEnabled = FALSE;
    int saveCheck = 1;

protected:
    void OnOpen() { commands.push_back(ID_TB_OPEN); }
    void OnSave() { commands.push_back(ID_TB_SAVE); }
    void OnPrint() { commands.push_back(ID_TB_PRINT); }
    void OnUpdateOpen(CCmdUI* ui) { ui->Enable(openEnabled); }
    void OnUpdateSave(CCmdUI* ui) { ui->SetCheck(saveCheck); }
    DECLARE_MESSAGE_MAP()
};

// ID_TB_PRINT has a command handler but no update handler; ID_TB_NOTIP has neither.
BEGIN_MESSAGE_MAP(Frame, CWnd)
    ON_COMMAND(ID_TB_OPEN, OnOpen)
    ON_COMMAND(ID_TB_SAVE, OnSave)
    ON_COMMAND(ID_TB_PRINT, OnPrint)
    ON_UPDATE_COMMAND_UI(ID_TB_OPEN, OnUpdateOpen)
    ON_UPDATE_COMMAND_UI(ID_TB_SAVE, OnUpdateSave)
END_MESSAGE_MAP()

CPoint Centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

void Click(CToolBar& bar, int index)
{
    CRect r;
    bar.GetItemRect(index, &r);
    CPoint c = Centre(r);
    bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
    fxtest::DrainQueue();
}

const UINT kFourIds[] = {ID_TB_OPEN, ID_TB_SAVE, ID_TB_PRINT, ID_TB_NOTIP};

} // namespace

TEST(ToolBar, LoadToolBarGivesTheResourceButtonsInOrder)
{
    Frame frame;
    CToolBar bar;
    ASSERT_TRUE(bar.Create(&frame));
    ASSERT_TRUE(bar.LoadToolBar(IDR_TB_MAIN));
    EXPECT_EQ(CWnd::FromHandlePermanent(bar.m_hWnd), &bar);
    EXPECT_EQ(bar.GetDlgCtrlID(), AFX_IDW_TOOLBAR);
    EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, (DWORD)CBRS_ALIGN_TOP);
    EXPECT_FALSE(bar.GetStyle() & CBRS_GRIPPER) << "bar styles stay out of the window style";

    ASSERT_EQ(bar.GetCount(), 3);
    const struct {
        UINT id;
        UINT style;
        int image;
    } expected[] = {{ID_TB_OPEN, TBBS_BUTTON, 0}, {ID_SEPARATOR, TBBS_SEPARATOR, -1}, {ID_TB_SAVE, TBBS_BUTTON, 1}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bar.GetItemID(i), expected[i].id);
        EXPECT_EQ(bar.GetButtonStyle(i), expected[i].style);
        UINT id = 99, style = 99;
        int image = -5;
        bar.GetButtonInfo(i, id, style, image);
        EXPECT_EQ(id, expected[i].id);
        EXPECT_EQ(style, expected[i].style);
        if (expected[i].image >= 0) {
            EXPECT_EQ(image, expected[i].image);
        }
    }
    EXPECT_EQ(bar.CommandToIndex(ID_TB_OPEN), 0);
    EXPECT_EQ(bar.CommandToIndex(ID_TB_SAVE), 2);
    EXPECT_EQ(bar.CommandToIndex(ID_TB_PRINT), -1);
    EXPECT_EQ(bar.GetItemID(7), (UINT)ID_SEPARATOR) << "out of range";
    EXPECT_EQ(bar.m_sizeImage, CSize(16, 15));

    // Buttons lie left to right on one row, the separator between them.
    CRect r0, r1, r2, none;
    bar.GetItemRect(0, &r0);
    bar.GetItemRect(1, &r1);
    bar.GetItemRect(2, &r2);
    bar.GetItemRect(3, &none);
    EXPECT_TRUE(none.IsRectEmpty());
    EXPECT_GE(r0.Width(), 16 + 7);
    EXPECT_GE(r0.Height(), 15 + 6);
    EXPECT_EQ(r0.right, r1.left);
    EXPECT_EQ(r1.right, r2.left);
    EXPECT_EQ(r0.top, r2.top);
    EXPECT_EQ(r0.Width(), r2.Width());
    EXPECT_GT(r1.Width(), 0);
    EXPECT_LT(r1.Width(), r0.Width());
}

TEST(ToolBar, ABrokenOrMissingResourceFailsAndLeavesTheButtons)
{
    Frame frame;
    CToolBar bar;
    ASSERT_TRUE(bar.Create(&frame));
    ASSERT_TRUE(bar.LoadToolBar(IDR_TB_MAIN));
    const struct {
        UINT id;
        const char* what;
    } cases[] = {
        {IDR_TB_MISSING, "no resource at all"},
        {IDR_TB_NOBITMAP, "no bitmap of the same id"},
        {IDR_TB_TRUNCATED, "more ids announced than present"},
        {IDR_TB_VERSION2, "unknown version"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(bar.LoadToolBar(c.id));
        EXPECT_EQ(bar.GetCount(), 3);
        EXPECT_EQ(bar.GetItemID(2), (UINT)ID_TB_SAVE);
    }
    EXPECT_FALSE(bar.LoadBitmap(IDR_TB_MISSING));

    CToolBar notCreated;
    EXPECT_FALSE(notCreated.LoadToolBar(IDR_TB_MAIN));
    EXPECT_FALSE(notCreated.Create(nullptr));
}

TEST(ToolBar, SitsAtTheTopOfTheFrameAndWrapsWhenNarrow)
{
    Frame frame;
    CToolBar bar;
    ASSERT_TRUE(bar.Create(&frame, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(bar.LoadToolBar(IDR_TB_MAIN));

    CRect client;
    frame.GetClientRect(&client);
    CSize horz = bar.CalcFixedLayout(TRUE, TRUE);
    EXPECT_GT(horz.cy, 0);
    EXPECT_EQ(horz.cx, client.Width()) << "stretched across the frame";
    CRect r0;
    bar.GetItemRect(0, &r0);
    EXPECT_GE(horz.cy, r0.Height());
    EXPECT_LT(horz.cy, 2 * r0.Height()) << "one row";

    CRect rest = AfxRepositionBars(&frame);
    CRect placed;
    bar.GetWindowRect(&placed);
    frame.ScreenToClient(&placed);
    EXPECT_EQ(placed, CRect(0, 0, client.Width(), horz.cy));
    EXPECT_EQ(rest, CRect(0, horz.cy, client.right, client.bottom));

    // Standing: one button per row.
    CSize vert = bar.CalcFixedLayout(FALSE, FALSE);
    EXPECT_GE(vert.cy, 2 * r0.Height());
    EXPECT_LT(vert.cx, 2 * r0.Width());

    // Free length: the natural row, and rows of at most the given width.
    CSize wide = bar.CalcDynamicLayout(-1, LM_HORZ);
    CSize narrow = bar.CalcDynamicLayout(r0.Width() + 2, LM_HORZ | LM_COMMIT);
    EXPECT_GT(wide.cx, 2 * r0.Width());
    EXPECT_EQ(wide.cy, horz.cy);
    EXPECT_LE(narrow.cx, r0.Width() + 2);
    EXPECT_GE(narrow.cy, 2 * r0.Height());
    EXPECT_TRUE(bar.GetButtonStyle(0) & TBBS_WRAPPED) << "committed rows are the control's rows";
    bar.CalcFixedLayout(TRUE, TRUE);
    EXPECT_FALSE(bar.GetButtonStyle(0) & TBBS_WRAPPED);

    // SetHeight fixes the docked height.
    bar.SetHeight(40);
    EXPECT_EQ(bar.CalcFixedLayout(TRUE, TRUE).cy, 40);
}

TEST(ToolBar, ClickingAButtonSendsItsCommandToTheParent)
{
    Frame frame;
    CToolBar bar;
    ASSERT_TRUE(bar.Create(&frame));
    ASSERT_TRUE(bar.LoadToolBar(IDR_TB_MAIN));
    AfxRepositionBars(&frame);

    Click(bar, 2);
    EXPECT_EQ(frame.commands, std::vector<UINT>{ID_TB_SAVE});
    Click(bar, 0);
    EXPECT_EQ(frame.commands, (std::vector<UINT>{ID_TB_SAVE, ID_TB_OPEN}));

    // A disabled button and the separator send nothing.
    frame.commands.clear();
    bar.SetButtonStyle(0, TBBS_BUTTON | TBBS_DISABLED);
    Click(bar, 0);
    Click(bar, 1);
    EXPECT_TRUE(frame.commands.empty());
}

TEST(ToolBar, UpdateHandlersSetTheButtonStates)
{
    Frame frame;
    CToolBar bar;
    ASSERT_TRUE(bar.Create(&frame));
    ASSERT_TRUE(bar.SetButtons(kFourIds, 4));
    ASSERT_EQ(bar.GetCount(), 4);

    // Open: update handler disables it; Save: handler checks it; Print: a
    // command handler only; NoTip: nothing at all.
    const struct {
        BOOL disableIfNoHandler;
        int saveCheck;
        UINT open, save, print, notip;
    } cases[] = {
        {FALSE, 1, TBBS_DISABLED, TBBS_CHECKBOX | TBBS_CHECKED, 0, 0},
        {TRUE, 1, TBBS_DISABLED, TBBS_CHECKBOX | TBBS_CHECKED, 0, TBBS_DISABLED},
        {TRUE, 2, TBBS_DISABLED, TBBS_CHECKBOX | TBBS_INDETERMINATE, 0, TBBS_DISABLED},
        {TRUE, 0, TBBS_DISABLED, TBBS_CHECKBOX, 0, TBBS_DISABLED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "disable " << c.disableIfNoHandler << " check " << c.saveCheck);
        ASSERT_TRUE(bar.SetButtons(kFourIds, 4));
        frame.saveCheck = c.saveCheck;
        bar.UpdateButtons(&frame, c.disableIfNoHandler);
        EXPECT_EQ(bar.GetButtonStyle(0), c.open);
        EXPECT_EQ(bar.GetButtonStyle(1), c.save);
        EXPECT_EQ(bar.GetButtonStyle(2), c.print);
        EXPECT_EQ(bar.GetButtonStyle(3), c.notip);
        EXPECT_EQ(bar.GetToolBarCtrl().IsButtonEnabled(ID_TB_OPEN), FALSE);
    }

    // The idle update reaches the bar's parent the same way, and the
    // virtual entry point too; an enabled handler enables again.
    frame.openEnabled = TRUE;
    frame.saveCheck = 0;
    ASSERT_TRUE(bar.SetButtons(kFourIds, 4));
    bar.SetButtonStyle(0, TBBS_BUTTON | TBBS_DISABLED);
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_EQ(bar.GetButtonStyle(0), (UINT)TBBS_BUTTON);
    EXPECT_EQ(bar.GetButtonStyle(3), (UINT)TBBS_DISABLED);
    frame.openEnabled = FALSE;
    bar.OnUpdateCmdUI(nullptr, FALSE);  // no target: nothing changes
    EXPECT_EQ(bar.GetButtonStyle(0), (UINT)TBBS_BUTTON);

    // A hidden bar is not updated when idle.
    bar.ShowWindow(SW_HIDE);
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_EQ(bar.GetButtonStyle(0), (UINT)TBBS_BUTTON);
}

TEST(ToolBar, ButtonStylesInfoAndTextRoundTrip)
{
    Frame frame;
    CToolBar bar;
    ASSERT_TRUE(bar.Create(&frame));
    ASSERT_TRUE(bar.SetButtons(kFourIds, 4));
    const UINT styles[] = {
        TBBS_CHECKBOX | TBBS_CHECKED, TBBS_CHECKGROUP, TBBS_BUTTON | TBBS_PRESSED,
        TBBS_BUTTON | TBBS_INDETERMINATE, TBBS_BUTTON | TBBS_HIDDEN, TBBS_DROPDOWN, TBBS_BUTTON | TBBS_DISABLED,
    };
    for (UINT style : styles) {
        bar.SetButtonStyle(1, style);
        EXPECT_EQ(bar.GetButtonStyle(1), style) << std::hex << style;
    }
    // The state bits as the control sees them.
    bar.SetButtonStyle(1, TBBS_CHECKBOX | TBBS_CHECKED);
    EXPECT_TRUE(bar.GetToolBarCtrl().IsButtonChecked(ID_TB_SAVE));
    EXPECT_TRUE(bar.GetToolBarCtrl().IsButtonEnabled(ID_TB_SAVE));
    bar.GetToolBarCtrl().EnableButton(ID_TB_SAVE, FALSE);
    EXPECT_EQ(bar.GetButtonStyle(1), (UINT)(TBBS_CHECKBOX | TBBS_CHECKED | TBBS_DISABLED));

    // Empty separators filled in afterwards.
    ASSERT_TRUE(bar.SetButtons(nullptr, 2));
    EXPECT_EQ(bar.GetButtonStyle(0), (UINT)TBBS_SEPARATOR);
    bar.SetButtonInfo(0, ID_TB_PRINT, TBBS_BUTTON, 1);
    UINT id = 0, style = 0;
    int image = 0;
    bar.GetButtonInfo(0, id, style, image);
    EXPECT_EQ(id, (UINT)ID_TB_PRINT);
    EXPECT_EQ(style, (UINT)TBBS_BUTTON);
    EXPECT_EQ(image, 1);
    EXPECT_EQ(bar.CommandToIndex(ID_TB_PRINT), 0);

    EXPECT_TRUE(bar.SetButtonText(0, "&Print"));
    EXPECT_EQ(bar.GetButtonText(0), CString("&Print"));
    EXPECT_EQ(bar.GetButtonText(9), CString());
    EXPECT_FALSE(bar.SetButtonText(9, "x"));
    CString longText('w', 2000);
    EXPECT_TRUE(bar.SetButtonText(0, longText));
    EXPECT_EQ(bar.GetButtonText(0).GetLength(), 1023) << "read back bounded";

    // The control wrapper shares the bar's window.
    CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
    EXPECT_EQ(ctrl.m_hWnd, bar.m_hWnd);
    EXPECT_EQ(ctrl.GetButtonCount(), 2);
    EXPECT_EQ(CWnd::FromHandlePermanent(bar.m_hWnd), &bar);
}

TEST(ToolBar, ToolTipsComeFromTheCommandStringAfterTheNewline)
{
    Frame frame;
    CToolBar bar;
    ASSERT_TRUE(bar.CreateEx(&frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS));
    ASSERT_TRUE(bar.LoadToolBar(IDR_TB_MAIN));
    EXPECT_TRUE(bar.GetStyle() & TBSTYLE_TOOLTIPS);
    EXPECT_TRUE(bar.GetStyle() & TBSTYLE_FLAT);

    const struct {
        UINT id;
        const char* tip;
    } cases[] = {
        {ID_TB_OPEN, "Open"}, {ID_TB_SAVE, "Save"}, {ID_TB_NOTIP, ""}, {ID_TB_NOSTRING, ""},
    };
    HWND from = bar.GetToolBarCtrl().GetToolTips() ? bar.GetToolBarCtrl().GetToolTips()->m_hWnd : bar.m_hWnd;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(CToolBar::GetToolTipText(c.id), CString(c.tip));

        NMTTDISPINFOA a = {};
        a.hdr.hwndFrom = from;
        a.hdr.idFrom = c.id;
        a.hdr.code = TTN_NEEDTEXTA;
        bar.SendMessage(WM_NOTIFY, 0, (LPARAM)&a);
        ASSERT_TRUE(a.lpszText);
        EXPECT_STREQ(a.lpszText, c.tip);

        NMTTDISPINFOW w = {};
        w.hdr.hwndFrom = from;
        w.hdr.idFrom = c.id;
        w.hdr.code = TTN_NEEDTEXTW;
        bar.SendMessage(WM_NOTIFY, 0, (LPARAM)&w);
        ASSERT_TRUE(w.lpszText);
        char narrow[100] = {};
        ::WideCharToMultiByte(CP_ACP, 0, w.lpszText, -1, narrow, sizeof narrow, nullptr, nullptr);
        EXPECT_STREQ(narrow, c.tip);
    }
}

TEST(ToolBar, ImageGreysFollowTheSystemColours)
{
    // A distinctive button face and shadow, so the mapping cannot pass by chance.
    const int which[] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNTEXT, COLOR_BTNHIGHLIGHT};
    COLORREF saved[4];
    for (int i = 0; i < 4; ++i)
        saved[i] = ::GetSysColor(which[i]);
    const COLORREF fresh[] = {RGB(10, 200, 30), RGB(90, 20, 160), RGB(5, 6, 7), RGB(250, 240, 100)};
    ASSERT_TRUE(::SetSysColors(4, which, fresh));

    HINSTANCE inst = AfxFindResourceHandle(MAKEINTRESOURCE(IDR_TB_MAIN), RT_BITMAP);
    HBITMAP hbm = AfxLoadSysColorBitmap(inst, ::FindResourceA(inst, MAKEINTRESOURCE(IDR_TB_MAIN), RT_BITMAP));
    ::SetSysColors(4, which, saved);
    ASSERT_TRUE(hbm);

    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, hbm);
    const struct {
        int x, y;
        COLORREF expected;
    } pixels[] = {
        {0, 0, fresh[0]},                     // grey background: the button face
        {3, 3, fresh[2]},                     // black frame: the button text
        {6, 6, fresh[3]},                     // white: the button highlight
        {16 + 6, 6, RGB(255, 0, 0)},          // red is no button colour
        {16 + 12, 11, fresh[1]},              // dark grey: the shadow
    };
    for (const auto& p : pixels)
        EXPECT_EQ(::GetPixel(dc, p.x, p.y), p.expected) << p.x << "," << p.y;
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(hbm);

    EXPECT_FALSE(AfxLoadSysColorBitmap(inst, nullptr));
}

TEST(ToolBarCtrl, WrapsTheControlsButtonMessages)
{
    Frame frame;
    CToolBarCtrl ctrl;
    ASSERT_TRUE(ctrl.Create(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE, CRect(0, 0, 300, 30), &frame, 7));
    EXPECT_EQ(ctrl.GetDlgCtrlID(), 7);
    EXPECT_GE(ctrl.AddStrings("One\0Two\0"), 0);
    TBBUTTON buttons[3] = {};
    const int ids[] = {ID_TB_OPEN, ID_TB_SAVE, ID_TB_PRINT};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = ids[i];
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = i == 1 ? TBSTYLE_CHECK : TBSTYLE_BUTTON;
        buttons[i].iString = -1;
    }
    ASSERT_TRUE(ctrl.AddButtons(2, buttons));
    ASSERT_TRUE(ctrl.InsertButton(0, &buttons[2]));
    ASSERT_EQ(ctrl.GetButtonCount(), 3);
    EXPECT_EQ(ctrl.CommandToIndex(ID_TB_PRINT), 0);
    EXPECT_EQ(ctrl.CommandToIndex(ID_TB_SAVE), 2);
    TBBUTTON got = {};
    ASSERT_TRUE(ctrl.GetButton(1, &got));
    EXPECT_EQ(got.idCommand, ID_TB_OPEN);

    // State changes by command id, each seen through its own query.
    EXPECT_TRUE(ctrl.CheckButton(ID_TB_SAVE));
    EXPECT_TRUE(ctrl.IsButtonChecked(ID_TB_SAVE));
    EXPECT_TRUE(ctrl.EnableButton(ID_TB_OPEN, FALSE));
    EXPECT_FALSE(ctrl.IsButtonEnabled(ID_TB_OPEN));
    EXPECT_TRUE(ctrl.PressButton(ID_TB_PRINT));
    EXPECT_TRUE(ctrl.IsButtonPressed(ID_TB_PRINT));
    EXPECT_TRUE(ctrl.HideButton(ID_TB_PRINT));
    EXPECT_TRUE(ctrl.IsButtonHidden(ID_TB_PRINT));
    EXPECT_TRUE(ctrl.SetState(ID_TB_OPEN, TBSTATE_ENABLED | TBSTATE_CHECKED));
    EXPECT_EQ(ctrl.GetState(ID_TB_OPEN), TBSTATE_ENABLED | TBSTATE_CHECKED);

    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    info.pszText = const_cast<char*>("Saved");
    EXPECT_TRUE(ctrl.SetButtonInfo(ID_TB_SAVE, &info));
    char text[32] = {};
    info.pszText = text;
    info.cchText = sizeof text;
    EXPECT_TRUE(ctrl.GetButtonInfo(ID_TB_SAVE, &info));
    EXPECT_STREQ(text, "Saved");

    EXPECT_TRUE(ctrl.SetBitmapSize(CSize(20, 18)));
    EXPECT_TRUE(ctrl.SetButtonSize(CSize(40, 30)));
    EXPECT_EQ(ctrl.GetButtonSize(), CSize(40, 30));
    CRect r;
    EXPECT_TRUE(ctrl.GetItemRect(1, &r));
    EXPECT_EQ(r.Width(), 40);

    EXPECT_TRUE(ctrl.DeleteButton(0));
    EXPECT_EQ(ctrl.GetButtonCount(), 2);
    ctrl.SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS);
    EXPECT_TRUE(ctrl.GetExtendedStyle() & TBSTYLE_EX_DRAWDDARROWS);
    ctrl.SetHotItem(1);
    EXPECT_EQ(ctrl.GetHotItem(), 1);
    ctrl.DestroyWindow();
}
