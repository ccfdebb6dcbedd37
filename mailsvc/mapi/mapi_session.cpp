#include "mapi_session.h"

#include <cstring>

#include "fx/fxwin.h"

IMPLEMENT_DYNAMIC(CZLMMapi, CObject)

HINSTANCE CZLMMapi::hinstMAPIdll = nullptr;
ZLMPFN_MAPILOGON CZLMMapi::lpfnMAPILogon = nullptr;
ZLMPFN_MAPILOGOFF CZLMMapi::lpfnMAPILogoff = nullptr;
ZLMPFN_MAPISENDMAIL CZLMMapi::lpfnMAPISendMail = nullptr;
ZLMPFN_MAPISENDDOCUMENTS CZLMMapi::lpfnMAPISendDocuments = nullptr;
ZLMPFN_MAPIFINDNEXT CZLMMapi::lpfnMAPIFindNext = nullptr;
ZLMPFN_MAPIREADMAIL CZLMMapi::lpfnMAPIReadMail = nullptr;
ZLMPFN_MAPISAVEMAIL CZLMMapi::lpfnMAPISaveMail = nullptr;
ZLMPFN_MAPIDELETEMAIL CZLMMapi::lpfnMAPIDeleteMail = nullptr;
ZLMPFN_MAPIFREEBUFFER CZLMMapi::lpfnMAPIFreeBuffer = nullptr;
ZLMPFN_MAPIADDRESS CZLMMapi::lpfnMAPIAddress = nullptr;
ZLMPFN_MAPIDETAILS CZLMMapi::lpfnMAPIDetails = nullptr;
ZLMPFN_MAPIRESOLVENAME CZLMMapi::lpfnMAPIResolveName = nullptr;
DWORD CZLMMapi::m_CZLMMapi_InstanceCount = 0;
const char* CZLMMapi::m_pszLibraryName = "MAPI32.DLL";

namespace {

// The load failure is told once per process: every plug-in builds a session of
// its own, and one box per plug-in would only repeat the same news.
bool g_loadErrorShown = false;

template <typename T>
bool Bind(HINSTANCE library, const char* name, T& pointer)
{
    pointer = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return pointer != nullptr;
}

HWND WindowOf(CWnd* wnd)
{
    return wnd ? wnd->GetSafeHwnd() : nullptr;
}

// MAPI takes texts as writable pointers but does not write through them.
LPSTR Text(const CString& text)
{
    return const_cast<LPSTR>(static_cast<LPCSTR>(text));
}

} // namespace

CZLMMapi::CZLMMapi() : m_pParentWnd(nullptr), m_hSession(0), m_ulInitError(0)
{
    if (m_CZLMMapi_InstanceCount == 0)
        m_ulInitError = InItMAPI();
    if (m_ulInitError) {
        if (!g_loadErrorShown) {
            g_loadErrorShown = true;
            CString text;
            text.Format("An error (%d) occurred while loading your email program's MAPI interface.\r\n"
                        "The interface resides in MAPI32.DLL and should have been installed with either "
                        "your Operating system\r\nor your email program.",
                        static_cast<int>(m_ulInitError));
            AfxMessageBox(text, MB_OK);
        }
        return;
    }
    ++m_CZLMMapi_InstanceCount;
}

CZLMMapi::~CZLMMapi()
{
    Logoff(0, nullptr);
    if (m_ulInitError == 0 && m_CZLMMapi_InstanceCount > 0) {
        if (--m_CZLMMapi_InstanceCount == 0)
            DeInItMAPI();
    }
}

