#ifndef OEMRESOURCE
#define OEMRESOURCE  // OBM_CHECK
#endif
#include "BmpMenu.h"

#include "Gradient.h"
#include "menu_placement.h"
#include "options/wmoptions.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char kClassName[] = "BitmapMenu";
const int kTextBufferSize = 260;
// Set in the click flags when the click was made for a key.
const UINT kMenuFromKeyboard = 0x100;
// Tracking flags: bit 0 a sub-menu; 0x100 make the first item hot when shown.
const int kTrackSubMenu = 0x1;
const int kTrackFirstHot = 0x100;
// The common-control style that keeps a bar from highlighting its top edge.
const DWORD kNoHilite = 0x10;

LPCTSTR MenuClass()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        ::GetClassInfoA(AfxGetInstanceHandle(), AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW)),
                        &wc);
        wc.lpszClassName = kClassName;
        wc.hInstance = AfxGetInstanceHandle();
        registered = ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    return kClassName;
}

bool IsMenuWindow(HWND hWnd)
{
    char cls[32] = {};
    return hWnd && ::GetClassNameA(hWnd, cls, sizeof cls) && lstrcmpA(cls, kClassName) == 0;
}

bool IsGrey(const MENUITEMINFOA& item) { return (item.fState & (MFS_GRAYED | MFS_DISABLED)) != 0; }

