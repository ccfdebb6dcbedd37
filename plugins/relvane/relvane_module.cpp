// The Relvane plug-in: forwards the messages of the user's mail box to whoever
// asked for them - by mail, in desktop message windows or as web messages -
// unread only or all, with or without attachments, optionally only those of
// one sender.
#include "plugin_module.h"
#include "request_trust.h"

#include "action_rows.h"
#include "answered_request.h"
#include "forward_reading.h"
#include "relvane_pages.h"
#include "mailbox_search.h"
#include "reply/reply.h"
#include "reply/reply_rules.h"
#include "webmsg/htmlmsg.h"
#include "webmsg/webfiles.h"
#include "options/wmoptions.h"

#include <cstring>
#include <memory>

namespace {

constexpr auto kRows = ActionRowsOf(kForwardRows, "SendMeNewMail");
const int kRowCount = kForwardRowCount;

const PlugInOption kOptions[] = {
    {"DefaultNew", PLUGIN_OPTION_CHECK, 1, nullptr, 1004},
    {"DefaultAttach", PLUGIN_OPTION_CHECK, 1, nullptr, 1005},
};

// A desktop message window keeps showing its files after the forward is
// done, while the read's temporary files are removed at once: each file moves
// into the program's "Temporary Files" folder, which the program empties when
// it starts, and the list points at the kept files. False when a file could
// not be kept (it is then left where it was, not deleted).
bool KeepAttachmentsForDesktop(CZLMMapiFile& files, const CString& installDir)
{
    CString dir = installDir;
    if (!dir.IsEmpty() && (dir.Right(1) == "\\" || dir.Right(1) == "/"))
        dir = dir.Left(dir.GetLength() - 1);
    dir += dir.IsEmpty() ? "Temporary Files" : "\\Temporary Files";
    ::CreateDirectoryA(dir, nullptr);
    static unsigned s_counter = 0;
    bool all = true;
    for (ULONG i = 0; i < files.GetSize(); ++i) {
        files.SetPosition(i);
        const CString from = files.GetPathName();
        if (from.IsEmpty())
            continue;
        // The name comes from the mail: only a plain, bounded file name is used.
        CString name = files.GetFileName().Left(120);
        for (int c = 0; c < name.GetLength(); ++c)
            if (strchr("\\/:*?\"<>|", name[c]) || static_cast<unsigned char>(name[c]) < 32)
                name.SetAt(c, '_');
        if (name.IsEmpty() || name == "." || name == "..")
            name = "attachment";
        CString to;
        to.Format("%s\\FW%lu-%u-%s", (LPCTSTR)dir, ::GetCurrentProcessId(), ++s_counter, (LPCTSTR)name);
        if (::MoveFileExA(from, to, MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING))
            files.SetPathName(to);
        else
            all = false;
    }
    return all;
}

const unsigned kTestSentences[] = {9};
// The reading each test sentence must give: unread only, no attachments.
const int kExpectedReadings[] = {7};

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Relvane",
    kRows.data(),
    kRowCount,
    PLUGIN_INFO_ROWS_ALL_NEGATIVE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    false,  // carries a grammar dictionary
    false,  // keeps the attachment list
    true,  // takes the sender's name
    1,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
};

// One forward request: built by the export, run once, destroyed.
class CForwardRequest {
public:
    CForwardRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRequester(requester), m_pRecipient(requester), m_nLinkIndex(linkIndex), m_pLinks(links), m_nFifo(fifo)
    {
    }

    int Run();

private:
    void Forward();
    void Deliver(CZLMMapiMessage& message, const CString& subject, const CString& text, int mode);
    void DeliverWeb(CZLMMapiMessage& message, const CString& subject, const CString& text);

    CPlugIn& m_PlugIn;
    CString* m_pRequester;  // who asked; the answer may go elsewhere
    CString m_strRecipient;
    CString* m_pRecipient;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    int m_nFifo;
    ForwardReading m_Reading;
    int m_nMode = MODE_EMAIL;
    CString m_strStatus;
    int m_nFound = 0;
    int m_nSent = 0;  // answers that went out
};

int CForwardRequest::Run()
{
    const char* triggers[kRowCount];
    for (int i = 0; i < kRowCount; ++i)
        triggers[i] = kForwardRows[i].word;
    g_PlugInSettings.Load();
    if (!ReadForwardRequest(triggers, kRowCount, m_nLinkIndex, m_pLinks, g_PlugInSettings.GetInt("DefaultNew"),
                            g_PlugInSettings.GetInt("DefaultAttach"), m_Reading))
        return 0;

    m_nMode = m_PlugIn.m_nInterfaceMode;
    AnswerNamedRecipient(m_Reading.m_strRecipient, m_pRecipient, m_strRecipient, m_nMode);
    CString requester = m_pRecipient ? *m_pRecipient : CString();

    m_strStatus = CTime::GetCurrentTime().Format("%c") + " : Sending ";
    if (m_Reading.m_nNewOnly)
        m_strStatus += "new ";
    m_strStatus += "messages ";
    if (!m_Reading.m_nAttachments)
        m_strStatus += "(do not send attachments) ";
    if (!m_Reading.m_strSenderFilter.IsEmpty())
        m_strStatus += "from " + m_Reading.m_strSenderFilter + " ";
    m_strStatus += "to " + m_PlugIn.m_strSenderName + "(" + requester + ").\r\n";
    m_PlugIn.Log(m_strStatus);

    if (m_PlugIn.m_bTestMode)
        return ExpectedReadingAnswer(m_PlugIn, m_Reading.Number(), kExpectedReadings);
    if (RefuseUntrustedRequester(m_PlugIn, m_pRequester, "A forward of messages."))
        return 1;
    try {
        Forward();
    } catch (...) {
        // Once an answer went out the request was handled, though not to its
        // end: the host must not answer it a second time.
        if (m_nSent == 0)
            throw;
        m_PlugIn.Log("Relvane: the forward stopped part-way.\r\n");
    }
    return 1;
}

