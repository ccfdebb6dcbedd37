// CPexmorApp: the set-up mail tester, one single-document window that checks
// the shared libraries and the mail configuration and then ends itself.
#include "fx/fxwin.h"
#include "main_frame.h"
#include "pexmor_doc.h"
#include "pexmor_view.h"
#include "resource.h"
#include "test_answers.h"

class CPexmorApp : public CWinApp {
public:
    BOOL InitInstance() override;

protected:
    afx_msg void OnAppAbout();
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPexmorApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CPexmorApp theApp;

BOOL CPexmorApp::InitInstance()
{
    InstallTestAnswers();
    SetRegistryKey("Local AppWizard-Generated Applications");
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CPexmorDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CPexmorView)));
    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    if (!ProcessShellCommand(commandLine))
        return FALSE;
    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

void CPexmorApp::OnAppAbout()
{
    CDialog about(IDD_ABOUTBOX);
    about.DoModal();
}
