// The web pages of forwarded messages: the message itself with its [reply] and
// [forward] links, and the form that answers or forwards it. The summary
// plug-in shows its messages with the same pages.
#pragma once

#include "recipient_address.h"
#include "webmsg/htmlmsg.h"

// The reply address of a page is kept in CHTMLMsg::m_strSpare.
class CMessagePage : public CHTMLMsg {
public:
    ~CMessagePage() override = default;
    void ExecuteAction(CString action) override;

    CString m_strPlainText;  // the forwarded text without the links

protected:
    // The forwarded text, escaped, followed by the [reply] and [forward] links.
    CString BodyMarkup() override;
};

class CReplyFormPage : public CHTMLMsg {
public:
    ~CReplyFormPage() override = default;
    void ExecuteAction(CString action) override;

protected:
    // The body is the form itself, its filled-in values escaped when it was built.
    CString BodyMarkup() override;
};

// The value of the form field "name=" up to the next "|"; empty when absent.
CString FormField(const CString& form, const char* name);
