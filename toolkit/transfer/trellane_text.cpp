// Strings of the shared library's own module.
#include "trellane_text.h"

#include "transfer_texts.h"

HINSTANCE TrellaneInstance()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&TrellaneInstance), &module);
    return module;
}

CString TrellaneString(UINT id)
{
    char buffer[1024];
    int n = ::LoadStringA(TrellaneInstance(), id, buffer, sizeof buffer);
    return n > 0 ? CString(buffer) : CString();
}

CString TrellaneFormat1(UINT id, const char* arg1)
{
    return transfer::FormatString1(TrellaneString(id), arg1);
}

CString TrellaneFormat2(UINT id, const char* arg1, const char* arg2)
{
    return transfer::FormatString2(TrellaneString(id), arg1, arg2);
}
