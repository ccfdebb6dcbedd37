// The window manager with real windows under the test display.
#include "options/wmoptions.h"
#include "winmgr/winmgr.h"

#include "winmgr/tests/options_key_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

const UINT kPing = WM_APP + 7;

int g_sleepCalls = 0;
DWORD g_sleptMs = 0;
void (*g_onSleep)(int call) = nullptr;

void CountingSleep(DWORD ms)
{
    ++g_sleepCalls;
    g_sleptMs += ms;
    if (g_onSleep)
        g_onSleep(g_sleepCalls);
}

// A plain top-level window that counts what it receives and reports its deletion.
class ProbeWnd : public CWnd {
public:
    explicit ProbeWnd(int* deleted = nullptr, bool throws = false) : m_deleted(deleted), m_throws(throws) {}
    ~ProbeWnd() override
    {
        if (m_deleted)
            ++*m_deleted;
    }
    BOOL CreateHidden(int x, int y)
    {
        return CreateEx(0, AfxDefaultWndClass(), "probe", WS_OVERLAPPEDWINDOW, x, y, 200, 120, nullptr, nullptr);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kPing) {
            ++pings;
            if (m_throws)
                throw std::runtime_error("probe fails on purpose");
            return 1;
        }
        if (message == WM_CLOSE)
            ++closes;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int pings = 0;
    int closes = 0;

private:
    int* m_deleted;
    bool m_throws;
};

class WindowMgrTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CWMOptions options;
        options.Init();
        m_anim = CWMOptions::m_bShowAnim;
        CWMOptions::m_bShowAnim = 0;
        g_sleepCalls = 0;
        g_sleptMs = 0;
        g_onSleep = nullptr;
        m_oldSleep = CZLMWindowMgr::SetSleepFunction(&CountingSleep);
    }
    void TearDown() override
    {
        CZLMWindowMgr::SetSleepFunction(m_oldSleep);
        CWMOptions::m_bShowAnim = m_anim;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
    }
    ProbeWnd* NewWindow(int* deleted = nullptr, bool throws = false, int x = 100, int y = 100)
    {
        ProbeWnd* w = new ProbeWnd(deleted, throws);
        EXPECT_TRUE(w->CreateHidden(x, y));
        EXPECT_FALSE(w->IsWindowVisible());
        return w;
    }
    int m_anim = 0;
    ZLMSleepFunction m_oldSleep = nullptr;
};

TEST_F(WindowMgrTest, CascadesFiveWindowsAndShowsThem)
{
    CZLMWindowMgr mgr;
    std::vector<int> lefts, tops;
    for (int i = 0; i < 5; ++i) {
        ProbeWnd* w = NewWindow();
        mgr.AttachWindow(w, 0);
        EXPECT_TRUE(w->IsWindowVisible());
        CRect rc;
        w->GetWindowRect(&rc);
        lefts.push_back(rc.left);
        tops.push_back(rc.top);
        EXPECT_EQ(rc.Width(), 200);
    }
    EXPECT_EQ(lefts, (std::vector<int>{100, 116, 132, 148, 100}));
    EXPECT_EQ(tops, (std::vector<int>{100, 116, 132, 148, 100}));
    EXPECT_EQ(mgr.GetWindowCount(), 5);
    EXPECT_EQ(g_sleepCalls, 0);  // no animation asked for: nothing waited
    mgr.DeInIt();
}

TEST_F(WindowMgrTest, KeptOutWindowIsPlacedButNotListed)
{
    CZLMWindowMgr mgr;
    ProbeWnd* w = NewWindow();
    mgr.AttachWindow(w, 1);
    EXPECT_TRUE(w->IsWindowVisible());
    EXPECT_EQ(mgr.GetWindowCount(), 0);
    EXPECT_EQ(mgr.GetCascadeOffset(), 16);
    w->DestroyWindow();
    delete w;
}

TEST_F(WindowMgrTest, ParentWrapsNoWindowSoWindowsHaveNoOwner)
{
    CZLMWindowMgr mgr;
    ASSERT_NE(mgr.GetParent(), nullptr);
    EXPECT_EQ(mgr.GetParent()->m_hWnd, nullptr);
    mgr.DeInIt();
    EXPECT_EQ(mgr.GetParent(), nullptr);
}

TEST_F(WindowMgrTest, RefreshDropsConsecutiveDestroyedWindowsAndDeletesTheirObjects)
{
    CZLMWindowMgr mgr;
    int deleted = 0;
    ProbeWnd* a = NewWindow(&deleted);
    ProbeWnd* b = NewWindow(&deleted);
    ProbeWnd* c = NewWindow(&deleted);
    ProbeWnd* d = NewWindow(&deleted);
    for (ProbeWnd* w : {a, b, c, d})
        mgr.AttachWindow(w, 0);
    b->DestroyWindow();
    c->DestroyWindow();
    mgr.RefreshWindowVector();
    ASSERT_EQ(mgr.GetWindowCount(), 2);
    EXPECT_EQ(mgr.GetWindowAt(0), a);
    EXPECT_EQ(mgr.GetWindowAt(1), d);
    EXPECT_EQ(deleted, 2);
    mgr.DeInIt();
}

