// The start the picture and sound requests share: read the request, send the
// answer to the person it names (always by mail), log what is sent, and
// refuse a mail's requester whom the accepted-sender rule does not trust.
#pragma once

#include "plugin_module.h"
#include "recipient_address.h"
#include "request_trust.h"

#include <vector>

class CMediaRequest {
public:
    CMediaRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRequester(requester), m_pRecipient(requester), m_nLinkIndex(linkIndex),
          m_pLinks(links), m_nFifo(fifo)
    {
    }

    // Set when Start refused the request: the refusal went to the requester,
    // so the request counts as handled.
    bool Refused() const { return m_bRefused; }

protected:
    using ReadRequest = bool (*)(const std::vector<WordLinkage>* links, CString& recipient);

    // False when read does not take the request, or when it came by mail
    // from a requester who may not have a picture or recording sent (then
    // Refused() is set and the refusal went to the requester, never to a
    // person the request names). Otherwise mode is how the answer goes, and
    // the log has "<time> : <action><sender>(<recipient>).".
    bool Start(ReadRequest read, const char* action, int& mode)
    {
        CString name;
        if (!read(m_pLinks, name))
            return false;
        mode = m_PlugIn.m_nInterfaceMode;
        if (!name.IsEmpty()) {
            CString address = TranslateRecipient(name, m_PlugIn.m_strSenderName);
            if (!address.IsEmpty()) {
                m_strRecipient = address;
                m_pRecipient = &m_strRecipient;
                mode = MODE_EMAIL;  // a named person always gets it by mail
            }
        }
        CString recipient = m_pRecipient ? *m_pRecipient : CString();
        CString line = CTime::GetCurrentTime().Format("%c") + " : " + action + m_PlugIn.m_strSenderName + "(" +
                       recipient + ")";
        if (m_PlugIn.m_nShortReplyLength != -1)
            line += ". This address does not accept attachments";
        line += ".\r\n";
        m_PlugIn.Log(line);
        // The requester, not whom the request names: m_pRecipient may point
        // elsewhere by now.
        if (!m_PlugIn.m_bTestMode && RefuseUntrustedRequester(m_PlugIn, m_pRequester, action + recipient)) {
            m_bRefused = true;
            return false;
        }
        return true;
    }

    CPlugIn& m_PlugIn;
    CString* m_pRequester;  // who asked
    CString* m_pRecipient;  // who gets the answer
    bool m_bRefused = false;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    int m_nFifo;
    CString m_strRecipient;
};
