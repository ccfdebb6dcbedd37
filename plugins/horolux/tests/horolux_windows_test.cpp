// The clock face, the segment display and the month calendar painted into
// memory bitmaps and read back pixel by pixel; the three windows made from
// their templates; each window object deleted once when its window is gone.
#include "canvas.h"
#include "horolux_windows.h"

#include "options/wmoptions.h"
#include "winmgr/winmgr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const COLORREF kHand = RGB(0, 0, 255);
const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kMarks = RGB(0, 128, 0);

void PaintFace(Canvas& canvas, int hour, int minute, int second)
{
    CClockFace face;
    face.m_bRunning = false;
    face.m_crHand = kHand;
    face.m_crBackground = kBack;
    face.m_crMarks = kMarks;
    face.m_Geometry.Compute(canvas.Width(), canvas.Height());
    face.m_nHour = hour;
    face.m_nMinute = minute;
    face.m_nSecond = second;
    CDC dc;
    dc.Attach(canvas.Dc());
    face.DrawFace(&dc);
    dc.Detach();
}

// A point of the dial at a fraction of the radius, on a 200 x 200 face.
POINT On(int position, double fraction)
{
    ClockGeometry g;
    g.Compute(200, 200);
    ClockPoint p = g.DialPoint(position, fraction);
    return POINT{p.x, p.y};
}

TEST(ClockFace, HandsAtThreeOClockAndAtThreeThirtySix)
{
    struct Case {
        const char* name;
        int hour, minute;
        int hourPosition, minutePosition;
        int emptyPosition;  // where neither hand lies
    } cases[] = {
        {"clock-3-00.bmp", 3, 0, 15, 0, 30},
        {"clock-3-36.bmp", 3, 36, 18, 36, 15},
    };
    for (const Case& c : cases) {
        Canvas canvas(200, 200, kBack);
        PaintFace(canvas, c.hour, c.minute, 45);  // the second hand out of the way, at nine
        EXPECT_TRUE(canvas.Save(ArtifactPath(c.name)));
        POINT hour = On(c.hourPosition, 0.2);
        POINT minute = On(c.minutePosition, 0.3);
        POINT empty = On(c.emptyPosition, 0.4);
        EXPECT_EQ(canvas.Pixel(hour.x, hour.y), kHand) << c.name << " hour hand at " << hour.x << "," << hour.y;
        EXPECT_EQ(canvas.Pixel(minute.x, minute.y), kHand) << c.name << " minute hand";
        EXPECT_EQ(canvas.Pixel(empty.x, empty.y), kBack) << c.name << " no hand";
        // The hour hand ends at half the radius; the minute hand reaches further.
        POINT beyondHour = On(c.hourPosition, 0.6);
        EXPECT_EQ(canvas.Pixel(beyondHour.x, beyondHour.y), kBack) << c.name;
        // The hour marks sit at nine tenths of the radius.
        POINT mark = On(c.emptyPosition, 0.9);
        EXPECT_EQ(canvas.Pixel(mark.x, mark.y), kMarks) << c.name;
    }
}

TEST(ClockFace, SecondHandDrawnTwiceLeavesNoTrace)
{
    Canvas canvas(200, 200, kBack);
    CClockFace face;
    face.m_Geometry.Compute(200, 200);
    CDC dc;
    dc.Attach(canvas.Dc());
    POINT p = On(20, 0.5);
    COLORREF before = canvas.Pixel(p.x, p.y);
    // Through the face's own second-hand drawing: a full paint with only that hand.
    face.m_bShowMarks = face.m_bShowHourHand = face.m_bShowMinuteHand = false;
    face.m_nSecond = 20;
    face.DrawFace(&dc);
    EXPECT_NE(canvas.Pixel(p.x, p.y), before);
    face.DrawFace(&dc);
    EXPECT_EQ(canvas.Pixel(p.x, p.y), before);
    dc.Detach();
}

class SegmentDisplayTest : public ::testing::Test {
protected:
    void SetUp() override { m_display.SetModule(::GetModuleHandleA(nullptr)); }
    CSegmentDisplay m_display;
};

TEST_F(SegmentDisplayTest, GlyphBitmapsHaveTheirCellSizes)
{
    EXPECT_EQ(m_display.GlyphSize(1).cx, 45);
    EXPECT_EQ(m_display.GlyphSize(1).cy, 87);
    EXPECT_EQ(m_display.GlyphSize(kSegmentColonGlyph).cx, 15);
    EXPECT_EQ(m_display.GlyphSize(kSegmentPointGlyph).cx, 15);
}