ULONG CZLMMapi::InItMAPI()
{
    hinstMAPIdll = LoadLibraryA(m_pszLibraryName);
    if (!hinstMAPIdll) {
        ULONG error = GetLastError();
        return error ? error : ERROR_MOD_NOT_FOUND;
    }
    bool bound = Bind(hinstMAPIdll, "MAPILogon", lpfnMAPILogon) &&
                 Bind(hinstMAPIdll, "MAPILogoff", lpfnMAPILogoff) &&
                 Bind(hinstMAPIdll, "MAPISendMail", lpfnMAPISendMail) &&
                 Bind(hinstMAPIdll, "MAPISendDocuments", lpfnMAPISendDocuments) &&
                 Bind(hinstMAPIdll, "MAPIFindNext", lpfnMAPIFindNext) &&
                 Bind(hinstMAPIdll, "MAPIReadMail", lpfnMAPIReadMail) &&
                 Bind(hinstMAPIdll, "MAPISaveMail", lpfnMAPISaveMail) &&
                 Bind(hinstMAPIdll, "MAPIDeleteMail", lpfnMAPIDeleteMail) &&
                 Bind(hinstMAPIdll, "MAPIFreeBuffer", lpfnMAPIFreeBuffer) &&
                 Bind(hinstMAPIdll, "MAPIAddress", lpfnMAPIAddress) &&
                 Bind(hinstMAPIdll, "MAPIDetails", lpfnMAPIDetails) &&
                 Bind(hinstMAPIdll, "MAPIResolveName", lpfnMAPIResolveName);
    if (!bound) {
        // A library without every entry point is of no use: free it and leave no
        // pointer into it behind.
        ULONG error = GetLastError();
        DeInItMAPI();
        return error ? error : ERROR_PROC_NOT_FOUND;
    }
    return 0;
}

void CZLMMapi::DeInItMAPI()
{
    lpfnMAPILogon = nullptr;
    lpfnMAPILogoff = nullptr;
    lpfnMAPISendMail = nullptr;
    lpfnMAPISendDocuments = nullptr;
    lpfnMAPIFindNext = nullptr;
    lpfnMAPIReadMail = nullptr;
    lpfnMAPISaveMail = nullptr;
    lpfnMAPIDeleteMail = nullptr;
    lpfnMAPIFreeBuffer = nullptr;
    lpfnMAPIAddress = nullptr;
    lpfnMAPIDetails = nullptr;
    lpfnMAPIResolveName = nullptr;
    if (hinstMAPIdll)
        FreeLibrary(hinstMAPIdll);
    hinstMAPIdll = nullptr;
}

ULONG_PTR CZLMMapi::UIParam(CWnd* parent) const
{
    return reinterpret_cast<ULONG_PTR>(WindowOf(parent ? parent : m_pParentWnd));
}

ULONG CZLMMapi::Logon(CString profile, ULONG flags, CString password, CWnd* parent)
{
    if (m_hSession)
        return ZLM_MAPI_ALREADY_LOGGED_ON;
    if (!lpfnMAPILogon)
        return MAPI_E_FAILURE;
    m_pParentWnd = parent;
    ULONG rc = lpfnMAPILogon(reinterpret_cast<ULONG_PTR>(WindowOf(parent)), Text(profile),
                             password.IsEmpty() ? nullptr : Text(password), flags, 0, &m_hSession);
    if (rc)
        m_hSession = 0;
    return rc;
}

ULONG CZLMMapi::Logoff(ULONG flags, CWnd* parent)
{
    if (!m_hSession)
        return 0;
    if (!lpfnMAPILogoff)
        return MAPI_E_FAILURE;
    ULONG rc = lpfnMAPILogoff(m_hSession, reinterpret_cast<ULONG_PTR>(WindowOf(parent)), flags, 0);
    if (rc == 0)
        m_hSession = 0;
    return rc;
}

ULONG CZLMMapi::FindNext(CString& messageID, CString& messageType, ULONG flags, CString& seedID, CWnd* parent)
{
    if (!m_hSession)
        return MAPI_E_INVALID_SESSION;
    // The seed may be the same text as the result: read it before anything is written.
    CString seed = seedID;
    CString type = messageType;
    char buffer[ZLM_MAPI_MESSAGE_ID_SIZE + 1] = {};
    ULONG rc = lpfnMAPIFindNext(m_hSession, UIParam(parent), Text(type), Text(seed), flags | MAPI_LONG_MSGID, 0,
                                buffer);
    buffer[ZLM_MAPI_MESSAGE_ID_SIZE] = '\0';
    messageID = buffer;
    return rc;
}

ULONG CZLMMapi::ReadMail(CString& messageID, ULONG flags, CZLMMapiMessage& message, CWnd* parent)
{
    if (!m_hSession)
        return MAPI_E_INVALID_SESSION;
    message.Flush();
    lpMapiMessage result = nullptr;
    ULONG rc = lpfnMAPIReadMail(m_hSession, UIParam(parent), Text(messageID), flags, 0, &result);
    if (rc) {
        FreeBuffer(result);
        return rc;
    }
    rc = message.CopyFromPointer(result);
    FreeBuffer(result);
    return rc;
}

