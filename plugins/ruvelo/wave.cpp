#include "wave.h"

#include "fx/exceptions.h"
#include "fx/file.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

IMPLEMENT_SERIAL(CWaveBlock, CObject, 1)
IMPLEMENT_SERIAL(CWaveBlockList, CObList, 1)
IMPLEMENT_SERIAL(CWave, CObject, 1)

namespace {

// A stored block larger than this is taken for damage, not read.
const DWORD kLargestStoredBlock = 64u << 20;

struct SampleBuffers {
    std::mutex lock;
    std::unordered_set<uint8_t*> out;
};

SampleBuffers& Buffers()
{
    static SampleBuffers buffers;
    return buffers;
}

} // namespace

uint8_t* TakeSampleBuffer(size_t bytes)
{
    auto* buffer = new uint8_t[bytes ? bytes : 1];
    SampleBuffers& b = Buffers();
    std::lock_guard<std::mutex> hold(b.lock);
    b.out.insert(buffer);
    return buffer;
}

void GiveBackSampleBuffer(uint8_t* buffer)
{
    if (!buffer)
        return;
    SampleBuffers& b = Buffers();
    {
        std::lock_guard<std::mutex> hold(b.lock);
        if (!b.out.erase(buffer))
            return;  // freed already by FreeAllSampleBuffers
    }
    delete[] buffer;
}

void FreeAllSampleBuffers()
{
    SampleBuffers& b = Buffers();
    std::unordered_set<uint8_t*> out;
    {
        std::lock_guard<std::mutex> hold(b.lock);
        out.swap(b.out);
    }
    for (uint8_t* buffer : out)
        delete[] buffer;
}

size_t SampleBuffersOut()
{
    SampleBuffers& b = Buffers();
    std::lock_guard<std::mutex> hold(b.lock);
    return b.out.size();
}

CWaveBlock::CWaveBlock(uint8_t* data, DWORD bytes, DWORD samples) : m_pData(data), m_nSize(bytes), m_nSamples(samples)
{
}

CWaveBlock::~CWaveBlock()
{
    GiveBackSampleBuffer(m_pData);
}

void CWaveBlock::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nSamples) << static_cast<DWORD>(m_nSize);
        if (m_nSize)
            ar.Write(m_pData, m_nSize);
        return;
    }
    DWORD samples = 0, size = 0;
    ar >> samples >> size;
    if (size > kLargestStoredBlock || samples > size)
        AfxThrowArchiveException(CArchiveException::generic);
    GiveBackSampleBuffer(m_pData);
    m_pData = nullptr;
    m_nSize = m_nSamples = 0;
    if (size) {
        m_pData = TakeSampleBuffer(size);
        if (ar.Read(m_pData, size) != size)
            AfxThrowArchiveException(CArchiveException::endOfFile);
    }
    m_nSize = size;
    m_nSamples = samples;
}

CWaveBlockList::~CWaveBlockList()
{
    RemoveAll();
}

void CWaveBlockList::RemoveAll()
{
    for (POSITION p = GetHeadPosition(); p;)
        delete GetNext(p);
    CObList::RemoveAll();
}

void CWaveBlockList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        CObList::Serialize(ar);
        return;
    }
    // Only blocks are taken: a stored list naming another class is damage.
    RemoveAll();
    DWORD count = ar.ReadCount();
    while (count-- > 0) {
        CObject* object = ar.ReadObject(RUNTIME_CLASS(CWaveBlock));
        if (object)
            AddTail(object);
    }
}

CWave::CWave()
{
    m_Format.Set(1, 11025, 8);
}

// The input must be closed before its wave goes (the recording window
// holds the wave while it records).
CWave::~CWave() = default;

int CWave::SetFormat(int channels, uint32_t samplesPerSec, int bits, DWORD reserveSamples)
{
    WaveFormat format;
    if (!format.Set(channels, samplesPerSec, bits))
        return 0;
    m_Blocks.RemoveAll();
    DWORD reserve = static_cast<DWORD>(static_cast<unsigned long long>(bits) * reserveSamples / 8);
    if (reserve > 0)
        m_Blocks.AddTail(new CWaveBlock(TakeSampleBuffer(reserve), 0, 0));
    m_Format = format;
    return 1;
}

