// Typed dates with the real English locale under Wine: the locale's names and
// orders, the month calendar selecting typed dates, the best-fitting date text
// and the drop-down date field driven with real messages to real windows.
#include "canvas.h"
#include "date_field.h"
#include "locale_dates.h"
#include "month_calendar.h"
#include "testsupport/win_wait.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const LCID kEnglish = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

const UINT kFieldId = 21;

// The notification codes the host window received from the date field.
std::vector<UINT> g_codes;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam && LOWORD(wParam) == kFieldId)
        g_codes.push_back(HIWORD(wParam));
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A real top-level window, shown and active, for the controls to live in.
class HostWindow {
public:
    HostWindow()
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = HostProc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
            wc.lpszClassName = "VxDateHost";
            wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
            registered = ::RegisterClassA(&wc) != 0;
        }
        m_hWnd = ::CreateWindowExA(0, "VxDateHost", "Dates", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 320,
                                   nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ::SetForegroundWindow(m_hWnd);
        ::SetActiveWindow(m_hWnd);
        Pump();
        g_codes.clear();
    }
    ~HostWindow() { ::DestroyWindow(m_hWnd); Pump(); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND m_hWnd;
};

CCalendarDate Date(int y, int m, int d)
{
    return CCalendarDate(y, m, d);
}

