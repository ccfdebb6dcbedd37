// The walk through the user's mail box that the forwarding and the summary
// plug-ins share: the search, who the answer goes to, the test-mode check and
// the clean-up of each read.
#pragma once

#include "plugin_module.h"
#include "addrbook/address_book.h"

#include <cstddef>
#include <set>

// Simple MAPI flags of the search and the reads.
const ULONG kUnreadOnly = 0x20;
const ULONG kPeek = 0x80;
const ULONG kGuaranteeFifo = 0x100;

// A mail box that keeps answering is bounded by the size of any real one.
const int kMaxMessages = 100000;

// Deletes the temporary files a read left for the message's attachments, last first.
inline void DeleteAttachmentFiles(CZLMMapiMessage& message)
{
    CZLMMapiFile& files = message.GetFiles();
    for (ULONG i = files.GetSize(); i-- > 0;) {
        files.SetPosition(i);
        CString path = files.GetPathName();
        if (!path.IsEmpty())
            DeleteFileA(path);
    }
}

// A request that names someone whose address is known is answered to them,
// by mail; otherwise the requester and the interface mode stay as they were.
inline void AnswerNamedRecipient(const CString& named, CString*& recipient, CString& kept, int& mode)
{
    if (named.IsEmpty())
        return;
    CString address = TranslateRecipient(named, recipient ? *recipient : CString());
    if (address.IsEmpty())
        return;
    kept = address;
    recipient = &kept;
    mode = MODE_EMAIL;
}

// In test mode: 1 when the reading of the current test sentence is the one expected of it.
template <std::size_t N>
int ExpectedReadingAnswer(const CPlugIn& plugIn, int reading, const int (&expected)[N])
{
    int index = plugIn.m_nTestIndex;
    return index >= 0 && index < static_cast<int>(N) && reading == expected[index] ? 1 : 0;
}

// The messages of the mail box, one at a time, each at most once.
class CMailboxSearch {
public:
    CMailboxSearch(bool newOnly, bool fifo)
        : m_Flags((newOnly ? kUnreadOnly : 0) | (fifo ? kGuaranteeFifo : 0))
    {
    }

    // The next message's identifier; false at the end, or once the search
    // answers a message it answered before and so has come round.
    bool Next(CString& id)
    {
        CString type;
        if (g_PlugInMapi.FindNext(id, type, m_Flags, m_Seed, nullptr) != 0)
            return false;
        if (id.IsEmpty() || !m_Seen.insert(id).second)
            return false;
        m_Seed = id;
        return true;
    }

private:
    ULONG m_Flags;
    CString m_Seed;
    std::set<CString> m_Seen;
};