TEST_F(WindowMgrTest, BroadcastsReachEveryWindowEvenPastOneThatThrows)
{
    CZLMWindowMgr mgr;
    mgr.SendMessageA(kPing, 0, 0);  // empty list: nothing happens
    ProbeWnd* a = NewWindow();
    ProbeWnd* bad = NewWindow(nullptr, true);
    ProbeWnd* c = NewWindow();
    for (ProbeWnd* w : {a, bad, c})
        mgr.AttachWindow(w, 0);
    mgr.SendMessageA(kPing, 0, 0);
    EXPECT_EQ(a->pings, 1);
    EXPECT_EQ(bad->pings, 1);
    EXPECT_EQ(c->pings, 1);

    mgr.PostMessageA(kPing, 0, 0);
    EXPECT_EQ(a->pings, 1);  // posted, not yet handled
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
    EXPECT_EQ(a->pings, 2);
    EXPECT_EQ(c->pings, 2);

    for (ProbeWnd* w : {a, c})
        ::ValidateRect(w->m_hWnd, nullptr);
    mgr.Invalidate(1);
    RECT r;
    EXPECT_TRUE(::GetUpdateRect(a->m_hWnd, &r, FALSE));
    EXPECT_TRUE(::GetUpdateRect(c->m_hWnd, &r, FALSE));
    mgr.DeInIt();
}

// At exit every window goes, however many there are, and its object is
// deleted there and then: later the code of its class (a plug-in's) is gone.
TEST_F(WindowMgrTest, TeardownClosesEveryWindowAndDeletesEveryObject)
{
    for (int count : {1, 2, 10, 11, 12}) {
        SCOPED_TRACE(count);
        g_sleepCalls = 0;
        CZLMWindowMgr mgr;
        int deleted = 0;
        std::vector<HWND> handles;
        for (int i = 0; i < count; ++i) {
            ProbeWnd* w = NewWindow(&deleted);
            handles.push_back(w->m_hWnd);
            mgr.AttachWindow(w, 0);
        }
        mgr.DeInIt();
        int open = 0;
        for (HWND h : handles)
            open += ::IsWindow(h) ? 1 : 0;
        EXPECT_EQ(open, 0);
        EXPECT_EQ(deleted, count) << "objects left for a later refresh, after their plug-in was unloaded";
        EXPECT_EQ(mgr.GetWindowCount(), 0);
        EXPECT_EQ(mgr.GetParent(), nullptr);
        EXPECT_EQ(g_sleepCalls, 0) << "every window went at once: nothing to wait for";
    }
}

// A window that refuses to close is destroyed.
TEST_F(WindowMgrTest, TeardownDestroysAWindowThatIgnoresTheClose)
{
    class Stubborn : public ProbeWnd {
    public:
        using ProbeWnd::ProbeWnd;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_CLOSE) {
                ++closes;
                return 0;
            }
            return ProbeWnd::WindowProc(message, wParam, lParam);
        }
    };
    CZLMWindowMgr mgr;
    int deleted = 0;
    auto* w = new Stubborn(&deleted);
    ASSERT_TRUE(w->CreateHidden(100, 100));
    HWND h = w->m_hWnd;
    mgr.AttachWindow(w, 0);
    mgr.AttachWindow(NewWindow(&deleted), 0);
    mgr.DeInIt();
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(mgr.GetWindowCount(), 0);
}

// Screen pixels of a rectangle, read through a memory bitmap.
std::vector<COLORREF> Grab(const RECT& r)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    std::vector<COLORREF> px;
    px.reserve(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back(::GetPixel(mem, x, y));
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return px;
}

// Far from where test windows usually appear, and covered by a topmost window
// of our own so that other programs on the shared test display cannot change
// the pixels while the animation runs.
const RECT kTarget = {980, 760, 1140, 880};
std::vector<COLORREF> g_midFrame;

void GrabAtTwentieth(int call)
{
    if (call == 20)
        g_midFrame = Grab(kTarget);
}

TEST_F(WindowMgrTest, AnimationDrawsInvertedOutlinesAndRestoresTheScreen)
{
    HWND cover = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | SS_WHITERECT,
                                   kTarget.left - 20, kTarget.top - 20, kTarget.right - kTarget.left + 40,
                                   kTarget.bottom - kTarget.top + 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(cover, nullptr);
    ::ShowWindow(cover, SW_SHOWNOACTIVATE);
    ::UpdateWindow(cover);
    ::GdiFlush();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
    const std::vector<COLORREF> before = Grab(kTarget);
    g_onSleep = &GrabAtTwentieth;
    {
        CWindowOpenEffect effect;
        effect.Animate(kTarget);
    }
    EXPECT_EQ(g_sleepCalls, 56);
    EXPECT_EQ(g_sleptMs, 56u * 5u);
    ASSERT_EQ(g_midFrame.size(), before.size());
    size_t changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        changed += g_midFrame[i] != before[i];
    EXPECT_GT(changed, 100u) << "outlines were visible half-way through";
    EXPECT_EQ(Grab(kTarget), before) << "every outline was erased again";
    ::DestroyWindow(cover);
}

TEST_F(WindowMgrTest, AttachPlaysTheAnimationWhenSwitchedOn)
{
    CWMOptions::m_bShowAnim = 1;
    CZLMWindowMgr mgr;
    ProbeWnd* w = NewWindow();
    mgr.AttachWindow(w, 0);
    EXPECT_EQ(g_sleepCalls, 56);
    EXPECT_TRUE(w->IsWindowVisible());
    mgr.DeInIt();
}

} // namespace
