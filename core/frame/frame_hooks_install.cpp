// The frame's hooks and the desktop toolbar's site, filled at start-up.
#include "frame_hooks.h"

#include "main_frame.h"

#include "assistant_settings.h"
#include "desktop_road.h"
#include "korvane_doc.h"
#include "shell_bar.h"
#include "shell_bar_site.h"

#include <vector>

extern void (*g_pfnToolbarUpdateData)();

namespace {
CShellBar* LiveShellBar()
{
    CShellBar* bar = CShellBar::m_pShellBar;
    return bar && bar->m_hWnd ? bar : nullptr;
}

void InstallShellBarHooks()
{
    g_FrameHooks.createShellBar = [] { CShellBar::CreateShellBar(); };
    g_FrameHooks.destroyShellBar = [] { CShellBar::DestroyShellBar(); };
    g_FrameHooks.activateShellBar = [] {
        if (CShellBar* bar = LiveShellBar())
            bar->SendMessage(WM_ACTIVATE_INSTANCE);
    };
    g_FrameHooks.attachmentPath = []() -> CString* {
        CShellBar* bar = CShellBar::m_pShellBar;
        return bar ? &bar->m_DropIcon.m_strPath : nullptr;
    };
    g_FrameHooks.setHookHotKey = [](char key, int shift, int ctrl, int alt) { SetHookHotKey(key, shift, ctrl, alt); };
    g_FrameHooks.repaintShellBar = [] {
        if (CShellBar* bar = LiveShellBar()) {
            bar->m_DropIcon.UpdateIcon();
            bar->Invalidate();
        }
    };
    g_pfnToolbarUpdateData = [] {
        if (CShellBar* bar = LiveShellBar())
            bar->UpdateData(FALSE);
    };

    g_ShellBarSite.autoHide = [] { return g_Settings.GetAutoHideAppBar(); };
    g_ShellBarSite.alwaysOnTop = [] { return g_Settings.GetAlwaysOnTopAppBar(); };
    g_ShellBarSite.noShape = [] { return g_Settings.GetNoShapeAppBar(); };
    g_ShellBarSite.hotKey = [](char* key, BOOL* shift, BOOL* ctrl, BOOL* alt) {
        *key = g_Settings.GetHotKeyChar();
        *shift = g_Settings.GetHotKeyShift();
        *ctrl = g_Settings.GetHotKeyCtrl();
        *alt = g_Settings.GetHotKeyAlt();
    };
    g_ShellBarSite.runRequest = [](const CString& text, const CString& file) {
        return static_cast<int>(RunDesktopRequest(text, file));
    };
    g_ShellBarSite.consoleView = []() -> CWnd* {
        if (!g_pCurrentDocument)
            return nullptr;
        POSITION pos = g_pCurrentDocument->GetFirstViewPosition();
        return pos ? g_pCurrentDocument->GetNextView(pos) : nullptr;
    };
    g_ShellBarSite.options = [] {
        if (g_pMainFrame)
            g_pMainFrame->OnOptions();
    };
}
}  // namespace

void InstallFrameHooks() { InstallShellBarHooks(); }

const char* const* MissingFrameHooks(int* count)
{
    static std::vector<const char*> missing;
    missing.clear();
    // A hook added to the frame must be added to this list too.
    static_assert(sizeof(CFrameHooks) == 7 * sizeof(void*), "every hook of the frame is listed here");
    const CFrameHooks& h = g_FrameHooks;
    const std::pair<const char*, bool> hooks[] = {
        {"createShellBar", h.createShellBar != nullptr},
        {"destroyShellBar", h.destroyShellBar != nullptr},
        {"activateShellBar", h.activateShellBar != nullptr},
        {"attachmentPath", h.attachmentPath != nullptr},
        {"repaintShellBar", h.repaintShellBar != nullptr},
        {"setHookHotKey", h.setHookHotKey != nullptr},
        {"checkWebForUpdate", h.checkWebForUpdate != nullptr},
        {"toolbarUpdateData", g_pfnToolbarUpdateData != nullptr},
    };
    for (const auto& [name, set] : hooks)
        if (!set)
            missing.push_back(name);
    *count = static_cast<int>(missing.size());
    return missing.data();
}
