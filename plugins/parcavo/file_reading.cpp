#include "file_reading.h"

#include "request_words.h"

using namespace requestwords;

const RequestRow kFileRows[] = {
    {"send", "O*n"}, {"send", "Op"}, {"send", "Ox"}, {"send", "S"}, {"show", "O*n"}, {"show", "Op"}, {"show", "S"},
};
const int kFileRowCount = static_cast<int>(sizeof(kFileRows) / sizeof(kFileRows[0]));

namespace {

const char* const kObjectWords[] = {"file", "doc"};
const char* const kNameLabels[] = {"Jp", "PARW", "Ex", "FOL", "NAM"};
const char* const kNameWords[] = {"send", "show", "doc", "file", "named", "called", "name"};

bool ReadForTable(int, int linkIndex, const WordLinkageList* links, RequestReading& reading)
{
    FileReading file;
    if (!ReadFileRequest(linkIndex, links, file) || file.m_strFileName.IsEmpty())
        return false;
    reading.m_strReading.Format("%d", file.Number());
    reading.m_strFilters = file.m_strFileName;
    reading.m_strRecipient = file.m_strRecipient;
    return true;
}

} // namespace

bool ReadFileRequest(int linkIndex, const WordLinkageList* links, FileReading& reading)
{
    CString written;
    CString object = ObjectOfTrigger(kFileRows, kFileRowCount, linkIndex, links, &written);
    if (object.IsEmpty())
        return false;
    if (!BeginsWithAny(object, kObjectWords, Count(kObjectWords)) && object[0] != '"' && object[0] != '(')
        return false;

    reading.m_strFileName.Empty();
    int found = -1;
    for (const char* label : kNameLabels) {
        int side = 0, word = 0;
        found = FindLinkage(links, label, kNameWords, Count(kNameWords), 1, 0, side, word, 0, -1);
        if (found >= 0)
            break;
    }
    if (found >= 0) {
        const WordLinkage* link = LinkAt(links, found);
        if (const WordLinkage* next = LinkAt(links, FindChainedLinkage(links, link->m_nRightIndex, "J", 1)))
            link = next;
        reading.m_strFileName = BuildParameter(link->m_strRightWord);
    } else if (object[0] == '"') {
        // "Send me "C:\a.txt"": the quoted object is the file's name itself.
        reading.m_strFileName = BuildParameter(written);
    }
    reading.m_strRecipient = RecipientName(links);
    return true;
}

extern const PluginRequestReader kParcavoReader = {"Parcavo", kFileRows, kFileRowCount, ReadForTable};
