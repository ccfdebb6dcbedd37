#include "test_shell.h"

#include <algorithm>

TestShell* TestShell::current = nullptr;

RECT TestShell::WorkArea() const
{
    RECT work = screen;
    for (const auto& [hwnd, bar] : bars) {
        const RECT& r = bar.reserved;
        if (::IsRectEmpty(&r))
            continue;
        switch (bar.edge) {
        case ABE_LEFT: work.left = std::max(work.left, r.right); break;
        case ABE_TOP: work.top = std::max(work.top, r.bottom); break;
        case ABE_RIGHT: work.right = std::min(work.right, r.left); break;
        case ABE_BOTTOM: work.bottom = std::min(work.bottom, r.top); break;
        }
    }
    return work;
}

void TestShell::Notify(UINT code, LPARAM lParam)
{
    std::vector<std::pair<HWND, UINT>> targets;
    for (const auto& [hwnd, bar] : bars)
        targets.emplace_back(hwnd, bar.callback);
    for (auto [hwnd, callback] : targets)
        ::SendMessageA(hwnd, callback, code, lParam);
}

bool TestShell::Called(DWORD message) const { return std::find(calls.begin(), calls.end(), message) != calls.end(); }

UINT_PTR TestShell::Call(DWORD message, APPBARDATA* d)
{
    TestShell& s = *current;
    s.calls.push_back(message);
    switch (message) {
    case ABM_NEW:
        if (s.bars.count(d->hWnd))
            return FALSE;
        s.bars[d->hWnd].callback = d->uCallbackMessage;
        return TRUE;
    case ABM_REMOVE:
        s.bars.erase(d->hWnd);
        for (HWND& h : s.autoHide)
            if (h == d->hWnd)
                h = nullptr;
        return TRUE;
    case ABM_QUERYPOS:
    case ABM_SETPOS: {
        auto it = s.bars.find(d->hWnd);
        if (it == s.bars.end())
            return FALSE;
        // Other bars' strips on the same edge push this one inwards.
        for (const auto& [hwnd, bar] : s.bars) {
            if (hwnd == d->hWnd || bar.edge != d->uEdge || ::IsRectEmpty(&bar.reserved))
                continue;
            if (d->uEdge == ABE_TOP)
                d->rc.top = std::max(d->rc.top, bar.reserved.bottom);
            else if (d->uEdge == ABE_BOTTOM)
                d->rc.bottom = std::min(d->rc.bottom, bar.reserved.top);
        }
        if (message == ABM_SETPOS) {
            it->second.edge = d->uEdge;
            it->second.reserved = d->uEdge <= ABE_BOTTOM ? d->rc : RECT{};
        }
        return TRUE;
    }
    case ABM_GETSTATE: return s.taskbarState;
    case ABM_GETAUTOHIDEBAR: return d->uEdge <= ABE_BOTTOM ? reinterpret_cast<UINT_PTR>(s.autoHide[d->uEdge]) : 0;
    case ABM_SETAUTOHIDEBAR: {
        if (d->uEdge > ABE_BOTTOM)
            return FALSE;
        HWND& holder = s.autoHide[d->uEdge];
        if (d->lParam) {
            if (holder && holder != d->hWnd)
                return FALSE;
            holder = d->hWnd;
        } else if (holder == d->hWnd) {
            holder = nullptr;
        }
        return TRUE;
    }
    default: return TRUE;
    }
}
