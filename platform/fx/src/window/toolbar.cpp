// Tool bars: the TB_ message wrapper and the tool-bar control bar.
#include "window_state.h"

#include "fx/frame.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace {

LRESULT Send(HWND h, UINT msg, WPARAM w = 0, LPARAM l = 0)
{
    return h ? ::SendMessageA(h, msg, w, l) : 0;
}

// The colour-table entries of a button image and the system colours they stand for.
struct ColorMap {
    COLORREF from;
    int sysColor;
};
const ColorMap kButtonColors[] = {
    {RGB(0x00, 0x00, 0x00), COLOR_BTNTEXT},
    {RGB(0x80, 0x80, 0x80), COLOR_BTNSHADOW},
    {RGB(0xC0, 0xC0, 0xC0), COLOR_BTNFACE},
    {RGB(0xFF, 0xFF, 0xFF), COLOR_BTNHIGHLIGHT},
};

} // namespace

HBITMAP AfxLoadSysColorBitmap(HINSTANCE hInst, HRSRC hRsrc, BOOL bMono)
{
    if (!hRsrc)
        return nullptr;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    const BYTE* data = hGlobal ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
    DWORD size = ::SizeofResource(hInst, hRsrc);
    if (!data || size < sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER header;
    memcpy(&header, data, sizeof header);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biPlanes != 1)
        return nullptr;
    const int bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return nullptr;
    DWORD nColors = bits <= 8 ? (header.biClrUsed ? header.biClrUsed : (1u << bits)) : header.biClrUsed;
    if (bits <= 8 && nColors > (1u << bits))
        return nullptr;
    DWORD masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER) ? 3 : 0;
    DWORD tableBytes = (nColors + masks) * sizeof(RGBQUAD);
    DWORD height = header.biHeight < 0 ? (DWORD)-(LONGLONG)header.biHeight : (DWORD)header.biHeight;
    DWORD stride = (((DWORD)header.biWidth * bits + 31) / 32) * 4;
    if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS)
        return nullptr;
    if ((ULONGLONG)header.biSize + tableBytes + (ULONGLONG)stride * height > size)
        return nullptr;

    // A private copy of the header and colour table to map the colours in.
    std::vector<BYTE> info(header.biSize + tableBytes);
    memcpy(info.data(), data, info.size());
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(info.data() + header.biSize + masks * sizeof(RGBQUAD));
    if (!bMono && bits <= 8) {
        for (DWORD i = 0; i < nColors; ++i) {
            COLORREF c = RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
            for (const ColorMap& m : kButtonColors) {
                if (c == m.from) {
                    COLORREF to = ::GetSysColor(m.sysColor);
                    table[i].rgbRed = GetRValue(to);
                    table[i].rgbGreen = GetGValue(to);
                    table[i].rgbBlue = GetBValue(to);
                    break;
                }
            }
        }
    }
    const BYTE* pixels = data + header.biSize + tableBytes;
    HDC screen = ::GetDC(nullptr);
    HBITMAP hbm;
    if (bMono) {
        hbm = ::CreateBitmap(header.biWidth, (int)height, 1, 1, nullptr);
        if (hbm)
            ::SetDIBits(screen, hbm, 0, height, pixels, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    } else {
        hbm = ::CreateDIBitmap(screen, reinterpret_cast<BITMAPINFOHEADER*>(info.data()), CBM_INIT, pixels,
                               reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    }
    ::ReleaseDC(nullptr, screen);
    return hbm;
}

// ---- CToolBarCtrl ----------------------------------------------------------------

CToolBarCtrl::~CToolBarCtrl() { m_tipWrapper.m_hWnd = nullptr; }

BOOL CToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!CWnd::Create(TOOLBARCLASSNAMEA, nullptr, dwStyle, rect, pParentWnd, nID))
        return FALSE;
    SetButtonStructSize(sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBarCtrl::AddButtons(int nNumButtons, LPTBBUTTON lpButtons)
{
    return (BOOL)Send(m_hWnd, TB_ADDBUTTONSA, (WPARAM)nNumButtons, (LPARAM)lpButtons);
}

BOOL CToolBarCtrl::InsertButton(int nIndex, LPTBBUTTON lpButton)
{
    return (BOOL)Send(m_hWnd, TB_INSERTBUTTONA, (WPARAM)nIndex, (LPARAM)lpButton);
}

BOOL CToolBarCtrl::DeleteButton(int nIndex) { return (BOOL)Send(m_hWnd, TB_DELETEBUTTON, (WPARAM)nIndex); }

BOOL CToolBarCtrl::GetButton(int nIndex, LPTBBUTTON lpButton) const
{
    return (BOOL)Send(m_hWnd, TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)lpButton);
}

