// The recording's format rules and its WAV file, byte for byte, then read back
// by Python's wave module where the host has it.
#include "wave_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

uint32_t Read32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Read16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(WaveFormat, AcceptsOnlyTheRatesAndSizesTheRecorderTakes)
{
    struct Case {
        int channels;
        uint32_t rate;
        int bits;
        bool ok;
        uint16_t align;
        uint32_t perSecond;
    } cases[] = {
        {1, 11025, 8, true, 1, 11025},  {2, 11025, 8, true, 2, 22050},   {2, 44100, 16, true, 4, 176400},
        {1, 22050, 16, true, 2, 44100}, {1, 8000, 8, false, 0, 0},       {1, 11025, 12, false, 0, 0},
        {0, 11025, 8, false, 0, 0},     {3, 11025, 8, false, 0, 0},
    };
    for (const Case& c : cases) {
        WaveFormat f;
        f.Set(2, 44100, 16);
        WaveFormat before = f;
        EXPECT_EQ(f.Set(c.channels, c.rate, c.bits), c.ok) << c.channels << " " << c.rate << " " << c.bits;
        if (c.ok) {
            EXPECT_EQ(f.blockAlign, c.align);
            EXPECT_EQ(f.avgBytesPerSec, c.perSecond);
            EXPECT_EQ(f.formatTag, 1);
        } else {
            EXPECT_EQ(std::memcmp(&f, &before, sizeof f), 0) << "a refused format changed the old one";
        }
    }
}

TEST(WaveFormat, HeaderCarriesTheFormatAndTheDataLength)
{
    WaveFormat f;
    ASSERT_TRUE(f.Set(2, 11025, 8));
    std::vector<uint8_t> data(1001, 0x80);
    data[0] = 0xFF;
    std::vector<uint8_t> file = BuildWaveFile(f, data);
    ASSERT_EQ(file.size(), 44u + data.size());
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(Read32(file, 4), data.size() + 36);
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Read32(file, 16), 16u);
    EXPECT_EQ(Read16(file, 20), 1);
    EXPECT_EQ(Read16(file, 22), 2);
    EXPECT_EQ(Read32(file, 24), 11025u);
    EXPECT_EQ(Read32(file, 28), 22050u);
    EXPECT_EQ(Read16(file, 32), 2);
    EXPECT_EQ(Read16(file, 34), 8);
    EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
    EXPECT_EQ(Read32(file, 40), data.size());
    EXPECT_EQ(file[44], 0xFF);
    // An empty recording still makes a well-formed file.
    EXPECT_EQ(BuildWaveFile(f, {}).size(), 44u);
}

TEST(WaveFormat, SamplesReadAsSixteenBitValues)
{
    WaveFormat eight;
    std::vector<uint8_t> bytes = {0, 128, 255};
    EXPECT_EQ(WaveSample(eight, bytes, 0), -32768);
    EXPECT_EQ(WaveSample(eight, bytes, 1), 0);
    EXPECT_EQ(WaveSample(eight, bytes, 2), 127 * 256);
    EXPECT_EQ(WaveSample(eight, bytes, 3), 0);
    WaveFormat sixteen;
    ASSERT_TRUE(sixteen.Set(1, 11025, 16));
    std::vector<uint8_t> words = {0x00, 0x80, 0xFF, 0x7F, 0x01};
    EXPECT_EQ(WaveSample(sixteen, words, 0), -32768);
    EXPECT_EQ(WaveSample(sixteen, words, 1), 32767);
    EXPECT_EQ(WaveSample(sixteen, words, 2), 0) << "half a sample at the end is not read";
}

#ifndef _WIN32
// Python's wave module, a reader we did not write, agrees with the header.
TEST(WaveFormat, PythonReadsTheFile)
{
    WaveFormat f;
    ASSERT_TRUE(f.Set(1, 11025, 8));
    std::vector<uint8_t> data(11025);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(128 + (i % 2 ? 40 : -40));
    std::vector<uint8_t> file = BuildWaveFile(f, data);
    char path[] = "/tmp/vx_wave_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    FILE* out = fdopen(fd, "wb");
    ASSERT_EQ(std::fwrite(file.data(), 1, file.size(), out), file.size());
    std::fclose(out);
    std::string command = std::string("/usr/bin/python3 -c \"import wave,sys; w=wave.open(sys.argv[1]); "
                                      "print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes())\" ") +
                          path;
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[128] = {};
    ASSERT_NE(std::fgets(line, sizeof line, p), nullptr);
    pclose(p);
    std::remove(path);
    EXPECT_STREQ(line, "1 1 11025 11025\n");
}
#endif

} // namespace
