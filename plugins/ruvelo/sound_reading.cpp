#include "sound_reading.h"

namespace {

template <size_t N>
constexpr int Count(const char* const (&)[N])
{
    return static_cast<int>(N);
}

const char* const kListeningVerbs[] = {"hear", "listen"};
const char* const kPlaces[] = {"house", "door", "office", "room", "hall", "corridor"};
const char* const kSendingVerbs[] = {"send", "record", "play"};
const char* const kSoundWords[] = {"audio", "sound"};
const char* const kRecipientWords[] = {"to"};

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
    recipient.Empty();
    if (!links)
        return false;
    if (!FindFullLink(links, "O", kListeningVerbs, Count(kListeningVerbs), kPlaces, Count(kPlaces), 0) &&
        !FindFullLink(links, "O", kSendingVerbs, Count(kSendingVerbs), kSoundWords, Count(kSoundWords), 0))
        return false;
    int side = 0, word = 0;
    int at = FindLinkage(links, "Ox", kRecipientWords, Count(kRecipientWords), 1, 1, side, word, 0, -1);
    if (at >= 0) {
        const WordLinkage& link = (*links)[static_cast<size_t>(at)];
        CString name = BuildParameter(side ? link.m_strRightWord : link.m_strLeftWord);
        if (name.GetLength() >= 2 && name.Right(2) == ".n")
            name = name.Left(name.GetLength() - 2);
        recipient = name;
    }
    return true;
}

extern const PluginRequestReader kRuveloReader = {"Ruvelo", kRows, static_cast<int>(sizeof(kRows) / sizeof(kRows[0])),
                                                  Read};