int CToolBarCtrl::GetButtonCount() const { return (int)Send(m_hWnd, TB_BUTTONCOUNT); }

BOOL CToolBarCtrl::GetItemRect(int nIndex, LPRECT lpRect) const
{
    return (BOOL)Send(m_hWnd, TB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}

int CToolBarCtrl::CommandToIndex(UINT nID) const { return (int)Send(m_hWnd, TB_COMMANDTOINDEX, nID); }

void CToolBarCtrl::SetButtonStructSize(int nSize) { Send(m_hWnd, TB_BUTTONSTRUCTSIZE, (WPARAM)nSize); }

BOOL CToolBarCtrl::SetButtonSize(CSize size)
{
    return (BOOL)Send(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(size.cx, size.cy));
}

BOOL CToolBarCtrl::SetBitmapSize(CSize size)
{
    return (BOOL)Send(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy));
}

CSize CToolBarCtrl::GetButtonSize() const
{
    DWORD s = (DWORD)Send(m_hWnd, TB_GETBUTTONSIZE);
    return CSize(LOWORD(s), HIWORD(s));
}

BOOL CToolBarCtrl::SetButtonWidth(int cxMin, int cxMax)
{
    return (BOOL)Send(m_hWnd, TB_SETBUTTONWIDTH, 0, MAKELPARAM(cxMin, cxMax));
}

int CToolBarCtrl::AddBitmap(int nNumButtons, UINT nBitmapID)
{
    TBADDBITMAP tbab = {AfxFindResourceHandle(MAKEINTRESOURCE(nBitmapID), RT_BITMAP), nBitmapID};
    return (int)Send(m_hWnd, TB_ADDBITMAP, (WPARAM)nNumButtons, (LPARAM)&tbab);
}

int CToolBarCtrl::AddBitmap(int nNumButtons, CBitmap* pBitmap)
{
    return AddBitmap(nNumButtons, pBitmap ? (HBITMAP)pBitmap->GetSafeHandle() : nullptr);
}

int CToolBarCtrl::AddBitmap(int nNumButtons, HBITMAP hBitmap)
{
    TBADDBITMAP tbab = {nullptr, (UINT_PTR)hBitmap};
    return (int)Send(m_hWnd, TB_ADDBITMAP, (WPARAM)nNumButtons, (LPARAM)&tbab);
}

BOOL CToolBarCtrl::ReplaceBitmap(LPTBREPLACEBITMAP pReplaceBitmap)
{
    return (BOOL)Send(m_hWnd, TB_REPLACEBITMAP, 0, (LPARAM)pReplaceBitmap);
}

int CToolBarCtrl::AddStrings(LPCTSTR lpszStrings)
{
    return (int)Send(m_hWnd, TB_ADDSTRINGA, 0, (LPARAM)lpszStrings);
}

BOOL CToolBarCtrl::EnableButton(int nID, BOOL bEnable)
{
    return (BOOL)Send(m_hWnd, TB_ENABLEBUTTON, (WPARAM)nID, MAKELPARAM(bEnable, 0));
}

BOOL CToolBarCtrl::CheckButton(int nID, BOOL bCheck)
{
    return (BOOL)Send(m_hWnd, TB_CHECKBUTTON, (WPARAM)nID, MAKELPARAM(bCheck, 0));
}

BOOL CToolBarCtrl::PressButton(int nID, BOOL bPress)
{
    return (BOOL)Send(m_hWnd, TB_PRESSBUTTON, (WPARAM)nID, MAKELPARAM(bPress, 0));
}

