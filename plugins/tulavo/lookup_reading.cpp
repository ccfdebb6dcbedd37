#include "lookup_reading.h"

namespace {

template <size_t N>
constexpr int Count(const char* const (&)[N])
{
    return static_cast<int>(N);
}

const char* const kRequestVerbs[] = {"send", "what", "show"};
const char* const kPhone[] = {"phone"};
const char* const kAddress[] = {"address"};
const char* const kSummary[] = {"summary"};
// "mobile" as "cell": people ask for either.
const char* const kNumberKinds[] = {"fax", "cell", "pager", "mobile"};
const char* const kThe[] = {"the"};
const char* const kObjectsAfterThe[] = {"phone", "fax", "cell", "mobile", "pager", "address"};
const char* const kPhoneModifiers[] = {"fax",  "cell",     "mobile",   "pager", "home", "house",
                                       "office", "business", "work", "job",   "employer"};
const char* const kFor[] = {"for"};
const char* const kOf[] = {"of"};
// The words whose "of" names the person or company asked about: "the address
// of "Acme Corp"", "the phone number of ...".
const char* const kWhoseWords[] = {"phone", "fax", "cell", "mobile", "pager", "address", "number"};
const char* const kPossessive[] = {"'s"};
const char* const kEmail[] = {"email"};
const char* const kTo[] = {"to"};

CString Word(const WordLinkageList* links, int index, bool right)
{
    const WordLinkage& link = (*links)[static_cast<size_t>(index)];
    return right ? link.m_strRightWord : link.m_strLeftWord;
}

// A parameter word as the user wrote it: quotes or brackets stripped, the
// grammar's ".n" subscript dropped, blanks trimmed.
CString Parameter(const CString& word)
{
    CString value = BuildParameter(word);
    if (value.GetLength() >= 2 && value.Right(2) == ".n")
        value = value.Left(value.GetLength() - 2);
    value.TrimLeft();
    value.TrimRight();
    return value;
}

void SetNumberKind(LookupReading& r, int kind)
{
    // kNumberKinds order: fax, cell, pager, mobile.
    r.m_bFax = kind == 0;
    r.m_bMobile = kind == 1 || kind == 3;
    r.m_bPager = kind == 2;
}

// Which kind of information: false when none is recognised.
bool ReadKind(const WordLinkageList* links, LookupReading& r)
{
    const int verbs = Count(kRequestVerbs);
    for (const char* label : {"Op", "O*n"})
        if (FindFullLink(links, label, kRequestVerbs, verbs, kPhone, 1, 0)) {
            r.m_bSingleField = true;
            return true;
        }
    for (const char* label : {"Op", "O*n"})
        if (FindFullLink(links, label, kRequestVerbs, verbs, kAddress, 1, 0)) {
            r.m_bAddress = true;
            return true;
        }
    if (FindFullLink(links, "Op", kRequestVerbs, verbs, kSummary, 1, 0)) {
        r.m_bSummary = true;
        return true;
    }
    int at = FindFullLink(links, "Op", kRequestVerbs, verbs, kNumberKinds, Count(kNumberKinds), 1);
    if (at >= 0) {
        r.m_bSingleField = true;
        SetNumberKind(r, CompareLinkWord(&(*links)[static_cast<size_t>(at)], kNumberKinds, Count(kNumberKinds), 0, 1));
        return true;
    }
    at = FindFullLink(links, "S", kRequestVerbs, verbs, kThe, 1, 1);
    if (at < 0)
        return false;
    int next = FindChainedLinkage(links, (*links)[static_cast<size_t>(at)].m_nRightIndex, "O", 1);
    if (next < 0)
        return false;
    switch (CompareLinkWord(&(*links)[static_cast<size_t>(next)], kObjectsAfterThe, Count(kObjectsAfterThe), 0, 1)) {
    case 0:
        r.m_bSingleField = true;
        return true;
    case 1:
        r.m_bSingleField = r.m_bFax = true;
        return true;
    case 2:
    case 3:
        r.m_bSingleField = r.m_bMobile = true;
        return true;
    case 4:
        r.m_bSingleField = r.m_bPager = true;
        return true;
    case 5:
        r.m_bAddress = true;
        return true;
    default:
        return false;
    }
}

CString ReadName(const WordLinkageList* links)
{
    int side = 0, word = 0;
    int at = FindLinkage(links, "Js", kFor, 1, 1, 1, side, word, 0, -1);
    if (at >= 0) {
        CString name = Parameter(Word(links, at, side == 1));
        if (!name.IsEmpty())
            return name;
    }
    // "... of "Acme Corp"": the grammar may take the name after "of" as a
    // name (Js) or as a thing (FOL).
    int whose = FindFullLink(links, "M", kWhoseWords, Count(kWhoseWords), kOf, 1, 1);
    if (whose >= 0) {
        int of = (*links)[static_cast<size_t>(whose)].m_nRightIndex;
        for (const char* label : {"Js", "FOL"}) {
            int named = FindChainedLinkage(links, of, label, 1);
            if (named >= 0) {
                CString name = Parameter(Word(links, named, true));
                if (!name.IsEmpty())
                    return name;
            }
        }
    }
    at = FindFullLink(links, "Op", kRequestVerbs, Count(kRequestVerbs), kPossessive, 1, 1);
    if (at >= 0) {
        int owner = FindChainedLinkage(links, (*links)[static_cast<size_t>(at)].m_nRightIndex, "YS", 0);
        if (owner >= 0)
            return Parameter(Word(links, owner, false));
    }
    return CString();
}

} // namespace

