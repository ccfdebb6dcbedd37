// Pieces of the program that the frame starts and stops but that live in
// modules still to come (the desktop toolbar, the options sheet, the web
// version check). Each module installs its functions when it is linked in; until
// then the frame's calls do nothing.
#pragma once

class CString;

struct CFrameHooks {
    void (*createShellBar)() = nullptr;
    void (*destroyShellBar)() = nullptr;
    // Brings an existing desktop toolbar forward (the hand-over of a second start).
    void (*activateShellBar)() = nullptr;
    // The desktop toolbar's attachment path, or null while there is no toolbar.
    CString* (*attachmentPath)() = nullptr;
    // Repaints the desktop toolbar after its attachment changed.
    void (*repaintShellBar)() = nullptr;
    // Runs the options sheet in place of the frame's own command (unset: the frame's).
    void (*runOptions)() = nullptr;
    // Hands a new hot key to the desktop toolbar's keyboard hook.
    void (*setHookHotKey)(char key, int shift, int ctrl, int alt) = nullptr;
    // The web version check; true when something was found.
    bool (*checkWebForUpdate)() = nullptr;
};

extern CFrameHooks g_FrameHooks;
