// Small plug-ins that exercise the host's side of the contract. One source,
// built in several variants (TEST_PLUGIN_A ... TEST_PLUGIN_E); each appends
// what it is asked to "events.txt" in the current folder, which outlives it.
#include "plugin_interface.h"
#include "testsupport/event_file.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

#if defined(TEST_PLUGIN_A)
#define TAG "A"
#elif defined(TEST_PLUGIN_B)
#define TAG "B"
#elif defined(TEST_PLUGIN_C)
#define TAG "C"
#elif defined(TEST_PLUGIN_D)
#define TAG "D"
#else
#define TAG "E"
#endif

namespace {
template <typename... Args>
void Event(const char* format, Args... args)
{
    testsupport::AppendEvent(TAG, format, args...);
}

struct Row {
    const char* word;
    const char* label;
    const char* exportName;
};

#if defined(TEST_PLUGIN_A)
const Row kRows[] = {{"send.v", "O*n", "ActA"}, {"show", "Op", "ActA"}, {"what", "O", "NoSuchExport"}};
#elif defined(TEST_PLUGIN_B)
const Row kRows[] = {{"**", "**", "ActB"}, {"*", "*", "ActB"}};
#elif defined(TEST_PLUGIN_C)
const Row kRows[] = {{"tell", "O", "ActC"}};
#else
const Row kRows[] = {{"list", "S", "ActE"}};
#endif
const int kRowCount = static_cast<int>(sizeof(kRows) / sizeof(kRows[0]));

int Act(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    Event("act %s %d %d %d", requester ? static_cast<const char*>(*requester) : "(null)", linkIndex,
          links ? static_cast<int>(links->size()) : -1, fifo);
    if (requester && *requester == "throw")
        throw std::runtime_error("action failed");
    if (requester && *requester == "decline")
        return 0;
    return 7;
}
} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        Event("attach");
    else if (reason == DLL_PROCESS_DETACH)
        Event("detach");
    return TRUE;
}

#if defined(TEST_PLUGIN_A)
__declspec(dllexport) int Get_KorvaneVersion() { return -3; }
#elif defined(TEST_PLUGIN_B)
__declspec(dllexport) int Get_KorvaneVersion() { return -2; }
#elif defined(TEST_PLUGIN_D)
__declspec(dllexport) int Get_KorvaneVersion() { return -4; }
#elif defined(TEST_PLUGIN_E)
__declspec(dllexport) int Get_KorvaneVersion() { return -1; }
#endif

__declspec(dllexport) int GetNumberOfActions() { return kRowCount; }

__declspec(dllexport) const char* GetActionsName(int row, int item)
{
    if (row < 0 || row >= kRowCount)
        return nullptr;
    switch (item) {
    case 0:
        return kRows[row].word;
    case 1:
        return kRows[row].label;
    case 2:
        return kRows[row].exportName;
    default:
        return nullptr;
    }
}

#if !defined(TEST_PLUGIN_E)
__declspec(dllexport) void SetUserInfo(const void* value, int code)
{
    switch (code) {
    case USERINFO_LOG:
    case USERINFO_MODULE:
    case USERINFO_WORD_LIST:
    case USERINFO_ATTACHMENTS:
        Event("info %d %p", code, value);
        break;
    case USERINFO_UNLOAD:
    case USERINFO_INTERFACE_MODE:
    case USERINFO_SHORT_REPLY_LENGTH:
    case USERINFO_ZERO:
        Event("info %d %s", code, value ? static_cast<const char*>(value) : "(null)");
        break;
    default:
        Event("info %d %s", code, value ? static_cast<const char*>(*static_cast<const CString*>(value)) : "(null)");
        break;
    }
}
#endif

__declspec(dllexport) void DoKVXIlder() { Event("idle"); }

#if defined(TEST_PLUGIN_A)
__declspec(dllexport) int ActA(CString* r, int i, std::vector<WordLinkage>* l, int f) { return Act(r, i, l, f); }
#elif defined(TEST_PLUGIN_B)
__declspec(dllexport) int ActB(CString* r, int i, std::vector<WordLinkage>* l, int f) { return Act(r, i, l, f); }
#elif defined(TEST_PLUGIN_C)
__declspec(dllexport) int ActC(CString* r, int i, std::vector<WordLinkage>* l, int f) { return Act(r, i, l, f); }
#else
__declspec(dllexport) int ActE(CString* r, int i, std::vector<WordLinkage>* l, int f) { return Act(r, i, l, f); }
#endif

} // extern "C"
