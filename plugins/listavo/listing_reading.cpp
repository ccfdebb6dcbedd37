#include "listing_reading.h"

#include "request_words.h"

using namespace requestwords;

const RequestRow kListingRows[] = {
    {"send", "Op"}, {"send", "S"}, {"send", "O*n"}, {"show", "Op"}, {"show", "S"}, {"show", "O*n"},
};
const int kListingRowCount = static_cast<int>(sizeof(kListingRows) / sizeof(kListingRows[0]));

namespace {

const char* const kObjectWords[] = {"list", "folder", "director"};
// The third lists files, the others folders.
const char* const kKindWords[] = {"director", "folder", "file", "doc"};
const int kFileKind = 2;
const int kDocKind = 3;

bool ReadForTable(int, int linkIndex, const WordLinkageList* links, RequestReading& reading)
{
    ListingReading listing;
    if (!ReadListingRequest(linkIndex, links, listing))
        return false;
    reading.m_strReading.Format("%d", listing.Number());
    reading.m_strFilters = listing.m_strStartFolder + "|" + listing.m_strMask;
    reading.m_strRecipient.Empty();
    return true;
}

const WordLinkage* Chained(const WordLinkageList* links, int position, const char* label)
{
    return LinkAt(links, FindChainedLinkage(links, position, label, 1));
}

} // namespace

bool ReadListingRequest(int linkIndex, const WordLinkageList* links, ListingReading& reading)
{
    CString object = ObjectOfTrigger(kListingRows, kListingRowCount, linkIndex, links);
    if (!BeginsWithAny(object, kObjectWords, Count(kObjectWords)))
        return false;

    const WordLinkage* kind = nullptr;
    int kindWord = -1;
    for (size_t i = 0; links && i < links->size() && !kind; ++i) {
        const WordLinkage& link = (*links)[i];
        if (!BeginsWith(link.m_strLinkLabel, "FOL"))
            continue;
        CString left = link.m_strLeftWord, right = link.m_strRightWord;
        left.MakeLower();
        right.MakeLower();
        for (int w = 0; w < Count(kKindWords) && !kind; ++w) {
            if (BeginsWith(left, kKindWords[w]) || BeginsWith(right, kKindWords[w])) {
                kind = &link;
                kindWord = w;
            }
        }
    }
    if (!kind)
        return false;
    reading.m_nFolders = kindWord == kFileKind ? 0 : 1;

    reading.m_strStartFolder = "\\";
    reading.m_bStartGiven = false;
    const WordLinkage* place = Chained(links, kind->m_nRightIndex, "M");
    if (!place) {
        if (const WordLinkage* name = Chained(links, kind->m_nRightIndex, "NAM"))
            place = Chained(links, name->m_nRightIndex, "M");
    }
    const WordLinkage* folder = place ? Chained(links, place->m_nRightIndex, "J") : nullptr;
    // "a listing of the folder "C:\Data"": the folder is named after its kind word.
    if (!folder && !place && kindWord != kFileKind && kindWord != kDocKind)
        folder = Chained(links, kind->m_nRightIndex, "PARW");
    if (folder) {
        CString start = BuildParameter(folder->m_strRightWord);
        int n = start.GetLength();
        if (n > 0 && (start[n - 1] == '/' || start[n - 1] == '\\'))
            start = start.Left(n - 1);
        if (!start.IsEmpty()) {
            reading.m_strStartFolder = start;
            reading.m_bStartGiven = true;
        }
    }

    reading.m_strMask = "*.*";
    if (const WordLinkage* name = Chained(links, kind->m_nRightIndex, "NAM")) {
        if (const WordLinkage* mask = Chained(links, name->m_nRightIndex, "J")) {
            CString text = BuildParameter(mask->m_strRightWord);
            if (!text.IsEmpty())
                reading.m_strMask = text;
        }
    }
    return true;
}

extern const PluginRequestReader kListavoReader = {"Listavo", kListingRows, kListingRowCount, ReadForTable};
