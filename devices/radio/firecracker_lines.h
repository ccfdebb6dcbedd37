// The transmitter's control lines: every change of RTS and DTR, and every wait
// between frames, goes through one seam. The real form drives the port with
// EscapeCommFunction and sleeps; a test installs a form that records.
#pragma once

#include <windows.h>

class CFirecrackerLines {
public:
    virtual ~CFirecrackerLines() = default;
    // Sets both lines and holds them for holdMs.
    virtual void Signal(HANDLE port, bool rts, bool dtr, DWORD holdMs) = 0;
    // A wait with the lines as they are (between frames and codes).
    virtual void Pause(DWORD ms) = 0;
};

// The form in use; installing null brings back the real one. Returns the previous form.
CFirecrackerLines* SetFirecrackerLines(CFirecrackerLines* lines);
CFirecrackerLines& FirecrackerLines();
