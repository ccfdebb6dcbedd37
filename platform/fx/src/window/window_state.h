// State shared by the window core's sources: the handle maps and the
// per-thread message state.
#pragma once

#include "fx/fxwin.h"
#include "per_thread.h"

#include <map>
#include <vector>

namespace fx::win {

struct ThreadState {
    MSG lastSentMsg{};             // the message WindowProc is handling (for Default)
    CWnd* pWndInit = nullptr;      // the object CreateEx is creating
    HHOOK hHookCbt = nullptr;      // creation hook while a window is being created
    CWinThread* pThread = nullptr; // this thread's CWinThread, when it has one
    HWND hLockoutNotify = nullptr; // window whose control notifications UpdateData holds back
    // The creation context handed to the window being created, so that its
    // WM_CREATE handler can tell a real context from other creation data.
    CCreateContext* pPendingContext = nullptr;
    CWnd* pLastNcDestroyed = nullptr;  // the last object whose window ended (never dereferenced)
    int nNoAppRouting = 0;             // >0: frames leave the application out of command routing
    std::map<HWND, CWnd*> tempWnds;
    std::vector<CWnd*> retiredWnds;  // temporary objects whose window was destroyed
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

// The result of a message whose handler let an exception escape.
LRESULT EscapedResult(const MSG* msg);

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

// Creates pWnd as a modeless child dialog of pParent from the RT_DIALOG template
// (found where AfxFindResourceHandle says), with control id nID. Null when the
// template is missing or creation fails; pWnd is then left unattached.
HWND CreateChildFromTemplate(CWnd* pWnd, LPCTSTR lpszTemplateName, CWnd* pParent, UINT nID);

// Sets the pending creation context for one scope.
class PendingContext {
public:
    explicit PendingContext(CCreateContext* pContext) : m_prev(Thread().pPendingContext)
    {
        Thread().pPendingContext = pContext;
    }
    ~PendingContext() { Thread().pPendingContext = m_prev; }
    PendingContext(const PendingContext&) = delete;
    PendingContext& operator=(const PendingContext&) = delete;
private:
    CCreateContext* m_prev;
};

// The main thread's id (the one that built the application object).
DWORD AppThreadId();

} // namespace fx::win
