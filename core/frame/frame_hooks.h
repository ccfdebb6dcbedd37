// Pieces of the program that the frame starts and stops but that live in
// modules of their own (the desktop toolbar, the web version check), so the
// frame builds and is tested without them. Start-up installs every hook and
// logs any left empty.
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
    // Hands a new hot key to the desktop toolbar's keyboard hook.
    void (*setHookHotKey)(char key, int shift, int ctrl, int alt) = nullptr;
    // The web version check; true when something was found.
    bool (*checkWebForUpdate)() = nullptr;
};

extern CFrameHooks g_FrameHooks;

// Fills every hook whose module is linked into the program; called once at
// start-up, before the frame is created.
void InstallFrameHooks();
// The names of the hooks still empty, for the start-up log: a hook left
// empty must not go unnoticed.
const char* const* MissingFrameHooks(int* count);
#define FRAME_TEXT_HOOK_MISSING "The frame's hook %s is not installed.\r\n"

