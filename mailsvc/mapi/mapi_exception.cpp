#include "mapi_exception.h"

IMPLEMENT_DYNAMIC(CZLMMapiException, CException)

CZLMMapiException::~CZLMMapiException() = default;

void ZLMThrowMapiException(ULONG result)
{
    throw new CZLMMapiException(result);
}
