#include "places_buttons.h"

char g_szPlacesPath[MAX_PATH];
BOOL g_bPlacesNavigating = FALSE;

// ---- CPlacesButton ----

BEGIN_MESSAGE_MAP(CPlacesButton, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

BOOL CPlacesButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                           CImageList* pImageList, int nImage)
{
    m_strCaption = lpszCaption ? lpszCaption : "";
    m_nID = nID;
    m_pImageList = pImageList;
    m_nImage = nImage;
    // The bar's parent is the dialog that takes the command.
    m_pOwner = pParentWnd ? pParentWnd->GetParent() : nullptr;
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    return CWnd::Create(cls, m_strCaption, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void CPlacesButton::SetSelected(BOOL selected)
{
    if (m_bSelected == selected)
        return;
    m_bSelected = selected;
    if (m_hWnd)
        Invalidate(FALSE);
}

BOOL CPlacesButton::OnEraseBkgnd(CDC*) { return TRUE; }

void CPlacesButton::OnLButtonDown(UINT, CPoint)
{
    if (!IsWindowEnabled())
        return;
    m_bPressed = TRUE;
    SetCapture();
    Invalidate(FALSE);
}

void CPlacesButton::OnLButtonUp(UINT, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (m_bPressed && client.PtInRect(point)) {
        m_bSelected = TRUE;
        m_bHot = FALSE;
        if (m_pOwner)
            m_pOwner->PostMessage(WM_COMMAND, m_nID, 0);
    }
    m_bPressed = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    Invalidate(FALSE);
}

void CPlacesButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!IsWindowEnabled())
        return;
    CPoint screen = point;
    ClientToScreen(&screen);
    const bool over = ::WindowFromPoint(screen) == m_hWnd;
    if (over && !m_bHot && ::GetCapture() != m_hWnd) {
        // With the left button down only a button that is hot already reacts.
        if (nFlags & MK_LBUTTON)
            return;
        m_bHot = TRUE;
        SetCapture();
        Invalidate(FALSE);
    } else if (!over && m_bHot) {
        m_bHot = FALSE;
        Invalidate(FALSE);
        if (!(nFlags & MK_LBUTTON) && ::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
}

void CPlacesButton::OnPaint()
{
    CPaintDC paint(this);
    CRect rect;
    GetClientRect(&rect);
    // Drawn off screen, then copied: no flicker while the states change.
    HDC mem = ::CreateCompatibleDC(paint.m_hDC);
    HBITMAP bmp = ::CreateCompatibleBitmap(paint.m_hDC, rect.Width(), rect.Height());
    HGDIOBJ oldBmp = ::SelectObject(mem, bmp);
    HBRUSH back = ::CreateSolidBrush(::GetSysColor(COLOR_3DSHADOW));
    ::FillRect(mem, &rect, back);
    ::DeleteObject(back);
    const BOOL down = m_bSelected || m_bPressed;
    if (down) {
        CRect face = rect;
        face.DeflateRect(1, 1);
        HBRUSH brush = ::CreateSolidBrush(::GetSysColor(COLOR_3DLIGHT));
        ::FillRect(mem, &face, brush);
        ::DeleteObject(brush);
    }
    if (m_bHot || down)
        ::DrawEdge(mem, &rect, m_bHot && !down ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    const int shift = down ? 1 : 0;
    const int x = (rect.Width() - 32) / 2 + shift;
    const int y = (rect.Height() - 32) / 2 - 8 + shift;
    const BOOL enabled = IsWindowEnabled();
    if (m_pImageList && m_pImageList->GetSafeHandle()) {
        HICON icon = ::ImageList_GetIcon(m_pImageList->GetSafeHandle(), m_nImage, ILD_TRANSPARENT);
        if (icon) {
            ::DrawStateA(mem, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, 32, 32,
                         DST_ICON | (enabled ? DSS_NORMAL : DSS_DISABLED));
            ::DestroyIcon(icon);
        }
    }
    CRect text(rect.left, y + 34, rect.right, y + 52);
    text.OffsetRect(0, shift);
    ::SetBkMode(mem, TRANSPARENT);
    HGDIOBJ oldFont = ::SelectObject(mem, ::GetStockObject(DEFAULT_GUI_FONT));
    if (enabled) {
        ::SetTextColor(mem, down ? ::GetSysColor(COLOR_BTNTEXT) : RGB(255, 255, 255));
        ::DrawTextA(mem, m_strCaption, -1, &text, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    } else {
        CRect light = text;
        light.OffsetRect(1, 1);
        ::SetTextColor(mem, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextA(mem, m_strCaption, -1, &light, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
        ::SetTextColor(mem, ::GetSysColor(COLOR_GRAYTEXT));
        ::DrawTextA(mem, m_strCaption, -1, &text, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    }
    ::SelectObject(mem, oldFont);
    ::BitBlt(paint.m_hDC, 0, 0, rect.Width(), rect.Height(), mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, oldBmp);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
}

// ---- CDropDownButton ----

BEGIN_MESSAGE_MAP(CDropDownButton, CButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CDropDownButton::CDropDownButton() : m_hMenu(::CreatePopupMenu()) {}

CDropDownButton::~CDropDownButton()
{
    if (m_hMenu)
        ::DestroyMenu(m_hMenu);
}

BOOL CDropDownButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_pParent = pParentWnd;
    m_nID = nID;
    return CButton::Create(lpszCaption, (dwStyle & ~0x0F) | BS_OWNERDRAW, rect, pParentWnd, nID);
}

BOOL CDropDownButton::AddMenuItem(UINT nID, LPCTSTR lpszText, UINT nFlags)
{
    if (!m_hMenu || !::AppendMenuA(m_hMenu, MF_STRING | nFlags, nID, lpszText))
        return FALSE;
    m_bHasItems = TRUE;
    return TRUE;
}

BOOL CDropDownButton::SetImage(UINT nBitmapID, COLORREF crMask)
{
    HBITMAP bmp = static_cast<HBITMAP>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nBitmapID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bmp)
        return FALSE;
    BITMAP info = {};
    ::GetObjectA(bmp, sizeof info, &info);
    m_Images.DeleteImageList();
    BOOL ok = m_Images.Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0) &&
              m_Images.Add(bmp, crMask) >= 0;
    ::DeleteObject(bmp);
    return ok;
}

void CDropDownButton::OnLButtonDown(UINT, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (m_bMenuShowing) {
        ::SendMessageA(m_hWnd, WM_CANCELMODE, 0, 0);
        return;
    }
    if (point.x >= client.right - kArrowWidth && m_bHasItems) {
        m_bMenuShowing = TRUE;
        Invalidate(FALSE);
        UpdateWindow();
        CPoint corner(client.left, client.bottom);
        ClientToScreen(&corner);
        HWND owner = m_pParent ? m_pParent->m_hWnd : ::GetParent(m_hWnd);
        const UINT cmd = ::TrackPopupMenu(m_hMenu, TPM_LEFTALIGN | TPM_RETURNCMD, corner.x, corner.y, 0, owner, nullptr);
        m_bMenuShowing = FALSE;
        Invalidate(FALSE);
        if (cmd)
            ::PostMessageA(owner, WM_COMMAND, cmd, 0);
        return;
    }
    m_bPressed = TRUE;
    SetCapture();
    SetFocus();
    Invalidate(FALSE);
}

void CDropDownButton::OnLButtonUp(UINT, CPoint)
{
    if (!m_bPressed)
        return;
    m_bPressed = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    Invalidate(FALSE);
    HWND owner = m_pParent ? m_pParent->m_hWnd : ::GetParent(m_hWnd);
    ::PostMessageA(owner, WM_COMMAND, MAKEWPARAM(m_nID, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

void CDropDownButton::OnMouseMove(UINT, CPoint point)
{
    if (!m_bPressed)
        return;
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        // Moving out cancels the press.
        m_bPressed = FALSE;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        Invalidate(FALSE);
    }
}

void CDropDownButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    HDC dc = dis->hDC;
    CRect rect = dis->rcItem;
    const BOOL down = m_bPressed || (dis->itemState & ODS_SELECTED);
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dc, &rect, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    CRect arrow(rect.right - kArrowWidth, rect.top + 2, rect.right - 2, rect.bottom - 2);
    if (m_bMenuShowing)
        ::DrawEdge(dc, &arrow, BDR_SUNKENOUTER, BF_RECT);
    // The dividing line before the arrow part.
    CRect line(arrow.left - 1, rect.top + 4, arrow.left + 1, rect.bottom - 4);
    ::DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
    // A small triangle: rows of 5, 3 and 1 pixels.
    HBRUSH ink = ::GetSysColorBrush((dis->itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    const int cx = (arrow.left + arrow.right) / 2, cy = (arrow.top + arrow.bottom) / 2 - 1;
    for (int row = 0; row < 3; ++row) {
        RECT r = {cx - 2 + row, cy + row, cx + 3 - row, cy + row + 1};
        ::FillRect(dc, &r, ink);
    }
    CRect face(rect.left + 4, rect.top + 2, arrow.left - 2, rect.bottom - 2);
    if (down)
        face.OffsetRect(1, 1);
    int cx0 = 0, cy0 = 0;
    if (m_Images.GetSafeHandle() && m_Images.GetIconSize(&cx0, &cy0)) {
        m_Images.Draw(dc, 0, CPoint(face.left, face.top + (face.Height() - cy0) / 2), ILD_TRANSPARENT);
        face.left += cx0 + 4;
    }
    CString text;
    GetWindowText(text);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor((dis->itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    ::DrawTextA(dc, text, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (dis->itemState & ODS_FOCUS) {
        CRect focus(rect.left + 3, rect.top + 3, arrow.left - 2, rect.bottom - 3);
        ::DrawFocusRect(dc, &focus);
    }
}

// ---- CFileNameEdit ----

BEGIN_MESSAGE_MAP(CFileNameEdit, CEdit)
    ON_WM_KEYUP()
END_MESSAGE_MAP()

void CFileNameEdit::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (g_bPlacesNavigating) {
        SetWindowText("");
        g_bPlacesNavigating = FALSE;
        SetSel(0, -1);
    }
    CEdit::OnKeyUp(nChar, nRepCnt, nFlags);
}
