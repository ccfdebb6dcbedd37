#include "parser/core/parser_memory.h"

#include <cstdlib>
#include <cstring>

namespace {
ParserMemoryCounters g_counters = {0, 0, 0, 0};
}

void* ParserAlloc(size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        return nullptr;
    g_counters.inUse += static_cast<int64_t>(n);
    if (g_counters.inUse > g_counters.maxInUse)
        g_counters.maxInUse = g_counters.inUse;
    return p;
}

void ParserFree(void* p, size_t n)
{
    if (!p)
        return;
    g_counters.inUse -= static_cast<int64_t>(n);
    std::free(p);
}

void* ExternalAlloc(size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        return nullptr;
    g_counters.externalInUse += static_cast<int64_t>(n);
    if (g_counters.externalInUse > g_counters.externalMaxInUse)
        g_counters.externalMaxInUse = g_counters.externalInUse;
    return p;
}

void ExternalFree(void* p, size_t n)
{
    if (!p)
        return;
    g_counters.externalInUse -= static_cast<int64_t>(n);
    std::free(p);
}

void ExternalFreeText(char* text)
{
    if (text)
        ExternalFree(text, std::strlen(text) + 1);
}

ParserMemoryCounters GetParserMemoryCounters() { return g_counters; }

void* ParserArena::Allocate(size_t n, size_t align)
{
    uintptr_t cur = reinterpret_cast<uintptr_t>(m_cur);
    uintptr_t aligned = (cur + (align - 1)) & ~static_cast<uintptr_t>(align - 1);
    if (!m_cur || aligned + n > reinterpret_cast<uintptr_t>(m_end)) {
        size_t want = sizeof(Chunk) + n + align;
        size_t size = want > m_chunkSize ? want : m_chunkSize;
        Chunk* c = static_cast<Chunk*>(ParserAlloc(size));
        if (!c)
            throw std::bad_alloc();
        c->next = m_chunks;
        c->size = size;
        m_chunks = c;
        m_held += size;
        m_cur = reinterpret_cast<char*>(c) + sizeof(Chunk);
        m_end = reinterpret_cast<char*>(c) + size;
        cur = reinterpret_cast<uintptr_t>(m_cur);
        aligned = (cur + (align - 1)) & ~static_cast<uintptr_t>(align - 1);
    }
    m_cur = reinterpret_cast<char*>(aligned + n);
    return reinterpret_cast<void*>(aligned);
}

void ParserArena::Reset()
{
    while (m_chunks) {
        Chunk* next = m_chunks->next;
        ParserFree(m_chunks, m_chunks->size);
        m_chunks = next;
    }
    m_cur = m_end = nullptr;
    m_held = 0;
}

void ResetParserMemoryPeak()
{
    g_counters.maxInUse = g_counters.inUse;
    g_counters.externalMaxInUse = g_counters.externalInUse;
}
