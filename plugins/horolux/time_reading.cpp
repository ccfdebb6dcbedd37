#include "time_reading.h"

namespace {

const char* const kVerbs[] = {"show", "what", "see"};
// The order matters: from index 2 on the request is for the date.
const char* const kObjects[] = {"time", "clock", "date", "day", "month", "calendar"};
const int kVerbCount = static_cast<int>(sizeof(kVerbs) / sizeof(kVerbs[0]));
const int kObjectCount = static_cast<int>(sizeof(kObjects) / sizeof(kObjects[0]));

// The action rows, all naming the one export.
#define READER_ROW(word, label) {word, label},
const RequestRow kRows[] = {HOROLUX_ACTION_ROWS(READER_ROW)};

bool ReadTimeRequest(int, int, const std::vector<WordLinkage>* links, RequestReading& reading)
{
    int object = FindTimeObject(links);
    if (object < 0)
        return false;
    reading.m_strReading = IsDateObject(object) ? "date" : "time";
    return true;
}

} // namespace

int FindTimeObject(const std::vector<WordLinkage>* links)
{
    if (!links)
        return -1;
    int at = FindFullLink(links, "O", kVerbs, kVerbCount, kObjects, kObjectCount, 1);
    if (at < 0 || at >= static_cast<int>(links->size()))
        return -1;
    return CompareLinkWord(&(*links)[static_cast<size_t>(at)], kObjects, kObjectCount, 0, 1);
}

extern const PluginRequestReader kHoroluxReader = {
    "Horolux", kRows, static_cast<int>(sizeof(kRows) / sizeof(kRows[0])), ReadTimeRequest};
