// A program built like the assistant: a global application object run by the
// layer's entry point. Exits with 0 when start-up, the message loop and the
// shut-down went as expected, else with a mask of what did not.
#include "fx/fxwin.h"

#include <cstring>

namespace {

constexpr UINT ID_FINISH = 40500;

class ProbeWnd : public CWnd {
protected:
    afx_msg void OnFinish() { DestroyWindow(); }
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeWnd, CWnd)
    ON_COMMAND(ID_FINISH, OnFinish)
END_MESSAGE_MAP()

class ProbeApp : public CWinApp {
public:
    int failures = 0;
    int idles = 0;
    bool ranInit = false;

    BOOL InitInstance() override
    {
        ranInit = true;
        if (AfxGetApp() != this || AfxGetThread() != this)
            failures |= 1;
        if (!m_pszAppName || std::strcmp(m_pszAppName, "Fx Probe") != 0)  // the title string
            failures |= 2;
        if (m_hInstance != ::GetModuleHandleA(nullptr) || !m_lpCmdLine || !std::strstr(m_lpCmdLine, "--probe"))
            failures |= 4;
        ProbeWnd* wnd = new ProbeWnd;
        if (!wnd->CreateEx(0, nullptr, "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr)) {
            failures |= 8;
            return FALSE;
        }
        m_pMainWnd = wnd;
        if (AfxGetMainWnd() != wnd)
            failures |= 16;
        return TRUE;
    }
    BOOL OnIdle(LONG count) override
    {
        // The loop goes idle once the start-up messages are handled; then finish.
        if (idles++ == 0 && m_pMainWnd)
            m_pMainWnd->PostMessage(WM_COMMAND, ID_FINISH);
        return CWinApp::OnIdle(count);
    }
    int ExitInstance() override
    {
        if (m_pMainWnd != nullptr)  // destroying the main window cleared it and ended the loop
            failures |= 32;
        if (idles == 0)
            failures |= 64;
        if (CWinApp::ExitInstance() != 0)
            failures |= 128;
        return failures;
    }
};

ProbeApp theApp;

} // namespace
