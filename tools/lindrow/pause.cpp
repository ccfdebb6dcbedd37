// Waits of the copier.
#include "lindrow.h"

#include <windows.h>

namespace lindrow {

namespace {

// Test seam: LINDROW_WAIT_SCALE multiplies every wait (0 = no waiting), so tests do
// not sit through the pauses. Unset or not a small whole number: the real waits.
unsigned WaitScale() {
    char value[16];
    DWORD n = GetEnvironmentVariableA("LINDROW_WAIT_SCALE", value, sizeof value);
    if (n == 0 || n >= sizeof value) return 1;
    unsigned scale = 0;
    for (DWORD i = 0; i < n; ++i) {
        if (value[i] < '0' || value[i] > '9') return 1;
        scale = scale * 10 + static_cast<unsigned>(value[i] - '0');
        if (scale > 10) return 1;
    }
    return scale;
}

} // namespace

void Pause(unsigned ms) {
    static const unsigned scale = WaitScale();
    if (scale) Sleep(ms * scale);
}

} // namespace lindrow
