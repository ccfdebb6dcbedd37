// Reaches the mail classes' private MAPI side, as the session does, so tests can
// hand a message in the form MAPI returns it.
#pragma once

#include "mapi/mapi_lists.h"

struct ZLMMapiTestAccess {
    static ULONG CopyFromPointer(CZLMMapiMessage& m, const MapiMessage* source) { return m.CopyFromPointer(source); }
    static MapiMessage* Pointer(CZLMMapiMessage& m) { return m.GetPointer(); }
    static MapiFileDesc* Pointer(CZLMMapiFile& l) { return l.GetPointer(); }
    static MapiRecipDesc* Pointer(CZLMMapiRecipient& l) { return l.GetPointer(); }
    static ULONG SetTimeReceived(CZLMMapiMessage& m, CTime t) { return m.SetTimeReceived(t); }
};

// The result code of a CZLMMapiException thrown by f, or 0 when nothing was thrown.
template <class F>
ULONG ThrownCode(F f)
{
    try {
        f();
    } catch (CZLMMapiException* e) {
        ULONG rc = e->m_ulResult;
        e->Delete();
        return rc;
    }
    return 0;
}
