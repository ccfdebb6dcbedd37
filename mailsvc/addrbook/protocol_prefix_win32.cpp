// The address books' registry access and the user's mail protocol prefix,
// from the main program's settings.
#include "addrbook/address_book.h"

HKEY AddressBook::m_RegistryHandle = nullptr;
HKEY AddressBook::m_KeyHandle = nullptr;
BOOL AddressBook::m_bHaveToCloseKeyHandle = FALSE;
CString AddressBook::m_sKeyName;
CString AddressBook::m_sRegistryName;
CString AddressBook::m_sComputerName;
LONG AddressBook::m_ErrorCode = 0;

int AddressBook::Connect2Registry()
{
    if (m_RegistryHandle && !DisconnectFromRegistry())
        return 0;
    m_RegistryHandle = HKEY_CURRENT_USER;
    m_ErrorCode = ERROR_SUCCESS;
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof computer;
    m_sComputerName = ::GetComputerNameA(computer, &size) ? CString(computer) : CString();
    m_sRegistryName = "HKEY_CURRENT_USER";
    m_KeyHandle = HKEY_CURRENT_USER;
    m_bHaveToCloseKeyHandle = FALSE;
    return 1;
}

int AddressBook::DisconnectFromRegistry()
{
    if (!m_RegistryHandle)
        return 1;
    // The key opened under the root goes too: nothing is left open between calls.
    if (m_bHaveToCloseKeyHandle && m_KeyHandle)
        ::RegCloseKey(m_KeyHandle);
    m_bHaveToCloseKeyHandle = FALSE;
    m_KeyHandle = nullptr;
    m_ErrorCode = ::RegCloseKey(m_RegistryHandle);
    if (m_ErrorCode != ERROR_SUCCESS)
        return 0;
    m_RegistryHandle = nullptr;
    return 1;
}

int AddressBook::CreateKey(const char* path)
{
    if (m_bHaveToCloseKeyHandle && m_KeyHandle) {
        ::RegCloseKey(m_KeyHandle);
        m_KeyHandle = m_RegistryHandle;
        m_bHaveToCloseKeyHandle = FALSE;
    }
    if (!m_RegistryHandle || !path) {
        m_ErrorCode = ERROR_INVALID_PARAMETER;
        return 0;
    }
    HKEY key = nullptr;
    char emptyClass[] = "";
    m_ErrorCode = ::RegCreateKeyExA(m_RegistryHandle, path, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr);
    if (m_ErrorCode != ERROR_SUCCESS)
        return 0;
    m_KeyHandle = key;
    m_bHaveToCloseKeyHandle = TRUE;
    m_sKeyName = path;
    return 1;
}

int AddressBook::GetStringValue(const char* name, CString& value, CString defaultValue)
{
    if (!name) {
        m_ErrorCode = ERROR_INVALID_PARAMETER;
        return 0;
    }
    // Room for 255 bytes and a terminator of our own, whatever the value holds.
    char buffer[256] = {};
    DWORD type = 0, size = 255;
    LONG result = m_KeyHandle ? ::RegQueryValueExA(m_KeyHandle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                                   &size)
                              : ERROR_INVALID_HANDLE;
    if (result == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        result = ERROR_UNSUPPORTED_TYPE;
    m_ErrorCode = result;
    value = result == ERROR_SUCCESS ? CString(buffer) : defaultValue;
    return static_cast<int>(result);
}

int AddressBook::SetStringValue(const char* name, const CString& value)
{
    if (!name) {
        m_ErrorCode = ERROR_INVALID_PARAMETER;
        return 0;
    }
    LONG result = m_KeyHandle ? ::RegSetValueExA(m_KeyHandle, name, 0, REG_SZ,
                                                 reinterpret_cast<const BYTE*>(static_cast<LPCTSTR>(value)),
                                                 static_cast<DWORD>(value.GetLength() + 1))
                              : ERROR_INVALID_HANDLE;
    m_ErrorCode = result;
    return static_cast<int>(result);
}

CString AddressBook::GetProtocolPrefix()
{
    CString prefix;
    if (Connect2Registry()) {
        if (CreateKey("Software\\Ostrel Software\\Vindalex Personal Assistant\\Korvaneant1"))
            GetStringValue("kVEmailProtocolPrefix", prefix, CString());
        DisconnectFromRegistry();
    }
    int colon = prefix.Find(':');
    return colon >= 0 ? prefix.Left(colon) : prefix;
}

CString GetSystemErrorText(DWORD code)
{
    if (code == static_cast<DWORD>(-1))
        code = ::GetLastError();
    char buffer[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                    buffer, sizeof buffer, nullptr);
    if (length >= sizeof buffer)
        length = sizeof buffer - 1;
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n'))
        --length;
    return CString(buffer, static_cast<int>(length));
}
