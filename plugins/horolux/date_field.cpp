#include "date_field.h"

#include "locale_dates.h"

#include <algorithm>

namespace {

// Posted by a field whose text was refused, to take the focus back once the
// focus change that it refused has finished.
const UINT kReclaimFocus = WM_APP + 0x0D7;

const UINT kEditId = 1;

// The box of the field now taking its focus back: another field losing the
// focus to it lets it go, so two fields with bad texts cannot pass the focus
// back and forth for ever.
HWND g_ReclaimingEdit = nullptr;

// The field whose calendar is open, and the thread's mouse hook that closes
// it on a click anywhere else, as a combo box's list closes.
CDateField* g_DroppedField = nullptr;
HHOOK g_MouseHook = nullptr;

bool IsButtonDown(WPARAM message)
{
    switch (message) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK CloseOnClickElsewhere(int code, WPARAM message, LPARAM lParam)
{
    if (code == HC_ACTION && g_DroppedField && IsButtonDown(message)) {
        HWND target = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->hwnd;
        // The calendar takes its own clicks; the field's button toggles it.
        if (target != g_DroppedField->GetCalendar().m_hWnd && target != g_DroppedField->m_hWnd)
            g_DroppedField->ShowDropDown(false);
    }
    return ::CallNextHookEx(g_MouseHook, code, message, lParam);
}

bool Blank(const CString& text)
{
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] != ' ' && text[i] != '\t')
            return false;
    return true;
}

} // namespace

LRESULT CDateFieldEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        if (m_pField && m_pField->IsDroppedDown() &&
            (wParam == VK_PRIOR || wParam == VK_NEXT || wParam == VK_ESCAPE)) {
            m_pField->OnCalendarKey(static_cast<UINT>(wParam));
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        // Escape closes the calendar rather than the dialog.
        if (m_pField && m_pField->IsDroppedDown())
            return CEdit::WindowProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
        break;
    case WM_KILLFOCUS: {
        LRESULT result = CEdit::WindowProc(message, wParam, lParam);
        if (m_pField)
            m_pField->OnEditKillFocus(reinterpret_cast<HWND>(wParam));
        return result;
    }
    default:
        break;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

LRESULT CDateFieldCalendar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_KEYDOWN:
        if (m_pField && (wParam == VK_PRIOR || wParam == VK_NEXT || wParam == VK_ESCAPE)) {
            m_pField->OnCalendarKey(static_cast<UINT>(wParam));
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        CRect client;
        GetClientRect(&client);
        MonthGrid grid(client.Width(), client.Height());
        int column = 0, row = 0;
        bool onDay = grid.CellAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), column, row);
        LRESULT result = CMonthCalendar::WindowProc(message, wParam, lParam);
        // The field may close this window: nothing of it is touched after.
        if (onDay && m_pField && !m_Selection.empty())
            m_pField->OnDayPicked(m_Selection.back());
        return result;
    }
    default:
        break;
    }
    return CMonthCalendar::WindowProc(message, wParam, lParam);
}

CDateField::CDateField() : m_Locale(::GetThreadLocale())
{
    m_Edit.m_pField = this;
    m_Calendar.m_pField = this;
    m_Calendar.m_Locale = m_Locale;
}

CDateField::~CDateField()
{
    ForgetDropped();
    if (m_Calendar.m_hWnd)
        m_Calendar.DestroyWindow();
    if (g_ReclaimingEdit && g_ReclaimingEdit == m_Edit.m_hWnd)
        g_ReclaimingEdit = nullptr;
}

BOOL CDateField::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CreateEx(WS_EX_CLIENTEDGE, nullptr, nullptr, style | WS_CHILD | WS_CLIPCHILDREN, rect, parent, id))
        return FALSE;
    CRect client;
    GetClientRect(&client);
    if (!m_Edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, client, this, kEditId)) {
        DestroyWindow();
        return FALSE;
    }
    HFONT font = parent ? reinterpret_cast<HFONT>(parent->SendMessage(WM_GETFONT)) : nullptr;
    m_Edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : ::GetStockObject(DEFAULT_GUI_FONT)));
    Layout();
    return TRUE;
}

CRect CDateField::ButtonRect() const
{
    CRect client;
    GetClientRect(&client);
    int width = std::min(::GetSystemMetrics(SM_CXVSCROLL), client.Width());
    return CRect(client.right - width, client.top, client.right, client.bottom);
}