BOOL CToolBarCtrl::HideButton(int nID, BOOL bHide)
{
    return (BOOL)Send(m_hWnd, TB_HIDEBUTTON, (WPARAM)nID, MAKELPARAM(bHide, 0));
}

BOOL CToolBarCtrl::Indeterminate(int nID, BOOL bIndeterminate)
{
    return (BOOL)Send(m_hWnd, TB_INDETERMINATE, (WPARAM)nID, MAKELPARAM(bIndeterminate, 0));
}

BOOL CToolBarCtrl::IsButtonEnabled(int nID) const { return (BOOL)Send(m_hWnd, TB_ISBUTTONENABLED, (WPARAM)nID); }
BOOL CToolBarCtrl::IsButtonChecked(int nID) const { return (BOOL)Send(m_hWnd, TB_ISBUTTONCHECKED, (WPARAM)nID); }
BOOL CToolBarCtrl::IsButtonPressed(int nID) const { return (BOOL)Send(m_hWnd, TB_ISBUTTONPRESSED, (WPARAM)nID); }
BOOL CToolBarCtrl::IsButtonHidden(int nID) const { return (BOOL)Send(m_hWnd, TB_ISBUTTONHIDDEN, (WPARAM)nID); }

BOOL CToolBarCtrl::SetState(int nID, UINT nState)
{
    return (BOOL)Send(m_hWnd, TB_SETSTATE, (WPARAM)nID, MAKELPARAM(nState, 0));
}

int CToolBarCtrl::GetState(int nID) const { return (int)Send(m_hWnd, TB_GETSTATE, (WPARAM)nID); }

BOOL CToolBarCtrl::GetButtonInfo(int nID, TBBUTTONINFOA* ptbbi) const
{
    return Send(m_hWnd, TB_GETBUTTONINFOA, (WPARAM)nID, (LPARAM)ptbbi) != -1;
}

BOOL CToolBarCtrl::SetButtonInfo(int nID, TBBUTTONINFOA* ptbbi)
{
    return (BOOL)Send(m_hWnd, TB_SETBUTTONINFOA, (WPARAM)nID, (LPARAM)ptbbi);
}

int CToolBarCtrl::GetHotItem() const { return (int)Send(m_hWnd, TB_GETHOTITEM); }
int CToolBarCtrl::SetHotItem(int nHot) { return (int)Send(m_hWnd, TB_SETHOTITEM, (WPARAM)nHot); }
DWORD CToolBarCtrl::GetExtendedStyle() const { return (DWORD)Send(m_hWnd, TB_GETEXTENDEDSTYLE); }

DWORD CToolBarCtrl::SetExtendedStyle(DWORD dwExStyle)
{
    return (DWORD)Send(m_hWnd, TB_SETEXTENDEDSTYLE, 0, (LPARAM)dwExStyle);
}

CToolTipCtrl* CToolBarCtrl::GetToolTips() const
{
    HWND h = (HWND)Send(m_hWnd, TB_GETTOOLTIPS);
    if (!h)
        return nullptr;
    // A tool tip the program wrapped itself, else a temporary wrapper.
    if (CToolTipCtrl* tip = dynamic_cast<CToolTipCtrl*>(CWnd::FromHandlePermanent(h)))
        return tip;
    m_tipWrapper.m_hWnd = h;  // not entered in the handle map: the wrapper never owns it
    return &m_tipWrapper;
}

void CToolBarCtrl::SetToolTips(CToolTipCtrl* pTip) { Send(m_hWnd, TB_SETTOOLTIPS, (WPARAM)pTip->GetSafeHwnd()); }
int CToolBarCtrl::GetRows() const { return (int)Send(m_hWnd, TB_GETROWS); }
void CToolBarCtrl::AutoSize() { Send(m_hWnd, TB_AUTOSIZE); }

// ---- CToolBar --------------------------------------------------------------------

namespace {

// Updates one button from ON_UPDATE_COMMAND_UI handlers.
class CToolCmdUI : public CCmdUI {
public:
    explicit CToolCmdUI(CToolBar* bar) : m_bar(bar) {}

    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        UINT oldStyle = m_bar->GetButtonStyle((int)m_nIndex);
        UINT style = oldStyle & ~TBBS_DISABLED;
        if (!bOn)
            style = (style | TBBS_DISABLED) & ~TBBS_PRESSED;  // a disabled button cannot stay pressed
        if (style != oldStyle)
            m_bar->SetButtonStyle((int)m_nIndex, style);
    }

