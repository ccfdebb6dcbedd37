// Hosts without a registry: no connection, so the options keep their defaults
// and nothing is written.
#include "options/wmoptions.h"

BOOL CWMOptions::Connect2Registry()
{
    m_nLastError = 1;
    return FALSE;
}

BOOL CWMOptions::DisconnectFromRegistry()
{
    m_hRootKey = m_hKey = nullptr;
    m_bHaveToCloseKeyHandle = FALSE;
    return TRUE;
}

BOOL CWMOptions::CreateKey(const char*) { return FALSE; }

LONG CWMOptions::GetStringValue(const char*, CString& out, const CString& def)
{
    out = def;
    return m_nLastError = 1;
}

LONG CWMOptions::GetIntValue(const char*, DWORD& out, DWORD def)
{
    out = def;
    return m_nLastError = 1;
}

LONG CWMOptions::SetStringValue(const char*, const CString&) { return m_nLastError = 1; }
LONG CWMOptions::SetIntValue(const char*, DWORD) { return m_nLastError = 1; }
