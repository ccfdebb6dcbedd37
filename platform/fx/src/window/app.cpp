// CWinApp: the application object, its start-up and its message boxes.
#include "window_state.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {
CWinApp* g_pApp = nullptr;
DWORD g_appThreadId = 0;

// The executable's file name without folder and extension.
CString ExeBaseName(HINSTANCE hInstance)
{
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(hInstance, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return CString("App");
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/')
            base = p + 1;
    CString name(base);
    int dot = name.ReverseFind('.');
    if (dot > 0)
        name = name.Left(dot);
    return name;
}
} // namespace

DWORD fx::win::AppThreadId() { return g_appThreadId; }

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_hInstance(nullptr), m_hPrevInstance(nullptr), m_lpCmdLine(nullptr), m_nCmdShow(SW_SHOWNORMAL),
      m_pszAppName(nullptr), m_pszRegistryKey(nullptr), m_pszProfileName(nullptr), m_pszExeName(nullptr),
      m_pszHelpFilePath(nullptr), m_pTemplateList(nullptr)
{
    SetString(m_pszAppName, lpszAppName);
    m_bAutoDelete = FALSE;
    g_pApp = this;
    g_appThreadId = ::GetCurrentThreadId();
    m_nThreadID = g_appThreadId;
}

CWinApp::~CWinApp()
{
    // The application owns its document templates.
    if (m_pTemplateList) {
        POSITION pos = m_pTemplateList->GetHeadPosition();
        while (pos)
            delete static_cast<CDocTemplate*>(m_pTemplateList->GetNext(pos));
        delete m_pTemplateList;
        m_pTemplateList = nullptr;
    }
    for (LPCTSTR* field : {&m_pszAppName, &m_pszRegistryKey, &m_pszProfileName, &m_pszExeName, &m_pszHelpFilePath})
        SetString(*field, nullptr);
    if (g_pApp == this)
        g_pApp = nullptr;
}

void CWinApp::SetString(LPCTSTR& field, LPCTSTR value)
{
    std::free(const_cast<char*>(field));
    field = value ? _strdup(value) : nullptr;
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }
BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

int CWinApp::Run()
{
    // Without a main window nothing could ever end the loop.
    if (!m_pMainWnd)
        AfxPostQuitMessage(0);
    return CWinThread::Run();
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    HWND owner = nullptr;
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain->m_hWnd && ::IsWindowEnabled(pMain->m_hWnd))
        owner = ::GetLastActivePopup(pMain->m_hWnd);
    else
        owner = ::GetActiveWindow();
    return AfxShowMessageBox(owner, lpszPrompt, m_pszAppName ? m_pszAppName : AfxGetAppName(), nType);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    return ::LoadIconA(AfxFindResourceHandle(lpszResourceName, RT_GROUP_ICON), lpszResourceName);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEA(nIDResource)); }
HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIconA(nullptr, lpszIconName); }

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursorA(AfxFindResourceHandle(lpszResourceName, RT_GROUP_CURSOR), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEA(nIDResource)); }
HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursorA(nullptr, lpszCursorName); }

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd()
{
    CWinThread* t = AfxGetThread();
    if (t)
        return t->GetMainWnd();
    return g_pApp ? g_pApp->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

LPCTSTR AfxGetAppName()
{
    if (g_pApp && g_pApp->m_pszAppName)
        return g_pApp->m_pszAppName;
    static CString* name = new CString(ExeBaseName(nullptr));
    return *name;
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    AfxSetResourceHandle(hInstance);
    CWinApp* app = g_pApp;
    if (!app)
        return FALSE;
    app->m_hInstance = hInstance;
    app->m_hPrevInstance = hPrevInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    app->m_hThread = nullptr;
    app->m_nThreadID = ::GetCurrentThreadId();
    g_appThreadId = app->m_nThreadID;
    CString exe = ExeBaseName(hInstance);
    if (!app->m_pszExeName)
        app->m_pszExeName = _strdup(exe);
    if (!app->m_pszAppName) {
        // The application's title string, else the executable's name.
        CString title;
        if (!title.LoadString(0xE000) || title.IsEmpty())
            title = exe;
        app->m_pszAppName = _strdup(title);
    }
    if (!app->m_pszProfileName) {
        CString ini = exe + ".INI";
        app->m_pszProfileName = _strdup(ini);
    }
    return TRUE;
}

void AfxWinTerm() { AfxDeleteTempMaps(); }

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    int code = -1;
    try {
        if (AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow) && app->InitApplication()) {
            if (!app->InitInstance()) {
                if (app->m_pMainWnd)
                    app->m_pMainWnd->DestroyWindow();
                code = app->ExitInstance();
            } else {
                code = app->Run();
            }
        }
    } catch (CException* e) {
        app->ProcessWndProcException(e, nullptr);
        code = -1;
    }
    AfxWinTerm();
    return code;
}
