// The array mechanics the attachment and recipient lists share (internal to the
// mail classes): storage, the current position, owned copies of whole entries.
// Only what an entry owns differs, and that is FreeEntry/CopyEntry per type.
#pragma once

#include <new>

#include "mapi_exception.h"
#include "simple_mapi.h"

// A list never holds more entries than a 16-bit count can name.
constexpr ULONG ZLM_MAPI_MAX_ENTRIES = 0xFFFF;

namespace zlmmapi {

// Releases what the entry owns (its texts and buffers), leaving them null.
void FreeEntry(MapiFileDesc& entry);
void FreeEntry(MapiRecipDesc& entry);
// Fills a zeroed entry with owned copies of from's fields; 0 or the copy's error.
ULONG CopyEntry(MapiFileDesc& to, const MapiFileDesc& from);
ULONG CopyEntry(MapiRecipDesc& to, const MapiRecipDesc& from);

// No storage (null array) or an array of count entries with a current entry.
// The owning list frees it through Flush: the array is a plain part of it.
template <class Entry>
struct EntryArray {
    Entry* entries = nullptr;
    Entry* current = nullptr;
    ULONG count = 0;

    // Storage for n zeroed entries (n may be 0), positioned on the first.
    ULONG Create(WORD n)
    {
        if (entries)
            return ZLM_MAPI_HAS_STORAGE;
        Entry* fresh = new (std::nothrow) Entry[n]();
        if (!fresh)
            return ZLM_MAPI_NO_MEMORY;
        entries = fresh;
        current = fresh;
        count = n;
        return 0;
    }

    void Flush()
    {
        if (entries) {
            for (ULONG i = 0; i < count; ++i)
                FreeEntry(entries[i]);
            delete[] entries;
        }
        entries = nullptr;
        current = nullptr;
        count = 0;
    }

    ULONG SetPosition(ULONG i)
    {
        if (!entries || count == 0)
            return ZLM_MAPI_NO_STORAGE;
        if (i >= count)
            return ZLM_MAPI_PAST_END;
        current = entries + i;
        return 0;
    }

    // Storage with no entries has no current entry to write into.
    ULONG CheckWritable() const { return (entries && count > 0) ? 0 : ZLM_MAPI_NO_STORAGE; }

    // Replaces the content by copies of first's entries followed by second's (a
    // null array counts as empty); nothing to copy leaves no storage. On failure
    // the copies made so far are released again.
    ULONG CopyFrom(const Entry* first, ULONG firstCount, const Entry* second = nullptr,
                   ULONG secondCount = 0)
    {
        Flush();
        if (!first)
            firstCount = 0;
        if (!second)
            secondCount = 0;
        ULONG total = firstCount + secondCount;
        if (total == 0)
            return 0;
        if (firstCount > ZLM_MAPI_MAX_ENTRIES || secondCount > ZLM_MAPI_MAX_ENTRIES ||
            total > ZLM_MAPI_MAX_ENTRIES)
            return ZLM_MAPI_PAST_END;
        if (ULONG rc = Create(static_cast<WORD>(total)))
            return rc;
        for (ULONG i = 0; i < total; ++i) {
            const Entry& from = i < firstCount ? first[i] : second[i - firstCount];
            if (ULONG rc = CopyEntry(entries[i], from)) {
                for (ULONG k = 0; k <= i; ++k)
                    FreeEntry(entries[k]);
                return rc;
            }
        }
        return 0;
    }
};

} // namespace zlmmapi