    void SetCheck(int nCheck) override
    {
        UINT oldStyle = m_bar->GetButtonStyle((int)m_nIndex);
        UINT style = oldStyle & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            style |= TBBS_CHECKED;
        else if (nCheck == 2)
            style |= TBBS_INDETERMINATE;
        // A button that shows a check state is a check box.
        style |= TBBS_CHECKBOX;
        if (style != oldStyle)
            m_bar->SetButtonStyle((int)m_nIndex, style);
    }

    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR) override {}  // tool bar buttons keep their text

private:
    CToolBar* m_bar;
};

} // namespace

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_WM_NCDESTROY()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CToolBar::CToolBar()
    : m_hbmImageWell(nullptr), m_hInstImageWell(nullptr), m_hRsrcImageWell(nullptr), m_sizeButton(23, 22),
      m_sizeImage(16, 15), m_cxLeftBorder(0), m_cxRightBorder(0), m_cyTopBorder(0), m_cyBottomBorder(0)
{
}

CToolBar::~CToolBar()
{
    m_ctrl.m_hWnd = nullptr;
    if (m_hWnd)
        DestroyWindow();
    if (m_hbmImageWell)
        ::DeleteObject(m_hbmImageWell);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle,
                    CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    if (m_hWnd || !pParentWnd || !pParentWnd->GetSafeHwnd())
        return FALSE;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_cxLeftBorder = rcBorders.left;
    m_cyTopBorder = rcBorders.top;
    m_cxRightBorder = rcBorders.right;
    m_cyBottomBorder = rcBorders.bottom;
    m_dwStyle = dwStyle & CBRS_ALL;

    // The bar places itself (CalcFixedLayout through AfxRepositionBars); the
    // control must neither align to its parent nor resize itself.
    DWORD style = (dwStyle & ~CBRS_ALL) | (dwCtrlStyle & 0xFFFF) | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                  CCS_NODIVIDER | CCS_NORESIZE;
    if (dwStyle & CBRS_TOOLTIPS)
        style |= TBSTYLE_TOOLTIPS;
    if (!CWnd::Create(TOOLBARCLASSNAMEA, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    ::SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ApplySizes();
    m_sizeDefault = m_sizeButton;
    return TRUE;
}

void CToolBar::ApplySizes()
{
    if (!m_hWnd)
        return;
    // The bitmap size first: the control keeps buttons at least that large.
    ::SendMessageA(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(m_sizeImage.cx, m_sizeImage.cy));
    ::SendMessageA(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(m_sizeButton.cx, m_sizeButton.cy));
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    if (sizeButton.cx <= 0 || sizeButton.cy <= 0 || sizeImage.cx <= 0 || sizeImage.cy <= 0)
        return;
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    ApplySizes();
    Invalidate();
}

void CToolBar::SetHeight(int cyHeight)
{
    if (m_dwStyle & CBRS_BORDER_TOP)
        cyHeight -= 2;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        cyHeight -= 2;
    int spare = cyHeight - m_sizeButton.cy;
    if (spare < 0)
        spare = 0;
    m_cyBottomBorder = spare / 2;
    m_cyTopBorder = spare - m_cyBottomBorder;
    Invalidate();
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    if (!m_hWnd || nIDCount < 0)
        return FALSE;
    while (::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0) > 0)
        if (!::SendMessageA(m_hWnd, TB_DELETEBUTTON, 0, 0))
            return FALSE;
    int iImage = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON button = {};
        button.fsState = TBSTATE_ENABLED;
        UINT id = lpIDArray ? lpIDArray[i] : ID_SEPARATOR;
        if (id == ID_SEPARATOR) {
            button.fsStyle = TBSTYLE_SEP;
            button.iBitmap = 0;  // the control's default separator width
        } else {
            button.fsStyle = TBSTYLE_BUTTON;
            button.idCommand = (int)id;
            button.iBitmap = iImage++;
        }
        button.iString = -1;
        if (!::SendMessageA(m_hWnd, TB_ADDBUTTONSA, 1, (LPARAM)&button))
            return FALSE;
    }
    Invalidate();
    return TRUE;
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName)
{
    if (!m_hWnd || !lpszResourceName)
        return FALSE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, RT_TOOLBAR);
    if (!hRsrc)
        return FALSE;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    const WORD* data = hGlobal ? static_cast<const WORD*>(::LockResource(hGlobal)) : nullptr;
    DWORD size = ::SizeofResource(hInst, hRsrc);
    // version, width, height, count, then count ids: all checked against the size.
    if (!data || size < 4 * sizeof(WORD) || data[0] != 1)
        return FALSE;
    WORD width = data[1], height = data[2], count = data[3];
    if (width == 0 || height == 0 || size < (4 + (DWORD)count) * sizeof(WORD))
        return FALSE;
    // The bitmap must be there before the buttons change.
    if (!::FindResourceA(AfxFindResourceHandle(lpszResourceName, RT_BITMAP), lpszResourceName, RT_BITMAP))
        return FALSE;
    std::vector<UINT> ids(data + 4, data + 4 + count);
    SetSizes(CSize(width + 7, height + 7), CSize(width, height));
    if (!SetButtons(ids.data(), (int)ids.size()))
        return FALSE;
    return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName)
{
    if (!lpszResourceName)
        return FALSE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, RT_BITMAP);
    if (!hRsrc)
        return FALSE;
    HBITMAP hbm = AfxLoadSysColorBitmap(hInst, hRsrc);
    if (!hbm)
        return FALSE;
    if (!SetBitmap(hbm)) {
        ::DeleteObject(hbm);
        return FALSE;
    }
    // Kept to load it again with the new colours when the system's change.
    m_hInstImageWell = hInst;
    m_hRsrcImageWell = hRsrc;
    return TRUE;
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell)
{
    if (!m_hWnd || !hbmImageWell || ::GetObjectType(hbmImageWell) != OBJ_BITMAP)
        return FALSE;
    BITMAP bm = {};
    ::GetObjectA(hbmImageWell, sizeof bm, &bm);
    int nImages = m_sizeImage.cx > 0 ? bm.bmWidth / m_sizeImage.cx : 0;
    BOOL ok;
    if (m_hbmImageWell) {
        TBREPLACEBITMAP tbrb = {nullptr, (UINT_PTR)m_hbmImageWell, nullptr, (UINT_PTR)hbmImageWell, nImages};
        ok = (BOOL)::SendMessageA(m_hWnd, TB_REPLACEBITMAP, 0, (LPARAM)&tbrb);
    } else {
        TBADDBITMAP tbab = {nullptr, (UINT_PTR)hbmImageWell};
        ok = ::SendMessageA(m_hWnd, TB_ADDBITMAP, (WPARAM)nImages, (LPARAM)&tbab) != -1;
    }
    if (!ok)
        return FALSE;
    if (m_hbmImageWell && m_hbmImageWell != hbmImageWell)
        ::DeleteObject(m_hbmImageWell);
    m_hbmImageWell = hbmImageWell;
    m_hInstImageWell = nullptr;
    m_hRsrcImageWell = nullptr;
    Invalidate();
    return TRUE;
}

