// The Chimavo plug-in: keeps a list of mail alerts. A request sets or stops
// alerts (a sender and a text to look for); every incoming mail the host
// offers unparsed is matched against the list, and a match is forwarded to
// the notify address.
#include "plugin_module.h"
#include "request_trust.h"

#include "action_rows.h"
#include "alert_list.h"
#include "alert_reading.h"
#include "reply/reply.h"
#include "addrbook/address_book.h"

#include "fx/msgbox.h"

namespace {

constexpr auto kRows = ActionRowsOf(kAlertRows, "Chimavo");

const PlugInOption kOptions[] = {
    {"NotifyAddress", PLUGIN_OPTION_TEXT, 0, "", 1004},
};

const unsigned kTestSentences[] = {10, 11};
// Only the first test sentence has an expected reading: handled.
const int kExpectedResults[] = {1};

const char kValuePrefix[] = "Chimavo-";

// The list in the plug-in's registry key.
class RegistryAlertStore : public AlertStore {
public:
    RegistryAlertStore()
    {
        m_bOpen = m_Registry.Connect() && m_Registry.CreateKey(PLUGIN_REGISTRY_SECTION);
    }
    bool IsOpen() const { return m_bOpen; }
    bool ReadNumber(const CString& name, int& value) override
    {
        DWORD v = 0;
        bool ok = m_Registry.ReadDword(name, v, 0) != FALSE;
        value = static_cast<int>(v);
        return ok;
    }
    bool ReadText(const CString& name, CString& value) override
    {
        return m_Registry.ReadString(name, value, "") != FALSE;
    }
    void WriteNumber(const CString& name, int value) override
    {
        m_Registry.WriteDword(name, static_cast<DWORD>(value));
    }
    void WriteText(const CString& name, const CString& value) override { m_Registry.WriteString(name, value); }

private:
    CRegistry m_Registry;
    bool m_bOpen = false;
};

CAlertList g_Alerts;
bool g_bAlertsLoaded = false;
// The request mail last answered: its alerts are never checked against it.
CString g_strAnsweredMail;

void LoadAlerts()
{
    if (g_bAlertsLoaded)
        return;
    RegistryAlertStore store;
    if (store.IsOpen())
        g_Alerts.Load(store, kValuePrefix);
    g_bAlertsLoaded = true;
}

// Kept at once: a list changed by a request is not lost when the program
// ends without unloading its plug-ins.
void SaveAlerts()
{
    RegistryAlertStore store;
    if (store.IsOpen())
        g_Alerts.Save(store, kValuePrefix);
}

CString Lower(CString text)
{
    text.MakeLower();
    return text;
}

// What identifies one incoming mail for the check against answering it twice.
CString MailKey(const CString& requester)
{
    return requester + "\n" + g_PlugIn.m_strSubject + "\n" + g_PlugIn.m_strRequestText;
}

// The properties dialog's own button.
const unsigned kClearAlertsButton = 1005;

// "Clear Alerts": the list is kept empty at once, since the message tells
// the user it is done whatever the dialog ends with.
void ClearAlerts(unsigned controlId)
{
    if (controlId != kClearAlertsButton)
        return;
    LoadAlerts();
    g_Alerts.Clear();
    SaveAlerts();
    AfxMessageBox("I will no longer alert you to new email.", MB_OK);
}

// After OK: a name typed as the notify address becomes its mail address
// through the address books. A translation that gives nothing (no book
// could be read) keeps what was typed rather than lose it.
void TranslateNotifyAddress()
{
    for (int i = 0; i < g_PlugInDescription.optionCount; ++i) {
        if (CString(kOptions[i].name) != "NotifyAddress")
            continue;
        CString& stored = g_PlugInSettings.m_Texts[static_cast<size_t>(i)];
        CString typed = stored;
        typed.TrimLeft();
        typed.TrimRight();
        stored = typed;
        if (typed.IsEmpty())
            return;
        CString dir = g_PlugIn.m_strInstallDir;
        if (!dir.IsEmpty() && dir.Right(1) != "\\" && dir.Right(1) != "/")
            dir += "\\";
        CString file = dir + "OutlookExpressExport.CDF";
        CString own = g_PlugIn.m_strSenderName;
        CString address = AddressBook::TranslateNameToEmail(typed, g_PlugIn.m_strMailUser,
                                                            g_PlugIn.m_strMailPassword, own, file, g_PlugIn.m_pLog);
        if (!address.IsEmpty())
            stored = address;
        return;
    }
}

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Chimavo",
    kRows.data(),
    kAlertRowCount,
    PLUGIN_INFO_ROWS_ALL_NEGATIVE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    true,  // carries a grammar dictionary
    true,  // keeps the attachment list
    true,  // takes the sender's name
    0,     // "-Active" default
    kOptions,
    static_cast<int>(sizeof(kOptions) / sizeof(kOptions[0])),
    ClearAlerts,
    TranslateNotifyAddress,
};

