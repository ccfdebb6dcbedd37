#include "mapi_buffers.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

#include <windows.h>
#include <mapi.h>

namespace vxmail {

namespace {
std::mutex g_lock;
std::set<void*>& Live() {
    static std::set<void*> live;
    return live;
}
} // namespace

namespace {
// The layout of MAPI32's own buffers: a link word before the caller's pointer, the
// block from the process heap. So a MAPI32 that frees the buffer itself instead of
// calling our MAPIFreeBuffer (Wine's does, unless told otherwise) frees it correctly.
constexpr size_t kHeader = sizeof(void*);   // the link word: null, no chained blocks

char* AllocateWithHeader(size_t bytes) {
    char* raw = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes + kHeader));
    return raw ? raw + kHeader : nullptr;
}
void FreeWithHeader(void* p) {
    if (p) HeapFree(GetProcessHeap(), 0, static_cast<char*>(p) - kHeader);
}
} // namespace

MapiBlock::MapiBlock(size_t bytes) {
    m_size = bytes + 16;   // room for alignment padding
    m_base = AllocateWithHeader(m_size);
}

MapiBlock::~MapiBlock() { FreeWithHeader(m_base); }

void* MapiBlock::Carve(size_t bytes, size_t align) {
    size_t at = (m_used + align - 1) / align * align;
    if (!m_base || at + bytes > m_size) return nullptr;
    m_used = at + bytes;
    return m_base + at;
}

char* MapiBlock::Copy(const std::string& text) {
    char* p = static_cast<char*>(Carve(text.size() + 1, 1));
    if (p) {
        std::memcpy(p, text.data(), text.size());
        p[text.size()] = '\0';
    }
    return p;
}

void* MapiBlock::Release() {
    void* p = m_base;
    m_base = nullptr;
    if (p) {
        std::lock_guard<std::mutex> g(g_lock);
        Live().insert(p);
    }
    return p;
}

unsigned long FreeMapiBlock(void* block) {
    if (!block) return SUCCESS_SUCCESS;
    {
        std::lock_guard<std::mutex> g(g_lock);
        if (!Live().erase(block)) return MAPI_E_FAILURE;
    }
    FreeWithHeader(block);
    return SUCCESS_SUCCESS;
}

} // namespace vxmail
