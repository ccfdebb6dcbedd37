// Band width and band colour of the toolkit's gradients.
#include "gradient_math.h"

namespace gradient {

int BandWidth(int extent)
{
    int s = extent / 128;
    return s >= 2 ? s : 1;
}

uint32_t BandColor(uint32_t first, uint32_t second, int k, int n)
{
    if (n <= 0)
        return second & 0x00FFFFFFu;
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        long long a = (first >> shift) & 0xFF;
        long long b = (second >> shift) & 0xFF;
        long long c = b + (a - b) * k / n;
        result |= (uint32_t)(c & 0xFF) << shift;
    }
    return result;
}

} // namespace gradient
