#include "parser/core/random_table.h"

#include "parser/core/parser_error.h"

namespace {
uint32_t g_table[256];
bool g_filled = false;
} // namespace

// The generator is spelled out here rather than taken from the C runtime, whose
// rand differs between platforms: hashes must be the same everywhere.
void FillRandomTable()
{
    uint32_t state = 10;
    for (int i = 0; i < 256; ++i) {
        state = state * 214013u + 2531011u;
        g_table[i] = (state >> 16) & 0x7FFFu;
    }
    g_filled = true;
}

const uint32_t* RandomTable()
{
    if (!g_filled)
        FillRandomTable();
    return g_table;
}

void RandomSampler::Seed(int32_t s)
{
    if (m_inUse)
        ThrowParserLimit("random sampler already in use");
    int64_t v = s < 0 ? -static_cast<int64_t>(s) : s;
    v %= 1073741824;
    m_x = static_cast<int32_t>(v % 3);
    m_y = static_cast<int32_t>(v % 5);
    m_c = static_cast<int32_t>(v);
    m_inUse = true;
}

int32_t RandomSampler::Next()
{
    // All values stay far below 2^31, so the signed arithmetic never overflows.
    m_c = static_cast<int32_t>((static_cast<int64_t>(m_c) + 1) & 0x7FFFFFFF);
    m_x = static_cast<int32_t>((3ll * m_x + m_c + 104729) % 179424673);
    m_y = static_cast<int32_t>((7ll * m_y + m_c + 48611) % 86028121);
    return m_x + m_y;
}

void RandomSampler::End()
{
    if (!m_inUse)
        ThrowParserLimit("random sampler not in use");
    m_inUse = false;
}
