// The bitmap menu on real windows: it tells its owner the menu protocol,
// keys move the hot item past separators and greyed items are not chosen,
// Return and mnemonics send the command to the owner, Escape closes it.
#include "BmpMenu.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "testsupport/win_wait.h"

namespace {

class Owner : public CWnd {
public:
    Owner()
    {
        CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                 nullptr);
    }
    ~Owner() override
    {
        if (m_hWnd)
            DestroyWindow();
    }
    std::vector<UINT> messages;
    std::vector<UINT> commands;
    std::vector<std::pair<UINT, UINT>> selects;  // WM_MENUSELECT: (low, high word)
    std::vector<UINT> menuChars;
    LRESULT menuCharAnswer = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
    {
        if (msg == WM_INITMENU || msg == WM_INITMENUPOPUP || msg == WM_ENTERMENULOOP || msg == WM_EXITMENULOOP)
            messages.push_back(msg);
        if (msg == WM_COMMAND)
            commands.push_back(LOWORD(w));
        if (msg == WM_MENUSELECT)
            selects.emplace_back(LOWORD(w), HIWORD(w));
        if (msg == WM_MENUCHAR) {
            menuChars.push_back(LOWORD(w));
            return menuCharAnswer;
        }
        return CWnd::WindowProc(msg, w, l);
    }
};

// The open menu windows of a thread, outermost first (defined below).
std::vector<HWND> MenuChain(DWORD thread);

// Bounds a menu the test runs modally on this thread: a key that never
// arrived fails the test after a while and closes the whole chain, instead
// of leaving the menu waiting for ever.
testsupport::ModalWatchdog MenuWatchdog(CBmpMenu& menu, const char* what)
{
    return testsupport::ModalWatchdog(what, testsupport::kModalLoopMs, [&menu] { menu.DestroyRootMenu(); });
}

// Types keys into this thread's menu window once it is up (the menu runs
// modally on this thread; keys posted before it exists would be lost).
std::unique_ptr<testsupport::ScriptThread> TypeLater(std::vector<UINT> keys)
{
    const DWORD thread = ::GetCurrentThreadId();
    return std::make_unique<testsupport::ScriptThread>([thread, keys] {
        HWND menu = nullptr;
        if (!testsupport::WaitUntil([&] {
                std::vector<HWND> chain = MenuChain(thread);
                menu = chain.empty() ? nullptr : chain.front();
                return menu != nullptr;
            }))
            return;  // the menu's watchdog says what was missing
        for (UINT k : keys)
            ::PostMessageA(menu, WM_KEYDOWN, k, 0);
    });
}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
}

BOOL CALLBACK CollectMenuWindow(HWND h, LPARAM l)
{
    char cls[32] = {};
    ::GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpA(cls, "BitmapMenu") == 0 && ::IsWindowVisible(h))
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
    return TRUE;
}

