#include "summary_page.h"

#include "plugin_module.h"
#include "relvane_pages.h"
#include "options/wmoptions.h"
#include "webmsg/htmltext.h"
#include "webmsg/webfiles.h"

#include <cctype>
#include <cstdlib>
#include <memory>

namespace {

// Simple MAPI read flag: the whole message, marked read.
const ULONG kReadAll = 0;

} // namespace

void CSummaryPage::AddEntry(const CString& text, const CString& messageID)
{
    m_Entries.push_back(text);
    m_MessageIDs.push_back(messageID);
}

int CSummaryPage::EntryIndexOf(const CString& action) const
{
    int at = action.Find("USRBTN1");
    if (at < 0)
        return -1;
    int end = action.Find("=Read", at);
    if (end < 0)
        return -1;
    CString digits = action.Mid(at + 7, end - at - 7);
    // A short run of digits only: anything else names no entry.
    if (digits.IsEmpty() || digits.GetLength() > 9)
        return -1;
    for (int i = 0; i < digits.GetLength(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(digits[i])))
            return -1;
    long index = std::strtol(digits, nullptr, 10);
    return index < GetEntryCount() ? static_cast<int>(index) : -1;
}

CString CSummaryPage::BodyMarkup()
{
    CString markup;
    for (size_t i = 0; i < m_Entries.size(); ++i) {
        // The link's fields are joined with "?", which the site splits a
        // query at; the user id is written URL-escaped so it cannot add one.
        CString link;
        link.Format(" <a href = \"AssistantReply.kvx?req=FullMsgRead?UserID=%s?MessageID=%d?USRBTN1%d=Read\">"
                    "[more...]</a><br>------<br>",
                    webmsg::EscapeURLText(m_strUserID).c_str(), GetMessageID(), static_cast<int>(i));
        markup += CString(webmsg::BodyToHTML(m_Entries[i]).c_str()) + link;
    }
    return markup;
}

void CSummaryPage::Close(CString reason)
{
    CHTMLMsg::Close(reason);
}

void CSummaryPage::ExecuteAction(CString action)
{
    if (action.Find("USRBTN1") < 0) {
        CHTMLMsg::ExecuteAction(action);
        return;
    }
    int index = EntryIndexOf(action);
    if (index < 0)
        return;
    CString id = GetEntryID(index);
    PlugInLogon();
    CZLMMapiMessage message;
    if (g_PlugInMapi.ReadMail(id, kReadAll, message, nullptr) == 0) {
        auto page = std::make_unique<CMessagePage>();
        page->m_strUserID = m_strUserID;
        page->m_strSubject = message.GetSubject();
        CTime received;
        message.GetTimeReceived(received);
        page->m_strDate = received.Format("%c");
        page->m_strPlainText = message.GetNoteText();
        page->m_strBody = message.GetNoteText();
        CZLMMapiRecipient& from = message.GetOriginator();
        if (from.GetSize() > 0) {
            from.SetPosition(0);
            page->m_strSender = from.GetName();
            page->m_strSpare = from.GetAddress();
        }
        CZLMMapiFile& files = message.GetFiles();
        const CString tag = webmsg::NewWebFileTag();
        for (ULONG i = 0; i < files.GetSize(); ++i) {
            files.SetPosition(i);
            CString name;
            name.Format("%s-%s", (LPCTSTR)tag, (LPCTSTR)files.GetFileName());
            if (webmsg::CopyWebFile(files.GetPathName(), webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, name)))
                page->m_AttachmentNames.AddTail(name);
        }
        for (ULONG i = files.GetSize(); i-- > 0;) {
            files.SetPosition(i);
            CString path = files.GetPathName();
            if (!path.IsEmpty())
                DeleteFileA(path);
        }
        g_HTMLMgr.AttachMessage(page.release());
    }
    g_PlugIn.Services().LogOff();
}