// An item bitmap copied with the standard colours mapped to the system's.
HBITMAP MapItemBitmap(HDC hdc, HBITMAP src, BOOL bHotEnabled)
{
    BITMAP bm = {};
    if (!::GetObjectA(src, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    HDC from = ::CreateCompatibleDC(hdc);
    HDC to = ::CreateCompatibleDC(hdc);
    HBITMAP copy = ::CreateCompatibleBitmap(hdc, bm.bmWidth, bm.bmHeight);
    HGDIOBJ oldFrom = ::SelectObject(from, src);
    HGDIOBJ oldTo = ::SelectObject(to, copy);
    const struct {
        COLORREF from;
        COLORREF to;
    } map[] = {
        {RGB(0, 0, 0), ::GetSysColor(COLOR_BTNTEXT)},
        {RGB(0x80, 0x80, 0x80), ::GetSysColor(COLOR_BTNSHADOW)},
        {RGB(0xC0, 0xC0, 0xC0), ::GetSysColor(bHotEnabled ? COLOR_HIGHLIGHT : COLOR_MENU)},
        {RGB(0xFF, 0xFF, 0xFF), ::GetSysColor(COLOR_BTNHIGHLIGHT)},
    };
    for (int y = 0; y < bm.bmHeight; ++y) {
        for (int x = 0; x < bm.bmWidth; ++x) {
            COLORREF c = ::GetPixel(from, x, y);
            for (const auto& m : map) {
                if (c == m.from) {
                    c = m.to;
                    break;
                }
            }
            ::SetPixelV(to, x, y, c);
        }
    }
    ::SelectObject(from, oldFrom);
    ::SelectObject(to, oldTo);
    ::DeleteDC(from);
    ::DeleteDC(to);
    return copy;
}

// A monochrome copy of an item bitmap, for a greyed item.
HBITMAP MonoItemBitmap(HDC hdc, HBITMAP src)
{
    BITMAP bm = {};
    if (!::GetObjectA(src, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    HDC from = ::CreateCompatibleDC(hdc);
    HDC to = ::CreateCompatibleDC(hdc);
    HBITMAP copy = ::CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
    HGDIOBJ oldFrom = ::SelectObject(from, src);
    HGDIOBJ oldTo = ::SelectObject(to, copy);
    ::BitBlt(to, 0, 0, bm.bmWidth, bm.bmHeight, from, 0, 0, SRCCOPY);
    ::SelectObject(from, oldFrom);
    ::SelectObject(to, oldTo);
    ::DeleteDC(from);
    ::DeleteDC(to);
    return copy;
}

} // namespace

// ---- MenuToolBar -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(MenuToolBar, CToolBar)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
    ON_MESSAGE(WM_BMPMENU_CLICK, OnClickItem)
    ON_MESSAGE(WM_BMPMENU_RESETACTIVE, OnResetActive)
END_MESSAGE_MAP()

MenuToolBar::MenuToolBar(CBmpMenu* pMenu)
    : m_nLastHotCommand((UINT)-1), m_nLastActivated(-1), m_ptLastMove(-1, -1), m_nUnderMouse(-1), m_pMenu(pMenu)
{
}

MenuToolBar::~MenuToolBar() { FreeItems(); }

BOOL MenuToolBar::CreateInMenu()
{
    // Wrapping list of flat buttons that erase through us; not aligned to
    // or sized by the parent, no highlight or divider.
    const DWORD ctrlStyle = TBSTYLE_WRAPABLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_CUSTOMERASE | kNoHilite;
    if (!CreateEx(m_pMenu, ctrlStyle, WS_CHILD | WS_CLIPCHILDREN | CBRS_TOOLTIPS, CRect(0, 0, 0, 0), 0xE800))
        return FALSE;
    ModifyStyle(WS_VISIBLE, 0);
    ModifyStyleEx(0, WS_EX_TOOLWINDOW);
    GetToolBarCtrl().SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS);
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        m_font.CreateFontIndirect(&ncm.lfMenuFont);
    if (m_font.GetSafeHandle())
        SendMessage(WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), FALSE);
    return TRUE;
}

BOOL MenuToolBar::FillFromMenu(HMENU hMenu)
{
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    ctrl.SetBitmapSize(CSize(::GetSystemMetrics(SM_CXMENUCHECK), ::GetSystemMetrics(SM_CYMENUCHECK)));
    const int count = hMenu ? ::GetMenuItemCount(hMenu) : 0;
    for (int i = 0; i < count; ++i) {
        auto* info = new MENUITEMINFOA();
        info->cbSize = sizeof *info;
        info->fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
        char* text = new char[kTextBufferSize]();
        info->dwTypeData = text;
        info->cch = kTextBufferSize - 1;  // a longer text is cut, never overrun
        if (!::GetMenuItemInfoA(hMenu, (UINT)i, TRUE, info)) {
            delete[] text;
            delete info;
            continue;
        }
        text[kTextBufferSize - 1] = '\0';
        const bool separator = (info->fType & MFT_SEPARATOR) != 0;
        if (separator || (info->fType & (MFT_BITMAP | MFT_OWNERDRAW)) || text[0] == '\0') {
            delete[] text;
            info->dwTypeData = nullptr;
            info->cch = 0;
        }
        TBBUTTON button = {};
        button.iBitmap = 0;
        button.idCommand = (int)info->wID;
        // Every item ends its row; a greyed item keeps the row end too, or
        // the next item would share its line.
        button.fsState = IsGrey(*info) ? TBSTATE_WRAP : (TBSTATE_ENABLED | TBSTATE_WRAP);
        button.fsStyle = separator ? TBSTYLE_SEP : TBSTYLE_BUTTON;
        button.dwData = (DWORD_PTR)info;
        button.iString = -1;
        int index = ctrl.GetButtonCount();
        if (!ctrl.AddButtons(1, &button)) {
            delete[] info->dwTypeData;
            delete info;
            return FALSE;
        }
        if (info->dwTypeData)
            SetButtonText(index, info->dwTypeData);
    }
    return TRUE;
}

void MenuToolBar::FreeItems()
{
    if (!m_hWnd)
        return;
    const int n = GetCount();
    for (int i = 0; i < n; ++i) {
        TBBUTTON b = {};
        if (!GetToolBarCtrl().GetButton(i, &b) || !b.dwData)
            continue;
        auto* info = reinterpret_cast<MENUITEMINFOA*>(b.dwData);
        delete[] info->dwTypeData;
        delete info;
        TBBUTTONINFOA clear = {};
        clear.cbSize = sizeof clear;
        clear.dwMask = TBIF_BYINDEX | TBIF_LPARAM;
        clear.lParam = 0;
        GetToolBarCtrl().SetButtonInfo(i, &clear);
    }
}

int MenuToolBar::TextWidthNeeded() const
{
    // Not every tool bar control widens its buttons for texts set after
    // they were added: measure them as they are drawn (check square, gap, text).
    const int height = GetToolBarCtrl().GetButtonSize().cy;
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, m_font.GetSafeHandle() ? m_font.GetSafeHandle() : ::GetStockObject(DEFAULT_GUI_FONT));
    int widest = 0;
    for (int i = 0, n = GetCount(); i < n; ++i) {
        const MENUITEMINFOA* info = ItemInfo(i);
        if (!info || !info->dwTypeData)
            continue;
        RECT r = {0, 0, 0, 0};
        ::DrawTextA(dc, info->dwTypeData, -1, &r, DT_SINGLELINE | DT_CALCRECT);
        widest = std::max<int>(widest, r.right - r.left);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    return widest + height + 2 + 4;
}

const MENUITEMINFOA* MenuToolBar::ItemInfo(int nIndex) const
{
    TBBUTTON b = {};
    if (!m_hWnd || nIndex < 0 || !GetToolBarCtrl().GetButton(nIndex, &b))
        return nullptr;
    return reinterpret_cast<const MENUITEMINFOA*>(b.dwData);
}

int MenuToolBar::HitTest(CPoint point) const
{
    POINT pt = point;
    int index = (int)::SendMessageA(m_hWnd, TB_HITTEST, 0, (LPARAM)&pt);
    if (index < 0 || index >= GetCount())
        return -1;
    const MENUITEMINFOA* info = ItemInfo(index);
    return info && !(info->fType & MFT_SEPARATOR) ? index : -1;
}

BOOL MenuToolBar::IsItemEnabled(int nIndex) const
{
    const MENUITEMINFOA* info = ItemInfo(nIndex);
    return info && !(info->fType & MFT_SEPARATOR) && !IsGrey(*info);
}

void MenuToolBar::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) { OnCustomDrawNotify(pNMHDR, pResult); }