TEST_F(SegmentDisplayTest, TimeTextLightsItsSegments)
{
    m_display.SetText("12:05:09");
    Canvas canvas(300, 87, RGB(10, 20, 30));  // 6 cells of 45 and 2 of 15: no scaling
    CDC dc;
    dc.Attach(canvas.Dc());
    m_display.DrawText(&dc, 300, 87);
    dc.Detach();
    EXPECT_TRUE(canvas.Save(ArtifactPath("segments-12-05-09.bmp")));
    const COLORREF lit = RGB(255, 0, 0), unlit = RGB(52, 0, 0), black = RGB(0, 0, 0);
    struct Case {
        const char* what;
        int x, y;
        COLORREF colour;
    } cases[] = {
        {"'1' upper-right vertical", 38, 25, lit},
        {"'1' top bar", 22, 6, unlit},
        {"'1' background", 1, 1, black},
        {"'2' top bar", 45 + 22, 6, lit},
        {"'2' lower-left vertical", 45 + 6, 60, lit},
        {"'2' upper-left vertical", 45 + 6, 25, unlit},
        {"':' upper dot", 90 + 7, 28, lit},
        {"':' between the dots", 90 + 7, 43, black},
        {"'0' middle bar", 105 + 15, 43, unlit},
        {"'5' middle bar", 150 + 15, 43, lit},
        {"'9' lower-left vertical", 255 + 6, 60, unlit},
    };
    for (const Case& c : cases)
        EXPECT_EQ(canvas.Pixel(c.x, c.y), c.colour) << c.what;
}

TEST_F(SegmentDisplayTest, LowerCaseShowsBlanks)
{
    m_display.SetText("abc");
    Canvas canvas(135, 87, RGB(10, 20, 30));
    CDC dc;
    dc.Attach(canvas.Dc());
    m_display.DrawText(&dc, 135, 87);
    dc.Detach();
    for (int x = 0; x < 135; x += 3)
        for (int y = 0; y < 87; y += 3)
            ASSERT_NE(canvas.Pixel(x, y), RGB(255, 0, 0)) << x << "," << y;
}

TEST(DigitalClock, ShowsDashesUntilItsFirstTick)
{
    CDigitalClock clock;
    EXPECT_STREQ((const char*)clock.GetText(), "--:--:--");
    clock.Tick();
    EXPECT_EQ(clock.GetText().GetLength(), 8);
    EXPECT_EQ(clock.GetText()[2], ':');
    EXPECT_EQ(clock.m_nTicks, 1);
}

TEST(MonthCalendar, JanuaryTwoThousandOneGrid)
{
    CMonthCalendar calendar;
    calendar.ShowMonth(CCalendarDate(2001, 1, 20));
    calendar.ClickCell(1, 1, 0);  // Monday, January 1
    ASSERT_EQ(calendar.GetSelection().size(), 1u);
    EXPECT_TRUE(calendar.GetSelection()[0] == CCalendarDate(2001, 1, 1));
    Canvas canvas(280, 141, RGB(255, 255, 255));
    CDC dc;
    dc.Attach(canvas.Dc());
    calendar.DrawGrid(&dc, 280, 141);
    dc.Detach();
    EXPECT_TRUE(canvas.Save(ArtifactPath("calendar-2001-01.bmp")));
    MonthGrid grid(280, 141);
    // The selected cell is filled with the highlight colour; a cell beside it is not.
    EXPECT_EQ(canvas.Pixel(grid.cellWidth * 1 + 2, grid.cellHeight * 1 + 3), ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_NE(canvas.Pixel(grid.cellWidth * 2 + 2, grid.cellHeight * 1 + 3), ::GetSysColor(COLOR_HIGHLIGHT));
    // The header band.
    EXPECT_EQ(canvas.Pixel(grid.cellWidth * 3 + 2, 2), ::GetSysColor(COLOR_INFOBK));
}

TEST(MonthCalendar, ClicksOnLeadingAndTrailingDaysStepTheMonth)
{
    struct Case {
        int year, month, column, row;
        int shownYear, shownMonth, selectedDay;
    } cases[] = {
        {2001, 1, 0, 1, 2000, 12, 31},  // the grey Sunday before January 1, 2001
        {2001, 12, 6, 6, 2002, 1, 5},   // the last cell after December 2001 (it starts on a Saturday)
        {2001, 5, 2, 2, 2001, 5, 8},
    };
    for (const Case& c : cases) {
        CMonthCalendar calendar;
        calendar.ShowMonth(CCalendarDate(c.year, c.month, 1));
        calendar.ClickCell(c.column, c.row, 0);
        EXPECT_EQ(calendar.GetShownMonth().GetYear(), c.shownYear);
        EXPECT_EQ(calendar.GetShownMonth().GetMonth(), c.shownMonth);
        ASSERT_EQ(calendar.GetSelection().size(), 1u);
        EXPECT_EQ(calendar.GetSelection()[0].GetDay(), c.selectedDay);
    }
}

TEST(MonthCalendar, ControlAndShiftClicksBuildTheSelection)
{
    CMonthCalendar calendar;
    calendar.ShowMonth(CCalendarDate(2001, 5, 1));  // starts on a Tuesday
    calendar.ClickCell(2, 1, 0);                    // May 1
    calendar.ClickCell(5, 1, MK_SHIFT);             // through May 4
    ASSERT_EQ(calendar.GetSelection().size(), 4u);
    EXPECT_TRUE(calendar.GetSelection()[3] == CCalendarDate(2001, 5, 4));
    calendar.ClickCell(3, 1, MK_CONTROL);  // drop May 2
    EXPECT_EQ(calendar.GetSelection().size(), 3u);
    calendar.ClickCell(2, 1, MK_SHIFT);  // back on the anchor: only it stays
    ASSERT_EQ(calendar.GetSelection().size(), 1u);
    EXPECT_TRUE(calendar.GetSelection()[0] == CCalendarDate(2001, 5, 1));
}

// The windows manager settings the tests need: no animation, no waiting.
class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_anim = CWMOptions::m_bShowAnim;
        CWMOptions::m_bShowAnim = 0;
    }
    void TearDown() override { CWMOptions::m_bShowAnim = m_anim; }
    static void Pump()
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    int m_anim = 0;
};

