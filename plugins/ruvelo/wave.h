// The recording in memory: a wave is its format and the blocks the sound
// input handed back, in recording order. The blocks' sample buffers come from
// one process-wide list, so whatever a failed recording leaves can be freed
// at once. The stored form (Serialize) is the 16-byte format block followed by
// the block list.
#pragma once

#include "wave_format.h"

#include "fx/archive.h"
#include "fx/collections.h"
#include "fx/object.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CWave;
class CWaveBlock;
class CWaveWnd;

// Sample buffers: every one taken is remembered until it is given back.
uint8_t* TakeSampleBuffer(size_t bytes);
void GiveBackSampleBuffer(uint8_t* buffer);
// Frees every buffer still out; those who held one must not use it again.
void FreeAllSampleBuffers();
size_t SampleBuffersOut();

// Told of every block the wave gains while it records.
class CWaveSink {
public:
    virtual ~CWaveSink() = default;
    virtual void BlockAdded(CWave* wave, CWaveBlock* block) = 0;
};

class CWaveBlock : public CObject {
    DECLARE_SERIAL(CWaveBlock)
public:
    CWaveBlock() = default;
    // Takes the sample buffer (from TakeSampleBuffer) and gives it back when destroyed.
    CWaveBlock(uint8_t* data, DWORD bytes, DWORD samples);
    ~CWaveBlock() override;
    CWaveBlock(const CWaveBlock&) = delete;
    CWaveBlock& operator=(const CWaveBlock&) = delete;

    void Serialize(CArchive& ar) override;

    uint8_t* m_pData = nullptr;
    DWORD m_nSize = 0;     // bytes recorded in it
    DWORD m_nSamples = 0;  // samples in it
};

// The blocks in recording order; removing them deletes each one.
class CWaveBlockList : public CObList {
    DECLARE_SERIAL(CWaveBlockList)
public:
    CWaveBlockList() : CObList(10) {}
    ~CWaveBlockList() override;
    void RemoveAll();
    void Serialize(CArchive& ar) override;
};

class CWave : public CObject {
    DECLARE_SERIAL(CWave)
public:
    CWave();
    ~CWave() override;
    CWave(const CWave&) = delete;
    CWave& operator=(const CWave&) = delete;

    // 1 with the format set and every block dropped (one empty block of
    // bits * reserveSamples / 8 bytes reserved when that is above 0); 0 and
    // nothing changed for a rate other than 11025, 22050 or 44100, bits other
    // than 8 or 16, or channels other than 1 or 2.
    int SetFormat(int channels, uint32_t samplesPerSec, int bits, DWORD reserveSamples = 0);

    // Recording through the input window (Windows only): Record starts it
    // with buffers of bufferSize bytes, telling the sink of each block; Stop
    // resets the devices and drops the sink. 1 when recording started.
    int Record(CWaveWnd* input, DWORD bufferSize, CWaveSink* sink);
    void Stop();

    // Appends a block the input handed back and tells the sink.
    void AddBlock(CWaveBlock* block);
    // The sum of the blocks' byte sizes.
    DWORD GetLength() const;
    // The i-th sample as a 16-bit value (8-bit samples centred on 128 are
    // scaled); 0 beyond the data.
    int GetSample(DWORD index) const;
    // Cuts the recording to at most the given number of bytes.
    void TrimTo(DWORD bytes);
    // The samples of every block, in recording order.
    std::vector<uint8_t> Data() const;

    // Writes the WAV file (created, shared with nobody); 1 when written.
    // Save with an empty path asks for one first (Windows only).
    int SaveTo(const char* path) const;
    int Save(const char* path) const;

    void Serialize(CArchive& ar) override;

    int m_bOwner = 0;
    WaveFormat m_Format;
    CWaveBlockList m_Blocks;
    void* m_pOutput = nullptr;       // the playing device, when one plays it
    CWaveWnd* m_pInput = nullptr;    // the recording device, while it records
    CWaveSink* m_pSink = nullptr;
};
