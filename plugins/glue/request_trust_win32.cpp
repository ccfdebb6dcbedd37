#include "request_trust.h"

#include "fx/fxwin.h"
#include "mapi/text_scramble.h"
#include "plugin_interface.h"

namespace {

// Where and how the program keeps the list.
const char kSection[] = "Korvaneant1";
// A stored count comes from outside: never loop on a damaged one.
const int kMaxEntries = 10000;

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

bool MayActForRequester(int interfaceMode, const CString* requester)
{
    if (interfaceMode != MODE_EMAIL)
        return true;
    return requester && IsOnAcceptedList(LoadAcceptedSenders(), *requester);
}
