// The twelve Simple MAPI entry points (stdcall, exported undecorated through
// VxMail.def). MAPI32.DLL forwards to them when this DLL is the default mail client.
// Each checks its session and arguments and hands over to the operations.
#include <windows.h>
#include <mapi.h>

#include <new>

#include "ansi_text.h"
#include "mail_operations.h"
#include "mapi_buffers.h"
#include "sessions.h"

using namespace vxmail;

namespace {

// No exception may cross into the caller: they become result codes.
template <class F> ULONG Guard(F f) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return MAPI_E_INSUFFICIENT_MEMORY;
    } catch (...) {
        return MAPI_E_FAILURE;
    }
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) InstallCodePageCharsets();
    return TRUE;
}

ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR profile, LPSTR password, FLAGS, ULONG, LPLHANDLE session) {
    return Guard([&]() -> ULONG {
        if (!session) return MAPI_E_FAILURE;
        unsigned long h = 0;
        ULONG rc = OpenSession(profile, password, &h);
        *session = rc == SUCCESS_SUCCESS ? h : 0;
        return rc;
    });
}

ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG) {
    return Guard([&]() -> ULONG { return CloseSession(session); });
}

ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS flags, ULONG) {
    return Guard([&]() -> ULONG {
        SessionPtr s;
        ULONG rc = SessionFor(session, true, s);
        if (rc != SUCCESS_SUCCESS) return session == 0 ? MAPI_E_LOGIN_FAILURE : rc;
        return SendMessage(*s, message, flags);
    });
}

ULONG WINAPI MAPISendDocuments(ULONG_PTR, LPSTR delimiters, LPSTR paths, LPSTR names, ULONG) {
    return Guard([&]() -> ULONG {
        SessionPtr s;
        if (SessionFor(0, true, s) != SUCCESS_SUCCESS) return MAPI_E_LOGIN_FAILURE;
        return SendDocuments(*s, delimiters, paths, names);
    });
}

ULONG WINAPI MAPIFindNext(LHANDLE session, ULONG_PTR, LPSTR messageType, LPSTR seed, FLAGS flags, ULONG,
                          LPSTR messageId) {
    return Guard([&]() -> ULONG {
        SessionPtr s;
        ULONG rc = SessionFor(session, false, s);
        if (rc != SUCCESS_SUCCESS) return rc;
        return FindNextMessage(*s, messageType, seed, flags, messageId);
    });
}

ULONG WINAPI MAPIReadMail(LHANDLE session, ULONG_PTR, LPSTR messageId, FLAGS flags, ULONG, lpMapiMessage* message) {
    return Guard([&]() -> ULONG {
        if (message) *message = nullptr;
        SessionPtr s;
        ULONG rc = SessionFor(session, false, s);
        if (rc != SUCCESS_SUCCESS) return rc;
        return ReadMessage(*s, messageId, flags, message);
    });
}

ULONG WINAPI MAPISaveMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS, ULONG, LPSTR messageId) {
    return Guard([&]() -> ULONG {
        SessionPtr s;
        ULONG rc = SessionFor(session, true, s);
        if (rc != SUCCESS_SUCCESS) return session == 0 ? MAPI_E_LOGIN_FAILURE : rc;
        return SaveMessage(*s, message, messageId);
    });
}

ULONG WINAPI MAPIDeleteMail(LHANDLE session, ULONG_PTR, LPSTR messageId, FLAGS, ULONG) {
    return Guard([&]() -> ULONG {
        SessionPtr s;
        ULONG rc = SessionFor(session, false, s);
        if (rc != SUCCESS_SUCCESS) return rc;
        return DeleteMessage(*s, messageId);
    });
}

ULONG WINAPI MAPIFreeBuffer(LPVOID buffer) {
    return Guard([&]() -> ULONG { return FreeMapiBlock(buffer); });
}

ULONG WINAPI MAPIAddress(LHANDLE session, ULONG_PTR, LPSTR, ULONG, LPSTR, ULONG, lpMapiRecipDesc, FLAGS, ULONG,
                         LPULONG newCount, lpMapiRecipDesc* newRecips) {
    return Guard([&]() -> ULONG {
        if (newCount) *newCount = 0;
        if (newRecips) *newRecips = nullptr;
        SessionPtr s;
        ULONG rc = SessionFor(session, true, s);
        if (rc != SUCCESS_SUCCESS) return session == 0 ? MAPI_E_LOGIN_FAILURE : rc;
        return MAPI_E_NOT_SUPPORTED;   // no address book to show
    });
}

ULONG WINAPI MAPIDetails(LHANDLE session, ULONG_PTR, lpMapiRecipDesc, FLAGS, ULONG) {
    return Guard([&]() -> ULONG {
        SessionPtr s;
        ULONG rc = SessionFor(session, true, s);
        if (rc != SUCCESS_SUCCESS) return session == 0 ? MAPI_E_LOGIN_FAILURE : rc;
        return MAPI_E_NOT_SUPPORTED;   // no address book to show
    });
}

ULONG WINAPI MAPIResolveName(LHANDLE session, ULONG_PTR, LPSTR name, FLAGS, ULONG, lpMapiRecipDesc* recip) {
    return Guard([&]() -> ULONG {
        if (recip) *recip = nullptr;
        SessionPtr s;
        ULONG rc = SessionFor(session, true, s);
        if (rc != SUCCESS_SUCCESS) return session == 0 ? MAPI_E_LOGIN_FAILURE : rc;
        return ResolveName(*s, name, recip);
    });
}

} // extern "C"
