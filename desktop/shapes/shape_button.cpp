#include "shape_button.h"

#include <algorithm>
#include <cstring>

BEGIN_MESSAGE_MAP(CShapeButton, CWnd)
    ON_WM_PAINT()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(WM_GETFONT, OnGetFont)
END_MESSAGE_MAP()

namespace {

// One time for all shape buttons: a press is taken at most once a second.
time_t g_lastPress = 0;
constexpr UINT_PTR kSpaceTimer = 1000;

COLORREF Or(COLORREF value, COLORREF fallback) { return value == CShapeButton::kNoColor ? fallback : value; }

// Registered as the program starts: a dialog template may name the class
// before any button has been made in code.
[[maybe_unused]] const BOOL g_bClassRegistered = CShapeButton::RegisterWindowClass();

}  // namespace

BOOL CShapeButton::RegisterWindowClass()
{
    WNDCLASSA wc = {};
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (::GetClassInfoA(instance, ClassName(), &wc))
        return TRUE;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    wc.lpfnWndProc = BootstrapProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = ClassName();
    return ::RegisterClassA(&wc) != 0;
}

// A window of the class made without an object (a dialog template's control)
// gets one here, which it deletes when the window goes.
LRESULT CALLBACK CShapeButton::BootstrapProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        if (CWnd::FromHandlePermanent(hWnd))
            return TRUE;
        auto* button = new CShapeButton;
        button->m_bAutoDelete = true;
        if (!button->SubclassWindow(hWnd)) {
            delete button;
            return FALSE;
        }
        // The creation text, which the button keeps itself.
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
            button->m_text = cs->lpszName;
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

CShapeButton::CShapeButton()
    : m_crText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_crBackground(::GetSysColor(COLOR_WINDOW)),
      m_crPressedText(m_crText),
      m_crPressedBackground(::GetSysColor(COLOR_WINDOW))
{
    for (CRect& r : m_textRects)
        r.SetRect(-1, -1, -1, -1);
    for (CPoint& p : m_iconPos)
        p = CPoint(-1, -1);
}

CShapeButton::~CShapeButton()
{
    for (HICON icon : m_icons)
        if (icon)
            ::DestroyIcon(icon);
}

void CShapeButton::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CShapeButton::Create(LPCTSTR lpszCaption, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    RegisterWindowClass();
    return CWnd::CreateEx(0, ClassName(), lpszCaption, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, pParentWnd, nID);
}

void CShapeButton::SetColors(COLORREF text, COLORREF background, COLORREF pressedText, COLORREF pressedBackground)
{
    SetColors(text, kNoColor, background, pressedText, kNoColor, pressedBackground);
}

void CShapeButton::SetColors(COLORREF text, COLORREF shadow, COLORREF background, COLORREF pressedText,
                             COLORREF pressedShadow, COLORREF pressedBackground)
{
    m_crText = Or(text, ::GetSysColor(COLOR_BTNTEXT));
    m_crShadow = shadow;
    m_crBackground = Or(background, ::GetSysColor(COLOR_BTNFACE));
    m_crPressedText = Or(pressedText, m_crText);
    m_crPressedShadow = pressedShadow;
    m_crPressedBackground = Or(pressedBackground, m_crBackground);
}

void CShapeButton::SetDrawText(BOOL bDraw)
{
    m_bDrawText = bDraw;
    if (m_textRects[0].left == -1 && m_hWnd) {
        CRect client;
        GetClientRect(&client);
        m_textRects[0] = m_textRects[2] = client;
        m_textRects[1].SetRect(client.left + 1, client.top + 1, client.right + 1, client.bottom + 1);
    }
}

void CShapeButton::SetTextRects(const RECT& normal, const RECT& pressed, const RECT& focused)
{
    m_textRects[0] = normal;
    m_textRects[1] = pressed;
    m_textRects[2] = focused;
}

BOOL CShapeButton::LoadImages(LPCTSTR normal, LPCTSTR focused, LPCTSTR pressed, LPCTSTR disabled, BOOL bResize)
{
    const LPCTSTR names[4] = {normal, focused, pressed, disabled};
    m_bImages = 0;
    for (int i = 0; i < 4; ++i)
        if (!m_images[i].LoadFromFileOrResource(names[i]))
            return FALSE;
    m_bImages = 1;
    if (bResize && m_hWnd) {
        const CSize size = m_images[0].PixelSize();
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    }
    return TRUE;
}

BOOL CShapeButton::LoadIcons(UINT normal, UINT focused, UINT pressed, UINT disabled, int cx, int cy)
{
    const UINT ids[4] = {normal, focused, pressed, disabled};
    for (int i = 0; i < 4; ++i) {
        if (m_icons[i])
            ::DestroyIcon(m_icons[i]);
        m_icons[i] = static_cast<HICON>(
            ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCE(ids[i]), IMAGE_ICON, cx, cy, 0));
    }
    m_bIcons = 1;
    m_iconSize = CSize(cx, cy);
    CRect client(0, 0, 0, 0);
    if (m_hWnd)
        GetClientRect(&client);
    const int x = client.left + (client.Width() - cx) / 2, y = client.top + (client.Height() - cy) / 2;
    m_iconPos[0] = m_iconPos[2] = CPoint(x, y);
    m_iconPos[1] = CPoint(x + 1, y + 1);
    return TRUE;
}

