// The arithmetic of the video capture window, kept free of Win32 so it is
// checked natively: depth bits, colour-table and frame sizes, the frame-size
// sweeps of the probe, the standard-size test and the window's placement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace VideoCapMath {

// The largest format block taken from a driver: a header and a full colour
// table with room to spare; anything larger is not a bitmap format.
const uint32_t kMaxFormatBlock = 64 * 1024;

struct FrameSize {
    int width;
    int height;
    bool operator==(const FrameSize& o) const { return width == o.width && height == o.height; }
};

// The bit of a depth in the depth mask (1, 4, 8, 16, 24, 32 -> 0..5), or -1.
int DepthBit(unsigned bits);
// The depth of the lowest set bit of a mask, or 0 for an empty mask.
unsigned LowestDepth(int mask);

// Bytes of colour table after a header of that depth: 4 per used colour when
// the header counts them, else 8 / 64 / 1024 for 1 / 4 / 8 bits and none above.
// -1 when the colour count cannot belong to that depth (more than 2^bits, or
// more than 256 for deeper formats).
long ColourTableBytes(unsigned bits, uint32_t coloursUsed);

// Whether a format block of blockSize bytes holds a header of headerSize
// bytes (at least the 40 of a plain header) and its whole colour table.
bool FormatBlockFits(uint32_t blockSize, uint32_t headerSize, unsigned bits, uint32_t coloursUsed);

// width x height x bits / 8 for one uncompressed frame (a bottom-up or
// top-down height alike); 0 when it does not fit 32 bits or a side is 0.
uint32_t UncompressedFrameSize(long width, long height, unsigned bits);

// A size as the valid-size list keeps it: width x 65536 + height.
uint32_t PackSize(int width, int height);
FrameSize UnpackSize(uint32_t packed);

// The sizes swept in steps of 20 x 15 around an accepted NTSC size (320 x 240,
// 640 x 480 or 160 x 120): upwards first, then downwards. None for other sizes.
std::vector<FrameSize> SweepSizes(const FrameSize& base);

// A width of the standard sizes (320, 640, 160, 400).
bool IsStandardWidth(int width);
// The standard-size flag: one of the probed sizes has a standard width, or
// with none probed the current width is one.
bool HasStandardSize(const std::vector<uint32_t>& validSizes, int currentWidth);

struct Placement {
    int x, y, width, height;
};
// Where the window goes inside a reference area: the format's size when it
// follows the format, else its own size, centred ((reference - size) / 2,
// 0 when the window is the larger).
Placement AutoPlace(int referenceWidth, int referenceHeight, int windowWidth, int windowHeight,
                    int formatWidth, int formatHeight, bool followFormat);

} // namespace VideoCapMath
