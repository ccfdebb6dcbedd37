// CThread: a worker thread with a queue of numbered commands and a wake-up
// event. A derived class supplies the handler, which loops on WaitForCommand.
// Threads of the same name share one critical section (Lock/Unlock).
// Failures of Start, PostCommand, Stop and Kill are thrown as CThreadException*
// (the catcher deletes it).
#pragma once

#include <windows.h>

#include "fx/fx.h"

class CThread;
struct ThreadNameRecord;

class CThreadException : public CException {
public:
    CThreadException(CThread* thread, int code);
    CThreadException(CThread* thread, const CString& text, int code);
    CThreadException(CThread* thread, UINT textId, int code);

    void SetErrorMessage(const CString& text) { m_text = text; }
    void SetErrorMessage(UINT textId);
    void SetErrorCode(int code) { m_code = code; }
    void SetThread(CThread* thread) { m_thread = thread; }
    CString GetErrorMessage() const { return m_text; }
    int GetErrorCode() const { return m_code; }
    CThread* GetThread() const { return m_thread; }

    BOOL GetErrorMessage(LPTSTR buffer, UINT maxChars, UINT* helpContext = nullptr) override;
    // A message box with the text (or with the text of resource messageId,
    // formatted with it); the box's result.
    int ReportError(UINT type = MB_OK, UINT messageId = 0);

private:
    CThread* m_thread;
    CString m_text;
    int m_code;
};

// Error codes of CThreadException.
enum ThreadErrorCode {
    kThreadCreateFailed = 1,
    kThreadAlreadyStarted = 2,
    kThreadKillFailed = 3,
    kThreadEventFailed = 4,
    kThreadPostFailed = 5,
};

// Command numbers. 0 is never queued; 3-6 mean what the derived class says.
enum ThreadCommand : UINT {
    kThreadCommandNone = 0,
    kThreadCommandTimeout = 1,  // WaitForCommand's wait ran out
    kThreadCommandStart = 2,
    kThreadCommandRun = 3,
    kThreadCommandPause = 4,
    kThreadCommandContinue = 5,
    kThreadCommand6 = 6,
    kThreadCommandStop = 7,
};

class CThread : public CObject {
    DECLARE_DYNAMIC(CThread)
public:
    static constexpr int kStillActive = 259;

    CThread(int parameter1 = 0, int parameter2 = 0);
    ~CThread() override;

    void Start();
    // Asks the thread to end (command 7) and waits up to timeout x 100 ms
    // (-1: no limit). False while it still runs; exitCode gets its exit code.
    bool Stop(int& exitCode, int timeout = -1);
    void Kill(int exitCode = 0, bool noThrow = false);

    void PostCommand(UINT command);
    bool PostCommandNoThrow(UINT command, CString& error);
    bool PostCommandFirst(UINT command);
    void PostRun() { PostCommand(kThreadCommandRun); }
    void PostPause() { PostCommand(kThreadCommandPause); }
    void PostContinue() { PostCommand(kThreadCommandContinue); }
    void PostCommand6() { PostCommand(kThreadCommand6); }
    bool GetCommand(UINT& command);
    void WaitForCommand(UINT& command, DWORD timeout = INFINITE);
    void ClearCommands();

    bool WaitForState(int state, int timeout = -1);
    bool IsAlive();
    int GetExitCode();
    bool SetPriority(int priority);
    int GetPriority();
    void Lock();
    void Unlock();

    int GetState();
    void SetState(int state);
    HANDLE GetHandle() const { return m_hThread; }
    DWORD GetThreadId() const { return m_threadId; }
    DWORD GetStackSize() const { return m_stackSize; }
    void SetStackSize(DWORD size) { m_stackSize = size; }
    void SetSecurityAttributes(const SECURITY_ATTRIBUTES* attributes);
    void GetParameters(int& parameter1, int& parameter2) const;
    void SetParameters(int parameter1, int parameter2);

    // Use count of the registry record of name (0 when there is none).
    static int GetNameUseCount(const CString& name);

    // A second process-wide critical section, made on first use.
    static void EnterGlobalSection();
    static void LeaveGlobalSection();
    static void DeleteGlobalSection();

protected:
    // The thread's work; returns its exit code.
    virtual int ThreadHandler() = 0;
    // Called at the end of Kill.
    virtual void OnKill() {}

    int m_bCommandQueue;  // commands can be posted (set by the derived class)
    int m_bNamed;         // the name is registered while the thread runs
    CString m_name;

private:
    static DWORD WINAPI ControllingFunction(LPVOID self);
    void Reset();
    void Register();
    void Unregister();
    void CloseThreadHandle();

    ThreadNameRecord* m_nameRecord;
    SECURITY_ATTRIBUTES m_securityCopy;
    SECURITY_ATTRIBUTES* m_security;
    HANDLE m_hThread;
    HANDLE m_hEvent;
    DWORD m_threadId;
    DWORD m_stackSize;
    int m_exitCode;
    int m_state;
    int m_parameter1;
    int m_parameter2;
    CUIntArray m_commands;
};
