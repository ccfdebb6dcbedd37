#include "recipient_address.h"

#include "plugin_module.h"
#include "addrbook/address_book.h"

// A name the request sends to, as a mail address, through the address books:
// "me" is ownAddress; a name the books do not turn into an address gives
// nothing, so the answer goes to the requester.
CString TranslateRecipient(const CString& name, const CString& ownAddress)
{
    CString dir = g_PlugIn.m_strInstallDir;
    if (!dir.IsEmpty() && dir.Right(1) != "\\" && dir.Right(1) != "/")
        dir += "\\";
    CString file = dir + "OutlookExpressExport.CDF";
    CString own = ownAddress;
    CString address = AddressBook::TranslateNameToEmail(name, g_PlugIn.m_strMailUser, g_PlugIn.m_strMailPassword, own,
                                                        file, g_PlugIn.m_pLog);
    return AddressBook::IsAddressToSendTo(address) ? address : CString();
}

