// Request lines waiting to be processed, each with the data of the mail it
// came from. The library keeps one process-wide queue, queueSentence, used
// from the main program's window thread only.
#pragma once
#include "fx/fx.h"

#include <deque>

class CZLMMapiFile;

class QueuedSentence {
public:
    QueuedSentence() = default;

    void SetText(const CString& text) { m_strText = text; }
    void SetSubject(const CString& subject) { m_strSubject = subject; }
    void SetFromAddress(const CString& address) { m_strFromAddress = address; }
    void SetFromName(const CString& name) { m_strFromName = name; }
    void SetTo(const CString& to) { m_strTo = to; }
    void SetSourceMethod(int method) { m_nSourceMethod = method; }
    void SetSize(int size) { m_nSize = size; }
    // Not owned: the list's owner keeps it alive until the line is processed.
    void SetAttachments(CZLMMapiFile* attachments) { m_pAttachments = attachments; }

    CString GetText() const { return m_strText; }
    CString GetSubject() const { return m_strSubject; }
    CString GetTo() const { return m_strTo; }
    const CString& GetFromAddress() const { return m_strFromAddress; }
    const CString& GetFromName() const { return m_strFromName; }
    int GetSourceMethod() const { return m_nSourceMethod; }
    int GetSize() const { return m_nSize; }
    CZLMMapiFile* GetAttachments() const { return m_pAttachments; }

private:
    CString m_strFromAddress;
    CString m_strFromName;
    CString m_strTo;
    int m_nSourceMethod = 0;
    int m_nSize = 0;
    CString m_strText;
    CString m_strSubject;
    CZLMMapiFile* m_pAttachments = nullptr;
};

class SentenceQueue {
public:
    // Queues every non-empty line of body (lines end at any run of CR and LF
    // characters), each with the same mail data.
    void AddMessageBody(const CString& body, const CString& fromAddress, const CString& fromName,
                        const CString& to, int sourceMethod, int size, const CString& subject,
                        CZLMMapiFile* attachments);
    // The oldest line, removed from the queue; an empty entry when none is queued.
    QueuedSentence GetNextSentence();
    int IsEmpty() const { return m_queue.empty() ? 1 : 0; }

private:
    std::deque<QueuedSentence> m_queue;
};

extern SentenceQueue queueSentence;
