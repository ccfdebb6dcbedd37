// The user's mail protocol prefix, from the main program's settings.
#include "addrbook/address_book.h"

#include <windows.h>

CString AddressBook::GetProtocolPrefix()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ostrel Software\\Vindalex Personal Assistant\\Korvaneant1", 0,
                        KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return CString();
    char buffer[256] = {};
    DWORD type = 0, size = sizeof(buffer) - 1;
    LONG result = ::RegQueryValueExA(key, "kVEmailProtocolPrefix", nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                     &size);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ || size > sizeof(buffer) - 1)
        return CString();
    buffer[size] = '\0';
    CString prefix = buffer;
    int colon = prefix.Find(':');
    return colon >= 0 ? prefix.Left(colon) : prefix;
}
