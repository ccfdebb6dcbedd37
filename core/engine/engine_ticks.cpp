// The engine's two ticks: the mail tick (watchdog, active hours, the probe
// that hands the next unread mail to the mail road) and the fast tick (one
// queued sentence or one plug-in's idle turn).
#include "request_engine.h"

#include "assistant_settings.h"
#include "plugin_table.h"
#include "running_log.h"

#include "files/fileutil.h"
#include "mapi/zlm_mapi.h"
#include "queue/sentencequeue.h"

int g_bHoldLog = 0;

namespace {
CRequestEngine* g_pCurrentEngine = nullptr;
}

CRequestEngine* CRequestEngine::Current() { return g_pCurrentEngine; }

void CRequestEngine::SetCurrent(CRequestEngine* engine) { g_pCurrentEngine = engine; }

CRequestEngine::CRequestEngine()
{
    // Built on the thread that will run the ticks.
    CRequestLock::SetTickThread();
}

CRequestEngine::~CRequestEngine()
{
    if (g_pCurrentEngine == this)
        g_pCurrentEngine = nullptr;
}

bool CRequestEngine::LoggedOn() const { return m_pSession && m_pSession->GetSessionHandle() != 0; }

void CRequestEngine::Send(unsigned command)
{
    if (m_SendCommand)
        m_SendCommand(command);
}

void CRequestEngine::OnMailTick()
{
    try {
        if (!m_SendCommand)
            return;
        if (CheckWatchdog())
            return;
        int inWindow = 1;
        if (CheckActiveHours(&inWindow))
            return;
        if (CheckForNewMail(inWindow) == 1 && m_CheckWebForUpdate)
            m_CheckWebForUpdate();
    } catch (...) {
    }
}

void CRequestEngine::OnFastTick()
{
    try {
        if (!m_SendCommand)
            return;
        if (CheckWatchdog())
            return;
        if (ProcessSentenceQueue() == 1)
            return;
        IdleTurn();
    } catch (...) {
    }
}

int CRequestEngine::CheckWatchdog()
{
    bool stuck = false;
    int skip = m_Gate.Check(CTime::GetCurrentTime().GetTime(), g_Settings.GetRefreshRate(), stuck);
    if (stuck) {
        runlog::Append(ENGINE_TEXT_WATCHDOG);
        g_bHoldLog = 0;
    }
    if (skip)
        return 1;
    if (!LoggedOn()) {
        m_HandledIDs.ClearHandled();
        m_NotRequests.clear();
    }
    return 0;
}

int CRequestEngine::CheckActiveHours(int* inWindow)
{
    CTime now = CTime::GetCurrentTime();
    CTime from = g_Settings.GetTimeStart();
    CTime to = g_Settings.GetTimeEnd();
    bool sameTime = from.GetHour() == to.GetHour() && from.GetMinute() == to.GetMinute() &&
                    from.GetSecond() == to.GetSecond();
    const bool held = CheckHold(sameTime, sameTime || BetweenTimes(now, from, to));
    if (!m_bTimeWindowActed && g_Settings.GetAutoLogin() && !held) {
        if (sameTime) {
            if (!LoggedOn())
                Send(ID_ACTIVATE);
        } else {
            *inWindow = BetweenTimes(now, from, to);
            bool on = LoggedOn();
            if (!on && *inWindow) {
                m_bTimeWindowActed = 1;
                Send(ID_ACTIVATE);
            } else if (on && !*inWindow) {
                m_bTimeWindowActed = 1;
                Send(ID_DEACTIVATE);
                return 1;
            }
        }
    }
    if (m_bTimeWindowActed) {
        *inWindow = BetweenTimes(now, from, to);
        bool on = LoggedOn();
        if (!on && *inWindow) {
            m_bTimeWindowActed = 0;
            return 0;
        }
        if (on && !*inWindow) {
            m_bTimeWindowActed = 0;
            return 1;
        }
    }
    return 0;
}

void CRequestEngine::HoldDeactivation()
{
    m_bDeactivationHeld = 1;
    m_bHeldWindowClosed = 0;
}

