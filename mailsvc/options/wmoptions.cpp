#include "options/wmoptions.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

COLORREF CWMOptions::Color1 = 0;
COLORREF CWMOptions::Color2 = 0;
COLORREF CWMOptions::Color3 = 0;
COLORREF CWMOptions::ColorText1 = 0;
COLORREF CWMOptions::ColorText2 = 0;
COLORREF CWMOptions::ColorText3 = 0;
int CWMOptions::m_bMainUseBackground2 = 1;
int CWMOptions::m_bShowAnim = 1;
int CWMOptions::m_nUpDateCount = 0;
CString CWMOptions::m_strAssistantWWWDir;
CString CWMOptions::m_strAssistantWWWVDir;

VxRegKey CWMOptions::m_hRootKey = nullptr;
VxRegKey CWMOptions::m_hKey = nullptr;
LONG CWMOptions::m_nLastError = 0;
BOOL CWMOptions::m_bHaveToCloseKeyHandle = FALSE;
BOOL CWMOptions::m_bInited = FALSE;
int CWMOptions::m_nInstanceCount = 0;
CString CWMOptions::m_sComputerName;
CString CWMOptions::m_sRegistryName;
CString CWMOptions::m_sKeyName;
const char* CWMOptions::s_pszKeyName = "Korvaneant1";

namespace {

struct ColorValue {
    const char* name;
    COLORREF* color;
    const char* def;
};

const ColorValue kColors[] = {
    {"WM-CLR-1", &CWMOptions::Color1, "128 128 128"},
    {"WM-CLR-2", &CWMOptions::Color2, "128 128 255"},
    {"WM-CLR-3", &CWMOptions::Color3, "255 255 255"},
    {"WM-CLRT-1", &CWMOptions::ColorText1, "255 255 255"},
    {"WM-CLRT-2", &CWMOptions::ColorText2, "192 192 192"},
    {"WM-CLRT-3", &CWMOptions::ColorText3, "255 64 64"},
};

} // namespace

CWMOptions::CWMOptions()
{
    ++m_nInstanceCount;
}

CWMOptions::~CWMOptions()
{
    if (--m_nInstanceCount <= 0) {
        m_nInstanceCount = 0;
        DisconnectFromRegistry();
        m_bInited = FALSE;  // a later Init reads the registry again
    }
}

COLORREF CWMOptions::ParseColorText(const char* text, COLORREF def)
{
    int part[3] = {GetRValue(def), GetGValue(def), GetBValue(def)};
    const char* p = text ? text : "";
    for (int i = 0; i < 3; ++i) {
        while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(p, &end, 10);
        if (end == p) break;  // no number here: the rest keep their defaults
        part[i] = static_cast<int>(static_cast<unsigned long>(v) & 255);
        p = end;
    }
    return RGB(part[0], part[1], part[2]);
}

CString CWMOptions::FormatColorText(COLORREF color)
{
    CString s;
    s.Format("%d %d %d", GetRValue(color), GetGValue(color), GetBValue(color));
    return s;
}

void CWMOptions::applyDefaults()
{
    for (const ColorValue& c : kColors) *c.color = ParseColorText(c.def, 0);
    m_bMainUseBackground2 = 1;
    m_bShowAnim = 1;
}

void CWMOptions::Init()
{
    if (m_bInited) return;
    if (!Connect2Registry()) {
        applyDefaults();
        return;
    }
    CreateKey(s_pszKeyName);
    m_bInited = TRUE;
    for (const ColorValue& c : kColors) {
        CString text;
        GetStringValue(c.name, text, c.def);
        *c.color = ParseColorText(text, ParseColorText(c.def, 0));
    }
    DWORD v = 1;
    GetIntValue("WM-MUB", v, 1);
    m_bMainUseBackground2 = static_cast<int>(v);
    v = 1;
    GetIntValue("WM-OPNANUM", v, 1);
    m_bShowAnim = static_cast<int>(v);
}

void CWMOptions::Save()
{
    ++m_nUpDateCount;
    // Only into our own key: without it nothing is written (the connection's
    // root must never receive these values).
    if (!m_bInited || !m_bHaveToCloseKeyHandle) return;
    for (const ColorValue& c : kColors) SetStringValue(c.name, FormatColorText(*c.color));
    SetIntValue("WM-MUB", static_cast<DWORD>(m_bMainUseBackground2));
    SetIntValue("WM-OPNANUM", static_cast<DWORD>(m_bShowAnim));
}