void CDateField::Layout()
{
    if (!m_Edit.m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    CRect button = ButtonRect();
    m_Edit.MoveWindow(client.left, client.top, std::max<int>(0, button.left - client.left), client.Height());
}

void CDateField::DrawButton(HDC dc, const RECT& rect, bool pressed)
{
    RECT r = rect;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    // A small arrow pointing down, pushed with the button.
    int shift = pressed ? 1 : 0;
    int cx = (r.left + r.right) / 2 + shift, cy = (r.top + r.bottom) / 2 + shift;
    POINT arrow[3] = {{cx - 3, cy - 1}, {cx + 3, cy - 1}, {cx, cy + 2}};
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetSysColorBrush(COLOR_BTNTEXT));
    HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
    ::Polygon(dc, arrow, 3);
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
}

void CDateField::SetDate(const CCalendarDate& date)
{
    m_Date = date;
    ShowText(date);
}

void CDateField::SetRange(const CCalendarDate& earliest, const CCalendarDate& latest)
{
    m_Earliest = earliest;
    m_Latest = latest;
}

bool CDateField::InRange(const CCalendarDate& date) const
{
    if (!m_Earliest.IsEmpty() && date < m_Earliest)
        return false;
    if (!m_Latest.IsEmpty() && date > m_Latest)
        return false;
    return true;
}

void CDateField::ShowText(const CCalendarDate& date)
{
    if (!m_Edit.m_hWnd)
        return;
    CString text;
    if (!date.IsEmpty())
        text = BestFitText(date, m_Locale, m_Edit.m_hWnd, nullptr, nullptr);
    m_Edit.SetWindowText(text);
    m_Edit.SetSel(0, -1);
    m_Edit.SendMessage(EM_SCROLLCARET);
}

bool CDateField::ReadText()
{
    CString text;
    m_Edit.GetWindowText(text);
    if (Blank(text)) {
        m_Date = CCalendarDate();
        return true;
    }
    CCalendarDate date;
    if (!date.Parse(text, m_Calendar.DateReading()) || !InRange(date)) {
        Beep();
        m_Edit.SetSel(0, -1);
        return false;
    }
    m_Date = date;
    return true;
}

void CDateField::Beep()
{
    ::MessageBeep(MB_ICONEXCLAMATION);
}

void CDateField::Notify(UINT code)
{
    HWND parent = ::GetParent(m_hWnd);
    if (parent)
        ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code), reinterpret_cast<LPARAM>(m_hWnd));
}

