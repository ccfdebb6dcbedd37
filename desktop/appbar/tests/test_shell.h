// A shell of our own for application bars: it keeps the bars that registered,
// reserves their strips of a work area, gives each edge one auto-hide bar and
// refuses a second, and sends the bars its notifications. Wine's shell keeps
// rectangles but reserves nothing, answers a fixed state and never notifies.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <vector>

struct TestShell {
    struct Bar {
        UINT callback = 0;
        UINT edge = 0;
        RECT reserved = {};
    };
    RECT screen = {0, 0, 0, 0};
    std::map<HWND, Bar> bars;
    HWND autoHide[4] = {};
    DWORD taskbarState = 0;
    std::vector<DWORD> calls;

    static TestShell* current;
    static UINT_PTR Call(DWORD message, APPBARDATA* data);

    // The work area: the screen less every reserved strip.
    RECT WorkArea() const;
    // Sends every registered bar a notification.
    void Notify(UINT code, LPARAM lParam);
    bool Called(DWORD message) const;
};
