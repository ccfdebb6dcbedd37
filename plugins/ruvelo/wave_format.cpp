#include "wave_format.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

bool WaveFormat::Set(int channelCount, uint32_t rate, int bits)
{
    if (rate != 11025 && rate != 22050 && rate != 44100)
        return false;
    if (bits != 8 && bits != 16)
        return false;
    if (channelCount != 1 && channelCount != 2)
        return false;
    formatTag = 1;
    channels = static_cast<uint16_t>(channelCount);
    samplesPerSec = rate;
    bitsPerSample = static_cast<uint16_t>(bits);
    blockAlign = static_cast<uint16_t>(channels * bits / 8);
    avgBytesPerSec = rate * blockAlign;
    return true;
}

std::vector<uint8_t> BuildWaveFile(const WaveFormat& format, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> out;
    uint32_t length = static_cast<uint32_t>(data.size());
    out.reserve(44 + data.size());
    PutTag(out, "RIFF");
    Put32(out, length + 36);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, format.formatTag);
    Put16(out, format.channels);
    Put32(out, format.samplesPerSec);
    Put32(out, format.avgBytesPerSec);
    Put16(out, format.blockAlign);
    Put16(out, format.bitsPerSample);
    PutTag(out, "data");
    Put32(out, length);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

int WaveSample(const WaveFormat& format, const std::vector<uint8_t>& data, size_t index)
{
    if (format.bitsPerSample == 16) {
        if (index * 2 + 1 >= data.size())
            return 0;
        return static_cast<int16_t>(data[index * 2] | (data[index * 2 + 1] << 8));
    }
    if (index >= data.size())
        return 0;
    return (static_cast<int>(data[index]) - 128) * 256;
}
