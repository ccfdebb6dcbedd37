#include <new>

#include "mapi_lists.h"
#include "mapi_text.h"

using zlmmapi::CopyText;
using zlmmapi::FreeText;
using zlmmapi::ReadText;

IMPLEMENT_SERIAL(CZLMMapiMessage, CObject, 2)

CZLMMapiMessage::CZLMMapiMessage() : m_pMessage(nullptr)
{
    if (ULONG rc = CreatePointer())
        ZLMThrowMapiException(rc);
}

CZLMMapiMessage::CZLMMapiMessage(const CZLMMapiMessage& source) : CObject(), m_pMessage(nullptr)
{
    if (ULONG rc = CopyFromPointer(source.GetPointer()))
        ZLMThrowMapiException(rc);
}

CZLMMapiMessage::~CZLMMapiMessage()
{
    Flush();
}

ULONG CZLMMapiMessage::CreatePointer()
{
    if (m_pMessage)
        return ZLM_MAPI_HAS_STORAGE;
    m_pMessage = new (std::nothrow) MapiMessage();
    return m_pMessage ? 0 : ZLM_MAPI_NO_MEMORY;
}

void CZLMMapiMessage::Flush()
{
    if (m_pMessage) {
        FreeText(m_pMessage->lpszSubject);
        FreeText(m_pMessage->lpszNoteText);
        FreeText(m_pMessage->lpszMessageType);
        FreeText(m_pMessage->lpszDateReceived);
        FreeText(m_pMessage->lpszConversationID);
        delete m_pMessage;
        m_pMessage = nullptr;
    }
    m_originator.Flush();
    m_recips.Flush();
    m_files.Flush();
}

CString CZLMMapiMessage::GetText(LPSTR MapiMessage::*field) const
{
    if (!m_pMessage)
        ZLMThrowMapiException(ZLM_MAPI_NO_STORAGE);
    return ReadText(m_pMessage->*field);
}

ULONG CZLMMapiMessage::SetText(LPSTR MapiMessage::*field, const CString& text)
{
    if (!m_pMessage)
        return ZLM_MAPI_NO_STORAGE;
    return CopyText(m_pMessage->*field, text);
}

CString CZLMMapiMessage::GetSubject() const { return GetText(&MapiMessage::lpszSubject); }
ULONG CZLMMapiMessage::SetSubject(CString text) { return SetText(&MapiMessage::lpszSubject, text); }
CString CZLMMapiMessage::GetNoteText() const { return GetText(&MapiMessage::lpszNoteText); }
ULONG CZLMMapiMessage::SetNoteText(CString text) { return SetText(&MapiMessage::lpszNoteText, text); }
CString CZLMMapiMessage::GetMessageType() const { return GetText(&MapiMessage::lpszMessageType); }
ULONG CZLMMapiMessage::SetMessageType(CString text) { return SetText(&MapiMessage::lpszMessageType, text); }
CString CZLMMapiMessage::GetConversationID() const { return GetText(&MapiMessage::lpszConversationID); }
ULONG CZLMMapiMessage::SetConversationID(CString text)
{
    return SetText(&MapiMessage::lpszConversationID, text);
}

ULONG CZLMMapiMessage::GetFlags() const
{
    return m_pMessage ? static_cast<ULONG>(m_pMessage->flFlags) : ZLM_MAPI_NO_STORAGE;
}

ULONG CZLMMapiMessage::SetFlags(ULONG flags)
{
    if (!m_pMessage)
        return ZLM_MAPI_NO_STORAGE;
    m_pMessage->flFlags = flags;
    return 0;
}

void CZLMMapiMessage::InstallLists() const
{
    m_pMessage->lpOriginator = m_originator.GetPointer();
    m_pMessage->nRecipCount = m_recips.GetSize();
    m_pMessage->lpRecips = m_recips.GetPointer();
    m_pMessage->nFileCount = m_files.GetSize();
    m_pMessage->lpFiles = m_files.GetPointer();
}

ULONG CZLMMapiMessage::SetOriginator(CZLMMapiRecipient& originator)
{
    if (!m_pMessage)
        return ZLM_MAPI_NO_STORAGE;
    try {
        m_originator = originator;
    } catch (CZLMMapiException* e) {
        ULONG rc = e->m_ulResult;
        e->Delete();
        m_pMessage->lpOriginator = nullptr;
        return rc;
    }
    m_pMessage->lpOriginator = m_originator.GetPointer();
    return 0;
}

ULONG CZLMMapiMessage::SetRecips(CZLMMapiRecipient& recips)
{
    if (!m_pMessage)
        return ZLM_MAPI_NO_STORAGE;
    // The embedded list handed back in must not be emptied before it is read.
    if (&recips != &m_recips) {
        ULONG rc = m_recips.CopyFromPointer(recips.GetPointer(), recips.GetSize());
        InstallLists();
        if (rc)
            return rc;
    }
    InstallLists();
    return 0;
}

ULONG CZLMMapiMessage::SetFiles(CZLMMapiFile& files)
{
    if (!m_pMessage)
        return ZLM_MAPI_NO_STORAGE;
    if (&files != &m_files) {
        ULONG rc = m_files.CopyFromPointer(files.GetPointer(), files.GetSize());
        InstallLists();
        if (rc)
            return rc;
    }
    InstallLists();
    return 0;
}

CZLMMapiMessage& CZLMMapiMessage::operator=(const CZLMMapiMessage& source)
{
    if (this == &source)
        return *this;
    Flush();
    if (ULONG rc = CopyFromPointer(source.GetPointer()))
        ZLMThrowMapiException(rc);
    return *this;
}

ULONG CZLMMapiMessage::CopyFromPointer(const MapiMessage* source)
{
    if (!source)
        return ZLM_MAPI_NO_STORAGE;
    if (m_pMessage)
        return ZLM_MAPI_HAS_STORAGE;
    if (ULONG rc = CreatePointer())
        return rc;
    ULONG rc = CopyText(m_pMessage->lpszSubject, source->lpszSubject);
    if (!rc)
        rc = CopyText(m_pMessage->lpszNoteText, source->lpszNoteText);
    if (!rc)
        rc = CopyText(m_pMessage->lpszMessageType, source->lpszMessageType);
    if (!rc)
        rc = CopyText(m_pMessage->lpszDateReceived, source->lpszDateReceived);
    if (!rc)
        rc = CopyText(m_pMessage->lpszConversationID, source->lpszConversationID);
    if (!rc) {
        m_pMessage->flFlags = source->flFlags;
        // A message without a sender keeps an empty originator list.
        rc = m_originator.CopyFromPointer(source->lpOriginator, source->lpOriginator ? 1 : 0);
    }
    if (!rc && source->nRecipCount > 0)
        rc = m_recips.CopyFromPointer(source->lpRecips, source->nRecipCount);
    if (!rc && source->nFileCount > 0)
        rc = m_files.CopyFromPointer(source->lpFiles, source->nFileCount);
    if (rc) {
        Flush();
        return rc;
    }
    InstallLists();
    m_pMessage->ulReserved = source->ulReserved;
    return 0;
}