int CToolBar::GetCount() const { return m_hWnd ? (int)::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0) : 0; }

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (GetItemID(i) == nIDFind)
            return i;
    return -1;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button = {};
    if (!m_hWnd || nIndex < 0 || !::SendMessageA(m_hWnd, TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button))
        return ID_SEPARATOR;
    return (button.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : (UINT)button.idCommand;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (m_hWnd && nIndex >= 0 && nIndex < GetCount())
        ::SendMessageA(m_hWnd, TB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON button = {};
    if (!m_hWnd || nIndex < 0 || !::SendMessageA(m_hWnd, TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button))
        return 0;
    return MAKELONG(button.fsStyle, button.fsState) ^ TBBS_DISABLED;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    if (!m_hWnd || nIndex < 0 || nIndex >= GetCount())
        return;
    nStyle ^= TBBS_DISABLED;
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE;
    info.fsStyle = (BYTE)LOWORD(nStyle);
    info.fsState = (BYTE)HIWORD(nStyle);
    ::SendMessageA(m_hWnd, TB_SETBUTTONINFOA, (WPARAM)nIndex, (LPARAM)&info);
    InvalidateRect(nullptr);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    TBBUTTON button = {};
    if (!m_hWnd || nIndex < 0 || !::SendMessageA(m_hWnd, TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button)) {
        nID = 0, nStyle = 0, iImage = 0;
        return;
    }
    nID = (UINT)button.idCommand;
    nStyle = MAKELONG(button.fsStyle, button.fsState) ^ TBBS_DISABLED;
    iImage = button.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    if (!m_hWnd || nIndex < 0 || nIndex >= GetCount())
        return;
    nStyle ^= TBBS_DISABLED;
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    // For a separator the image is its width.
    info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_STYLE | TBIF_STATE | TBIF_IMAGE;
    info.idCommand = (int)nID;
    info.fsStyle = (BYTE)LOWORD(nStyle);
    info.fsState = (BYTE)HIWORD(nStyle);
    info.iImage = iImage;
    if (info.fsStyle & TBSTYLE_SEP) {
        info.dwMask = (info.dwMask & ~TBIF_IMAGE) | TBIF_SIZE;
        info.cx = (WORD)(iImage > 0 ? iImage : 0);
    }
    ::SendMessageA(m_hWnd, TB_SETBUTTONINFOA, (WPARAM)nIndex, (LPARAM)&info);
    Invalidate();
}

BOOL CToolBar::SetButtonText(int nIndex, LPCTSTR lpszText)
{
    if (!m_hWnd || nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = const_cast<LPSTR>(lpszText ? lpszText : "");
    if (!::SendMessageA(m_hWnd, TB_SETBUTTONINFOA, (WPARAM)nIndex, (LPARAM)&info))
        return FALSE;
    Invalidate();
    return TRUE;
}

void CToolBar::GetButtonText(int nIndex, CString& rString) const
{
    rString.Empty();
    if (!m_hWnd || nIndex < 0 || nIndex >= GetCount())
        return;
    char text[1024] = {};
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = text;
    info.cchText = (int)sizeof text;
    if (::SendMessageA(m_hWnd, TB_GETBUTTONINFOA, (WPARAM)nIndex, (LPARAM)&info) == -1)
        return;
    text[sizeof text - 1] = '\0';
    rString = text;
}

CString CToolBar::GetButtonText(int nIndex) const
{
    CString s;
    GetButtonText(nIndex, s);
    return s;
}

CToolBarCtrl& CToolBar::GetToolBarCtrl() const
{
    // The wrapper shares the bar's handle without entering the handle map,
    // so the bar stays the window's one permanent object.
    m_ctrl.m_hWnd = m_hWnd;
    return m_ctrl;
}

CSize CToolBar::LayoutButtons(int nMaxWidth, BOOL bCommit)
{
    const int n = GetCount();
    const int sepDefault = 8;
    struct Item {
        int cx;
        BOOL sep, hidden;
    };
    std::vector<Item> items;
    items.reserve((size_t)n);
    int cyButton = m_sizeButton.cy;
    for (int i = 0; i < n; ++i) {
        TBBUTTON b = {};
        ::SendMessageA(m_hWnd, TB_GETBUTTON, (WPARAM)i, (LPARAM)&b);
        Item it = {0, (b.fsStyle & TBSTYLE_SEP) != 0, (b.fsState & TBSTATE_HIDDEN) != 0};
        CRect r;
        ::SendMessageA(m_hWnd, TB_GETITEMRECT, (WPARAM)i, (LPARAM)&r);
        if (it.sep)
            it.cx = b.iBitmap > 0 ? b.iBitmap : sepDefault;
        else {
            it.cx = r.Width() > 0 ? r.Width() : m_sizeButton.cx;
            if (r.Height() > cyButton)
                cyButton = r.Height();
        }
        items.push_back(it);
    }

    // Rows: a button that would pass nMaxWidth starts a new row; a separator
    // at a row break is dropped from the width.
    int rows = 0, rowWidth = 0, maxWidth = 0;
    std::vector<BOOL> wrapAfter((size_t)n, FALSE);
    int lastInRow = -1;
    for (int i = 0; i < n; ++i) {
        const Item& it = items[(size_t)i];
        if (it.hidden)
            continue;
        BOOL breakRow = rowWidth > 0 && (nMaxWidth == 0 || (nMaxWidth > 0 && rowWidth + it.cx > nMaxWidth));
        if (breakRow) {
            if (lastInRow >= 0)
                wrapAfter[(size_t)lastInRow] = TRUE;
            maxWidth = std::max(maxWidth, rowWidth);
            rowWidth = 0;
            if (it.sep) {
                lastInRow = i;
                continue;
            }
        }
        if (rowWidth == 0)
            ++rows;
        rowWidth += it.cx;
        lastInRow = i;
    }
    maxWidth = std::max(maxWidth, rowWidth);
    if (bCommit) {
        for (int i = 0; i < n; ++i) {
            TBBUTTON b = {};
            ::SendMessageA(m_hWnd, TB_GETBUTTON, (WPARAM)i, (LPARAM)&b);
            BYTE state = wrapAfter[(size_t)i] ? (b.fsState | TBSTATE_WRAP) : (b.fsState & ~TBSTATE_WRAP);
            if (state != b.fsState) {
                TBBUTTONINFOA info = {};
                info.cbSize = sizeof info;
                info.dwMask = TBIF_BYINDEX | TBIF_STATE;
                info.fsState = state;
                ::SendMessageA(m_hWnd, TB_SETBUTTONINFOA, (WPARAM)i, (LPARAM)&info);
            }
        }
    }
    CSize size(maxWidth, rows * cyButton);
    size.cx += m_cxLeftBorder + m_cxRightBorder;
    size.cy += m_cyTopBorder + m_cyBottomBorder;
    if (m_dwStyle & CBRS_BORDER_TOP)
        size.cy += 2;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        size.cy += 2;
    if (m_dwStyle & CBRS_BORDER_LEFT)
        size.cx += 2;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        size.cx += 2;
    // An empty bar keeps the height of one button row.
    if (rows == 0)
        size.cy += cyButton;
    return size;
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    if (!m_hWnd)
        return CSize(0, 0);
    CSize size = LayoutButtons(bHorz ? -1 : 0, TRUE);
    if (bStretch) {
        CRect parent;
        if (CWnd* p = GetParent())
            p->GetClientRect(&parent);
        if (bHorz)
            size.cx = std::max<int>(size.cx, parent.Width());
        else
            size.cy = std::max<int>(size.cy, parent.Height());
    }
    return size;
}

CSize CToolBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    if (!m_hWnd)
        return CSize(0, 0);
    if (dwMode & (LM_HORZDOCK | LM_VERTDOCK))
        return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZDOCK) != 0);
    BOOL commit = (dwMode & LM_COMMIT) != 0;
    if (nLength < 0 || (dwMode & LM_MRUWIDTH))
        return LayoutButtons(-1, commit);
    if (dwMode & LM_LENGTHY) {
        // nLength is a height: the narrowest layout with no more rows than fit.
        int rowHeight = m_sizeButton.cy > 0 ? m_sizeButton.cy : 1;
        int wanted = std::max(1, (nLength - m_cyTopBorder - m_cyBottomBorder) / rowHeight);
        int full = LayoutButtons(-1, FALSE).cx;
        for (int width = 1; width <= full; width += 4) {
            CSize s = LayoutButtons(width, FALSE);
            if (s.cy <= m_cyTopBorder + m_cyBottomBorder + wanted * rowHeight + 4)
                return LayoutButtons(width, commit);
        }
        return LayoutButtons(-1, commit);
    }
    int inner = nLength - m_cxLeftBorder - m_cxRightBorder;
    return LayoutButtons(std::max(1, inner), commit);
}

