#include "korvane_app.h"

#include "about_dlg.h"
#include "frame_hooks.h"
#include "grammar_startup.h"
#include "instance_checker.h"
#include "korvane_doc.h"
#include "korvane_view.h"
#include "main_frame.h"
#include "resource.h"
#include "tip_dlg.h"

#include "assistant_settings.h"
#include "assistant_site.h"
#include "files/fileutil.h"
#include "files/findfile.h"
#include "mapi/zlm_mapi.h"
#include "options/wmoptions.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "plugin_table.h"
#include "request_lock.h"
#include "running_log.h"
#include "winmgr/winmgr.h"

#include "update_download.h"
#include "version_file.h"
#include "web_update_check.h"

#include <shellapi.h>

#include <ctime>

#include <cstdlib>
#include <cstring>

extern CZLMMapi g_MapiSession;

namespace {
const char kUpdateBatch[] = "VindalexUpd.bat";

// The application module's user of the shared appearance options.
CWMOptions g_AppOptions;

void CloseAssistantWindows() { g_WindowMgr.DeInIt(); }

// A file that exists and that this program may read.
bool CanReadFile(const CString& path)
{
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    return true;
}
}  // namespace

bool TipsDisabledByEnvironment()
{
    const char* v = std::getenv("VINDALEX_NO_TIPS");
    return v && std::strcmp(v, "1") == 0;
}

BEGIN_MESSAGE_MAP(CKorvaneApp, CWinApp)
    ON_COMMAND(ID_TIP_OF_THE_DAY, OnTipOfTheDay)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_CHECK_WEB_UPDATE, OnCheckWebUpdate)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
    // Exit and help end here from every menu whose owner does not take them.
    ON_COMMAND(ID_APP_EXIT, CWinApp::OnAppExit)
    ON_COMMAND(ID_HELP_FINDER, CWinApp::OnHelpFinder)
END_MESSAGE_MAP()

// The application's name is also its registry profile name and its instance mapping's suffix.
CKorvaneApp::CKorvaneApp() : CWinApp("Vindalex Personal Assistant") {}

CKorvaneApp::~CKorvaneApp()
{
    // Offered from the program folder, the folder start-up clears it from.
    CString batch = m_strAppPath + "\\" + kUpdateBatch;
    if (!m_strAppPath.IsEmpty() && ::GetFileAttributesA(batch) != INVALID_FILE_ATTRIBUTES) {
        int answer = AfxShowMessageBox(nullptr,
                                       "Please verify that it is safe.\r\nWould you like me to continue with the upgrade?",
                                       "[Vindalex] I have been sent an upgrade.", MB_YESNO);
        if (answer == IDYES)
            ::ShellExecuteA(nullptr, nullptr, kUpdateBatch, nullptr, m_strAppPath, SW_SHOWNORMAL);
    }
}

void CKorvaneApp::RotateLog()
{
    m_strLogPath = m_strAppPath + "\\Vindalex.log";
    CString previous = m_strAppPath + "\\VindalexB.log";
    ::CopyFileA(m_strLogPath, previous, FALSE);
    ::DeleteFileA(m_strLogPath);
}

void CKorvaneApp::CleanTemporaryFiles()
{
    CString folder = m_strAppPath + "\\Temporary Files";
    ::CreateDirectoryA(folder, nullptr);
    CZLMFindFile files("*.*", folder, 0, 1);
    for (int i = 1; i <= files.GetSize(); ++i)
        ::DeleteFileA(files.GetFile(i));
}

