// The recorded sound's format and its WAV file: portable, so the file layout
// is checked on both builds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WaveFormat {
    uint16_t formatTag = 1;  // PCM
    uint16_t channels = 1;
    uint32_t samplesPerSec = 11025;
    uint32_t avgBytesPerSec = 11025;
    uint16_t blockAlign = 1;
    uint16_t bitsPerSample = 8;

    // PCM at a rate of 11025, 22050 or 44100 and 8 or 16 bits, with 1 or 2
    // channels; false (nothing changes) for any other.
    bool Set(int channelCount, uint32_t rate, int bits);
};

// The whole file: the 44-byte RIFF header and the data, the samples in
// recording order.
std::vector<uint8_t> BuildWaveFile(const WaveFormat& format, const std::vector<uint8_t>& data);

// The sample at index i of 8-bit or 16-bit data, as a 16-bit value (8-bit
// samples centred on 128 are scaled); 0 beyond the data.
int WaveSample(const WaveFormat& format, const std::vector<uint8_t>& data, size_t index);
