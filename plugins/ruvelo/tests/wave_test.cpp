// The recording in memory: blocks in recording order, samples read across
// block ends, the cut to the wanted length, the WAV file the blocks make, the
// stored form and the process-wide sample buffers.
#include "wave.h"

#include "fx/archive.h"
#include "fx/file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

CWaveBlock* Block(std::initializer_list<uint8_t> bytes, DWORD width = 1)
{
    uint8_t* data = TakeSampleBuffer(bytes.size());
    std::copy(bytes.begin(), bytes.end(), data);
    return new CWaveBlock(data, static_cast<DWORD>(bytes.size()), static_cast<DWORD>(bytes.size() / width));
}

struct CountingSink : CWaveSink {
    std::vector<DWORD> sizes;
    void BlockAdded(CWave*, CWaveBlock* block) override { sizes.push_back(block->m_nSize); }
};

TEST(Wave, SetFormatDropsTheBlocksAndReservesOne)
{
    CWave wave;
    EXPECT_EQ(wave.m_Format.samplesPerSec, 11025u) << "a new wave is 11025 per second, mono, 8 bits";
    EXPECT_EQ(wave.m_Format.channels, 1);
    EXPECT_EQ(wave.m_Format.bitsPerSample, 8);
    wave.AddBlock(Block({1, 2, 3}));
    struct Case {
        int channels;
        uint32_t rate;
        int bits;
        DWORD reserve;
        int result;
        int blocks;  // after the call
    } cases[] = {
        {1, 8000, 8, 0, 0, 1},     // refused: the old blocks stay
        {1, 11025, 12, 10, 0, 1},  // refused
        {2, 22050, 16, 0, 1, 0},   // no reservation: no block
        {1, 44100, 16, 100, 1, 1}, // one empty block of 200 bytes
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wave.SetFormat(c.channels, c.rate, c.bits, c.reserve), c.result) << c.rate << "/" << c.bits;
        EXPECT_EQ(wave.m_Blocks.GetCount(), c.blocks) << c.rate << "/" << c.bits;
        EXPECT_EQ(wave.GetLength(), c.result ? 0u : 3u) << "a reserved block holds no recorded bytes";
    }
    EXPECT_EQ(wave.m_Format.blockAlign, 2);
    EXPECT_EQ(wave.m_Format.avgBytesPerSec, 88200u);
}

TEST(Wave, SamplesAreReadAcrossBlocksAndTheSinkHearsEachBlock)
{
    CWave eight;
    CountingSink sink;
    eight.m_pSink = &sink;
    eight.AddBlock(Block({0, 128}));
    eight.AddBlock(Block({}));
    eight.AddBlock(Block({255}));
    EXPECT_EQ(sink.sizes, (std::vector<DWORD>{2, 0, 1}));
    EXPECT_EQ(eight.GetLength(), 3u);
    struct {
        DWORD index;
        int value;
    } eights[] = {{0, -32768}, {1, 0}, {2, 127 * 256}, {3, 0}, {1000000, 0}};
    for (auto c : eights)
        EXPECT_EQ(eight.GetSample(c.index), c.value) << "8-bit sample " << c.index;

    CWave sixteen;
    ASSERT_EQ(sixteen.SetFormat(1, 11025, 16), 1);
    // The second sample starts at the end of the first block.
    sixteen.AddBlock(Block({0x00, 0x80, 0xFF}, 2));
    sixteen.AddBlock(Block({0x7F, 0x01}, 2));
    struct {
        DWORD index;
        int value;
    } sixteens[] = {{0, -32768}, {1, 32767}, {2, 0}};
    for (auto c : sixteens)
        EXPECT_EQ(sixteen.GetSample(c.index), c.value) << "16-bit sample " << c.index;
}

TEST(Wave, TrimCutsTheRecordingToTheWantedLength)
{
    struct Case {
        DWORD keep;
        std::vector<uint8_t> data;
    } cases[] = {
        {10, {1, 2, 3, 4, 5, 6}}, {6, {1, 2, 3, 4, 5, 6}}, {5, {1, 2, 3, 4, 5}},
        {3, {1, 2, 3}},           {2, {1, 2}},             {0, {}},
    };
    for (const Case& c : cases) {
        CWave wave;
        wave.AddBlock(Block({1, 2, 3}));
        wave.AddBlock(Block({4, 5, 6}));
        wave.TrimTo(c.keep);
        EXPECT_EQ(wave.Data(), c.data) << "kept " << c.keep;
        EXPECT_EQ(wave.GetLength(), c.data.size());
    }
}

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (FILE* in = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(in)) != EOF)
            bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(in);
    }
    return bytes;
}

