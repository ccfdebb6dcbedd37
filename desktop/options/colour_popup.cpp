// The palette popup: a grid of named colours under its picker, driven by the
// mouse and the keyboard; it reports its selection to the picker and deletes
// itself when its window goes.
#include <algorithm>

#include "colour_picker.h"

#include <commdlg.h>

using namespace colourgrid;

BEGIN_MESSAGE_MAP(CColourPopup, CWnd)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_WM_KILLFOCUS()
    ON_WM_ACTIVATEAPP()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CColourPopup::CColourPopup(CPoint pt, COLORREF colour, CColourPicker* pParent, LPCTSTR szDefaultText,
                           LPCTSTR szCustomText)
    : m_crColour(colour), m_crInitialColour(colour), m_pParent(pParent)
{
    m_strDefaultText = szDefaultText ? szDefaultText : "";
    m_strCustomText = szCustomText ? szCustomText : "";
    m_nMargin = ::GetSystemMetrics(SM_CXEDGE);
    if (m_nBoxSize - 2 * m_nMargin - 2 < 5)
        m_nBoxSize = 2 * m_nMargin + 7;

    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        m_Font.CreateFontIndirect(&ncm.lfMessageFont);
    CreatePalette();

    LPCTSTR cls = AfxRegisterWndClass(CS_SAVEBITS, ::LoadCursor(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr);
    if (!CreateEx(0, cls, "", WS_VISIBLE | WS_POPUP, pt.x, pt.y, 100, 100, pParent->GetSafeHwnd(), nullptr))
        return;
    SetWindowSize(pt);
    CreateToolTips();
    m_nChosenColourSel = ChosenCell(colour, {!m_strDefaultText.IsEmpty(), !m_strCustomText.IsEmpty()});
    ::SetCapture(m_hWnd);
}

CColourPopup::~CColourPopup()
{
    if (m_pParent && m_pParent->m_pPopup == this)
        m_pParent->m_pPopup = nullptr;
}

void CColourPopup::PostNcDestroy() { delete this; }

void CColourPopup::SetWindowSize(CPoint pt)
{
    CSize text(0, 0);
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, m_Font.GetSafeHandle() ? m_Font.GetSafeHandle() : ::GetStockObject(DEFAULT_GUI_FONT));
    for (const CString* s : {&m_strDefaultText, &m_strCustomText}) {
        SIZE ext = {};
        if (!s->IsEmpty() && ::GetTextExtentPoint32A(dc, *s, s->GetLength(), &ext)) {
            text.cx = std::max(text.cx, ext.cx);
            text.cy = std::max(text.cy, ext.cy);
        }
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    text.cx += 2 * m_nMargin;
    text.cy += 2 * m_nMargin + 2;

    m_WindowRect.SetRect(pt.x, pt.y, pt.x + kColumns * m_nBoxSize + 2 * m_nMargin,
                         pt.y + kRows * m_nBoxSize + 2 * m_nMargin);
    if (!m_strDefaultText.IsEmpty()) {
        if (text.cx > m_WindowRect.Width())
            m_WindowRect.right = m_WindowRect.left + text.cx;
        m_DefaultTextRect.SetRect(m_nMargin, m_nMargin, m_WindowRect.Width() - m_nMargin, m_nMargin + text.cy);
        m_WindowRect.bottom += m_DefaultTextRect.Height() + 2 * m_nMargin;
    }
    if (!m_strCustomText.IsEmpty()) {
        if (text.cx > m_WindowRect.Width())
            m_WindowRect.right = m_WindowRect.left + text.cx;
        m_CustomTextRect.SetRect(m_nMargin, m_WindowRect.Height(), m_WindowRect.Width() - m_nMargin,
                                 m_WindowRect.Height() + text.cy);
        m_WindowRect.bottom += m_CustomTextRect.Height() + 2 * m_nMargin;
    }
    // Keep the popup on the screen; below the bottom edge it goes above its picker.
    const CSize screen(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    if (m_WindowRect.right > screen.cx)
        m_WindowRect.OffsetRect(screen.cx - m_WindowRect.right, 0);
    if (m_WindowRect.left < 0)
        m_WindowRect.OffsetRect(-m_WindowRect.left, 0);
    if (m_WindowRect.bottom > screen.cy) {
        CRect picker;
        m_pParent->GetWindowRect(&picker);
        m_WindowRect.OffsetRect(0, -(picker.Height() + m_WindowRect.Height()));
    }
    MoveWindow(&m_WindowRect, TRUE);
}

void CColourPopup::CreatePalette()
{
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[kColours - 1];
    } table = {};
    table.head.palVersion = 0x300;
    table.head.palNumEntries = kColours;
    PALETTEENTRY* entries = table.head.palPalEntry;
    for (int i = 0; i < kColours; ++i) {
        PALETTEENTRY& e = entries[i];
        e.peRed = GetRValue(kTable[i].colour);
        e.peGreen = GetGValue(kTable[i].colour);
        e.peBlue = GetBValue(kTable[i].colour);
    }
    m_Palette.CreatePalette(&table.head);
}

void CColourPopup::RealisePalette()
{
    if (m_Palette.GetSafeHandle()) {
        CClientDC dc(this);
        CPalette* old = dc.SelectPalette(&m_Palette, FALSE);
        dc.RealizePalette();
        dc.SelectPalette(old, FALSE);
    }
    Invalidate();
}

BOOL CColourPopup::OnQueryNewPalette()
{
    RealisePalette();
    return TRUE;
}

void CColourPopup::OnPaletteChanged(CWnd* pFocusWnd)
{
    // Our own realisation comes back here too: only another window's counts.
    if (pFocusWnd && pFocusWnd->m_hWnd == m_hWnd)
        return;
    RealisePalette();
}

BOOL CColourPopup::PreTranslateMessage(MSG* pMsg)
{
    if (m_ToolTip.m_hWnd && pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST)
        m_ToolTip.RelayEvent(pMsg);
    return CWnd::PreTranslateMessage(pMsg);
}

void CColourPopup::CreateToolTips()
{
    if (!m_ToolTip.Create(this))
        return;
    for (int i = 0; i < kColours; ++i) {
        CRect cell;
        if (GetCellRect(i, &cell))
            m_ToolTip.AddTool(this, kTable[i].name, &cell, static_cast<UINT_PTR>(i + 1));
    }
}

BOOL CColourPopup::GetCellRect(int index, RECT* rect) const
{
    if (index == kCustomBox && !m_strCustomText.IsEmpty()) {
        *rect = m_CustomTextRect;
        return TRUE;
    }
    if (index == kDefaultBox && !m_strDefaultText.IsEmpty()) {
        *rect = m_DefaultTextRect;
        return TRUE;
    }
    if (index < 0 || index >= kColours)
        return FALSE;
    const int top = m_strDefaultText.IsEmpty() ? 0 : m_DefaultTextRect.Height() + m_nMargin;
    rect->left = (index % kColumns) * m_nBoxSize + m_nMargin;
    rect->top = (index / kColumns) * m_nBoxSize + m_nMargin + top;
    rect->right = rect->left + m_nBoxSize;
    rect->bottom = rect->top + m_nBoxSize;
    return TRUE;
}

int CColourPopup::HitTest(CPoint point) const
{
    if (!m_strCustomText.IsEmpty() && m_CustomTextRect.PtInRect(point))
        return kCustomBox;
    if (!m_strDefaultText.IsEmpty() && m_DefaultTextRect.PtInRect(point))
        return kDefaultBox;
    const int top = m_strDefaultText.IsEmpty() ? 0 : m_DefaultTextRect.Height() + m_nMargin;
    const int x = point.x - m_nMargin, y = point.y - m_nMargin - top;
    if (x < 0 || y < 0)
        return kNone;
    const int row = y / m_nBoxSize, col = x / m_nBoxSize;
    if (row >= kRows || col >= kColumns || row * kColumns + col >= kColours)
        return kNone;
    return row * kColumns + col;
}

void CColourPopup::OnMouseMove(UINT nFlags, CPoint point)
{
    const int cell = HitTest(point);
    if (cell != kNone && cell != m_nCurrentSel)
        ChangeSelection(cell);
    CWnd::OnMouseMove(nFlags, point);
}

void CColourPopup::OnLButtonUp(UINT, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    EndSelection(client.PtInRect(point) ? CPN_SELENDOK : CPN_SELENDCANCEL);
}

void CColourPopup::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const Boxes boxes{!m_strDefaultText.IsEmpty(), !m_strCustomText.IsEmpty()};
    switch (nChar) {
    case VK_DOWN: ChangeSelection(Move(m_nCurrentSel, Key::Down, boxes)); return;
    case VK_UP: ChangeSelection(Move(m_nCurrentSel, Key::Up, boxes)); return;
    case VK_RIGHT: ChangeSelection(Move(m_nCurrentSel, Key::Right, boxes)); return;
    case VK_LEFT: ChangeSelection(Move(m_nCurrentSel, Key::Left, boxes)); return;
    case VK_ESCAPE:
        m_crColour = m_crInitialColour;
        EndSelection(CPN_SELENDCANCEL);
        return;
    case VK_RETURN:
    case VK_SPACE: EndSelection(CPN_SELENDOK); return;
    default: CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    }
}