std::string Text(HWND window)
{
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(LocaleDates, EnglishNamesAndOrderReadTypedDates)
{
    CDateReading reading = ReadLocaleDates(kEnglish);
    EXPECT_EQ(reading.names.monthNames[11], "December");
    EXPECT_EQ(reading.names.abbrevMonthNames[0], "Jan");
    EXPECT_EQ(reading.names.dayNames[0], "Monday");
    EXPECT_EQ(reading.order.monthPosition, 0);  // month-day-year
    EXPECT_EQ(reading.order.dayPosition, 1);
    EXPECT_FALSE(reading.order.longDateYearFirst);
    EXPECT_EQ(reading.currentYear, CCalendarDate::Today().GetYear());
    struct Case {
        const char* text;
        int year, month, day;
    } cases[] = {
        {"12/25/01", 2001, 12, 25},
        {"25 December 2001", 2001, 12, 25},
        {"25 DECEMBER 2001", 2001, 12, 25},  // the locale's comparison ignores case
        {"Tue, May 8, 2001", 2001, 5, 8},
        {"Tuesday, May 08, 2001", 2001, 5, 8},
    };
    for (const Case& c : cases) {
        CCalendarDate date;
        ASSERT_TRUE(date.Parse(c.text, reading)) << c.text;
        EXPECT_TRUE(date == Date(c.year, c.month, c.day)) << c.text;
    }
    CCalendarDate date;
    EXPECT_FALSE(date.Parse("1 2 3 4", reading));
    EXPECT_FALSE(date.Parse("31 February 2001", reading));
}

// A month calendar as a child list box of the given selection style.
struct CalendarInHost {
    explicit CalendarInHost(DWORD style)
    {
        calendar.CreateEx(0, "LISTBOX", nullptr, WS_CHILD | WS_VISIBLE | style, 10, 10, 280, 200, host.m_hWnd,
                          reinterpret_cast<HMENU>(7));
        ::SendMessageA(calendar.m_hWnd, LB_SETLOCALE, kEnglish, 0);
        calendar.ShowMonth(Date(2001, 1, 1));
        Pump();
    }
    LRESULT Select(const char* text)
    {
        return ::SendMessageA(calendar.m_hWnd, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    }
    HostWindow host;
    CMonthCalendar calendar;
};

TEST(MonthCalendarTyped, SelectStringFollowsTheSelectionStyle)
{
    struct Step {
        const char* text;
        LRESULT result;
        int count;
        int shownMonth;  // of 2001
    };
    struct Case {
        const char* what;
        DWORD style;
        std::vector<Step> steps;
    } cases[] = {
        {"single",
         0,
         {{"5/8/2001", 0, 1, 5}, {"December 25, 2001", 0, 1, 12}, {"12/24/2001", 0, 1, 12}, {"", LB_ERR, 1, 12},
          {"31 February 2001", LB_ERR, 1, 12}}},
        {"multiple",
         LBS_MULTIPLESEL,
         {{"5/8/2001", 0, 1, 5}, {"5/9/2001", 1, 2, 5}, {"May 8, 2001", 0, 2, 5}, {"1 2 3 4", LB_ERR, 2, 5}}},
        {"extended",
         LBS_EXTENDEDSEL,
         {{"5/8/2001", 0, 1, 5}, {"6/1/2001", 1, 2, 6}, {"5/8/01", 0, 2, 6}}},
        {"no selection", LBS_NOSEL, {{"5/8/2001", LB_ERR, 0, 1}}},
    };
    for (const Case& c : cases) {
        CalendarInHost in(c.style);
        for (const Step& s : c.steps) {
            EXPECT_EQ(in.Select(s.text), s.result) << c.what << ": " << s.text;
            EXPECT_EQ(::SendMessageA(in.calendar.m_hWnd, LB_GETCOUNT, 0, 0), s.count) << c.what << ": " << s.text;
            EXPECT_EQ(in.calendar.GetShownMonth().GetMonth(), s.shownMonth) << c.what << ": " << s.text;
            EXPECT_EQ(in.calendar.GetShownMonth().GetYear(), 2001) << c.what << ": " << s.text;
        }
    }
}

TEST(MonthCalendarTyped, SelectedDateIsTheLastItemInTheLongFormat)
{
    CalendarInHost in(LBS_EXTENDEDSEL);
    ASSERT_EQ(in.Select("5/8/2001"), 0);
    ASSERT_EQ(in.Select("Dec 25 2001"), 1);
    EXPECT_EQ(::SendMessageA(in.calendar.m_hWnd, LB_GETCURSEL, 0, 0), 1);
    char text[256] = {};
    ::SendMessageA(in.calendar.m_hWnd, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::string(text), std::string(FormatCalendarDate(Date(2001, 12, 25), kEnglish, nullptr, DATE_LONGDATE)));
    EXPECT_NE(std::string(text).find("December"), std::string::npos) << text;
    // A typed date shown in the grid as selected, in the month it moved to.
    Canvas canvas(280, 141, RGB(255, 255, 255));
    CDC dc;
    dc.Attach(canvas.Dc());
    in.calendar.DrawGrid(&dc, 280, 141);
    dc.Detach();
    MonthGrid grid(280, 141);
    int cell = MonthGrid::FirstCell(Date(2001, 12, 1).DayOfWeek()) + 24;
    EXPECT_EQ(canvas.Pixel(grid.cellWidth * (cell % 7) + 2, grid.cellHeight * (cell / 7 + 1) + 3),
              ::GetSysColor(COLOR_HIGHLIGHT));
}

// The width of a text in the context's font.
int Width(HDC dc, const CString& text)
{
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
    return size.cx;
}

class BestFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dc = ::CreateCompatibleDC(nullptr);
        m_old = ::SelectObject(m_dc, ::GetStockObject(DEFAULT_GUI_FONT));
    }
    void TearDown() override
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
    }
    CString Fit(const CCalendarDate& date, int width)
    {
        RECT box = {0, 0, width, 20};
        return BestFitText(date, kEnglish, nullptr, &box, m_dc);
    }
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

