// CRegistry and CPlugInSettings: the plug-in's values under
// HKEY_CURRENT_USER\Korvaneant1, named "<Name>-<option>".
#include "plugin_module.h"

#include <cstring>

CRegistry::CRegistry()
    : m_hRootKey(nullptr), m_hSubKey(nullptr), m_nLastError(ERROR_SUCCESS), m_bOpen(FALSE)
{
}

CRegistry::~CRegistry() { Close(); }

BOOL CRegistry::Close()
{
    if (!m_bOpen)
        return TRUE;
    m_nLastError = ::RegCloseKey(m_hSubKey);
    if (m_nLastError != ERROR_SUCCESS)
        return FALSE;
    m_hSubKey = nullptr;
    m_bOpen = FALSE;
    m_strSubKeyName.Empty();
    return TRUE;
}

BOOL CRegistry::Connect()
{
    if (!Close())
        return FALSE;
    m_hRootKey = HKEY_CURRENT_USER;
    m_strRootKeyName = "HKEY_CURRENT_USER";
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof(name);
    m_strComputerName = ::GetComputerNameA(name, &size) ? name : "";
    return TRUE;
}

BOOL CRegistry::CreateKey(LPCTSTR subKey)
{
    if (!Close())
        return FALSE;
    if (!m_hRootKey || !subKey) {
        m_nLastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    m_nLastError = ::RegCreateKeyExA(m_hRootKey, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                     nullptr, &key, &disposition);
    if (m_nLastError != ERROR_SUCCESS)
        return FALSE;
    m_hSubKey = key;
    m_strSubKeyName = subKey;
    m_bOpen = TRUE;
    return TRUE;
}

BOOL CRegistry::ReadDword(LPCTSTR name, DWORD& value, DWORD defaultValue)
{
    value = defaultValue;
    if (!name) {
        m_nLastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (!m_bOpen)
        return FALSE;
    DWORD type = 0, data = 0, size = sizeof(data);
    m_nLastError = ::RegQueryValueExA(m_hSubKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    // A value of another size reads as the default.
    if (m_nLastError != ERROR_SUCCESS || size != sizeof(data))
        return FALSE;
    value = data;
    return TRUE;
}

BOOL CRegistry::ReadString(LPCTSTR name, CString& value, LPCTSTR defaultValue)
{
    value = defaultValue ? defaultValue : "";
    if (!name) {
        m_nLastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (!m_bOpen)
        return FALSE;
    // One byte more than is read keeps the text terminated whatever was stored.
    char buffer[256] = {};
    DWORD type = 0, size = 255;
    m_nLastError = ::RegQueryValueExA(m_hSubKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (m_nLastError != ERROR_SUCCESS)
        return FALSE;
    value = buffer;
    return TRUE;
}

BOOL CRegistry::WriteDword(LPCTSTR name, DWORD value)
{
    if (!name) {
        m_nLastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (!m_bOpen)
        return FALSE;
    m_nLastError =
        ::RegSetValueExA(m_hSubKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    return m_nLastError == ERROR_SUCCESS;
}

BOOL CRegistry::WriteString(LPCTSTR name, LPCTSTR value)
{
    if (!name) {
        m_nLastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (!m_bOpen)
        return FALSE;
    if (!value)
        value = "";
    m_nLastError = ::RegSetValueExA(m_hSubKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                    static_cast<DWORD>(std::strlen(value) + 1));
    return m_nLastError == ERROR_SUCCESS;
}

CPlugInSettings::CPlugInSettings(const PlugInDescription& description)
    : m_nActive(description.activeDefault), m_Description(description), m_bLoaded(FALSE)
{
    for (int i = 0; i < description.optionCount; ++i) {
        const PlugInOption& o = description.options[i];
        m_Values.push_back(o.defaultValue);
        m_Texts.push_back(CString(o.defaultText ? o.defaultText : ""));
    }
}

CString CPlugInSettings::ValueName(LPCTSTR option) const
{
    return CString(m_Description.name) + "-" + option;
}

void CPlugInSettings::Load()
{
    if (m_bLoaded)
        return;
    if (!m_Registry.Connect())
        return;
    // A key that cannot be opened leaves every value at its default; the
    // settings still count as loaded and are not read again.
    m_Registry.CreateKey(PLUGIN_REGISTRY_SECTION);
    m_bLoaded = TRUE;
    DWORD v = 0;
    m_Registry.ReadDword(ValueName("Active"), v, static_cast<DWORD>(m_Description.activeDefault));
    m_nActive = static_cast<int>(v);
    for (int i = 0; i < m_Description.optionCount; ++i) {
        const PlugInOption& o = m_Description.options[i];
        if (o.kind == PLUGIN_OPTION_TEXT) {
            m_Registry.ReadString(ValueName(o.name), m_Texts[i], o.defaultText);
        } else {
            m_Registry.ReadDword(ValueName(o.name), v, static_cast<DWORD>(o.defaultValue));
            m_Values[i] = static_cast<int>(v);
        }
    }
}

void CPlugInSettings::Save()
{
    if (!m_bLoaded)
        return;
    m_Registry.WriteDword(ValueName("Active"), static_cast<DWORD>(m_nActive));
    for (int i = 0; i < m_Description.optionCount; ++i) {
        const PlugInOption& o = m_Description.options[i];
        if (o.kind == PLUGIN_OPTION_TEXT)
            m_Registry.WriteString(ValueName(o.name), m_Texts[i]);
        else
            m_Registry.WriteDword(ValueName(o.name), static_cast<DWORD>(m_Values[i]));
    }
}

int CPlugInSettings::GetInt(LPCTSTR option) const
{
    for (int i = 0; i < m_Description.optionCount; ++i)
        if (std::strcmp(m_Description.options[i].name, option) == 0)
            return m_Values[i];
    return 0;
}

CString CPlugInSettings::GetText(LPCTSTR option) const
{
    for (int i = 0; i < m_Description.optionCount; ++i)
        if (std::strcmp(m_Description.options[i].name, option) == 0)
            return m_Texts[i];
    return CString();
}