void CColourPopup::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    ::ReleaseCapture();
}

void CColourPopup::OnActivateApp(BOOL bActive, DWORD dwThreadID)
{
    CWnd::OnActivateApp(bActive, dwThreadID);
    if (!bActive)
        EndSelection(CPN_SELENDCANCEL);
}

void CColourPopup::ChangeSelection(int index)
{
    CClientDC dc(this);
    const int old = m_nCurrentSel;
    m_nCurrentSel = index;
    if (old != kNone)
        DrawCell(&dc, old);
    DrawCell(&dc, m_nCurrentSel);
    if (index >= 0 && index < kColours)
        m_crColour = kTable[index].colour;
    else if (index == kDefaultBox)
        m_crColour = CLR_AUTOMATIC;
    const COLORREF told = index == kCustomBox ? m_crInitialColour : m_crColour;
    if (m_pParent && m_pParent->m_hWnd)
        m_pParent->SendMessage(CPN_SELCHANGE, told, 0);
}

void CColourPopup::EndSelection(UINT message)
{
    if (m_bEnded)
        return;
    m_bEnded = true;
    ::ReleaseCapture();
    if (message == CPN_SELENDOK && m_nCurrentSel == kCustomBox) {
        static COLORREF custom[16] = {};
        CHOOSECOLORA cc = {};
        cc.lStructSize = sizeof cc;
        cc.hwndOwner = m_pParent ? m_pParent->GetSafeHwnd() : nullptr;
        cc.rgbResult = m_crInitialColour == CLR_AUTOMATIC ? 0 : m_crInitialColour;
        cc.lpCustColors = custom;
        cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
        if (::ChooseColorA(&cc))
            m_crColour = cc.rgbResult;
        else
            message = CPN_SELENDCANCEL;
    }
    if (message == CPN_SELENDCANCEL)
        m_crColour = m_crInitialColour;
    if (m_pParent && m_pParent->m_hWnd)
        m_pParent->SendMessage(message, m_crColour, 0);
    DestroyWindow();
}

