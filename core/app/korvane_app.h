// The main program's application object: start-up in a fixed order, the exit
// step, and the engine state the main frame's timers drive.
#pragma once

#include "fx/fxwin.h"

#include "request_engine.h"
#include "web_update_check.h"

class CGrammarDictionary;
struct ParseOptions;

class CKorvaneApp : public CWinApp {
public:
    CKorvaneApp();
    ~CKorvaneApp() override;

    BOOL InitInstance() override;
    BOOL OnIdle(LONG lCount) override;
    int ExitInstance() override;

    // The engine's ticks, called by the main frame's timers.
    void OnMailTick();
    void OnFastTick();
    // Whether start-up has finished loading the grammar parser.
    BOOL IsParserReady() const { return m_pDictionary != nullptr; }
    // The web version check: the periodic one goes through its gates (no-updates
    // flag, 15 days, a network address); the menu's runs at once and says how
    // it ended. 1 when the update notice was shown.
    void CheckWebForUpdatePeriodic();
    int CheckWebForUpdate();

    CString m_strAppPath;  // the program folder, no trailing backslash
    CString m_strLogPath;  // the program folder + "\Vindalex.log"
    CGrammarDictionary* m_pDictionary = nullptr;
    ParseOptions* m_pParseOptions = nullptr;
    CRequestEngine m_Engine;

protected:
    afx_msg void OnTipOfTheDay();
    afx_msg void OnAppAbout();
    afx_msg void OnCheckWebUpdate();
    DECLARE_MESSAGE_MAP()

private:
    void RotateLog();
    void CleanTemporaryFiles();
    void ShowTipAtStartup();
    WebCheckResult RunWebCheck();
    BOOL m_bSettingsLoaded = FALSE;
};

extern CKorvaneApp theApp;

// Text that a test or the user can set to keep start-up from showing modal
// windows nobody will answer: environment variable VINDALEX_NO_TIPS=1.
bool TipsDisabledByEnvironment();
