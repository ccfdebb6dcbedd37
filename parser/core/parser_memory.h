// Counted allocators: every parser allocation is counted so that the memory limit
// can see how much one parse holds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <new>

void* ParserAlloc(size_t n);
void ParserFree(void* p, size_t n);
void* ExternalAlloc(size_t n);
void ExternalFree(void* p, size_t n);
void ExternalFreeText(char* text);

struct ParserMemoryCounters {
    int64_t inUse;
    int64_t maxInUse;
    int64_t externalInUse;
    int64_t externalMaxInUse;
};
ParserMemoryCounters GetParserMemoryCounters();
// Starts a new peak from what is in use now (for measuring one parse).
void ResetParserMemoryPeak();

// Bump allocator over counted chunks; everything is released at once by Reset or
// destruction. Used for the many small records of one parse (connectors,
// disjuncts, count entries, parse sets).
class ParserArena {
public:
    explicit ParserArena(size_t chunkSize = 16384) : m_chunkSize(chunkSize) {}
    ~ParserArena() { Reset(); }
    ParserArena(const ParserArena&) = delete;
    ParserArena& operator=(const ParserArena&) = delete;

    void* Allocate(size_t n, size_t align = alignof(std::max_align_t));
    template <class T, class... A> T* New(A&&... args)
    {
        return new (Allocate(sizeof(T), alignof(T))) T{static_cast<A&&>(args)...};
    }
    void Reset();
    size_t BytesHeld() const { return m_held; }

private:
    struct Chunk {
        Chunk* next;
        size_t size;
    };
    Chunk* m_chunks = nullptr;
    char* m_cur = nullptr;
    char* m_end = nullptr;
    size_t m_chunkSize;
    size_t m_held = 0;
};

// std allocator over the counted parser memory, for tables held in std containers.
template <class T> struct ParserAllocator {
    using value_type = T;
    ParserAllocator() = default;
    template <class U> ParserAllocator(const ParserAllocator<U>&) {}
    T* allocate(size_t n)
    {
        void* p = ParserAlloc(n * sizeof(T));
        if (!p)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t n) { ParserFree(p, n * sizeof(T)); }
    template <class U> bool operator==(const ParserAllocator<U>&) const { return true; }
    template <class U> bool operator!=(const ParserAllocator<U>&) const { return false; }
};
