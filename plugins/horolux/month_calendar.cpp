#include "month_calendar.h"

#include "locale_dates.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CString FormatCalendarDate(const CCalendarDate& date, LCID locale, const char* picture, DWORD flags)
{
    int year = date.GetYear();
    int shown = CCalendarDate::FormattableYear(year);
    CCalendarDate moved(shown, date.GetMonth(), date.GetDay());
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(shown);
    st.wMonth = static_cast<WORD>(date.GetMonth());
    st.wDay = static_cast<WORD>(date.GetDay());
    st.wDayOfWeek = static_cast<WORD>(moved.DayOfWeek());
    char text[256] = {};
    if (!::GetDateFormatA(locale, picture ? 0 : flags, &st, picture, text, sizeof text))
        return CString();
    CString result = text;
    if (shown != year) {
        char from[16], to[16];
        std::snprintf(from, sizeof from, "%d", shown);
        std::snprintf(to, sizeof to, "%04d", year);
        result.Replace(from, to);
    }
    return result;
}

namespace {

int EdgeHeight(DWORD exStyle)
{
    if (exStyle & WS_EX_DLGMODALFRAME)
        return 2 * ::GetSystemMetrics(SM_CYEDGE);
    if (exStyle & WS_EX_STATICEDGE)
        return ::GetSystemMetrics(SM_CYEDGE);
    return 0;
}

} // namespace

CMonthCalendar::CMonthCalendar() : m_Locale(::GetThreadLocale())
{
    CCalendarDate today = CCalendarDate::Today();
    m_Shown = CCalendarDate(today.GetYear(), today.GetMonth(), 1);
    HDC screen = ::GetDC(nullptr);
    int height = -::MulDiv(8, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    m_Font.CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FF_SWISS, nullptr);
}

CMonthCalendar::~CMonthCalendar() = default;

void CMonthCalendar::ShowMonth(const CCalendarDate& month)
{
    m_Shown = CCalendarDate(month.GetYear(), month.GetMonth(), 1);
    RepaintTitle();
    if (m_hWnd)
        Invalidate(TRUE);
}

int CMonthCalendar::TitleHeight()
{
    int text = 0;
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, m_Font);
    TEXTMETRICA tm;
    if (::GetTextMetricsA(dc, &tm))
        text = tm.tmHeight;
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    return std::max(::GetSystemMetrics(SM_CYHSCROLL), text);
}