// The open menu windows of a thread, outermost first: each further one is
// owned by the one before. Only this test's own thread is looked at: other
// test programs share the display.
std::vector<HWND> MenuChain(DWORD thread)
{
    std::vector<HWND> all;
    ::EnumThreadWindows(thread, CollectMenuWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> chain;
    HWND owner = nullptr;
    for (size_t depth = 0; depth < all.size(); ++depth) {
        HWND next = nullptr;
        for (HWND h : all) {
            HWND o = ::GetWindow(h, GW_OWNER);
            bool ownedByMenu = std::find(all.begin(), all.end(), o) != all.end();
            if (owner ? o == owner : !ownedByMenu)
                next = h;
        }
        if (!next)
            break;
        chain.push_back(next);
        owner = next;
    }
    return chain;
}

bool WaitFor(const std::function<bool()>& pred) { return testsupport::WaitUntil(pred); }

HWND ItemBar(HWND menu) { return ::FindWindowExA(menu, nullptr, TOOLBARCLASSNAMEA, nullptr); }

CRect ItemRect(HWND menu, int index)
{
    CRect r;
    ::SendMessageA(ItemBar(menu), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

int HotItem(HWND menu) { return static_cast<int>(::SendMessageA(ItemBar(menu), TB_GETHOTITEM, 0, 0)); }

void Key(HWND menu, UINT key)
{
    ::SendMessageA(menu, WM_KEYDOWN, key, 0);
    ::RedrawWindow(ItemBar(menu), nullptr, nullptr, RDW_UPDATENOW);
}

// Runs script on its own thread while the menu runs modally on this one;
// whatever the script leaves open is closed with Escape, and a menu still
// open after that is closed by the watchdog.
void RunMenu(CBmpMenu& menu, Owner& owner, const std::function<void(DWORD)>& script)
{
    const DWORD thread = ::GetCurrentThreadId();
    testsupport::ScriptThread t([&] {
        if (WaitFor([&] { return MenuChain(thread).size() == 1; }))
            script(thread);
        else
            ADD_FAILURE() << "the menu never opened on the test's thread";
        for (int i = 0; i < 3; ++i) {
            std::vector<HWND> chain = MenuChain(thread);
            if (chain.empty())
                break;
            ::PostMessageA(chain.front(), WM_KEYDOWN, VK_ESCAPE, 0);
            WaitFor([&] { return MenuChain(thread).empty(); });
        }
    });
    {
        auto watchdog = MenuWatchdog(menu, "the scripted menu to close");
        EXPECT_TRUE(menu.TrackPopupMenu(0, 100, 100, &owner));
    }
    t.Join();
    Pump();
}

// Pixels of a rectangle of the window that differ from colour.
int PixelsOtherThan(HWND hwnd, const CRect& r, COLORREF colour)
{
    HDC dc = ::GetDC(hwnd);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (::GetPixel(dc, x, y) != colour)
                ++n;
    ::ReleaseDC(hwnd, dc);
    return n;
}

struct LoadedMenu {
    CBmpMenu menu{24, 1, nullptr, 1};
    HMENU bar = nullptr;
    explicit LoadedMenu(UINT id)
    {
        if (menu.LoadMenu(id)) {
            bar = menu.Detach();
            menu.Attach(::GetSubMenu(bar, 0));
        }
    }
    ~LoadedMenu()
    {
        menu.Detach();
        if (bar)
            ::DestroyMenu(bar);
    }
};

}  // namespace

TEST(BmpMenu, KeysChooseAnEnabledItemAndTheOwnerGetsTheCommand)
{
    Owner owner;
    CBmpMenu menu(24, 1, nullptr, 1);
    ASSERT_TRUE(menu.LoadMenu(300));
    HMENU popup = ::GetSubMenu(menu.Detach(), 0);
    ASSERT_TRUE(menu.Attach(popup));
    menu.SetTitle("Vindalex");
    menu.EnableMenuItem(32783, MF_GRAYED);
    // The mnemonic of the greyed Deactivate chooses nothing; Down from
    // nothing passes the greyed title to Console, then Activate, then past
    // the greyed Deactivate to Exit; Up, Return.
    auto keys = TypeLater({'D', VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_RETURN});
    {
        auto watchdog = MenuWatchdog(menu, "the typed keys to choose Activate");
        ASSERT_TRUE(menu.TrackPopupMenu(0, 100, 100, &owner));
    }
    keys->Join();
    Pump();
    EXPECT_EQ(menu.GetItemCount(), 6);
    ASSERT_EQ(owner.commands, std::vector<UINT>{32782});
    ASSERT_GE(owner.messages.size(), 3u);
    EXPECT_EQ(owner.messages.front(), static_cast<UINT>(WM_INITMENU));
    EXPECT_EQ(owner.messages[1], static_cast<UINT>(WM_ENTERMENULOOP));
    EXPECT_EQ(owner.messages.back(), static_cast<UINT>(WM_EXITMENULOOP));
    EXPECT_TRUE(MenuChain(::GetCurrentThreadId()).empty());
}

TEST(BmpMenu, MnemonicChoosesAndEscapeCloses)
{
    Owner owner;
    CBmpMenu menu(24, 1, nullptr, 1);
    ASSERT_TRUE(menu.LoadMenu(300));
    HMENU bar = menu.Detach();
    menu.Attach(::GetSubMenu(bar, 0));
    auto keys = TypeLater({'X'});
    {
        auto watchdog = MenuWatchdog(menu, "the mnemonic X to choose Exit");
        ASSERT_TRUE(menu.TrackPopupMenu(0, 50, 50, &owner));
    }
    keys->Join();
    Pump();
    EXPECT_EQ(owner.commands, std::vector<UINT>{57665});

    owner.commands.clear();
    keys = TypeLater({VK_ESCAPE});
    {
        auto watchdog = MenuWatchdog(menu, "Escape to close the menu");
        ASSERT_TRUE(menu.TrackPopupMenu(0, 50, 50, &owner));
    }
    keys->Join();
    Pump();
    EXPECT_TRUE(owner.commands.empty());
    menu.Detach();
    ::DestroyMenu(bar);

    CBmpMenu noOwner;
    EXPECT_FALSE(noOwner.TrackPopupMenu(0, 0, 0, nullptr));
}

TEST(BmpMenu, SubMenuOpensOnClickOrHoverAndClosesOnLeftOrAPlainItem)
{
    enum How { kClick, kHover };
    for (How how : {kClick, kHover}) {
        SCOPED_TRACE(how == kClick ? "click" : "hover");
        Owner owner;
        LoadedMenu m(302);
        ASSERT_TRUE(m.bar);
        struct {
            size_t opened = 0, afterLeft = 0, reopened = 0, afterPlain = 0;
            int subItems = 0;
            CString title;
            CRect item, sub;
        } seen;
        RunMenu(m.menu, owner, [&](DWORD thread) {
            HWND root = MenuChain(thread)[0];
            HWND bar = ItemBar(root);
            auto open = [&] {
                CPoint c = ItemRect(root, 0).CenterPoint();
                if (how == kClick) {
                    ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
                } else {
                    ::SendMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
                    ::SendMessageA(bar, WM_MOUSEHOVER, 0, MAKELPARAM(c.x, c.y));
                }
                WaitFor([&] { return MenuChain(thread).size() == 2; });
            };
            open();
            std::vector<HWND> chain = MenuChain(thread);
            seen.opened = chain.size();
            if (chain.size() == 2) {
                seen.subItems = static_cast<int>(::SendMessageA(ItemBar(chain[1]), TB_BUTTONCOUNT, 0, 0));
                if (CBmpMenu* sub = m.menu.GetOpenSubMenu())
                    seen.title = sub->GetTitle();
                seen.item = ItemRect(root, 0);
                ::MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&seen.item), 2);
                ::GetWindowRect(chain[1], &seen.sub);
            }
            Key(root, VK_LEFT);
            WaitFor([&] { return MenuChain(thread).size() == 1; });
            seen.afterLeft = MenuChain(thread).size();

            // After Left the same item opens again; resting on a plain item closes it.
            open();
            seen.reopened = MenuChain(thread).size();
            CPoint plain = ItemRect(root, 3).CenterPoint();
            ::SendMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(plain.x, plain.y));
            ::SendMessageA(bar, WM_MOUSEHOVER, 0, MAKELPARAM(plain.x, plain.y));
            WaitFor([&] { return MenuChain(thread).size() == 1; });
            seen.afterPlain = MenuChain(thread).size();
        });
        EXPECT_EQ(seen.opened, 2u);
        EXPECT_EQ(seen.subItems, 2);
        EXPECT_EQ(seen.title, CString("File")) << "the item text without its ampersand";
        EXPECT_EQ(seen.sub.left, seen.item.right) << "beside its item, to the right";
        EXPECT_EQ(seen.sub.top, seen.item.top);
        EXPECT_EQ(seen.afterLeft, 1u);
        EXPECT_EQ(seen.reopened, 2u);
        EXPECT_EQ(seen.afterPlain, 1u);
        EXPECT_TRUE(owner.commands.empty());
        EXPECT_NE(std::find(owner.messages.begin(), owner.messages.end(), static_cast<UINT>(WM_INITMENUPOPUP)),
                  owner.messages.end());
        EXPECT_TRUE(MenuChain(::GetCurrentThreadId()).empty());
    }
}

