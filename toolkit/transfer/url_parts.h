// Splitting an address into service, server, object path and port.
#pragma once

#include "fx/string.h"

#include <cstdint>

// The service numbers of the WinINet connection calls.
enum : uint32_t {
    AFX_INET_SERVICE_FTP = 1,
    AFX_INET_SERVICE_HTTP = 3,
};

// "scheme://[user[:password]@]server[:port][/object]": FALSE for a missing or
// unknown scheme, an empty server or a port outside 1..65535. The object is
// "/" when the address has none; the port is the service's default when none
// is given.
BOOL AfxParseURL(const char* pstrURL, uint32_t& dwServiceType, CString& strServer, CString& strObject,
                 uint16_t& nPort);

// The name the dialogs show for an object path: what follows its last "/"
// (or its last "\" when it has no "/"); the whole path when it has neither or
// is one character long.
CString DownloadFileName(const char* object);
