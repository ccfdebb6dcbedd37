// The application bar on a real window under Wine, its shell calls answered
// by our test shell so that reservation, refusal and notifications all run.
#include "appbar.h"
#include "test_shell.h"

#include "fx/msgbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Bar : public CAppBar {
public:
    Bar() : CAppBar(300, nullptr) {}
    void OnAppBarStateChange(BOOL proposed, int state) override { changes.push_back({proposed, state}); }
    std::vector<std::pair<BOOL, int>> changes;
};

class AppBarFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_shell.screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        TestShell::current = &m_shell;
        m_old = SetAppBarShell(&TestShell::Call);
        m_oldBox = AfxSetMessageBoxHook([this](HWND owner, LPCTSTR text, LPCTSTR caption, UINT type) {
            m_boxes.push_back({owner, text, caption, type});
            return IDOK;
        });
    }
    void TearDown() override
    {
        AfxSetMessageBoxHook(m_oldBox);
        SetAppBarShell(m_old);
        TestShell::current = nullptr;
    }

    // A bar docked at `state`, `size` pixels across its edge.
    void Make(Bar& bar, int state, int size, bool autoHide = false, bool onTop = false, int overlap = 0)
    {
        bar.m_dwOptions = APPBAR_ALLOW_TOP_BOTTOM | APPBAR_ALLOW_LEFT_RIGHT | APPBAR_ALLOW_AUTOHIDE |
                          APPBAR_ALLOW_ALWAYSONTOP;
        ASSERT_TRUE(bar.Create(300, nullptr));
        bar.m_nOverlap = overlap;
        CAppBarState s = DefaultAppBarState();
        s.state = state;
        s.autoHide = autoHide;
        s.alwaysOnTop = onTop;
        for (int& d : s.dockSize)
            d = size;
        bar.SetState(&s);
        bar.ShowWindow(SW_SHOWNOACTIVATE);
    }

    static RECT WindowRect(CWnd& w)
    {
        RECT r;
        w.GetWindowRect(&r);
        return r;
    }
    static bool TopMost(CWnd& w) { return (w.GetExStyle() & WS_EX_TOPMOST) != 0; }

    struct Box {
        HWND owner;
        std::string text, caption;
        UINT type;
    };
    TestShell m_shell;
    AppBarShellProc m_old = nullptr;
    AfxMessageBoxHook m_oldBox;
    std::vector<Box> m_boxes;
};

TEST_F(AppBarFixture, DockedBarsReserveTheirStripLessTheOverlap)
{
    const RECT screen = m_shell.screen;
    struct Case {
        int state;
        RECT expectedWindow;
        RECT expectedWork;
    };
    const Case cases[] = {
        {APPBAR_TOP, {0, 0, screen.right, 60}, {0, 52, screen.right, screen.bottom}},
        // The overlap comes off the bottom of the reservation: a bottom bar keeps its strip.
        {APPBAR_BOTTOM, {0, screen.bottom - 60, screen.right, screen.bottom},
         {0, 0, screen.right, screen.bottom - 60}},
        {APPBAR_LEFT, {0, 0, 60, screen.bottom}, {0, 0, screen.right, screen.bottom}},
    };
    for (const Case& c : cases) {
        Bar bar;
        Make(bar, c.state, 60, false, true, 8);
        EXPECT_TRUE(m_shell.Called(ABM_NEW));
        RECT r = WindowRect(bar);
        EXPECT_TRUE(::EqualRect(&r, &c.expectedWindow))
            << c.state << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        if (c.state != APPBAR_LEFT) {
            RECT work = m_shell.WorkArea();
            EXPECT_TRUE(::EqualRect(&work, &c.expectedWork))
                << c.state << ": " << work.left << "," << work.top << "," << work.right << "," << work.bottom;
        }
        EXPECT_TRUE(TopMost(bar));
        EXPECT_EQ(bar.changes.back(), (std::pair<BOOL, int>{FALSE, c.state}));
        bar.DestroyWindow();
        EXPECT_TRUE(m_shell.bars.empty()) << "destruction removes the bar from the shell";
        m_shell.calls.clear();
    }
}

TEST_F(AppBarFixture, AutoHideBarReservesNothingAndSlidesOutAndBack)
{
    Bar bar;
    Make(bar, APPBAR_TOP, 60, true, true, 8);
    RECT work = m_shell.WorkArea();
    EXPECT_TRUE(::EqualRect(&work, &m_shell.screen)) << "an auto-hide bar keeps the work area whole";
    EXPECT_EQ(m_shell.autoHide[APPBAR_TOP], bar.m_hWnd);
    const int strip = 8 + 2 * ::GetSystemMetrics(SM_CYBORDER);
    RECT r = WindowRect(bar);
    EXPECT_EQ(r.bottom, strip) << "hidden: only its strip shows";
    EXPECT_EQ(r.bottom - r.top, 60);
    bar.ShowHiddenBar(TRUE);
    r = WindowRect(bar);
    EXPECT_EQ(r.top, 0);
    EXPECT_TRUE(bar.m_bShown);
    bar.ShowHiddenBar(FALSE);
    EXPECT_EQ(WindowRect(bar).bottom, strip);
    EXPECT_FALSE(bar.m_bShown);

    // Held out while a menu of its user is open.
    bar.ShowHiddenBar(TRUE);
    bar.m_bKeepShown = TRUE;
    bar.SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(WindowRect(bar).top, 0);
    bar.m_bKeepShown = FALSE;
    bar.SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(WindowRect(bar).bottom, strip);
    bar.DestroyWindow();
    EXPECT_EQ(m_shell.autoHide[APPBAR_TOP], nullptr);
}