TEST(BmpMenu, RightOpensTheSubMenuReturnChoosesEscapeClosesAll)
{
    const struct {
        const char* what;
        std::vector<UINT> keysInSubMenu;
        std::vector<UINT> commands;
    } cases[] = {
        {"Down, Return in the sub-menu", {VK_DOWN, VK_RETURN}, {40021}},
        {"Return on the first item", {VK_RETURN}, {40020}},
        {"Escape", {VK_ESCAPE}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Owner owner;
        LoadedMenu m(302);
        ASSERT_TRUE(m.bar);
        int subHot = -2;
        size_t opened = 0;
        RunMenu(m.menu, owner, [&](DWORD thread) {
            HWND root = MenuChain(thread)[0];
            Key(root, VK_DOWN);  // File
            Key(root, VK_RIGHT);
            WaitFor([&] { return MenuChain(thread).size() == 2; });
            opened = MenuChain(thread).size();
            if (opened == 2)
                subHot = HotItem(MenuChain(thread)[1]);
            for (UINT k : c.keysInSubMenu)
                Key(root, k);  // the root passes them to the innermost menu
            WaitFor([&] { return MenuChain(thread).empty(); });
        });
        EXPECT_EQ(opened, 2u);
        EXPECT_EQ(subHot, 0) << "a sub-menu opened by a key starts on its first item";
        EXPECT_EQ(owner.commands, c.commands);
        EXPECT_TRUE(MenuChain(::GetCurrentThreadId()).empty()) << "the whole chain closed";
        ASSERT_FALSE(owner.selects.empty());
        EXPECT_EQ(owner.selects.front(), std::make_pair(0u, static_cast<UINT>(MF_POPUP)))
            << "an item with a sub-menu is reported by position";
    }
}

TEST(BmpMenu, MnemonicsMoveAmongSeveralMatchesAndRunASingleOne)
{
    Owner owner;
    LoadedMenu m(301);
    ASSERT_TRUE(m.bar);
    owner.menuCharAnswer = 0;
    std::vector<int> hots;
    std::vector<size_t> open;
    RunMenu(m.menu, owner, [&](DWORD thread) {
        HWND root = MenuChain(thread)[0];
        for (UINT k : {'O', 'O', 'O', 'Z'}) {
            Key(root, k);
            hots.push_back(HotItem(root));
        }
        Key(root, 'X');
        WaitFor([&] { return MenuChain(thread).empty(); });
    });
    // O, O, O: Open, Options, Open again; Z matches nothing and asks the owner.
    EXPECT_EQ(hots, (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(owner.menuChars, std::vector<UINT>{'Z'});
    EXPECT_EQ(owner.commands, std::vector<UINT>{40003}) << "X: the one match runs at once";
    // The owner heard of each new hot item as it was drawn.
    ASSERT_GE(owner.selects.size(), 3u);
    EXPECT_EQ(owner.selects[0].first, 40001u);
    EXPECT_EQ(owner.selects[1].first, 40002u);
    EXPECT_EQ(owner.selects[2].first, 40001u);

    // The owner's answer to WM_MENUCHAR: close the menu.
    Owner closing;
    closing.menuCharAnswer = MAKELRESULT(0, MNC_CLOSE);
    size_t left = 9;
    RunMenu(m.menu, closing, [&](DWORD thread) {
        Key(MenuChain(thread)[0], 'Q');
        WaitFor([&] { return MenuChain(thread).empty(); });
        left = MenuChain(thread).size();
    });
    EXPECT_EQ(left, 0u);
    EXPECT_TRUE(closing.commands.empty());
}

TEST(BmpMenu, CheckedItemShowsItsCheckAndSubMenuItemsTheirArrow)
{
    Owner owner;
    LoadedMenu m(302);
    ASSERT_TRUE(m.bar);
    int checkedSquare = -1, plainSquare = -1, arrow = -1, plainRight = -1;
    RunMenu(m.menu, owner, [&](DWORD thread) {
        HWND root = MenuChain(thread)[0];
        HWND bar = ItemBar(root);
        ::RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const COLORREF menu = ::GetSysColor(COLOR_MENU);
        auto square = [&](int index) {
            CRect r = ItemRect(root, index);
            return CRect(r.left + 1, r.top, r.left + 1 + r.Height(), r.bottom);
        };
        auto rightEnd = [&](int index) {
            CRect r = ItemRect(root, index);
            const int c = ::GetSystemMetrics(SM_CXMENUCHECK);
            return CRect(r.right - c, r.top, r.right, r.bottom);
        };
        checkedSquare = PixelsOtherThan(bar, square(2), menu);
        plainSquare = PixelsOtherThan(bar, square(3), menu);
        arrow = PixelsOtherThan(bar, rightEnd(0), menu);
        plainRight = PixelsOtherThan(bar, rightEnd(3), menu);
    });
    EXPECT_GT(checkedSquare, 10);
    EXPECT_EQ(plainSquare, 0);
    EXPECT_GT(arrow, 3);
    EXPECT_EQ(plainRight, 0);
}

TEST(BmpMenu, GreyedItemsIgnoreClicksAndHovering)
{
    Owner owner;
    LoadedMenu m(302);
    ASSERT_TRUE(m.bar);
    m.menu.EnableMenuItem(40023, MF_GRAYED);
    size_t withSub = 0, afterGreyHover = 0;
    RunMenu(m.menu, owner, [&](DWORD thread) {
        HWND root = MenuChain(thread)[0];
        HWND bar = ItemBar(root);
        auto at = [&](int index) {
            CPoint c = ItemRect(root, index).CenterPoint();
            return MAKELPARAM(c.x, c.y);
        };
        ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at(0));
        WaitFor([&] { return MenuChain(thread).size() == 2; });
        withSub = MenuChain(thread).size();
        // Resting on the greyed item leaves the open sub-menu alone, and
        // clicking it chooses nothing.
        ::SendMessageA(bar, WM_MOUSEMOVE, 0, at(3));
        ::SendMessageA(bar, WM_MOUSEHOVER, 0, at(3));
        ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at(3));
        ::SendMessageA(bar, WM_LBUTTONUP, 0, at(3));
        afterGreyHover = MenuChain(thread).size();
        // A click on an enabled item still works afterwards and is the only command.
        ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at(2));
        WaitFor([&] { return MenuChain(thread).empty(); });
    });
    EXPECT_EQ(withSub, 2u);
    EXPECT_EQ(afterGreyHover, 2u);
    EXPECT_EQ(owner.commands, std::vector<UINT>{40022});
}