ULONG CZLMMapi::SendMail(CZLMMapiMessage& message, ULONG flags, CWnd* parent)
{
    if (!m_hSession)
        return MAPI_E_INVALID_SESSION;
    if (!message.GetPointer())
        return ZLM_MAPI_NO_STORAGE;
    return lpfnMAPISendMail(m_hSession, UIParam(parent), message.GetPointer(), flags, 0);
}

ULONG CZLMMapi::SaveMail(CZLMMapiMessage& message, ULONG flags, CString& messageID, CWnd* parent)
{
    if (!m_hSession)
        return MAPI_E_INVALID_SESSION;
    if (!message.GetPointer())
        return ZLM_MAPI_NO_STORAGE;
    // MAPI writes the saved message's identifier into this buffer: give it the
    // room of the longest identifier, whatever the caller's text holds.
    char buffer[ZLM_MAPI_MESSAGE_ID_SIZE + 1] = {};
    int length = messageID.GetLength() < ZLM_MAPI_MESSAGE_ID_SIZE ? messageID.GetLength() : ZLM_MAPI_MESSAGE_ID_SIZE;
    std::memcpy(buffer, static_cast<LPCSTR>(messageID), length);
    ULONG rc = lpfnMAPISaveMail(m_hSession, UIParam(parent), message.GetPointer(), flags, 0, buffer);
    buffer[ZLM_MAPI_MESSAGE_ID_SIZE] = '\0';
    messageID = buffer;
    return rc;
}

ULONG CZLMMapi::DeleteMail(CString& messageID, CWnd* parent)
{
    if (!m_hSession)
        return MAPI_E_INVALID_SESSION;
    return lpfnMAPIDeleteMail(m_hSession, UIParam(parent), Text(messageID), 0, 0);
}

ULONG CZLMMapi::ResolveName(CString& name, ULONG flags, CZLMMapiRecipient& recipient, CWnd* parent)
{
    if (!m_hSession)
        return MAPI_E_INVALID_SESSION;
    if (name.IsEmpty())
        return MAPI_E_INVALID_RECIPS;
    recipient.Flush();
    lpMapiRecipDesc result = nullptr;
    ULONG rc = lpfnMAPIResolveName(m_hSession, UIParam(parent), Text(name), flags, 0, &result);
    if (rc) {
        FreeBuffer(result);
        return rc;
    }
    rc = recipient.CopyFromPointer(result, result ? 1 : 0);
    FreeBuffer(result);
    return rc;
}

ULONG CZLMMapi::Address(CString caption, ULONG editFields, CString labels, CZLMMapiRecipient& recipients,
                        ULONG flags, CZLMMapiRecipient& newRecipients, CWnd* parent)
{
    if (!m_hSession)
        return MAPI_E_INVALID_SESSION;
    newRecipients.Flush();
    ULONG newCount = 0;
    lpMapiRecipDesc result = nullptr;
    ULONG rc = lpfnMAPIAddress(m_hSession, UIParam(parent), Text(caption), editFields, Text(labels),
                               recipients.GetSize(), recipients.GetPointer(), flags, 0, &newCount, &result);
    if (rc) {
        FreeBuffer(result);
        return rc;
    }
    if (!result)
        return 0;
    if (newCount == 0) {
        FreeBuffer(result);
        return 0;
    }
    rc = newRecipients.CopyFromPointer(result, newCount);
    if (rc)
        newRecipients.Flush();
    FreeBuffer(result);
    return rc;
}

ULONG CZLMMapi::Details(CZLMMapiRecipient& recipient, ULONG flags, CWnd* parent)
{
    if (!m_hSession)
        return MAPI_E_INVALID_SESSION;
    return lpfnMAPIDetails(m_hSession, UIParam(parent), recipient.GetPointer(), flags, 0);
}

ULONG CZLMMapi::FreeBuffer(void* buffer)
{
    if (!buffer || !lpfnMAPIFreeBuffer)
        return 0;
    return lpfnMAPIFreeBuffer(buffer);
}
