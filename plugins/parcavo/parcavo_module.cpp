// The Parcavo plug-in: mails the file a request names back as an attachment,
// optionally after a bounded search of the current drive, and compressed into
// a zip archive for mail requests when the setting asks. From mail it acts
// only for a sender on the accepted-sender list.
#include "plugin_module.h"

#include "file_compression.h"
#include "file_reading.h"
#include "recipient_address.h"
#include "request_trust.h"
#include "files/fileutil.h"
#include "files/findfile.h"
#include "reply/reply.h"
#include "zip/zip_front.h"

#include <algorithm>

namespace {

const PlugInActionRow kRows[] = {
    {"send", "O*n", "Parcavo"},
    {"send", "Op", "Parcavo"},
    {"send", "S", "Parcavo"},
    {"show", "O*n", "Parcavo"},
    {"show", "Op", "Parcavo"},
    {"show", "S", "Parcavo"},
};

const PlugInOption kOptions[] = {
    {"UseFindFile", PLUGIN_OPTION_CHECK, 0, nullptr, 1004},
    {"UseZip", PLUGIN_OPTION_CHECK, 0, nullptr, 1005},
};

const unsigned kTestSentences[] = {10};
// The reading the test sentence must give: a file name.
const int kExpectedReading = 3;

// The drive search: under Wine the drive can be the whole Unix tree.
const FindFileLimits kSearchLimits = {8, 5000, 1};

bool IsFile(const CString& path)
{
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CString Now()
{
    return CTime::GetCurrentTime().Format("%c");
}

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Parcavo",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
    PLUGIN_INFO_ROWS_MINUS_ONE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    false,  // carries a grammar dictionary
    false,  // keeps the attachment list
    true,  // takes the sender's name
    0,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// One file request: built by the export, run once, destroyed.
class CFileRequest {
public:
    CFileRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRequester(requester), m_pRecipient(requester), m_nLinkIndex(linkIndex),
          m_pLinks(links)
    {
    }

    int Run();

private:
    CString Locate();
    void Answer(CString* to, int mode, const CString& subject, const CString& text, const CString& attachment);

    CPlugIn& m_PlugIn;
    CString* m_pRequester;
    CString* m_pRecipient;
    CString m_strRecipient;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    FileReading m_Reading;
    int m_nMode = MODE_EMAIL;
    int m_nSearch = 0;
    int m_nZip = 0;
};

int CFileRequest::Run()
{
    if (!ReadFileRequest(m_nLinkIndex, m_pLinks, m_Reading))
        return 0;
    g_PlugInSettings.Load();
    m_nSearch = g_PlugInSettings.GetInt("UseFindFile");
    m_nZip = g_PlugInSettings.GetInt("UseZip");

    m_nMode = m_PlugIn.m_nInterfaceMode;
    if (!m_Reading.m_strRecipient.IsEmpty()) {
        CString address = TranslateRecipient(m_Reading.m_strRecipient, m_pRequester ? *m_pRequester : CString());
        if (!address.IsEmpty()) {
            m_strRecipient = address;
            m_pRecipient = &m_strRecipient;
            m_nMode = MODE_EMAIL;
        }
    }
    if (!m_PlugIn.m_bTestMode && m_Reading.m_strFileName.IsEmpty())
        return 0;

    CString status = Now() + " : Sending: " + m_Reading.m_strFileName + " To: " +
                     (m_pRecipient ? *m_pRecipient : CString());
    if (m_nSearch)
        status += ". If need-be, I'll search the machine to find it";
    if (m_nZip && m_nMode == MODE_EMAIL)
        status += ". I'll compress the file before I send it";
    status += ".\r\n";
    m_PlugIn.Log(status);
    if (m_PlugIn.m_bTestMode)
        return m_Reading.Number() == kExpectedReading ? 1 : 0;

    PlugInLogon();
    // The refusal goes to whoever asked, never to the person the request named.
    if (!MayActForRequester(m_PlugIn.m_nInterfaceMode, m_pRequester)) {
        m_PlugIn.Log(Now() + " : Refused to send " + m_Reading.m_strFileName + " for " +
                     (m_pRequester ? *m_pRequester : CString()) + ": not an accepted sender.\r\n");
        Answer(m_pRequester, m_PlugIn.m_nInterfaceMode, "Request refused.",
               PLUGIN_REFUSED_TEXT "\r\n" + m_Reading.m_strFileName + "\r\n", CString());
        m_PlugIn.Services().LogOff();
        return 1;
    }

    CString path = Locate();
    CString archive;
    if (!path.IsEmpty() && m_nMode == MODE_EMAIL && m_nZip) {
        // Without the library, or when it makes no archive, nothing is sent:
        // the request is not handled.
        Compression outcome = Compression::Failed;
        if (LoadZipDLL(0, m_PlugIn.m_strInstallDir)) {
            archive = GetTempZipFile();
            CString line;
            outcome = CompressForMail(
                [&] {
                    return !archive.IsEmpty() &&
                           ZLMZip(archive, path, m_PlugIn.m_strZipPassword, m_PlugIn.m_strInstallDir) != 0;
                },
                line);
            m_PlugIn.Log(line);
        } else {
            m_PlugIn.Log("Error locating Zip DLL. Please re-install.\r\n");
        }
        if (outcome != Compression::Archive) {
            // A half-written archive is never mailed, nor left behind.
            if (!archive.IsEmpty())
                ::DeleteFileA(archive);
            archive.Empty();
        }
        if (outcome == Compression::Failed) {
            m_PlugIn.Services().LogOff();
            return 0;
        }
    }

    CString sent = archive.IsEmpty() ? path : archive;
    CString text = path.IsEmpty() ? CString("There was an error locating your requested file.\r\n")
                                  : CString("I have attached this file at your request.\r\n");
    text += "\r\n" + path + "\r\n";
    Answer(m_pRecipient, m_nMode, "File Sent.", text, sent);
    m_PlugIn.Services().LogOff();
    if (!archive.IsEmpty())
        ::DeleteFileA(archive);
    return 1;
}

// The file's path: the name as it stands when it is a file, else the first
// match of a bounded search of the current drive when the setting asks for
// one; empty when there is none. A name with wildcards is never looked for:
// it could send whatever happens to match it.
CString CFileRequest::Locate()
{
    const CString& name = m_Reading.m_strFileName;
    if (name.FindOneOf("*?") >= 0) {
        m_PlugIn.Log(Now() + " : Refused the name " + name + ": wildcards are not allowed.\r\n");
        return CString();
    }
    if (IsFile(name))
        return name;
    if (!m_nSearch)
        return CString();
    int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
    CZLMFindFile found(name.Mid(slash + 1), "\\.", 0, 0, kSearchLimits);
    return found.GetSize() > 0 ? found.GetFile(1) : CString();
}

void CFileRequest::Answer(CString* to, int mode, const CString& subject, const CString& text,
                          const CString& attachment)
{
    CString s = subject, t = text;
    MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, to, &m_PlugIn.m_strMyName, mode);
    answer.Subject(&s);
    answer.Text(&t);
    if (!attachment.IsEmpty())
        answer.Attach(attachment);
}

extern "C" int Parcavo(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequest<CFileRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}
