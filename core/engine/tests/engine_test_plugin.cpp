// Test plug-ins for the request engine, one source in two variants. Each
// appends what happens to "events.txt" in the current folder.
//   EngineTestA (active): "send.v"/"O" answers by mail "Done: <sentence>";
//     "**" notes the tentative pass and takes mail whose subject holds
//     "[alert-take]" (throws on "[throw]"); "*" notes the final pass and takes
//     "[whole-take]" in its subject or request text, noting the attached file;
//     "[forward-new]" in the subject reads every unread mail, as a forward does.
//   EngineTestB (inactive): "list.v"/"O" would answer, but reports "No".
//   EngineTestC (active): "tell.v"/"O" notes the call; it carries a grammar
//     block of its own that cannot load, so the start-up grammar serves it.
#include "plugin_interface.h"

#include "mapi/zlm_mapi.h"
#include "reply/reply.h"
#include "testsupport/event_file.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#if defined(ENGINE_TEST_PLUGIN_A)
#define TAG "A"
#elif defined(ENGINE_TEST_PLUGIN_B)
#define TAG "B"
#else
#define TAG "C"
#endif

namespace {
template <typename... Args>
void Event(const char* format, Args... args)
{
    testsupport::AppendEvent(TAG, format, args...);
}

struct Row {
    const char* word;
    const char* label;
    const char* exportName;
};
#if defined(ENGINE_TEST_PLUGIN_A)
const Row kRows[] = {{"send.v", "O", "ActSend"}, {"**", "**", "ActAlert"}, {"*", "*", "ActWhole"}};
#elif defined(ENGINE_TEST_PLUGIN_B)
const Row kRows[] = {{"list.v", "O", "ActList"}};
#else
const Row kRows[] = {{"tell.v", "O", "ActTell"}};
// Not a grammar: no header, no rules beside it.
char g_block[1443] = "this is no grammar block";
#endif
const int kRowCount = static_cast<int>(sizeof(kRows) / sizeof(kRows[0]));

CString g_sentence, g_request, g_subject, g_mode, g_myName;
CStringList* g_words = nullptr;
CString* g_log = nullptr;
CZLMMapiFile* g_attachments = nullptr;

// Answers go out through a session of the plug-in's own, on the profile the
// test names.
CZLMMapi& Session()
{
    static CZLMMapi session;
    if (!session.GetSessionHandle()) {
        const char* profile = std::getenv("VX_ENGINE_PROFILE");
        session.Logon(profile ? profile : "", 0, "", nullptr);
    }
    return session;
}

[[maybe_unused]] void Answer(CString* to, const CString& subject, const CString& text)
{
    CString scratch, s = subject, t = text, from = g_myName;
    MAPIOutgoingMessage reply(&Session(), g_log ? g_log : &scratch, to, &from, std::atoi(g_mode));
    reply.Subject(&s);
    reply.Text(&t);
}
} // namespace

