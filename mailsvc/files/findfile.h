// Collects the full paths of the files matching a name pattern in a folder and
// all its subfolders (or only the first one found, or, in folders mode, every
// subfolder), depth-first: a folder's own matches before its subfolders'.
#pragma once
#include "fx/fx.h"

#include <vector>

// Bounds of a search that may start at a drive's root (under Wine a drive
// can be a whole Unix tree): how deep it descends, how many folders it opens
// and how many paths it collects. Zero or less: the default.
struct FindFileLimits {
    int maxDepth = 0;
    int maxFolders = 0;
    int maxMatches = 0;
};

class CZLMFindFile {
public:
    CZLMFindFile(CString mask, CString folder, int folders, int all);
    CZLMFindFile(CString mask, CString folder, int folders, int all, const FindFileLimits& limits);

    // The i-th path counted from 1; "" outside 1..GetSize().
    CString GetFile(int i) const;
    int GetSize() const { return static_cast<int>(m_files.size()); }
    // True when a bound stopped the search before it had seen the whole tree.
    bool WasCut() const { return m_bCut || m_bDepthCut; }

private:
    void search(const CString& folder, int depth);
    bool done() const { return (!m_bAll && !m_files.empty()) || m_bCut; }
    void add(const CString& path);

    CString m_strMask;
    std::vector<CString> m_files;
    int m_bAll;
    int m_bFolders;
    int m_nMaxDepth;
    int m_nMaxFolders;
    int m_nMaxMatches;
    int m_nFoldersOpened = 0;
    bool m_bCut = false;       // a count bound: the walk stopped
    bool m_bDepthCut = false;  // a folder left unopened: the walk went on beside it
};
