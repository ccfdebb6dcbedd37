// A small outside look at a running Vindalex.exe for the program's tests:
// prints the window tree of its main frame, or sends the frame a command.
//   window_tree tree            one line per window: depth, class, id, text, handle
//   window_tree command <id>    sends WM_COMMAND <id> to the frame, waits for it
//   window_tree post <id>       posts WM_COMMAND <id> to the frame (for commands that open a modal window)
//   window_tree cancel <text>   posts IDCANCEL to the program's visible top-level window titled <text>
//   window_tree bar-on          in the open options sheet, ticks the desktop toolbar's switch and
//                               presses OK; then prints the text of the notice shown while the
//                               toolbar is made and waits until the notice has closed
//   window_tree toplevels       the program's visible top-level windows: class, rectangle, text
//   window_tree toolbar         the desktop toolbar's window rectangle, its request line's centre
//                               and the number of requests in its history
//   window_tree drop <file>     drops the file on the toolbar's file-drop icon (a drop block)
//   window_tree paste <file>    puts the file on the clipboard as a drop block and has the
//                               frame paste it ("Paste from Explorer")
//   window_tree move <x> <y>    moves the frame (out of the way of a docked toolbar)
//   window_tree foreground      exits 0 when the toolbar is the foreground window
//   window_tree close           posts WM_CLOSE to the frame (as closing its window does)
//   window_tree has-toolbar     exits 0 when the desktop toolbar exists now (no wait)
//   window_tree history         the requests in the toolbar's history, newest first, joined by "|"
//   window_tree box             waits for the program's message box, prints its text (line breaks
//                               written as \r and \n) and answers it with OK
//   window_tree answer <id>     the same, answering with the button <id> (6 Yes, 7 No)
//   window_tree menu tray|toolbar  opens the tray icon's or the desktop toolbar's menu (as a click
//                               does) and waits until it shows
//   window_tree keys <k>...     presses keys in the open menu, one after the other: a letter, or
//                               esc, up, down, left, right, return; waits after each until a
//                               sub-menu opened or the menu closed (or a second passed)
//   window_tree menus           the number of menu windows the program shows now
//   window_tree minimize        minimises the frame
//   window_tree iconic          exits 0 when the frame is minimised
//   window_tree boxes           the texts of the program's message boxes showing now, one a line
//   window_tree text <title> <id>  the text of control <id> in the program's window titled <title>
//   window_tree other <text>    exits 0 when a window of any program whose title holds <text> shows,
//                               and closes it (a viewer the program started)
//   window_tree console         exits 0 when the console (an MDI child) is open; prints its title
// The frame is the one of the program started from VX_PROGRAM_PATH (its full
// Windows path) when that is set: other test programs on the same display may
// run a Vindalex of their own. Exits 1 when no main frame is found within two
// minutes.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
HWND g_frame = nullptr;

