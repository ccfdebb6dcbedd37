// CMAPILogon: logs a session on with the profile name and password as the
// settings keep them (scrambled), and explains a failure in the running log.
#pragma once

#include "fx/fx.h"

class CWnd;
class CZLMMapi;

class CMAPILogon {
public:
    // The session's logon result (0 = logged on); a failure's text is appended to *errors.
    ULONG Logon(CZLMMapi* session, CString profile, CString password, CString* errors, CWnd* parent);

    // The text a failed logon (or a failed mail delivery) with this result appends.
    static CString GetErrorText(ULONG result);

private:
    void DeHash(CString& text, int key);
    ULONG HexToLong(const char* token);
    CString ParseOneArg(CString& text);
    void Hash(CString& text, int key);
};
