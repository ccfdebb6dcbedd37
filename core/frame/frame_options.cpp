// The frame's side of the settings: the options command (behind the "no mail
// session" gate, whichever way it was asked for), the first-run wizard, and
// the desktop toolbar's questions about the attachment and the clipboard.
#include "main_frame.h"

#include "frame_hooks.h"
#include "options_command.h"

#include "assistant_settings.h"
#include "assistant_site.h"
#include "mapi/zlm_mapi.h"
#include "plugin_table.h"
#include "wait_notice.h"
#include "winmgr/winmgr.h"

#include <shellapi.h>

#include <new>

extern CZLMMapi g_MapiSession;

namespace {

std::vector<PluginPageEntry> LoadedPlugins()
{
    std::vector<PluginPageEntry> plugins;
    for (const PluginModule& m : g_PluginTable.GetModules()) {
        auto module = static_cast<HMODULE>(m.m_hModule);
        PluginPageEntry e{};
        e.getActionsName = reinterpret_cast<GetActionsNameProc>(::GetProcAddress(module, "GetActionsName"));
        e.setUserInfo = m.m_pfnSetUserInfo;
        plugins.push_back(e);
    }
    return plugins;
}

}  // namespace

OptionsEffects CMainFrame::OptionsEffectsOfFrame()
{
    OptionsEffects e;
    e.setCaptionText = [this](const CString& text) { m_wndCaptionBar.SetText(text); };
    e.setCaptionIcon = [this](UINT id, int slot) { m_wndCaptionBar.SetIcon(id, slot); };
    e.shellBarExists = [] { return g_FrameHooks.attachmentPath && g_FrameHooks.attachmentPath() != nullptr; };
    e.destroyShellBar = [] {
        if (g_FrameHooks.destroyShellBar)
            g_FrameHooks.destroyShellBar();
    };
    e.createShellBar = [] {
        if (g_FrameHooks.createShellBar)
            g_FrameHooks.createShellBar();
    };
    e.repaintShellBar = [] {
        if (g_FrameHooks.repaintShellBar)
            g_FrameHooks.repaintShellBar();
    };
    e.windowColoursChanged = [this] {
        g_WindowMgr.Invalidate(TRUE);
        ApplyBackgroundColours();
        if (m_wndMDIClient.m_hWnd)
            m_wndMDIClient.Invalidate();
    };
    e.setHookHotKey = [](char key, int shift, int ctrl, int alt) {
        if (g_FrameHooks.setHookHotKey)
            g_FrameHooks.setHookHotKey(key, shift, ctrl, alt);
    };
    e.rebuildWebServer = [] {
        delete g_pWebServer;
        g_pWebServer = nullptr;
        g_pWebServer = new (std::nothrow) CAssistantWebServer(&g_Settings);
    };
    e.sendSettingsToPlugins = [] { g_PluginTable.SendSettings(); };
    e.saveSettings = [] { g_Settings.Save(); };
    e.plugins = LoadedPlugins;
    e.showNotice = [](UINT textId) {
        CString text;
        text.LoadString(textId);
        return ShowWaitNotice(text);
    };
    return e;
}

void CMainFrame::OnOptions()
{
    // The sheet changes the mail profile and rebuilds what the open session
    // serves: it runs only without a session. Posted commands (the toolbar's
    // button, the "options" word) come here too, not only the menu the update
    // handler greys: they are asked whether to deactivate first.
    if (g_MapiSession.GetSessionHandle() != 0) {
        if (AfxMessageBox(FRAME_TEXT_OPTIONS_NEED_DEACTIVATE, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        OnMailDeactivate();
        if (g_MapiSession.GetSessionHandle() != 0)
            return;
    }
    COptionsCommand command(g_Settings, OptionsEffectsOfFrame(), this);
    command.RunOptions();
}

void CMainFrame::RunQuickSetup()
{
    COptionsCommand command(g_Settings, OptionsEffectsOfFrame(), this);
    command.RunQuickSetup();
}

BOOL CMainFrame::HasSelectedFile()
{
    CString* path = g_FrameHooks.attachmentPath ? g_FrameHooks.attachmentPath() : nullptr;
    return path && !path->IsEmpty();
}

BOOL CMainFrame::CanPasteFiles()
{
    if (!::OpenClipboard(m_hWnd))
        return FALSE;
    BOOL files = FALSE;
    if (HDROP drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP)))
        files = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 0;
    ::CloseClipboard();
    return files;
}