void CToolBar::UpdateButtons(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (!pTarget || !m_hWnd)
        return;
    CToolCmdUI state(this);
    state.m_pOther = this;
    const int n = GetCount();
    state.m_nIndexMax = (UINT)n;
    for (int i = 0; i < n; ++i) {
        UINT style = GetButtonStyle(i);
        if (style & TBBS_SEPARATOR)
            continue;
        state.m_nIndex = (UINT)i;
        state.m_nID = GetItemID(i);
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    UpdateButtons(pTarget, bDisableIfNoHndler);
}

// A tool bar outside a frame (in a dialog, say) still follows its owner's
// update handlers; in a frame the owner is the frame.
LRESULT CToolBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    CWnd* owner = GetOwner();
    if (!owner)
        owner = GetParent();
    UpdateButtons(owner, (BOOL)wParam);
    return 0;
}

CString CToolBar::GetToolTipText(UINT nID)
{
    char full[512] = {};
    if (nID == 0 || !AfxLoadString(nID, full, sizeof full))
        return CString();
    const char* tip = strchr(full, '\n');
    if (!tip)
        return CString();
    ++tip;
    const char* end = strchr(tip, '\n');
    return end ? CString(tip, (int)(end - tip)) : CString(tip);
}

BOOL CToolBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr && (hdr->code == TTN_NEEDTEXTA || hdr->code == TTN_NEEDTEXTW) && (m_dwStyle & CBRS_TOOLTIPS)) {
        // The tool tip asks the control, which asks us first: the command's
        // string after "\n". (Fly-by help in a status bar is not provided.)
        UINT nID = (UINT)hdr->idFrom;
        if (hdr->code == TTN_NEEDTEXTA) {
            auto* tt = reinterpret_cast<NMTTDISPINFOA*>(hdr);
            if (tt->uFlags & TTF_IDISHWND)
                nID = (UINT)::GetDlgCtrlID((HWND)hdr->idFrom);
            CString text = GetToolTipText(nID);
            lstrcpynA(tt->szText, text, (int)sizeof tt->szText);
            tt->lpszText = tt->szText;
            tt->hinst = nullptr;
        } else {
            auto* tt = reinterpret_cast<NMTTDISPINFOW*>(hdr);
            if (tt->uFlags & TTF_IDISHWND)
                nID = (UINT)::GetDlgCtrlID((HWND)hdr->idFrom);
            CString text = GetToolTipText(nID);
            int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, tt->szText, (int)(sizeof tt->szText / sizeof(WCHAR)));
            if (n == 0)
                tt->szText[0] = 0;
            tt->szText[sizeof tt->szText / sizeof(WCHAR) - 1] = 0;
            tt->lpszText = tt->szText;
            tt->hinst = nullptr;
        }
        if (pResult)
            *pResult = 0;
        // Keep the tip above the other windows, as the frame's tips are.
        ::SetWindowPos(hdr->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
        return TRUE;
    }
    return CControlBar::OnNotify(wParam, lParam, pResult);
}

