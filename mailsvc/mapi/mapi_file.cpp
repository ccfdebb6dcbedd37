#include <new>

#include "mapi_lists.h"
#include "mapi_text.h"

using zlmmapi::CopyText;
using zlmmapi::FreeText;
using zlmmapi::ReadText;

IMPLEMENT_SERIAL(CZLMMapiFile, CObject, 0)

CZLMMapiFile::CZLMMapiFile() : m_pEntries(nullptr), m_pCurrent(nullptr), m_count(0) {}

CZLMMapiFile::CZLMMapiFile(const CZLMMapiFile& source)
    : CObject(), m_pEntries(nullptr), m_pCurrent(nullptr), m_count(0)
{
    if (source.m_pEntries && source.m_count > 0)
        *this = source;
}

CZLMMapiFile::~CZLMMapiFile()
{
    Flush();
}

ULONG CZLMMapiFile::CreatePointer(WORD count)
{
    if (m_pEntries)
        return ZLM_MAPI_HAS_STORAGE;
    // An empty array still counts as storage: callers fill an attachment list
    // that may stay empty.
    MapiFileDesc* entries = new (std::nothrow) MapiFileDesc[count]();
    if (!entries)
        return ZLM_MAPI_NO_MEMORY;
    m_pEntries = entries;
    m_pCurrent = entries;
    m_count = count;
    return 0;
}

void CZLMMapiFile::Flush()
{
    if (m_pEntries) {
        for (ULONG i = 0; i < m_count; ++i) {
            FreeText(m_pEntries[i].lpszPathName);
            FreeText(m_pEntries[i].lpszFileName);
        }
        delete[] m_pEntries;
    }
    m_pEntries = nullptr;
    m_pCurrent = nullptr;
    m_count = 0;
}

ULONG CZLMMapiFile::SetPosition(ULONG i)
{
    if (!m_pEntries || m_count == 0)
        return ZLM_MAPI_NO_STORAGE;
    if (i >= m_count)
        return ZLM_MAPI_PAST_END;
    m_pCurrent = m_pEntries + i;
    return 0;
}

ULONG CZLMMapiFile::CheckWritable() const
{
    // Storage with no entries has no current entry to write into.
    return (m_pEntries && m_count > 0) ? 0 : ZLM_MAPI_NO_STORAGE;
}

ULONG CZLMMapiFile::GetFlags() const
{
    return CheckWritable() == 0 ? m_pCurrent->flFlags : 0;
}

ULONG CZLMMapiFile::SetFlags(ULONG flags)
{
    if (ULONG rc = CheckWritable())
        return rc;
    m_pCurrent->flFlags = flags;
    return 0;
}

ULONG CZLMMapiFile::GetAttachmentPosition() const
{
    return CheckWritable() == 0 ? m_pCurrent->nPosition : 0;
}

ULONG CZLMMapiFile::SetAttachmentPosition(ULONG position)
{
    if (ULONG rc = CheckWritable())
        return rc;
    m_pCurrent->nPosition = position;
    return 0;
}

CString CZLMMapiFile::GetPathName() const
{
    if (CheckWritable())
        ZLMThrowMapiException(ZLM_MAPI_NO_STORAGE);
    return ReadText(m_pCurrent->lpszPathName);
}

ULONG CZLMMapiFile::SetPathName(CString path)
{
    if (ULONG rc = CheckWritable())
        return rc;
    return CopyText(m_pCurrent->lpszPathName, path);
}

CString CZLMMapiFile::GetFileName() const
{
    if (CheckWritable())
        ZLMThrowMapiException(ZLM_MAPI_NO_STORAGE);
    return ReadText(m_pCurrent->lpszFileName);
}

ULONG CZLMMapiFile::SetFileName(CString name)
{
    if (ULONG rc = CheckWritable())
        return rc;
    return CopyText(m_pCurrent->lpszFileName, name);
}

CZLMMapiFile& CZLMMapiFile::operator[](ULONG i)
{
    if (ULONG rc = SetPosition(i))
        ZLMThrowMapiException(rc);
    return *this;
}

CZLMMapiFile& CZLMMapiFile::operator=(const CZLMMapiFile& source)
{
    if (this == &source)
        return *this;
    Flush();
    if (ULONG rc = CopyFromPointer(source.m_pEntries, source.m_count))
        ZLMThrowMapiException(rc);
    return *this;
}

CZLMMapiFile& CZLMMapiFile::operator+=(const CZLMMapiFile& other)
{
    if (!other.m_pEntries || other.m_count == 0)
        return *this;
    if (!m_pEntries || m_count == 0)
        return *this = other;
    ULONG total = m_count + other.m_count;
    if (total > ZLM_MAPI_MAX_ENTRIES)
        ZLMThrowMapiException(ZLM_MAPI_PAST_END);
    CZLMMapiFile both;
    if (ULONG rc = both.CreatePointer(static_cast<WORD>(total)))
        ZLMThrowMapiException(rc);
    for (ULONG i = 0; i < total; ++i) {
        const MapiFileDesc& from = i < m_count ? m_pEntries[i] : other.m_pEntries[i - m_count];
        both.SetPosition(i);
        ULONG rc = both.SetFlags(from.flFlags);
        if (!rc)
            rc = both.SetAttachmentPosition(from.nPosition);
        if (!rc)
            rc = both.SetPathName(from.lpszPathName);
        if (!rc)
            rc = both.SetFileName(from.lpszFileName);
        if (rc)
            ZLMThrowMapiException(rc);
        both.m_pCurrent->ulReserved = from.ulReserved;
    }
    both.SetPosition(0);
    return *this = both;
}

ULONG CZLMMapiFile::CopyFromPointer(const MapiFileDesc* entries, ULONG count)
{
    Flush();
    if (!entries || count == 0)
        return 0;
    if (count > ZLM_MAPI_MAX_ENTRIES)
        return ZLM_MAPI_PAST_END;
    if (ULONG rc = CreatePointer(static_cast<WORD>(count)))
        return rc;
    for (ULONG i = 0; i < count; ++i) {
        MapiFileDesc& to = m_pEntries[i];
        to.flFlags = entries[i].flFlags;
        to.nPosition = entries[i].nPosition;
        ULONG rc = CopyText(to.lpszPathName, entries[i].lpszPathName);
        if (!rc)
            rc = CopyText(to.lpszFileName, entries[i].lpszFileName);
        if (rc) {
            for (ULONG k = 0; k <= i; ++k) {
                FreeText(m_pEntries[k].lpszPathName);
                FreeText(m_pEntries[k].lpszFileName);
            }
            return rc;
        }
        to.ulReserved = entries[i].ulReserved;
    }
    return 0;
}
