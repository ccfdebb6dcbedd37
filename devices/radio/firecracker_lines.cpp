#include "firecracker_lines.h"

#include <atomic>

namespace {
class PortLines : public CFirecrackerLines {
public:
    void Signal(HANDLE port, bool rts, bool dtr, DWORD holdMs) override
    {
        // A port that did not open makes these fail: nothing goes out.
        ::EscapeCommFunction(port, rts ? SETRTS : CLRRTS);
        ::EscapeCommFunction(port, dtr ? SETDTR : CLRDTR);
        ::Sleep(holdMs);
    }
    void Pause(DWORD ms) override { ::Sleep(ms); }
};

PortLines g_portLines;
std::atomic<CFirecrackerLines*> g_lines{&g_portLines};
} // namespace

CFirecrackerLines* SetFirecrackerLines(CFirecrackerLines* lines)
{
    return g_lines.exchange(lines ? lines : &g_portLines);
}

CFirecrackerLines& FirecrackerLines() { return *g_lines.load(); }
