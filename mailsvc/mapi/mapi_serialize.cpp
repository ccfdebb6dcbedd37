// Stored forms of the two lists: a 32-bit count, then per entry the numbers and
// texts (attachments: flags, position, path name, file name; recipients: class,
// name, address). A null text is stored as an empty one.
#include "mapi_lists.h"

namespace {

// The count of a stored list, checked before anything is allocated for it.
WORD ReadListCount(CArchive& ar)
{
    DWORD count = 0;
    ar >> count;
    if (count > ZLM_MAPI_MAX_ENTRIES)
        AfxThrowArchiveException(CArchiveException::badIndex);
    return static_cast<WORD>(count);
}

void Check(ULONG rc)
{
    if (rc)
        ZLMThrowMapiException(rc);
}

} // namespace

void CZLMMapiFile::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_list.count);
        for (ULONG i = 0; i < m_list.count; ++i) {
            const MapiFileDesc& entry = m_list.entries[i];
            ar << static_cast<DWORD>(entry.flFlags) << static_cast<DWORD>(entry.nPosition);
            ar << CString(entry.lpszPathName) << CString(entry.lpszFileName);
        }
        return;
    }
    Flush();
    WORD count = ReadListCount(ar);
    if (count == 0)
        return;
    Check(CreatePointer(count));
    for (ULONG i = 0; i < count; ++i) {
        DWORD flags = 0, position = 0;
        CString path, name;
        ar >> flags >> position >> path >> name;
        Check(SetPosition(i));
        Check(SetFlags(flags));
        Check(SetAttachmentPosition(position));
        Check(SetPathName(path));
        Check(SetFileName(name));
    }
    SetPosition(0);
}

void CZLMMapiRecipient::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_list.count);
        for (ULONG i = 0; i < m_list.count; ++i) {
            const MapiRecipDesc& entry = m_list.entries[i];
            ar << static_cast<DWORD>(entry.ulRecipClass);
            ar << CString(entry.lpszName) << CString(entry.lpszAddress);
        }
        return;
    }
    Flush();
    WORD count = ReadListCount(ar);
    if (count == 0)
        return;
    Check(CreatePointer(count));
    for (ULONG i = 0; i < count; ++i) {
        DWORD recipClass = 0;
        CString name, address;
        ar >> recipClass >> name >> address;
        Check(SetPosition(i));
        Check(SetRecipClass(recipClass));
        Check(SetName(name));
        Check(SetAddress(address));
    }
    SetPosition(0);
}