TEST_F(AppBarFixture, SecondAutoHideBarOnAnEdgeIsRefusedAndDocksNormally)
{
    Bar first, second;
    Make(first, APPBAR_BOTTOM, 40, true);
    second.SetWindowText("Second bar");
    Make(second, APPBAR_BOTTOM, 50, true);
    second.SetWindowText("Second bar");
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, APPBAR_TEXT_AUTOHIDE_TAKEN);
    EXPECT_EQ(m_boxes[0].owner, nullptr);
    EXPECT_EQ(m_boxes[0].type & MB_ICONSTOP, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_FALSE(second.IsAutoHide());
    EXPECT_EQ(m_shell.autoHide[APPBAR_BOTTOM], first.m_hWnd);
    RECT r = WindowRect(second);
    EXPECT_EQ(r.bottom, m_shell.screen.bottom);
    EXPECT_EQ(r.bottom - r.top, 50);
    EXPECT_EQ(m_shell.WorkArea().bottom, m_shell.screen.bottom - 50) << "docked normally, it reserves its strip";
}

TEST_F(AppBarFixture, ShellNotificationsReachTheBar)
{
    Bar bar;
    Make(bar, APPBAR_TOP, 60, false, true);
    ASSERT_TRUE(TopMost(bar));
    // A full-screen application opens: an always-on-top bar goes to the bottom.
    m_shell.Notify(ABN_FULLSCREENAPP, TRUE);
    EXPECT_TRUE(bar.m_bFullScreenApp);
    EXPECT_FALSE(TopMost(bar));
    m_shell.Notify(ABN_FULLSCREENAPP, FALSE);
    EXPECT_TRUE(TopMost(bar));

    // The taskbar turns auto-hide on: the bar follows as far as it may.
    m_shell.taskbarState = ABS_AUTOHIDE;
    m_shell.Notify(ABN_STATECHANGE, 0);
    EXPECT_TRUE(bar.IsAutoHide());
    EXPECT_TRUE(bar.IsAlwaysOnTop()) << "only the bits that changed are taken over";
    EXPECT_EQ(bar.m_dwTaskbarState, static_cast<DWORD>(ABS_AUTOHIDE));
    RECT work = m_shell.WorkArea();
    EXPECT_TRUE(::EqualRect(&work, &m_shell.screen));

    // Another bar reserved a strip above: the position notice docks this one below it.
    m_shell.taskbarState = 0;
    m_shell.Notify(ABN_STATECHANGE, 0);
    ASSERT_FALSE(bar.IsAutoHide());
    HWND other = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    m_shell.bars[other].edge = ABE_TOP;
    m_shell.bars[other].reserved = {0, 0, m_shell.screen.right, 30};
    m_shell.bars[bar.m_hWnd].reserved = {};
    ::SendMessageA(bar.m_hWnd, g_uAppBarNotifyMsg, ABN_POSCHANGED, 0);
    EXPECT_EQ(WindowRect(bar).top, 30);
    EXPECT_EQ(WindowRect(bar).bottom, 90);
    m_shell.bars.erase(other);
    ::DestroyWindow(other);
}

TEST_F(AppBarFixture, ResizingAcrossTheEdgeChangesOnlyThatEdgesSize)
{
    Bar bar;
    Make(bar, APPBAR_TOP, 60);
    bar.m_szIncrement = {1, 60};
    const CAppBarState before = bar.m_barState;
    // A drag that stays on the same edge with a new height.
    bar.SendMessage(WM_ENTERSIZEMOVE);
    bar.SetWindowPos(nullptr, 0, 0, m_shell.screen.right, 75, SWP_NOZORDER | SWP_NOACTIVATE);
    bar.SendMessage(WM_EXITSIZEMOVE);
    EXPECT_EQ(bar.m_barState.dockSize[APPBAR_TOP], 75);
    for (int e : {APPBAR_LEFT, APPBAR_RIGHT, APPBAR_BOTTOM})
        EXPECT_EQ(bar.m_barState.dockSize[e], before.dockSize[e]);
    EXPECT_EQ(bar.m_nProposedState, APPBAR_NONE);
    EXPECT_EQ(WindowRect(bar).bottom, 75);

    // Moving to another edge leaves every dock size as it was.
    const CAppBarState sized = bar.m_barState;
    bar.m_nProposedState = APPBAR_BOTTOM;
    bar.SendMessage(WM_EXITSIZEMOVE);
    EXPECT_EQ(bar.m_barState.state, APPBAR_BOTTOM);
    for (int e = 0; e < 4; ++e)
        EXPECT_EQ(bar.m_barState.dockSize[e], sized.dockSize[e]);
}

TEST_F(AppBarFixture, HitTestsOfADockedBar)
{
    Bar bar;
    Make(bar, APPBAR_TOP, 60);
    RECT w = WindowRect(bar);
    RECT client;
    bar.GetClientRect(&client);
    bar.ClientToScreen(&client);
    const LPARAM below = MAKELPARAM((w.left + w.right) / 2, w.bottom - 1);
    const LPARAM inside = MAKELPARAM((client.left + client.right) / 2, (client.top + client.bottom) / 2);
    // No grid step across the edge: the border does not size.
    bar.m_szIncrement = {1, 0};
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, below), HTBORDER);
    // With a step, the side facing the screen sizes.
    bar.m_szIncrement = {1, 60};
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, below), HTBOTTOM);
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, inside), HTCLIENT) << "no button held: the face is the face";
}

}  // namespace