TEST(Wave, SavesTheBlocksAsOneWaveFile)
{
    CWave wave;
    ASSERT_EQ(wave.SetFormat(2, 11025, 8), 1);
    wave.AddBlock(Block({10, 20, 30, 40}));
    wave.AddBlock(Block({50, 60}));
    std::string path = TempPath(("vx_wave_save_" + std::to_string(std::rand()) + ".wav").c_str());
    ASSERT_EQ(wave.SaveTo(path.c_str()), 1);
    EXPECT_EQ(ReadFile(path), BuildWaveFile(wave.m_Format, {10, 20, 30, 40, 50, 60}));
    std::remove(path.c_str());
    CWave empty;
    ASSERT_EQ(empty.SaveTo(path.c_str()), 1) << "an empty recording is saved too";
    EXPECT_EQ(ReadFile(path).size(), 44u);
    std::remove(path.c_str());
    EXPECT_EQ(empty.SaveTo(TempPath("no-such-folder/x/y.wav").c_str()), 0);
    EXPECT_EQ(empty.SaveTo(""), 0);
}

std::vector<uint8_t> Stored(CWave& wave)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        wave.Serialize(ar);
        ar.Close();
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

void Load(CWave& wave, std::vector<uint8_t> bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    wave.Serialize(ar);
}

TEST(Wave, StoredFormRoundTripsAndBeginsWithTheFormatBlock)
{
    CWave wave;
    ASSERT_EQ(wave.SetFormat(2, 22050, 16), 1);
    wave.AddBlock(Block({1, 2, 3, 4}, 2));
    wave.AddBlock(Block({}, 2));
    std::vector<uint8_t> bytes = Stored(wave);
    const uint8_t format[16] = {1, 0, 2, 0, 0x22, 0x56, 0, 0, 0x88, 0x58, 1, 0, 4, 0, 16, 0};
    ASSERT_GE(bytes.size(), 16u);
    EXPECT_EQ(std::memcmp(bytes.data(), format, 16), 0) << "tag, channels, rate, bytes per second, alignment, bits";

    CWave loaded;
    Load(loaded, bytes);
    EXPECT_EQ(std::memcmp(&loaded.m_Format, &wave.m_Format, sizeof wave.m_Format), 0);
    EXPECT_EQ(loaded.m_Blocks.GetCount(), 2);
    EXPECT_EQ(loaded.Data(), wave.Data());
    auto* first = static_cast<CWaveBlock*>(loaded.m_Blocks.GetHead());
    EXPECT_EQ(first->m_nSamples, 2u);

    // Damaged stored forms are refused with an archive error, not read past.
    std::vector<std::vector<uint8_t>> damaged = {
        std::vector<uint8_t>(bytes.begin(), bytes.begin() + 10),  // cut in the format
        std::vector<uint8_t>(bytes.begin(), bytes.end() - 3),     // cut in the samples
    };
    std::vector<uint8_t> huge = bytes;  // first block's size set to 4 GB
    for (size_t at = 16; at + 8 <= huge.size(); ++at) {
        if (huge[at] == 2 && huge[at + 4] == 4) {
            huge[at + 4] = huge[at + 5] = huge[at + 6] = huge[at + 7] = 0xFF;
            break;
        }
    }
    damaged.push_back(huge);
    for (const auto& d : damaged) {
        CWave target;
        bool refused = false;
        try {
            Load(target, d);
        } catch (CArchiveException* e) {
            refused = true;
            e->Delete();
        }
        EXPECT_TRUE(refused) << "a damaged stored form of " << d.size() << " bytes";
    }
}

TEST(Wave, EverySampleBufferGoesBack)
{
    size_t before = SampleBuffersOut();
    {
        CWave wave;
        wave.SetFormat(1, 11025, 8, 4096);
        wave.AddBlock(Block({1}));
        wave.AddBlock(Block({2}));
        EXPECT_EQ(SampleBuffersOut(), before + 3);
        wave.SetFormat(1, 11025, 8);
        EXPECT_EQ(SampleBuffersOut(), before) << "dropping the blocks gives their buffers back";
        wave.AddBlock(Block({3}));
    }
    EXPECT_EQ(SampleBuffersOut(), before) << "a destroyed wave gives its buffers back";
    uint8_t* stray = TakeSampleBuffer(16);
    (void)stray;
    FreeAllSampleBuffers();
    EXPECT_EQ(SampleBuffersOut(), 0u) << "all at once";
}

} // namespace
