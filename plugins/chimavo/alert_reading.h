// What an alert request asks for, read from the links of its parse: whether it
// is an alert request at all, whether it stops alerts, and the sender and the
// text to look for. Portable: it needs only the links.
#pragma once

#include "request_reading.h"
#include "word_linkage.h"

struct AlertReading {
    bool m_bStop = false;
    bool m_bSender = false;
    CString m_strSender;  // lower case
    bool m_bText = false;
    CString m_strText;  // lower case

    // 1 when a sender is given, plus 2 when a text is given.
    int Criteria() const { return (m_bSender ? 1 : 0) + (m_bText ? 2 : 0); }
};

// The plug-in's action rows; the last one takes whole incoming mail unparsed.
inline constexpr RequestRow kAlertRows[] = {
    {"tell", "O"}, {"notify", "O"},      {"alert", "O"},  {"forward", "O"}, {"know", "O"},
    {"stop", "W"}, {"discontinue", "W"}, {"finish", "W"}, {"end", "W"},     {"**", "**"},
};
inline constexpr int kAlertRowCount = static_cast<int>(sizeof(kAlertRows) / sizeof(kAlertRows[0]));

// False unless an "O" link joins an alert verb to a mail word (or the request
// begins with a "when" clause about mail that names the alert verb), or a stop
// request's verb to the alerts ("Stop sending me alerts.").
bool ReadAlertRequest(const WordLinkageList* links, AlertReading& reading);

// reading = "alert" or "stop"; filters = "from <sender>", "containing <text>"
// joined by ", ".
extern const PluginRequestReader kChimavoReader;
