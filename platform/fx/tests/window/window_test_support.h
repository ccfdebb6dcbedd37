// Helpers of the window-core tests.
#pragma once

#include "fx/fxwin.h"
#include "testsupport/win_wait.h"

#include <string>
#include <vector>

namespace fxtest {

// Answers every message box with a fixed button and keeps what was asked.
class MessageBoxRecorder {
public:
    struct Box {
        HWND owner;
        std::string text;
        std::string caption;
        UINT type;
    };
    explicit MessageBoxRecorder(int answer = IDOK) : m_answer(answer)
    {
        m_previous = AfxSetMessageBoxHook([this](HWND owner, LPCTSTR text, LPCTSTR caption, UINT type) {
            boxes.push_back({owner, text, caption, type});
            return m_answer;
        });
    }
    ~MessageBoxRecorder() { AfxSetMessageBoxHook(std::move(m_previous)); }
    std::vector<Box> boxes;

private:
    int m_answer;
    AfxMessageBoxHook m_previous;
};

// Dispatches this thread's messages until pred() holds; false after timeoutMs
// (generous: a loaded machine is slow, and a wait that holds ends at once).
template <class Pred>
bool PumpUntil(Pred pred, DWORD timeoutMs = testsupport::kWindowWaitMs)
{
    DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        } else {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

// Removes whatever is left in this thread's queue (WM_QUIT included).
inline void DrainQueue()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

} // namespace fxtest
