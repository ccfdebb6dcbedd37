// The options command and the first-run wizard: copy the settings into the
// pages, run the sheet, copy the pages back and apply what changed. What the
// command changes outside the settings (the caption strip, the desktop
// toolbar, the window colours, the web server, the plug-ins) goes through
// OptionsEffects, which the main frame fills.
#pragma once

#include "fx/fxwin.h"

#include "plugin_prop.h"

#include <functional>
#include <vector>

class CAssistantSettings;

struct OptionsEffects {
    std::function<void(const CString& text)> setCaptionText;
    std::function<void(UINT iconId, int slot)> setCaptionIcon;
    // The desktop toolbar: whether it exists, and its destroy (which saves its
    // state), create and repaint.
    std::function<bool()> shellBarExists;
    std::function<void()> destroyShellBar;
    std::function<void()> createShellBar;
    std::function<void()> repaintShellBar;
    // The shared appearance options changed (already saved): repaint the windows.
    std::function<void()> windowColoursChanged;
    std::function<void(char key, int shift, int ctrl, int alt)> setHookHotKey;
    // Stop the web server and build a new one from the settings.
    std::function<void()> rebuildWebServer;
    std::function<void()> sendSettingsToPlugins;
    // Writes the settings to the registry.
    std::function<void()> saveSettings;
    // The plug-ins the "Plug-ins" page lists.
    std::function<std::vector<PluginPageEntry>()> plugins;
    // A notice shown while the desktop toolbar is rebuilt; closed by the returned call.
    std::function<std::function<void()>(UINT textId)> showNotice;
};

class COptionsCommand {
public:
    COptionsCommand(CAssistantSettings& settings, OptionsEffects effects, CWnd* pParent = nullptr);

    // The "Properties" sheet; nothing at all when the program password is not given.
    void RunOptions();
    // The "Quick Setup" wizard, once (kVRWO); also behind the program password.
    void RunQuickSetup();

    // The caption strip's icons for the current settings.
    static UINT MailIcon(const CAssistantSettings& s);
    static UINT BarIcon(const CAssistantSettings& s);
    static UINT WebIcon(const CAssistantSettings& s);

private:
    bool PassGate();
    void ApplyHotKey(int shift, int ctrl, int alt, const CString& key, bool toHook);
    void ApplyAppearance(const COLORREF colours[6], int useBackground2, int showAnim);
    void CaptionText();

    CAssistantSettings& m_Settings;
    OptionsEffects m_Effects;
    CWnd* m_pParent;
};
