// The start the picture and sound requests share: read the request, send the
// answer to the person it names (always by mail), and log what is sent.
#pragma once

#include "plugin_module.h"
#include "recipient_address.h"

#include <vector>

class CMediaRequest {
public:
    CMediaRequest(CPlugIn& plugIn, CString* requester, int linkIndex, std::vector<WordLinkage>* links, int fifo)
        : m_PlugIn(plugIn), m_pRecipient(requester), m_nLinkIndex(linkIndex), m_pLinks(links), m_nFifo(fifo)
    {
    }

protected:
    using ReadRequest = bool (*)(const std::vector<WordLinkage>* links, CString& recipient);

    // False when read does not take the request. Otherwise mode is how the
    // answer goes, and the log has "<time> : <action><sender>(<recipient>).".
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
        return true;
    }

    CPlugIn& m_PlugIn;
    CString* m_pRecipient;
    int m_nLinkIndex;
    std::vector<WordLinkage>* m_pLinks;
    int m_nFifo;
    CString m_strRecipient;
};
