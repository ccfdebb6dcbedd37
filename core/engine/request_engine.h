// The request engine: the state the application object keeps for it, the two
// ticks that the main frame's timers call, the mail road that the mail tick
// starts, request line processing and the help reply.
//
// The engine has no thread of its own. The application owns one CRequestEngine
// and makes it current; the main frame's timers call OnMailTick and OnFastTick,
// the console document's ID_PROCESS handler calls OnProcess. Tests drive the
// ticks directly, with the clock of CTime::GetCurrentTime set by
// fx::SetTimeSource.
#pragma once

#include "engine_rules.h"
#include "pending_requests.h"
#include "request_lock.h"

#include "fx/fx.h"

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

class CPluginTable;
class CZLMMapi;
class CZLMMapiFile;
class CZLMMapiMessage;
class CGrammarDictionary;
struct ParseOptions;
class WordLinkage;

// Strings read from opened ".kvn" documents; while it holds any, a sender
// must be on the accepted-sender list even when that list is empty.
extern CStringList g_DocumentStrings;
// The identifier the mail road handled last.
extern CString g_strLastProcessedID;
// Set while the dictionary test runs; the watchdog clears it.
extern int g_bHoldLog;

// The note of the mail being answered: "Answering.txt" in the program folder.
CString UnansweredNotePath(const CString& appPath);
// The record of requests that were never answered: "Unanswered.txt" there.
CString UnansweredRecordPath(const CString& appPath);
// The requests taken and not yet carried out: "PendingRequests.txt" there.
CString PendingRequestsPath(const CString& appPath);

class CRequestEngine {
public:
    CRequestEngine();
    ~CRequestEngine();
    CRequestEngine(const CRequestEngine&) = delete;
    CRequestEngine& operator=(const CRequestEngine&) = delete;

    // The engine that the free functions below use (the application's).
    static CRequestEngine* Current();
    static void SetCurrent(CRequestEngine* engine);

    // What the engine works with; set by the application at start-up.
    CPluginTable* m_pPlugins = nullptr;
    CZLMMapi* m_pSession = nullptr;
    CGrammarDictionary* m_pDictionary = nullptr;
    ParseOptions* m_pParseOptions = nullptr;
    CString m_strAppPath;
    // Sends a command to the main window and returns when it was handled;
    // empty while there is no main window.
    std::function<void(unsigned)> m_SendCommand;
    // Posts a command to the main window; empty while there is none.
    std::function<void(unsigned)> m_PostCommand;
    // The web version check, run on mail ticks that handed nothing on.
    std::function<void()> m_CheckWebForUpdate;

    // Ticks.
    void OnMailTick();
    void OnFastTick();
    int CheckWatchdog();
    int CheckActiveHours(int* inWindow);
    int CheckForNewMail(int enabled);
    int ProcessSentenceQueue();
    void IdleTurn();
    void QueueMessageBody(const CString& body, const CString& fromAddress, const CString& fromName,
                          const CString& to, int sourceMethod, int size, const CString& subject,
                          CZLMMapiFile* attachments);

    // The mail road: the ID_PROCESS handler's work for m_strMessageID.
    void OnProcess();
    // At start: logs the mail that the last run marked read and did not
    // finish answering (it crashed or was killed), from the note that the
    // mail road keeps in m_strAppPath. persistLog, when given, writes the log
    // to disk: the note is removed only once that succeeded, so a run killed
    // right after starting loses neither.
    void ReportUnansweredMail(const std::function<bool()>& persistLog = nullptr);
    int IsMailForMe(CString* upperSubject, CString* messageID, CString* senderAddress);
    int ProcessMail(CString messageID, CZLMMapiMessage* envelope, int tentative);
    void ProcessHelpRequest(CString messageID, CZLMMapiMessage* envelope, int flag);
    // Marks a request read once the road is done with it, whatever the outcome
    // (answered, refused, not understood, failed), so that it is never taken
    // up again.
    void MarkHandled(const CString& messageID);
    // Takes every request waiting unread in the box but `current`: each is
    // noted as pending, then marked read, so that no action carried out
    // before it can take it for the user's new mail. Bounded per call.
    void TakeRequests(const CString& current);
    // Whether a mail is a request to the assistant (its envelope read).
    bool IsRequestMail(CString id, CZLMMapiMessage& envelope);
    // The pending list of this program folder, read at the first use.
    CPendingRequests& Pending();

    // Busy flag, watchdog and back-off.
    CEngineGate m_Gate;
    int m_bTimeWindowActed = 0;
    // The user switched the mail interface off: automatic activation waits
    // until a session is logged on again (the user's own Activate) or, with
    // active hours, until the window next opens.
    void HoldDeactivation();
    bool DeactivationHeld() const { return m_bDeactivationHeld != 0; }
    int m_bDeactivationHeld = 0;
    int m_bHeldWindowClosed = 0;
    int m_nUnreadCount = -1;
    int m_nUnreadRunning = 0;
    CString m_strMessageID;
    CHandledIDs m_HandledIDs;
    // Unread mail found by a take not to be a request (it keeps its turn in
    // the probe's sweep, for the whole-mail rows); looked at once, as long
    // as the set stays within its bound.
    std::unordered_set<std::string> m_NotRequests;
    enum { NOT_REQUESTS_MAX = 50000 };
    CPendingRequests m_Pending;
    int m_nIdleIndex = 0;

private:
    bool LoggedOn() const;
    void Send(unsigned command);
    // Ends the hold once its reason has passed; true while it still holds.
    bool CheckHold(bool sameTime, bool inWindow);
    bool CheckSender(CString& address, const CString& name, const CString& subject, int& shortReply);
};

// Request line processing: the line offered to every action row whose
// trigger word it holds, each with a parse of its own. 1 when an action
// handled the line. Callable from any thread; runs under the request lock.
int ProcessRequest(CString* line, CString* senderAddress, CString* senderName, CString* subject,
                   CString* messageText, CZLMMapiFile* attachments, int passFlag, int shortReply, int mode);
// The whole request offered to every row without a parse ("**" rows on the
// tentative pass, "*" rows on the final one). The first nonzero result.
int TryPluginActions(std::vector<WordLinkage>* links, CString* senderAddress, CString* senderName,
                     CZLMMapiFile* attachments, CStringList* words, CString* messageText, CString* sentenceText,
                     CString* subject, int passFlag, int shortReply, int mode);
int TryPluginAction(std::vector<WordLinkage>* links, CString* senderAddress, CString* senderName,
                    CZLMMapiFile* attachments, CStringList* words, CString* messageText, CString* sentenceText,
                    CString* subject, int passFlag, int row, int shortReply, int mode);
// The help listing of the active plug-ins, sent to `to`.
void SendReply(CString* to, CString* name, int flag, int mode, int shortReply);
// Whether this computer has a usable network address.
int GetLocalIPAddress();
