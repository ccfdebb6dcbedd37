// The exception of the mail classes: one result code (0, a Simple MAPI code or
// one of the ZLM_MAPI_* codes). Thrown as a pointer, like the class layer's
// exceptions: catch (CZLMMapiException* e) { ...; e->Delete(); }
#pragma once

#include "fx/fx.h"

class CZLMMapiException : public CException {
    DECLARE_DYNAMIC(CZLMMapiException)
public:
    explicit CZLMMapiException(ULONG result) : m_ulResult(result) {}
    ~CZLMMapiException() override;

    ULONG m_ulResult;
};

// Throws a new CZLMMapiException carrying result.
[[noreturn]] void ZLMThrowMapiException(ULONG result);