TEST_F(BestFit, WideBoxTakesTheWidestFormatNarrowBoxAShorterOne)
{
    const CCalendarDate may8 = Date(2001, 5, 8);
    CString longDate = FormatCalendarDate(may8, kEnglish, nullptr, DATE_LONGDATE);
    CString shortDate = FormatCalendarDate(may8, kEnglish, nullptr, DATE_SHORTDATE);
    ASSERT_GT(Width(m_dc, longDate), Width(m_dc, shortDate));

    CString wide = Fit(may8, 1000);
    EXPECT_GE(Width(m_dc, wide), Width(m_dc, longDate)) << (const char*)wide;
    EXPECT_NE(std::string(wide).find("Tuesday"), std::string::npos) << (const char*)wide;

    // Room for the short date but not the long one.
    int room = Width(m_dc, shortDate) + 1;
    CString narrow = Fit(may8, room);
    EXPECT_LT(Width(m_dc, narrow), room) << (const char*)narrow;
    EXPECT_GE(Width(m_dc, narrow), Width(m_dc, shortDate)) << "the widest that fits: " << (const char*)narrow;
    EXPECT_EQ(std::string(narrow).find("Tuesday"), std::string::npos) << (const char*)narrow;

    // Nothing fits: the first of the long formats.
    EXPECT_STREQ((const char*)Fit(may8, 1), (const char*)longDate);
}

TEST_F(BestFit, NoWeekDayNamesBeforeTheGregorianCalendar)
{
    CString text = Fit(Date(1492, 10, 12), 1000);
    EXPECT_NE(std::string(text).find("1492"), std::string::npos) << (const char*)text;
    for (const char* day : {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"})
        EXPECT_EQ(std::string(text).find(day), std::string::npos) << (const char*)text;
    CString later = Fit(Date(1582, 10, 15), 1000);
    EXPECT_NE(std::string(later).find("Friday"), std::string::npos) << (const char*)later;
}

TEST(BestFitWindow, MeasuresInTheWindowsOwnFontAndWidth)
{
    HostWindow host;
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 70, 20, host.m_hWnd, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), 0);
    RECT client;
    ::GetClientRect(edit, &client);
    CString text = BestFitText(Date(2001, 5, 8), kEnglish, edit, nullptr, nullptr);
    HDC dc = ::GetDC(edit);
    HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_LT(Width(dc, text), client.right) << (const char*)text;
    ::SelectObject(dc, old);
    ::ReleaseDC(edit, dc);
}

// Counts its refusals instead of sounding them.
class CountingDateField : public CDateField {
public:
    int m_nBeeps = 0;

protected:
    void Beep() override { ++m_nBeeps; }
};

class DateFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RECT at = {10, 10, 200, 34};
        ASSERT_TRUE(m_Field.Create(WS_VISIBLE | WS_TABSTOP, at, CWnd::FromHandle(m_Host.m_hWnd), kFieldId));
        m_Other = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 200, 100, 20, m_Host.m_hWnd,
                                    reinterpret_cast<HMENU>(22), ::GetModuleHandleA(nullptr), nullptr);
        Pump();
        g_codes.clear();
    }
    void TearDown() override
    {
        if (m_Field.m_hWnd)
            m_Field.DestroyWindow();
        Pump();
    }
    // A press and release of the drop button, as the mouse sends them.
    void ClickButton()
    {
        CRect button = m_Field.ButtonRect();
        LPARAM at = MAKELPARAM(button.CenterPoint().x, button.CenterPoint().y);
        ::SendMessageA(m_Field.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        EXPECT_TRUE(m_Field.IsButtonPressed());
        ::SendMessageA(m_Field.m_hWnd, WM_LBUTTONUP, 0, at);
        EXPECT_FALSE(m_Field.IsButtonPressed());
        Pump();
    }
    // A click on the cell of a day of the calendar's shown month.
    void ClickDay(int day)
    {
        HWND popup = m_Field.GetCalendar().m_hWnd;
        ASSERT_NE(popup, nullptr);
        RECT client;
        ::GetClientRect(popup, &client);
        MonthGrid grid(client.right, client.bottom);
        int cell = MonthGrid::FirstCell(m_Field.GetCalendar().GetShownMonth().DayOfWeek()) + day - 1;
        int x = grid.cellWidth * (cell % 7) + grid.cellWidth / 2, y = grid.cellHeight * (cell / 7 + 1) + grid.cellHeight / 2;
        ::SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageA(::IsWindow(popup) ? popup : m_Field.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }
    void Type(const char* text)
    {
        m_Field.GetEdit().SetFocus();
        ::SetWindowTextA(m_Field.GetEdit().m_hWnd, text);
        Pump();
    }
    // Moves the focus away and lets any refusal take it back.
    void Leave()
    {
        ::SetFocus(m_Other);
        Pump();
    }
    HostWindow m_Host;
    CountingDateField m_Field;
    HWND m_Other = nullptr;
};

TEST_F(DateFieldTest, DropDownPagesMonthsAndADayClickFillsTheBox)
{
    m_Field.SetDate(Date(2001, 5, 8));
    ClickButton();
    ASSERT_TRUE(m_Field.IsDroppedDown());
    HWND popup = m_Field.GetCalendar().m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(popup));
    EXPECT_EQ(::GetFocus(), m_Field.GetEdit().m_hWnd) << "the calendar does not take the focus";
    EXPECT_TRUE(m_Field.GetCalendar().GetShownMonth() == Date(2001, 5, 1));
    ASSERT_EQ(m_Field.GetCalendar().GetSelection().size(), 1u);
    EXPECT_TRUE(m_Field.GetCalendar().GetSelection()[0] == Date(2001, 5, 8));

    struct Key {
        HWND to;
        UINT key;
        int year, month;
    } keys[] = {
        {popup, VK_NEXT, 2001, 6},
        {popup, VK_NEXT, 2001, 7},
        {popup, VK_PRIOR, 2001, 6},
        {m_Field.GetEdit().m_hWnd, VK_NEXT, 2001, 7},  // the box hands them on while dropped
        {m_Field.GetEdit().m_hWnd, VK_NEXT, 2001, 8},
    };
    for (const Key& k : keys) {
        ::SendMessageA(k.to, WM_KEYDOWN, k.key, 0);
        EXPECT_EQ(m_Field.GetCalendar().GetShownMonth().GetYear(), k.year);
        EXPECT_EQ(m_Field.GetCalendar().GetShownMonth().GetMonth(), k.month);
    }
    // The field with its calendar open, as the screen shows them.
    ::RedrawWindow(m_Host.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    Canvas shot(480, 380, RGB(0, 0, 0));
    shot.CopyWindow(::GetDesktopWindow());
    EXPECT_TRUE(shot.Save(ArtifactPath("date-field-dropped.bmp")));

    ClickDay(15);
    EXPECT_FALSE(m_Field.IsDroppedDown());
    EXPECT_FALSE(::IsWindow(popup)) << "the calendar closed";
    EXPECT_TRUE(m_Field.GetDate() == Date(2001, 8, 15));
    std::vector<UINT> expected = {CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP};
    EXPECT_EQ(g_codes, expected);
    HWND edit = m_Field.GetEdit().m_hWnd;
    CString fit = BestFitText(Date(2001, 8, 15), ::GetThreadLocale(), edit, nullptr, nullptr);
    EXPECT_EQ(Text(edit), std::string(fit));
    DWORD from = 0, to = 0;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, static_cast<DWORD>(fit.GetLength())) << "the text is selected";

    // The picked text reads back as the same date when the box is left.
    Leave();
    EXPECT_EQ(m_Field.m_nBeeps, 0);
    EXPECT_TRUE(m_Field.GetDate() == Date(2001, 8, 15));
    EXPECT_EQ(::GetFocus(), m_Other);
}

