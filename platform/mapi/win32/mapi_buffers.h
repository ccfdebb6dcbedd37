// Memory handed to Simple MAPI callers. Every result (a message, a recipient) is
// one block holding its structures and texts, so one MAPIFreeBuffer frees it all.
// Blocks are registered: freeing an unknown pointer is refused, not a crash.
#pragma once
#include <cstddef>
#include <string>

namespace vxmail {

class MapiBlock {
public:
    explicit MapiBlock(size_t bytes);   // zeroed; Ok() false when out of memory
    ~MapiBlock();                       // frees the block unless released
    MapiBlock(const MapiBlock&) = delete;
    MapiBlock& operator=(const MapiBlock&) = delete;

    bool Ok() const { return m_base != nullptr; }
    template <class T> T* Take(size_t count) { return static_cast<T*>(Carve(sizeof(T) * count, alignof(T))); }
    // A zero-terminated copy inside the block.
    char* Copy(const std::string& text);
    // Hands the block to the caller (registered for MAPIFreeBuffer).
    void* Release();

    // Bytes a text copy needs.
    static size_t TextSize(const std::string& text) { return text.size() + 1; }

private:
    void* Carve(size_t bytes, size_t align);
    char* m_base = nullptr;
    size_t m_size = 0;
    size_t m_used = 0;
};

// MAPIFreeBuffer: 0 for a block of ours (or null), MAPI_E_FAILURE otherwise.
unsigned long FreeMapiBlock(void* block);

} // namespace vxmail