TEST_F(WindowsTest, CalendarWindowAnswersTheListMessages)
{
    CCalendarDialog dialog;
    ASSERT_TRUE(dialog.CreateFromModule(::GetModuleHandleA(nullptr), nullptr));
    dialog.ShowWindow(SW_SHOW);
    Pump();
    HWND list = ::GetDlgItem(dialog.m_hWnd, IDC_HOROLUX_CALENDAR);
    ASSERT_EQ(list, dialog.m_Calendar.m_hWnd);
    dialog.m_Calendar.ShowMonth(CCalendarDate(2001, 5, 1));
    dialog.m_Calendar.ClickCell(3, 2, 0);  // Tuesday, May 8, 2001
    EXPECT_EQ(::SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(::SendMessageA(list, LB_GETSEL, 0, 0), TRUE);
    EXPECT_EQ(::SendMessageA(list, LB_GETSEL, 1, 0), FALSE);
    EXPECT_EQ(::SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(list, LB_GETANCHORINDEX, 0, 0), 0);
    char text[256] = {};
    LRESULT length = ::SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(length, static_cast<LRESULT>(std::strlen(text)));
    EXPECT_NE(std::string(text).find("2001"), std::string::npos) << text;
    EXPECT_NE(std::string(text).find("May"), std::string::npos) << text;
    EXPECT_EQ(::SendMessageA(list, LB_GETTEXTLEN, 0, 0), length);
    EXPECT_EQ(::SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), LB_ERR);
    EXPECT_EQ(::SendMessageA(list, LB_GETTEXT, 0, 0), LB_ERR);
    EXPECT_EQ(::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x")), LB_ERR);
    int items[4] = {-1, -1, -1, -1};
    EXPECT_EQ(::SendMessageA(list, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(items)), 1);
    EXPECT_EQ(items[0], 0);
    EXPECT_EQ(::SendMessageA(list, LB_GETSELITEMS, 0, reinterpret_cast<LPARAM>(items)), LB_ERR);
    EXPECT_EQ(::SendMessageA(list, LB_SETLOCALE, 0x7FFF0000, 0), 0) << "an unknown locale is refused";
    EXPECT_EQ(::SendMessageA(list, LB_GETLOCALE, 0, 0), static_cast<LRESULT>(::GetThreadLocale()));
    EXPECT_EQ(::SendMessageA(list, LB_RESETCONTENT, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);

    // Shrunk below the size of its grid it still paints and takes clicks.
    for (int size : {0, 1, 5, 7}) {
        ::SetWindowPos(list, nullptr, 0, 0, size, size, SWP_NOMOVE | SWP_NOZORDER);
        ::InvalidateRect(list, nullptr, TRUE);
        ::UpdateWindow(list);
        ::SendMessageA(list, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
        ::SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(4, 4));
    }
    dialog.DestroyWindow();
}

// The dialog's colour request for the calendar comes back from the calendar
// itself: its own font in the context and the light-grey brush; and the
// dialog's text member follows the calendar's selected date both ways.
TEST_F(WindowsTest, CalendarAnswersItsColourAndBindsItsDate)
{
    CCalendarDialog dialog;
    ASSERT_TRUE(dialog.CreateFromModule(::GetModuleHandleA(nullptr), nullptr));
    dialog.ShowWindow(SW_SHOW);
    Pump();
    HWND list = dialog.m_Calendar.m_hWnd;

    HFONT font = ::CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    ASSERT_NE(font, nullptr);
    ::SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ before = ::SelectObject(dc, ::GetStockObject(SYSTEM_FONT));
    LRESULT brush = ::SendMessageA(dialog.m_hWnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(LTGRAY_BRUSH));
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_FONT), static_cast<HGDIOBJ>(font));
    ::SelectObject(dc, before);
    ::DeleteDC(dc);

    dialog.m_Calendar.ShowMonth(CCalendarDate(2001, 5, 1));
    dialog.m_Calendar.ClickCell(3, 2, 0);  // Tuesday, May 8, 2001
    char text[256] = {};
    ASSERT_GT(::SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text)), 0);
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(std::string((const char*)dialog.m_strDate), text);

    dialog.m_strDate = "25 December 2001";
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    ASSERT_FALSE(dialog.m_Calendar.GetSelection().empty());
    EXPECT_TRUE(dialog.m_Calendar.GetSelection().back() == CCalendarDate(2001, 12, 25));
    EXPECT_EQ(dialog.m_Calendar.GetShownMonth().GetMonth(), 12);
    dialog.DestroyWindow();
    ::DeleteObject(font);
}

