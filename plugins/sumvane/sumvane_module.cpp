// The Sumvane plug-in: answers with one summary of the messages of the user's
// mail box - subject, sender, time and the start of each text - unread only
// or all, optionally only those of one sender; on the web each entry opens
// the whole message. Summarising never marks a message read.
#include "plugin_module.h"
#include "request_trust.h"

#include "answered_request.h"
#include "summary_page.h"
#include "summary_reading.h"
#include "reply/reply.h"
#include "relvane_pages.h"
#include "mailbox_search.h"

#include <memory>

namespace {

const PlugInActionRow kRows[] = {
    {"send.v", "O*n", "SendMeNewMail"},
    {"send.v", "Opn", "SendMeNewMail"},
    {"send.v", "Op", "SendMeNewMail"},
    {"show", "O*n", "SendMeNewMail"},
    {"show", "Opn", "SendMeNewMail"},
    {"show", "Op", "SendMeNewMail"},
    {"what", "O*n", "SendMeNewMail"},
    {"what", "Opn", "SendMeNewMail"},
    {"what", "Op", "SendMeNewMail"},
    {"which", "O*n", "SendMeNewMail"},
    {"which", "Opn", "SendMeNewMail"},
    {"which", "Op", "SendMeNewMail"},
};

const PlugInOption kOptions[] = {
    {"DefaultNew", PLUGIN_OPTION_CHECK, 1, nullptr, 1004},
};

const unsigned kTestSentences[] = {9, 10};
// The reading each test sentence must give: unread only; then with a sender.
const int kExpectedReadings[] = {3, 7};

// The start of each message's text that its entry shows.
const int kExcerptLength = 64;
} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Sumvane",
    kRows,
    static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
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

// One summary request: built by the export, run once, destroyed.
class CSummaryRequest {
public:
    CSummaryRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRequester(requester), m_pRecipient(requester), m_nLinkIndex(linkIndex), m_pLinks(links), m_nFifo(fifo)
    {
    }

    int Run();

private:
    void Summarise();
    void Deliver(const CString& subject, const CString& text, std::unique_ptr<CSummaryPage> page);

    CPlugIn& m_PlugIn;
    CString* m_pRequester;  // who asked; the answer may go elsewhere
    CString m_strRecipient;
    CString* m_pRecipient;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    int m_nFifo;
    SummaryReading m_Reading;
    int m_nMode = MODE_EMAIL;
    CString m_strStatus;
    int m_nListed = 0;
    bool m_bAnswered = false;
};

int CSummaryRequest::Run()
{
    g_PlugInSettings.Load();
    if (!ReadSummaryRequest(m_nLinkIndex, m_pLinks, g_PlugInSettings.GetInt("DefaultNew"), m_Reading))
        return 0;

    m_nMode = m_PlugIn.m_nInterfaceMode;
    AnswerNamedRecipient(m_Reading.m_strRecipient, m_pRecipient, m_strRecipient, m_nMode);
    CString requester = m_pRecipient ? *m_pRecipient : CString();

    m_strStatus = CTime::GetCurrentTime().Format("%c") + " : Sending summary of ";
    if (m_Reading.m_nNewOnly)
        m_strStatus += "new ";
    m_strStatus += "messages ";
    if (!m_Reading.m_strSenderFilter.IsEmpty())
        m_strStatus += "from " + m_Reading.m_strSenderFilter + " ";
    m_strStatus += "to " + requester + ".\r\n";
    m_PlugIn.Log(m_strStatus);

    if (m_PlugIn.m_bTestMode)
        return ExpectedReadingAnswer(m_PlugIn, m_Reading.Number(), kExpectedReadings);
    if (RefuseUntrustedRequester(m_PlugIn, m_pRequester, "A summary of messages."))
        return 1;
    try {
        Summarise();
    } catch (...) {
        // Once the answer went out the request is answered: a failure after it
        // must not bring the host's "not understood" reply as a second answer.
        if (!m_bAnswered)
            throw;
        m_PlugIn.Log(CTime::GetCurrentTime().Format("%c") + " : The summary failed after its answer went out.\r\n");
    }
    return 1;
}

void CSummaryRequest::Summarise()
{
    PlugInLogon();
    std::unique_ptr<CSummaryPage> page;
    if (m_nMode == MODE_WEB)
        page = std::make_unique<CSummaryPage>();

    const CString answered = AnsweredRequestID(m_PlugIn.m_nInterfaceMode);
    CString summary;
    CMailboxSearch search(m_Reading.m_nNewOnly != 0, m_nFifo != 0);
    for (int turn = 0; turn < kMaxMessages; ++turn) {
        CString id;
        if (!search.Next(id))
            break;
        if (!answered.IsEmpty() && id == answered)
            continue;

        CZLMMapiMessage message;
        if (g_PlugInMapi.ReadMail(id, kPeek, message, nullptr) != 0)
            continue;
        CString name, address;
        CZLMMapiRecipient& from = message.GetOriginator();
        if (from.GetSize() > 0) {
            from.SetPosition(0);
            name = from.GetName();
            address = from.GetAddress();
        }
        const CString& filter = m_Reading.m_strSenderFilter;
        if (!filter.IsEmpty() && address.Find(filter) < 0 && name.Find(filter) < 0) {
            DeleteAttachmentFiles(message);
            continue;
        }
        CTime received;
        message.GetTimeReceived(received);
        CString excerpt = message.GetNoteText().Left(kExcerptLength);
        CString entry;
        if (page) {
            entry.Format("%s \r\nFrom: %s (%s)  On: %s\r\n%s", (LPCTSTR)message.GetSubject(), (LPCTSTR)address,
                         (LPCTSTR)name, (LPCTSTR)received.Format("%c"), (LPCTSTR)excerpt);
            page->AddEntry(entry, id);
        } else {
            entry.Format("%s\r\nFrom: %s (%s)  On: %s\r\n%s\r\n------\r\n", (LPCTSTR)message.GetSubject(),
                         (LPCTSTR)address, (LPCTSTR)name, (LPCTSTR)received.Format("%c"), (LPCTSTR)excerpt);
            summary += entry;
        }
        ++m_nListed;
        DeleteAttachmentFiles(message);
    }

    if (m_nListed > 0)
        Deliver("Summary of messages.", summary, std::move(page));
    else
        Deliver("No matching messages.", "Sorry, I couldn't find any messages your request.\r\n\r\n" + m_strStatus,
                nullptr);
    m_PlugIn.Services().LogOff();
}

void CSummaryRequest::Deliver(const CString& subject, const CString& text, std::unique_ptr<CSummaryPage> page)
{
    CString requester = m_pRecipient ? *m_pRecipient : CString();
    if (m_nMode == MODE_WEB && page) {
        page->m_strUserID = requester.GetLength() > 11 ? requester.Mid(11) : CString();
        page->m_strSubject = subject;
        page->m_strDate = CTime::GetCurrentTime().Format("%c");
        page->m_strSender = requester;
        g_HTMLMgr.AttachMessage(page.release());
        m_bAnswered = true;
        return;
    }
    CString s = subject, t = text;
    {
        MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, m_pRecipient, &m_PlugIn.m_strMyName, m_nMode);
        answer.Subject(&s);
        answer.Text(&t);
    }
    m_bAnswered = true;
}

extern "C" int SendMeNewMail(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequest<CSummaryRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}
