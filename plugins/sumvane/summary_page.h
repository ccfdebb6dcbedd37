// The web summary: one entry per message, each with a [more...] link that
// opens the whole message as a page of its own.
#pragma once

#include "webmsg/htmlmsg.h"

#include <vector>

class CSummaryPage : public CHTMLMsg {
public:
    ~CSummaryPage() override = default;
    // "USRBTN1<index>=Read" opens the message of entry index; other actions go
    // to CHTMLMsg. An index the page does not hold is ignored.
    void ExecuteAction(CString action) override;
    void Close(CString reason) override;

    // Adds one entry: its text (escaped when shown) and the message it names.
    void AddEntry(const CString& text, const CString& messageID);
    int GetEntryCount() const { return static_cast<int>(m_MessageIDs.size()); }
    const CString& GetEntryID(int index) const { return m_MessageIDs[static_cast<size_t>(index)]; }

    // The index named by "USRBTN1<digits>=Read", or -1 when the text names
    // none this page holds.
    int EntryIndexOf(const CString& action) const;

protected:
    CString BodyMarkup() override;

private:
    std::vector<CString> m_MessageIDs;
    std::vector<CString> m_Entries;
};
