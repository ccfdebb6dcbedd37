#include "request_trust.h"

#include "plugin_module.h"
#include "fx/fxwin.h"
#include "mapi/text_scramble.h"
#include "plugin_interface.h"
#include "reply/reply.h"
#include "webmsg/htmlmsg.h"

namespace {

// Where and how the program keeps the list.
const char kSection[] = "Korvaneant1";
// A stored count comes from outside: never loop on a damaged one.
const int kMaxEntries = 10000;
// The mail client's profiles, each with the address it sends as.
const char kMailProfilesKey[] = "Software\\Vindalex\\VxMail";

CString ReadRegistryText(HKEY key, const char* name)
{
    char buffer[1024];
    DWORD type = 0, size = sizeof buffer - 1;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return CString();
    buffer[size < sizeof buffer ? size : sizeof buffer - 1] = '\0';
    return CString(buffer);
}

} // namespace

std::vector<CString> LoadAcceptedSenders()
{
    std::vector<CString> list;
    CWinApp* app = AfxGetApp();
    if (!app)
        return list;
    int count = static_cast<int>(app->GetProfileInt(kSection, "kVNumAddresses", 0));
    if (count > kMaxEntries)
        count = kMaxEntries;
    for (int i = 0; i < count; ++i) {
        CString entry;
        entry.Format("kVOKAddresses%d", i);
        CString value = app->GetProfileString(kSection, entry, "");
        ZLMUnscrambleText(value, kScrambleKeyAddressList);
        list.push_back(value);
    }
    return list;
}

// Simple MAPI tells a client no address of its own (a name resolves only to
// what it spells), so the profile's own "From", which every answer goes out
// as, is read where the mail client keeps it.
CString LoadOwnerAddress(const CString& scrambledProfile)
{
    CString profile = scrambledProfile;
    ZLMUnscrambleText(profile, kScrambleKeyMailProfile);
    HKEY key;
    if (profile.IsEmpty()) {
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kMailProfilesKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return CString();
        profile = ReadRegistryText(key, "DefaultProfile");
        ::RegCloseKey(key);
    }
    // A name is one key below Profiles, never a path to another key.
    if (profile.IsEmpty() || profile.GetLength() > 200 || profile.Find('\\') >= 0)
        return CString();
    CString path = CString(kMailProfilesKey) + "\\Profiles\\" + profile;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return CString();
    CString from = ReadRegistryText(key, "From");
    ::RegCloseKey(key);
    return PlainMailAddress(from);
}

bool MayActForRequester(int interfaceMode, const CString* requester)
{
    // A web request acts for the owner only as the web server marked it:
    // from the owner's own address, or from a session that logged in with
    // the site password.
    if (interfaceMode == MODE_WEB)
        return requester && WebRequestActsForOwner(*requester);
    if (interfaceMode != MODE_EMAIL)
        return true;
    if (!requester)
        return false;
    std::vector<CString> accepted = LoadAcceptedSenders();
    // The owner is looked up only when the list leaves it to the owner.
    CString owner = accepted.empty() ? LoadOwnerAddress(g_PlugIn.m_strMailUser) : CString();
    return IsTrustedRequester(accepted, owner, *requester);
}

bool RefuseUntrustedRequester(CPlugIn& plugIn, const CString* requester, const CString& what)
{
    if (MayActForRequester(plugIn.m_nInterfaceMode, requester))
        return false;
    CString to = requester ? *requester : CString();
    plugIn.Log(CTime::GetCurrentTime().Format("%c") + " : Refused \"" + what + "\" for " + to +
               ": not an accepted sender.\r\n");
    PlugInLogon();
    {
        CString subject = "Request refused.";
        CString text = PLUGIN_REFUSED_TEXT "\r\n" + what + "\r\n";
        MAPIOutgoingMessage answer(&g_PlugInMapi, plugIn.m_pLog, &to, &plugIn.m_strMyName, plugIn.m_nInterfaceMode);
        answer.Subject(&subject);
        answer.Text(&text);
    }
    plugIn.Services().LogOff();
    return true;
}
