// The request engine's decisions that need no mail, window or plug-in.
#include "engine_rules.h"

#include "assistant_settings.h"
#include "pattern/wildcard.h"

CString EngineLogTime()
{
    return CTime::GetCurrentTime().Format("%c") + " ";
}

std::vector<CString> CutRequestLines(const CString& body)
{
    std::vector<CString> lines;
    const char* p = body;
    int n = body.GetLength();
    int start = 0;
    for (int i = 0; i <= n; ++i) {
        if (i == n || p[i] == '\r' || p[i] == '\n') {
            if (i > start)
                lines.push_back(body.Mid(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

bool TriggerWordWakes(const CString& triggerWord, const CString& lowerLine)
{
    if (triggerWord == "**")
        return false;
    CString t = triggerWord;
    int point = t.Find('.');
    if (point >= 0)
        t = t.Left(point);
    t.MakeLower();
    if (!t.IsEmpty() && t[0] == '*')
        return true;
    return lowerLine.Find(t) >= 0;
}

bool NameOccursIn(const CString& upperName, const CString& text)
{
    CString upper = text;
    upper.MakeUpper();
    return upper.Find(upperName) >= 0;
}

bool IsShortReplySender(const CAssistantSettings& settings, const CString& address)
{
    for (int i = 0; i < settings.GetNumShortAddresses(); ++i) {
        CString pattern = settings.GetShortAddress(i);
        if (MatchWildcard(pattern, address))
            return true;
    }
    return false;
}

bool IsSenderAccepted(const CAssistantSettings& settings, const CString& address, bool documentStringsLoaded)
{
    int n = settings.GetNumOKAddresses();
    if (n == 0)
        return !documentStringsLoaded;
    for (int i = n - 1; i >= 0; --i) {
        CString entry = settings.GetOKAddress(i);
        // An empty entry names no sender (it would match a sender without an address).
        if (!entry.IsEmpty() && entry == address)
            return true;
    }
    return false;
}

CString ApplyForwardRules(const CAssistantSettings& settings, const CString& address)
{
    for (int i = 0; i < settings.GetNumForwardAddresses(); ++i) {
        if (settings.GetForwardFromAddress(i).CompareNoCase(address) != 0)
            continue;
        CString to = settings.GetForwardToAddress(i);
        if (!to.IsEmpty())
            return to;
    }
    return address;
}

bool IsAutomaticMail(const CString& senderAddress, const CString& subject)
{
    CString local = senderAddress;
    int at = local.Find('@');
    if (at >= 0)
        local = local.Left(at);
    // "SMTP:someone@host" style addresses carry a transport prefix.
    int colon = local.ReverseFind(':');
    if (colon >= 0)
        local = local.Mid(colon + 1);
    local.MakeLower();
    local.Remove('-');
    local.Remove('_');
    local.Remove('.');
    static const char* const kMachines[] = {"mailerdaemon", "postmaster", "noreply", "donotreply", "bounce",
                                            "bounces"};
    for (const char* machine : kMachines)
        if (local == machine)
            return true;
    // Out-of-office responders.
    for (const char* responder : {"vacation", "autoreply", "autorespond"})
        if (local.Find(responder) == 0)
            return true;
    CString s = subject;
    s.TrimLeft();
    s.MakeLower();
    for (const char* mark : {"[auto reply]", "[auto-reply]", "[autoreply]", "out of office"})
        if (s.Find(mark) >= 0)
            return true;
    for (const char* start : {"automatic reply", "auto:", "auto reply:", "auto-reply:", "autoreply:"})
        if (s.Find(start) == 0)
            return true;
    return false;
}

int CEngineGate::Check(time_t now, int refreshRate, bool& stuck)
{
    stuck = false;
    if (m_bBusy) {
        // One rise per step that keeps the engine busy, not one per tick it
        // lets by: a long dialog must not throttle the mail for hours.
        if (m_nStepBackedOff != m_nStep) {
            m_nStepBackedOff = m_nStep;
            if (m_nBackOff < BACKOFF_MAX)
                ++m_nBackOff;
        }
        if (now <= m_tWatchdogDeadline)
            return 1;
        stuck = true;
    }
    if (m_nSkipTicks > 0) {
        --m_nSkipTicks;
        return 1;
    }
    m_nSkipTicks = m_nBackOff;
    if (m_nBackOff > 0 && --m_nBackOffCountdown <= 0) {
        m_nBackOffCountdown = BACKOFF_DECAY_TICKS;
        --m_nBackOff;
    }
    m_tWatchdogDeadline = Deadline(now, refreshRate);
    return 0;
}

int CHandledIDs::IsHandled(const CString& id) const
{
    for (auto it = m_ids.rbegin(); it != m_ids.rend(); ++it)
        if (*it == id)
            return 1;
    return 0;
}

void CHandledIDs::TrimHandled()
{
    if (m_ids.size() > TRIM_ABOVE)
        m_ids.clear();
}

AddressClass ClassifyAddress(const unsigned char* bytes, int length, CString& text)
{
    text.Empty();
    for (int i = 0; i < length; ++i) {
        CString part;
        part.Format(i ? ".%u" : "%u", static_cast<unsigned>(bytes[i]));
        text += part;
        if (i == 0 && bytes[0] == 10)
            return ADDRESS_PRIVATE;
        if (i == 1) {
            if (bytes[0] == 172 && bytes[1] >= 16 && bytes[1] <= 31)
                return ADDRESS_PRIVATE;
            if (bytes[0] == 192 && bytes[1] == 168)
                return ADDRESS_PRIVATE;
            if (bytes[0] == 169 && bytes[1] == 254)
                return ADDRESS_LINK_LOCAL;
        }
    }
    return ADDRESS_PUBLIC;
}

bool AddressesShowPresence(const std::vector<std::vector<unsigned char>>& addresses)
{
    bool privateSeen = false;
    for (const std::vector<unsigned char>& a : addresses) {
        CString text;
        AddressClass c = ClassifyAddress(a.data(), static_cast<int>(a.size()), text);
        if (c == ADDRESS_PRIVATE)
            privateSeen = true;
        // The whole 127.0.0.0/8 block is the machine itself (Debian names the
        // host 127.0.1.1), never a way out.
        bool loopback = !a.empty() && a[0] == 127;
        if (c == ADDRESS_PUBLIC && !text.IsEmpty() && !loopback)
            return true;
    }
    return privateSeen;
}