bool ReadLookupRequest(const WordLinkageList* links, LookupReading& r)
{
    r = LookupReading();
    if (!links || !ReadKind(links, r))
        return false;
    // Every answer names whom it is about: without a name the lookup would
    // give the whole address book.
    r.m_strName = ReadName(links);
    if (r.m_strName.IsEmpty())
        return false;

    if (r.m_bSingleField) {
        int at = FindFullLink(links, "A", kPhoneModifiers, Count(kPhoneModifiers), kPhone, 1, 1);
        if (at >= 0) {
            const WordLinkage* modifier = &(*links)[static_cast<size_t>(at)];
            switch (CompareLinkWord(modifier, kPhoneModifiers, Count(kPhoneModifiers), 1, 0)) {
            case 0:
                r.m_bFax = true;
                break;
            case 1:
            case 2:
                r.m_bMobile = true;
                break;
            case 3:
                r.m_bPager = true;
                break;
            case 4:
            case 5:
                r.m_bHome = true;
                break;
            case -1:
                break;
            default:
                r.m_bBusiness = true;
                break;
            }
        }
    }
    // "email address": the grammar joins the two words as a compound noun (AN).
    bool emailAddress =
        FindFullLink(links, "ID", kEmail, 1, kAddress, 1, 0) || FindFullLink(links, "AN", kEmail, 1, kAddress, 1, 0);
    if (r.m_bAddress && !r.m_bEmail && emailAddress) {
        r.m_bEmail = r.m_bSingleField = true;
        r.m_bAddress = false;
    }

    int side = 0, word = 0;
    int at = FindLinkage(links, "Ox", kTo, 1, 1, 1, side, word, 0, -1);
    if (at >= 0)
        r.m_strRecipient = Parameter(Word(links, at, side == 1));
    return true;
}

namespace {

bool ReadForPhrasing(int, int, const std::vector<WordLinkage>* links, RequestReading& reading)
{
    LookupReading lookup;
    if (!ReadLookupRequest(links, lookup))
        return false;
    reading.m_strReading.Format("%d", lookup.Code());
    reading.m_strFilters = lookup.m_strName;
    reading.m_strRecipient = lookup.m_strRecipient;
    return true;
}

} // namespace

extern const PluginRequestReader kTulavoReader = {"Tulavo", kLookupRows, kLookupRowCount, ReadForPhrasing};