BOOL CKorvaneApp::InitInstance()
{
    if (g_MapiSession.getMAPIInitError())
        return FALSE;
    {
        CInstanceChecker checker(m_pszAppName);
        if (checker.PreviousInstanceRunning()) {
            checker.ActivatePreviousInstance();
            return FALSE;
        }
    }
    m_strAppPath = GetModulePath();
    RotateLog();
    ::DeleteFileA(m_strAppPath + "\\" + kUpdateBatch);
    CleanTemporaryFiles();

    SetRegistryKey("Ostrel Software");
    g_Settings.Load();
    m_bSettingsLoaded = TRUE;
    g_Settings.SetInstDir(m_strAppPath);
    CPluginTable::s_pfnCloseWindows = &CloseAssistantWindows;
    g_PluginTable.SendSettings();

    m_Engine.m_pPlugins = &g_PluginTable;
    m_Engine.m_pSession = &g_MapiSession;
    m_Engine.m_strAppPath = m_strAppPath;
    m_Engine.ReportUnansweredMail([this] {
        CString chunk;
        return runlog::Transfer(m_strLogPath, &chunk);
    });
    CRequestEngine::SetCurrent(&m_Engine);

    WebRequestCore core;
    core.processRequest = &ProcessRequest;
    core.sendReply = &SendReply;
    core.setCancelFlag = &CRequestLock::SetCancelFlag;
    core.enterRequest = &EnterRequestLock;
    core.leaveRequest = &LeaveRequestLock;
    SetWebRequestCore(core);

    AddDocTemplate(new CMultiDocTemplate(IDR_KORVANTYPE, RUNTIME_CLASS(CKorvaneDoc), RUNTIME_CLASS(CChildFrame),
                                         RUNTIME_CLASS(CKorvaneView)));

    InstallFrameHooks();
    g_FrameHooks.checkWebForUpdate = [] { return theApp.CheckWebForUpdate() != 0; };
    {
        int count = 0;
        const char* const* missing = MissingFrameHooks(&count);
        for (int i = 0; i < count; ++i) {
            CString line;
            line.Format(FRAME_TEXT_HOOK_MISSING, missing[i]);
            runlog::Append(line);
        }
    }

    auto* frame = new CMainFrame;
    // A frame whose window was made and then refused has deleted itself
    // already, so a failed frame is not touched again (the program ends).
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
        return FALSE;
    m_pMainWnd = frame;
    {
        CInstanceChecker checker(m_pszAppName);
        if (!checker.PreviousInstanceRunning())
            checker.TrackFirstInstance();
    }
    frame->DragAcceptFiles(TRUE);
    m_Engine.m_SendCommand = [](unsigned id) {
        if (g_pMainFrame && g_pMainFrame->m_hWnd)
            g_pMainFrame->SendMessage(WM_COMMAND, id);
    };
    m_Engine.m_PostCommand = [](unsigned id) {
        if (g_pMainFrame && g_pMainFrame->m_hWnd)
            g_pMainFrame->PostMessage(WM_COMMAND, id);
    };
    m_Engine.m_CheckWebForUpdate = [this] { CheckWebForUpdatePeriodic(); };

    // No console document at start: it opens with the mail session. A ".kvn"
    // file named on the command line is opened (as one dropped on the window);
    // one that is missing, unreadable or damaged opens nothing, and the
    // assistant starts all the same (its window and web server stand already).
    CCommandLineInfo cmdInfo;
    cmdInfo.m_nShellCommand = CCommandLineInfo::FileNothing;
    ParseCommandLine(cmdInfo);
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileNothing && !cmdInfo.m_strFileName.IsEmpty() &&
        CanReadFile(cmdInfo.m_strFileName))
        cmdInfo.m_nShellCommand = CCommandLineInfo::FileOpen;
    const bool opening = cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen;
    if (!ProcessShellCommand(cmdInfo) && !opening)
        return FALSE;

    int show = m_nCmdShow;
    if (g_Settings.GetStartMin())
        show = show == SW_SHOWNORMAL ? SW_SHOWMINNOACTIVE : SW_SHOWMINIMIZED;
    frame->ShowWindow(show);
    frame->UpdateWindow();

    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    m_pParseOptions = CreateParseOptions();
    if (!m_pParseOptions) {
        ::SetCursor(old);
        return FALSE;
    }
    m_pDictionary = LoadStartupDictionary(m_strAppPath);
    if (!m_pDictionary) {
        ::SetCursor(old);
        return FALSE;
    }
    {
        // Published under the request lock: the web thread may already be
        // taking requests, and reads both under the same lock.
        CRequestLock lock(CRequestLock::DefaultWaitMs());
        m_Engine.m_pDictionary = m_pDictionary;
        m_Engine.m_pParseOptions = m_pParseOptions;
    }
    m_Engine.OnFastTick();
    m_Engine.m_Gate.EndStep();
    ::SetCursor(old);
    ShowTipAtStartup();
    return TRUE;
}

void CKorvaneApp::ShowTipAtStartup()
{
    if (TipsDisabledByEnvironment())
        return;
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!cmdInfo.m_bShowSplash)
        return;
    CTipDlg tip;
    if (tip.m_bStartup)
        tip.DoModal();
}

BOOL CKorvaneApp::OnIdle(LONG lCount)
{
    CWinApp::OnIdle(lCount);
    return FALSE;
}

int CKorvaneApp::ExitInstance()
{
    if (g_MapiSession.getMAPIInitError() == 0) {
        if (m_pParseOptions)
            DeleteParseOptions(m_pParseOptions);
        m_pParseOptions = nullptr;
        if (m_bSettingsLoaded)
            g_Settings.Save();
        g_MapiSession.Logoff(0, nullptr);
        CRequestEngine::SetCurrent(nullptr);
        m_Engine.m_pDictionary = nullptr;
        m_Engine.m_pParseOptions = nullptr;
        delete m_pDictionary;
        m_pDictionary = nullptr;
    }
    return CWinApp::ExitInstance();
}

void CKorvaneApp::OnMailTick() { m_Engine.OnMailTick(); }

void CKorvaneApp::OnFastTick() { m_Engine.OnFastTick(); }

void CKorvaneApp::OnTipOfTheDay()
{
    CTipDlg tip;
    tip.DoModal();
}

void CKorvaneApp::OnAppAbout()
{
    // The colours may have been changed since the last showing.
    g_AppOptions.Init();
    CAboutDlg().DoModal();
}

void CKorvaneApp::OnCheckWebUpdate() { ReportWebCheck(RunWebCheck()); }

void CKorvaneApp::CheckWebForUpdatePeriodic()
{
    if (!webupdate::PeriodicCheckDue(g_Settings.GetNoUpdates(), g_Settings.GetCheckWeb4Update(),
                                     static_cast<int64_t>(std::time(nullptr))))
        return;
    if (!GetLocalIPAddress())
        return;
    CheckWebForUpdate();
}

int CKorvaneApp::CheckWebForUpdate() { return RunWebCheck() == WebCheckResult::UpdateOffered ? 1 : 0; }

WebCheckResult CKorvaneApp::RunWebCheck()
{
    // Stored first, so a failed check also waits its 15 days.
    g_Settings.SetCheckWeb4Update(static_cast<int>(std::time(nullptr)));
    return RunWebVersionCheck(m_strAppPath, UpdateHostName());
}
