#include "answered_request.h"

CString RequestIDFromNote(const CString& note)
{
    CString text = note;
    text.TrimLeft();
    int end = text.FindOneOf(" \t\r\n");
    return end < 0 ? text : text.Left(end);
}