TEST_F(WindowsTest, EachWindowComesFromItsTemplateAndIsKept)
{
    struct Case {
        const char* file;
        CHoroluxDialog* (*make)();
        const char* caption;
    } cases[] = {
        {"window-analog.bmp", [] { return static_cast<CHoroluxDialog*>(new CClockDialog); }, "Clock"},
        {"window-digital.bmp", [] { return static_cast<CHoroluxDialog*>(new CDateTimeDialog); }, "Clock"},
        {"window-calendar.bmp", [] { return static_cast<CHoroluxDialog*>(new CCalendarDialog); }, "Calendar"},
    };
    for (const Case& c : cases) {
        CHoroluxDialog* dialog = c.make();
        ASSERT_TRUE(dialog->CreateFromModule(::GetModuleHandleA(nullptr), g_WindowMgr.GetParent())) << c.file;
        g_WindowMgr.AttachWindow(dialog, 0);
        HWND window = dialog->m_hWnd;
        EXPECT_TRUE(::IsWindowVisible(window));
        char caption[64] = {};
        ::GetWindowTextA(window, caption, sizeof caption);
        EXPECT_STREQ(caption, c.caption);
        ::SetWindowPos(window, HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE);
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        RECT r;
        ::GetWindowRect(window, &r);
        Canvas shot(r.right - r.left, r.bottom - r.top, RGB(0, 0, 0));
        shot.CopyWindow(window);
        EXPECT_TRUE(shot.Save(ArtifactPath(c.file)));
        // The control fills the window less the border, and follows its size.
        HWND control = ::GetWindow(window, GW_CHILD);
        ASSERT_NE(control, nullptr);
        RECT before, after;
        ::GetWindowRect(control, &before);
        ::SetWindowPos(window, nullptr, 0, 0, (r.right - r.left) + 60, (r.bottom - r.top) + 40,
                       SWP_NOMOVE | SWP_NOZORDER);
        Pump();
        ::GetWindowRect(control, &after);
        EXPECT_EQ((after.right - after.left) - (before.right - before.left), 60) << c.file;
        EXPECT_EQ((after.bottom - after.top) - (before.bottom - before.top), 40) << c.file;
    }
}

// Counts its deletions, to prove the manager deletes each window object once.
int g_deleted = 0;
struct CountedClock : CClockDialog {
    ~CountedClock() override { ++g_deleted; }
};

TEST_F(WindowsTest, ClosedWindowObjectIsDeletedOnce)
{
    g_deleted = 0;
    auto* dialog = new CountedClock;
    ASSERT_TRUE(dialog->CreateFromModule(::GetModuleHandleA(nullptr), g_WindowMgr.GetParent()));
    g_WindowMgr.AttachWindow(dialog, 0);
    int listed = g_WindowMgr.GetWindowCount();
    ::SendMessageA(dialog->m_hWnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(g_deleted, 0) << "the object outlived its window until the manager looked";
    g_WindowMgr.RefreshWindowVector();
    EXPECT_EQ(g_deleted, 1);
    EXPECT_EQ(g_WindowMgr.GetWindowCount(), listed - 1);
    g_WindowMgr.RefreshWindowVector();
    EXPECT_EQ(g_deleted, 1);
}

} // namespace
