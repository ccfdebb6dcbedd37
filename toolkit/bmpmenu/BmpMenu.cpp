#include "BmpMenu.h"

#include "Gradient.h"
#include "menu_placement.h"
#include "options/wmoptions.h"

namespace {
const char kClassName[] = "BitmapMenu";
const int kItemHeight = 20;
const int kSeparatorHeight = 8;

LPCTSTR MenuClass()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        ::GetClassInfoA(nullptr, AfxRegisterWndClass(CS_DBLCLKS | CS_SAVEBITS, ::LoadCursor(nullptr, IDC_ARROW)), &wc);
        wc.lpszClassName = kClassName;
        wc.hInstance = AfxGetInstanceHandle();
        ::RegisterClassA(&wc);
        registered = true;
    }
    return kClassName;
}
}  // namespace

BEGIN_MESSAGE_MAP(CBmpMenu, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_WM_ACTIVATE()
END_MESSAGE_MAP()

CBmpMenu::CBmpMenu(int sideBarWidth, int subMenuSideBar, HBITMAP sideBitmap, int bitmapMode)
    : m_hSideBitmap(sideBitmap && ::GetObjectType(sideBitmap) == OBJ_BITMAP ? sideBitmap : nullptr),
      m_nSubMenuSideBar(subMenuSideBar), m_nBitmapMode(bitmapMode), m_nSideBarWidth(sideBarWidth)
{
}

CBmpMenu::~CBmpMenu()
{
    if (m_hWnd)
        DestroyWindow();
    if (m_hFont)
        ::DeleteObject(m_hFont);
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
    HMENU menu = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId));
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

void CBmpMenu::LoadItems()
{
    m_Items.clear();
    const int count = m_hMenu ? ::GetMenuItemCount(m_hMenu) : 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        char text[260] = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;  // bounded: a long item text is cut
        if (!::GetMenuItemInfoA(m_hMenu, static_cast<UINT>(i), TRUE, &info))
            continue;
        Item item;
        item.id = info.wID;
        item.state = info.fState;
        item.sub = info.hSubMenu;
        item.separator = (info.fType & MFT_SEPARATOR) != 0;
        item.text = item.separator ? CString() : CString(text);
        m_Items.push_back(item);
    }
}

