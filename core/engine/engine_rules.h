// The request engine's small decisions, free of mail, windows and plug-ins:
// which mail is meant for the assistant, which senders are served and where
// their answers go, how a body is cut into request lines, which action rows a
// line wakes, the busy flag with its watchdog and back-off, the list of mail
// already handed to the mail road, and the classes of local network addresses.
#pragma once

#include "fx/fx.h"

#include <ctime>
#include <vector>

class CAssistantSettings;

// The engine's texts.
#define ENGINE_TEXT_WATCHDOG "Watchdog timer suggests that we may be locked, forcing unlock.\r\n"     // 61218
#define ENGINE_TEXT_HELP_HEAD "These plugins are currently active:\r\n------------------\r\n"        // 61219
#define ENGINE_TEXT_HELP_SUBJECT "Help you requested"                                              // 61220
#define ENGINE_TEXT_HELP_LOG " Request for help by %s\r\n"                                         // 61221
#define ENGINE_TEXT_HELP_BLOCK "Name: %s\r\nDescription: %s\r\nSample: %s\r\n------------------\r\n\r\n"  // 61222
#define ENGINE_TEXT_UNANSWERED_MARK "A request was marked read but never answered: "
#define ENGINE_TEXT_UNANSWERED ENGINE_TEXT_UNANSWERED_MARK "%s\r\n"
#define ENGINE_TEXT_UNAUTHORIZED "A request for services came in from an unauthorized user. (%s)\r\n"  // 61227
#define ENGINE_TEXT_AUTO_REPLY                                                                       \
    "I'm sorry, I had trouble understanding what it is you wanted me to do, perhaps I was "         \
    "instructed to ignore these types of requests?"                                                 // 61248
#define ENGINE_TEXT_AUTO_REPLY_SUBJECT "Regarding your last message.[Auto reply]"                   // 61249
#define ENGINE_TEXT_NO_RETURN_ADDRESS                                                                \
    "I can't find a return email address for this message. Subject was: %s\r\n"                    // 61251
#define ENGINE_TEXT_DICTIONARY_ALLOC                                                                 \
    "There was a problem allocating the Grammar Parser -- Please close some open applications. (QTkvD851)"
#define ENGINE_TEXT_DICTIONARY_LOAD "There was a problem loading the Grammar Parser -- Please Re-install KVXs. (QTkvD846 - "

// Commands the engine sends to the main window.
enum {
    ID_ACTIVATE = 32771,
    ID_DEACTIVATE = 32773,
    ID_PROCESS = 32775,
};

// Every log line of the engine starts with the local time ("%c") and a blank.
CString EngineLogTime();

// Request lines of a body: CR and LF both end a line and a run of them is one
// separator, so no line is empty.
std::vector<CString> CutRequestLines(const CString& body);

// Whether an action row with this trigger word is offered a request line.
// lowerLine is the line in lower case. "send.v" wakes on any line holding
// "send"; a word beginning with "*" wakes on every line, except "**", which
// only ever sees whole mails.
bool TriggerWordWakes(const CString& triggerWord, const CString& lowerLine);

// The assistant's name (already upper-cased) anywhere in text, letter case ignored.
bool NameOccursIn(const CString& upperName, const CString& text);

// address matches one of the short-reply patterns.
bool IsShortReplySender(const CAssistantSettings& settings, const CString& address);

// Whether a sender may use the assistant. A non-empty accepted-sender list is
// always in force (the address equal to an entry); with an empty list every
// sender is served unless a loaded ".kvn" document switched the check on,
// which then leaves nobody accepted. The display name is never compared: the
// sender writes it, so "you@localhost" <stranger@elsewhere> would pass.
bool IsSenderAccepted(const CAssistantSettings& settings, const CString& address, bool documentStringsLoaded);

// Where answers to address go: the reply-to address of the first forward rule
// whose mail-from address equals it without regard to case. A rule without a
// reply-to address is passed over.
CString ApplyForwardRules(const CAssistantSettings& settings, const CString& address);

// Mail that a machine sent: bounces, postmaster and no-reply senders,
// vacation and auto-reply senders, and automatic replies by their subjects
// (ours, another assistant's, out-of-office notices). Such mail is never
// answered, so two assistants cannot answer each other for ever. The mail
// provider tells the rest by the message type (ZLM_MESSAGE_TYPE_AUTOMATIC).
bool IsAutomaticMail(const CString& senderAddress, const CString& subject);

// The busy flag with its watchdog and back-off, shared by both ticks.
class CEngineGate {
public:
    enum {
        BACKOFF_DECAY_TICKS = 50,  // executed ticks per level dropped
        BACKOFF_MAX = 10,          // at worst every eleventh tick runs
    };

    // 1 = skip this tick, 0 = run it. stuck is set when the busy state ran past
    // its deadline (the caller logs it); the tick then runs.
    int Check(time_t now, int refreshRate, bool& stuck);

    // A step runs between these; the back-off rises at most once per step,
    // however many ticks the step lets by.
    void BeginStep()
    {
        m_bBusy = 1;
        ++m_nStep;
    }
    void EndStep() { m_bBusy = 0; }

    static time_t Deadline(time_t now, int refreshRate) { return now + static_cast<time_t>(refreshRate) * 200 + 300; }

    int m_bBusy = 0;
    int m_nBackOff = 0;
    int m_nSkipTicks = 0;
    int m_nBackOffCountdown = BACKOFF_DECAY_TICKS;
    time_t m_tWatchdogDeadline = 0;

private:
    unsigned m_nStep = 0;
    unsigned m_nStepBackedOff = 0;
};

// Sets the busy flag for one step and clears it however the step ends, also
// when it throws.
class CBusyStep {
public:
    explicit CBusyStep(CEngineGate& gate) : m_gate(gate) { m_gate.BeginStep(); }
    ~CBusyStep() { m_gate.EndStep(); }
    CBusyStep(const CBusyStep&) = delete;
    CBusyStep& operator=(const CBusyStep&) = delete;

private:
    CEngineGate& m_gate;
};

// Identifiers of mail already handed to the mail road.
class CHandledIDs {
public:
    enum { TRIM_ABOVE = 1000 };
    int IsHandled(const CString& id) const;
    void AddHandled(const CString& id) { m_ids.push_back(id); }
    // Empties the list once it holds more than TRIM_ABOVE identifiers.
    void TrimHandled();
    void ClearHandled() { m_ids.clear(); }
    int GetCount() const { return static_cast<int>(m_ids.size()); }

private:
    std::vector<CString> m_ids;
};

// Local network addresses, classed by their first two bytes.
enum AddressClass { ADDRESS_PUBLIC, ADDRESS_PRIVATE, ADDRESS_LINK_LOCAL };
// The class of an address of `length` bytes; text receives its dotted form as
// far as it was built (the building stops once the class is decided).
AddressClass ClassifyAddress(const unsigned char* bytes, int length, CString& text);
// Whether a host with these addresses (each `length` bytes) counts as
// connected: one public address other than the loopback, or any private one.
bool AddressesShowPresence(const std::vector<std::vector<unsigned char>>& addresses);
