#include "appbar_state.h"

#include <algorithm>
#include <cstdlib>

CAppBarState DefaultAppBarState()
{
    CAppBarState s{};
    s.cbSize = sizeof(CAppBarState);
    s.state = APPBAR_BOTTOM;
    return s;
}

bool IsKnownAppBarState(int state) { return state >= APPBAR_FLOAT && state <= APPBAR_BOTTOM; }

void CopyInAppBarState(CAppBarState& stored, const void* record)
{
    if (!record)
        return;
    uint32_t size;
    std::memcpy(&size, record, sizeof size);
    CAppBarState taken = stored;
    std::memcpy(&taken, record, std::min<size_t>(size, sizeof(CAppBarState)));
    if (size >= 8 && !IsKnownAppBarState(taken.state))
        taken.state = stored.state;
    stored = taken;
    stored.cbSize = sizeof(CAppBarState);
}

void CopyOutAppBarState(const CAppBarState& stored, void* record)
{
    if (!record)
        return;
    uint32_t size;
    std::memcpy(&size, record, sizeof size);
    if (size <= sizeof size)
        return;
    size = std::min<uint32_t>(size, sizeof(CAppBarState));
    std::memcpy(static_cast<char*>(record) + sizeof size, reinterpret_cast<const char*>(&stored) + sizeof size,
                size - sizeof size);
}

bool ReadStoredAppBarState(CAppBarState& record, const void* data, size_t size)
{
    if (!data || size != sizeof(CAppBarState))
        return false;
    CAppBarState read;
    std::memcpy(&read, data, sizeof read);
    if (!IsKnownAppBarState(read.state))
        return false;
    for (int32_t d : read.dockSize)
        if (d < 0)
            return false;
    read.cbSize = sizeof(CAppBarState);
    record = read;
    return true;
}

void ApplyDockSize(const CAppBarState& s, int state, AppBarRect& r)
{
    switch (state) {
    case APPBAR_LEFT: r.right = r.left + s.dockSize[0]; break;
    case APPBAR_TOP: r.bottom = r.top + s.dockSize[1]; break;
    case APPBAR_RIGHT: r.left = r.right - s.dockSize[2]; break;
    case APPBAR_BOTTOM: r.top = r.bottom - s.dockSize[3]; break;
    default: break;
    }
}

bool AutoHideRect(int state, bool autoHide, bool show, int screenW, int screenH, int stripX, int stripY,
                  AppBarRect& r)
{
    if (!autoHide || state < APPBAR_LEFT || state > APPBAR_BOTTOM)
        return false;
    const int w = r.Width(), h = r.Height();
    int x = 0, y = 0;
    if (show) {
        if (state == APPBAR_RIGHT)
            x = screenW - w;
        else if (state == APPBAR_BOTTOM)
            y = screenH - h;
    } else {
        switch (state) {
        case APPBAR_LEFT: x = stripX - w; break;
        case APPBAR_TOP: y = stripY - h; break;
        case APPBAR_RIGHT: x = screenW - stripX; break;
        case APPBAR_BOTTOM: y = screenH - stripY; break;
        }
    }
    r = {x, y, x + w, y + h};
    return true;
}

int ProposeAppBarState(uint32_t options, bool ctrlDown, int x, int y, int screenW, int screenH,
                       const AppBarRect& shrunkWorkArea)
{
    const bool canFloat = (options & APPBAR_ALLOW_FLOAT) != 0;
    const bool leftRight = (options & APPBAR_ALLOW_LEFT_RIGHT) != 0;
    const bool topBottom = (options & APPBAR_ALLOW_TOP_BOTTOM) != 0;
    if (ctrlDown && canFloat)
        return APPBAR_FLOAT;
    if (canFloat) {
        const bool inside = x >= shrunkWorkArea.left && x < shrunkWorkArea.right && y >= shrunkWorkArea.top &&
                            y < shrunkWorkArea.bottom;
        if (inside || (!leftRight && !topBottom))
            return APPBAR_FLOAT;
    }
    const long long dx = x - screenW / 2, dy = y - screenH / 2;
    bool horizontal;
    if (std::llabs(dy) * screenW <= std::llabs(dx) * screenH && leftRight)
        horizontal = true;
    else
        horizontal = !topBottom;
    // Either side of either axis docks at the top: the toolbar reaches the
    // bottom edge only through its stored state.
    (void)horizontal;
    return APPBAR_TOP;
}

int SnapWidth(int draggedWidth, int frameWidth, int step)
{
    if (step <= 0)
        return draggedWidth;
    return ((draggedWidth - frameWidth + step / 2) / step) * step + frameWidth;
}
