#include "forward_reading.h"

namespace {

template <size_t N>
constexpr int Count(const char* const (&)[N])
{
    return static_cast<int>(N);
}

const char* const kMailWords[] = {"message", "e-mail", "email", "mail"};
const char* const kSummaryVerbs[] = {"send", "show", "what", "which"};
const char* const kSummaryNouns[] = {"list", "summary", "overview", "rundown"};
// The first four mean no attachments.
const char* const kAttachmentWords[] = {"without", "less", "minus", "sans", "with", "including", "plus", "avec"};
const int kNoAttachmentWords = 4;
const char* const kAttachmentObjects[] = {"attachment", "file"};
// The first seven mean unread only.
const char* const kNewWords[] = {"new",  "unread", "un-read", "unopened", "untouched", "un-opened",
                                 "un-touched", "old", "read", "opened", "touched"};
const int kUnreadWords = 7;
const char* const kSenderWords[] = {"from", "by"};
const char* const kRecipientWords[] = {"to"};

bool BeginsWith(const CString& text, const CString& prefix)
{
    return text.GetLength() >= prefix.GetLength() && text.Left(prefix.GetLength()) == prefix;
}

bool BeginsWithAny(const CString& word, const char* const* list, int count)
{
    for (int i = 0; i < count; ++i)
        if (BeginsWith(word, list[i]))
            return true;
    return false;
}

// The word at the other end of the link from the one that matched (side 1: the left word matched).
CString OtherWord(const WordLinkage& link, int side)
{
    return side ? link.m_strRightWord : link.m_strLeftWord;
}

} // namespace

bool ReadForwardRequest(const char* const* triggerWords, int triggerCount, int linkIndex,
                        const WordLinkageList* links, int defaultNew, int defaultAttach, ForwardReading& reading)
{
    if (!links || linkIndex < 0 || linkIndex >= static_cast<int>(links->size()))
        return false;
    const WordLinkage& link = (*links)[static_cast<size_t>(linkIndex)];
    CString left = link.m_strLeftWord;
    CString right = link.m_strRightWord;
    left.MakeLower();
    right.MakeLower();
    CString object;
    for (int i = 0; i < triggerCount; ++i) {
        CString trigger = triggerWords[i];
        if (BeginsWith(trigger, left))
            object = right;
        if (BeginsWith(trigger, right))
            object = left;
    }
    reading.m_strObject = object;
    if (!BeginsWithAny(object, kMailWords, Count(kMailWords)))
        return false;
    // A summary of the messages is the summary plug-in's request.
    if (FindFullLink(links, "O", kSummaryVerbs, Count(kSummaryVerbs), kSummaryNouns, Count(kSummaryNouns), 0))
        return false;

    int side = 0, word = 0;
    reading.m_nNewOnly = defaultNew;
    if (FindLinkage(links, "A", kNewWords, Count(kNewWords), 1, 0, side, word, 0, -1) >= 0)
        reading.m_nNewOnly = word < kUnreadWords ? 1 : 0;

    reading.m_nAttachments = defaultAttach;
    int count = static_cast<int>(links->size());
    for (int at = 0; at < count; ++at) {
        at = FindLinkage(links, "Jp", kAttachmentWords, Count(kAttachmentWords), 1, 0, side, word, at, -1);
        if (at < 0)
            break;
        if (CompareLinkWord(&(*links)[static_cast<size_t>(at)], kAttachmentObjects, Count(kAttachmentObjects), 0, 1) !=
            -1) {
            reading.m_nAttachments = word < kNoAttachmentWords ? 0 : 1;
            break;
        }
    }

    reading.m_strSenderFilter.Empty();
    reading.m_strMessageID.Empty();
    int at = FindLinkage(links, "Js", kSenderWords, Count(kSenderWords), 1, 1, side, word, 0, -1);
    if (at >= 0) {
        reading.m_strSenderFilter = BuildParameter(OtherWord((*links)[static_cast<size_t>(at)], side));
        if (BeginsWith(reading.m_strSenderFilter, "MID"))
            reading.m_strMessageID = reading.m_strSenderFilter.Mid(3);
    }

    reading.m_strRecipient.Empty();
    at = FindLinkage(links, "Ox", kRecipientWords, Count(kRecipientWords), 1, 1, side, word, 0, -1);
    if (at >= 0) {
        CString name = BuildParameter(OtherWord((*links)[static_cast<size_t>(at)], side));
        if (name.GetLength() >= 2 && name.Right(2) == ".n")
            name = name.Left(name.GetLength() - 2);
        reading.m_strRecipient = name;
    }
    return true;
}

namespace {

bool ReadForPhrasing(int, int linkIndex, const std::vector<WordLinkage>* links, RequestReading& reading)
{
    const char* triggers[kForwardRowCount];
    for (int i = 0; i < kForwardRowCount; ++i)
        triggers[i] = kForwardRows[i].word;
    ForwardReading forward;
    if (!ReadForwardRequest(triggers, kForwardRowCount, linkIndex, links, 1, 1, forward))
        return false;
    reading.m_strReading.Format("%d", forward.Number());
    reading.m_strFilters = forward.m_strSenderFilter;
    reading.m_strRecipient = forward.m_strRecipient;
    return true;
}

} // namespace

extern const PluginRequestReader kRelvaneReader = {"Relvane", kForwardRows, kForwardRowCount, ReadForPhrasing};
