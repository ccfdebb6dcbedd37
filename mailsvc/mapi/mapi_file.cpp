#include "mapi_lists.h"
#include "mapi_text.h"

using zlmmapi::CopyText;
using zlmmapi::FreeText;
using zlmmapi::ReadText;

IMPLEMENT_SERIAL(CZLMMapiFile, CObject, 0)

void zlmmapi::FreeEntry(MapiFileDesc& entry)
{
    FreeText(entry.lpszPathName);
    FreeText(entry.lpszFileName);
}

ULONG zlmmapi::CopyEntry(MapiFileDesc& to, const MapiFileDesc& from)
{
    to.flFlags = from.flFlags;
    to.nPosition = from.nPosition;
    ULONG rc = CopyText(to.lpszPathName, from.lpszPathName);
    if (!rc)
        rc = CopyText(to.lpszFileName, from.lpszFileName);
    if (!rc)
        to.ulReserved = from.ulReserved;
    return rc;
}

CZLMMapiFile::CZLMMapiFile() {}

CZLMMapiFile::CZLMMapiFile(const CZLMMapiFile& source) : CObject()
{
    if (source.m_list.entries && source.m_list.count > 0)
        *this = source;
}

CZLMMapiFile::~CZLMMapiFile()
{
    Flush();
}

ULONG CZLMMapiFile::CreatePointer(WORD count)
{
    // An empty array still counts as storage: callers fill an attachment list
    // that may stay empty.
    return m_list.Create(count);
}

void CZLMMapiFile::Flush()
{
    m_list.Flush();
}

ULONG CZLMMapiFile::SetPosition(ULONG i)
{
    return m_list.SetPosition(i);
}

ULONG CZLMMapiFile::GetFlags() const
{
    return m_list.CheckWritable() == 0 ? m_list.current->flFlags : 0;
}

ULONG CZLMMapiFile::SetFlags(ULONG flags)
{
    if (ULONG rc = m_list.CheckWritable())
        return rc;
    m_list.current->flFlags = flags;
    return 0;
}

ULONG CZLMMapiFile::GetAttachmentPosition() const
{
    return m_list.CheckWritable() == 0 ? m_list.current->nPosition : 0;
}

ULONG CZLMMapiFile::SetAttachmentPosition(ULONG position)
{
    if (ULONG rc = m_list.CheckWritable())
        return rc;
    m_list.current->nPosition = position;
    return 0;
}

CString CZLMMapiFile::GetPathName() const
{
    if (m_list.CheckWritable())
        ZLMThrowMapiException(ZLM_MAPI_NO_STORAGE);
    return ReadText(m_list.current->lpszPathName);
}

ULONG CZLMMapiFile::SetPathName(CString path)
{
    if (ULONG rc = m_list.CheckWritable())
        return rc;
    return CopyText(m_list.current->lpszPathName, path);
}

CString CZLMMapiFile::GetFileName() const
{
    if (m_list.CheckWritable())
        ZLMThrowMapiException(ZLM_MAPI_NO_STORAGE);
    return ReadText(m_list.current->lpszFileName);
}

ULONG CZLMMapiFile::SetFileName(CString name)
{
    if (ULONG rc = m_list.CheckWritable())
        return rc;
    return CopyText(m_list.current->lpszFileName, name);
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
    if (ULONG rc = CopyFromPointer(source.m_list.entries, source.m_list.count))
        ZLMThrowMapiException(rc);
    return *this;
}

CZLMMapiFile& CZLMMapiFile::operator+=(const CZLMMapiFile& other)
{
    if (!other.m_list.entries || other.m_list.count == 0)
        return *this;
    if (!m_list.entries || m_list.count == 0)
        return *this = other;
    CZLMMapiFile both;
    if (ULONG rc = both.m_list.CopyFrom(m_list.entries, m_list.count, other.m_list.entries,
                                        other.m_list.count))
        ZLMThrowMapiException(rc);
    return *this = both;
}

ULONG CZLMMapiFile::CopyFromPointer(const MapiFileDesc* entries, ULONG count)
{
    return m_list.CopyFrom(entries, count);
}