extern "C" {

__declspec(dllexport) int Get_KorvaneVersion() { return -3; }
__declspec(dllexport) int GetNumberOfActions() { return kRowCount; }

__declspec(dllexport) const char* GetActionsName(int row, int item)
{
    if (row == -1) {
        switch (item) {
#if defined(ENGINE_TEST_PLUGIN_A)
        case 0: return "EngineTestA";
        case 1: return "Sends test mail";
        case 4: return "Yes";
        case 5: return "send me new mail";
        case 6: return "1.0";
        case 7: Event("test mode on"); return "3";
        case 8: return "send me new mail";
        case 9: Event("test mode off"); return "";
#elif defined(ENGINE_TEST_PLUGIN_B)
        case 0: return "EngineTestB";
        case 1: return "Lists nothing";
        case 4: return "No";
        case 5: return "list the files";
        case 10: return nullptr;
#else
        case 0: return "EngineTestC";
        case 1: return "Tells nothing";
        case 4: return "yes";
        case 5: return "tell me new mail";
        case 6: return "2.5";
        case 7: return "0";  // one sentence is asked for all the same: none
        case 10: return g_block;
#endif
        default: return "";
        }
    }
#if defined(ENGINE_TEST_PLUGIN_A)
    // The dictionary test's sentences: one that acts, one that does not
    // parse, one that is empty.
    if (item == 8 && row == -2)
        return "send send send";
    if (item == 8 && row == -3)
        return "";
#endif
    if (row == -2 && item == 10) {
#if defined(ENGINE_TEST_PLUGIN_C)
        return "1443";
#else
        return "0";
#endif
    }
    if (row < 0 && item == 11)
        return "";
    if (row < 0 || row >= kRowCount)
        return nullptr;
    switch (item) {
    case 0: return kRows[row].word;
    case 1: return kRows[row].label;
    case 2: return kRows[row].exportName;
    default: return nullptr;
    }
}

__declspec(dllexport) void SetUserInfo(const void* value, int code)
{
    switch (code) {
    case USERINFO_MY_NAME: g_myName = *static_cast<const CString*>(value); break;
    case USERINFO_LOG: g_log = static_cast<CString*>(const_cast<void*>(value)); break;
    case USERINFO_WORD_LIST: g_words = static_cast<CStringList*>(const_cast<void*>(value)); break;
    case USERINFO_SENTENCE_TEXT: g_sentence = *static_cast<const CString*>(value); break;
    case USERINFO_REQUEST_TEXT: g_request = *static_cast<const CString*>(value); break;
    case USERINFO_SUBJECT: g_subject = *static_cast<const CString*>(value); break;
    case USERINFO_ATTACHMENTS: g_attachments = static_cast<CZLMMapiFile*>(const_cast<void*>(value)); break;
    case USERINFO_INTERFACE_MODE:
        g_mode = static_cast<const char*>(value);
        Event("mode %s", static_cast<const char*>(value));
        break;
    default: break;
    }
}

#if defined(ENGINE_TEST_PLUGIN_A)
__declspec(dllexport) int ActSend(CString* requester, int linkIndex, std::vector<WordLinkage>* links, int)
{
    const WordLinkage& link = links->at(linkIndex);
    Event("send %s|%d|%s|%s|%s|%d", static_cast<const char*>(g_sentence), linkIndex,
          static_cast<const char*>(link.m_strLinkLabel), static_cast<const char*>(link.m_strLeftWord),
          static_cast<const char*>(link.m_strRightWord), g_words ? g_words->GetCount() : -1);
    Answer(requester, "Done: " + g_sentence, "Sent as asked.");
    return 1;
}

__declspec(dllexport) int ActAlert(CString* requester, int linkIndex, std::vector<WordLinkage>*, int)
{
    Event("alert %s|%d", static_cast<const char*>(g_subject), linkIndex);
    Event("alert from %s", requester ? static_cast<const char*>(*requester) : "(none)");
    if (g_subject.Find("[throw]") >= 0)
        throw std::runtime_error("alert failed");
    return g_subject.Find("[alert-take]") >= 0 ? 1 : 0;
}

__declspec(dllexport) int ActWhole(CString* requester, int linkIndex, std::vector<WordLinkage>*, int)
{
    Event("whole %s|%d", static_cast<const char*>(g_subject), linkIndex);
    // A desktop request has a fixed subject: its text asks to be taken.
    if (g_attachments && g_attachments->GetSize() > 0 && g_attachments->SetPosition(0) == 0)
        Event("whole attachment %s|%s", static_cast<const char*>(g_attachments->GetPathName()),
              static_cast<const char*>(g_attachments->GetFileName()));
    // As a forward of new mail does: every unread mail is read (so marked
    // read) and noted.
    if (g_subject.Find("[forward-new]") >= 0) {
        CString seed, id, type;
        for (int n = 0; n < 1000 && Session().FindNext(id, type, MAPI_UNREAD_ONLY, seed, nullptr) == 0; ++n) {
            seed = id;
            CZLMMapiMessage message;
            if (Session().ReadMail(id, MAPI_SUPPRESS_ATTACH, message, nullptr) == 0)
                Event("forwarded %s", static_cast<const char*>(message.GetSubject()));
        }
        return 1;
    }
    return g_subject.Find("[whole-take]") >= 0 || g_request.Find("[whole-take]") >= 0 ? 1 : 0;
}
#elif defined(ENGINE_TEST_PLUGIN_B)
__declspec(dllexport) int ActList(CString* requester, int, std::vector<WordLinkage>*, int)
{
    Event("list");
    return 1;
}
#else
__declspec(dllexport) void DoKVXIlder() { Event("idle"); }

__declspec(dllexport) int ActTell(CString* requester, int linkIndex, std::vector<WordLinkage>*, int)
{
    // Plug-ins are not re-entrant: note any call that overlaps another.
    static volatile LONG inside = 0;
    if (::InterlockedIncrement(&inside) > 1)
        Event("overlap");
    Event("tell %s|%d", static_cast<const char*>(g_sentence), linkIndex);
    ::Sleep(1);
    ::InterlockedDecrement(&inside);
    return 1;
}
#endif

} // extern "C"