TEST(BmpMenu, SeparatorsAndTheStripBelowTheLastItemShowTheMenuColour)
{
    Owner owner;
    LoadedMenu m(302);
    ASSERT_TRUE(m.bar);
    int blackInSeparator = -1, blackBelowItems = -1, separatorPixels = 0, belowPixels = 0;
    RunMenu(m.menu, owner, [&](DWORD thread) {
        HWND root = MenuChain(thread)[0];
        HWND bar = ItemBar(root);
        ::RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        // Only what shows: the item bar within the menu window's client area.
        CRect shown;
        ::GetClientRect(root, &shown);
        ::MapWindowPoints(root, bar, reinterpret_cast<POINT*>(&shown), 2);
        CRect client;
        ::GetClientRect(bar, &client);
        shown &= client;
        // Black is what an unerased bar shows (the menu text is not in these parts).
        auto blackIn = [&](CRect r) {
            r &= shown;
            return r.IsRectEmpty() ? 0 : r.Width() * r.Height() - PixelsOtherThan(bar, r, RGB(0, 0, 0));
        };
        // The separator's band: between the item above it and the one below.
        CRect separator(shown.left, ItemRect(root, 0).bottom, shown.right, ItemRect(root, 2).top);
        separator &= shown;
        separatorPixels = separator.Width() * separator.Height();
        blackInSeparator = blackIn(separator);
        CRect below(shown.left, ItemRect(root, 3).bottom, shown.right, shown.bottom);
        below &= shown;
        belowPixels = below.Width() * below.Height();
        blackBelowItems = blackIn(below);
    });
    EXPECT_GT(separatorPixels, 0);
    EXPECT_GT(belowPixels, 0);
    EXPECT_EQ(blackInSeparator, 0);
    EXPECT_EQ(blackBelowItems, 0);
}
