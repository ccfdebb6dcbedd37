// Address parsing for the download dialogs.
#include "url_parts.h"

#include <cctype>
#include <string>

namespace {

bool SameNoCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i])
            return false;
    return i == a.size() && !b[i];
}

} // namespace

BOOL AfxParseURL(const char* pstrURL, uint32_t& dwServiceType, CString& strServer, CString& strObject,
                 uint16_t& nPort)
{
    if (!pstrURL)
        return FALSE;
    std::string url(pstrURL);
    size_t start = url.find_first_not_of(" \t");
    size_t end = url.find_last_not_of(" \t\r\n");
    if (start == std::string::npos)
        return FALSE;
    url = url.substr(start, end - start + 1);

    size_t sep = url.find("://");
    if (sep == std::string::npos || sep == 0)
        return FALSE;
    std::string scheme = url.substr(0, sep);
    uint32_t service;
    uint16_t port;
    if (SameNoCase(scheme, "http")) {
        service = AFX_INET_SERVICE_HTTP;
        port = 80;
    } else if (SameNoCase(scheme, "ftp")) {
        service = AFX_INET_SERVICE_FTP;
        port = 21;
    } else {
        return FALSE;
    }

    std::string rest = url.substr(sep + 3);
    size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    std::string object = slash == std::string::npos ? "/" : rest.substr(slash);
    size_t at = authority.rfind('@');
    if (at != std::string::npos)
        authority = authority.substr(at + 1);
    size_t colon = authority.rfind(':');
    if (colon != std::string::npos) {
        std::string digits = authority.substr(colon + 1);
        authority = authority.substr(0, colon);
        if (digits.empty() || digits.size() > 5)
            return FALSE;
        unsigned long value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return FALSE;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value == 0 || value > 65535)
            return FALSE;
        port = static_cast<uint16_t>(value);
    }
    if (authority.empty())
        return FALSE;
    dwServiceType = service;
    strServer = authority.c_str();
    strObject = object.c_str();
    nPort = port;
    return TRUE;
}

CString DownloadFileName(const char* object)
{
    std::string path(object ? object : "");
    if (path.size() <= 1)
        return CString(path.c_str());
    size_t cut = path.rfind('/');
    if (cut == std::string::npos)
        cut = path.rfind('\\');
    if (cut == std::string::npos)
        return CString(path.c_str());
    return CString(path.substr(cut + 1).c_str());
}
