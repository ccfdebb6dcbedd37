// The Tulavo plug-in: answers questions about a person in the user's address
// books (a phone number, an address, an e-mail address) with every matching
// entry of the global address list and of the export file.
#include "plugin_module.h"
#include "request_trust.h"

#include "action_rows.h"
#include "lookup_answer.h"
#include "lookup_reading.h"
#include "reply/reply.h"

namespace {

constexpr auto kRows = ActionRowsOf(kLookupRows, "Tulavo");

const unsigned kTestSentences[] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                   23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35};
// The reading each test sentence must give.
const int kExpectedCodes[] = {17, 33, 33, 65, 5, 3, 5, 3, 1, 17, 33, 33, 1,
                              9,  9,  9,  129, 17, 33, 33, 5, 3, 1, 17, 33, 33};

CString ExportFilePath()
{
    CString dir = g_PlugIn.m_strInstallDir;
    if (!dir.IsEmpty() && dir.Right(1) != "\\" && dir.Right(1) != "/")
        dir += "\\";
    return dir + "OutlookExpressExport.CDF";
}

} // namespace

extern const PlugInDescription g_PlugInDescription = {
    "Tulavo",
    kRows.data(),
    kLookupRowCount,
    PLUGIN_INFO_ROWS_ALL_NEGATIVE,
    kTestSentences,
    static_cast<int>(sizeof(kTestSentences) / sizeof(kTestSentences[0])),
    nullptr,
    0,
    false,  // carries a grammar dictionary
    false,  // keeps the attachment list
    true,  // takes the sender's name
    0,     // "-Active" default
    nullptr,
    0,
};

// One address-book request: built by the export, run once, destroyed.
class CAddressRequest {
public:
    CAddressRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRequester(requester), m_nLinkIndex(linkIndex), m_pLinks(links), m_nFifo(fifo)
    {
    }

    int Run();

private:
    bool Answer();

    CPlugIn& m_PlugIn;
    CString* m_pRequester;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    int m_nFifo;
    LookupReading m_Reading;
    CString m_strRecipient;
    int m_nMode = MODE_EMAIL;
    CString m_strLog;
};

int CAddressRequest::Run()
{
    if (!ReadLookupRequest(m_pLinks, m_Reading))
        return 0;

    m_strRecipient = m_pRequester ? *m_pRequester : CString();
    m_nMode = m_PlugIn.m_nInterfaceMode;
    if (!m_Reading.m_strRecipient.IsEmpty() && !m_PlugIn.m_bTestMode) {
        CString file = ExportFilePath();
        CString own = m_strRecipient;
        CString address = AddressBook::TranslateNameToEmail(m_Reading.m_strRecipient, m_PlugIn.m_strMailUser,
                                                            m_PlugIn.m_strMailPassword, own, file, m_PlugIn.m_pLog);
        if (AddressBook::IsAddressToSendTo(address)) {
            m_strRecipient = address;
            m_nMode = MODE_EMAIL;
        }
    }

    m_strLog = CTime::GetCurrentTime().Format("%c") + " : Address book entry information request for \"" +
               m_Reading.m_strName + "\" by : " + m_PlugIn.m_strSenderName + "(" + m_strRecipient + ").\r\n";
    m_PlugIn.Log(m_strLog);

    if (m_PlugIn.m_bTestMode) {
        int index = m_PlugIn.m_nTestIndex;
        int count = static_cast<int>(sizeof(kExpectedCodes) / sizeof(kExpectedCodes[0]));
        return index >= 0 && index < count && m_Reading.Code() == kExpectedCodes[index] ? 1 : 0;
    }
    // The refusal goes to whoever asked, never to the person the request named.
    if (RefuseUntrustedRequester(m_PlugIn, m_pRequester, m_Reading.m_strName))
        return 1;
    return Answer() ? 1 : 0;
}

// True once the answer went out: the request counts as handled then,
// whatever fails after it, so that the host does not answer a second time.
bool CAddressRequest::Answer()
{
    bool sent = false;
    try {
        PlugInLogon();
        GAL_O_AddressBook gal;
        bool galLoaded = gal.Load(m_PlugIn.m_strMailUser, m_PlugIn.m_strMailPassword);
        CDF_OE_AddressBook cdf;
        CString file = ExportFilePath();
        bool cdfLoaded = cdf.Load(file);
        if (!cdfLoaded && !cdf.GetErrorText().IsEmpty())
            m_PlugIn.Log(cdf.GetErrorText());

        std::vector<AddressBook*> books = {galLoaded ? &gal : nullptr, cdfLoaded ? &cdf : nullptr};
        CString text;
        if (!BuildLookupText(m_Reading, books, text))
            text = NotFoundText(m_Reading.m_strName, m_strLog);
        {
            CString subject = "Address Book Lookup.";
            MAPIOutgoingMessage answer(&g_PlugInMapi, m_PlugIn.m_pLog, &m_strRecipient, &m_PlugIn.m_strMyName,
                                       m_nMode);
            answer.Subject(&subject);
            answer.Text(&text);
        }
        sent = true;
        m_PlugIn.Services().LogOff();
    } catch (...) {
        m_PlugIn.Log("Tulavo: the address book answer could not be finished.\r\n");
    }
    return sent;
}

extern "C" int Tulavo(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
{
    return RunPlugInRequest<CAddressRequest>(g_PlugIn, requester, linkIndex, links, fifo);
}
