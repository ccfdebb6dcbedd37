// What an address-book request asks for, read from the links of its parse:
// which piece of information, about whom, and to whom the answer goes.
// Portable: it needs only the links.
#pragma once

#include "request_reading.h"
#include "word_linkage.h"

struct LookupReading {
    bool m_bSingleField = false;
    bool m_bAddress = false;
    bool m_bSummary = false;
    bool m_bEmail = false;
    bool m_bBusiness = false;
    bool m_bHome = false;
    bool m_bMobile = false;
    bool m_bFax = false;
    bool m_bPager = false;
    CString m_strName;       // whose entry, as the request writes it
    CString m_strRecipient;  // the name the answer goes to, not yet translated

    // The test-mode code: 1, +2 address, +4 email, +8 business, +16 home,
    // +32 mobile, +64 fax, +128 pager.
    int Code() const
    {
        return 1 + (m_bAddress ? 2 : 0) + (m_bEmail ? 4 : 0) + (m_bBusiness ? 8 : 0) + (m_bHome ? 16 : 0) +
               (m_bMobile ? 32 : 0) + (m_bFax ? 64 : 0) + (m_bPager ? 128 : 0);
    }
};

inline constexpr RequestRow kLookupRows[] = {
    {"send", "Op"}, {"send", "S"},   {"send", "O*n"},  {"show", "Op"},  {"show", "S"},
    {"show", "O*n"}, {"what", "Op"}, {"what", "O*n"}, {"which", "Op"}, {"which", "O*n"},
};
inline constexpr int kLookupRowCount = static_cast<int>(sizeof(kLookupRows) / sizeof(kLookupRows[0]));

// False when the request names no kind of information, or names no person
// (an empty name would match every entry of every book).
bool ReadLookupRequest(const WordLinkageList* links, LookupReading& reading);

// reading = the test-mode code; filters = the name asked for.
extern const PluginRequestReader kTulavoReader;
