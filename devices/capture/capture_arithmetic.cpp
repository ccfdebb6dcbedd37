#include "capture_arithmetic.h"

#include <cstdlib>

namespace VideoCapMath {

namespace {
const unsigned kDepths[] = {1, 4, 8, 16, 24, 32};
const int kStandardWidths[] = {320, 640, 160, 400};

struct Sweep {
    FrameSize base;
    int upBelowWidth;    // upwards while the width stays below this
    int downAboveWidth;  // downwards while the width stays above this
};
const Sweep kSweeps[] = {
    {{320, 240}, 640, 160},
    {{640, 480}, 1600, 360},
    {{160, 120}, 320, 60},
};
const int kSweepStepX = 20;
const int kSweepStepY = 15;
} // namespace

int DepthBit(unsigned bits)
{
    for (int i = 0; i < 6; ++i)
        if (kDepths[i] == bits)
            return i;
    return -1;
}

unsigned LowestDepth(int mask)
{
    for (int i = 0; i < 6; ++i)
        if (mask & (1 << i))
            return kDepths[i];
    return 0;
}

long ColourTableBytes(unsigned bits, uint32_t coloursUsed)
{
    uint32_t most = bits <= 8 ? (1u << bits) : 256u;
    if (coloursUsed > most)
        return -1;
    if (coloursUsed)
        return static_cast<long>(coloursUsed) * 4;
    switch (bits) {
    case 1: return 8;
    case 4: return 64;
    case 8: return 1024;
    default: return 0;
    }
}

bool FormatBlockFits(uint32_t blockSize, uint32_t headerSize, unsigned bits, uint32_t coloursUsed)
{
    if (blockSize > kMaxFormatBlock || headerSize < 40 || headerSize > blockSize)
        return false;
    long table = ColourTableBytes(bits, coloursUsed);
    return table >= 0 && static_cast<uint64_t>(headerSize) + static_cast<uint64_t>(table) <= blockSize;
}

uint32_t UncompressedFrameSize(long width, long height, unsigned bits)
{
    uint64_t w = static_cast<uint64_t>(std::labs(width));
    uint64_t h = static_cast<uint64_t>(std::labs(height));
    if (w > 0xFFFFFFFFu || h > 0xFFFFFFFFu)
        return 0;
    uint64_t size = w * h * bits / 8;
    return size > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(size);
}

uint32_t PackSize(int width, int height)
{
    return static_cast<uint32_t>(width) * 65536u + static_cast<uint32_t>(height & 0xFFFF);
}

FrameSize UnpackSize(uint32_t packed)
{
    return {static_cast<int>(packed >> 16), static_cast<int>(packed & 0xFFFF)};
}

std::vector<FrameSize> SweepSizes(const FrameSize& base)
{
    std::vector<FrameSize> sizes;
    for (const Sweep& s : kSweeps) {
        if (!(s.base == base))
            continue;
        for (FrameSize f{base.width + kSweepStepX, base.height + kSweepStepY}; f.width < s.upBelowWidth;
             f.width += kSweepStepX, f.height += kSweepStepY)
            sizes.push_back(f);
        for (FrameSize f{base.width - kSweepStepX, base.height - kSweepStepY}; f.width > s.downAboveWidth;
             f.width -= kSweepStepX, f.height -= kSweepStepY)
            sizes.push_back(f);
    }
    return sizes;
}

bool IsStandardWidth(int width)
{
    for (int w : kStandardWidths)
        if (w == width)
            return true;
    return false;
}

bool HasStandardSize(const std::vector<uint32_t>& validSizes, int currentWidth)
{
    if (validSizes.empty())
        return IsStandardWidth(currentWidth);
    for (uint32_t packed : validSizes)
        if (IsStandardWidth(UnpackSize(packed).width))
            return true;
    return false;
}

Placement AutoPlace(int referenceWidth, int referenceHeight, int windowWidth, int windowHeight,
                    int formatWidth, int formatHeight, bool followFormat)
{
    Placement p;
    p.width = followFormat ? formatWidth : windowWidth;
    p.height = followFormat ? formatHeight : windowHeight;
    p.x = referenceWidth > p.width ? (referenceWidth - p.width) / 2 : 0;
    p.y = referenceHeight > p.height ? (referenceHeight - p.height) / 2 : 0;
    return p;
}

} // namespace VideoCapMath
