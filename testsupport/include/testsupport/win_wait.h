// Bounded waits for Win32 tests: every wait for a window, a state or a modal
// loop ends after a deadline and says what it waited for, so a lost key or a
// slow machine costs seconds and a clear failure, never a hung test run.
//
// Windows are looked for among one thread's windows only (the thread the test
// started), never as "the first window of a class" on the desktop: other test
// programs share the display and may show windows of the same class.
#pragma once
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// Deadlines are generous (a loaded machine can be many times slower than a
// quiet one) and still short beside CTest's per-test timeout.
constexpr DWORD kWindowWaitMs = 60000;
constexpr DWORD kModalLoopMs = 90000;

// Whether pred() held within timeoutMs. With pump, this thread's messages are
// dispatched meanwhile (for windows this thread owns); otherwise it sleeps
// between polls.
inline bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = kWindowWaitMs, bool pump = false)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (pred())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        if (pump) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    ::PostQuitMessage(static_cast<int>(msg.wParam));
                    break;
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        } else {
            ::Sleep(10);
        }
    }
}

// The visible top-level windows of a thread whose class (and title, when
// given) match; in the order the system enumerates them.
inline std::vector<HWND> ThreadWindows(DWORD thread, const char* className, const char* title = nullptr)
{
    struct Query {
        const char* cls;
        const char* title;
        std::vector<HWND> found;
    } q{className, title, {}};
    ::EnumThreadWindows(
        thread,
        [](HWND h, LPARAM l) -> BOOL {
            auto* q = reinterpret_cast<Query*>(l);
            char cls[64] = {}, text[256] = {};
            ::GetClassNameA(h, cls, sizeof cls);
            if (!::IsWindowVisible(h) || (q->cls && lstrcmpiA(cls, q->cls) != 0))
                return TRUE;
            if (q->title) {
                ::GetWindowTextA(h, text, sizeof text);
                if (lstrcmpA(text, q->title) != 0)
                    return TRUE;
            }
            q->found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&q));
    return q.found;
}

// The first matching visible window of the thread once there is one; null
// (and a failure naming it) when none came within timeoutMs.
inline HWND WaitForThreadWindow(DWORD thread, const char* className, const char* title = nullptr,
                                DWORD timeoutMs = kWindowWaitMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            std::vector<HWND> all = ThreadWindows(thread, className, title);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        timeoutMs);
    if (!found)
        ADD_FAILURE() << "no window of class " << (className ? className : "(any)") << " titled "
                      << (title ? title : "(any)") << " appeared on thread " << thread << " within "
                      << timeoutMs << " ms";
    return found;
}

// Closes whatever modal state a thread is in: menus, dialogs, message boxes
// and other windows of the thread, the way a user would (Escape, Cancel,
// close). Called on the thread itself, from inside its modal loop.
inline void CloseThreadModalState()
{
    ::EndMenu();
    std::vector<HWND> all = ThreadWindows(::GetCurrentThreadId(), nullptr);
    for (HWND h : all) {
        char cls[64] = {};
        ::GetClassNameA(h, cls, sizeof cls);
        ::PostMessageA(h, WM_CANCELMODE, 0, 0);
        if (lstrcmpA(cls, "#32770") == 0)
            ::EndDialog(h, IDCANCEL);
        ::PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
    }
}

// A bound on a modal loop that this thread is about to run (a dialog, a menu,
// a message loop): when the loop is still running after timeoutMs, the test
// fails saying what it waited for, and close() ends the loop (by default
// CloseThreadModalState). Works through a thread timer, which every modal loop
// that dispatches messages delivers. Disarmed when it goes out of scope.
class ModalWatchdog {
public:
    ModalWatchdog(std::string what, DWORD timeoutMs = kModalLoopMs, std::function<void()> close = {})
        : m_what(std::move(what)), m_timeoutMs(timeoutMs), m_close(std::move(close))
    {
        m_timer = ::SetTimer(nullptr, 0, timeoutMs, &ModalWatchdog::OnTimer);
        if (m_timer)
            Armed()[m_timer] = this;
    }
    ~ModalWatchdog() { Disarm(); }
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

    void Disarm()
    {
        if (!m_timer)
            return;
        ::KillTimer(nullptr, m_timer);
        Armed().erase(m_timer);
        m_timer = 0;
    }
    bool Fired() const { return m_fired; }

private:
    static std::map<UINT_PTR, ModalWatchdog*>& Armed()
    {
        static thread_local std::map<UINT_PTR, ModalWatchdog*> armed;
        return armed;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD)
    {
        auto it = Armed().find(id);
        if (it == Armed().end()) {
            ::KillTimer(nullptr, id);
            return;
        }
        ModalWatchdog* self = it->second;
        // Fires again while the loop is still open (a close posted to a
        // window that was not yet ready is tried once more), but fails once.
        if (!self->m_fired)
            ADD_FAILURE() << "gave up after " << self->m_timeoutMs << " ms waiting for: " << self->m_what;
        self->m_fired = true;
        ::SetTimer(nullptr, id, 2000, &ModalWatchdog::OnTimer);
        if (self->m_close)
            self->m_close();
        else
            CloseThreadModalState();
    }

    std::string m_what;
    DWORD m_timeoutMs;
    std::function<void()> m_close;
    UINT_PTR m_timer = 0;
    bool m_fired = false;
};

// A script (keys, clicks, checks) run on a thread of its own while this
// thread runs a modal loop. Joining it dispatches this thread's messages until
// the script ends: the script may send messages to this thread's windows (a
// SendMessage, a RedrawWindow with RDW_UPDATENOW) up to its last line, which
// a plain join would leave waiting for ever on a thread that waits for it.
class ScriptThread {
public:
    explicit ScriptThread(std::function<void()> script)
        : m_thread([this, script = std::move(script)] {
              script();
              m_done = true;
          })
    {
    }
    ~ScriptThread() { Join(); }
    ScriptThread(const ScriptThread&) = delete;
    ScriptThread& operator=(const ScriptThread&) = delete;

    // The script's own waits are bounded, so this ends; a script still
    // running after timeoutMs is a failure, and is waited for all the same
    // (it may use this thread's objects).
    void Join(DWORD timeoutMs = kModalLoopMs)
    {
        if (!m_thread.joinable())
            return;
        if (!WaitUntil([this] { return m_done.load(); }, timeoutMs, true)) {
            ADD_FAILURE() << "the test's script thread still ran after " << timeoutMs << " ms";
            WaitUntil([this] { return m_done.load(); }, INFINITE, true);
        }
        m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

} // namespace testsupport

#endif