BOOL CBmpMenu::TrackPopupMenu(UINT, int x, int y, CWnd* owner, CRect* exclude)
{
    if (!m_pParentMenu)
        m_pOwner = owner;
    if (!m_pOwner || !::IsWindow(m_pOwner->GetSafeHwnd()))
        return FALSE;
    m_pOwner->SendMessage(m_pParentMenu ? WM_INITMENUPOPUP : WM_INITMENU, reinterpret_cast<WPARAM>(m_hMenu));
    LoadItems();

    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    if (!m_hFont)
        m_hFont = ::CreateFontIndirectA(&ncm.lfMenuFont);

    // Measure the items with the menu font.
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ oldFont = ::SelectObject(dc, m_hFont);
    int width = 80;
    int top = 3;
    const int check = ::GetSystemMetrics(SM_CXMENUCHECK);
    for (Item& item : m_Items) {
        const int h = item.separator ? kSeparatorHeight : kItemHeight;
        SIZE s = {0, 0};
        ::GetTextExtentPoint32A(dc, item.text, item.text.GetLength(), &s);
        width = std::max<int>(width, s.cx + kItemHeight + 2 + 2 * check);
        item.rect = CRect(m_nSideBarWidth, top, 0, top + h);
        top += h;
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(nullptr, dc);
    const int menuWidth = width + m_nSideBarWidth + 6;
    const int menuHeight = top + 3;
    for (Item& item : m_Items)
        item.rect.right = m_nSideBarWidth + width;

    CRect desk;
    ::GetWindowRect(::GetDesktopWindow(), &desk);
    MenuRect d = {desk.left, desk.top, desk.right, desk.bottom};
    MenuPoint at = {x, y};
    if (exclude) {
        MenuRect r = {exclude->left, exclude->top, exclude->right, exclude->bottom};
        PlaceSubMenu(d, r, menuWidth, menuHeight, &at);
    } else {
        at = PlaceTopLevelMenu(d, x, y, menuWidth, menuHeight);
    }
    HWND parent = m_pParentMenu ? m_pParentMenu->m_hWnd : m_pOwner->GetSafeHwnd();
    if (!CreateEx(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE, MenuClass(), "",
                  WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER, at.x, at.y, menuWidth, menuHeight,
                  parent, nullptr))
        return FALSE;
    if (m_pParentMenu)
        m_pParentMenu->m_pSubMenu = this;
    ShowWindow(SW_SHOWNA);
    SetFocus();
    if (m_nTrackFlags & 0x100) {
        SetHot(0);
        m_nTrackFlags &= ~0x100;
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
    if (m_pParentMenu && m_pParentMenu->m_pSubMenu == this)
        m_pParentMenu->m_pSubMenu = nullptr;
    if (m_hWnd) {
        if (::IsWindow(m_pOwner->GetSafeHwnd()))
            m_pOwner->SendMessage(WM_EXITMENULOOP, 0, 0);
        DestroyWindow();
    }
    if (m_pParentMenu && m_pParentMenu->m_hWnd)
        m_pParentMenu->SetFocus();
    return TRUE;
}

void CBmpMenu::Close() { m_bDone = true; }

void CBmpMenu::DestroyRootMenu()
{
    CBmpMenu* root = this;
    while (root->m_pParentMenu)
        root = root->m_pParentMenu;
    for (CBmpMenu* m = root; m; m = m->m_pSubMenu)
        m->Close();
    // Wake the innermost loop so every loop sees its flag.
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

int CBmpMenu::ItemAt(CPoint point) const
{
    for (size_t i = 0; i < m_Items.size(); ++i)
        if (!m_Items[i].separator && m_Items[i].rect.PtInRect(point))
            return static_cast<int>(i);
    return -1;
}

void CBmpMenu::SetHot(int index)
{
    if (index == m_nHot)
        return;
    m_nHot = index;
    if (index >= 0 && static_cast<size_t>(index) < m_Items.size() && m_pOwner) {
        const Item& item = m_Items[static_cast<size_t>(index)];
        const WPARAM w = item.sub ? MAKEWPARAM(index, MF_POPUP) : MAKEWPARAM(item.id, item.state);
        m_pOwner->SendMessage(WM_MENUSELECT, w, reinterpret_cast<LPARAM>(m_hMenu));
    }
    Invalidate(FALSE);
}

void CBmpMenu::Choose(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_Items.size())
        return;
    const Item& item = m_Items[static_cast<size_t>(index)];
    if (item.separator || (item.state & (MFS_GRAYED | MFS_DISABLED)))
        return;
    if (item.sub) {
        CBmpMenu sub(m_nSubMenuSideBar ? m_nSideBarWidth : 0, m_nSubMenuSideBar,
                     m_nSubMenuSideBar ? m_hSideBitmap : nullptr, m_nBitmapMode);
        CString title = item.text;
        title.Remove('&');
        sub.SetTitle(title);
        sub.m_hMenu = item.sub;
        sub.m_pOwner = m_pOwner;
        sub.m_pParentMenu = this;
        sub.m_nTrackFlags = 1;
        CRect r = item.rect;
        r.left -= m_nSideBarWidth;
        ClientToScreen(&r);
        sub.TrackPopupMenu(0, r.right, r.top, m_pOwner, &r);
        sub.Detach();
        return;
    }
    CWnd* owner = m_pOwner;
    const UINT id = item.id;
    DestroyRootMenu();
    owner->PostMessage(WM_COMMAND, id);
}

BOOL CBmpMenu::OnEraseBkgnd(CDC*) { return TRUE; }

void CBmpMenu::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    ::FillRect(dc.m_hDC, &client, ::GetSysColorBrush(COLOR_MENU));
    if (m_nSideBarWidth > 0) {
        CRect side(client.left, client.top, client.left + m_nSideBarWidth, client.bottom);
        PaintGradiantRect(&dc, side, CWMOptions::Color1, CWMOptions::Color2, FALSE, TRUE);
        HFONT font = ::CreateFontA(14, 0, 900, 900, 600, TRUE, FALSE, FALSE, 0, 0, 0, 0, 0, "Arial");
        HGDIOBJ old = ::SelectObject(dc.m_hDC, font);
        COLORREF oldColor = ::SetTextColor(dc.m_hDC, CWMOptions::ColorText1);
        ::SetBkMode(dc.m_hDC, TRANSPARENT);
        ::TextOutA(dc.m_hDC, side.left + 2, side.bottom - 4, m_strTitle, m_strTitle.GetLength());
        ::SetTextColor(dc.m_hDC, oldColor);
        ::SelectObject(dc.m_hDC, old);
        ::DeleteObject(font);
    }
    HGDIOBJ oldFont = ::SelectObject(dc.m_hDC, m_hFont);
    ::SetBkMode(dc.m_hDC, TRANSPARENT);
    for (size_t i = 0; i < m_Items.size(); ++i) {
        const Item& item = m_Items[i];
        CRect r = item.rect;
        r.left += 1;
        if (item.separator) {
            CRect line(r.left + 2, r.top + r.Height() / 2 - 1, r.right - 2, r.top + r.Height() / 2 + 1);
            ::DrawEdge(dc.m_hDC, &line, EDGE_ETCHED, BF_TOP);
            continue;
        }
        const bool hot = static_cast<int>(i) == m_nHot;
        const bool grey = (item.state & (MFS_GRAYED | MFS_DISABLED)) != 0;
        ::FillRect(dc.m_hDC, &r, ::GetSysColorBrush(hot ? COLOR_HIGHLIGHT : COLOR_MENU));
        CRect text = r;
        text.left += r.Height() + 2;
        if (grey && !hot) {
            CRect shadow = text;
            shadow.OffsetRect(1, 1);
            ::SetTextColor(dc.m_hDC, ::GetSysColor(COLOR_3DHILIGHT));
            ::DrawTextA(dc.m_hDC, item.text, -1, &shadow, DT_SINGLELINE | DT_VCENTER);
        }
        ::SetTextColor(dc.m_hDC, ::GetSysColor(grey ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        ::DrawTextA(dc.m_hDC, item.text, -1, &text, DT_SINGLELINE | DT_VCENTER);
        if (item.state & MFS_CHECKED) {
            CRect box(r.left + 2, r.top + 2, r.left + r.Height() - 2, r.bottom - 2);
            ::DrawFrameControl(dc.m_hDC, &box, DFC_MENU, DFCS_MENUCHECK);
        }
        if (item.sub) {
            CRect box(r.right - r.Height(), r.top, r.right, r.bottom);
            ::DrawFrameControl(dc.m_hDC, &box, DFC_MENU, DFCS_MENUARROW);
        }
    }
    ::SelectObject(dc.m_hDC, oldFont);
}

void CBmpMenu::OnMouseMove(UINT, CPoint point)
{
    const int index = ItemAt(point);
    if (index >= 0)
        SetHot(index);
}

void CBmpMenu::OnLButtonUp(UINT, CPoint point)
{
    const int index = ItemAt(point);
    if (index >= 0)
        Choose(index);
}

void CBmpMenu::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (m_pSubMenu && m_pSubMenu->m_hWnd) {
        m_pSubMenu->SendMessage(WM_KEYDOWN, key, 0);
        return;
    }
    const int count = static_cast<int>(m_Items.size());
    auto step = [&](int dir) {
        if (count == 0)
            return;
        int i = m_nHot;
        for (int n = 0; n < count; ++n) {
            i = (i + dir + count) % count;
            if (!m_Items[static_cast<size_t>(i)].separator) {
                SetHot(i);
                return;
            }
        }
    };
    switch (key) {
    case VK_ESCAPE:
        DestroyRootMenu();
        return;
    case VK_LEFT:
        if (m_pParentMenu)
            Close();
        return;
    case VK_DOWN:
        step(1);
        return;
    case VK_UP:
        step(-1);
        return;
    case VK_RIGHT:
        if (m_nHot >= 0 && m_Items[static_cast<size_t>(m_nHot)].sub)
            Choose(m_nHot);
        return;
    case VK_RETURN:
        Choose(m_nHot);
        return;
    default:
        break;
    }
    // Mnemonics: the item whose text has "&" before the key's letter.
    const char upper = static_cast<char>(::toupper(static_cast<int>(key)));
    std::vector<int> matches;
    for (int i = 0; i < count; ++i) {
        const CString& t = m_Items[static_cast<size_t>(i)].text;
        const int amp = t.Find('&');
        if (amp >= 0 && amp + 1 < t.GetLength() && ::toupper(static_cast<unsigned char>(t[amp + 1])) == upper)
            matches.push_back(i);
    }
    if (matches.size() == 1) {
        SetHot(matches[0]);
        Choose(matches[0]);
    } else if (matches.size() > 1) {
        int next = matches[0];
        for (int m : matches)
            if (m > m_nHot) {
                next = m;
                break;
            }
        SetHot(next);
    } else if (m_pOwner) {
        LRESULT r = m_pOwner->SendMessage(WM_MENUCHAR, MAKEWPARAM(upper, MF_POPUP), reinterpret_cast<LPARAM>(m_hMenu));
        if (HIWORD(r) == 1)
            DestroyRootMenu();
        else if (HIWORD(r) == 2)
            m_pOwner->SendMessage(WM_COMMAND, LOWORD(r));
    }
    (void)repeat;
    (void)flags;
}

void CBmpMenu::OnActivate(UINT state, CWnd* other, BOOL minimized)
{
    CWnd::OnActivate(state, other, minimized);
    if (state != WA_INACTIVE)
        return;
    // Losing the focus to another window that is not one of our menus closes the chain.
    HWND to = other ? other->GetSafeHwnd() : nullptr;
    char cls[32] = {};
    if (to)
        ::GetClassNameA(to, cls, sizeof cls);
    if (!to || lstrcmpA(cls, kClassName) != 0)
        DestroyRootMenu();
}