void CForwardRequest::Forward()
{
    PlugInLogon();
    CTime start = CTime::GetCurrentTime();
    CMailboxSearch search(m_Reading.m_nNewOnly != 0, m_nFifo != 0);
    // The mail that asked is never one of the messages it asked for.
    const CString answered = AnsweredRequestID(m_PlugIn.m_nInterfaceMode);
    bool byIdentifier = !m_Reading.m_strMessageID.IsEmpty();
    bool attachments = m_Reading.m_nAttachments != 0 || byIdentifier;
    for (int turn = 0; turn < kMaxMessages; ++turn) {
        CString id;
        if (byIdentifier) {
            if (turn > 0)
                break;
            id = m_Reading.m_strMessageID;
        } else if (!search.Next(id)) {
            break;
        }
        if (!answered.IsEmpty() && id == answered)
            continue;

        CZLMMapiMessage peeked;
        if (g_PlugInMapi.ReadMail(id, kPeek, peeked, nullptr) != 0)
            continue;
        CString filter = m_Reading.m_strSenderFilter;
        if (!filter.IsEmpty() && !byIdentifier) {
            CZLMMapiRecipient& from = peeked.GetOriginator();
            bool match = false;
            if (from.GetSize() > 0) {
                from.SetPosition(0);
                match = from.GetAddress().Find(filter) >= 0 || from.GetName().Find(filter) >= 0;
            }
            if (!match) {
                DeleteAttachmentFiles(peeked);
                continue;
            }
        }
        DeleteAttachmentFiles(peeked);

        CZLMMapiMessage message;
        if (g_PlugInMapi.ReadMail(id, 0, message, nullptr) != 0)
            continue;
        CString name, address;
        CZLMMapiRecipient& from = message.GetOriginator();
        if (from.GetSize() > 0) {
            from.SetPosition(0);
            name = from.GetName();
            address = from.GetAddress();
        }
        CTime received;
        message.GetTimeReceived(received);
        CString subject = "FW: " + message.GetSubject();
        CString text;
        text.Format("From: %s (%s)  On: %s\r\n------\r\n%s\r\n", (LPCTSTR)name, (LPCTSTR)address,
                    (LPCTSTR)received.Format("%c"), (LPCTSTR)message.GetNoteText());
        ++m_nFound;
        bool kept = false;  // the files now belong to a desktop window
        if (start > received) {
            if (m_nMode == MODE_WEB)
                DeliverWeb(message, subject, text);
            else {
                MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, m_pRecipient, &m_PlugIn.m_strMyName,
                                           m_nMode);
                answer.Subject(&subject);
                answer.Text(&text);
                if (attachments && message.GetFiles().GetSize() > 0) {
                    const CString to = m_pRecipient ? *m_pRecipient : CString();
                    if (reply::DeliveryMode(to, m_nMode) == reply::kModeDesktop) {
                        kept = true;
                        if (!KeepAttachmentsForDesktop(message.GetFiles(), m_PlugIn.m_strInstallDir))
                            m_PlugIn.Log("Relvane: an attachment could not be kept for the message window.\r\n");
                    }
                    answer.Attach(&message.GetFiles());
                }
            }
            ++m_nSent;
        }
        if (!kept)
            DeleteAttachmentFiles(message);
    }

    if (m_nFound == 0) {
        CString subject = "No matching messages.";
        CString text = "Sorry, I couldn't find any messages your request.\r\n\r\n" + m_strStatus;
        MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, m_pRecipient, &m_PlugIn.m_strMyName, m_nMode);
        answer.Subject(&subject);
        answer.Text(&text);
    }
    m_PlugIn.Services().LogOff();
}

void CForwardRequest::DeliverWeb(CZLMMapiMessage& message, const CString& subject, const CString& text)
{
    CString requester = m_pRecipient ? *m_pRecipient : CString();
    auto page = std::make_unique<CMessagePage>();
    page->m_strUserID = requester.GetLength() > 11 ? requester.Mid(11) : CString();
    CZLMMapiRecipient& from = message.GetOriginator();
    if (from.GetSize() > 0) {
        from.SetPosition(0);
        page->m_strSpare = from.GetAddress();
    }
    page->m_strSubject = subject;
    page->m_strDate = CTime::GetCurrentTime().Format("%c");
    page->m_strPlainText = text;
    page->m_strBody = text;  // the page adds its [reply] and [forward] links when shown
    // The recipient text: what the request named (mode 2 only runs without one).
    page->m_strSender = m_strRecipient;
    CZLMMapiFile& files = message.GetFiles();
    const CString tag = webmsg::NewWebFileTag();  // unguessable copy names
    for (ULONG i = 0; i < files.GetSize(); ++i) {
        files.SetPosition(i);
        CString name;
        name.Format("%s-%s", (LPCTSTR)tag, (LPCTSTR)files.GetFileName());
        if (webmsg::CopyWebFile(files.GetPathName(), webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, name)))
            page->m_AttachmentNames.AddTail(name);
    }
    g_HTMLMgr.AttachMessage(page.release());
}

extern "C" int SendMeNewMail(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequest<CForwardRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}
