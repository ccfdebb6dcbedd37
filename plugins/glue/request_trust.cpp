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

CString PlainMailAddress(const CString& address)
{
    CString plain = address;
    int open = plain.ReverseFind('<');
    if (open >= 0) {
        int close = plain.Find('>', open);
        plain = close > open ? plain.Mid(open + 1, close - open - 1) : plain.Mid(open + 1);
    }
    plain.TrimLeft();
    plain.TrimRight();
    // "SMTP:someone@host": the transport prefix is no part of the address.
    if (plain.GetLength() > 5 && plain.Left(5).CompareNoCase("SMTP:") == 0)
        plain = plain.Mid(5);
    plain.TrimLeft();
    plain.TrimRight();
    return plain;
}

bool IsTrustedRequester(const std::vector<CString>& accepted, const CString& owner, const CString& requester)
{
    if (!accepted.empty())
        return IsOnAcceptedList(accepted, requester);
    CString plainOwner = PlainMailAddress(owner);
    CString plainRequester = PlainMailAddress(requester);
    return !plainOwner.IsEmpty() && plainOwner.CompareNoCase(plainRequester) == 0;
}