void CMonthCalendar::RepaintTitle()
{
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

int CMonthCalendar::IndexOf(const CCalendarDate& date) const
{
    for (size_t i = 0; i < m_Selection.size(); ++i)
        if (m_Selection[i] == date)
            return static_cast<int>(i);
    return -1;
}

CString CMonthCalendar::WeekDayLetter(int day)
{
    if (m_LettersLocale != m_Locale || m_WeekLetters[0].IsEmpty()) {
        // Sunday is the locale's seventh day name.
        for (int i = 0; i < 7; ++i) {
            char name[256] = {};
            ::GetLocaleInfoA(m_Locale, LOCALE_SDAYNAME1 + (i + 6) % 7, name, sizeof name);
            CString letter = CString(name).Left(1);
            letter.MakeUpper();
            m_WeekLetters[i] = letter;
        }
        m_LettersLocale = m_Locale;
    }
    return m_WeekLetters[day];
}

void CMonthCalendar::DrawGrid(CDC* pDC, int width, int height)
{
    MonthGrid grid(width, height);
    int W = grid.cellWidth, H = grid.cellHeight;
    HDC dc = pDC->m_hDC;
    HGDIOBJ oldFont = ::SelectObject(dc, m_Font);
    ::SetBkMode(dc, TRANSPARENT);
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(dc, &tm);

    RECT header = {1, 0, width - 1, H};
    ::FillRect(dc, &header, ::GetSysColorBrush(COLOR_INFOBK));
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::SetTextAlign(dc, TA_CENTER | TA_TOP);
    for (int c = 0; c < 7; ++c) {
        CString letter = WeekDayLetter(c);
        ::TextOutA(dc, W / 2 + c * W, H - tm.tmExternalLeading - tm.tmHeight - 1, letter, letter.GetLength());
    }
    HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    ::MoveToEx(dc, 4, H - 1, nullptr);
    ::LineTo(dc, width - 4, H - 1);
    ::SelectObject(dc, oldPen);

    int first = m_Shown.DayOfWeek();
    int length = m_Shown.DaysInMonth();
    CCalendarDate previous = m_Shown;
    previous.PreviousMonth();
    int previousLength = previous.DaysInMonth();
    CCalendarDate next = m_Shown;
    next.NextMonth();
    CCalendarDate today = CCalendarDate::Today();
    for (int i = 0; i < 42; ++i) {
        int x = W * (i % 7), y = H * (i / 7 + 1);
        int day = i - first + 1;
        CCalendarDate date;
        bool inMonth = day >= 1 && day <= length;
        if (inMonth)
            date = CCalendarDate(m_Shown.GetYear(), m_Shown.GetMonth(), day);
        else if (day < 1)
            date = CCalendarDate(previous.GetYear(), previous.GetMonth(), previousLength + day);
        else
            date = CCalendarDate(next.GetYear(), next.GetMonth(), day - length);
        bool selected = IndexOf(date) >= 0;
        RECT cell = {x - 1 + 1, y + 1 + 1, x + W + 1 - 1 - 1, y + H + 1 + 1 - 1};
        COLORREF text = ::GetSysColor(inMonth ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW);
        if (selected) {
            ::FillRect(dc, &cell, ::GetSysColorBrush(COLOR_HIGHLIGHT));
            if (!inMonth) {
                static const WORD kHalftone[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
                HBITMAP pattern = ::CreateBitmap(8, 8, 1, 1, kHalftone);
                HBRUSH halftone = ::CreatePatternBrush(pattern);
                COLORREF oldBk = ::SetBkColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
                HGDIOBJ oldBrush = ::SelectObject(dc, halftone);
                ::PatBlt(dc, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, PATINVERT);
                ::SelectObject(dc, oldBrush);
                ::SetBkColor(dc, oldBk);
                ::DeleteObject(halftone);
                ::DeleteObject(pattern);
            }
            text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        }
        if (inMonth && date == today) {
            RECT f = {x - 1, y + 1, x + W - 1, y + H + 1};
            pDC->Draw3dRect(&f, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        }
        char number[8];
        std::snprintf(number, sizeof number, "%d", date.GetDay());
        ::SetTextColor(dc, text);
        ::TextOutA(dc, x + width / 14, y + H / 4, number, static_cast<int>(std::strlen(number)));
    }
    ::SetTextAlign(dc, TA_LEFT | TA_TOP);
    ::SelectObject(dc, oldFont);
}

void CMonthCalendar::DrawTitle(CDC* pDC, const CRect& band)
{
    HDC dc = pDC->m_hDC;
    ::FillRect(dc, &band, ::GetSysColorBrush(COLOR_BTNFACE));
    pDC->Draw3dRect(&band, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    CString title = FormatCalendarDate(m_Shown, m_Locale, "MMMM yyyy");
    HGDIOBJ oldFont = ::SelectObject(dc, m_Font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::SetTextAlign(dc, TA_CENTER | TA_TOP);
    ::TextOutA(dc, (band.left + band.right) / 2, band.top, title, title.GetLength());
    ::SetTextAlign(dc, TA_LEFT | TA_TOP);
    ::SelectObject(dc, oldFont);
    int bw = ::GetSystemMetrics(SM_CXHSCROLL), bh = ::GetSystemMetrics(SM_CYHSCROLL);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(BLACK_BRUSH));
    HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
    for (int s : {-1, 1}) {
        int cx = s < 0 ? band.left + bw / 2 : band.right - bw / 2;
        int cy = band.top + bh / 2;
        POINT t[3] = {{cx - s, cy - 3 * s}, {cx - s, cy + 3 * s}, {cx + 2 * s, cy}};
        ::Polygon(dc, t, 3);
    }
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
}

LRESULT CMonthCalendar::HitTest(CPoint screen)
{
    CRect window;
    GetWindowRect(&window);
    CPoint p(screen.x - window.left, screen.y - window.top);
    int bx = ::GetSystemMetrics(SM_CXBORDER), by = ::GetSystemMetrics(SM_CYBORDER);
    int edge = EdgeHeight(GetExStyle());
    int bandHeight = TitleHeight() + 4 * by;
    if (p.y < edge || p.y >= edge + bandHeight)
        return HTNOWHERE;
    int box = ::GetSystemMetrics(SM_CXHSCROLL);
    if (p.x >= edge + 2 * bx && p.x < edge + 2 * bx + box)
        return HTMINBUTTON;
    if (p.x < window.Width() - edge - 2 * bx && p.x >= window.Width() - edge - 2 * bx - box)
        return HTMAXBUTTON;
    return HTCAPTION;
}

void CMonthCalendar::StepMonth(int direction)
{
    CCalendarDate month = m_Shown;
    if (direction < 0)
        month.PreviousMonth();
    else
        month.NextMonth();
    ShowMonth(month);
}

void CMonthCalendar::ClickCell(int column, int row, UINT keys)
{
    DWORD style = m_hWnd ? GetStyle() : LBS_EXTENDEDSEL;
    if (style & LBS_NOSEL)
        return;
    int cell = column + 7 * (row - 1);
    int day = MonthGrid::DayInCell(column, row, m_Shown.DayOfWeek());
    CCalendarDate month = m_Shown;
    if (day < 1) {
        month.PreviousMonth();
        day += month.DaysInMonth();
        ShowMonth(month);
    } else if (day > m_Shown.DaysInMonth()) {
        day -= m_Shown.DaysInMonth();
        month.NextMonth();
        ShowMonth(month);
    }
    CCalendarDate date(month.GetYear(), month.GetMonth(), day);
    bool extended = (style & LBS_EXTENDEDSEL) != 0;
    bool multiple = (style & LBS_MULTIPLESEL) != 0;
    bool ctrl = multiple || (extended && (keys & MK_CONTROL));
    bool shift = extended && (keys & MK_SHIFT) && !m_Anchor.IsEmpty();
    // A drag within one cell adds nothing more.
    if ((keys & MK_LBUTTON) && cell == m_nLastCell && shift)
        return;
    m_nLastCell = cell;
    if (shift) {
        std::vector<CCalendarDate> kept;
        for (const CCalendarDate& d : m_Selection) {
            bool beyond = date >= m_Anchor ? d >= date : d <= date;
            if (!beyond)
                kept.push_back(d);
        }
        m_Selection.swap(kept);
        if (date == m_Anchor) {
            m_Selection.assign(1, m_Anchor);
        } else {
            CCalendarDate from = m_Anchor;
            for (const CCalendarDate& d : m_Selection)
                if ((date > m_Anchor && d > from && d < date) || (date < m_Anchor && d < from && d > date))
                    from = d;
            int step = date > from ? 1 : -1;
            if (IndexOf(from) < 0)
                m_Selection.push_back(from);
            // Bounded by the days between the two dates.
            for (long n = std::labs(date.JulianDay() - from.JulianDay()); n > 0; --n) {
                from.AddDays(step);
                if (IndexOf(from) < 0)
                    m_Selection.push_back(from);
            }
        }
    } else if (ctrl) {
        int at = IndexOf(date);
        if (at >= 0) {
            m_Selection.erase(m_Selection.begin() + at);
        } else {
            m_Selection.push_back(date);
            m_Anchor = date;
        }
    } else {
        m_Selection.clear();
        m_Selection.push_back(date);
        m_Anchor = date;
    }
    if (m_hWnd)
        Invalidate(TRUE);
}

const CDateReading& CMonthCalendar::DateReading()
{
    if (!m_bNamesLoaded) {
        m_Reading = ReadLocaleDates(m_Locale);
        m_bNamesLoaded = true;
    }
    return m_Reading;
}

LRESULT CMonthCalendar::SelectTypedDate(const char* text)
{
    DWORD style = GetStyle();
    if ((style & LBS_NOSEL) || !text || !*text)
        return LB_ERR;
    CCalendarDate date;
    if (!date.Parse(text, DateReading()))
        return LB_ERR;
    if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        int at = IndexOf(date);
        if (at >= 0)
            return at;
    } else {
        m_Selection.clear();
    }
    m_Selection.push_back(date);
    if (date.GetYear() != m_Shown.GetYear() || date.GetMonth() != m_Shown.GetMonth())
        ShowMonth(date);
    Invalidate(TRUE);
    return static_cast<LRESULT>(m_Selection.size()) - 1;
}

LRESULT CMonthCalendar::ListMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    int count = static_cast<int>(m_Selection.size());
    int index = static_cast<int>(wParam);
    DWORD style = GetStyle();
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
        return LB_ERR;
    case LB_SELECTSTRING:
        return SelectTypedDate(reinterpret_cast<const char*>(lParam));
    case LB_RESETCONTENT:
        m_Selection.clear();
        Invalidate(TRUE);
        return 0;
    case LB_GETCOUNT:
        return count;
    case LB_GETTEXT:
    case LB_GETTEXTLEN: {
        if (index < 0 || index >= count || (message == LB_GETTEXT && !lParam))
            return LB_ERR;
        CString text = FormatCalendarDate(m_Selection[static_cast<size_t>(index)], m_Locale, nullptr, DATE_LONGDATE);
        if (message == LB_GETTEXT)
            std::memcpy(reinterpret_cast<char*>(lParam), (LPCTSTR)text, static_cast<size_t>(text.GetLength()) + 1);
        return text.GetLength();
    }
    case LB_GETSEL:
        return index >= 0 && index < count ? TRUE : FALSE;
    case LB_GETCURSEL:
    case LB_GETCARETINDEX:
        return count ? count - 1 : LB_ERR;
    case LB_GETANCHORINDEX:
        if (m_Anchor.IsEmpty())
            return LB_ERR;
        for (int i = count - 1; i >= 0; --i)
            if (m_Selection[static_cast<size_t>(i)] == m_Anchor)
                return i;
        return LB_ERR;
    case LB_GETSELCOUNT:
        return style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL) ? count : LB_ERR;
    case LB_GETSELITEMS: {
        int n = std::min(index, count);
        if (index <= 0 || !lParam)
            return LB_ERR;
        int* items = reinterpret_cast<int*>(lParam);
        for (int i = 0; i < n; ++i)
            items[i] = i;
        return n;
    }
    case LB_SETLOCALE: {
        char name[16];
        if (!::GetLocaleInfoA(static_cast<LCID>(wParam), LOCALE_SABBREVLANGNAME, name, sizeof name))
            return 0;
        m_Locale = static_cast<LCID>(wParam);
        m_bNamesLoaded = false;
        RepaintTitle();
        return 1;
    }
    case LB_GETLOCALE:
        return static_cast<LRESULT>(m_Locale);
    default:
        handled = false;
        return 0;
    }
}

