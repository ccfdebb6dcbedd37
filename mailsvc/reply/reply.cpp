#include "reply/reply.h"

#include "files/fileutil.h"
#include "fx/fxwin.h"
#include "fx/msgbox.h"
#include "fx/time.h"
#include "msgwnd/msgwnd.h"
#include "msgwnd/msgwnd_ids.h"
#include "options/wmoptions.h"
#include "reply/reply_rules.h"
#include "webmsg/htmlmsg.h"
#include "webmsg/webfiles.h"
#include "winmgr/winmgr.h"

#include <algorithm>

namespace {

// The library's own string (not the first of the resource chain: the main
// program may use the same number for something else).
CString LoadOwnString(UINT id)
{
    HMODULE self = nullptr;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCSTR>(&LoadOwnString), &self) ||
        !self)
        return "Error loading KVX.";
    char buf[512];
    int n = ::LoadStringA(self, id, buf, sizeof buf);
    return n > 0 ? CString(buf, n) : CString();
}

CString NowText()
{
    return CTime::GetCurrentTime().Format("%c");
}

// Called inside a catch-all: the class layer throws its exceptions as heap
// objects, which the handler must free.
void FreeCaughtException()
{
    try {
        throw;
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
}

} // namespace

MAPIOutgoingMessage::MAPIOutgoingMessage(CZLMMapi* session, CString* log, CString* to, CString* from, int mode)
    : m_pSession(session), m_pLog(log), m_nMode(mode), m_nMailMode(0)
{
    if (!log) {
        AfxMessageBox("Param2 must not be NULL!", MB_OK);
        return;
    }
    try {
        m_strTo = to ? *to : CString();
        m_strFrom = from ? *from : CString();
        m_nMode = reply::DeliveryMode(m_strTo, mode);
        m_nMailMode = m_nMode == reply::kModeMail ? 1 : 0;
    } catch (...) {
        FreeCaughtException();
        Log("  Message create error caught.\r\n");
    }
}

MAPIOutgoingMessage::~MAPIOutgoingMessage()
{
    if (!m_pLog)
        return;
    try {
        switch (static_cast<unsigned>(m_nMode)) {
        case reply::kModeMail: DeliverMode0(); break;
        case reply::kModeDesktop: DeliverMode1(); break;
        case reply::kModeWeb: DeliverMode2(); break;
        case reply::kModeWebUser: DeliverMode9(); break;
        default: break;
        }
    } catch (...) {
        FreeCaughtException();
        // Each delivery logs its own failures; nothing may leave a destructor.
    }
}

void MAPIOutgoingMessage::Log(const char* text)
{
    if (m_pLog)
        *m_pLog += text;
}

void MAPIOutgoingMessage::Subject(CString* subject)
{
    if (subject)
        m_strSubject = *subject;
}

void MAPIOutgoingMessage::Text(CString* text)
{
    if (text)
        m_strText = *text;
}

void MAPIOutgoingMessage::Attach(CString path)
{
    Attach(path, CString());
}

void MAPIOutgoingMessage::Attach(CString path, CString name)
{
    try {
        m_AttachmentPaths.push_back(path);
        m_AttachmentNames.resize(m_AttachmentPaths.size());
        m_AttachmentNames.back() = name;
    } catch (...) {
        FreeCaughtException();
        Log("  Attachment error caught.\r\n");
    }
}

void MAPIOutgoingMessage::Attach(CZLMMapiFile* list)
{
    if (!list)
        return;
    try {
        if (m_nMailMode) {
            CZLMMapiFile copy(*list);
            m_Message.SetFiles(copy);
            return;
        }
        // A message window or web message shows the files themselves: each
        // file of the list joins the attachment paths, so that a forwarded
        // mail keeps its attachments on the desktop and the web as well.
        for (ULONG i = 0; i < list->GetSize(); ++i) {
            list->SetPosition(i);
            CString path = list->GetPathName();
            if (!path.IsEmpty())
                m_AttachmentPaths.push_back(path);
        }
    } catch (...) {
        FreeCaughtException();
        Log("  Attachment error caught.\r\n");
    }
}

