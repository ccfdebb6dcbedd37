#include "alert_reading.h"

namespace {

template <size_t N>
constexpr int Count(const char* const (&)[N])
{
    return static_cast<int>(N);
}

const char* const kAlertVerbs[] = {"tell",     "notify",    "alert",    "forward",   "know",
                                   "telling",  "notifying", "alerting", "forwarding"};
const char* const kMailWords[] = {"message", "e-mail", "email", "mail"};
const char* const kStopWords[] = {"stop", "finish", "discontinue", "end"};
const char* const kSenderWords[] = {"from", "by"};
const char* const kTextWords[] = {"contain", "contains", "containing", "saying", "says", "said", "mentions"};
// "Stop sending me alerts.": a stop request may name the alerts themselves.
const char* const kStopVerbs[] = {"tell", "notify", "alert", "forward", "know", "telling", "notifying",
                                  "alerting", "forwarding", "send", "sending"};
const char* const kAlertNouns[] = {"alert"};

// The other word of the first "Js" link that has one of the words, stripped of
// its quotes or brackets and lower-cased; false when there is none.
bool JoinedParameter(const WordLinkageList* links, const char* const* words, int count, CString& value)
{
    int side = 0, word = 0;
    int at = FindLinkage(links, "Js", words, count, 1, 1, side, word, 0, -1);
    if (at < 0)
        return false;
    const WordLinkage& link = (*links)[static_cast<size_t>(at)];
    value = BuildParameter(side ? link.m_strRightWord : link.m_strLeftWord);
    // The grammar's subscript (".n") is no part of what the user wrote.
    if (value.GetLength() >= 2 && value.Right(2) == ".n")
        value = value.Left(value.GetLength() - 2);
    value.MakeLower();
    return true;
}

bool BeginsWithAnyLower(CString word, const char* const* words, int count)
{
    word.MakeLower();
    for (int i = 0; i < count; ++i)
        if (word.Find(words[i]) == 0)
            return true;
    return false;
}

// A request that begins with its condition ("When mail from "Bob" comes in,
// tell me."): the clause's word ("when", "if") names the alert verb with an
// "OC" link and its own verb with a "C" link; the mail is that verb's subject
// or object.
bool FrontedClauseAboutMail(const WordLinkageList* links)
{
    for (const WordLinkage& asks : *links) {
        if (CString(asks.m_strLinkLabel) != "OC" ||
            !BeginsWithAnyLower(asks.m_strRightWord, kAlertVerbs, Count(kAlertVerbs)))
            continue;
        for (const WordLinkage& clause : *links) {
            if (CString(clause.m_strLinkLabel) != "C" || clause.m_nLeftIndex != asks.m_nLeftIndex)
                continue;
            int verb = clause.m_nRightIndex;
            for (const WordLinkage& mail : *links) {
                CString label = mail.m_strLinkLabel;
                if (label.IsEmpty() || (label[0] != 'S' && label[0] != 'O'))
                    continue;
                bool left = mail.m_nRightIndex == verb &&
                            BeginsWithAnyLower(mail.m_strLeftWord, kMailWords, Count(kMailWords));
                bool right = mail.m_nLeftIndex == verb &&
                             BeginsWithAnyLower(mail.m_strRightWord, kMailWords, Count(kMailWords));
                if (left || right)
                    return true;
            }
        }
    }
    return false;
}

} // namespace

bool ReadAlertRequest(const WordLinkageList* links, AlertReading& reading)
{
    reading = AlertReading();
    if (!links)
        return false;
    int side = 0, word = 0;
    reading.m_bStop = FindLinkage(links, "W", kStopWords, Count(kStopWords), 1, 1, side, word, 0, -1) >= 0;
    bool aboutMail = FindFullLink(links, "O", kAlertVerbs, Count(kAlertVerbs), kMailWords, Count(kMailWords), 0) != 0 ||
                     FrontedClauseAboutMail(links);
    bool aboutAlerts = reading.m_bStop &&
                       FindFullLink(links, "O", kStopVerbs, Count(kStopVerbs), kAlertNouns, Count(kAlertNouns), 0);
    if (!aboutMail && !aboutAlerts) {
        reading.m_bStop = false;
        return false;
    }
    reading.m_bSender = JoinedParameter(links, kSenderWords, Count(kSenderWords), reading.m_strSender);
    reading.m_bText = JoinedParameter(links, kTextWords, Count(kTextWords), reading.m_strText);
    return true;
}

namespace {

bool ReadForPhrasing(int, int, const std::vector<WordLinkage>* links, RequestReading& reading)
{
    AlertReading alert;
    if (!ReadAlertRequest(links, alert))
        return false;
    reading.m_strReading = alert.m_bStop ? "stop" : "alert";
    CString filters;
    if (alert.m_bSender)
        filters = "from " + alert.m_strSender;
    if (alert.m_bText)
        filters += CString(filters.IsEmpty() ? "" : ", ") + "containing " + alert.m_strText;
    reading.m_strFilters = filters;
    reading.m_strRecipient.Empty();
    return true;
}

} // namespace

extern const PluginRequestReader kChimavoReader = {"Chimavo", kAlertRows, kAlertRowCount, ReadForPhrasing};
