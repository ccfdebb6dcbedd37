// Message boxes, all through one function that a test can hook.
#include "window_state.h"

namespace {
struct HookState {
    SRWLOCK lock = SRWLOCK_INIT;
    AfxMessageBoxHook hook;
};
HookState& Hook()
{
    static HookState* state = new HookState;
    return *state;
}
} // namespace

AfxMessageBoxHook AfxSetMessageBoxHook(AfxMessageBoxHook hook)
{
    HookState& s = Hook();
    AcquireSRWLockExclusive(&s.lock);
    AfxMessageBoxHook previous = std::move(s.hook);
    s.hook = std::move(hook);
    ReleaseSRWLockExclusive(&s.lock);
    return previous;
}

int AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    HookState& s = Hook();
    AcquireSRWLockShared(&s.lock);
    AfxMessageBoxHook hook = s.hook;
    ReleaseSRWLockShared(&s.lock);
    if (hook)
        return hook(hWndOwner, lpszText ? lpszText : "", lpszCaption ? lpszCaption : "", nType);
    return ::MessageBoxA(hWndOwner, lpszText ? lpszText : "", lpszCaption, nType);
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    CWinApp* app = AfxGetApp();
    if (app)
        return app->DoMessageBox(lpszText, nType, nIDHelp);
    if ((nType & MB_ICONMASK) == 0) {
        UINT kind = nType & MB_TYPEMASK;
        if (kind == MB_OK || kind == MB_OKCANCEL)
            nType |= MB_ICONEXCLAMATION;
        else if (kind == MB_YESNO || kind == MB_YESNOCANCEL)
            nType |= MB_ICONQUESTION;
    }
    return AfxShowMessageBox(::GetActiveWindow(), lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}
