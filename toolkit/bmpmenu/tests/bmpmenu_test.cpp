// The bitmap menu on real windows: it tells its owner the menu protocol,
// keys move the hot item past separators and greyed items are not chosen,
// Return and mnemonics send the command to the owner, Escape closes it.
#include "BmpMenu.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

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

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
    {
        if (msg == WM_INITMENU || msg == WM_ENTERMENULOOP || msg == WM_EXITMENULOOP)
            messages.push_back(msg);
        if (msg == WM_COMMAND)
            commands.push_back(LOWORD(w));
        return CWnd::WindowProc(msg, w, l);
    }
};

// Types keys into the menu window once it is up (the menu runs modally on
// the test's thread).
void TypeLater(std::vector<UINT> keys)
{
    std::thread([keys] {
        HWND menu = nullptr;
        for (int i = 0; i < 500 && !menu; ++i) {
            menu = ::FindWindowA("BitmapMenu", nullptr);
            if (!menu)
                ::Sleep(10);
        }
        for (UINT k : keys)
            ::PostMessageA(menu, WM_KEYDOWN, k, 0);
    }).detach();
}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
}

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
    TypeLater({'D', VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_RETURN});
    ASSERT_TRUE(menu.TrackPopupMenu(0, 100, 100, &owner));
    Pump();
    EXPECT_EQ(menu.GetItemCount(), 6);
    ASSERT_EQ(owner.commands, std::vector<UINT>{32782});
    ASSERT_GE(owner.messages.size(), 3u);
    EXPECT_EQ(owner.messages.front(), static_cast<UINT>(WM_INITMENU));
    EXPECT_EQ(owner.messages[1], static_cast<UINT>(WM_ENTERMENULOOP));
    EXPECT_EQ(owner.messages.back(), static_cast<UINT>(WM_EXITMENULOOP));
    EXPECT_FALSE(::FindWindowA("BitmapMenu", nullptr));
}

TEST(BmpMenu, MnemonicChoosesAndEscapeCloses)
{
    Owner owner;
    CBmpMenu menu(24, 1, nullptr, 1);
    ASSERT_TRUE(menu.LoadMenu(300));
    HMENU bar = menu.Detach();
    menu.Attach(::GetSubMenu(bar, 0));
    TypeLater({'X'});
    ASSERT_TRUE(menu.TrackPopupMenu(0, 50, 50, &owner));
    Pump();
    EXPECT_EQ(owner.commands, std::vector<UINT>{57665});

    owner.commands.clear();
    TypeLater({VK_ESCAPE});
    ASSERT_TRUE(menu.TrackPopupMenu(0, 50, 50, &owner));
    Pump();
    EXPECT_TRUE(owner.commands.empty());
    menu.Detach();
    ::DestroyMenu(bar);

    CBmpMenu noOwner;
    EXPECT_FALSE(noOwner.TrackPopupMenu(0, 0, 0, nullptr));
}
