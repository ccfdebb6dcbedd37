// The notice shown while a long change runs: up at once with its text, kept
// through its timer's ticks while the work runs, closed by the next tick
// once the work is done; a notice the user closed early is left alone.
#include "notice_dlg.h"
#include "notice_ids.h"
#include "options/wmoptions.h"
#include "wait_notice.h"
#include "winmgr/winmgr.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const UINT_PTR kAutoCloseTimer = 0xDEAF;

void NoSleep(DWORD) {}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// The notice the manager holds last, or null.
CNoticeDlg* NewestNotice()
{
    g_WindowMgr.RefreshWindowVector();
    for (int i = g_WindowMgr.GetWindowCount() - 1; i >= 0; --i)
        if (auto* n = dynamic_cast<CNoticeDlg*>(g_WindowMgr.GetWindowAt(i)))
            return n;
    return nullptr;
}

std::string TextOf(CWnd* control)
{
    CString s;
    control->GetWindowText(s);
    return static_cast<LPCTSTR>(s);
}

class WaitNotice : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_anim = CWMOptions::m_bShowAnim;
        CWMOptions::m_bShowAnim = 0;
        m_oldSleep = CZLMWindowMgr::SetSleepFunction(&NoSleep);
    }
    void TearDown() override
    {
        CZLMWindowMgr::SetSleepFunction(m_oldSleep);
        CWMOptions::m_bShowAnim = m_anim;
    }
    ZLMSleepFunction m_oldSleep = nullptr;
    int m_anim = 0;
};

// The timer's ticks are delivered at once instead of after 3 seconds.
TEST_F(WaitNotice, StaysUntilTheWorkIsDone)
{
    const char* text = "Please wait while I adjust to accommodate your new selections.";
    std::function<void()> done = ShowWaitNotice(text);
    ASSERT_TRUE(done);
    CNoticeDlg* notice = NewestNotice();
    ASSERT_NE(nullptr, notice);
    HWND window = notice->m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(text, TextOf(notice->GetDlgItem(IDC_NOTICE_TEXT)));
    EXPECT_FALSE(notice->GetDlgItem(IDC_NOTICE_CLOSE)->IsWindowVisible());
    EXPECT_FALSE(notice->GetDlgItem(IDC_NOTICE_UPDATE)->IsWindowVisible());

    // The work takes longer than the timer: the notice stays.
    for (int tick = 0; tick < 3; ++tick) {
        ::SendMessageA(window, WM_TIMER, kAutoCloseTimer, 0);
        Pump();
        ASSERT_TRUE(::IsWindow(window)) << "closed on tick " << tick << " while the work ran";
    }
    done();
    ::SendMessageA(window, WM_TIMER, kAutoCloseTimer, 0);
    Pump();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(nullptr, NewestNotice());
}

TEST_F(WaitNotice, ClosedByTheUserBeforeTheWorkEnds)
{
    std::function<void()> done = ShowWaitNotice("Adjusting.");
    ASSERT_TRUE(done);
    CNoticeDlg* notice = NewestNotice();
    ASSERT_NE(nullptr, notice);
    HWND window = notice->m_hWnd;
    ::SendMessageA(window, WM_CLOSE, 0, 0);
    Pump();
    ASSERT_FALSE(::IsWindow(window));
    // The manager deletes the closed notice's object; the call must not reach it.
    EXPECT_EQ(nullptr, NewestNotice());
    done();
    done();
    Pump();
}

// A notice shown while another still waits: each call ends only its own.
TEST_F(WaitNotice, EachCallEndsItsOwnNotice)
{
    std::function<void()> first = ShowWaitNotice("First.");
    HWND firstWindow = NewestNotice()->m_hWnd;
    std::function<void()> second = ShowWaitNotice("Second.");
    HWND secondWindow = NewestNotice()->m_hWnd;
    ASSERT_NE(firstWindow, secondWindow);
    second();
    for (HWND w : {firstWindow, secondWindow})
        ::SendMessageA(w, WM_TIMER, kAutoCloseTimer, 0);
    Pump();
    EXPECT_TRUE(::IsWindow(firstWindow));
    EXPECT_FALSE(::IsWindow(secondWindow));
    first();
    ::SendMessageA(firstWindow, WM_TIMER, kAutoCloseTimer, 0);
    Pump();
    EXPECT_FALSE(::IsWindow(firstWindow));
}

} // namespace
