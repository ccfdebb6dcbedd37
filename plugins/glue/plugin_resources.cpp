// The plug-in's strings, web page templates and dictionary, read from its own
// module (the host's resources hold none of them).
#include "plugin_module.h"

#include <cstring>

CString LoadPlugInString(HINSTANCE hModule, UINT id)
{
    if (!hModule)
        return PLUGIN_LOAD_ERROR_TEXT;
    // Strings live in blocks of 16; a missing block means a missing string.
    if (!::FindResourceA(hModule, MAKEINTRESOURCEA(id / 16 + 1), RT_STRING))
        return CString();
    char buffer[256] = {};
    if (::LoadStringA(hModule, id, buffer, 256) <= 0)
        return CString();
    return buffer;
}

CString LoadPlugInHtml(UINT id)
{
    HMODULE hModule = static_cast<HMODULE>(g_PlugIn.m_hModule);
    if (!hModule)
        return CString();
    HRSRC res = ::FindResourceA(hModule, MAKEINTRESOURCEA(id), RT_HTML);
    if (!res)
        return CString();
    DWORD size = ::SizeofResource(hModule, res);
    HGLOBAL mem = ::LoadResource(hModule, res);
    const char* bytes = mem ? static_cast<const char*>(::LockResource(mem)) : nullptr;
    if (!bytes)
        return CString();
    std::vector<char> text(size + 1, '\0');
    std::memcpy(text.data(), bytes, size);
    return CString(text.data());
}

bool CopyPlugInDictionary(HMODULE hModule, std::vector<char>& copy)
{
    HRSRC res = ::FindResourceA(hModule, "DICTIONARY", RT_RCDATA);
    if (!res)
        return false;
    DWORD size = ::SizeofResource(hModule, res);
    HGLOBAL mem = ::LoadResource(hModule, res);
    const char* bytes = mem ? static_cast<const char*>(::LockResource(mem)) : nullptr;
    if (!bytes || !size)
        return false;
    copy.assign(bytes, bytes + size);
    return true;
}
