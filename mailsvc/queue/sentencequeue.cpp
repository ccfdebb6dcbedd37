#include "queue/sentencequeue.h"

SentenceQueue queueSentence;

void SentenceQueue::AddMessageBody(const CString& body, const CString& fromAddress, const CString& fromName,
                                   const CString& to, int sourceMethod, int size, const CString& subject,
                                   CZLMMapiFile* attachments)
{
    QueuedSentence entry;
    entry.SetSubject(subject);
    entry.SetFromAddress(fromAddress);
    entry.SetFromName(fromName);
    entry.SetTo(to);
    entry.SetSourceMethod(sourceMethod);
    entry.SetSize(size);
    entry.SetAttachments(attachments);

    const char* text = body;
    const int length = body.GetLength();
    int pos = 0;
    while (pos < length) {
        while (pos < length && (text[pos] == '\r' || text[pos] == '\n')) ++pos;
        int end = pos;
        while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
        if (end > pos) {
            entry.SetText(CString(text + pos, end - pos));
            m_queue.push_back(entry);
        }
        pos = end;
    }
}

QueuedSentence SentenceQueue::GetNextSentence()
{
    if (m_queue.empty()) return QueuedSentence();
    QueuedSentence next = m_queue.front();
    m_queue.pop_front();
    return next;
}
