// The Listavo plug-in: answers with a listing of the files or folders that
// match a mask in a folder and all its subfolders. The walk is bounded in
// depth and entries, and the answer says when a bound cut it short.
#include "plugin_module.h"
#include "request_trust.h"

#include "listing_reading.h"
#include "files/findfile.h"
#include "reply/reply.h"

namespace {

const PlugInActionRow kRows[] = {
    {"send", "Op", "ShowDir"},
    {"send", "S", "ShowDir"},
    {"send", "O*n", "ShowDir"},
    {"show", "Op", "ShowDir"},
    {"show", "S", "ShowDir"},
    {"show", "O*n", "ShowDir"},
};

const PlugInOption kOptions[] = {
    {"Folders", PLUGIN_OPTION_CHECK, 1, nullptr, 1004},
    {"Files", PLUGIN_OPTION_CHECK, 1, nullptr, 1005},
};

const unsigned kTestSentences[] = {9};
// The reading the test sentence must give: files, from a start folder.
const int kExpectedReading = 7;

// A listing from "\" could walk a whole disk (under Wine, the whole Unix tree).
const FindFileLimits kListingLimits = {12, 5000, 2000};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Listavo",
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

// One listing request: built by the export, run once, destroyed.
class CListingRequest {
public:
    CListingRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRequester(requester), m_nLinkIndex(linkIndex), m_pLinks(links)
    {
    }

    int Run();

private:
    CString Listing();

    CPlugIn& m_PlugIn;
    CString* m_pRequester;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    ListingReading m_Reading;
};

int CListingRequest::Run()
{
    if (!ReadListingRequest(m_nLinkIndex, m_pLinks, m_Reading))
        return 0;
    const char* kind = m_Reading.m_nFolders ? "folders" : "files";
    CString status = CTime::GetCurrentTime().Format("%c") + " : Sending a listing of " + kind + " from " +
                     m_Reading.m_strStartFolder + ". To: " + (m_pRequester ? *m_pRequester : CString()) + ".\r\n";
    m_PlugIn.Log(status);
    if (m_PlugIn.m_bTestMode)
        return m_Reading.Number() == kExpectedReading ? 1 : 0;
    if (RefuseUntrustedRequester(m_PlugIn, m_pRequester, m_Reading.m_strStartFolder))
        return 1;

    PlugInLogon();
    CString subject = "Listing you requested.";
    CString text = Listing();
    {
        MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, m_pRequester, &m_PlugIn.m_strMyName,
                                   m_PlugIn.m_nInterfaceMode);
        answer.Subject(&subject);
        answer.Text(&text);
    }
    m_PlugIn.Services().LogOff();
    return 1;
}

CString CListingRequest::Listing()
{
    g_PlugInSettings.Load();
    bool allowed = m_Reading.m_nFolders ? g_PlugInSettings.GetInt("Folders") != 0
                                        : g_PlugInSettings.GetInt("Files") != 0;
    if (!allowed)
        return "I'm sorry, but I've been asked not to handle that type of request.\r\n";

    const char* kind = m_Reading.m_nFolders ? "folders" : "files";
    CString start = m_Reading.m_strStartFolder;
    // "C:" alone is the drive's current folder; the request meant its root.
    if (start.GetLength() == 2 && start[1] == ':')
        start += "\\";
    CZLMFindFile found(m_Reading.m_strMask, start, m_Reading.m_nFolders, 1, kListingLimits);
    CString text;
    if (found.GetSize() == 0) {
        text.Format("I'm sorry, I could not find any matching %s from %s\r\n\r\n", kind,
                    (LPCTSTR)m_Reading.m_strStartFolder);
    } else {
        text.Format("Here is a listing of %s from %s\r\n\r\n", kind, (LPCTSTR)m_Reading.m_strStartFolder);
        for (int i = 1; i <= found.GetSize(); ++i)
            text += found.GetFile(i) + "\r\n";
    }
    if (found.WasCut()) {
        CString note;
        note.Format("\r\nThe listing stops here: it shows at most %d entries, from at most %d folders, down to %d "
                    "levels below %s. Ask for a smaller folder or a narrower name to see more.\r\n",
                    kListingLimits.maxMatches, kListingLimits.maxFolders, kListingLimits.maxDepth,
                    (LPCTSTR)m_Reading.m_strStartFolder);
        text += note;
    }
    return text;
}

extern "C" int ShowDir(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequest<CListingRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}
