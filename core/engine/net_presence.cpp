// Whether this computer has a usable network address, from its own name and
// address list; nothing is sent.
#include "request_engine.h"

#include <winsock2.h>

int GetLocalIPAddress()
{
    WSADATA data;
    bool started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (started && data.wVersion != MAKEWORD(2, 2)) {
        ::WSACleanup();
        started = false;
    }
    std::vector<std::vector<unsigned char>> addresses;
    char name[128] = {};
    if (::gethostname(name, sizeof(name) - 1) == 0) {
        if (hostent* host = ::gethostbyname(name)) {
            int length = host->h_length > 0 && host->h_length <= 16 ? host->h_length : 0;
            for (int i = 0; length && host->h_addr_list && host->h_addr_list[i]; ++i) {
                const unsigned char* a = reinterpret_cast<const unsigned char*>(host->h_addr_list[i]);
                addresses.emplace_back(a, a + length);
            }
        }
    }
    if (started)
        ::WSACleanup();
    return AddressesShowPresence(addresses) ? TRUE : FALSE;
}
