#include <new>

#include "mapi_lists.h"
#include "mapi_text.h"

using zlmmapi::CopyBytes;
using zlmmapi::CopyText;
using zlmmapi::FreeBytes;
using zlmmapi::FreeText;
using zlmmapi::ReadText;

IMPLEMENT_SERIAL(CZLMMapiRecipient, CObject, 0)

namespace {

void FreeEntry(MapiRecipDesc& entry)
{
    FreeText(entry.lpszName);
    FreeText(entry.lpszAddress);
    FreeBytes(entry.lpEntryID, entry.ulEIDSize);
}

} // namespace

CZLMMapiRecipient::CZLMMapiRecipient() : m_pEntries(nullptr), m_pCurrent(nullptr), m_count(0) {}

CZLMMapiRecipient::CZLMMapiRecipient(const CZLMMapiRecipient& source)
    : CObject(), m_pEntries(nullptr), m_pCurrent(nullptr), m_count(0)
{
    if (source.m_pEntries && source.m_count > 0)
        *this = source;
}

CZLMMapiRecipient::CZLMMapiRecipient(MapiRecipDesc* entries, ULONG count)
    : m_pEntries(nullptr), m_pCurrent(nullptr), m_count(0)
{
    if (ULONG rc = CopyFromPointer(entries, count)) {
        Flush();
        ZLMThrowMapiException(rc);
    }
}

CZLMMapiRecipient::~CZLMMapiRecipient()
{
    Flush();
}

ULONG CZLMMapiRecipient::CreatePointer(WORD count)
{
    if (m_pEntries)
        return ZLM_MAPI_HAS_STORAGE;
    if (count == 0)
        return 0;
    MapiRecipDesc* entries = new (std::nothrow) MapiRecipDesc[count]();
    if (!entries)
        return ZLM_MAPI_NO_MEMORY;
    m_pEntries = entries;
    m_pCurrent = entries;
    m_count = count;
    return 0;
}

void CZLMMapiRecipient::Flush()
{
    if (m_pEntries) {
        for (ULONG i = 0; i < m_count; ++i)
            FreeEntry(m_pEntries[i]);
        delete[] m_pEntries;
    }
    m_pEntries = nullptr;
    m_pCurrent = nullptr;
    m_count = 0;
}

ULONG CZLMMapiRecipient::SetPosition(ULONG i)
{
    if (!m_pEntries || m_count == 0)
        return ZLM_MAPI_NO_STORAGE;
    if (i >= m_count)
        return ZLM_MAPI_PAST_END;
    m_pCurrent = m_pEntries + i;
    return 0;
}

ULONG CZLMMapiRecipient::CheckWritable() const
{
    return (m_pEntries && m_count > 0) ? 0 : ZLM_MAPI_NO_STORAGE;
}

ULONG CZLMMapiRecipient::GetRecipClass() const
{
    return CheckWritable() == 0 ? m_pCurrent->ulRecipClass : 0;
}

ULONG CZLMMapiRecipient::SetRecipClass(ULONG recipClass)
{
    if (ULONG rc = CheckWritable())
        return rc;
    m_pCurrent->ulRecipClass = recipClass;
    return 0;
}

CString CZLMMapiRecipient::GetName() const
{
    if (CheckWritable())
        ZLMThrowMapiException(ZLM_MAPI_NO_STORAGE);
    return ReadText(m_pCurrent->lpszName);
}

ULONG CZLMMapiRecipient::SetName(CString name)
{
    if (ULONG rc = CheckWritable())
        return rc;
    return CopyText(m_pCurrent->lpszName, name);
}

CString CZLMMapiRecipient::GetAddress() const
{
    if (CheckWritable())
        ZLMThrowMapiException(ZLM_MAPI_NO_STORAGE);
    return ReadText(m_pCurrent->lpszAddress);
}

ULONG CZLMMapiRecipient::SetAddress(CString address)
{
    if (ULONG rc = CheckWritable())
        return rc;
    return CopyText(m_pCurrent->lpszAddress, address);
}

ULONG CZLMMapiRecipient::SetEntryID(void* id, WORD size)
{
    if (ULONG rc = CheckWritable())
        return rc;
    return CopyBytes(m_pCurrent->lpEntryID, m_pCurrent->ulEIDSize, id, size);
}

CZLMMapiRecipient& CZLMMapiRecipient::operator[](ULONG i)
{
    if (ULONG rc = SetPosition(i))
        ZLMThrowMapiException(rc);
    return *this;
}

CZLMMapiRecipient& CZLMMapiRecipient::operator=(const CZLMMapiRecipient& source)
{
    if (this == &source)
        return *this;
    Flush();
    if (ULONG rc = CopyFromPointer(source.m_pEntries, source.m_count)) {
        Flush();
        ZLMThrowMapiException(rc);
    }
    return *this;
}

CZLMMapiRecipient& CZLMMapiRecipient::operator+=(const CZLMMapiRecipient& other)
{
    if (!other.m_pEntries || other.m_count == 0)
        return *this;
    if (!m_pEntries || m_count == 0)
        return *this = other;
    ULONG total = m_count + other.m_count;
    if (total > ZLM_MAPI_MAX_ENTRIES)
        ZLMThrowMapiException(ZLM_MAPI_PAST_END);
    CZLMMapiRecipient both;
    if (ULONG rc = both.CreatePointer(static_cast<WORD>(total)))
        ZLMThrowMapiException(rc);
    for (ULONG i = 0; i < total; ++i) {
        const MapiRecipDesc& from = i < m_count ? m_pEntries[i] : other.m_pEntries[i - m_count];
        both.SetPosition(i);
        ULONG rc = both.SetRecipClass(from.ulRecipClass);
        if (!rc)
            rc = both.SetName(from.lpszName);
        if (!rc)
            rc = both.SetAddress(from.lpszAddress);
        if (!rc)
            rc = CopyBytes(both.m_pCurrent->lpEntryID, both.m_pCurrent->ulEIDSize, from.lpEntryID,
                           from.ulEIDSize);
        if (rc)
            ZLMThrowMapiException(rc);
        both.m_pCurrent->ulReserved = from.ulReserved;
    }
    both.SetPosition(0);
    return *this = both;
}

ULONG CZLMMapiRecipient::CopyFromPointer(const MapiRecipDesc* entries, ULONG count)
{
    Flush();
    if (!entries || count == 0)
        return 0;
    if (count > ZLM_MAPI_MAX_ENTRIES)
        return ZLM_MAPI_PAST_END;
    if (ULONG rc = CreatePointer(static_cast<WORD>(count)))
        return rc;
    for (ULONG i = 0; i < count; ++i) {
        MapiRecipDesc& to = m_pEntries[i];
        to.ulRecipClass = entries[i].ulRecipClass;
        ULONG rc = CopyText(to.lpszName, entries[i].lpszName);
        if (!rc)
            rc = CopyText(to.lpszAddress, entries[i].lpszAddress);
        if (!rc)
            rc = CopyBytes(to.lpEntryID, to.ulEIDSize, entries[i].lpEntryID, entries[i].ulEIDSize);
        if (rc) {
            for (ULONG k = 0; k <= i; ++k)
                FreeEntry(m_pEntries[k]);
            return rc;
        }
        to.ulReserved = entries[i].ulReserved;
    }
    return 0;
}
