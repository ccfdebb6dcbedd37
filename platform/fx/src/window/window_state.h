// State shared by the window core's sources: the handle maps and the
// per-thread message state.
#pragma once

#include "fx/fxwin.h"

#include <map>
#include <vector>

namespace fx::win {

struct ThreadState {
    MSG lastSentMsg{};             // the message WindowProc is handling (for Default)
    CWnd* pWndInit = nullptr;      // the object CreateEx is creating
    HHOOK hHookCbt = nullptr;      // creation hook while a window is being created
    CWinThread* pThread = nullptr; // this thread's CWinThread, when it has one
    HWND hLockoutNotify = nullptr; // window whose control notifications UpdateData holds back
    std::map<HWND, CWnd*> tempWnds;
    std::map<HDC, CDC*> tempDCs;
    ~ThreadState();
};

ThreadState& Thread();

// Permanent map: HWND -> CWnd, shared by every thread of the process.
CWnd* LookupPermanent(HWND hWnd);
void AddPermanent(HWND hWnd, CWnd* pWnd);
void RemovePermanent(HWND hWnd);

// Runs a message through pWnd's WindowProc with the thread's current
// message set, catching what escapes a handler.
LRESULT CallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// Installs the creation hook for pWnd around one CreateWindowEx /
// CreateDialogIndirect on this thread.
class CreationHook {
public:
    explicit CreationHook(CWnd* pWnd);
    ~CreationHook();
    CreationHook(const CreationHook&) = delete;
    CreationHook& operator=(const CreationHook&) = delete;
private:
    CWnd* m_prevInit;
    bool m_installed;
};

// The main thread's id (the one that built the application object).
DWORD AppThreadId();

} // namespace fx::win
