// The message's date received, kept as Simple MAPI's "YYYY/MM/DD HH:MM" text.
#include "mapi_lists.h"
#include "mapi_text.h"

namespace {

// Reads count decimal digits at text[at]; false when one is not a digit.
bool ReadNumber(const char* text, int at, int count, int& value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        char c = text[at + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

} // namespace

ULONG CZLMMapiMessage::GetTimeReceived(CTime& time) const
{
    if (!m_pMessage || !m_pMessage->lpszDateReceived)
        return ZLM_MAPI_NO_STORAGE;
    // The text comes from the mail system: a short or malformed one counts as no date.
    CString text(m_pMessage->lpszDateReceived);
    if (text.GetLength() < 16)
        return ZLM_MAPI_NO_STORAGE;
    int year, month, day, hour, minute;
    if (!ReadNumber(text, 0, 4, year) || !ReadNumber(text, 5, 2, month) || !ReadNumber(text, 8, 2, day) ||
        !ReadNumber(text, 11, 2, hour) || !ReadNumber(text, 14, 2, minute))
        return ZLM_MAPI_NO_STORAGE;
    if (year < 1970 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59)
        return ZLM_MAPI_NO_STORAGE;
    CTime read(year, month, day, hour, minute, 0, -1);
    // A day the month does not have (2001/02/30) is no date either.
    if (read.GetTime() == static_cast<time_t>(-1) || read.GetMonth() != month || read.GetDay() != day)
        return ZLM_MAPI_NO_STORAGE;
    time = read;
    return 0;
}

ULONG CZLMMapiMessage::SetTimeReceived(CTime time)
{
    if (!m_pMessage)
        return ZLM_MAPI_NO_STORAGE;
    return zlmmapi::CopyText(m_pMessage->lpszDateReceived, time.Format("%Y/%m/%d %H:%M"));
}