bool CRequestEngine::CheckHold(bool sameTime, bool inWindow)
{
    if (!m_bDeactivationHeld)
        return false;
    // Logged on again: the user activated (nothing automatic runs meanwhile).
    if (LoggedOn()) {
        m_bDeactivationHeld = 0;
        return false;
    }
    // With active hours the hold lasts until the window next opens; without
    // them, until the user activates.
    if (!sameTime) {
        if (!inWindow)
            m_bHeldWindowClosed = 1;
        else if (m_bHeldWindowClosed)
            m_bDeactivationHeld = 0;
    }
    return m_bDeactivationHeld != 0;
}

int CRequestEngine::CheckForNewMail(int enabled)
{
    int result = 1;
    if (!LoggedOn() || !enabled || !g_Settings.GetCheckMAPI())
        return result;
    // The web server's thread may be running a request: look again next tick.
    CRequestLock lock(CRequestLock::WAIT_GUI_MS);
    if (!lock.Acquired())
        return result;
    if (m_strMessageID.IsEmpty()) {
        m_nUnreadCount = m_nUnreadRunning;
        m_nUnreadRunning = 0;
        m_HandledIDs.TrimHandled();
        if (m_NotRequests.size() > NOT_REQUESTS_MAX)
            m_NotRequests.clear();
    }
    CBusyStep busy(m_Gate);
    // Requests taken earlier go first, one per tick, oldest first.
    if (!Pending().IsEmpty()) {
        CString sweep = m_strMessageID;
        m_strMessageID = Pending().Front();
        m_HandledIDs.AddHandled(m_strMessageID);
        Send(ID_PROCESS);
        // Gone from the box, or its road could not start: not tried again.
        Pending().Remove(m_strMessageID);
        m_strMessageID = sweep;
        return 0;
    }
    CString type;
    CString seed = m_strMessageID;
    ULONG flags = MAPI_UNREAD_ONLY + static_cast<ULONG>(g_Settings.GetCheckFIFO()) * 256;
    if (m_pSession->FindNext(m_strMessageID, type, flags, seed, nullptr) == 0) {
        ++m_nUnreadRunning;
        if (m_nUnreadRunning > m_nUnreadCount)
            m_nUnreadCount = m_nUnreadRunning;
        if (!m_HandledIDs.IsHandled(m_strMessageID)) {
            result = 0;
            m_HandledIDs.AddHandled(m_strMessageID);
            Send(ID_PROCESS);
        }
    } else {
        m_strMessageID.Empty();
    }
    return result;
}

int CRequestEngine::ProcessSentenceQueue()
{
    CBusyStep busy(m_Gate);
    if (queueSentence.IsEmpty())
        return 0;
    QueuedSentence next = queueSentence.GetNextSentence();
    CString text = next.GetText();
    if (!text.IsEmpty()) {
        CString address = next.GetFromAddress();
        CString name = next.GetFromName();
        CString subject = next.GetSubject();
        CString message = text;
        ProcessRequest(&text, &address, &name, &subject, &message, next.GetAttachments(), 0,
                       next.GetSize() >= 0 ? 1 : 0, next.GetSourceMethod());
    }
    return 1;
}

void CRequestEngine::IdleTurn()
{
    CBusyStep busy(m_Gate);
    if (!m_pPlugins)
        return;
    int n = m_pPlugins->GetNumberOfIdlers();
    if (m_nIdleIndex >= n)
        m_nIdleIndex = 0;
    if (n > 0) {
        DoKVXIlderProc idler = m_pPlugins->GetIdler(m_nIdleIndex);
        ++m_nIdleIndex;
        CRequestLock lock(CRequestLock::WAIT_GUI_MS);
        if (lock.Acquired())
            idler();
    }
}

void CRequestEngine::QueueMessageBody(const CString& body, const CString& fromAddress, const CString& fromName,
                                      const CString& to, int sourceMethod, int size, const CString& subject,
                                      CZLMMapiFile* attachments)
{
    queueSentence.AddMessageBody(body, fromAddress, fromName, to, sourceMethod, size, subject, attachments);
}
