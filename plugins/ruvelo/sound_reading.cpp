#include "sound_reading.h"

namespace {

const char* const kListeningVerbs[] = {"hear", "listen"};
const char* const kSendingVerbs[] = {"send", "record", "play"};
const char* const kSoundWords[] = {"audio", "sound"};

#define READER_ROW(word, label) {word, label},
const RequestRow kRows[] = {RUVELO_ACTION_ROWS(READER_ROW)};

bool Read(int, int, const std::vector<WordLinkage>* links, RequestReading& reading)
{
    if (!ReadSoundRequest(links, reading.m_strRecipient))
        return false;
    reading.m_strReading = "sound";
    return true;
}

} // namespace

bool ReadSoundRequest(const std::vector<WordLinkage>* links, CString& recipient)
{
    return ReadPlaceRequest(links, MakeWordList(kListeningVerbs), MakeWordList(kSendingVerbs), MakeWordList(kSoundWords),
                            recipient);
}

extern const PluginRequestReader kRuveloReader = {"Ruvelo", kRows, static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
                                                  Read};
