#include "run_reading.h"

#include "request_words.h"

using namespace requestwords;

const RequestRow kRunRows[] = {
    {"execute.v", "MV"},
    {"run.v", "MV"},
    {"execute.v", "FOL"},
    {"run.v", "FOL"},
};
const int kRunRowCount = static_cast<int>(sizeof(kRunRows) / sizeof(kRunRows[0]));

namespace {

const char* const kObjectWords[] = {"program", "batch", "app", "file"};
// "app" too: in "Run the app "C:\x.exe"" the name follows the kind word.
const char* const kProgramWords[] = {"execute", "run", "program", "batch", "application", "app", "file"};
const char* const kProgramLabels[] = {"Jp", "PARW", "Ex", "FOL"};

bool ReadForTable(int, int linkIndex, const WordLinkageList* links, RequestReading& reading)
{
    RunReading run;
    // Without a program name the plug-in leaves the request to the host's answer.
    if (!ReadRunRequest(linkIndex, links, run) || run.m_strProgram.IsEmpty())
        return false;
    reading.m_strReading.Format("%d", run.Number());
    reading.m_strFilters = run.m_strProgram;
    if (!run.m_strParameters.IsEmpty())
        reading.m_strFilters += "|" + run.m_strParameters;
    reading.m_strRecipient.Empty();
    return true;
}

} // namespace

bool HasWildcard(const CString& name)
{
    return name.FindOneOf("*?") >= 0;
}

bool ReadRunRequest(int linkIndex, const WordLinkageList* links, RunReading& reading)
{
    CString object = ObjectOfTrigger(kRunRows, kRunRowCount, linkIndex, links);
    if (object.IsEmpty())
        return false;
    if (!BeginsWithAny(object, kObjectWords, Count(kObjectWords)) && object[0] != '"' && object[0] != '(')
        return false;

    reading.m_strProgram.Empty();
    reading.m_strParameters.Empty();
    int found = -1;
    for (const char* label : kProgramLabels) {
        int side = 0, word = 0;
        found = FindLinkage(links, label, kProgramWords, Count(kProgramWords), 1, 0, side, word, 0, -1);
        if (found >= 0)
            break;
    }
    if (found < 0)
        return true;

    int taken = found;
    const WordLinkage& programLink = (*links)[static_cast<size_t>(found)];
    int name = FindChainedLinkage(links, programLink.m_nRightIndex, "NAM", 1);
    if (name >= 0) {
        int from = (*links)[static_cast<size_t>(name)].m_nRightIndex;
        int next = FindChainedLinkage(links, from, "J", 1);
        if (next < 0)
            next = FindChainedLinkage(links, from, "Ex", 1);
        if (next >= 0)
            taken = next;
    }
    const WordLinkage& link = (*links)[static_cast<size_t>(taken)];
    reading.m_strProgram = BuildParameter(link.m_strRightWord);
    int parameters = FindChainedLinkage(links, link.m_nRightIndex, "O", 1);
    if (parameters >= 0)
        reading.m_strParameters = BuildParameter((*links)[static_cast<size_t>(parameters)].m_strRightWord);
    return true;
}

extern const PluginRequestReader kSkrivoReader = {"Skrivo", kRunRows, kRunRowCount, ReadForTable};