// A message to a window of the program, answered within 20 s (0 when not):
// a program that stopped answering fails the probe instead of hanging it.
LRESULT Ask(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(wnd, msg, wParam, lParam, SMTO_NORMAL, 20000, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

// Whether the window belongs to the program under test.
bool OfTheProgram(HWND wnd)
{
    const char* expected = std::getenv("VX_PROGRAM_PATH");
    if (!expected || !*expected)
        return true;
    DWORD process = 0;
    ::GetWindowThreadProcessId(wnd, &process);
    HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    if (!h)
        return false;
    char image[MAX_PATH] = {};
    DWORD size = sizeof image;
    const BOOL got = ::QueryFullProcessImageNameA(h, 0, image, &size);
    ::CloseHandle(h);
    return got && lstrcmpiA(image, expected) == 0;
}

BOOL CALLBACK FindFrame(HWND wnd, LPARAM)
{
    char text[256] = {};
    ::GetWindowTextA(wnd, text, sizeof text);
    // The caption is the program's name, after the active document's.
    if (!std::strstr(text, "Vindalex"))
        return TRUE;
    if (!::FindWindowExA(wnd, nullptr, "MDICLIENT", nullptr) || !OfTheProgram(wnd))
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
HWND g_toolbar = nullptr;
HWND g_titled = nullptr;
const char* g_title = nullptr;

BOOL CALLBACK FindTitled(HWND wnd, LPARAM)
{
    DWORD ours = 0, theirs = 0;
    ::GetWindowThreadProcessId(g_frame, &ours);
    ::GetWindowThreadProcessId(wnd, &theirs);
    char text[256] = {};
    ::GetWindowTextA(wnd, text, sizeof text);
    if (ours != theirs || !::IsWindowVisible(wnd) || std::strcmp(text, g_title) != 0)
        return TRUE;
    g_titled = wnd;
    return FALSE;
}

BOOL CALLBACK FindToolbar(HWND wnd, LPARAM)
{
    DWORD ours = 0, theirs = 0;
    ::GetWindowThreadProcessId(g_frame, &ours);
    ::GetWindowThreadProcessId(wnd, &theirs);
    if (ours != theirs || !::GetDlgItem(wnd, 1002) || !::GetDlgItem(wnd, 1054))
        return TRUE;
    g_toolbar = wnd;
    return FALSE;
}

BOOL CALLBACK PrintTopLevel(HWND wnd, LPARAM)
{
    DWORD ours = 0, theirs = 0;
    ::GetWindowThreadProcessId(g_frame, &ours);
    ::GetWindowThreadProcessId(wnd, &theirs);
    if (ours != theirs || !::IsWindowVisible(wnd))
        return TRUE;
    char cls[128] = {};
    char text[256] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    ::GetWindowTextA(wnd, text, sizeof text);
    RECT r;
    ::GetWindowRect(wnd, &r);
    std::printf("%s %ld %ld %ld %ld text=%s\n", cls, r.left, r.top, r.right, r.bottom, text);
    return TRUE;
}

HWND g_notice = nullptr;

// The notice window: a dialog of the program's whose text control reads "Please wait...".
BOOL CALLBACK FindNotice(HWND wnd, LPARAM)
{
    DWORD ours = 0, theirs = 0;
    ::GetWindowThreadProcessId(g_frame, &ours);
    ::GetWindowThreadProcessId(wnd, &theirs);
    char cls[64] = {};
    char text[256] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    HWND edit = ::GetDlgItem(wnd, 1057);
    if (ours != theirs || std::strcmp(cls, "#32770") != 0 || !edit)
        return TRUE;
    // An edit control keeps its text to itself: asked, not read.
    DWORD_PTR got = 0;
    ::SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &got);
    if (std::strncmp(text, "Please wait", 11) != 0)
        return TRUE;
    g_notice = wnd;
    return FALSE;
}

int ToolbarOnThroughTheSheet()
{
    g_title = "Properties";
    ::EnumWindows(FindTitled, 0);
    if (!g_titled)
        return 1;
    const int keyboardPage = 4;
    Ask(g_titled, PSM_SETCURSEL, keyboardPage, 0);
    HWND page = reinterpret_cast<HWND>(Ask(g_titled, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND create = page ? ::GetDlgItem(page, 1056) : nullptr;
    if (!create)
        return 1;
    Ask(create, BM_SETCHECK, BST_CHECKED, 0);
    ::PostMessageA(g_titled, PSM_PRESSBUTTON, PSBTN_OK, 0);
    // The notice lives at least its timer's 3 seconds: a close watch sees it.
    for (int i = 0; i < 1200 && !g_notice; ++i) {
        ::EnumWindows(FindNotice, 0);
        if (!g_notice)
            ::Sleep(50);
    }
    if (!g_notice) {
        std::printf("no notice\n");
        return 1;
    }
    char text[256] = {};
    DWORD_PTR got = 0;
    ::SendMessageTimeoutA(::GetDlgItem(g_notice, 1057), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_NORMAL, 10000, &got);
    std::printf("notice visible=%d text=%s\n", ::IsWindowVisible(g_notice) ? 1 : 0, text);
    for (int i = 0; i < 1200 && ::IsWindow(g_notice); ++i)
        ::Sleep(50);
    if (::IsWindow(g_notice)) {
        std::printf("the notice stayed\n");
        return 1;
    }
    std::printf("notice closed\n");
    return 0;
}

HWND g_box = nullptr;

// A message box of the program: a dialog whose text is the static control 0xFFFF.
BOOL CALLBACK FindMessageBox(HWND wnd, LPARAM)
{
    DWORD ours = 0, theirs = 0;
    ::GetWindowThreadProcessId(g_frame, &ours);
    ::GetWindowThreadProcessId(wnd, &theirs);
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (ours != theirs || !::IsWindowVisible(wnd) || std::strcmp(cls, "#32770") != 0 || !::GetDlgItem(wnd, 0xFFFF))
        return TRUE;
    g_box = wnd;
    return FALSE;
}

std::vector<HWND> g_boxes;
BOOL CALLBACK CollectMessageBoxes(HWND wnd, LPARAM)
{
    DWORD ours = 0, theirs = 0;
    ::GetWindowThreadProcessId(g_frame, &ours);
    ::GetWindowThreadProcessId(wnd, &theirs);
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (ours == theirs && ::IsWindowVisible(wnd) && std::strcmp(cls, "#32770") == 0 && ::GetDlgItem(wnd, 0xFFFF))
        g_boxes.push_back(wnd);
    return TRUE;
}

// A control's text, asked (an edit or a dialog's static keeps it to itself).
void PrintControlText(HWND control)
{
    char text[1024] = {};
    DWORD_PTR got = 0;
    ::SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &got);
    for (const char* c = text; *c; ++c) {
        if (*c == '\r')
            std::printf("\\r");
        else if (*c == '\n')
            std::printf("\\n");
        else
            std::putchar(*c);
    }
    std::printf("\n");
}

int AnswerMessageBox(WPARAM answer = IDOK)
{
    const DWORD start = ::GetTickCount();
    while (!g_box && ::GetTickCount() - start < 120000) {
        ::EnumWindows(FindMessageBox, 0);
        if (!g_box)
            ::Sleep(100);
    }
    if (!g_box) {
        std::printf("no message box within 120 s\n");
        return 1;
    }
    char text[1024] = {};
    DWORD_PTR got = 0;
    ::SendMessageTimeoutA(::GetDlgItem(g_box, 0xFFFF), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_NORMAL, 10000, &got);
    for (const char* c = text; *c; ++c) {
        if (*c == '\r')
            std::printf("\\r");
        else if (*c == '\n')
            std::printf("\\n");
        else
            std::putchar(*c);
    }
    std::printf("\n");
    if (!::PostMessageA(g_box, WM_COMMAND, answer, 0))
        return 1;
    // Gone before the next look, which would otherwise find this box again.
    for (int i = 0; i < 400 && ::IsWindow(g_box) && ::IsWindowVisible(g_box); ++i)
        ::Sleep(50);
    if (::IsWindow(g_box) && ::IsWindowVisible(g_box)) {
        std::printf("the message box stayed after OK\n");
        return 1;
    }
    return 0;
}

const char* g_other = nullptr;
HWND g_otherFound = nullptr;
BOOL CALLBACK FindOther(HWND wnd, LPARAM)
{
    char text[256] = {};
    ::GetWindowTextA(wnd, text, sizeof text);
    if (!::IsWindowVisible(wnd) || !std::strstr(text, g_other))
        return TRUE;
    g_otherFound = wnd;
    return FALSE;
}

// The program's bitmap menu windows (a menu and its open sub-menus).
std::vector<HWND> g_menus;
BOOL CALLBACK FindMenus(HWND wnd, LPARAM)
{
    DWORD ours = 0, theirs = 0;
    ::GetWindowThreadProcessId(g_frame, &ours);
    ::GetWindowThreadProcessId(wnd, &theirs);
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (ours == theirs && ::IsWindowVisible(wnd) && std::strcmp(cls, "BitmapMenu") == 0)
        g_menus.push_back(wnd);
    return TRUE;
}

std::vector<HWND> Menus()
{
    g_menus.clear();
    ::EnumWindows(FindMenus, 0);
    return g_menus;
}

// The outermost open menu: keys given to it reach the innermost one.
HWND RootMenu()
{
    for (HWND m : Menus()) {
        char cls[64] = {};
        HWND parent = ::GetWindow(m, GW_OWNER);
        if (parent)
            ::GetClassNameA(parent, cls, sizeof cls);
        if (std::strcmp(cls, "BitmapMenu") != 0)
            return m;
    }
    return nullptr;
}

bool WaitForMenu()
{
    for (int i = 0; i < 1200; ++i) {
        if (RootMenu())
            return true;
        ::Sleep(100);
    }
    std::printf("no menu within 120 s\n");
    return false;
}

UINT KeyCode(const char* name)
{
    static const struct {
        const char* name;
        UINT key;
    } kNamed[] = {{"esc", VK_ESCAPE}, {"up", VK_UP},       {"down", VK_DOWN},
                  {"left", VK_LEFT},  {"right", VK_RIGHT}, {"return", VK_RETURN}};
    for (const auto& k : kNamed)
        if (std::strcmp(name, k.name) == 0)
            return k.key;
    if (std::strlen(name) == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<UINT>(std::toupper(static_cast<unsigned char>(name[0])));
    return 0;
}

bool Toolbar();

int MenuCommand(int argc, char** argv)
{
    if (std::strcmp(argv[1], "menus") == 0) {
        std::printf("%d\n", static_cast<int>(Menus().size()));
        return 0;
    }
    if (std::strcmp(argv[1], "menu") == 0 && argc > 2) {
        if (RootMenu()) {
            std::printf("a menu is open already\n");
            return 1;
        }
        if (std::strcmp(argv[2], "tray") == 0) {
            if (!::PostMessageA(g_frame, 0x8001, 0, WM_RBUTTONDOWN))
                return 1;
        } else if (std::strcmp(argv[2], "toolbar") == 0) {
            if (!Toolbar())
                return 1;
            HWND button = ::GetDlgItem(g_toolbar, 25517);
            if (!button || !::PostMessageA(g_toolbar, WM_COMMAND, MAKEWPARAM(25517, BN_CLICKED),
                                           reinterpret_cast<LPARAM>(button)))
                return 1;
        } else {
            return 2;
        }
        return WaitForMenu() ? 0 : 1;
    }
    // keys
    for (int i = 2; i < argc; ++i) {
        const UINT key = KeyCode(argv[i]);
        HWND root = RootMenu();
        if (!key || !root) {
            std::printf(key ? "no open menu for the key %s\n" : "no such key: %s\n", argv[i]);
            return 1;
        }
        const size_t before = Menus().size();
        if (!::PostMessageA(root, WM_KEYDOWN, key, 0))
            return 1;
        for (int t = 0; t < 20 && Menus().size() == before; ++t)
            ::Sleep(50);
        ::Sleep(100);
    }
    return 0;
}

bool Toolbar()
{
    const DWORD start = ::GetTickCount();
    while (!g_toolbar && ::GetTickCount() - start < 120000) {
        ::EnumWindows(FindToolbar, 0);
        if (!g_toolbar)
            ::Sleep(100);
    }
    return g_toolbar != nullptr;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const DWORD start = ::GetTickCount();
    while (!g_frame && ::GetTickCount() - start < 120000) {
        ::EnumWindows(FindFrame, 0);
        if (!g_frame)
            ::Sleep(100);
    }
    if (!g_frame) {
        std::printf("no main frame within 120 s\n");
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
    if (std::strcmp(argv[1], "post") == 0 && argc > 2) {
        const WPARAM id = static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 10));
        return ::PostMessageA(g_frame, WM_COMMAND, id, 0) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "cancel") == 0 && argc > 2) {
        g_title = argv[2];
        ::EnumWindows(FindTitled, 0);
        return g_titled && ::PostMessageA(g_titled, WM_COMMAND, IDCANCEL, 0) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "bar-on") == 0)
        return ToolbarOnThroughTheSheet();
    if (std::strcmp(argv[1], "toplevels") == 0) {
        ::EnumWindows(PrintTopLevel, 0);
        return 0;
    }
    if (std::strcmp(argv[1], "toolbar") == 0) {
        if (!Toolbar())
            return 1;
        RECT r, line;
        ::GetWindowRect(g_toolbar, &r);
        ::GetWindowRect(::GetDlgItem(g_toolbar, 1002), &line);
        const LRESULT items = Ask(::GetDlgItem(g_toolbar, 1002), CB_GETCOUNT, 0, 0);
        std::printf("%ld %ld %ld %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom, (line.left + line.right) / 2,
                    (line.top + line.bottom) / 2, static_cast<long>(items));
        return 0;
    }
    if (std::strcmp(argv[1], "history") == 0) {
        if (!Toolbar())
            return 1;
        HWND line = ::GetDlgItem(g_toolbar, 1002);
        const LRESULT items = Ask(line, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < items; ++i) {
            // Asked in UTF-16: an item's text is marshalled to another
            // process that way whatever the call's character set.
            wchar_t wide[512] = {};
            DWORD_PTR length = 0;
            if (::SendMessageTimeoutW(line, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0, SMTO_NORMAL, 20000,
                                      &length) &&
                length < sizeof wide / sizeof wide[0]) {
                DWORD_PTR got = 0;
                ::SendMessageTimeoutW(line, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide),
                                      SMTO_NORMAL, 20000, &got);
            }
            char text[1024] = {};
            ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            std::printf("%s%s", i ? "|" : "", text);
        }
        std::printf("\n");
        return 0;
    }
    if (std::strcmp(argv[1], "has-toolbar") == 0) {
        ::EnumWindows(FindToolbar, 0);
        return g_toolbar ? 0 : 1;
    }
    if (std::strcmp(argv[1], "box") == 0)
        return AnswerMessageBox();
    if (std::strcmp(argv[1], "answer") == 0 && argc > 2)
        return AnswerMessageBox(static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 10)));
    if (std::strcmp(argv[1], "menu") == 0 || std::strcmp(argv[1], "menus") == 0 || std::strcmp(argv[1], "keys") == 0)
        return MenuCommand(argc, argv);
    if (std::strcmp(argv[1], "boxes") == 0) {
        ::EnumWindows(CollectMessageBoxes, 0);
        for (HWND box : g_boxes)
            PrintControlText(::GetDlgItem(box, 0xFFFF));
        return 0;
    }
    if (std::strcmp(argv[1], "text") == 0 && argc > 3) {
        g_title = argv[2];
        ::EnumWindows(FindTitled, 0);
        HWND control = g_titled ? ::GetDlgItem(g_titled, std::atoi(argv[3])) : nullptr;
        if (!control)
            return 1;
        PrintControlText(control);
        return 0;
    }
    if (std::strcmp(argv[1], "other") == 0 && argc > 2) {
        g_other = argv[2];
        ::EnumWindows(FindOther, 0);
        return g_otherFound && ::PostMessageA(g_otherFound, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "minimize") == 0)
        return ::PostMessageA(g_frame, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : 1;
    if (std::strcmp(argv[1], "iconic") == 0)
        return ::IsIconic(g_frame) ? 0 : 1;
    if (std::strcmp(argv[1], "console") == 0) {
        HWND client = ::FindWindowExA(g_frame, nullptr, "MDICLIENT", nullptr);
        for (HWND child = client ? ::GetWindow(client, GW_CHILD) : nullptr; child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            char text[256] = {};
            ::GetWindowTextA(child, text, sizeof text);
            if (::IsWindowVisible(child)) {
                std::printf("%s\n", text);
                return 0;
            }
        }
        return 1;
    }
    if (std::strcmp(argv[1], "close") == 0)
        return ::PostMessageA(g_frame, WM_CLOSE, 0, 0) ? 0 : 1;
    if (std::strcmp(argv[1], "foreground") == 0)
        return Toolbar() && ::GetForegroundWindow() == g_toolbar ? 0 : 1;
    if (std::strcmp(argv[1], "move") == 0 && argc > 3) {
        const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
        return ::SetWindowPos(g_frame, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "paste") == 0 && argc > 2) {
        const size_t length = std::strlen(argv[2]);
        HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + length + 2);
        auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
        drop->pFiles = sizeof(DROPFILES);
        std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), argv[2], length);
        ::GlobalUnlock(block);
        if (!::OpenClipboard(nullptr))
            return 1;
        ::EmptyClipboard();
        const bool put = ::SetClipboardData(CF_HDROP, block) != nullptr;
        ::CloseClipboard();
        DWORD_PTR result = 0;
        return put && ::SendMessageTimeoutA(g_frame, WM_COMMAND, 32792, 0, SMTO_NORMAL, 20000, &result) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "drop") == 0 && argc > 2) {
        if (!Toolbar())
            return 1;
        const size_t length = std::strlen(argv[2]);
        HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + length + 2);
        auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
        drop->pFiles = sizeof(DROPFILES);
        std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), argv[2], length);
        ::GlobalUnlock(block);
        return ::PostMessageA(::GetDlgItem(g_toolbar, 1054), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0) ? 0 : 1;
    }
    return 2;
}
