#include "relvane_pages.h"

#include "plugin_module.h"
#include "options/wmoptions.h"
#include "reply/reply.h"
#include "webmsg/htmltext.h"
#include "webmsg/webfiles.h"

#include <memory>

namespace {
const UINT IDR_REPLY_FORM = 189;

CString Escaped(const CString& text)
{
    return CString(webmsg::EscapeHTML(text).c_str());
}
}

CString FormField(const CString& form, const char* name)
{
    int at = form.Find(name);
    if (at < 0)
        return CString();
    CString rest = form.Mid(at + static_cast<int>(strlen(name)));
    int end = rest.Find('|');
    return end < 0 ? rest : rest.Left(end);
}

void CMessagePage::ExecuteAction(CString action)
{
    int at = action.Find("USRBTN1=Msg");
    if (at < 0) {
        CHTMLMsg::ExecuteAction(action);
        return;
    }
    bool forward = action.Mid(at + 11, 1) == "F";
    CString address = forward ? CString() : m_strSpare;
    CString subject = (forward ? "FW: " : "RE: ") + m_strSubject;
    CString title = forward ? "Forward Message" : "Reply to Message";

    CString quoted;
    quoted.Format("-- Original Message --\nFrom: %s  On: %s\n-------------\n%s", (LPCTSTR)m_strSpare,
                  (LPCTSTR)m_strDate, (LPCTSTR)m_strPlainText);
    quoted.Replace("\n", "{_cr_}");

    // The values come from a mail: escaped, and filled in one pass so that none
    // of them can bring a placeholder of its own.
    const webmsg::Placeholders values = {
        {"address", static_cast<const char*>(Escaped(address))},
        {"subject", static_cast<const char*>(Escaped(subject))},
        {"body", static_cast<const char*>(Escaped(quoted))},
        {"checkedATT", forward ? "checked" : ""},
    };
    CString form(webmsg::FillPlaceholders(static_cast<const char*>(LoadPlugInHtml(IDR_REPLY_FORM)), values).c_str());
    form.Replace("\n", "{_cr_}");

    auto page = std::make_unique<CReplyFormPage>();
    page->m_strUserID = m_strUserID;
    page->m_strSubject = title;
    page->m_strDate = "Current";
    page->m_strBody = form;
    page->m_strSender = m_strSender;
    page->m_strSpare = m_strSpare;
    // The form's own copies of the attachments: the old name's part after its
    // first "-" under a tag of the form's own.
    const CString tag = webmsg::NewWebFileTag();
    for (POSITION pos = m_AttachmentNames.GetHeadPosition(); pos;) {
        CString old = m_AttachmentNames.GetNext(pos);
        CString name;
        name.Format("%s-%s", (LPCTSTR)tag, (LPCTSTR)webmsg::WebFileOriginalName(old));
        if (webmsg::CopyWebFile(webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, old),
                        webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, name)))
            page->m_AttachmentNames.AddTail(name);
    }
    g_HTMLMgr.AttachMessage(page.release());
}

CString CMessagePage::BodyMarkup()
{
    // Fields joined with "?", which the site splits a query at; the user id
    // URL-escaped so it cannot add a field of its own.
    CString link;
    link.Format("AssistantReply.kvx?req=FullMsgRead?UserID=%s?MessageID=%d?USRBTN1=Msg",
                webmsg::EscapeURLText(m_strUserID).c_str(), GetMessageID());
    return CString(webmsg::BodyToHTML(m_strPlainText).c_str()) + "<br><a href=\"" + link +
           "Reply\">[reply]</a> <a href=\"" + link + "Forward\">[forward]</a>";
}

CString CReplyFormPage::BodyMarkup()
{
    return CString(webmsg::MarkupToHTML(m_strBody).c_str());
}

void CReplyFormPage::ExecuteAction(CString action)
{
    if (action.Find("EmAddr=") < 0) {
        CHTMLMsg::ExecuteAction(action);
        return;
    }
    // The web user's own address is not known here: "me" names no one.
    CString address = TranslateRecipient(FormField(action, "EmAddr="), CString());
    CString subject = FormField(action, "Subjt=");
    bool attach = action.Find("ATTch=") >= 0;
    CString body = FormField(action, "MBody=");

    if (address.IsEmpty()) {
        // Nothing to send to: say so rather than hand the mail system no recipient.
        g_PlugIn.Log(CTime::GetCurrentTime().Format("%c") + " : I could not find an e-mail address for '" +
                     FormField(action, "EmAddr=") + "'; nothing was sent.\r\n");
        CHTMLMsg::ExecuteAction("ClosE");
        return;
    }
    PlugInLogon();
    {
        MAPIOutgoingMessage answer(&g_PlugInMapi, g_PlugIn.m_pLog, &address, &address, MODE_EMAIL);
        answer.WrittenByUser();  // the web user's own reply or forward
        answer.Subject(&subject);
        answer.Text(&body);
        if (attach)
            for (POSITION pos = m_AttachmentNames.GetHeadPosition(); pos;)
            {
                const CString stored = m_AttachmentNames.GetNext(pos);
                answer.Attach(webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, stored),
                              webmsg::WebFileOriginalName(stored));
            }
    }
    g_PlugIn.Services().LogOff();
    CHTMLMsg::ExecuteAction("ClosE");
}