void CColourPopup::DrawCell(CDC* pDC, int index)
{
    CRect rect;
    if (!GetCellRect(index, &rect))
        return;
    const bool chosen = index == m_nChosenColourSel && index != m_nCurrentSel;
    pDC->FillSolidRect(&rect, ::GetSysColor(chosen ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    if (index == m_nCurrentSel)
        pDC->DrawEdge(&rect, BDR_RAISEDINNER, BF_RECT);
    else if (index == m_nChosenColourSel)
        pDC->DrawEdge(&rect, BDR_SUNKENOUTER, BF_RECT);
    if (index == kDefaultBox || index == kCustomBox) {
        HGDIOBJ old = pDC->SelectObject(m_Font.GetSafeHandle() ? m_Font.GetSafeHandle()
                                                               : ::GetStockObject(DEFAULT_GUI_FONT));
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
        pDC->DrawText(index == kDefaultBox ? m_strDefaultText : m_strCustomText, &rect,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        pDC->SelectObject(old);
        return;
    }
    rect.DeflateRect(m_nMargin + 1, m_nMargin + 1);
    HBRUSH brush = ::CreateSolidBrush(kTable[index].colour);
    HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW));
    HGDIOBJ oldBrush = ::SelectObject(pDC->m_hDC, brush);
    HGDIOBJ oldPen = ::SelectObject(pDC->m_hDC, pen);
    ::Rectangle(pDC->m_hDC, rect.left, rect.top, rect.right, rect.bottom);
    ::SelectObject(pDC->m_hDC, oldBrush);
    ::SelectObject(pDC->m_hDC, oldPen);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
}

void CColourPopup::OnPaint()
{
    CPaintDC dc(this);
    if (!m_strDefaultText.IsEmpty())
        DrawCell(&dc, kDefaultBox);
    for (int i = 0; i < kColours; ++i)
        DrawCell(&dc, i);
    if (!m_strCustomText.IsEmpty())
        DrawCell(&dc, kCustomBox);
    CRect client;
    GetClientRect(&client);
    dc.DrawEdge(&client, EDGE_RAISED, BF_RECT);
}
