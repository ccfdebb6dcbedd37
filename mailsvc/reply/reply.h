// MAPIOutgoingMessage: the answer every action builds. The caller creates it
// on its stack with the requester and the interface mode, sets subject and
// text, adds attachments and lets it go out of scope: the destructor
// delivers it the way the request came - as a mail (mode 0), in a message
// window on the desktop (1), or as a web message (2: the user named after
// "Web Request"; 9: the user named by the requester).
#pragma once

#include "fx/fx.h"
#include "mapi/zlm_mapi.h"

#include <vector>

class MAPIOutgoingMessage {
public:
    MAPIOutgoingMessage(CZLMMapi* session, CString* log, CString* to, CString* from, int mode);
    ~MAPIOutgoingMessage();
    // A copy would deliver the answer a second time.
    MAPIOutgoingMessage(const MAPIOutgoingMessage&) = delete;
    MAPIOutgoingMessage& operator=(const MAPIOutgoingMessage&) = delete;

    void Subject(CString* subject);
    void Text(CString* text);
    void Attach(CString path);
    // The file at path, carried in a mail under the given name (a web copy's
    // stored name is not the one it came with).
    void Attach(CString path, CString name);
    // Mail: the list becomes the mail's attachments (paths given with
    // Attach(CString) replace it). Other modes: each file's path is attached.
    void Attach(CZLMMapiFile* list);
    CZLMMapiMessage* GetMessagePtr() { return &m_Message; }
    // Mail that a person wrote (the web pages' forms): it goes out without
    // the automatic mark that the assistant's own answers carry.
    void WrittenByUser() { m_bAutomatic = false; }

private:
    void DeliverMode0();
    void DeliverMode1();
    void DeliverMode2();
    void DeliverMode9();
    void DeliverWeb(const CString& user, bool closeOlder);
    void Log(const char* text);

    CString m_strTo;
    CZLMMapiRecipient m_Recipients;
    CString m_strFrom;
    CZLMMapiRecipient m_Originator;
    CString m_strSubject;
    CString m_strText;
    CZLMMapiMessage m_Message;
    std::vector<CString> m_AttachmentPaths;
    std::vector<CString> m_AttachmentNames;  // beside each path; "" for its own name
    CZLMMapiFile m_Files;
    CZLMMapi* m_pSession;
    CString* m_pLog;
    int m_nMode;
    int m_nMailMode;
    bool m_bAutomatic = true;
};
