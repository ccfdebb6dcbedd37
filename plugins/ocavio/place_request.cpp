#include "place_request.h"

namespace {

const char* const kPlaces[] = {"house", "door", "office", "room", "hall", "corridor"};
const char* const kRecipientWords[] = {"to"};

} // namespace

bool ReadPlaceRequest(const std::vector<WordLinkage>* links, const WordList& senseVerbs, const WordList& sendVerbs,
                      const WordList& mediaWords, CString& recipient)
{
    recipient.Empty();
    if (!links)
        return false;
    const WordList places = MakeWordList(kPlaces);
    if (!FindFullLink(links, "O", senseVerbs.m_pWords, senseVerbs.m_nCount, places.m_pWords, places.m_nCount, 0) &&
        !FindFullLink(links, "O", sendVerbs.m_pWords, sendVerbs.m_nCount, mediaWords.m_pWords, mediaWords.m_nCount, 0))
        return false;
    const WordList to = MakeWordList(kRecipientWords);
    int side = 0, word = 0;
    int at = FindLinkage(links, "Ox", to.m_pWords, to.m_nCount, 1, 1, side, word, 0, -1);
    if (at >= 0) {
        const WordLinkage& link = (*links)[static_cast<size_t>(at)];
        CString name = BuildParameter(side ? link.m_strRightWord : link.m_strLeftWord);
        if (name.GetLength() >= 2 && name.Right(2) == ".n")
            name = name.Left(name.GetLength() - 2);
        recipient = name;
    }
    return true;
}
