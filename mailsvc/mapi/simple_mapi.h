// Simple MAPI's structures and codes.
// On Win32 they come from the system header; the host build declares the same
// structures field for field, so the mail lists and their stored forms compile
// and are tested natively.
#pragma once

#include "fx/fx.h"

#ifdef _WIN32
#  include <mapi.h>
#else

typedef uint32_t FLAGS;
typedef uintptr_t LHANDLE;
typedef LHANDLE* LPLHANDLE;
typedef ULONG* LPULONG;

struct MapiFileDesc {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    LPSTR lpszPathName;
    LPSTR lpszFileName;
    LPVOID lpFileType;
};
typedef MapiFileDesc* lpMapiFileDesc;

struct MapiRecipDesc {
    ULONG ulReserved;
    ULONG ulRecipClass;
    LPSTR lpszName;
    LPSTR lpszAddress;
    ULONG ulEIDSize;
    LPVOID lpEntryID;
};
typedef MapiRecipDesc* lpMapiRecipDesc;

struct MapiMessage {
    ULONG ulReserved;
    LPSTR lpszSubject;
    LPSTR lpszNoteText;
    LPSTR lpszMessageType;
    LPSTR lpszDateReceived;
    LPSTR lpszConversationID;
    FLAGS flFlags;
    lpMapiRecipDesc lpOriginator;
    ULONG nRecipCount;
    lpMapiRecipDesc lpRecips;
    ULONG nFileCount;
    lpMapiFileDesc lpFiles;
};
typedef MapiMessage* lpMapiMessage;

#  define MAPI_ORIG 0
#  define MAPI_TO 1
#  define MAPI_CC 2
#  define MAPI_BCC 3

#  define SUCCESS_SUCCESS 0
#  define MAPI_USER_ABORT 1
#  define MAPI_E_FAILURE 2
#  define MAPI_E_LOGIN_FAILURE 3
#  define MAPI_E_INSUFFICIENT_MEMORY 5
#  define MAPI_E_TOO_MANY_SESSIONS 8
#  define MAPI_E_INVALID_SESSION 19
#  define MAPI_E_INVALID_RECIPS 25

#  define MAPI_UNREAD 0x00000001
#  define MAPI_RECEIPT_REQUESTED 0x00000002
#  define MAPI_SENT 0x00000004
#  define MAPI_UNREAD_ONLY 0x00000020
#  define MAPI_PEEK 0x00000080
#  define MAPI_GUARANTEE_FIFO 0x00000100
#  define MAPI_LONG_MSGID 0x00004000

#endif

// The mail classes' own result codes, above Simple MAPI's.
constexpr ULONG ZLM_MAPI_ALREADY_LOGGED_ON = 95;  // the session object is logged on already
constexpr ULONG ZLM_MAPI_PAST_END = 96;           // a position past the end of a list
constexpr ULONG ZLM_MAPI_NO_STORAGE = 97;         // the list or message has nothing to read or write into
constexpr ULONG ZLM_MAPI_HAS_STORAGE = 98;        // the storage exists; empty it first
constexpr ULONG ZLM_MAPI_NO_MEMORY = 99;          // out of memory

// The message type of mail that a machine sent on its own. The mail provider
// gives it to mail whose header fields say so (Auto-Submitted, Precedence
// bulk/junk/list, X-Autoreply, X-Autorespond); the assistant's own answers go
// out with it, and the provider marks them "Auto-Submitted: auto-replied".
constexpr const char* ZLM_MESSAGE_TYPE_AUTOMATIC = "IPM.Note.Automatic";