void MenuToolBar::OnCustomDrawNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (cd->nmcd.dwDrawStage == CDDS_PREERASE) {
        // The bar erases through us: separators and the strip below the last
        // item show this, and a control without a background brush (Wine's)
        // would leave them black.
        CRect client;
        GetClientRect(&client);
        ::FillRect(cd->nmcd.hdc, &client, ::GetSysColorBrush(COLOR_MENU));
        *pResult = CDRF_SKIPDEFAULT;
        return;
    }
    if (cd->nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return;
    const auto* info = reinterpret_cast<const MENUITEMINFOA*>(cd->nmcd.lItemlParam);
    if (!info || (info->fType & MFT_SEPARATOR))
        return;
    HDC hdc = cd->nmcd.hdc;
    const bool hot = (cd->nmcd.uItemState & CDIS_HOT) != 0;
    const bool grey = IsGrey(*info);
    COLORREF textColor = ::GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    const int bkIndex = hot ? COLOR_HIGHLIGHT : COLOR_MENU;
    if (hot && info->wID != m_nLastHotCommand) {
        // Tell the owner which item is now selected, as a menu does.
        int index = -1;
        for (int i = 0, n = GetCount(); i < n; ++i)
            if (ItemInfo(i) == info)
                index = i;
        WPARAM w = info->hSubMenu ? MAKEWPARAM(index, MF_POPUP)
                                  : MAKEWPARAM(info->wID, info->fState | (info->fType & MFT_STRING));
        if (m_pMenu->m_pOwner && ::IsWindow(m_pMenu->m_pOwner->GetSafeHwnd()))
            m_pMenu->m_pOwner->SendMessage(WM_MENUSELECT, w, (LPARAM)m_pMenu->m_hMenu);
        m_nLastHotCommand = info->wID;
    }
    if (grey)
        textColor = ::GetSysColor(COLOR_GRAYTEXT);

    CRect r = cd->nmcd.rc;
    r.left += 1;
    ::FillRect(hdc, &r, ::GetSysColorBrush(bkIndex));
    HGDIOBJ oldFont = ::SelectObject(hdc, m_font.GetSafeHandle() ? m_font.GetSafeHandle()
                                                                 : ::GetStockObject(DEFAULT_GUI_FONT));
    COLORREF oldText = ::SetTextColor(hdc, textColor);
    COLORREF oldBk = ::SetBkColor(hdc, ::GetSysColor(bkIndex));
    int oldMode = ::SetBkMode(hdc, TRANSPARENT);

    CRect square(r.left, r.top, r.left + r.Height(), r.bottom);
    if ((info->fState & MFS_CHECKED) || info->hbmpUnchecked)
        Draw3DCheckmark(hdc, square, *info, hot, grey);

    if (info->dwTypeData) {
        CRect text = r;
        text.left += r.Height() + 2;
        if (grey && !hot) {
            CRect shadow = text;
            shadow.OffsetRect(1, 1);
            ::SetTextColor(hdc, ::GetSysColor(COLOR_3DHILIGHT));
            ::DrawTextA(hdc, info->dwTypeData, -1, &shadow, DT_SINGLELINE | DT_VCENTER);
            ::SetTextColor(hdc, textColor);
        }
        ::DrawTextA(hdc, info->dwTypeData, -1, &text, DT_SINGLELINE | DT_VCENTER);
    }

    if (info->hSubMenu) {
        // The sub-menu arrow: a triangle pointing right, filled in the text colour.
        const int c = ::GetSystemMetrics(SM_CXMENUCHECK);
        CRect box(r.right - 3 * c / 4, r.top + (r.Height() - c) / 2, r.right - 3 * c / 4 + c,
                  r.top + (r.Height() - c) / 2 + c);
        box.DeflateRect(3 * c / 10, 3 * c / 10);
        if (box.Width() > 0 && box.Height() > 0) {
            POINT tri[] = {{box.left, box.top},
                           {box.left + box.Width() / 2, box.top + box.Height() / 2},
                           {box.left, box.top + box.Height()}};
            HPEN pen = ::CreatePen(PS_SOLID, 1, textColor);
            HBRUSH brush = ::CreateSolidBrush(textColor);
            HGDIOBJ oldPen = ::SelectObject(hdc, pen);
            HGDIOBJ oldBrush = ::SelectObject(hdc, brush);
            ::Polyline(hdc, tri, 3);
            ::MoveToEx(hdc, tri[2].x, tri[2].y, nullptr);
            ::LineTo(hdc, tri[0].x, tri[0].y);
            if (box.Height() > 2)
                ::ExtFloodFill(hdc, box.left + 1, box.top + box.Height() / 2, textColor, FLOODFILLBORDER);
            ::SelectObject(hdc, oldPen);
            ::SelectObject(hdc, oldBrush);
            ::DeleteObject(pen);
            ::DeleteObject(brush);
        }
    }

    ::SetBkMode(hdc, oldMode);
    ::SetBkColor(hdc, oldBk);
    ::SetTextColor(hdc, oldText);
    ::SelectObject(hdc, oldFont);
    *pResult = CDRF_SKIPDEFAULT;
}