TEST_F(DateFieldTest, LeavingTheBoxReadsTheTypedText)
{
    m_Field.SetRange(Date(2000, 1, 1), Date(2010, 12, 31));
    struct Case {
        const char* text;
        bool kept;  // the focus stays in the box, with a beep
        CCalendarDate date;
    } cases[] = {
        {"12/25/2001", false, Date(2001, 12, 25)},
        {"31 February 2001", true, Date(2001, 12, 25)},
        {"not a date", true, Date(2001, 12, 25)},
        {"1/1/1990", true, Date(2001, 12, 25)},  // before the earliest date
        {"January 1, 2011", true, Date(2001, 12, 25)},  // after the latest
        {"", false, CCalendarDate()},
        {"Dec 31 2010", false, Date(2010, 12, 31)},
    };
    for (const Case& c : cases) {
        int beeps = m_Field.m_nBeeps;
        Type(c.text);
        Leave();
        HWND edit = m_Field.GetEdit().m_hWnd;
        EXPECT_EQ(::GetFocus() == edit, c.kept) << c.text;
        EXPECT_EQ(m_Field.m_nBeeps - beeps, c.kept ? 1 : 0) << c.text;
        EXPECT_TRUE(m_Field.GetDate() == c.date) << c.text;
        EXPECT_EQ(m_Field.GetDate().IsEmpty(), c.date.IsEmpty()) << c.text;
        if (c.kept) {
            DWORD from = 1, to = 0;
            ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
            EXPECT_EQ(from, 0u) << c.text;
            EXPECT_EQ(to, std::string(c.text).size()) << c.text << ": all the text selected";
        }
    }
}

TEST_F(DateFieldTest, AVeryLongTypedTextIsRefusedWhole)
{
    std::string text(20000, '7');
    m_Field.GetEdit().SetFocus();
    ::SendMessageA(m_Field.GetEdit().m_hWnd, EM_SETLIMITTEXT, 0, 0);
    ::SetWindowTextA(m_Field.GetEdit().m_hWnd, text.c_str());
    Leave();
    EXPECT_EQ(m_Field.m_nBeeps, 1);
    EXPECT_EQ(::GetFocus(), m_Field.GetEdit().m_hWnd);
    EXPECT_TRUE(m_Field.GetDate().IsEmpty());
}

