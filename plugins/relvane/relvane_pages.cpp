#include "relvane_pages.h"

#include "plugin_module.h"
#include "options/wmoptions.h"
#include "reply/reply.h"
#include "webmsg/webfiles.h"

#include <memory>

namespace {
const UINT IDR_REPLY_FORM = 189;
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

    CString form = LoadPlugInHtml(IDR_REPLY_FORM);
    form.Replace("@address@", address);
    form.Replace("@subject@", subject);
    form.Replace("@body@", quoted);
    form.Replace("@checkedATT@", forward ? "checked" : "");
    form.Replace("\n", "{_cr_}");

    auto page = std::make_unique<CReplyFormPage>();
    page->m_strUserID = m_strUserID;
    page->m_strSubject = title;
    page->m_strDate = "Current";
    page->m_strBody = form;
    page->m_strSender = m_strSender;
    page->m_strSpare = m_strSpare;
    // The form's own copies of the attachments: the old name's part after its
    // first "-" under the form's number.
    for (POSITION pos = m_AttachmentNames.GetHeadPosition(); pos;) {
        CString old = m_AttachmentNames.GetNext(pos);
        int dash = old.Find('-');
        CString name;
        name.Format("%d-%s", page->GetMessageID(), (LPCTSTR)(dash >= 0 ? old.Mid(dash + 1) : old));
        if (webmsg::CopyWebFile(webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, old),
                        webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, name)))
            page->m_AttachmentNames.AddTail(name);
    }
    g_HTMLMgr.AttachMessage(page.release());
}

void CReplyFormPage::ExecuteAction(CString action)
{
    if (action.Find("EmAddr=") < 0) {
        CHTMLMsg::ExecuteAction(action);
        return;
    }
    CString address = TranslateRecipient(FormField(action, "EmAddr="));
    CString subject = FormField(action, "Subjt=");
    bool attach = action.Find("ATTch=") >= 0;
    CString body = FormField(action, "MBody=");

    PlugInLogon();
    {
        MAPIOutgoingMessage answer(&g_PlugInMapi, g_PlugIn.m_pLog, &address, &address, MODE_EMAIL);
        answer.Subject(&subject);
        answer.Text(&body);
        if (attach)
            for (POSITION pos = m_AttachmentNames.GetHeadPosition(); pos;)
                answer.Attach(webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, m_AttachmentNames.GetNext(pos)));
    }
    g_PlugIn.Services().LogOff();
    CHTMLMsg::ExecuteAction("ClosE");
}
