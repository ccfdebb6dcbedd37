// CPluginTable: finding, binding, feeding and unloading the action plug-ins.
#include "plugin_table.h"

#include "assistant_settings.h"
#include "cm11a_interface.h"
#include "max_serial_interface.h"

#include <windows.h>

void (*CPluginTable::s_pfnCloseWindows)() = nullptr;

namespace {
template <class T>
T Bind(HMODULE hModule, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(hModule, name)));
}
} // namespace

CPluginTable::CPluginTable() { LoadPlugins(); }

CPluginTable::~CPluginTable() { UnloadPlugins(); }

void CPluginTable::LoadPlugins()
{
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA("*.kVX", &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        HMODULE hModule = ::LoadLibraryA(found.cFileName);
        if (!hModule)
            continue;
        auto pfnVersion = Bind<GetKorvaneVersionProc>(hModule, "Get_KorvaneVersion");
        int version = pfnVersion ? pfnVersion() : KORVANE_VERSION_MISSING;
        if (version < KORVANE_INTERFACE_VERSION) {
            ::FreeLibrary(hModule);
            continue;
        }
        PluginModule module{hModule, nullptr};
        m_Modules.push_back(module);
        if (KorvaneVersionHasIdler(version)) {
            if (auto pfnIdler = Bind<DoKVXIlderProc>(hModule, "DoKVXIlder"))
                m_Idlers.push_back(pfnIdler);
        }
        auto pfnSetUserInfo = Bind<SetUserInfoProc>(hModule, "SetUserInfo");
        auto pfnCount = Bind<GetNumberOfActionsProc>(hModule, "GetNumberOfActions");
        auto pfnName = Bind<GetActionsNameProc>(hModule, "GetActionsName");
        if (pfnCount && pfnName) {
            int count = pfnCount();
            for (int i = 0; i < count; ++i) {
                // Copies: the plug-in's answers are valid only until its next call.
                CString word = pfnName(i, ACTION_ITEM_TRIGGER_WORD);
                CString label = pfnName(i, ACTION_ITEM_LINK_LABEL);
                const char* exportName = pfnName(i, ACTION_ITEM_EXPORT_NAME);
                auto pfnAction = exportName ? Bind<PluginActionProc>(hModule, exportName) : nullptr;
                if (pfnAction && pfnSetUserInfo)
                    m_Rows.push_back(PluginActionRow{word, label, pfnAction, pfnSetUserInfo, pfnName});
            }
        }
        // The handle goes only to a module that came through the checks above
        // with its rows; one without the row exports stays loaded, unfed.
        if (pfnCount && pfnName && pfnSetUserInfo) {
            m_Modules.back().m_pfnSetUserInfo = pfnSetUserInfo;
            pfnSetUserInfo(hModule, USERINFO_MODULE);
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

void CPluginTable::SendSettings()
{
    for (const PluginActionRow& row : m_Rows) {
        // Each value read fresh; temporaries live for the call only.
        CString user = g_Settings.GetUNM();
        CString password = g_Settings.GetUPM();
        CString myName = g_Settings.GetMyName();
        CString zip = g_Settings.GetZipPassword();
        CString unzip = g_Settings.GetUnZipPassword();
        CString instDir = g_Settings.GetInstDir();
        row.m_pfnSetUserInfo(&user, USERINFO_MAIL_USER);
        row.m_pfnSetUserInfo(&password, USERINFO_MAIL_PASSWORD);
        row.m_pfnSetUserInfo(&myName, USERINFO_MY_NAME);
        row.m_pfnSetUserInfo(&g_strLog, USERINFO_LOG);
        row.m_pfnSetUserInfo(&zip, USERINFO_ZIP_PASSWORD);
        row.m_pfnSetUserInfo(&unzip, USERINFO_UNZIP_PASSWORD);
        row.m_pfnSetUserInfo(&instDir, USERINFO_INSTALL_DIR);
        row.m_pfnSetUserInfo("0", USERINFO_ZERO);
    }
}

void CPluginTable::DoIdleTurns()
{
    for (DoKVXIlderProc pfnIdler : m_Idlers)
        pfnIdler();
}

void CPluginTable::UnloadPlugins()
{
    if (m_bUnloaded)
        return;
    m_bUnloaded = true;
    if (s_pfnCloseWindows)
        s_pfnCloseWindows();
    // Nothing may call into a module once it is gone.
    m_Rows.clear();
    m_Idlers.clear();
    for (const PluginModule& module : m_Modules) {
        if (module.m_pfnSetUserInfo)
            module.m_pfnSetUserInfo(USERINFO_UNLOAD_TEXT, USERINFO_UNLOAD);
        ::FreeLibrary(static_cast<HMODULE>(module.m_hModule));
    }
    m_Modules.clear();
    g_CM11AInterface.Unload();
    g_MAXSerialInterface.Unload();
}
