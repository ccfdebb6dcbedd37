// The assistant's own free-standing windows (message windows, plug-in and
// main-program windows): the process-wide manager lists them, cascades each
// new one, plays the opening animation, broadcasts messages to them, repaints
// them when the shared colours change and closes them when the program ends.
#pragma once

#include "fx/fxwin.h"

#include <vector>

// How the manager and the animation wait (milliseconds). Tests install one
// that returns at once so nothing waits on the wall clock.
typedef void (*ZLMSleepFunction)(DWORD milliseconds);

class CZLMWindowMgr : public CObject {
    DECLARE_DYNAMIC(CZLMWindowMgr)
public:
    CZLMWindowMgr();
    ~CZLMWindowMgr() override;
    CZLMWindowMgr(const CZLMWindowMgr&) = delete;
    CZLMWindowMgr& operator=(const CZLMWindowMgr&) = delete;

    // window was created hidden. With keepOut non-zero it is only placed and
    // shown; otherwise the manager lists it and owns its object from now on.
    void AttachWindow(CWnd* window, int keepOut);
    void SendMessageA(UINT message, WPARAM wParam, LPARAM lParam);
    void PostMessageA(UINT message, WPARAM wParam, LPARAM lParam);
    void Invalidate(int erase);
    // Drops (and deletes the objects of) windows that no longer exist.
    void RefreshWindowVector();
    // Closes every listed window, deletes their objects and the parent
    // object. The program calls it before it frees the plug-ins.
    void DeInIt();
    // The object under which assistant windows are created: it wraps no
    // window, so they stand on the desktop without an owner.
    CWnd* GetParent();

    int GetWindowCount() const { return static_cast<int>(m_windows.size()); }
    CWnd* GetWindowAt(int i) const { return m_windows.at(static_cast<size_t>(i)); }
    int GetCascadeOffset() const { return m_nCascadeOffset; }

    static ZLMSleepFunction SetSleepFunction(ZLMSleepFunction fn);
    static void Sleep(DWORD milliseconds);

private:
    std::vector<CWnd*> m_windows;
    CWnd* m_pParent;
    int m_nCascadeOffset;
};

extern CZLMWindowMgr g_WindowMgr;

// The opening animation: outlines drawn straight onto the screen with an
// inverting pen, so drawing a frame twice restores what was there.
class CWindowOpenEffect {
public:
    CWindowOpenEffect();
    ~CWindowOpenEffect();
    CWindowOpenEffect(const CWindowOpenEffect&) = delete;
    CWindowOpenEffect& operator=(const CWindowOpenEffect&) = delete;

    void Animate(const RECT& target);

private:
    void DrawFrame(const RECT& target, int frame);

    CDC m_dcScreen;
    CPen m_pen;
    int m_nParam;       // grid size of the gather effect
    int m_nAfterimages; // a frame is erased this many steps after it was drawn
    int m_nSteps;
    int m_nDelay;       // milliseconds between frames
    int m_nEffect;      // 2: gather
};
