#include "desktop_road.h"

#include "local_words.h"
#include "request_engine.h"

#include "files/fileutil.h"
#include "mapi/mapi_lists.h"

#include <windows.h>

#include <atomic>

namespace {
std::atomic<int> g_boostNesting{0};

// From the program's resource chain, so a translated program has its own words.
BOOL LoadChainString(UINT id, CString& text) { return text.LoadString(id); }
}  // namespace

CPriorityBoost::CPriorityBoost()
{
    if (g_boostNesting.fetch_add(1) == 0)
        ::SetPriorityClass(::GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

CPriorityBoost::~CPriorityBoost()
{
    if (g_boostNesting.fetch_sub(1) == 1)
        ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

int CPriorityBoost::Nesting() { return g_boostNesting.load(); }

int ProcessLocalRequest(CString* text, CString* file, int mode, int shortReply, int pass)
{
    CPriorityBoost boost;
    CString t = text ? *text : CString();
    CString requester = DESKTOP_REQUESTER, requesterName = DESKTOP_REQUESTER, subject = DESKTOP_SUBJECT;
    CZLMMapiFile attachments;
    if (file && !file->IsEmpty()) {
        attachments.CreatePointer(1);
        attachments.SetPathName(*file);
        attachments.SetFileName(GetFileName(*file) + GetExtension(*file));
    }
    int handled = TryPluginActions(nullptr, &requester, &requesterName, &attachments, nullptr, &t, &t, &subject,
                                   pass, shortReply, mode);
    if (!t.IsEmpty())
        handled += ProcessRequest(&t, &requester, &requesterName, &subject, &t, &attachments, pass, shortReply, mode);
    if (handled || pass != 0)
        return handled;

    CString lower = t;
    lower.MakeLower();
    CRequestEngine* engine = CRequestEngine::Current();
    for (const LocalWordAction& action : LocalWordActions(lower, LoadLocalWords(&LoadChainString))) {
        handled = 1;
        switch (action.kind) {
        case LocalWordAction::POST:
            if (engine && engine->m_PostCommand)
                engine->m_PostCommand(action.command);
            break;
        case LocalWordAction::SEND:
            if (engine && engine->m_SendCommand)
                engine->m_SendCommand(action.command);
            break;
        case LocalWordAction::HELP: {
            CString to = DESKTOP_REQUESTER;
            SendReply(&to, &to, 0, mode, 0);
            break;
        }
        }
    }
    return handled;
}

DesktopRequestResult RunDesktopRequest(const CString& text, const CString& file)
{
    CRequestLock lock(CRequestLock::DefaultWaitMs());
    if (!lock.Acquired())
        return DESKTOP_BUSY;
    CString t = text, f = file;
    const int mode = 1;  // desktop: answers are message windows
    int handled = ProcessLocalRequest(&t, &f, mode, 0, 1);
    t = text;
    handled += ProcessLocalRequest(&t, &f, mode, 0, 0);
    return handled ? DESKTOP_HANDLED : DESKTOP_NOT_HANDLED;
}