// One alert request, or one incoming mail to check: built by the export, run
// once, destroyed.
class CAlertRequest {
public:
    CAlertRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRequester(requester), m_nLinkIndex(linkIndex), m_pLinks(links), m_nFifo(fifo)
    {
    }

    int Run();

private:
    int RunRequest();
    int CheckMail();
    bool Reply(const CString& text);
    CString Requester() const { return m_pRequester ? *m_pRequester : CString(); }

    CPlugIn& m_PlugIn;
    CString* m_pRequester;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    int m_nFifo;
    AlertReading m_Reading;
    CString m_strStatus;
};

int CAlertRequest::Run()
{
    g_PlugInSettings.Load();
    LoadAlerts();
    if (!m_pLinks || m_pLinks->empty())
        return CheckMail();
    return RunRequest();
}

int CAlertRequest::RunRequest()
{
    if (!ReadAlertRequest(m_pLinks, m_Reading))
        return 0;

    m_strStatus = CTime::GetCurrentTime().Format("%c : ") + "Alert";
    if (m_Reading.m_bStop)
        m_strStatus += "stop ";
    m_strStatus += " request from: " + m_PlugIn.m_strSenderName + "(" + Requester() + ") Affecting all messages";
    if (m_Reading.m_bSender)
        m_strStatus += " from " + m_Reading.m_strSender;
    if (m_Reading.m_bText)
        m_strStatus += " containing " + m_Reading.m_strText;
    m_strStatus += ".\r\n.\r\n.\r\n";
    m_PlugIn.Log(m_strStatus);

    if (m_PlugIn.m_bTestMode) {
        int index = m_PlugIn.m_nTestIndex;
        int count = static_cast<int>(sizeof(kExpectedResults) / sizeof(kExpectedResults[0]));
        return index >= 0 && index < count ? kExpectedResults[index] : 0;
    }

    g_strAnsweredMail = MailKey(Requester());
    if (RefuseUntrustedRequester(m_PlugIn, m_pRequester, "An alert request."))
        return 1;
    const int criteria = m_Reading.Criteria();
    const CString& sender = m_Reading.m_strSender;
    const CString& text = m_Reading.m_strText;
    CString answer;
    if (m_Reading.m_bStop) {
        // Without criteria a stop request ends every alert.
        int removed = g_Alerts.Remove(m_Reading.m_bSender ? &sender : nullptr, m_Reading.m_bText ? &text : nullptr);
        SaveAlerts();
        switch (criteria) {
        case 0:
            answer = "I will no longer alert you to new email.";
            break;
        case 1:
            answer.Format("I will no longer alert you to messages from '%s'.", (LPCTSTR)sender);
            break;
        case 2:
            answer.Format("I will no longer alert you to messages containing '%s'.", (LPCTSTR)text);
            break;
        default:
            answer.Format("I will no longer alert you to messages from '%s' containing '%s'.", (LPCTSTR)sender,
                          (LPCTSTR)text);
            break;
        }
        if (removed == 0)
            answer += " (No such alert was set.)";
    } else if (criteria == 0) {
        // Neither a sender nor a text: such an alert would forward every
        // incoming mail, so nothing is stored.
        answer = "You asked me to alert you to all incoming messages.";
    } else {
        AlertEntry entry;
        entry.m_strSender = sender;
        entry.m_strText = text;
        if (m_PlugIn.m_nInterfaceMode == MODE_DESKTOP &&
            AfxMessageBox("Would you like me to notify you here, on the screen?", MB_YESNO) == IDYES)
            entry.m_nMethod = 1;
        bool added = g_Alerts.Add(entry);
        if (added) {
            SaveAlerts();
            CString notify = g_PlugInSettings.GetText("NotifyAddress");
            notify.TrimLeft();
            notify.TrimRight();
            if (notify.IsEmpty() && entry.m_nMethod == 0) {
                for (int i = 0; i < g_PlugInDescription.optionCount; ++i)
                    if (CString(kOptions[i].name) == "NotifyAddress")
                        g_PlugInSettings.m_Texts[static_cast<size_t>(i)] = Requester();
                g_PlugInSettings.Save();
            }
        }
        switch (criteria) {
        case 1:
            answer.Format("You asked me to alert you to all messages from '%s'.", (LPCTSTR)sender);
            break;
        case 2:
            answer.Format("You asked me to alert you to all messages containing '%s'.", (LPCTSTR)text);
            break;
        default:
            answer.Format("You asked me to alert you to messages from '%s' containing '%s'.", (LPCTSTR)sender,
                          (LPCTSTR)text);
            break;
        }
        if (!added) {
            CString full;
            full.Format(" I cannot keep more than %d alerts: this one was not set.", int(CAlertList::MAX_ALERTS));
            answer += full;
        }
    }
    return Reply(answer) ? 1 : 0;
}

