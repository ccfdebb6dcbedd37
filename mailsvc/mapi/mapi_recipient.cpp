#include "mapi_lists.h"
#include "mapi_text.h"

using zlmmapi::CopyBytes;
using zlmmapi::CopyText;
using zlmmapi::FreeBytes;
using zlmmapi::FreeText;
using zlmmapi::ReadText;

IMPLEMENT_SERIAL(CZLMMapiRecipient, CObject, 0)

void zlmmapi::FreeEntry(MapiRecipDesc& entry)
{
    FreeText(entry.lpszName);
    FreeText(entry.lpszAddress);
    FreeBytes(entry.lpEntryID, entry.ulEIDSize);
}

ULONG zlmmapi::CopyEntry(MapiRecipDesc& to, const MapiRecipDesc& from)
{
    to.ulRecipClass = from.ulRecipClass;
    ULONG rc = CopyText(to.lpszName, from.lpszName);
    if (!rc)
        rc = CopyText(to.lpszAddress, from.lpszAddress);
    if (!rc)
        rc = CopyBytes(to.lpEntryID, to.ulEIDSize, from.lpEntryID, from.ulEIDSize);
    if (!rc)
        to.ulReserved = from.ulReserved;
    return rc;
}

CZLMMapiRecipient::CZLMMapiRecipient() {}

CZLMMapiRecipient::CZLMMapiRecipient(const CZLMMapiRecipient& source) : CObject()
{
    if (source.m_list.entries && source.m_list.count > 0)
        *this = source;
}

CZLMMapiRecipient::CZLMMapiRecipient(MapiRecipDesc* entries, ULONG count)
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
    if (m_list.entries)
        return ZLM_MAPI_HAS_STORAGE;
    if (count == 0)
        return 0;
    return m_list.Create(count);
}

void CZLMMapiRecipient::Flush()
{
    m_list.Flush();
}

ULONG CZLMMapiRecipient::SetPosition(ULONG i)
{
    return m_list.SetPosition(i);
}

ULONG CZLMMapiRecipient::GetRecipClass() const
{
    return m_list.CheckWritable() == 0 ? m_list.current->ulRecipClass : 0;
}

ULONG CZLMMapiRecipient::SetRecipClass(ULONG recipClass)
{
    if (ULONG rc = m_list.CheckWritable())
        return rc;
    m_list.current->ulRecipClass = recipClass;
    return 0;
}

CString CZLMMapiRecipient::GetName() const
{
    if (m_list.CheckWritable())
        ZLMThrowMapiException(ZLM_MAPI_NO_STORAGE);
    return ReadText(m_list.current->lpszName);
}

ULONG CZLMMapiRecipient::SetName(CString name)
{
    if (ULONG rc = m_list.CheckWritable())
        return rc;
    return CopyText(m_list.current->lpszName, name);
}

CString CZLMMapiRecipient::GetAddress() const
{
    if (m_list.CheckWritable())
        ZLMThrowMapiException(ZLM_MAPI_NO_STORAGE);
    return ReadText(m_list.current->lpszAddress);
}

ULONG CZLMMapiRecipient::SetAddress(CString address)
{
    if (ULONG rc = m_list.CheckWritable())
        return rc;
    return CopyText(m_list.current->lpszAddress, address);
}

ULONG CZLMMapiRecipient::SetEntryID(void* id, WORD size)
{
    if (ULONG rc = m_list.CheckWritable())
        return rc;
    return CopyBytes(m_list.current->lpEntryID, m_list.current->ulEIDSize, id, size);
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
    if (ULONG rc = CopyFromPointer(source.m_list.entries, source.m_list.count)) {
        Flush();
        ZLMThrowMapiException(rc);
    }
    return *this;
}

CZLMMapiRecipient& CZLMMapiRecipient::operator+=(const CZLMMapiRecipient& other)
{
    if (!other.m_list.entries || other.m_list.count == 0)
        return *this;
    if (!m_list.entries || m_list.count == 0)
        return *this = other;
    CZLMMapiRecipient both;
    if (ULONG rc = both.m_list.CopyFrom(m_list.entries, m_list.count, other.m_list.entries,
                                        other.m_list.count))
        ZLMThrowMapiException(rc);
    return *this = both;
}

ULONG CZLMMapiRecipient::CopyFromPointer(const MapiRecipDesc* entries, ULONG count)
{
    return m_list.CopyFrom(entries, count);
}
