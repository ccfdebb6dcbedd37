// Registry access of the shared appearance options.
#include "options/wmoptions.h"

BOOL CWMOptions::Connect2Registry()
{
    if (m_hRootKey) {
        if (!DisconnectFromRegistry()) return FALSE;
    }
    m_hRootKey = HKEY_CURRENT_USER;
    m_nLastError = ERROR_SUCCESS;
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {0};
    DWORD size = sizeof(name);
    m_sComputerName = GetComputerNameA(name, &size) ? name : "";
    m_sRegistryName = "HKEY_CURRENT_USER";
    m_hKey = m_hRootKey;
    m_bHaveToCloseKeyHandle = FALSE;
    return TRUE;
}

BOOL CWMOptions::DisconnectFromRegistry()
{
    if (m_bHaveToCloseKeyHandle && m_hKey) {
        RegCloseKey(m_hKey);
    }
    m_bHaveToCloseKeyHandle = FALSE;
    m_hKey = nullptr;
    m_hRootKey = nullptr;  // a predefined root needs no closing
    // The name texts are left alone: the last instance may be destroyed at
    // library unload, after those static texts are gone.
    return TRUE;
}

BOOL CWMOptions::CreateKey(const char* name)
{
    if (!m_hRootKey || !name) {
        m_nLastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (m_bHaveToCloseKeyHandle && m_hKey) {
        RegCloseKey(m_hKey);
        m_bHaveToCloseKeyHandle = FALSE;
        m_hKey = m_hRootKey;
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    m_nLastError = RegCreateKeyExA(m_hRootKey, name, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (m_nLastError != ERROR_SUCCESS) return FALSE;
    m_hKey = key;
    m_bHaveToCloseKeyHandle = TRUE;
    m_sKeyName = name;
    return TRUE;
}

bool CWMOptions::RefuseValueAccess(const char* name, LONG& result)
{
    if (!name) {
        m_nLastError = ERROR_INVALID_PARAMETER;
        result = 0;
        return true;
    }
    if (!m_bHaveToCloseKeyHandle) {  // values live only in our own key
        m_nLastError = ERROR_INVALID_HANDLE;
        result = m_nLastError;
        return true;
    }
    return false;
}

LONG CWMOptions::GetStringValue(const char* name, CString& out, const CString& def)
{
    out = def;
    if (LONG result; RefuseValueAccess(name, result))
        return result;
    char buffer[256];
    DWORD type = 0, size = sizeof(buffer) - 1;
    m_nLastError = RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (m_nLastError != ERROR_SUCCESS) return m_nLastError;
    if (type != REG_SZ || size > sizeof(buffer) - 1) {
        m_nLastError = ERROR_INVALID_DATA;
        return m_nLastError;
    }
    buffer[size] = '\0';  // a stored text need not carry its own terminator
    out = buffer;
    return m_nLastError;
}

LONG CWMOptions::GetIntValue(const char* name, DWORD& out, DWORD def)
{
    out = def;
    if (LONG result; RefuseValueAccess(name, result))
        return result;
    DWORD value = 0, type = 0, size = sizeof(value);
    m_nLastError = RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (m_nLastError != ERROR_SUCCESS) return m_nLastError;
    if (type != REG_DWORD || size != sizeof(value)) {
        m_nLastError = ERROR_INVALID_DATA;
        return m_nLastError;
    }
    out = value;
    return m_nLastError;
}

LONG CWMOptions::SetStringValue(const char* name, const CString& value)
{
    if (LONG result; RefuseValueAccess(name, result))
        return result;
    m_nLastError = RegSetValueExA(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCTSTR>(value)),
                                  static_cast<DWORD>(value.GetLength() + 1));
    return m_nLastError;
}

LONG CWMOptions::SetIntValue(const char* name, DWORD value)
{
    if (LONG result; RefuseValueAccess(name, result))
        return result;
    m_nLastError = RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    return m_nLastError;
}
