// CZLMMapi: one Simple MAPI session. The library ("MAPI32.DLL") is loaded by the
// first session object of the process and freed by the last; its entry points
// are process-wide. Every mail operation is a checked wrapper around one Simple
// MAPI call that converts between the program's mail objects and MAPI's structures.
#pragma once

#include "fx/fx.h"
#include "mapi_lists.h"
#include "simple_mapi.h"

class CWnd;

#ifndef _WIN32
// Only the structures are portable; the entry-point types exist so the class compiles.
#  define WINAPI
typedef void* HINSTANCE;
#endif

typedef ULONG(WINAPI* ZLMPFN_MAPILOGON)(ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPLHANDLE);
typedef ULONG(WINAPI* ZLMPFN_MAPILOGOFF)(LHANDLE, ULONG_PTR, FLAGS, ULONG);
typedef ULONG(WINAPI* ZLMPFN_MAPISENDMAIL)(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG);
typedef ULONG(WINAPI* ZLMPFN_MAPISENDDOCUMENTS)(ULONG_PTR, LPSTR, LPSTR, LPSTR, ULONG);
typedef ULONG(WINAPI* ZLMPFN_MAPIFINDNEXT)(LHANDLE, ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPSTR);
typedef ULONG(WINAPI* ZLMPFN_MAPIREADMAIL)(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiMessage*);
typedef ULONG(WINAPI* ZLMPFN_MAPISAVEMAIL)(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG, LPSTR);
typedef ULONG(WINAPI* ZLMPFN_MAPIDELETEMAIL)(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG);
typedef ULONG(WINAPI* ZLMPFN_MAPIFREEBUFFER)(LPVOID);
typedef ULONG(WINAPI* ZLMPFN_MAPIADDRESS)(LHANDLE, ULONG_PTR, LPSTR, ULONG, LPSTR, ULONG, lpMapiRecipDesc,
                                          FLAGS, ULONG, LPULONG, lpMapiRecipDesc*);
typedef ULONG(WINAPI* ZLMPFN_MAPIDETAILS)(LHANDLE, ULONG_PTR, lpMapiRecipDesc, FLAGS, ULONG);
typedef ULONG(WINAPI* ZLMPFN_MAPIRESOLVENAME)(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiRecipDesc*);

// The size of a message identifier buffer: FindNext's, and the room SaveMail gives.
constexpr int ZLM_MAPI_MESSAGE_ID_SIZE = 512;

class CZLMMapi : public CObject {
    DECLARE_DYNAMIC(CZLMMapi)
public:
    CZLMMapi();
    ~CZLMMapi() override;

    ULONG getMAPIInitError() const { return m_ulInitError; }
    ULONG GetSessionHandle() const { return static_cast<ULONG>(m_hSession); }

    ULONG Logon(CString profile, ULONG flags, CString password, CWnd* parent);
    ULONG Logoff(ULONG flags, CWnd* parent);
    ULONG FindNext(CString& messageID, CString& messageType, ULONG flags, CString& seedID, CWnd* parent);
    ULONG ReadMail(CString& messageID, ULONG flags, CZLMMapiMessage& message, CWnd* parent);
    ULONG SendMail(CZLMMapiMessage& message, ULONG flags, CWnd* parent);
    ULONG SaveMail(CZLMMapiMessage& message, ULONG flags, CString& messageID, CWnd* parent);
    ULONG DeleteMail(CString& messageID, CWnd* parent);
    ULONG ResolveName(CString& name, ULONG flags, CZLMMapiRecipient& recipient, CWnd* parent);
    ULONG Address(CString caption, ULONG editFields, CString labels, CZLMMapiRecipient& recipients,
                  ULONG flags, CZLMMapiRecipient& newRecipients, CWnd* parent);
    ULONG Details(CZLMMapiRecipient& recipient, ULONG flags, CWnd* parent);
    ULONG FreeBuffer(void* buffer);

    // Process-wide state: the library and its bound entry points.
    static HINSTANCE hinstMAPIdll;
    static ZLMPFN_MAPILOGON lpfnMAPILogon;
    static ZLMPFN_MAPILOGOFF lpfnMAPILogoff;
    static ZLMPFN_MAPISENDMAIL lpfnMAPISendMail;
    static ZLMPFN_MAPISENDDOCUMENTS lpfnMAPISendDocuments;
    static ZLMPFN_MAPIFINDNEXT lpfnMAPIFindNext;
    static ZLMPFN_MAPIREADMAIL lpfnMAPIReadMail;
    static ZLMPFN_MAPISAVEMAIL lpfnMAPISaveMail;
    static ZLMPFN_MAPIDELETEMAIL lpfnMAPIDeleteMail;
    static ZLMPFN_MAPIFREEBUFFER lpfnMAPIFreeBuffer;
    static ZLMPFN_MAPIADDRESS lpfnMAPIAddress;
    static ZLMPFN_MAPIDETAILS lpfnMAPIDetails;
    static ZLMPFN_MAPIRESOLVENAME lpfnMAPIResolveName;
    static DWORD m_CZLMMapi_InstanceCount;

    // The library the first session loads. Tests point it at a stand-in library;
    // the program never changes it.
    static const char* m_pszLibraryName;

private:
    CZLMMapi(const CZLMMapi&) = delete;
    CZLMMapi& operator=(const CZLMMapi&) = delete;

    ULONG InItMAPI();
    void DeInItMAPI();
    // The window MAPI's dialogs hang from: the argument, else the kept parent.
    ULONG_PTR UIParam(CWnd* parent) const;

    CWnd* m_pParentWnd;
    LHANDLE m_hSession;
    ULONG m_ulInitError;
};
