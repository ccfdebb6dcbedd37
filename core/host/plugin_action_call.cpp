// CPluginActionCall: pushes one request into a plug-in and calls one action row.
#include "plugin_table.h"

#include "assistant_settings.h"

CString CutTriggerWord(const CString& triggerWord)
{
    int point = triggerWord.Find('.');
    return point < 0 ? triggerWord : triggerWord.Left(point);
}

CPluginActionCall::CPluginActionCall(const CString& triggerWord, const CString& linkLabel, const CString& requester,
                                     const CString& requesterName, const CString& messageText,
                                     const CString& sentenceText, const CString& subject, int directCall,
                                     PluginActionProc pfnAction, SetUserInfoProc pfnSetUserInfo,
                                     CZLMMapiFile* pAttachments, std::vector<WordLinkage>* pLinks,
                                     CStringList* pWordList, int shortReplyLength, int interfaceMode)
    : m_strTriggerWord(triggerWord), m_strLinkLabel(linkLabel), m_strRequester(requester),
      m_strRequesterName(requesterName), m_strMessageText(messageText), m_strSentenceText(sentenceText),
      m_strSubject(subject), m_nDirectCall(directCall), m_pfnAction(pfnAction), m_pfnSetUserInfo(pfnSetUserInfo),
      m_pAttachments(pAttachments), m_pLinks(pLinks), m_pWordList(pWordList),
      m_nShortReplyLength(shortReplyLength), m_nInterfaceMode(interfaceMode)
{
}

bool CPluginActionCall::LabelMatches(const CString& rowLabel, const CString& linkLabel, int passFlag)
{
    CString cut = linkLabel.GetLength() > rowLabel.GetLength() ? linkLabel.Left(rowLabel.GetLength()) : linkLabel;
    if (passFlag)
        cut = "*" + cut;
    return cut == rowLabel;
}

bool CPluginActionCall::WordMatches(const CString& triggerWord, const CString& word)
{
    int n = triggerWord.GetLength();
    CString w = word.GetLength() > n ? word.Left(n) : word;
    w.MakeLower();
    return triggerWord.Left(w.GetLength()) == w;
}

void CPluginActionCall::Send(const void* value, int code)
{
    if (m_pfnSetUserInfo)
        m_pfnSetUserInfo(value, code);
}

void CPluginActionCall::SendRequest(bool parsed)
{
    // Settings are read fresh for every call; temporaries live for the call only.
    CString user = g_Settings.GetUNM();
    CString password = g_Settings.GetUPM();
    CString myName = g_Settings.GetMyName();
    CString zip = g_Settings.GetZipPassword();
    CString unzip = g_Settings.GetUnZipPassword();
    CString instDir = g_Settings.GetInstDir();
    CString noSentence;
    CString mode, shortReply;
    mode.Format("%d", m_nInterfaceMode);
    shortReply.Format("%d", m_nShortReplyLength);

    Send(&user, USERINFO_MAIL_USER);
    Send(&password, USERINFO_MAIL_PASSWORD);
    Send(&myName, USERINFO_MY_NAME);
    Send(&g_strLog, USERINFO_LOG);
    Send(parsed ? m_pWordList : nullptr, USERINFO_WORD_LIST);
    Send(&m_strMessageText, USERINFO_REQUEST_TEXT);
    Send(parsed ? &m_strSentenceText : &noSentence, USERINFO_SENTENCE_TEXT);
    Send(&m_strSubject, USERINFO_SUBJECT);
    Send(&zip, USERINFO_ZIP_PASSWORD);
    Send(&unzip, USERINFO_UNZIP_PASSWORD);
    Send(&instDir, USERINFO_INSTALL_DIR);
    Send(m_pAttachments, USERINFO_ATTACHMENTS);
    Send(&m_strRequesterName, USERINFO_SENDER_NAME);
    Send(static_cast<const char*>(mode), USERINFO_INTERFACE_MODE);
    Send(static_cast<const char*>(shortReply), USERINFO_SHORT_REPLY_LENGTH);
    Send("0", USERINFO_ZERO);
}

int CPluginActionCall::Run(int passFlag)
{
    if (!m_pfnAction)
        return 0;
    int fifo = g_Settings.GetCheckFIFO();

    if (!m_pWordList) {
        // The whole request without a parse: only the rows marked for this pass.
        bool qualifies = passFlag ? m_strLinkLabel == ACTION_LABEL_TENTATIVE_PASS
                                  : m_strLinkLabel == ACTION_LABEL_FINAL_PASS;
        if (!qualifies)
            return 0;
        SendRequest(false);
        // Not wrapped: an exception goes on to the caller.
        return m_pfnAction(&m_strRequester, -1, m_pLinks, fifo);
    }

    if (!m_pLinks)
        return 0;
    for (size_t i = 0; i < m_pLinks->size(); ++i) {
        const WordLinkage& link = (*m_pLinks)[i];
        if (!LabelMatches(m_strLinkLabel, link.m_strLinkLabel, passFlag))
            continue;
        SendRequest(true);
        try {
            int index = static_cast<int>(i);
            if (m_nDirectCall)
                return m_pfnAction(&m_strRequester, index, m_pLinks, fifo);
            if (WordMatches(m_strTriggerWord, link.m_strLeftWord) ||
                WordMatches(m_strTriggerWord, link.m_strRightWord)) {
                if (m_pfnAction(&m_strRequester, index, m_pLinks, fifo))
                    return 1;
            }
        } catch (...) {
            g_strLog += PLUGIN_CATCH_LOG_LINE;
        }
    }
    return 0;
}
