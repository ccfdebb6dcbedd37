#include "request_trust.h"

bool IsOnAcceptedList(const std::vector<CString>& accepted, const CString& address)
{
    if (address.IsEmpty())
        return false;
    for (const CString& entry : accepted)
        if (entry == address)
            return true;
    return false;
}
