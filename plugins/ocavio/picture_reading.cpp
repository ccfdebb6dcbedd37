#include "picture_reading.h"

namespace {

const char* const kViewingVerbs[] = {"see", "show"};
const char* const kSendingVerbs[] = {"send", "take"};
const char* const kPictureWords[] = {"image", "picture", "video"};

#define READER_ROW(word, label) {word, label},
const RequestRow kRows[] = {OCAVIO_ACTION_ROWS(READER_ROW)};

bool Read(int, int, const std::vector<WordLinkage>* links, RequestReading& reading)
{
    if (!ReadPictureRequest(links, reading.m_strRecipient))
        return false;
    reading.m_strReading = "picture";
    return true;
}

} // namespace

bool ReadPictureRequest(const std::vector<WordLinkage>* links, CString& recipient)
{
    return ReadPlaceRequest(links, MakeWordList(kViewingVerbs), MakeWordList(kSendingVerbs), MakeWordList(kPictureWords),
                            recipient);
}

extern const PluginRequestReader kOcavioReader = {"Ocavio", kRows, static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
                                                  Read};
