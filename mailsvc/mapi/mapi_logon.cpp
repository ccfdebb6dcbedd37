#include "mapi_logon.h"

#include "mapi_session.h"
#include "text_scramble.h"

ULONG CMAPILogon::Logon(CZLMMapi* session, CString profile, CString password, CString* errors, CWnd* parent)
{
    DeHash(profile, kScrambleKeyMailProfile);
    DeHash(password, kScrambleKeyMailPassword);
    // Flags 0: no logon dialog; the session shares the mail program's running one.
    ULONG rc = session ? session->Logon(profile, 0, password, parent) : MAPI_E_INVALID_SESSION;
    if (rc && errors)
        *errors += GetErrorText(rc);
    return rc;
}
