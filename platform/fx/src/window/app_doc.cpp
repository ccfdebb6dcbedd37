// CWinApp's documents: templates, the New and Open commands, the command line.
#include "window_state.h"

#include <commdlg.h>

#include <string>
#include <vector>

using namespace fx::win;

// ---- Templates --------------------------------------------------------------------------------

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!pTemplate)
        return;
    if (!m_pTemplateList)
        m_pTemplateList = new CPtrList;
    if (!m_pTemplateList->Find(pTemplate))
        m_pTemplateList->AddTail(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_pTemplateList ? m_pTemplateList->GetHeadPosition() : nullptr;
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    if (!pos || !m_pTemplateList)
        return nullptr;
    return static_cast<CDocTemplate*>(m_pTemplateList->GetNext(pos));
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    if (!lpszFileName || !*lpszFileName)
        return nullptr;
    // A name given in quotes (from a shell command) opens the file inside them.
    CString name(lpszFileName);
    name.TrimLeft();
    name.TrimRight();
    if (name.GetLength() >= 2 && name[0] == '"' && name[name.GetLength() - 1] == '"')
        name = name.Mid(1, name.GetLength() - 2);
    char full[MAX_PATH];
    DWORD n = ::GetFullPathNameA(name, MAX_PATH, full, nullptr);
    if (n > 0 && n < MAX_PATH)
        name = full;

    CDocTemplate* pBest = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    CDocument* pOpenDoc = nullptr;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        CDocument* pMatch = nullptr;
        CDocTemplate::Confidence match = pTemplate->MatchDocType(name, pMatch);
        if (match > bestMatch) {
            bestMatch = match;
            pBest = pTemplate;
        }
        if (match == CDocTemplate::yesAlreadyOpen) {
            pOpenDoc = pMatch;
            break;
        }
    }
    if (pOpenDoc) {
        // Already open: bring its first frame forward, read nothing.
        POSITION vpos = pOpenDoc->GetFirstViewPosition();
        CView* pView = vpos ? pOpenDoc->GetNextView(vpos) : nullptr;
        CFrameWnd* pFrame = pView && pView->m_hWnd ? pView->GetParentFrame() : nullptr;
        if (pFrame) {
            pFrame->ActivateFrame();
            CFrameWnd* pOuter = pFrame->GetParentFrame();
            if (pOuter && pOuter != pFrame)
                pOuter->ActivateFrame();
        }
        return pOpenDoc;
    }
    if (!pBest) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return nullptr;
    }
    return pBest->OpenDocumentFile(name);
}

BOOL CWinApp::SaveAllModified()
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos)
        if (!GetNextDocTemplate(pos)->SaveAllModified())
            return FALSE;
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos)
        GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

// ---- Commands ---------------------------------------------------------------------------------

void CWinApp::OnFileNew()
{
    // With several templates the first one makes the document.
    POSITION pos = GetFirstDocTemplatePosition();
    CDocTemplate* pTemplate = GetNextDocTemplate(pos);
    if (pTemplate)
        pTemplate->OpenDocumentFile(nullptr);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                               CDocTemplate* pTemplate)
{
    // Filter: each template's "name\0*.ext\0", then all files.
    std::string filter;
    auto addTemplate = [&filter](CDocTemplate* t) {
        CString name, ext;
        if (!t->GetDocString(name, CDocTemplate::filterName) || !t->GetDocString(ext, CDocTemplate::filterExt))
            return;
        std::string pattern;
        for (int i = 0;; ++i) {
            CString one;
            if (!AfxExtractSubString(one, ext, i, ';'))
                break;
            one.TrimLeft();
            one.TrimRight();
            if (one.IsEmpty())
                continue;
            if (!pattern.empty())
                pattern += ';';
            pattern += one[0] == '*' ? std::string(one) : "*" + std::string(one);
        }
        filter += std::string(name) + '\0' + pattern + '\0';
    };
    if (pTemplate) {
        addTemplate(pTemplate);
    } else {
        POSITION pos = GetFirstDocTemplatePosition();
        while (pos)
            addTemplate(GetNextDocTemplate(pos));
    }
    CString all;
    if (!all.LoadString(AFX_IDS_ALLFILTER))
        all = "All Files (*.*)";
    filter += std::string(all) + '\0' + "*.*" + '\0' + '\0';

    CString title;
    title.LoadString(nIDSTitle);
    char file[MAX_PATH] = {};
    lstrcpynA(file, fileName, MAX_PATH);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    CWnd* pMain = AfxGetMainWnd();
    ofn.hwndOwner = pMain ? pMain->GetSafeHwnd() : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.IsEmpty() ? nullptr : (LPCSTR)title;
    ofn.Flags = lFlags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (bOpenFileDialog)
        ofn.Flags |= OFN_FILEMUSTEXIST;
    BOOL ok = bOpenFileDialog ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (ok)
        fileName = file;
    return ok;
}

