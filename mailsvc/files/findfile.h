// Collects the full paths of the files matching a name pattern in a folder and
// all its subfolders (or only the first one found, or, in folders mode, every
// subfolder), depth-first: a folder's own matches before its subfolders'.
#pragma once
#include "fx/fx.h"

#include <vector>

class CZLMFindFile {
public:
    CZLMFindFile(CString mask, CString folder, int folders, int all);

    // The i-th path counted from 1; "" outside 1..GetSize().
    CString GetFile(int i) const;
    int GetSize() const { return static_cast<int>(m_files.size()); }

private:
    void search(const CString& folder, int depth);
    bool done() const { return !m_bAll && !m_files.empty(); }

    CString m_strMask;
    std::vector<CString> m_files;
    int m_bAll;
    int m_bFolders;
};