TEST_F(DateFieldTest, TwoRefusedFieldsDoNotPassTheFocusForEver)
{
    CountingDateField second;
    RECT at = {10, 60, 200, 84};
    ASSERT_TRUE(second.Create(WS_VISIBLE | WS_TABSTOP, at, CWnd::FromHandle(m_Host.m_hWnd), 23));
    ::SetWindowTextA(second.GetEdit().m_hWnd, "still no date");
    Type("no date");
    second.GetEdit().SetFocus();
    // Bounded: a focus fight would keep posting for ever.
    int quiet = 0;
    for (int round = 0; round < 500 && quiet < 20; ++round) {
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    EXPECT_GE(quiet, 20) << "the focus settled";
    EXPECT_EQ(::GetFocus(), m_Field.GetEdit().m_hWnd) << "the first refusal keeps it";
    EXPECT_EQ(m_Field.m_nBeeps, 1);
    EXPECT_EQ(second.m_nBeeps, 0) << "a field handing the focus back to a refused one does not refuse in turn";
    second.DestroyWindow();
}

TEST_F(DateFieldTest, CalendarClosesWithTheFocusAndWithTheField)
{
    ClickButton();
    ASSERT_TRUE(m_Field.IsDroppedDown());
    HWND popup = m_Field.GetCalendar().m_hWnd;
    Leave();
    EXPECT_FALSE(::IsWindow(popup));
    std::vector<UINT> expected = {CBN_DROPDOWN, CBN_CLOSEUP};
    EXPECT_EQ(g_codes, expected);

    ClickButton();
    ASSERT_TRUE(m_Field.IsDroppedDown());
    m_Field.GetEdit().SetFocus();
    ::SendMessageA(m_Field.GetEdit().m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(m_Field.IsDroppedDown());

    ClickButton();
    popup = m_Field.GetCalendar().m_hWnd;
    ASSERT_TRUE(::IsWindow(popup));
    m_Field.DestroyWindow();
    EXPECT_FALSE(::IsWindow(popup)) << "no calendar outlives its field";
}

// A real button press and release at a point of the screen.
void ClickScreen(POINT at)
{
    ::SetCursorPos(at.x, at.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, clicks, sizeof(INPUT));
}

// Pumps messages until the condition holds or a generous deadline passes.
template <typename Condition>
bool PumpUntil(Condition done)
{
    return testsupport::WaitUntil(done, testsupport::kWindowWaitMs, true);
}

// A real click at a screen point, once the window under it is `target` (or
// one of its children): the display is shared with other test programs, whose
// windows may lie over ours for a while, and the click must reach ours.
void ClickOwnWindow(HWND target, POINT at, const char* what)
{
    const bool ours = PumpUntil([&] {
        HWND under = ::WindowFromPoint(at);
        return under == target || ::IsChild(target, under);
    });
    if (!ours) {
        ADD_FAILURE() << "the point of " << what << " was still covered by another window after "
                      << testsupport::kWindowWaitMs << " ms";
        return;
    }
    ClickScreen(at);
}

TEST_F(DateFieldTest, ARealClickElsewhereClosesTheCalendar)
{
    ::SetWindowPos(m_Host.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ClickButton();
    ASSERT_TRUE(m_Field.IsDroppedDown());
    // A click on the calendar's own arrow keeps it open and shows the next month.
    HWND popup = m_Field.GetCalendar().m_hWnd;
    RECT frame;
    ::GetWindowRect(popup, &frame);
    CCalendarDate shown = m_Field.GetCalendar().GetShownMonth();
    POINT arrow = {frame.right - ::GetSystemMetrics(SM_CXHSCROLL) / 2 - 2,
                   frame.top + ::GetSystemMetrics(SM_CYHSCROLL) / 2 + 2};
    ClickOwnWindow(popup, arrow, "the calendar's arrow");
    EXPECT_TRUE(PumpUntil([&] { return !(m_Field.GetCalendar().GetShownMonth() == shown); }))
        << "the click on the calendar's arrow did not show the next month";
    EXPECT_TRUE(m_Field.IsDroppedDown());
    // The host's empty area, away from the field and its calendar.
    RECT client;
    ::GetClientRect(m_Host.m_hWnd, &client);
    POINT elsewhere = {client.right - 10, client.bottom - 10};
    ::ClientToScreen(m_Host.m_hWnd, &elsewhere);
    ASSERT_FALSE(::PtInRect(&frame, elsewhere));
    ClickOwnWindow(m_Host.m_hWnd, elsewhere, "the host's empty area");
    EXPECT_TRUE(PumpUntil([&] { return !m_Field.IsDroppedDown(); }))
        << "the click on the host's empty area did not close the calendar";
    EXPECT_FALSE(::IsWindow(popup));
    std::vector<UINT> expected = {CBN_DROPDOWN, CBN_CLOSEUP};
    EXPECT_EQ(g_codes, expected);
}

TEST_F(DateFieldTest, OutOfRangeDayIsRefusedWithTheCalendarOpen)
{
    m_Field.SetRange(Date(2001, 5, 10), CCalendarDate());
    m_Field.SetDate(Date(2001, 5, 12));
    ClickButton();
    ClickDay(3);
    EXPECT_EQ(m_Field.m_nBeeps, 1);
    EXPECT_TRUE(m_Field.IsDroppedDown());
    EXPECT_TRUE(m_Field.GetDate() == Date(2001, 5, 12));
    ClickDay(20);
    EXPECT_TRUE(m_Field.GetDate() == Date(2001, 5, 20));
    EXPECT_FALSE(m_Field.IsDroppedDown());
}

TEST(DateFieldButton, DrawnSunkenWhilePressed)
{
    struct Case {
        bool pressed;
        COLORREF corner;
    } cases[] = {{false, ::GetSysColor(COLOR_3DLIGHT)}, {true, ::GetSysColor(COLOR_BTNSHADOW)}};
    for (const Case& c : cases) {
        Canvas canvas(20, 20, RGB(1, 2, 3));
        RECT button = {0, 0, 20, 20};
        CDateField::DrawButton(canvas.Dc(), button, c.pressed);
        EXPECT_EQ(canvas.Pixel(0, 0), c.corner) << c.pressed;
        EXPECT_EQ(canvas.Pixel(10, 10 + (c.pressed ? 1 : 0)), ::GetSysColor(COLOR_BTNTEXT)) << "the arrow";
    }
}

} // namespace
