#include "summary_reading.h"

#include "request_words.h"

#include <set>
#include <vector>

using namespace requestwords;

const RequestRow kSummaryRows[] = {
    {"send.v", "O*n"}, {"send.v", "Opn"}, {"send.v", "Op"}, {"show", "O*n"},  {"show", "Opn"},  {"show", "Op"},
    {"what", "O*n"},   {"what", "Opn"},   {"what", "Op"},   {"which", "O*n"}, {"which", "Opn"}, {"which", "Op"},
};
const int kSummaryRowCount = static_cast<int>(sizeof(kSummaryRows) / sizeof(kSummaryRows[0]));

namespace {

const char* const kSummaryVerbs[] = {"send", "show", "what", "which"};
const char* const kSummaryNouns[] = {"list", "summary", "overview", "rundown"};
const char* const kMailWords[] = {"message", "e-mail", "email", "mail"};
// The first seven mean unread only.
const char* const kNewWords[] = {"new",  "unread", "un-read", "unopened", "untouched", "un-opened",
                                 "un-touched", "old", "read", "opened", "touched"};
const int kUnreadWords = 7;
const char* const kSenderWords[] = {"from", "by"};

// The links a summary noun reaches its mail word by: an object ("O"), or a
// modifier and its preposition's object ("a summary of my messages": M, J).
const char* const kChainLabels[] = {"O", "M", "J"};

// A mail word on a chain of object and modifier links that starts at the
// word position. Links only lead rightwards and every word is visited once,
// so a damaged list cannot make it loop.
bool ChainReachesMail(const WordLinkageList* links, int start)
{
    if (!links || start < 0)
        return false;
    std::set<int> visited;
    std::vector<int> pending = {start};
    while (!pending.empty()) {
        int position = pending.back();
        pending.pop_back();
        if (!visited.insert(position).second)
            continue;
        for (const WordLinkage& link : *links) {
            if (link.m_nLeftIndex != position || link.m_nRightIndex <= position)
                continue;
            if (!BeginsWithAny(link.m_strLinkLabel, kChainLabels, Count(kChainLabels)))
                continue;
            CString right = link.m_strRightWord;
            right.MakeLower();
            if (BeginsWithAny(right, kMailWords, Count(kMailWords)))
                return true;
            pending.push_back(link.m_nRightIndex);
        }
    }
    return false;
}

bool ReadForTable(int, int linkIndex, const WordLinkageList* links, RequestReading& reading)
{
    SummaryReading summary;
    if (!ReadSummaryRequest(linkIndex, links, 1, summary))
        return false;
    reading.m_strReading.Format("%d", summary.Number());
    reading.m_strFilters = summary.m_strSenderFilter;
    reading.m_strRecipient = summary.m_strRecipient;
    return true;
}

} // namespace

bool ReadSummaryRequest(int linkIndex, const WordLinkageList* links, int defaultNew, SummaryReading& reading)
{
    const WordLinkage* link = LinkAt(links, linkIndex);
    if (!link)
        return false;
    if (!FindFullLink(links, "O", kSummaryVerbs, Count(kSummaryVerbs), kSummaryNouns, Count(kSummaryNouns), 0))
        return false;
    if (!FindFullLink(links, "O", kSummaryVerbs, Count(kSummaryVerbs), kMailWords, Count(kMailWords), 0) &&
        !ChainReachesMail(links, link->m_nRightIndex))
        return false;

    int side = 0, word = 0;
    reading.m_nNewOnly = defaultNew;
    if (FindLinkage(links, "A", kNewWords, Count(kNewWords), 1, 0, side, word, 0, -1) >= 0)
        reading.m_nNewOnly = word < kUnreadWords ? 1 : 0;

    reading.m_strSenderFilter.Empty();
    int at = FindLinkage(links, "Js", kSenderWords, Count(kSenderWords), 1, 1, side, word, 0, -1);
    if (at >= 0)
        reading.m_strSenderFilter = BuildParameter(OtherWord((*links)[static_cast<size_t>(at)], side));

    reading.m_strRecipient = RecipientName(links);
    return true;
}

extern const PluginRequestReader kSumvaneReader = {"Sumvane", kSummaryRows, kSummaryRowCount, ReadForTable};