BEGIN_MESSAGE_MAP(CMonthCalendar, CListBox)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

HBRUSH CMonthCalendar::CtlColor(CDC* pDC, UINT)
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    if (font && pDC)
        ::SelectObject(pDC->GetSafeHdc(), font);
    return static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH));
}

LRESULT CMonthCalendar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool handled = false;
    LRESULT result = ListMessage(message, wParam, lParam, handled);
    if (handled)
        return result;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        CRect rc;
        GetClientRect(&rc);
        ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_WINDOW));
        CDC wrap;
        wrap.Attach(dc);
        DrawGrid(&wrap, rc.Width(), rc.Height());
        wrap.Detach();
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_NCCALCSIZE: {
        LRESULT r = CListBox::WindowProc(message, wParam, lParam);
        RECT* rc = reinterpret_cast<RECT*>(lParam);
        int cut = 3 * ::GetSystemMetrics(SM_CYBORDER) + TitleHeight() - 2 * EdgeHeight(GetExStyle());
        rc->top = std::min(rc->top + std::max(cut, 0), rc->bottom);
        return r;
    }
    case WM_NCPAINT: {
        LRESULT r = CListBox::WindowProc(message, wParam, lParam);
        CWindowDC dc(this);
        CRect window;
        GetWindowRect(&window);
        int edge = EdgeHeight(GetExStyle());
        int bx = ::GetSystemMetrics(SM_CXBORDER), by = ::GetSystemMetrics(SM_CYBORDER);
        CRect band(edge + bx, edge + by, window.Width() - edge - bx, edge + by + TitleHeight() + 4 * by);
        DrawTitle(&dc, band);
        return r;
    }
    case WM_NCHITTEST: {
        CPoint p(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        LRESULT hit = HitTest(p);
        if (hit != HTNOWHERE)
            return hit;
        CRect client;
        GetClientRect(&client);
        ClientToScreen(&client);
        if (client.PtInRect(p))
            return HTCLIENT;
        return CListBox::WindowProc(message, wParam, lParam);
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTMINBUTTON || wParam == HTMAXBUTTON) {
            StepMonth(wParam == HTMINBUTTON ? -1 : 1);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE: {
        CRect rc;
        GetClientRect(&rc);
        MonthGrid grid(rc.Width(), rc.Height());
        int column = 0, row = 0;
        int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        bool inGrid = grid.CellAt(x, y, column, row);
        if (message == WM_MOUSEMOVE) {
            int cell = inGrid ? column + 7 * row : -1;
            if (cell != m_nHoverCell) {
                if (m_nHoverCell >= 0) {
                    RECT old = {grid.cellWidth * (m_nHoverCell % 7), grid.cellHeight * (m_nHoverCell / 7) + 2,
                                grid.cellWidth * (m_nHoverCell % 7 + 1) + 1,
                                grid.cellHeight * (m_nHoverCell / 7 + 1) + 3};
                    ::InvalidateRect(m_hWnd, &old, TRUE);
                    ::UpdateWindow(m_hWnd);
                }
                m_nHoverCell = cell;
                if (cell >= 0) {
                    HDC dc = ::GetDC(m_hWnd);
                    HPEN red = ::CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
                    HGDIOBJ oldPen = ::SelectObject(dc, red);
                    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
                    ::Rectangle(dc, grid.cellWidth * column, grid.cellHeight * row + 2,
                                grid.cellWidth * (column + 1), grid.cellHeight * (row + 1) + 2);
                    ::SelectObject(dc, oldBrush);
                    ::SelectObject(dc, oldPen);
                    ::DeleteObject(red);
                    ::ReleaseDC(m_hWnd, dc);
                }
            }
            if (inGrid && (wParam & MK_LBUTTON))
                ClickCell(column, row, static_cast<UINT>(wParam) | MK_SHIFT);
            return 0;
        }
        if (inGrid)
            ClickCell(column, row, static_cast<UINT>(wParam));
        return 0;
    }
    case WM_KEYDOWN:
    case WM_CHAR:
        return 0;
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}
