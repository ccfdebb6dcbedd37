// The arithmetic of the toolkit's two-colour gradients, apart from any
// device context: band width and the colour of a band.
#pragma once

#include <cstdint>

namespace gradient {

// Width of one band for a gradient N pixels long: N / 128, at least 1 (and
// 1 whenever that quotient is below 2).
int BandWidth(int extent);

// Colour (0x00BBGGRR) of a band whose far end lies k pixels along a
// gradient of extent n: each channel second + (first - second) * k / n,
// truncated toward zero and kept to 8 bits. n <= 0 gives second.
uint32_t BandColor(uint32_t first, uint32_t second, int k, int n);

} // namespace gradient
