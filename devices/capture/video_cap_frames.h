// The frame state shared by the capture windows of a module and the frame
// callbacks the driver calls (on the thread that sent the grab).
#pragma once

#include <windows.h>
#include <vfw.h>

#include <vector>

struct VideoCapFrames {
    CAPVIDEOCALLBACK callerCallback = nullptr;
    // The last frame: its header and a copy of the bytes the driver said it
    // filled, never more than its buffer holds.
    VIDEOHDR lastHeader = {};
    std::vector<BYTE> lastFrame;
    int frameCounter = 0;
    int framesToSkip = 0;
    int grabbed = 0;
    int cancel = 0;
    int savedPriority = THREAD_PRIORITY_NORMAL;
    std::vector<BYTE> savedFormat;
    // The measuring callback's figures: when the last frame arrived (ms of
    // the multimedia clock) and how many bytes it held.
    DWORD arrivalTime = 0;
    DWORD measuredLength = 0;
};

extern VideoCapFrames g_VideoCapFrames;

// The library's own callback: keeps the frame, counts it, and from the count
// past the skip number on hands it to the caller's callback.
LRESULT CALLBACK VideoCapOwnFrameCallback(HWND wnd, LPVIDEOHDR header);
// The plain one: keeps the frame and always hands it on.
LRESULT CALLBACK VideoCapPlainFrameCallback(HWND wnd, LPVIDEOHDR header);
// The probes' one: keeps the frame, notes its arrival time and length.
LRESULT CALLBACK VideoCapMeasuringFrameCallback(HWND wnd, LPVIDEOHDR header);
