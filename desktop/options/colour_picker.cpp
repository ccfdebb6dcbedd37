// The colour button: shows its colour beside a drop-down arrow and opens the
// palette popup under itself.
#include <algorithm>

#include "colour_picker.h"

BEGIN_MESSAGE_MAP(CColourPicker, CButton)
    ON_MESSAGE(CPN_SELENDOK, OnSelEndOK)
    ON_MESSAGE(CPN_SELENDCANCEL, OnSelEndCancel)
    ON_MESSAGE(CPN_SELCHANGE, OnSelChange)
END_MESSAGE_MAP()

CColourPicker::CColourPicker()
    : m_crColourBk(::GetSysColor(COLOR_BTNFACE)), m_crColourText(::GetSysColor(COLOR_BTNTEXT))
{
}

COLORREF CColourPicker::GetColour() const
{
    return m_nSelectionMode == CP_MODE_TEXT ? m_crColourText : m_crColourBk;
}

void CColourPicker::SetColour(COLORREF colour)
{
    (m_nSelectionMode == CP_MODE_TEXT ? m_crColourText : m_crColourBk) = colour;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CColourPicker::PreSubclassWindow()
{
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
    SetWindowSize();
}

void CColourPicker::SetWindowSize()
{
    const int edgeX = ::GetSystemMetrics(SM_CXEDGE), edgeY = ::GetSystemMetrics(SM_CYEDGE);
    const int arrowW = std::max(::GetSystemMetrics(SM_CXHTHUMB), 5 * edgeX);
    const int arrowH = std::max(::GetSystemMetrics(SM_CYVTHUMB), 5 * edgeY);
    const int arrow = std::max(arrowW, arrowH);
    CRect rect;
    GetWindowRect(&rect);
    if (CWnd* parent = GetParent())
        parent->ScreenToClient(&rect);
    const int width = std::max(rect.Width(), 2 * edgeX + 2 * arrow);
    MoveWindow(rect.left, rect.top, width, arrow + 2 * edgeY);
    GetClientRect(&rect);
    m_ArrowRect.SetRect(rect.right - arrow - edgeX, rect.top + edgeY, rect.right - edgeX, rect.bottom - edgeY);
}

BOOL CColourPicker::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        OnClicked();
        return FALSE;  // the parent sees the click too
    }
    return CButton::OnChildNotify(message, wParam, lParam, pResult);
}

void CColourPicker::Notify(UINT message, COLORREF colour)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(message, colour, GetDlgCtrlID());
}

void CColourPicker::OnClicked()
{
    if (m_pPopup)
        return;  // one popup at a time
    m_bActive = TRUE;
    CRect rect;
    GetWindowRect(&rect);
    m_pPopup = new CColourPopup(CPoint(rect.left, rect.bottom), GetColour(), this, m_strDefaultText,
                                m_strCustomText);
    if (!m_pPopup->m_hWnd) {
        delete m_pPopup;
        m_pPopup = nullptr;
        m_bActive = FALSE;
        return;
    }
    Notify(CPN_DROPDOWN, GetColour());
}

LRESULT CColourPicker::OnSelEndOK(WPARAM wParam, LPARAM)
{
    m_bActive = FALSE;
    SetColour(static_cast<COLORREF>(wParam));
    Notify(CPN_CLOSEUP, static_cast<COLORREF>(wParam));
    Notify(CPN_SELENDOK, static_cast<COLORREF>(wParam));
    return TRUE;
}

LRESULT CColourPicker::OnSelEndCancel(WPARAM wParam, LPARAM)
{
    m_bActive = FALSE;
    SetColour(static_cast<COLORREF>(wParam));
    Notify(CPN_CLOSEUP, static_cast<COLORREF>(wParam));
    Notify(CPN_SELENDCANCEL, static_cast<COLORREF>(wParam));
    return TRUE;
}

LRESULT CColourPicker::OnSelChange(WPARAM wParam, LPARAM)
{
    if (m_bTrackSelection)
        SetColour(static_cast<COLORREF>(wParam));
    Notify(CPN_SELCHANGE, static_cast<COLORREF>(wParam));
    return TRUE;
}

void CColourPicker::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    HDC dc = lpDrawItemStruct->hDC;
    CRect rect = lpDrawItemStruct->rcItem;
    const UINT state = lpDrawItemStruct->itemState;
    const bool disabled = (state & ODS_DISABLED) != 0;

    UINT arrowState = DFCS_SCROLLDOWN;
    if (m_bActive || (state & ODS_SELECTED))
        arrowState |= DFCS_PUSHED;
    if (disabled)
        arrowState |= DFCS_INACTIVE;
    CRect arrow = m_ArrowRect;
    ::DrawFrameControl(dc, &arrow, DFC_SCROLL, arrowState);
    ::DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);

    const int edgeX = ::GetSystemMetrics(SM_CXEDGE), edgeY = ::GetSystemMetrics(SM_CYEDGE);
    CRect face(rect.left + edgeX, rect.top + edgeY, m_ArrowRect.left, rect.bottom - edgeY);
    const COLORREF fill =
        (disabled || m_crColourBk == CLR_AUTOMATIC) ? ::GetSysColor(COLOR_BTNFACE) : m_crColourBk;
    HBRUSH brush = ::CreateSolidBrush(fill);
    ::FillRect(dc, &face, brush);
    ::DeleteObject(brush);

    CString text;
    GetWindowText(text);
    if (!text.IsEmpty()) {
        ::SetBkMode(dc, TRANSPARENT);
        if (disabled) {
            CRect shifted = face;
            shifted.OffsetRect(1, 1);
            ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
            ::DrawTextA(dc, text, -1, &shifted, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            ::SetTextColor(dc, ::GetSysColor(COLOR_3DSHADOW));
        } else {
            ::SetTextColor(dc, m_crColourText == CLR_AUTOMATIC ? ::GetSysColor(COLOR_BTNTEXT) : m_crColourText);
        }
        ::DrawTextA(dc, text, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (state & ODS_FOCUS) {
        CRect focus = face;
        focus.DeflateRect(1, 1);
        ::DrawFocusRect(dc, &focus);
    }
}

void DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& crColour)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    auto* picker = dynamic_cast<CColourPicker*>(CWnd::FromHandlePermanent(h));
    if (!picker)
        return;  // not bound to a picker: nothing to exchange
    if (pDX->m_bSaveAndValidate)
        crColour = picker->GetColour();
    else
        picker->SetColour(crColour);
}
