// Helpers of the settings tests: driving a modal dialog or sheet from inside
// its own message loop, finding this thread's windows, and keeping pictures
// of windows as artifacts.
#pragma once

#include "fx/fxwin.h"
#include "testsupport/win_wait.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace optest {

// Runs `step` from a timer of this thread until it returns true; the modal
// loop that is running meanwhile dispatches the timer. A step that never
// finishes (a window that never came, a key that was lost) is given up after
// a deadline: the test fails saying what it waited for, and the watchdog
// closes the thread's modal state from inside the loop, so the test ends.
class ModalDriver {
public:
    explicit ModalDriver(std::function<bool()> step, std::string what = "the scripted dialog to finish",
                         DWORD timeoutMs = testsupport::kModalLoopMs)
        : m_step(std::move(step)), m_watchdog(std::move(what), timeoutMs)
    {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 25, Tick);
    }
    ~ModalDriver()
    {
        if (m_timer)
            ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    bool Done() const { return m_done; }
    bool GaveUp() const { return m_watchdog.Fired(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        ModalDriver* d = s_current;
        if (!d || d->m_done || d->m_running || d->m_watchdog.Fired())
            return;
        d->m_running = true;  // a step may itself run a modal loop
        const bool finished = d->m_step();
        d->m_running = false;
        if (finished) {
            d->m_done = true;
            ::KillTimer(nullptr, id);
            d->m_timer = 0;
        }
    }
    static inline ModalDriver* s_current = nullptr;
    std::function<bool()> m_step;
    testsupport::ModalWatchdog m_watchdog;
    UINT_PTR m_timer = 0;
    bool m_done = false, m_running = false;
};

// A visible top-level window of this thread with this caption, or null.
inline HWND FindThreadWindow(const char* caption)
{
    struct Find {
        const char* caption;
        HWND found;
    } f{caption, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            char text[256] = {};
            ::GetWindowTextA(h, text, sizeof text);
            if (::IsWindowVisible(h) && lstrcmpA(text, f->caption) == 0) {
                f->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// This thread's open property sheet or wizard (a wizard's caption is its page's title).
inline HWND FindThreadSheet()
{
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            if (::IsWindowVisible(h) && ::SendMessageA(h, PSM_GETCURRENTPAGEHWND, 0, 0)) {
                *reinterpret_cast<HWND*>(lp) = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

inline void Click(HWND dialog, int id)
{
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)::GetDlgItem(dialog, id));
}

inline std::string Text(HWND dialog, int id)
{
    char buf[1024] = {};
    ::GetDlgItemTextA(dialog, id, buf, sizeof buf);
    return buf;
}

// Keeps a picture of a window in the build tree's artifacts folder (as .bmp).
inline bool SaveWindowPicture(HWND wnd, const std::string& name)
{
    const char* build = std::getenv("VX_BUILD_DIR");
    if (!build || !wnd)
        return false;
    std::string dir = std::string("Z:") + build + "/artifacts";
    for (char& c : dir)
        if (c == '/')
            c = '\\';
    ::CreateDirectoryA(dir.c_str(), nullptr);
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    RECT r;
    ::GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return false;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(mem, old);
    const DWORD stride = ((w * 3 + 3) / 4) * 4, size = stride * h;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bool ok = false;
    if (FILE* f = std::fopen((dir + "\\" + name + ".bmp").c_str(), "wb")) {
        ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, size, 1, f) == 1;
        std::fclose(f);
    }
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace optest
