// What the desktop toolbar needs of the program around it, handed in by the
// program at start-up: its settings, the request road, the console view
// that takes menu commands and the options command. Empty entries do nothing.
#pragma once

#include "fx/fxwin.h"

#include <functional>

struct CShellBarSite {
    std::function<int()> autoHide;      // kVAutoHideAppBar
    std::function<int()> alwaysOnTop;   // kVAlwaysOnTopAppBar
    std::function<int()> noShape;       // kVNoShapeAppBar
    // The hot key: character and Shift, Ctrl, Alt.
    std::function<void(char*, BOOL*, BOOL*, BOOL*)> hotKey;
    // Runs a typed request with the attached file: 0 not handled, 1 handled, 2 busy.
    std::function<int(const CString& text, const CString& file)> runRequest;
    // The console document's first view, or null.
    std::function<CWnd*()> consoleView;
    // The main frame's options command.
    std::function<void()> options;
};

extern CShellBarSite g_ShellBarSite;
