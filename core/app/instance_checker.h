// Only one copy of the assistant runs at a time. The first copy publishes its
// main window in a named 4-byte page-file mapping; a later copy finds the
// mapping, sends that window WM_ACTIVATE_INSTANCE and ends.
#pragma once

#include "fx/fxwin.h"

#define WM_ACTIVATE_INSTANCE 0x2490

class CInstanceChecker : public CObject {
public:
    // appName: names the mapping ("CInstanceChecker_MMF_" + appName); null
    // takes the application's name.
    explicit CInstanceChecker(LPCTSTR appName = nullptr);
    ~CInstanceChecker() override;
    CInstanceChecker(const CInstanceChecker&) = delete;
    CInstanceChecker& operator=(const CInstanceChecker&) = delete;

    BOOL PreviousInstanceRunning();
    HWND ActivatePreviousInstance();
    BOOL TrackFirstInstance();

    // How long the hand-over waits for the first copy to answer. A first copy
    // that hangs (or a stale handle) must not keep a second start alive.
    enum { kActivateTimeoutMs = 5000 };

    // Closes the process-wide mapping of the first instance (at exit).
    static void ReleaseFirstInstance();

private:
    CString m_strName;
    HANDLE m_hMutex = nullptr;
    HANDLE m_hMapping = nullptr;
};
