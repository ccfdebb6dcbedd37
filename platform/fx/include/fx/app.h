// Threads and the application object.
//
// A program defines one global object of a CWinApp-derived class; the entry
// point of the vxfx_winmain library initialises it, calls InitInstance and
// runs its message loop (Run) until WM_QUIT, then returns ExitInstance's code.
#pragma once

#include "fx/wnd.h"
#include "fx/collections.h"

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    // Starts the thread (CREATE_SUSPENDED to start it suspended).
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

    CWnd* m_pMainWnd;     // the thread's main window: its destruction ends the loop
    CWnd* m_pActiveWnd;
    BOOL m_bAutoDelete;   // delete this object when the thread ends
    HANDLE m_hThread;
    DWORD m_nThreadID;
    operator HANDLE() const { return m_hThread; }

    int GetThreadPriority();
    BOOL SetThreadPriority(int nPriority);
    DWORD SuspendThread();
    DWORD ResumeThread();
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop: idle processing while the queue is empty, then one
    // message at a time through PumpMessage, until WM_QUIT.
    virtual int Run();
    // Gets and dispatches one message; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // Offers a message to the windows it is for (the window and its parents,
    // then the main window) before it is dispatched; TRUE when taken.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Idle work; deletes the temporary handle objects on the first pass.
    // TRUE asks for another pass.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual CWnd* GetMainWnd();
    virtual void Delete();
    // A C++ exception escaped a message handler; the default reports it and
    // returns a neutral result for the message.
    virtual LRESULT ProcessWndProcException(CException* e, const MSG* pMsg);

    MSG m_msgCur;
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;

    // Thread entry (internal).
    static unsigned __stdcall ThreadEntry(void* p);

protected:
    // Dispatches a message posted to the thread itself (no window) through
    // the thread's message map (ON_THREAD_MESSAGE).
    BOOL DispatchThreadMessage(MSG* pMsg);
    POINT m_ptCursorLast;
    UINT m_nMsgLast;
};

// A worker thread running pfnThreadProc(pParam); null when it cannot start.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// A thread with a message loop, of a CWinThread class made by its run-time class.
CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// The CWinThread of the calling thread (the application on the main thread).
CWinThread* AfxGetThread();
// Gets and dispatches one message of the calling thread; FALSE on WM_QUIT.
BOOL AfxPumpMessage();
void AfxPostQuitMessage(int nExitCode);

class CDocTemplate;
class CDocument;

// What the program's command line asks for (CWinApp::ParseCommandLine).
class CCommandLineInfo : public CObject {
public:
    CCommandLineInfo();
    ~CCommandLineInfo() override = default;

    // One argument; bFlag when it started with '-' or '/' (removed from
    // pszParam); bLast for the last argument.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash;
    BOOL m_bRunEmbedded;
    BOOL m_bRunAutomated;
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 } m_nShellCommand;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

protected:
    void ParseParamFlag(const char* pszParam);
    void ParseParamNotFlag(const char* pszParam);
    void ParseLast(BOOL bLast);
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance;
    HINSTANCE m_hPrevInstance;
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;
    LPCTSTR m_pszAppName;       // caption of message boxes; the profile's application key
    LPCTSTR m_pszRegistryKey;   // company key under HKCU\Software, or null for an .INI profile
    LPCTSTR m_pszProfileName;   // the application key (or the .INI file)
    LPCTSTR m_pszExeName;
    LPCTSTR m_pszHelpFilePath;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int ExitInstance() override;
    int Run() override;
    BOOL OnIdle(LONG lCount) override;
    // Every message box of the application goes through here.
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    // Application profile: HKEY_CURRENT_USER\Software\<key>\<profile name>\<section>
    // once SetRegistryKey was called, else the .INI file named m_pszProfileName.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    // A null entry removes the whole section; a null value removes the entry.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    // *ppData gets a new[] block the caller deletes with delete[]; FALSE when absent.
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);
    // Open registry keys the caller closes; null without a registry key.
    HKEY GetAppRegistryKey(BOOL bCreate = TRUE);
    HKEY GetSectionKey(LPCTSTR lpszSection, BOOL bCreate = TRUE);

    // Documents. The application owns its templates and deletes them at exit.
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    // Opens the file with the template that fits it best; a document already
    // open with that path is activated and returned without reading the file.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    // The file dialog of the Open command, filtered by the templates' file types.
    virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                  CDocTemplate* pTemplate);

    // Splits m_lpCmdLine as the C runtime splits a command line (blanks,
    // double quotes, backslashes before quotes) and hands each argument to
    // rCmdInfo.ParseParam.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // Carries out the command line: FileNew runs the ID_FILE_NEW command and
    // fails when no main window results; FileOpen opens the file (FALSE when
    // it cannot); FileNothing does nothing. Nothing can be printed here: the
    // print commands just open the document; DDE and unregistering do nothing.
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // Standard command handlers for message maps.
    afx_msg void OnFileNew();
    afx_msg void OnFileOpen();
    afx_msg void OnAppExit();
    afx_msg void OnHelp();
    afx_msg void OnHelpFinder();
    afx_msg void OnHelpIndex();
    afx_msg void OnHelpUsing();
    afx_msg void OnContextHelp();

    // Icons and cursors from the resource chain.
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const;
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;

protected:
    static void SetString(LPCTSTR& field, LPCTSTR value);
    CPtrList* m_pTemplateList;  // the document templates, created with the first one
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
LPCTSTR AfxGetAppName();
// Sets up the application object for the module hInstance (done by the entry point).
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
void AfxWinTerm();
// The body of the entry point: initialise, InitInstance, Run, ExitInstance.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