void MenuToolBar::Draw3DCheckmark(HDC hdc, const CRect& squareIn, const MENUITEMINFOA& item, BOOL bHot, BOOL bGrey)
{
    const bool checked = (item.fState & MFS_CHECKED) != 0;
    const bool hotEnabled = bHot && !bGrey;
    HBITMAP own = checked ? item.hbmpChecked : item.hbmpUnchecked;
    HBITMAP bitmap = nullptr;
    bool system = false;
    if (own && ::GetObjectType(own) == OBJ_BITMAP) {
        bitmap = bGrey ? MonoItemBitmap(hdc, own) : MapItemBitmap(hdc, own, hotEnabled);
    } else if (checked) {
        bitmap = ::LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECK));
        system = true;
    }
    if (!bitmap)
        return;  // nothing to draw with
    BITMAP bm = {};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    CRect square = squareIn;
    int x = square.left + (square.Width() - bm.bmWidth) / 2;
    int y = square.top + (square.Height() - bm.bmHeight) / 2;
    if (bm.bmWidth < square.Width())
        square = CRect(x, y, x + bm.bmWidth, y + bm.bmHeight);
    const COLORREF back = ::GetSysColor(hotEnabled ? COLOR_HIGHLIGHT : COLOR_MENU);
    HDC mem = ::CreateCompatibleDC(hdc);
    HGDIOBJ old = ::SelectObject(mem, bitmap);
    COLORREF oldBk = ::SetBkColor(hdc, back);
    ::BitBlt(hdc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    ::SetBkColor(hdc, oldBk);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::DeleteObject(bitmap);

    if (checked) {
        CRect edge = square;
        ::DrawEdge(hdc, &edge, BDR_SUNKENOUTER, BF_RECT);
        // The part of the square still in the menu colour gets the dither.
        static const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        HBITMAP pattern = ::CreateBitmap(8, 8, 1, 1, rows);
        HBRUSH brush = ::CreatePatternBrush(pattern);
        HGDIOBJ oldBrush = ::SelectObject(hdc, brush);
        COLORREF oldText = ::SetTextColor(hdc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        COLORREF oldBack = ::SetBkColor(hdc, ::GetSysColor(COLOR_MENU));
        const COLORREF fillFrom = ::GetSysColor(system && bHot ? COLOR_HIGHLIGHT : COLOR_MENU);
        if (::GetPixel(hdc, square.left + 1, square.top + 1) == fillFrom)
            ::ExtFloodFill(hdc, square.left + 1, square.top + 1, fillFrom, FLOODFILLSURFACE);
        ::SetTextColor(hdc, oldText);
        ::SetBkColor(hdc, oldBack);
        ::SelectObject(hdc, oldBrush);
        ::DeleteObject(brush);
        ::DeleteObject(pattern);
    }
}

void MenuToolBar::OnMouseMove(UINT nFlags, CPoint point)
{
    int index = HitTest(point);
    if (index >= 0 && IsItemEnabled(index) && point != m_ptLastMove) {
        m_ptLastMove = point;
        if (index != m_nUnderMouse) {
            m_nUnderMouse = index;
            TRACKMOUSEEVENT tme = {sizeof tme, TME_HOVER, m_hWnd, 0};
            ::TrackMouseEvent(&tme);
        }
    }
    Default();
    (void)nFlags;
}

LRESULT MenuToolBar::OnMouseHover(WPARAM, LPARAM lParam)
{
    CPoint point((short)LOWORD(lParam), (short)HIWORD(lParam));
    int index = HitTest(point);
    if (index < 0 || !IsItemEnabled(index))
        return 0;
    const MENUITEMINFOA* info = ItemInfo(index);
    if (info->hSubMenu) {
        // Resting on an item with a sub-menu opens it, as a click would.
        CPoint at = m_ptLastMove.x >= 0 ? m_ptLastMove : point;
        SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    } else {
        m_pMenu->DestroySubMenus();
        m_nLastActivated = -1;
    }
    return 0;
}

void MenuToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    int index = HitTest(point);
    if (index < 0 || !IsItemEnabled(index) || index == m_nLastActivated)
        return;
    m_pMenu->DestroySubMenus();
    PostMessage(WM_BMPMENU_CLICK, nFlags, MAKELPARAM(point.x, point.y));
    m_nLastActivated = index;
}