void CWinApp::OnFileOpen()
{
    CString name;
    if (!DoPromptFileName(name, AFX_IDS_OPENFILE, OFN_HIDEREADONLY, TRUE, nullptr))
        return;
    OpenDocumentFile(name);
}

void CWinApp::OnAppExit()
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain->m_hWnd)
        pMain->PostMessage(WM_CLOSE);
}

static void RunAppHelp(UINT nCommand, ULONG_PTR dwData)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !pApp->m_pszHelpFilePath || !*pApp->m_pszHelpFilePath)
        return;  // no help file, nothing to show
    CWnd* pMain = AfxGetMainWnd();
    ::WinHelpA(pMain ? pMain->GetSafeHwnd() : nullptr, pApp->m_pszHelpFilePath, nCommand, dwData);
}

void CWinApp::OnHelp() { RunAppHelp(HELP_INDEX, 0); }
void CWinApp::OnHelpFinder() { RunAppHelp(HELP_FINDER, 0); }
void CWinApp::OnHelpIndex() { RunAppHelp(HELP_INDEX, 0); }
void CWinApp::OnHelpUsing() { RunAppHelp(HELP_HELPONHELP, 0); }
void CWinApp::OnContextHelp() { RunAppHelp(HELP_FINDER, 0); }

// ---- Command line -----------------------------------------------------------------------------

CCommandLineInfo::CCommandLineInfo()
    : m_bShowSplash(TRUE), m_bRunEmbedded(FALSE), m_bRunAutomated(FALSE), m_nShellCommand(FileNew)
{
}

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast)
{
    if (bFlag)
        ParseParamFlag(pszParam);
    else
        ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const char* pszParam)
{
    if (lstrcmpiA(pszParam, "pt") == 0) {
        m_nShellCommand = FilePrintTo;
    } else if (lstrcmpiA(pszParam, "p") == 0) {
        m_nShellCommand = FilePrint;
    } else if (lstrcmpiA(pszParam, "Unregister") == 0 || lstrcmpiA(pszParam, "Unregserver") == 0) {
        m_nShellCommand = AppUnregister;
    } else if (lstrcmpiA(pszParam, "dde") == 0) {
        m_nShellCommand = FileDDE;
    } else if (lstrcmpiA(pszParam, "Embedding") == 0) {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (lstrcmpiA(pszParam, "Automation") == 0) {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    }
}

void CCommandLineInfo::ParseParamNotFlag(const char* pszParam)
{
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast)
{
    if (!bLast)
        return;
    // A file named without a command opens it; a preset command stays.
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
    m_bShowSplash = !m_bRunEmbedded && !m_bRunAutomated;
}

namespace {

// Splits a command line (without the program's name) as the C runtime does:
// arguments are separated by blanks and tabs; double quotes group blanks into
// an argument; 2n backslashes before a quote give n backslashes and the quote
// groups, 2n+1 give n backslashes and a literal quote; other backslashes are
// literal; inside quotes "" gives a literal quote.
std::vector<std::string> SplitCommandLine(const char* line)
{
    std::vector<std::string> args;
    if (!line)
        return args;
    const char* p = line;
    for (;;) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            break;
        std::string arg;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '\\') {
                size_t n = 0;
                while (*p == '\\') {
                    ++n;
                    ++p;
                }
                if (*p == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2) {
                        arg += '"';
                        ++p;
                    }
                } else {
                    arg.append(n, '\\');
                }
            } else if (*p == '"') {
                if (quoted && p[1] == '"') {
                    arg += '"';
                    p += 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
            } else {
                arg += *p++;
            }
        }
        args.push_back(arg);
    }
    return args;
}

} // namespace

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    std::vector<std::string> args = SplitCommandLine(m_lpCmdLine);
    for (size_t i = 0; i < args.size(); ++i) {
        const char* param = args[i].c_str();
        BOOL bFlag = FALSE;
        if (*param == '-' || *param == '/') {
            bFlag = TRUE;
            ++param;
        }
        rCmdInfo.ParseParam(param, bFlag, i + 1 == args.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        // Through the command, so a program's own New handler runs.
        if (!OnCmdMsg(ID_FILE_NEW, 0, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        // There is no printing here: the print commands open the document only.
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileDDE:
    case CCommandLineInfo::AppUnregister:
    case CCommandLineInfo::FileNothing:
    default:
        // No DDE conversations and no registered file types to remove.
        return TRUE;
    }
}
