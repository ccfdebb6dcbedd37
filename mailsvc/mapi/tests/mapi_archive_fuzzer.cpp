// Stored mail lists read from arbitrary bytes: every failure is an exception of
// the class layer, never an overrun.
#include <cstddef>
#include <cstdint>

#include "mapi/mapi_lists.h"

namespace {

template <class F>
void Guarded(const uint8_t* data, size_t size, F read)
{
    CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
    try {
        CArchive ar(&file, CArchive::load);
        read(ar);
    } catch (CException* e) {
        e->Delete();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Guarded(data, size, [](CArchive& ar) {
        CZLMMapiFile files;
        files.Serialize(ar);
        for (ULONG i = 0; i < files.GetSize(); ++i)
            files[i].GetPathName();
    });
    Guarded(data, size, [](CArchive& ar) {
        CZLMMapiRecipient recips;
        recips.Serialize(ar);
        for (ULONG i = 0; i < recips.GetSize(); ++i)
            recips[i].GetAddress();
    });
    Guarded(data, size, [](CArchive& ar) {
        CObject* object = nullptr;
        ar >> object;
        delete object;
    });
    return 0;
}
