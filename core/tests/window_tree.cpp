// A small outside look at a running Vindalex.exe for the program's tests:
// prints the window tree of its main frame, or sends the frame a command.
//   window_tree tree            one line per window: depth, class, id, text, handle
//   window_tree command <id>    sends WM_COMMAND <id> to the frame, waits for it
// Exits 1 when no main frame is found within 20 seconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
HWND g_frame = nullptr;

BOOL CALLBACK FindFrame(HWND wnd, LPARAM)
{
    char text[256] = {};
    ::GetWindowTextA(wnd, text, sizeof text);
    // The caption is the program's name, after the active document's.
    if (!std::strstr(text, "Vindalex"))
        return TRUE;
    if (!::FindWindowExA(wnd, nullptr, "MDICLIENT", nullptr))
        return TRUE;
    g_frame = wnd;
    return FALSE;
}

void Print(HWND wnd, int depth)
{
    char cls[128] = {};
    char text[128] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    ::GetWindowTextA(wnd, text, sizeof text);
    const LONG style = ::GetWindowLongA(wnd, GWL_STYLE);
    std::printf("%d %s id=%d visible=%d text=%s hwnd=%p\n", depth, cls, ::GetDlgCtrlID(wnd),
                (style & WS_VISIBLE) ? 1 : 0, text, static_cast<void*>(wnd));
    for (HWND child = ::GetWindow(wnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        Print(child, depth + 1);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    for (int i = 0; i < 200 && !g_frame; ++i) {
        ::EnumWindows(FindFrame, 0);
        if (!g_frame)
            ::Sleep(100);
    }
    if (!g_frame) {
        std::printf("no main frame\n");
        return 1;
    }
    if (std::strcmp(argv[1], "tree") == 0) {
        Print(g_frame, 0);
        return 0;
    }
    if (std::strcmp(argv[1], "command") == 0 && argc > 2) {
        DWORD_PTR result = 0;
        const WPARAM id = static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 10));
        if (!::SendMessageTimeoutA(g_frame, WM_COMMAND, id, 0, SMTO_NORMAL, 20000, &result))
            return 1;
        return 0;
    }
    return 2;
}