void MenuToolBar::OnLButtonUp(UINT, CPoint) {}
void MenuToolBar::OnLButtonDblClk(UINT, CPoint) {}

LRESULT MenuToolBar::OnClickItem(WPARAM wParam, LPARAM lParam)
{
    CPoint point((short)LOWORD(lParam), (short)HIWORD(lParam));
    int index = HitTest(point);
    if (index < 0 || !IsItemEnabled(index))
        return 0;
    const MENUITEMINFOA* info = ItemInfo(index);
    if (info->hSubMenu) {
        m_pMenu->SendMessage(WM_BMPMENU_OPENSUBMENU, MAKEWPARAM(point.x, point.y),
                             (wParam & kMenuFromKeyboard) ? kTrackFirstHot : 0);
        return 0;
    }
    CWnd* owner = m_pMenu->m_pOwner;
    const UINT id = info->wID;
    if (owner && ::IsWindow(owner->GetSafeHwnd()))
        owner->PostMessage(WM_COMMAND, id, 0);
    m_pMenu->DestroyRootMenu();
    return 0;
}

LRESULT MenuToolBar::OnResetActive(WPARAM, LPARAM)
{
    m_nLastActivated = -1;
    return 0;
}

void MenuToolBar::ClickFromKeyboard(int nIndex)
{
    CRect r;
    GetItemRect(nIndex, &r);
    m_nLastActivated = -1;
    SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | kMenuFromKeyboard, MAKELPARAM(r.left + 1, r.top + 1));
}

void MenuToolBar::StepHot(int nDirection)
{
    const int n = GetCount();
    if (n == 0)
        return;
    int i = GetToolBarCtrl().GetHotItem();
    if (i < 0 || i >= n)
        i = nDirection > 0 ? -1 : n;
    for (int k = 0; k < n; ++k) {
        i = (i + nDirection + n) % n;
        // The bar makes no disabled button hot: greyed items are passed over.
        if (IsItemEnabled(i)) {
            GetToolBarCtrl().SetHotItem(i);
            return;
        }
    }
}