void MAPIOutgoingMessage::DeliverMode0()
{
    try {
        m_Recipients.CreatePointer(1);
        m_Recipients.SetPosition(0);
        m_Recipients.SetName(m_strTo);
        m_Recipients.SetAddress(m_strTo);
        m_Recipients.SetRecipClass(MAPI_TO);
        m_Message.SetRecips(m_Recipients);

        m_Originator.CreatePointer(1);
        m_Originator.SetPosition(0);
        m_Originator.SetName(m_strFrom);
        m_Originator.SetAddress(m_strFrom);
        m_Originator.SetRecipClass(MAPI_ORIG);
        m_Message.SetOriginator(m_Originator);

        m_Message.SetSubject(m_strSubject);
        m_Message.SetNoteText(m_strText);
        // An answer is marked as sent by a machine, so that another
        // assistant or responder does not answer it in turn.
        if (m_bAutomatic)
            m_Message.SetMessageType(ZLM_MESSAGE_TYPE_AUTOMATIC);

        if (!m_AttachmentPaths.empty()) {
            m_Files.CreatePointer(static_cast<WORD>(std::min<size_t>(m_AttachmentPaths.size(), 0xFFFF)));
            for (ULONG i = 0; i < m_Files.GetSize(); ++i) {
                const CString& path = m_AttachmentPaths[i];
                m_Files.SetPosition(i);
                m_Files.SetPathName(path);
                const CString& name = i < m_AttachmentNames.size() ? m_AttachmentNames[i] : CString();
                m_Files.SetFileName(name.IsEmpty() ? GetFileName(path) + GetExtension(path) : name);
                m_Files.SetAttachmentPosition(0xFFFFFFFF);
                m_Files.SetFlags(0);
            }
            m_Message.SetFiles(m_Files);
        }

        ULONG result = m_pSession ? m_pSession->SendMail(m_Message, 0, nullptr) : MAPI_E_INVALID_SESSION;
        if (result != 0)
            Log(CMAPILogon::GetErrorText(result));
    } catch (...) {
        FreeCaughtException();
        Log("  Mail send error caught.\r\n");
    }
}

void MAPIOutgoingMessage::DeliverMode1()
{
    CMessageDlg* dlg = nullptr;
    try {
        const CString date = NowText();
        const CString title = LoadOwnString(1) + m_strFrom;
        CMessageAttachDlg* attachDlg = nullptr;
        if (m_AttachmentPaths.empty()) {
            dlg = new CMessageDlg;
        } else {
            attachDlg = new CMessageAttachDlg;
            dlg = attachDlg;
        }
        dlg->m_strSubject = m_strSubject;
        dlg->m_strDate = date;
        dlg->m_strBody = m_strText;
        dlg->m_strTitle = title;
        const UINT id = attachDlg ? IDD_ZLM_MESSAGE_ATTACH : IDD_ZLM_MESSAGE;
        if (!dlg->Create(id, g_WindowMgr.GetParent())) {
            Log("  Message window error: the window could not be created.\r\n");
            delete dlg;
            return;
        }
        if (attachDlg) {
            for (size_t i = 0; i < m_AttachmentPaths.size(); ++i)
                attachDlg->m_AttachList.InsertItem(1, m_AttachmentPaths[i], static_cast<int>(i) + 1);
            attachDlg->UpdateAttachmentIcons();
        }
        CMessageDlg* handed = dlg;
        dlg = nullptr;  // the window manager owns it from here on
        g_WindowMgr.AttachWindow(handed, 0);
    } catch (...) {
        FreeCaughtException();
        Log("  Message window error caught.\r\n");
        if (dlg) {
            if (dlg->m_hWnd)
                dlg->DestroyWindow();
            delete dlg;
        }
    }
}

void MAPIOutgoingMessage::DeliverMode2()
{
    DeliverWeb(reply::WebUser(m_strTo, reply::kModeWeb), false);
}

void MAPIOutgoingMessage::DeliverMode9()
{
    DeliverWeb(reply::WebUser(m_strTo, reply::kModeWebUser), true);
}

void MAPIOutgoingMessage::DeliverWeb(const CString& user, bool closeOlder)
{
    if (user.IsEmpty()) {
        // No page to show it on: say so rather than leave it with nobody.
        Log("  Web message refused: the request names no web user.\r\n");
        return;
    }
    CHTMLMsg* msg = nullptr;
    try {
        msg = new CHTMLMsg;
        msg->m_strUserID = user;
        msg->m_strSubject = m_strSubject;
        msg->m_strDate = NowText();
        msg->m_strBody = m_strText;
        msg->m_strSender = m_strFrom;
        msg->m_bCloseOlder = closeOlder;
        // Copies are named after a random tag of the message's own: no copy
        // overwrites a file that another message owns, and nobody can guess
        // the name of another user's copy.
        const CString tag = webmsg::NewWebFileTag();
        std::vector<CString> names;
        for (size_t i = 0; i < m_AttachmentPaths.size(); ++i) {
            const CString& path = m_AttachmentPaths[i];
            CString name = reply::WebCopyName(tag, path);
            if (std::find_if(names.begin(), names.end(), [&](const CString& n) { return n.CompareNoCase(name) == 0; }) !=
                names.end()) {
                // Two files of one name: the later one carries its position as well.
                name.Format("%s-%d-%s%s", static_cast<LPCTSTR>(tag), static_cast<int>(i), static_cast<LPCTSTR>(GetFileName(path)),
                            static_cast<LPCTSTR>(GetExtension(path)));
            }
            const CString target = webmsg::WebFilePath(CWMOptions::m_strAssistantWWWDir, name);
            if (target.IsEmpty() || !webmsg::CopyWebFile(path, target)) {
                Log("  Web attachment could not be copied: " + path + "\r\n");
                continue;
            }
            names.push_back(name);
            msg->m_AttachmentNames.AddTail(name);
        }
        CHTMLMsg* handed = msg;
        msg = nullptr;  // the manager owns it from here on
        g_HTMLMgr.AttachMessage(handed);
    } catch (...) {
        FreeCaughtException();
        Log("  Web message error caught.\r\n");
        delete msg;
    }
}