void CShapeButton::SetIconPositions(CPoint normal, CPoint pressed, CPoint focused)
{
    m_iconPos[0] = normal;
    m_iconPos[1] = pressed;
    m_iconPos[2] = focused;
}

int CShapeButton::VisualState() const
{
    if (m_bPressed)
        return m_bDisabled ? 3 : 1;
    if (m_bDisabled)
        return 3;
    if (m_bHover)
        return 1;
    return m_bFocused ? 2 : 0;
}

void CShapeButton::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const int state = VisualState();
    if (m_bImages) {
        static const int kImageOf[4] = {0, 2, 1, 3};  // state -> normal, focused, pressed, disabled
        const CSize size = m_images[0].PixelSize();
        m_images[kImageOf[state]].DrawTo(&dc, client, CRect(0, 0, size.cx, size.cy));
    } else {
        dc.FillSolidRect(&client, state == 1 ? m_crPressedBackground : m_crBackground);
        if (m_bFocused) {
            CRect focus(client.left + 6, client.top + 6, client.right - 6, client.bottom - 6);
            dc.DrawFocusRect(&focus);
        }
    }
    const int slot = state == 1 ? 1 : state == 2 ? 2 : 0;
    if (m_bIcons && m_icons[state])
        ::DrawIconEx(dc.GetSafeHdc(), m_iconPos[slot].x, m_iconPos[slot].y, m_icons[state], m_iconSize.cx,
                     m_iconSize.cy, 0, nullptr, DI_NORMAL);
    if (m_bDrawText || !m_bImages) {
        CRect r = m_textRects[slot].left == -1 ? client : m_textRects[slot];
        const CString text = m_text.Left(500);
        const int oldMode = dc.SetBkMode(TRANSPARENT);
        const COLORREF oldColor = dc.GetTextColor();
        const COLORREF shadow = state == 1 ? m_crPressedShadow : m_crShadow;
        const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        HFONT font = reinterpret_cast<HFONT>(OnGetFont(0, 0));
        HGDIOBJ oldFont = font ? ::SelectObject(dc.GetSafeHdc(), font) : nullptr;
        if (shadow != kNoColor) {
            CRect s(r.left + 1, r.top + 1, r.right + 1, r.bottom + 1);
            dc.SetTextColor(shadow);
            dc.DrawText(text, &s, format);
        }
        dc.SetTextColor(m_bDisabled ? RGB(128, 128, 128) : (m_bPressed || m_bHover) ? m_crPressedText : m_crText);
        dc.DrawText(text, &r, format);
        if (oldFont)
            ::SelectObject(dc.GetSafeHdc(), oldFont);
        dc.SetTextColor(oldColor);
        dc.SetBkMode(oldMode);
    }
}

LRESULT CShapeButton::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    m_hFont = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(lParam))
        Invalidate();
    return 0;
}

LRESULT CShapeButton::OnGetFont(WPARAM, LPARAM)
{
    if (m_hFont)
        return reinterpret_cast<LRESULT>(m_hFont);
    HWND parent = ::GetParent(m_hWnd);
    return parent ? ::SendMessageA(parent, WM_GETFONT, 0, 0) : 0;
}

LRESULT CShapeButton::OnSetText(WPARAM, LPARAM lParam)
{
    m_text = reinterpret_cast<LPCTSTR>(lParam) ? reinterpret_cast<LPCTSTR>(lParam) : "";
    Invalidate();
    return 0;
}

// Copies at most size - 1 characters and the terminating zero; a buffer of
// no size gets nothing.
LRESULT CShapeButton::OnGetText(WPARAM wParam, LPARAM lParam)
{
    auto* buffer = reinterpret_cast<LPTSTR>(lParam);
    if (wParam == 0 || !buffer)
        return 0;
    const size_t n = std::min<size_t>(static_cast<size_t>(m_text.GetLength()), wParam - 1);
    std::memcpy(buffer, static_cast<LPCTSTR>(m_text), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

int CShapeButton::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (lpCreateStruct->lpszName && !IS_INTRESOURCE(lpCreateStruct->lpszName))
        m_text = lpCreateStruct->lpszName;
    return 0;
}

void CShapeButton::OnLButtonDown(UINT, CPoint)
{
    SetFocus();
    const time_t now = CTime::GetCurrentTime().GetTime();
    if (now < g_lastPress + 1)
        return;
    g_lastPress = now;
    SetCapture();
    m_bPressed = 1;
    Invalidate();
}

void CShapeButton::OnLButtonUp(UINT, CPoint point)
{
    ::ReleaseCapture();
    CRect client;
    GetClientRect(&client);
    // Sent whether or not the press was taken.
    if (client.PtInRect(point) && !m_bDisabled) {
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                                reinterpret_cast<LPARAM>(m_hWnd));
    }
    if (m_hWnd) {
        m_bPressed = 0;
        Invalidate();
    }
}

void CShapeButton::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    m_bFocused = 1;
    Invalidate();
}

void CShapeButton::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    m_bFocused = 0;
    Invalidate();
}

void CShapeButton::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar != VK_SPACE)
        return;
    OnLButtonDown(0, CPoint(0, 0));
    CWnd::SetTimer(kSpaceTimer, 50);
}

void CShapeButton::OnTimer(UINT_PTR)
{
    KillTimer(kSpaceTimer);
    OnLButtonUp(0, CPoint(0, 0));
}

BOOL CShapeButton::OnEraseBkgnd(CDC*) { return TRUE; }