void MenuToolBar::Mnemonic(UINT nChar)
{
    const UINT upper = (UINT)(ULONG_PTR)::CharUpperA((LPSTR)(ULONG_PTR)(nChar & 0xFF));
    std::vector<int> matches;
    for (int i = 0, n = GetCount(); i < n; ++i) {
        const MENUITEMINFOA* info = ItemInfo(i);
        if (!info || !info->dwTypeData)
            continue;
        const char* amp = strchr(info->dwTypeData, '&');
        if (!amp || !amp[1])
            continue;
        const UINT c = (UINT)(ULONG_PTR)::CharUpperA((LPSTR)(ULONG_PTR)(unsigned char)amp[1]);
        if (c == upper)
            matches.push_back(i);
    }
    const int hot = GetToolBarCtrl().GetHotItem();
    if (matches.empty()) {
        CWnd* owner = m_pMenu->m_pOwner;
        if (!owner || !::IsWindow(owner->GetSafeHwnd()))
            return;
        LRESULT r = owner->SendMessage(WM_MENUCHAR, MAKEWPARAM(upper, MF_POPUP), (LPARAM)m_pMenu->m_hMenu);
        if (HIWORD(r) == MNC_CLOSE)
            m_pMenu->DestroyRootMenu();
        else if (HIWORD(r) == MNC_EXECUTE)
            owner->SendMessage(WM_COMMAND, LOWORD(r), 0);
        return;
    }
    if (matches.size() == 1) {
        GetToolBarCtrl().SetHotItem(matches[0]);
        ClickFromKeyboard(matches[0]);
        return;
    }
    int next = matches[0];
    if (hot >= 0) {
        for (int m : matches) {
            if (m > hot) {
                next = m;
                break;
            }
        }
    }
    GetToolBarCtrl().SetHotItem(next);
}

void MenuToolBar::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    switch (nChar) {
    case VK_ESCAPE:
        m_pMenu->DestroyRootMenu();
        return;
    case VK_LEFT:
        // Back one level: the parent closes this menu.
        if (CBmpMenu* parent = m_pMenu->m_pParentMenu) {
            parent->DestroySubMenus();
            if (parent->m_pToolBar)
                parent->m_pToolBar->m_nLastActivated = -1;
        }
        return;
    case VK_RIGHT:
    case VK_RETURN: {
        int hot = GetToolBarCtrl().GetHotItem();
        const MENUITEMINFOA* info = ItemInfo(hot);
        if (info && (info->hSubMenu || nChar == VK_RETURN))
            ClickFromKeyboard(hot);
        return;
    }
    case VK_UP:
    case VK_DOWN:
        StepHot(nChar == VK_DOWN ? 1 : -1);
        return;
    default:
        break;
    }
    Mnemonic(nChar);
    // The menu may have closed meanwhile.
    if (m_hWnd)
        Default();
    (void)nRepCnt;
    (void)nFlags;
}

// ---- CBmpMenu ----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CBmpMenu, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_KEYDOWN()
    ON_WM_SYSKEYDOWN()
    ON_WM_ACTIVATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_BMPMENU_RESETACTIVE, OnResetActive)
    ON_MESSAGE(WM_BMPMENU_OPENSUBMENU, OnOpenSubMenu)
END_MESSAGE_MAP()

CBmpMenu::CBmpMenu(int sideBarWidth, int subMenuSideBar, HBITMAP sideBitmap, int bitmapMode)
    : m_hSideBitmap(sideBitmap && ::GetObjectType(sideBitmap) == OBJ_BITMAP ? sideBitmap : nullptr),
      m_nSubMenuSideBar(subMenuSideBar), m_nBitmapMode(bitmapMode), m_nSideBarWidth(sideBarWidth)
{
}

CBmpMenu::~CBmpMenu()
{
    if (m_pToolBar) {
        m_pToolBar->FreeItems();
        delete m_pToolBar;
        m_pToolBar = nullptr;
    }
    if (m_hWnd)
        DestroyWindow();
    if (m_hMenu)
        ::DestroyMenu(m_hMenu);
}

BOOL CBmpMenu::Attach(HMENU menu)
{
    if (m_hMenu || !menu)
        return FALSE;
    m_hMenu = menu;
    return TRUE;
}