// True once the answer went out: the request counts as handled then,
// whatever fails after it, so that the host does not answer a second time.
bool CAlertRequest::Reply(const CString& text)
{
    bool sent = false;
    try {
        PlugInLogon();
        {
            CString subject = "Alert request...";
            CString body = text;
            CString to = Requester();
            MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, &to, &m_PlugIn.m_strMyName,
                                       m_PlugIn.m_nInterfaceMode);
            answer.Subject(&subject);
            answer.Text(&body);
        }
        sent = true;
        m_PlugIn.Services().LogOff();
    } catch (...) {
        m_PlugIn.Log("Chimavo: the alert request's answer could not be finished.\r\n");
    }
    return sent;
}

int CAlertRequest::CheckMail()
{
    const CString subject = m_PlugIn.m_strSubject;
    if (subject.Find("{vndLocalReq}") >= 0)
        return 0;
    CString myName = Lower(m_PlugIn.m_strMyName);
    if (!myName.IsEmpty() && Lower(subject).Find(myName) >= 0)
        return 0;
    // The request this plug-in just answered is no alert of its own, nor is a
    // request to the assistant by its name: forwarding it would keep the host
    // from answering it.
    if (MailKey(Requester()) == g_strAnsweredMail)
        return 0;
    if (!myName.IsEmpty() && Lower(m_PlugIn.m_strRequestText).Find(myName) >= 0)
        return 0;
    // Its own forwards (and the assistant's other answers) come from the
    // assistant: alerting on them would loop.
    if (!myName.IsEmpty() && Lower(m_PlugIn.m_strSenderName) == myName)
        return 0;
    CString notify = g_PlugInSettings.GetText("NotifyAddress");
    notify.TrimLeft();
    notify.TrimRight();
    if (!notify.IsEmpty() && Lower(Requester()) == Lower(notify) && subject.Left(4) == "FW: ")
        return 0;

    CString key = m_PlugIn.m_strSenderName + "**" + Requester();
    unsigned methods = g_Alerts.Match(key, m_PlugIn.m_strRequestText, subject);
    if (methods == 0)
        return 0;
    if (notify.IsEmpty())
        return 0;  // nowhere to send the alert

    // Both methods go to the notify address alike: the mail is forwarded once.
    bool sent = false;
    try {
        PlugInLogon();
        {
            CString fwSubject = "FW: " + subject;
            CString text = "From: " + m_PlugIn.m_strSenderName + " (" + Requester() + ")\r\n------\r\n" +
                           m_PlugIn.m_strRequestText;
            MAPIOutgoingMessage forward(&g_PlugInMapi, m_PlugIn.m_pLog, &notify, &m_PlugIn.m_strMyName,
                                        m_PlugIn.m_nInterfaceMode);
            forward.Subject(&fwSubject);
            forward.Text(&text);
            auto* files = static_cast<CZLMMapiFile*>(const_cast<void*>(m_PlugIn.m_pAttachments));
            if (files && files->GetSize() > 0)
                forward.Attach(files);
        }
        sent = true;
        m_PlugIn.Services().LogOff();
    } catch (...) {
        m_PlugIn.Log("Chimavo: an alert's forward could not be finished.\r\n");
    }
    return sent ? 1 : 0;
}

extern "C" int Chimavo(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequestCatchAll<CAlertRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}
