// The application profile: HKEY_CURRENT_USER\Software\<key>\<application>\<section>
// after SetRegistryKey, else the .INI file named by m_pszProfileName.
#include "window_state.h"

#include <vector>

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    SetString(m_pszRegistryKey, lpszRegistryKey);
    // The application's key is named after the application.
    SetString(m_pszProfileName, m_pszAppName ? m_pszAppName : AfxGetAppName());
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey(BOOL bCreate)
{
    if (!m_pszRegistryKey || !m_pszProfileName)
        return nullptr;
    CString path;
    path.Format("Software\\%s\\%s", m_pszRegistryKey, m_pszProfileName);
    HKEY key = nullptr;
    LONG rc = bCreate ? ::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                      : ::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection, BOOL bCreate)
{
    if (!lpszSection)
        return nullptr;
    HKEY app = GetAppRegistryKey(bCreate);
    if (!app)
        return nullptr;
    HKEY key = nullptr;
    LONG rc = bCreate ? ::RegCreateKeyExA(app, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                      : ::RegOpenKeyExA(app, lpszSection, 0, KEY_READ, &key);
    ::RegCloseKey(app);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    if (!lpszSection || !lpszEntry)
        return (UINT)nDefault;
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(lpszSection, FALSE);
        if (!key)
            return (UINT)nDefault;
        DWORD type = 0, value = 0, size = sizeof value;
        LONG rc = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
        ::RegCloseKey(key);
        if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
            return (UINT)nDefault;
        return (UINT)value;
    }
    return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (!lpszSection || !lpszEntry)
        return FALSE;
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(lpszSection, TRUE);
        if (!key)
            return FALSE;
        DWORD value = (DWORD)nValue;
        LONG rc = ::RegSetValueExA(key, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        ::RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
    char text[16];
    wsprintfA(text, "%d", nValue);
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, text, m_pszProfileName);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    CString def(lpszDefault);
    if (!lpszSection || !lpszEntry)
        return def;
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(lpszSection, FALSE);
        if (!key)
            return def;
        DWORD type = 0, size = 0;
        LONG rc = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, nullptr, &size);
        CString value;
        if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            // The value may change between the two calls; read into a sized buffer.
            std::vector<char> buf(size + 2, '\0');
            DWORD got = size;
            rc = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(buf.data()), &got);
            if (rc == ERROR_SUCCESS) {
                buf[got < buf.size() ? got : buf.size() - 1] = '\0';
                value = buf.data();
            }
        }
        ::RegCloseKey(key);
        return rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) ? value : def;
    }
    // The .INI form: grow the buffer until the value fits.
    for (DWORD size = 256; size <= (1u << 20); size *= 4) {
        std::vector<char> buf(size);
        DWORD n = ::GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault ? lpszDefault : "", buf.data(),
                                             size, m_pszProfileName);
        if (n < size - 1)
            return CString(buf.data(), (int)n);
    }
    return def;
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (!lpszSection)
        return FALSE;
    if (m_pszRegistryKey) {
        if (!lpszEntry) {
            HKEY app = GetAppRegistryKey(FALSE);
            if (!app)
                return TRUE;
            LONG rc = ::RegDeleteKeyA(app, lpszSection);
            ::RegCloseKey(app);
            return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
        }
        HKEY key = GetSectionKey(lpszSection, lpszValue != nullptr);
        if (!key)
            return lpszValue == nullptr;
        LONG rc;
        if (!lpszValue)
            rc = ::RegDeleteValueA(key, lpszEntry);
        else
            rc = ::RegSetValueExA(key, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                  (DWORD)lstrlenA(lpszValue) + 1);
        ::RegCloseKey(key);
        return rc == ERROR_SUCCESS || (!lpszValue && rc == ERROR_FILE_NOT_FOUND);
    }
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes)
{
    if (!ppData || !pBytes)
        return FALSE;
    *ppData = nullptr;
    *pBytes = 0;
    if (!lpszSection || !lpszEntry)
        return FALSE;
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(lpszSection, FALSE);
        if (!key)
            return FALSE;
        DWORD type = 0, size = 0;
        LONG rc = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, nullptr, &size);
        BOOL ok = FALSE;
        if (rc == ERROR_SUCCESS && type == REG_BINARY) {
            BYTE* data = new BYTE[size ? size : 1];
            DWORD got = size;
            rc = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, data, &got);
            if (rc == ERROR_SUCCESS && got <= size) {
                *ppData = data;
                *pBytes = got;
                ok = TRUE;
            } else {
                delete[] data;
            }
        }
        ::RegCloseKey(key);
        return ok;
    }
    // .INI form: two letters 'A'+nibble per byte, low nibble first.
    CString text = GetProfileString(lpszSection, lpszEntry, nullptr);
    int len = text.GetLength();
    if (len == 0 || (len & 1))
        return FALSE;
    BYTE* data = new BYTE[len / 2];
    for (int i = 0; i < len; i += 2) {
        int lo = text[i] - 'A', hi = text[i + 1] - 'A';
        if (lo < 0 || lo > 15 || hi < 0 || hi > 15) {
            delete[] data;
            return FALSE;
        }
        data[i / 2] = (BYTE)(lo | (hi << 4));
    }
    *ppData = data;
    *pBytes = (UINT)(len / 2);
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    if (!lpszSection || !lpszEntry || (!pData && nBytes))
        return FALSE;
    if (m_pszRegistryKey) {
        HKEY key = GetSectionKey(lpszSection, TRUE);
        if (!key)
            return FALSE;
        LONG rc = ::RegSetValueExA(key, lpszEntry, 0, REG_BINARY, pData, nBytes);
        ::RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
    CString text;
    char* p = text.GetBuffer((int)nBytes * 2);
    for (UINT i = 0; i < nBytes; ++i) {
        p[i * 2] = (char)('A' + (pData[i] & 0x0F));
        p[i * 2 + 1] = (char)('A' + (pData[i] >> 4));
    }
    text.ReleaseBuffer((int)nBytes * 2);
    return WriteProfileString(lpszSection, lpszEntry, text);
}
