// The single-instance check with real windows: a first instance publishes its
// window, a second start finds it and hands over with WM_ACTIVATE_INSTANCE,
// and a first instance that does not answer cannot keep the second waiting.
#include "instance_checker.h"

#include "testsupport/win_wait.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> g_activations{0};

LRESULT CALLBACK ProbeProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ACTIVATE_INSTANCE) {
        ++g_activations;
        return 0;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

HWND MakeWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "InstanceProbe";
        ::RegisterClassA(&wc);
        registered = true;
    }
    return ::CreateWindowA("InstanceProbe", "probe", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           ::GetModuleHandleA(nullptr), nullptr);
}

// The published handle is written straight into the mapping: a checker in
// this process plays the first instance without a main window of its own.
void Publish(const char* name, HWND hWnd)
{
    HANDLE h = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, (CString("CInstanceChecker_MMF_") + name));
    ASSERT_NE(h, nullptr);
    void* view = ::MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 4);
    ASSERT_NE(view, nullptr);
    *static_cast<DWORD*>(view) = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(hWnd));
    ::UnmapViewOfFile(view);
    ::CloseHandle(h);
}

}  // namespace

TEST(InstanceChecker, SecondStartFindsTheFirstAndHandsOver)
{
    const char* name = "VxInstanceTestA";
    CInstanceChecker first(name);
    EXPECT_FALSE(first.PreviousInstanceRunning());
    EXPECT_TRUE(first.TrackFirstInstance());
    HWND hWnd = MakeWindow();
    Publish(name, hWnd);

    // The second start runs on another thread, as another process would: the
    // message reaches the window while this thread pumps messages.
    std::atomic<HWND> answered{nullptr};
    std::atomic<bool> running{false};
    const int before = g_activations;
    testsupport::ScriptThread second([&] {
        CInstanceChecker checker(name);
        running = checker.PreviousInstanceRunning() != FALSE;
        answered = checker.ActivatePreviousInstance();
    });
    EXPECT_TRUE(testsupport::WaitUntil([&] { return g_activations != before; }, testsupport::kWindowWaitMs, true))
        << "WM_ACTIVATE_INSTANCE from the second start never reached the first instance's window";
    second.Join();
    EXPECT_TRUE(running);
    EXPECT_EQ(answered.load(), hWnd);
    EXPECT_EQ(g_activations, before + 1);

    // A checker that did not find a mapping hands over to nobody.
    CInstanceChecker other("VxInstanceTestNone");
    EXPECT_FALSE(other.PreviousInstanceRunning());
    EXPECT_EQ(other.ActivatePreviousInstance(), nullptr);
    ::DestroyWindow(hWnd);
    CInstanceChecker::ReleaseFirstInstance();
    CInstanceChecker after(name);
    EXPECT_FALSE(after.PreviousInstanceRunning()) << "the mapping ends with the first instance";
}

TEST(InstanceChecker, HandOverToAFirstInstanceThatDoesNotAnswerEnds)
{
    const char* name = "VxInstanceTestB";
    CInstanceChecker first(name);
    EXPECT_TRUE(first.TrackFirstInstance());
    // A window owned by a thread that never pumps messages.
    std::atomic<HWND> hung{nullptr};
    HANDLE stop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        hung = MakeWindow();
        ::WaitForSingleObject(stop, 60000);
        ::DestroyWindow(hung);
    });
    if (!testsupport::WaitUntil([&] { return hung.load() != nullptr; })) {
        ADD_FAILURE() << "the owner thread made no window within " << testsupport::kWindowWaitMs << " ms";
        ::SetEvent(stop);
        owner.join();
        ::CloseHandle(stop);
        return;
    }
    Publish(name, hung);
    CInstanceChecker second(name);
    EXPECT_TRUE(second.PreviousInstanceRunning());
    EXPECT_EQ(second.ActivatePreviousInstance(), hung.load());
    ::SetEvent(stop);
    owner.join();
    ::CloseHandle(stop);
    CInstanceChecker::ReleaseFirstInstance();
}
