#include "mapi_text.h"

#include <cstring>
#include <new>

#include "simple_mapi.h"

namespace zlmmapi {

void FreeText(LPSTR& field)
{
    delete[] field;
    field = nullptr;
}

ULONG CopyText(LPSTR& field, const char* text)
{
    FreeText(field);
    if (!text || !*text)
        return 0;
    size_t length = std::strlen(text);
    char* copy = new (std::nothrow) char[length + 1];
    if (!copy)
        return ZLM_MAPI_NO_MEMORY;
    std::memcpy(copy, text, length + 1);
    field = copy;
    return 0;
}

void FreeBytes(LPVOID& id, ULONG& idSize)
{
    delete[] static_cast<BYTE*>(id);
    id = nullptr;
    idSize = 0;
}

ULONG CopyBytes(LPVOID& id, ULONG& idSize, const void* source, ULONG size)
{
    FreeBytes(id, idSize);
    // Without bytes to copy there is no identifier, whatever size was claimed.
    if (size == 0 || !source)
        return 0;
    BYTE* copy = new (std::nothrow) BYTE[size];
    if (!copy)
        return ZLM_MAPI_NO_MEMORY;
    std::memcpy(copy, source, size);
    id = copy;
    idSize = size;
    return 0;
}

} // namespace zlmmapi
