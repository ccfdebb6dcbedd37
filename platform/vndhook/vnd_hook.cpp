// The hot-key library: a hidden window of the library registers the chosen
// key with the system and, when it is pressed, posts WM_ACTIVATE_INSTANCE to
// the window the caller named. The key is a character (its virtual key is
// looked up in the keyboard layout) with Shift, Ctrl and Alt flags.
#include <windows.h>

namespace {
const UINT WM_ACTIVATE_INSTANCE = 0x2490;
const int kHotKeyId = 0x2490;
const char kClassName[] = "vndHookHotKeyWindow";

HMODULE g_module = nullptr;
HWND g_notify = nullptr;
HWND g_listener = nullptr;
bool g_registered = false;
char g_key = 0;
BOOL g_shift = FALSE, g_ctrl = FALSE, g_alt = FALSE;

LRESULT CALLBACK ListenerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HOTKEY && static_cast<int>(wParam) == kHotKeyId) {
        if (g_notify && ::IsWindow(g_notify))
            ::PostMessageA(g_notify, WM_ACTIVATE_INSTANCE, 0, 0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void Unregister()
{
    if (g_registered && g_listener)
        ::UnregisterHotKey(g_listener, kHotKeyId);
    g_registered = false;
}

void Register()
{
    Unregister();
    if (!g_listener || !g_key)
        return;
    const SHORT scan = ::VkKeyScanA(g_key);
    if (scan == -1)
        return;
    UINT mods = 0;
    if (g_shift)
        mods |= MOD_SHIFT;
    if (g_ctrl)
        mods |= MOD_CONTROL;
    if (g_alt)
        mods |= MOD_ALT;
    g_registered = ::RegisterHotKey(g_listener, kHotKeyId, mods, LOBYTE(scan)) != FALSE;
}
}  // namespace

extern "C" {

// Starts listening for the hot key; `window` receives WM_ACTIVATE_INSTANCE.
__declspec(dllexport) BOOL HookKeyboard(HMODULE module, HWND window)
{
    g_module = module ? module : g_module;
    g_notify = window;
    if (!g_listener) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ListenerProc;
        wc.hInstance = g_module;
        wc.lpszClassName = kClassName;
        ::RegisterClassA(&wc);
        g_listener = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, g_module, nullptr);
    }
    Register();
    return g_listener != nullptr;
}

// The key character and its Shift, Ctrl and Alt flags.
__declspec(dllexport) void SetHookKeys(char key, BOOL shift, BOOL ctrl, BOOL alt)
{
    g_key = key;
    g_shift = shift;
    g_ctrl = ctrl;
    g_alt = alt;
    Register();
}

__declspec(dllexport) void UnHookKeyboard()
{
    Unregister();
    if (g_listener)
        ::DestroyWindow(g_listener);
    g_listener = nullptr;
    g_notify = nullptr;
    if (g_module)
        ::UnregisterClassA(kClassName, g_module);
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}