HMENU CBmpMenu::Detach()
{
    HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

BOOL CBmpMenu::LoadMenu(UINT resourceId)
{
    LPCSTR name = MAKEINTRESOURCEA(resourceId);
    HMENU menu = ::LoadMenuA(AfxFindResourceHandle(name, RT_MENU), name);
    if (!menu)
        return FALSE;
    if (m_hMenu)
        ::DestroyMenu(m_hMenu);
    m_hMenu = menu;
    return TRUE;
}

UINT CBmpMenu::EnableMenuItem(UINT id, UINT enable)
{
    return m_hMenu ? ::EnableMenuItem(m_hMenu, id, MF_BYCOMMAND | enable) : static_cast<UINT>(-1);
}

int CBmpMenu::GetHotItem() const
{
    return m_pToolBar && m_pToolBar->m_hWnd ? m_pToolBar->GetToolBarCtrl().GetHotItem() : -1;
}

BOOL CBmpMenu::TrackPopupMenu(UINT, int x, int y, CWnd* owner, CRect* exclude)
{
    if (m_hWnd)
        return FALSE;  // already showing
    if (!m_pParentMenu)
        m_pOwner = owner;
    if (!m_pOwner || !::IsWindow(m_pOwner->GetSafeHwnd()) || !owner || !::IsWindow(owner->GetSafeHwnd()))
        return FALSE;
    m_pOwner->SendMessage(m_pParentMenu ? WM_INITMENUPOPUP : WM_INITMENU, reinterpret_cast<WPARAM>(m_hMenu));

    if (!CreateEx(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT,
                  MenuClass(), "", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER, 0, 0, 0, 0,
                  owner->GetSafeHwnd(), nullptr))
        return FALSE;
    if (m_pParentMenu)
        m_pParentMenu->m_pSubMenu = this;

    m_pToolBar = new MenuToolBar(this);
    m_nItemCount = 0;
    if (m_pToolBar->CreateInMenu() && m_pToolBar->FillFromMenu(m_hMenu)) {
        m_nItemCount = m_pToolBar->GetCount();
        CToolBarCtrl& ctrl = m_pToolBar->GetToolBarCtrl();
        const int width = std::max<int>(ctrl.GetButtonSize().cx, m_pToolBar->TextWidthNeeded()) +
                          ::GetSystemMetrics(SM_CXMENUCHECK);
        ctrl.SetButtonWidth(width, width);
        CRect first, last;
        if (m_nItemCount > 0) {
            m_pToolBar->GetItemRect(0, &first);
            m_pToolBar->GetItemRect(m_nItemCount - 1, &last);
        }
        const int menuHeight = last.bottom - first.top + 6;
        const int menuWidth = first.Width() + m_nSideBarWidth + 6;

        CRect desk;
        ::GetWindowRect(::GetDesktopWindow(), &desk);
        const MenuRect d = {desk.left, desk.top, desk.right, desk.bottom};
        MenuPoint at = {x, y};
        if (exclude) {
            const MenuRect r = {exclude->left, exclude->top, exclude->right, exclude->bottom};
            // Where no place beside the item fits, the top-level rule from
            // the item's corner keeps the menu on the screen at least.
            if (!PlaceSubMenu(d, r, menuWidth, menuHeight, &at))
                at = PlaceTopLevelMenu(d, exclude->right, exclude->top, menuWidth, menuHeight);
        } else {
            at = PlaceTopLevelMenu(d, x, y, menuWidth, menuHeight);
        }
        SetWindowPos(nullptr, at.x, at.y, menuWidth, menuHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        m_pToolBar->SetWindowPos(nullptr, m_nSideBarWidth, 0, first.Width() + 6, menuHeight,
                                 SWP_NOZORDER | SWP_NOACTIVATE);
        m_pToolBar->ShowWindow(SW_SHOWNA);
    }
    ShowWindow(SW_SHOWNA);
    SetFocus();
    if ((m_nTrackFlags & kTrackFirstHot) && m_pToolBar->m_hWnd) {
        m_pToolBar->GetToolBarCtrl().SetHotItem(0);
        m_nTrackFlags &= ~kTrackFirstHot;
    }
    if (::IsWindow(m_pOwner->GetSafeHwnd()))
        m_pOwner->SendMessage(WM_ENTERMENULOOP, reinterpret_cast<WPARAM>(m_hMenu), reinterpret_cast<LPARAM>(m_hWnd));

    // The modal loop: ends when an item is chosen or the chain is closed.
    m_bDone = false;
    MSG msg;
    while (!m_bDone && ::IsWindow(m_hWnd)) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    // Whatever ended the loop, no menu below this one stays open.
    DestroySubMenus();
    if (m_pParentMenu && m_pParentMenu->m_pSubMenu == this)
        m_pParentMenu->m_pSubMenu = nullptr;
    if (m_pToolBar) {
        m_pToolBar->FreeItems();
        if (m_pToolBar->m_hWnd)
            m_pToolBar->DestroyWindow();
        delete m_pToolBar;
        m_pToolBar = nullptr;
    }
    if (m_hWnd)
        DestroyWindow();
    return TRUE;
}

void CBmpMenu::EndLoop()
{
    m_bDone = true;
    // Wake the loop so that it sees the flag.
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void CBmpMenu::DestroySubMenus()
{
    std::vector<CBmpMenu*> chain;
    for (CBmpMenu* m = m_pSubMenu; m; m = m->m_pSubMenu)
        chain.push_back(m);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        (*it)->EndLoop();
}

void CBmpMenu::DestroyRootMenu()
{
    CBmpMenu* root = this;
    while (root->m_pParentMenu)
        root = root->m_pParentMenu;
    root->DestroySubMenus();
    root->EndLoop();
}

BOOL CBmpMenu::OnEraseBkgnd(CDC*) { return TRUE; }

void CBmpMenu::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    ::FillRect(dc.m_hDC, &client, ::GetSysColorBrush(COLOR_MENU));
    if (m_nSideBarWidth <= 0)
        return;
    CRect side(client.left, client.top, client.left + m_nSideBarWidth, client.bottom);
    PaintGradiantRect(&dc, side, CWMOptions::Color1, CWMOptions::Color2, FALSE, TRUE);
    HFONT font = ::CreateFontA(14, 0, 900, 900, 600, TRUE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = ::SelectObject(dc.m_hDC, font);
    COLORREF oldColor = ::SetTextColor(dc.m_hDC, CWMOptions::ColorText1);
    int oldMode = ::SetBkMode(dc.m_hDC, TRANSPARENT);
    CRect text = side;
    text.left += 2;
    ::DrawTextA(dc.m_hDC, m_strTitle, m_strTitle.GetLength(), &text, DT_SINGLELINE | DT_BOTTOM);
    ::SetBkMode(dc.m_hDC, oldMode);
    ::SetTextColor(dc.m_hDC, oldColor);
    ::SelectObject(dc.m_hDC, old);
    ::DeleteObject(font);
}

void CBmpMenu::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    // Keys reach the innermost open menu.
    if (m_pSubMenu && m_pSubMenu->m_hWnd)
        m_pSubMenu->SendMessage(WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
    else if (m_pToolBar && m_pToolBar->m_hWnd)
        m_pToolBar->SendMessage(WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
}

void CBmpMenu::OnSysKeyDown(UINT, UINT, UINT) { DestroyRootMenu(); }

void CBmpMenu::OnActivate(UINT state, CWnd* other, BOOL minimized)
{
    CWnd::OnActivate(state, other, minimized);
    if (state != WA_INACTIVE)
        return;
    // Losing the activation to a window that is not one of our menus closes the chain.
    if (!IsMenuWindow(other ? other->GetSafeHwnd() : nullptr))
        DestroyRootMenu();
}

void CBmpMenu::OnDestroy()
{
    if (m_pOwner && ::IsWindow(m_pOwner->GetSafeHwnd()))
        m_pOwner->SendMessage(WM_EXITMENULOOP, 0, 0);
    if (m_pParentMenu && m_pParentMenu->m_hWnd)
        m_pParentMenu->SetFocus();
    CWnd::OnDestroy();
}

BOOL CBmpMenu::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (m_pOwner && ::IsWindow(m_pOwner->GetSafeHwnd()))
        m_pOwner->PostMessage(WM_COMMAND, wParam, lParam);
    return TRUE;
}

LRESULT CBmpMenu::OnResetActive(WPARAM wParam, LPARAM lParam)
{
    if (m_pToolBar && m_pToolBar->m_hWnd)
        m_pToolBar->SendMessage(WM_BMPMENU_RESETACTIVE, wParam, lParam);
    return 0;
}

LRESULT CBmpMenu::OnOpenSubMenu(WPARAM wParam, LPARAM lParam)
{
    if (!m_pToolBar || !m_pToolBar->m_hWnd)
        return 0;
    CPoint point((short)LOWORD(wParam), (short)HIWORD(wParam));
    int index = m_pToolBar->HitTest(point);
    const MENUITEMINFOA* info = m_pToolBar->ItemInfo(index);
    if (!info || !info->hSubMenu)
        return 0;
    CString title = info->dwTypeData ? info->dwTypeData : "";
    title.Remove('&');
    CRect r;
    m_pToolBar->GetItemRect(index, &r);
    m_pToolBar->ClientToScreen(&r);
    r.left -= m_nSideBarWidth;

    CBmpMenu sub(m_nSubMenuSideBar ? m_nSideBarWidth : 0, m_nSubMenuSideBar,
                 m_nSubMenuSideBar ? m_hSideBitmap : nullptr, m_nBitmapMode);
    sub.SetTitle(title);
    sub.Attach(info->hSubMenu);
    sub.m_nTrackFlags = (int)lParam | kTrackSubMenu;
    sub.m_pOwner = m_pOwner;
    sub.m_pParentMenu = this;
    sub.TrackPopupMenu(0, r.right, r.top, this, &r);
    sub.Detach();
    return 0;
}