// The bar paints its own face: frames commonly leave their background
// unpainted (their client windows cover it), and Wine's control leaves an
// opaque bar unerased. Bars that erase through custom draw or show their
// parent keep the control's own handling.
BOOL CToolBar::OnEraseBkgnd(CDC* pDC)
{
    if (GetStyle() & (TBSTYLE_CUSTOMERASE | TBSTYLE_TRANSPARENT))
        return (BOOL)Default();
    CRect r;
    GetClientRect(&r);
    pDC->FillSolidRect(&r, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void CToolBar::OnSysColorChange()
{
    Default();
    // Load the image strip again so that its greys follow the new colours.
    if (m_hInstImageWell && m_hRsrcImageWell) {
        HINSTANCE hInst = m_hInstImageWell;
        HRSRC hRsrc = m_hRsrcImageWell;
        if (HBITMAP hbm = AfxLoadSysColorBitmap(hInst, hRsrc)) {
            if (SetBitmap(hbm)) {
                m_hInstImageWell = hInst;
                m_hRsrcImageWell = hRsrc;
            } else {
                ::DeleteObject(hbm);
            }
        }
    }
}

void CToolBar::OnNcDestroy()
{
    m_ctrl.m_hWnd = nullptr;
    CControlBar::OnNcDestroy();
}
