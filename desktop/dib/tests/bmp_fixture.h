// Builds ".bmp" streams byte by byte for the picture tests and the fuzzer seeds.
#pragma once

#include <cstdint>
#include <vector>

namespace bmpfix {

inline void Put(std::vector<uint8_t>& v, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        v.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

struct Info {
    uint32_t headerSize = 40;
    int32_t width = 2;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t colorsUsed = 0;
};

// File header, header (core or information, padded to headerSize), colours
// (3 or 4 bytes each), then the given pixel bytes.
inline std::vector<uint8_t> Stream(const Info& info, const std::vector<uint32_t>& colors,
                                   const std::vector<uint8_t>& pixels)
{
    std::vector<uint8_t> v{'B', 'M'};
    Put(v, 0, 4);  // file size: not used when reading
    Put(v, 0, 4);
    Put(v, 0, 4);  // pixel offset: not used when reading
    Put(v, info.headerSize, 4);
    if (info.headerSize == 12) {
        Put(v, static_cast<uint32_t>(info.width), 2);
        Put(v, static_cast<uint32_t>(info.height), 2);
        Put(v, info.planes, 2);
        Put(v, info.bits, 2);
        for (uint32_t c : colors)
            Put(v, c, 3);
    } else {
        Put(v, static_cast<uint32_t>(info.width), 4);
        Put(v, static_cast<uint32_t>(info.height), 4);
        Put(v, info.planes, 2);
        Put(v, info.bits, 2);
        Put(v, info.compression, 4);
        Put(v, info.imageSize, 4);
        Put(v, 2835, 4);
        Put(v, 2835, 4);
        Put(v, info.colorsUsed, 4);
        Put(v, 0, 4);
        for (uint32_t i = 40; i < info.headerSize && i < 124; ++i)
            v.push_back(0xEE);
        for (uint32_t c : colors)
            Put(v, c, 4);
    }
    v.insert(v.end(), pixels.begin(), pixels.end());
    return v;
}

}  // namespace bmpfix
