// The mail road: what happens to one new mail that the probe found - for the
// assistant or not, help or requests, the two passes over the whole mail, the
// body's lines, and the automatic reply when nothing understood it.
#include "request_engine.h"

#include "assistant_settings.h"
#include "plugin_table.h"

#include "mapi/zlm_mapi.h"
#include "reply/reply.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <string>

CStringList g_DocumentStrings;
CString g_strLastProcessedID;

namespace {

CString OriginatorAddress(CZLMMapiMessage& message)
{
    try {
        CZLMMapiRecipient& from = message.GetOriginator();
        if (from.GetSize() == 0)
            return CString();
        from.SetPosition(0);
        return from.GetAddress();
    } catch (...) {
        return CString();
    }
}

CString OriginatorName(CZLMMapiMessage& message)
{
    try {
        CZLMMapiRecipient& from = message.GetOriginator();
        if (from.GetSize() == 0)
            return CString();
        from.SetPosition(0);
        return from.GetName();
    } catch (...) {
        return CString();
    }
}

CString Subject(CZLMMapiMessage& message)
{
    try {
        return message.GetSubject();
    } catch (...) {
        return CString();
    }
}

CString NoteText(CZLMMapiMessage& message)
{
    try {
        return message.GetNoteText();
    } catch (...) {
        return CString();
    }
}

// The temporary files that a read without MAPI_SUPPRESS_ATTACH left, last first.
void DeleteTemporaryFiles(CZLMMapiFile& files)
{
    for (ULONG i = files.GetSize(); i >= 1; --i) {
        try {
            files.SetPosition(i - 1);
            CString path = files.GetPathName();
            if (!path.IsEmpty())
                ::DeleteFileA(path);
        } catch (...) {
        }
    }
}

void LogLine(const CString& text) { g_strLog += EngineLogTime() + text; }

// Names the request being answered to the mail client for as long as it is
// answered (VxMail notes every answer under it; other clients ignore it).
class AnsweringTag {
public:
    explicit AnsweringTag(const CString& id)
    {
        // "<request>/<round>": each carrying-out a round of its own.
        static unsigned rounds = 0;
        CString tag;
        tag.Format("%s/%lx.%u", static_cast<const char*>(id), ::GetTickCount(), ++rounds);
        ::SetEnvironmentVariableA("VXMAIL_ANSWERING", tag);
    }
    ~AnsweringTag() { ::SetEnvironmentVariableA("VXMAIL_ANSWERING", nullptr); }
    AnsweringTag(const AnsweringTag&) = delete;
    AnsweringTag& operator=(const AnsweringTag&) = delete;
};

// A note on disk naming the mail being answered, from before the mail is
// marked read until its answer went out. A crash (or an action that threw)
// in between leaves the note behind, and the next start logs it.
class AnsweringNote {
public:
    AnsweringNote(const CString& appPath, const CString& text)
        : m_path(UnansweredNotePath(appPath)), m_exceptions(std::uncaught_exceptions())
    {
        if (m_path.IsEmpty())
            return;
        HANDLE h = ::CreateFileA(m_path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return;
        DWORD written = 0;
        ::WriteFile(h, static_cast<const char*>(text), static_cast<DWORD>(text.GetLength()), &written, nullptr);
        ::FlushFileBuffers(h);
        ::CloseHandle(h);
    }
    ~AnsweringNote()
    {
        if (!m_path.IsEmpty() && std::uncaught_exceptions() == m_exceptions)
            ::DeleteFileA(m_path);
    }
    AnsweringNote(const AnsweringNote&) = delete;
    AnsweringNote& operator=(const AnsweringNote&) = delete;

private:
    CString m_path;
    int m_exceptions;
};

} // namespace

CString UnansweredNotePath(const CString& appPath)
{
    return appPath.IsEmpty() ? CString() : appPath + "\\Answering.txt";
}

CString UnansweredRecordPath(const CString& appPath)
{
    return appPath.IsEmpty() ? CString() : appPath + "\\Unanswered.txt";
}

namespace {

// Appends a line to the record of requests never answered, once; the record
// keeps its newest lines within a bound.
bool KeepUnansweredRecord(const CString& path, const CString& line)
{
    enum { MAX_BYTES = 64 * 1024 };
    if (path.IsEmpty())
        return true;
    std::string text;
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        text.resize(MAX_BYTES);
        DWORD read = 0;
        if (!::ReadFile(h, &text[0], MAX_BYTES, &read, nullptr))
            read = 0;
        text.resize(read);
        ::CloseHandle(h);
    }
    // The same note again (a start whose log could not be written): once.
    const std::string entry = static_cast<const char*>(line);
    const size_t marker = entry.find(ENGINE_TEXT_UNANSWERED_MARK);
    if (marker != std::string::npos && text.find(entry.substr(marker)) != std::string::npos)
        return true;
    text += entry;
    if (text.size() > MAX_BYTES) {
        size_t cut = text.find('\n', text.size() - MAX_BYTES / 2);
        text = cut == std::string::npos ? std::string() : text.substr(cut + 1);
    }
    const CString tmp = path + ".tmp";
    h = ::CreateFileA(tmp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size() && ::FlushFileBuffers(h);
    ::CloseHandle(h);
    if (ok && ::MoveFileExA(tmp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileA(tmp);
    return false;
}

} // namespace

CString PendingRequestsPath(const CString& appPath)
{
    return appPath.IsEmpty() ? CString() : appPath + "\\PendingRequests.txt";
}

void CRequestEngine::ReportUnansweredMail(const std::function<bool()>& persistLog)
{
    const CString path = UnansweredNotePath(m_strAppPath);
    if (path.IsEmpty())
        return;
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    char text[1024] = {};
    DWORD read = 0;
    ::ReadFile(h, text, sizeof text - 1, &read, nullptr);
    ::CloseHandle(h);
    // A request the last run had begun on is carried out again while it has
    // attempts left (its answers that went out are not sent again); after
    // that it is given up, and reported.
    CString noted = text;
    int blank = noted.Find(' ');
    const CString id = blank > 0 ? noted.Left(blank) : CString();
    if (!id.IsEmpty() && Pending().Contains(id) && Pending().Attempts(id) < CPendingRequests::MAX_ATTEMPTS) {
        ::DeleteFileA(path);
        return;
    }
    if (!id.IsEmpty())
        Pending().Remove(id);
    CString line;
    line.Format(ENGINE_TEXT_UNANSWERED, text);
    LogLine(line);
    // Kept apart from the log, which the next starts rotate away.
    const bool kept = KeepUnansweredRecord(UnansweredRecordPath(m_strAppPath), EngineLogTime() + line);
    if (kept && (!persistLog || persistLog()))
        ::DeleteFileA(path);
}

bool CRequestEngine::CheckSender(CString& address, const CString& name, const CString& subject, int& shortReply)
{
    bool accepted = IsSenderAccepted(g_Settings, address, g_DocumentStrings.GetCount() > 0);
    shortReply = IsShortReplySender(g_Settings, address) ? 1 : 0;
    address = ApplyForwardRules(g_Settings, address);
    if (!accepted) {
        CString line;
        line.Format(ENGINE_TEXT_UNAUTHORIZED, static_cast<const char*>(address));
        LogLine(line);
    }
    return accepted;
}

void CRequestEngine::MarkHandled(const CString& messageID)
{
    // An envelope read without a peek marks the mail read and writes no files.
    CZLMMapiMessage scratch;
    CString id = messageID;
    if (m_pSession)
        m_pSession->ReadMail(id, MAPI_ENVELOPE_ONLY | MAPI_SUPPRESS_ATTACH, scratch, nullptr);
}

CPendingRequests& CRequestEngine::Pending()
{
    if (!m_Pending.IsOpen())
        m_Pending.Open(PendingRequestsPath(m_strAppPath));
    return m_Pending;
}

bool CRequestEngine::IsRequestMail(CString id, CZLMMapiMessage& envelope)
{
    CString address = OriginatorAddress(envelope);
    CString subject = Subject(envelope);
    if (envelope.GetMessageType() == ZLM_MESSAGE_TYPE_AUTOMATIC || IsAutomaticMail(address, subject))
        return false;
    if (g_Settings.GetMyName().IsEmpty())
        return true;
    subject.MakeUpper();
    return IsMailForMe(&subject, &id, &address) != 0;
}

void CRequestEngine::TakeRequests(const CString& current)
{
    enum { MAX_LOOKED_AT = 20000 };
    if (!m_pSession)
        return;
    CString seed;
    for (int n = 0; n < MAX_LOOKED_AT; ++n) {
        CString id, type;
        if (m_pSession->FindNext(id, type, MAPI_UNREAD_ONLY, seed, nullptr) != 0)
            break;
        seed = id;
        if (id == current || m_NotRequests.count(static_cast<const char*>(id)) || m_HandledIDs.IsHandled(id))
            continue;
        if (Pending().Contains(id)) {
            // Noted by a run that ended before it marked it read.
            MarkHandled(id);
            continue;
        }
        CZLMMapiMessage envelope;
        if (m_pSession->ReadMail(id, MAPI_ENVELOPE_ONLY | MAPI_PEEK, envelope, nullptr) != 0)
            continue;
        if (!IsRequestMail(id, envelope)) {
            m_NotRequests.insert(static_cast<const char*>(id));
            continue;
        }
        // Noted before it is marked read: a run that ends in between finds it
        // in the list, or still unread.
        if (!Pending().Add(id))
            break;
        MarkHandled(id);
    }
}

void CRequestEngine::OnProcess()
{
    if (!m_pSession)
        return;
    // Held for the whole road (the probe already holds it), so that a line
    // can never be taken for unhandled because a web request held the lock.
    CRequestLock lock(CRequestLock::DefaultWaitMs());
    if (!lock.Acquired())
        return;
    CString id = m_strMessageID;
    if (id == g_strLastProcessedID)
        return;
    g_strLastProcessedID = id;

    CZLMMapiMessage envelope;
    if (m_pSession->ReadMail(id, MAPI_ENVELOPE_ONLY | MAPI_PEEK, envelope, nullptr) != 0)
        return;
    CString address = OriginatorAddress(envelope);
    CString subject = Subject(envelope);
    // Mail that a machine sent on its own is never a request: answering it
    // could start a loop with another responder. It stays unread for the
    // user, and the whole-mail rows (alerts) still see it - all but the
    // assistant's own answers, which go out automatic under its name.
    const bool automatic = envelope.GetMessageType() == ZLM_MESSAGE_TYPE_AUTOMATIC || IsAutomaticMail(address, subject);
    const CString myName = g_Settings.GetMyName();
    const bool own = automatic && !myName.IsEmpty() && OriginatorName(envelope).CompareNoCase(myName) == 0;
    // A request taken earlier was judged then, on the settings of that time.
    const bool taken = Pending().Contains(id);
    const CString upperSubject = [&] {
        CString s = subject;
        s.MakeUpper();
        return s;
    }();

    if (!taken && (automatic || !IsRequestMail(id, envelope))) {
        if (!own && !myName.IsEmpty())
            ProcessMail(id, &envelope, 1);
        return;
    }
    // Every other request waiting in the box is taken before this one is
    // acted on: a forward or summary of new mail must not swallow it.
    TakeRequests(id);
    // The request stays listed until it is done: a run killed meanwhile
    // leaves it for the next start to carry out again, up to a bound of
    // attempts. The mail client notes each answer under the request's name,
    // so that an answer already sent is not sent a second time.
    Pending().Begin(id);
    AnsweringNote begun(m_strAppPath, id + " \"" + subject + "\" from " + address);
    AnsweringTag tag(id);
    struct Done {
        CPendingRequests& pending;
        const CString& id;
        ~Done() { pending.Remove(id); }
    } done{Pending(), id};

    if (myName.IsEmpty()) {
        ProcessMail(id, &envelope, 0);
        return;
    }
    if (upperSubject.Find("HELP") >= 0) {
        ProcessHelpRequest(id, &envelope, 0);
        return;
    }
    int finalPassNeeded = 0;
    try {
        finalPassNeeded = ProcessMail(id, &envelope, 1) == 0;
    } catch (...) {
        // The request failed before it was read: it still counts as handled,
        // or a later run would carry it out on settings of its own.
        MarkHandled(id);
        throw;
    }
    if (finalPassNeeded)
        ProcessMail(id, &envelope, 0);
    else
        MarkHandled(id);  // an empty request: nothing to do, but handled
}

int CRequestEngine::IsMailForMe(CString* upperSubject, CString* messageID, CString* senderAddress)
{
    CString name = g_Settings.GetMyNameUpper();
    if (upperSubject->Find(name) >= 0)
        return 1;
    if (!IsShortReplySender(g_Settings, *senderAddress))
        return 0;
    CZLMMapiMessage message;
    if (!m_pSession || m_pSession->ReadMail(*messageID, MAPI_PEEK, message, nullptr) != 0)
        return 0;
    int forMe = NameOccursIn(name, NoteText(message)) ? 1 : 0;
    DeleteTemporaryFiles(message.GetFiles());
    return forMe;
}

int CRequestEngine::ProcessMail(CString messageID, CZLMMapiMessage* envelope, int tentative)
{
    CString address = OriginatorAddress(*envelope);
    CString name = OriginatorName(*envelope);
    CString envelopeSubject = Subject(*envelope);
    int shortReply = IsShortReplySender(g_Settings, address) ? 1 : 0;
    // The whole-mail rows of the tentative pass (alerts, forwards of new mail)
    // watch mail, whoever sent it: they see every sender as it is. Who may
    // command the assistant is decided only where it acts on a request.
    if (!tentative) {
        // A mail without a usable sender is nobody's request.
        if (address.IsEmpty()) {
            CString line;
            line.Format(ENGINE_TEXT_NO_RETURN_ADDRESS, static_cast<const char*>(envelopeSubject));
            LogLine(line);
            MarkHandled(messageID);
            return 0;
        }
        if (!CheckSender(address, name, envelopeSubject, shortReply)) {
            // Refused once, refused for good: it is never carried out later,
            // whatever the settings are then.
            MarkHandled(messageID);
            return 0;
        }
    }
    // The sender's own address decides the automatic reply; answers follow the
    // forward rules.
    bool automatic = IsAutomaticMail(OriginatorAddress(*envelope), envelopeSubject);

    std::unique_ptr<AnsweringNote> note;
    if (!tentative)
        note = std::make_unique<AnsweringNote>(m_strAppPath, messageID + " \"" + envelopeSubject + "\" from " + address);
    CZLMMapiMessage message;
    if (!m_pSession || m_pSession->ReadMail(messageID, tentative ? MAPI_PEEK : 0, message, nullptr) != 0) {
        if (!tentative)
            MarkHandled(messageID);  // a request that cannot be read has failed
        return 0;
    }
    CString subject = Subject(message);
    CString body = NoteText(message);
    CZLMMapiFile& files = message.GetFiles();

    int handled = 0;
    try {
        handled = TryPluginActions(nullptr, &address, &name, &files, nullptr, &body, &body, &subject, tentative,
                                   shortReply, MODE_EMAIL);
    } catch (...) {
        // An action on the whole mail failed: the mail's temporary files still go.
        DeleteTemporaryFiles(files);
        throw;
    }

    if (tentative && handled) {
        // A "**" row took the mail: it counts as read.
        CZLMMapiMessage scratch;
        if (m_pSession->ReadMail(messageID, 0, scratch, nullptr) == 0)
            DeleteTemporaryFiles(scratch.GetFiles());
    }
    if (tentative || body.IsEmpty()) {
        DeleteTemporaryFiles(files);
        return body.IsEmpty() ? 1 : 0;
    }

    for (const CString& line : CutRequestLines(body)) {
        CString l = line;
        handled += ProcessRequest(&l, &address, &name, &subject, &body, &files, 0, shortReply, MODE_EMAIL);
    }

    if (handled == 0 && !automatic) {
        CString myName = g_Settings.GetMyName();
        CString replySubject = ENGINE_TEXT_AUTO_REPLY_SUBJECT;
        CString replyText = ENGINE_TEXT_AUTO_REPLY;
        MAPIOutgoingMessage reply(m_pSession, &g_strLog, &address, &myName, MODE_EMAIL);
        reply.Subject(&replySubject);
        reply.Text(&replyText);
    }
    DeleteTemporaryFiles(files);
    return 1;
}

void CRequestEngine::ProcessHelpRequest(CString messageID, CZLMMapiMessage* envelope, int flag)
{
    if (!m_pSession)
        return;
    // From here until the help went out the mail counts as read.
    AnsweringNote note(m_strAppPath, messageID + " \"" + Subject(*envelope) + "\" from " + OriginatorAddress(*envelope));
    {
        CZLMMapiMessage message;
        if (m_pSession->ReadMail(messageID, 0, message, nullptr) == 0)
            DeleteTemporaryFiles(message.GetFiles());
    }
    if (flag)
        return;
    CString address = OriginatorAddress(*envelope);
    CString name = OriginatorName(*envelope);
    CString subject = Subject(*envelope);
    if (address.IsEmpty()) {
        CString line;
        line.Format(ENGINE_TEXT_NO_RETURN_ADDRESS, static_cast<const char*>(subject));
        LogLine(line);
        return;
    }
    int shortReply = 0;
    if (!CheckSender(address, name, subject, shortReply))
        return;
    SendReply(&address, &name, flag, MODE_EMAIL, shortReply);
}

void SendReply(CString* to, CString* name, int flag, int mode, int shortReply)
{
    CRequestEngine* engine = CRequestEngine::Current();
    if (!engine || !engine->m_pPlugins || !to)
        return;
    CRequestLock lock(CRequestLock::DefaultWaitMs());
    if (!lock.Acquired())
        return;
    // Delivery problems of the listing stay out of the running log.
    CString scratchLog;
    CString myName = g_Settings.GetMyName();
    CString text = ENGINE_TEXT_HELP_HEAD;
    for (const PluginModule& module : engine->m_pPlugins->GetModules()) {
        auto names = reinterpret_cast<GetActionsNameProc>(
            reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module.m_hModule), "GetActionsName")));
        if (!names)
            continue;
        auto item = [names](int i) {
            const char* t = names(-1, i);
            return CString(t ? t : "");
        };
        CString status = item(PLUGIN_INFO_ACTIVE);
        if (status.IsEmpty() || (status[0] != 'Y' && status[0] != 'y'))
            continue;
        CString pluginName = item(PLUGIN_INFO_DESCRIPTION);
        CString description = item(PLUGIN_INFO_LONG_DESCRIPTION);
        CString sample = item(PLUGIN_INFO_EXAMPLE);
        if (shortReply) {
            MAPIOutgoingMessage reply(engine->m_pSession, &scratchLog, to, &myName, mode);
            reply.Subject(&description);
            reply.Text(&sample);
        } else {
            CString block;
            block.Format(ENGINE_TEXT_HELP_BLOCK, static_cast<const char*>(pluginName),
                         static_cast<const char*>(description), static_cast<const char*>(sample));
            text += block;
        }
    }
    if (!shortReply) {
        CString subject = ENGINE_TEXT_HELP_SUBJECT;
        MAPIOutgoingMessage reply(engine->m_pSession, &scratchLog, to, &myName, mode);
        reply.Subject(&subject);
        reply.Text(&text);
    }
    CString line;
    line.Format(ENGINE_TEXT_HELP_LOG, static_cast<const char*>(*to));
    g_strLog += EngineLogTime() + line;
}
