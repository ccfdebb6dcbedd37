// The Skrivo plug-in: runs the program or batch file a request names with the
// shell's default action, optionally after a bounded search of the current
// drive, and answers with the outcome. From mail it acts only for a sender
// on the accepted-sender list.
#include "plugin_module.h"

#include "request_trust.h"
#include "run_reading.h"
#include "files/findfile.h"
#include "reply/reply.h"

#include <shellapi.h>

#include <algorithm>

namespace {

const PlugInActionRow kRows[] = {
    {"execute.v", "MV", "RunBatchFile"},
    {"run.v", "MV", "RunBatchFile"},
    {"execute.v", "FOL", "RunBatchFile"},
    {"run.v", "FOL", "RunBatchFile"},
};

const PlugInOption kOptions[] = {
    {"UseFindFile", PLUGIN_OPTION_CHECK, 0, nullptr, 1004},
};

const unsigned kTestSentences[] = {9};
// The reading the test sentence must give: a program, no parameters.
const int kExpectedReading = 3;

// The drive search: under Wine the drive can be the whole Unix tree.
const FindFileLimits kSearchLimits = {8, 5000, 1};

struct ShellError {
    INT_PTR result;
    const char* message;
};
// The shell's results of running a file, looked up in this order.
const ShellError kShellErrors[] = {
    {0, "The operating system is out of memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {11, "The .exe file is invalid (non-Win32\xae .exe or error in .exe image)."},
    {5, "The operating system denied access to the specified file."},
    {27, "The file name association is incomplete or invalid."},
    {30, "The DDE transaction could not be completed because other DDE transactions were being processed."},
    {29, "The DDE transaction failed."},
    {28, "The DDE transaction could not be completed because the request timed out."},
    {32, "The specified dynamic-link library was not found."},
    {31, "There is no application associated with the given file name extension."},
    {8, "There was not enough memory to complete the operation."},
    {26, "A sharing violation occurred."},
    {-1, nullptr},
};

CString ShellErrorMessage(INT_PTR result)
{
    for (const ShellError* e = kShellErrors; e->message; ++e)
        if (e->result == result)
            return e->message;
    return CString();
}

INT_PTR Shell(const CString& program, const CString& parameters)
{
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, nullptr, program,
                                                     parameters.IsEmpty() ? nullptr : (LPCSTR)parameters, nullptr,
                                                     SW_SHOW));
}

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Skrivo",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_MINUS_ONE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    false,  // carries a grammar dictionary
    false,  // keeps the attachment list
    false,  // takes the sender's name
    0,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// One run request: built by the export, run once, destroyed.
class CRunRequest {
public:
    CRunRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRequester(requester), m_nLinkIndex(linkIndex), m_pLinks(links)
    {
    }

    int Run();

private:
    CString Execute();
    void Answer(const CString& subject, const CString& text);

    CPlugIn& m_PlugIn;
    CString* m_pRequester;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    RunReading m_Reading;
    CString m_strStatus;
    int m_nSearch = 0;
};

int CRunRequest::Run()
{
    if (!ReadRunRequest(m_nLinkIndex, m_pLinks, m_Reading))
        return 0;
    g_PlugInSettings.Load();
    m_nSearch = g_PlugInSettings.GetInt("UseFindFile");

    m_strStatus = CTime::GetCurrentTime().Format("%c") + " : Executing: " + m_Reading.m_strProgram +
                  " with these parameters : " + m_Reading.m_strParameters;
    if (m_nSearch)
        m_strStatus += ". If need-be, I'll search the machine to find it";
    m_strStatus += ".\r\n";

    if (m_PlugIn.m_bTestMode) {
        m_PlugIn.Log(m_strStatus);
        return m_Reading.Number() == kExpectedReading ? 1 : 0;
    }
    // Nothing named to run: the host's own answer says it was not understood.
    if (m_Reading.m_strProgram.IsEmpty())
        return 0;
    m_PlugIn.Log(m_strStatus);

    PlugInLogon();
    if (!MayActForRequester(m_PlugIn.m_nInterfaceMode, m_pRequester)) {
        m_PlugIn.Log(CTime::GetCurrentTime().Format("%c") + " : Refused to run " + m_Reading.m_strProgram +
                     " for " + (m_pRequester ? *m_pRequester : CString()) + ": not an accepted sender.\r\n");
        Answer("Request refused.", PLUGIN_REFUSED_TEXT "\r\n" + m_Reading.m_strProgram + "\r\n" + m_strStatus);
    } else {
        CString error = Execute();
        CString text = error.IsEmpty() ? CString("I ran the file at your request.\r\n")
                                       : "There was an error executing your request.\r\n" + error;
        Answer("File Executed.", text + "\r\n" + m_Reading.m_strProgram + "\r\n" + m_strStatus);
    }
    m_PlugIn.Services().LogOff();
    return 1;
}

// Runs the program; empty on success, else the error message (which may be
// empty for a result the table does not list, so a marker is given then).
CString CRunRequest::Execute()
{
    // A name with wildcards could run whatever happens to match it.
    if (HasWildcard(m_Reading.m_strProgram))
        return "Wildcards are not allowed in the name of a program to run.";
    INT_PTR result = Shell(m_Reading.m_strProgram, m_Reading.m_strParameters);
    if ((result == 2 || result == 3) && m_nSearch) {
        // The search looks for the name itself, wherever the request thought it was.
        CString name = m_Reading.m_strProgram;
        int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
        CZLMFindFile found(name.Mid(slash + 1), "\\.", 0, 0, kSearchLimits);
        if (found.GetSize() > 0)
            result = Shell(found.GetFile(1), m_Reading.m_strParameters);
    }
    if (result > 32)
        return CString();
    CString message = ShellErrorMessage(result);
    return message.IsEmpty() ? CString("The program could not be run.") : message;
}

void CRunRequest::Answer(const CString& subject, const CString& text)
{
    CString s = subject, t = text;
    MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, m_pRequester, &m_PlugIn.m_strMyName,
                               m_PlugIn.m_nInterfaceMode);
    answer.Subject(&s);
    answer.Text(&t);
}

extern "C" int RunBatchFile(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequest<CRunRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}