void CDateField::ShowDropDown(bool show)
{
    if (!m_hWnd || show == IsDroppedDown()) {
        if (!show)
            ForgetDropped();  // the calendar went with its owner
        return;
    }
    if (!show) {
        ForgetDropped();
        m_Calendar.DestroyWindow();
        Notify(CBN_CLOSEUP);
        return;
    }
    if (g_DroppedField)
        g_DroppedField->ShowDropDown(false);
    Notify(CBN_DROPDOWN);
    if (!m_hWnd)
        return;  // the parent closed the field

    // The month of the field's date, or of today, with the date selected.
    CCalendarDate month = m_Date.IsEmpty() ? CCalendarDate::Today() : m_Date;
    m_Calendar.m_Shown = CCalendarDate(month.GetYear(), month.GetMonth(), 1);
    m_Calendar.m_Selection.clear();
    m_Calendar.m_Anchor = CCalendarDate();
    if (!m_Date.IsEmpty())
        m_Calendar.m_Selection.push_back(m_Date);

    // Cells wide enough for two digits in the calendar's font.
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ oldFont = ::SelectObject(screen, m_Calendar.m_Font);
    SIZE digits = {};
    ::GetTextExtentPoint32A(screen, "30", 2, &digits);
    ::SelectObject(screen, oldFont);
    ::ReleaseDC(nullptr, screen);
    int border = ::GetSystemMetrics(SM_CXBORDER), borderY = ::GetSystemMetrics(SM_CYBORDER);
    CRect field;
    GetWindowRect(&field);
    int width = std::max<int>(field.Width(), 7 * (digits.cx + 10) + 2 * border);
    int height = 7 * (digits.cy + 4) + 1 + 5 * borderY + m_Calendar.TitleHeight();

    // Below the field, or above it where the screen ends.
    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int x = std::max<int>(work.left, std::min<int>(field.left, work.right - width));
    int y = field.bottom;
    if (y + height > work.bottom && field.top - height >= work.top)
        y = field.top - height;

    HWND owner = ::GetAncestor(m_hWnd, GA_ROOT);
    if (!m_Calendar.CreateEx(WS_EX_TOOLWINDOW, "LISTBOX", nullptr, WS_POPUP | WS_BORDER | LBS_NOINTEGRALHEIGHT, x, y,
                             width, height, owner, nullptr)) {
        Notify(CBN_CLOSEUP);
        return;
    }
    ::SetWindowPos(m_Calendar.m_hWnd, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    g_DroppedField = this;
    g_MouseHook = ::SetWindowsHookExA(WH_MOUSE, CloseOnClickElsewhere, nullptr, ::GetCurrentThreadId());
}

void CDateField::ForgetDropped()
{
    if (g_DroppedField != this)
        return;
    g_DroppedField = nullptr;
    if (g_MouseHook)
        ::UnhookWindowsHookEx(g_MouseHook);
    g_MouseHook = nullptr;
}

void CDateField::OnCalendarKey(UINT key)
{
    if (!IsDroppedDown())
        return;
    if (key == VK_PRIOR || key == VK_NEXT)
        m_Calendar.StepShownMonth(key == VK_PRIOR ? -1 : 1);
    else if (key == VK_ESCAPE)
        ShowDropDown(false);
}

void CDateField::OnDayPicked(const CCalendarDate& date)
{
    if (!InRange(date)) {
        Beep();
        m_Calendar.m_Selection.clear();
        if (!m_Date.IsEmpty())
            m_Calendar.m_Selection.push_back(m_Date);
        m_Calendar.Invalidate(TRUE);
        return;
    }
    m_Date = date;
    ShowText(date);
    Notify(CBN_SELCHANGE);
    Notify(CBN_SELENDOK);
    ShowDropDown(false);
}

void CDateField::OnEditKillFocus(HWND newFocus)
{
    if (m_bClosing)
        return;
    if (IsDroppedDown() && newFocus != m_Calendar.m_hWnd)
        ShowDropDown(false);
    if (newFocus && newFocus == g_ReclaimingEdit)
        return;
    if (!ReadText()) {
        g_ReclaimingEdit = m_Edit.m_hWnd;
        PostMessage(kReclaimFocus);
    }
}

LRESULT CDateField::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        Layout();
        break;
    case WM_SETFONT:
        if (m_Edit.m_hWnd)
            m_Edit.SendMessage(WM_SETFONT, wParam, lParam);
        return 0;
    case WM_GETFONT:
        return m_Edit.m_hWnd ? m_Edit.SendMessage(WM_GETFONT) : 0;
    case WM_SETFOCUS:
        if (m_Edit.m_hWnd)
            m_Edit.SetFocus();
        return 0;
    case WM_CANCELMODE:
        ShowDropDown(false);
        break;
    case WM_ENABLE:
        if (m_Edit.m_hWnd)
            m_Edit.EnableWindow(static_cast<BOOL>(wParam));
        if (!wParam)
            ShowDropDown(false);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        DrawButton(dc, ButtonRect(), m_bPressed);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        CPoint p(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        if (!ButtonRect().PtInRect(p))
            return 0;
        if (::GetFocus() != m_Edit.m_hWnd)
            m_Edit.SetFocus();
        m_bPressed = true;
        SetCapture();
        CRect button = ButtonRect();
        InvalidateRect(&button, TRUE);
        UpdateWindow();
        ShowDropDown(!IsDroppedDown());
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (m_bPressed) {
            m_bPressed = false;
            if (message == WM_LBUTTONUP && ::GetCapture() == m_hWnd)
                ::ReleaseCapture();
            CRect button = ButtonRect();
            InvalidateRect(&button, TRUE);
        }
        return 0;
    case kReclaimFocus:
        if (g_ReclaimingEdit == m_Edit.m_hWnd) {
            // Only within this window: a user who went to another program is not pulled back.
            if (::GetActiveWindow() == ::GetAncestor(m_hWnd, GA_ROOT) && m_Edit.IsWindowEnabled()) {
                m_Edit.SetFocus();
                m_Edit.SetSel(0, -1);
            }
            g_ReclaimingEdit = nullptr;
        }
        return 0;
    case WM_DESTROY:
        m_bClosing = true;
        ForgetDropped();
        if (IsDroppedDown())
            m_Calendar.DestroyWindow();
        if (g_ReclaimingEdit == m_Edit.m_hWnd)
            g_ReclaimingEdit = nullptr;
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
