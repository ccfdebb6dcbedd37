#include "winmgr/winmgr.h"

#include "files/fileutil.h"
#include "options/wmoptions.h"
#include "winmgr/openeffect_frames.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CZLMWindowMgr, CObject)

CZLMWindowMgr g_WindowMgr;

namespace {

void RealSleep(DWORD ms)
{
    ::Sleep(ms);
}

ZLMSleepFunction g_sleep = &RealSleep;

bool HoldsWindow(const CWnd* w)
{
    return w && w->m_hWnd && ::IsWindow(w->m_hWnd);
}

} // namespace

ZLMSleepFunction CZLMWindowMgr::SetSleepFunction(ZLMSleepFunction fn)
{
    ZLMSleepFunction old = g_sleep;
    g_sleep = fn ? fn : &RealSleep;
    return old;
}

void CZLMWindowMgr::Sleep(DWORD milliseconds)
{
    g_sleep(milliseconds);
}

CZLMWindowMgr::CZLMWindowMgr() : m_pParent(new CWnd), m_nCascadeOffset(0) {}

CZLMWindowMgr::~CZLMWindowMgr()
{
    DeInIt();
    m_windows.clear();
}

CWnd* CZLMWindowMgr::GetParent()
{
    return m_pParent;
}

void CZLMWindowMgr::AttachWindow(CWnd* window, int keepOut)
{
    if (!window)
        return;
    if (keepOut == 0) {
        RefreshWindowVector();
        m_windows.push_back(window);
    }
    if (!window->m_hWnd)
        return;
    CRect rc;
    window->GetWindowRect(&rc);
    rc.OffsetRect(m_nCascadeOffset, m_nCascadeOffset);
    window->MoveWindow(&rc, TRUE);
    if (CWMOptions::m_bShowAnim) {
        try {
            CWindowOpenEffect effect;
            effect.Animate(rc);
        } catch (...) {
            // The animation is decoration; the window is shown regardless.
        }
    }
    window->ShowWindow(SW_SHOW);
    m_nCascadeOffset = winmgr::NextCascadeOffset(m_nCascadeOffset);
}

void CZLMWindowMgr::RefreshWindowVector()
{
    try {
        std::vector<CWnd*> keep;
        keep.reserve(m_windows.size());
        std::vector<CWnd*> gone;
        for (CWnd* w : m_windows) {
            if (HoldsWindow(w))
                keep.push_back(w);
            else if (w)
                gone.push_back(w);
        }
        m_windows.swap(keep);
        for (CWnd* w : gone)
            delete w;
    } catch (...) {
    }
}

void CZLMWindowMgr::SendMessageA(UINT message, WPARAM wParam, LPARAM lParam)
{
    RefreshWindowVector();
    // A window may close others while it handles the message: work on a copy
    // and skip entries that went away meanwhile.
    std::vector<CWnd*> windows = m_windows;
    for (CWnd* w : windows) {
        try {
            if (std::find(m_windows.begin(), m_windows.end(), w) != m_windows.end() && HoldsWindow(w))
                ::SendMessageA(w->m_hWnd, message, wParam, lParam);
        } catch (...) {
        }
    }
}

void CZLMWindowMgr::PostMessageA(UINT message, WPARAM wParam, LPARAM lParam)
{
    RefreshWindowVector();
    for (CWnd* w : m_windows) {
        try {
            if (HoldsWindow(w))
                ::PostMessageA(w->m_hWnd, message, wParam, lParam);
        } catch (...) {
        }
    }
}

void CZLMWindowMgr::Invalidate(int erase)
{
    RefreshWindowVector();
    for (CWnd* w : m_windows) {
        try {
            if (HoldsWindow(w))
                ::InvalidateRect(w->m_hWnd, nullptr, erase ? TRUE : FALSE);
        } catch (...) {
        }
    }
}

void CZLMWindowMgr::DeInIt()
{
    // Runs before the plug-ins are freed: every listed window is closed and
    // its object deleted now, while the code of its class is still loaded.
    RefreshWindowVector();
    // One attempt per window, and ten more for windows slow to go.
    size_t attempts = m_windows.size() + 10;
    while (!m_windows.empty() && attempts-- > 0) {
        try {
            CWnd* w = m_windows.front();
            HWND h = HoldsWindow(w) ? w->m_hWnd : nullptr;
            if (h) {
                ::SendMessageA(h, WM_CLOSE, 0, 0);
                if (::IsWindow(h))
                    ::DestroyWindow(h);
            }
            ProcessMessages(0);
            RefreshWindowVector();
            if (h && !m_windows.empty() && m_windows.front() == w) {
                // Still there (a window of another thread): give it time,
                // then try the next one.
                Sleep(500);
                m_windows.erase(m_windows.begin());
                m_windows.push_back(w);
            }
        } catch (...) {
        }
    }
    // A window that would not go is left alone rather than deleted later,
    // when its class's code may be gone.
    m_windows.clear();
    delete m_pParent;
    m_pParent = nullptr;
}
