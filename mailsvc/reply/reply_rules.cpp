#include "reply/reply_rules.h"

#include "files/fileutil.h"

#include <cstring>

namespace reply {

namespace {
const char kCurrentUser[] = "Current User";
const char kWebRequest[] = "Web Request";
const int kWebRequestLength = 11;
} // namespace

int DeliveryMode(const CString& to, int mode)
{
    if (to.Compare(kCurrentUser) == 0)
        return kModeDesktop;
    if (to.GetLength() >= kWebRequestLength && std::strncmp(to, kWebRequest, kWebRequestLength) == 0)
        return kModeWeb;
    return mode;
}

CString WebUser(const CString& to, int mode)
{
    if (mode == kModeWebUser)
        return to;
    if (to.GetLength() <= kWebRequestLength)
        return CString();
    return to.Mid(kWebRequestLength);
}

CString WebCopyName(const CString& tag, const CString& path)
{
    CString name;
    name.Format("%s-%s%s", static_cast<LPCTSTR>(tag), static_cast<LPCTSTR>(GetFileName(path)), static_cast<LPCTSTR>(GetExtension(path)));
    return name;
}

} // namespace reply
