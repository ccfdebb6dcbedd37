// The portable half of the logon: unscrambling and the failure texts.
#include "mapi_logon.h"

#include "simple_mapi.h"
#include "text_scramble.h"

namespace {

const char kTroubleshootingPage[] = "http://www.ostrelsoftware.com/software/Vindalex/Vindalex.html";

} // namespace

CString CMAPILogon::GetErrorText(ULONG result)
{
    switch (result) {
    case 0:
        return CString();
    case MAPI_USER_ABORT:
        return "  Login Cancelled.\r\n";
    case MAPI_E_FAILURE:
        return "  One or more unspecified errors occurred during logon to email program.\r\n";
    case MAPI_E_LOGIN_FAILURE:
        return CString("  Vindalex could not log into your email program. Please check:\r\n"
                       "   - You have your email program running\r\n"
                       "   - If you normally type a name and or password, you have entered them in the mail tab "
                       "of properties\r\n"
                       "   - Your email program is the default MAPI server\r\n"
                       "  Please visit ") +
               kTroubleshootingPage +
               " and choose Troubleshooting\r\n  from the contents if problems persist.\r\n";
    case MAPI_E_INSUFFICIENT_MEMORY:
        return "  Insufficient memory to proceed.\r\n";
    case MAPI_E_TOO_MANY_SESSIONS:
        return "  There are too many applications using your email MAPI interface.  Please close some of "
               "those applications first.\r\n";
    default:
        return "  Unknown error has occurred.\r\n";
    }
}

void CMAPILogon::DeHash(CString& text, int key)
{
    ZLMUnscrambleText(text, key);
}

ULONG CMAPILogon::HexToLong(const char* token)
{
    return ZLMHexToLong(token);
}

CString CMAPILogon::ParseOneArg(CString& text)
{
    return ZLMParseOneArg(text);
}

void CMAPILogon::Hash(CString& text, int key)
{
    ZLMScrambleText(text, key);
}
