#include "winmgr/openeffect_frames.h"

#include <cstddef>
#include <cstdint>

namespace winmgr {

int NextCascadeOffset(int offset)
{
    offset += kCascadeStep;
    return offset >= kCascadeLimit ? 0 : offset;
}

long FixedMulDiv(long a, long b, long c)
{
    if (c == 0)
        return 0;
    int64_t num = static_cast<int64_t>(a) * b;
    int64_t den = c;
    bool negative = (num < 0) != (den < 0);
    if (num < 0)
        num = -num;
    if (den < 0)
        den = -den;
    int64_t q = (num + den / 2) / den;
    return static_cast<long>(negative ? -q : q);
}

std::vector<FrameRect> GatherEffectFrame(const FrameRect& target, int f, int g, int n)
{
    std::vector<FrameRect> cells;
    if (g <= 0 || n <= 0)
        return cells;
    const long cx = (target.left + target.right) / 2;
    const long cy = (target.top + target.bottom) / 2;
    const long hw = target.right - cx;
    const long hh = target.top - cy;  // negative: the cells are laid out upwards
    const long sx = hw * f / (static_cast<long>(n) * g);
    const long sy = hh * f / (static_cast<long>(n) * g);
    if (sx == 0 && sy == 0)
        return cells;
    const long s = FixedMulDiv(65536, 3L * n - 2L * f, n);
    cells.reserve(static_cast<size_t>(g) * g);
    for (int a = 0; a < g; ++a) {
        for (int b = 0; b < g; ++b) {
            const long px = (2L * a - g + 1) * hw / g;
            const long py = (2L * b - g + 1) * hh / g;
            const long qx = FixedMulDiv(px, s, 65536) + cx;
            const long qy = FixedMulDiv(py, s, 65536) + cy;
            cells.push_back({qx - sx, qy - sy, qx + sx, qy + sy});
        }
    }
    return cells;
}

} // namespace winmgr
