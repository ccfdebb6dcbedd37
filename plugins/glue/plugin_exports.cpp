// The module-wide objects of a plug-in and the four exports every plug-in has.
// Linked whole into each plug-in; the plug-in defines g_PlugInDescription and
// its action exports.
#include "plugin_module.h"

#include "options/wmoptions.h"

bool CopyPlugInDictionary(HMODULE hModule, std::vector<char>& copy);

namespace {

class CWin32PlugInServices : public CPlugInServices {
public:
    CString LoadString(void* hModule, unsigned id) override
    {
        return LoadPlugInString(static_cast<HINSTANCE>(hModule), id);
    }
    void LoadSettings() override { g_PlugInSettings.Load(); }
    void SaveSettings() override { g_PlugInSettings.Save(); }
    int IsActive() override { return g_PlugInSettings.m_nActive; }
    void ShowDialog() override { ShowPlugInDialog(); }
    bool CopyDictionary(void* hModule, std::vector<char>& copy) override
    {
        return CopyPlugInDictionary(static_cast<HMODULE>(hModule), copy);
    }
    void LogOff() override
    {
        if (g_PlugInMapi.GetSessionHandle())
            g_PlugInMapi.Logoff(0, nullptr);
    }
};

CWin32PlugInServices g_PlugInServices;

} // namespace

CPlugInSettings g_PlugInSettings(g_PlugInDescription);
CPlugIn g_PlugIn(g_PlugInDescription, g_PlugInServices);
CZLMMapi g_PlugInMapi;
// Keeps the shared appearance options' registry connection alive while this
// plug-in is loaded, as every module of the library does.
static CWMOptions s_WMOptions;

void PlugInLogon()
{
    if (!g_PlugIn.m_bLogonNameSet || !g_PlugIn.m_bPasswordSet || g_PlugInMapi.GetSessionHandle())
        return;
    CString scratch;
    CString* errors = g_PlugIn.m_pLog ? g_PlugIn.m_pLog : &scratch;
    CMAPILogon().Logon(&g_PlugInMapi, g_PlugIn.m_strMailUser, g_PlugIn.m_strMailPassword, errors, nullptr);
}

extern "C" int Get_KorvaneVersion() { return KORVANE_INTERFACE_VERSION; }

extern "C" int GetNumberOfActions() { return g_PlugIn.GetNumberOfActions(); }

extern "C" const char* GetActionsName(int row, int item) { return g_PlugIn.GetActionsName(row, item); }

extern "C" void SetUserInfo(const void* value, int code) { g_PlugIn.SetUserInfo(value, code); }