void CWave::AddBlock(CWaveBlock* block)
{
    m_Blocks.AddTail(block);
    if (m_pSink)
        m_pSink->BlockAdded(this, block);
}

DWORD CWave::GetLength() const
{
    unsigned long long total = 0;
    for (POSITION p = m_Blocks.GetHeadPosition(); p;)
        total += static_cast<const CWaveBlock*>(m_Blocks.GetNext(p))->m_nSize;
    return static_cast<DWORD>(std::min<unsigned long long>(total, 0xFFFFFFFFull));
}

int CWave::GetSample(DWORD index) const
{
    const unsigned width = m_Format.bitsPerSample == 16 ? 2 : 1;
    unsigned long long at = static_cast<unsigned long long>(index) * width;
    uint8_t bytes[2] = {};
    unsigned got = 0;
    for (POSITION p = m_Blocks.GetHeadPosition(); p && got < width;) {
        auto* block = static_cast<const CWaveBlock*>(m_Blocks.GetNext(p));
        if (got == 0 && at >= block->m_nSize) {
            at -= block->m_nSize;
            continue;
        }
        // A sample may begin at the end of one block and end in the next.
        while (got < width && at < block->m_nSize)
            bytes[got++] = block->m_pData[at++];
        at = 0;
    }
    if (got < width)
        return 0;
    if (width == 2)
        return static_cast<int16_t>(bytes[0] | (bytes[1] << 8));
    return (static_cast<int>(bytes[0]) - 128) * 256;
}

void CWave::TrimTo(DWORD bytes)
{
    unsigned long long kept = 0;
    for (POSITION p = m_Blocks.GetHeadPosition(); p;) {
        auto* block = static_cast<CWaveBlock*>(m_Blocks.GetNext(p));
        if (kept + block->m_nSize > bytes) {
            DWORD room = static_cast<DWORD>(bytes - std::min<unsigned long long>(kept, bytes));
            DWORD width = block->m_nSamples ? std::max<DWORD>(1, block->m_nSize / block->m_nSamples) : 1;
            block->m_nSize = room;
            block->m_nSamples = room / width;
        }
        kept += block->m_nSize;
    }
}

std::vector<uint8_t> CWave::Data() const
{
    std::vector<uint8_t> data;
    data.reserve(GetLength());
    for (POSITION p = m_Blocks.GetHeadPosition(); p;) {
        auto* block = static_cast<const CWaveBlock*>(m_Blocks.GetNext(p));
        if (block->m_nSize)
            data.insert(data.end(), block->m_pData, block->m_pData + block->m_nSize);
    }
    return data;
}

int CWave::SaveTo(const char* path) const
{
    if (!path || !*path)
        return 0;
    std::vector<uint8_t> file = BuildWaveFile(m_Format, Data());
    CFile out;
    if (!out.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        return 0;
    try {
        out.Write(file.data(), static_cast<UINT>(file.size()));
        out.Close();
    } catch (CException* e) {
        e->Delete();
        out.Abort();
        return 0;
    }
    return 1;
}

void CWave::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<WORD>(m_Format.formatTag) << static_cast<WORD>(m_Format.channels)
           << static_cast<DWORD>(m_Format.samplesPerSec) << static_cast<DWORD>(m_Format.avgBytesPerSec)
           << static_cast<WORD>(m_Format.blockAlign) << static_cast<WORD>(m_Format.bitsPerSample);
    } else {
        WORD tag = 0, channels = 0, align = 0, bits = 0;
        DWORD rate = 0, perSecond = 0;
        ar >> tag >> channels >> rate >> perSecond >> align >> bits;
        m_Format.formatTag = tag;
        m_Format.channels = channels;
        m_Format.samplesPerSec = rate;
        m_Format.avgBytesPerSec = perSecond;
        m_Format.blockAlign = align;
        m_Format.bitsPerSample = bits;
    }
    m_Blocks.Serialize(ar);
}
