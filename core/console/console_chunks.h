// What the console shows: the last ten chunks moved out of the running log,
// oldest first. The log file keeps everything; the console stays bounded.
#pragma once

#include "fx/fx.h"

class CConsoleChunks {
public:
    enum { kChunks = 10 };
    // Drops the oldest chunk, appends this one; returns the joined text.
    const CString& Push(const CString& chunk)
    {
        m_strText.Empty();
        for (int i = 0; i < kChunks - 1; ++i) {
            m_Chunks[i] = m_Chunks[i + 1];
            m_strText += m_Chunks[i];
        }
        m_Chunks[kChunks - 1] = chunk;
        m_strText += chunk;
        return m_strText;
    }
    const CString& Text() const { return m_strText; }

private:
    CString m_Chunks[kChunks];
    CString m_strText;
};
