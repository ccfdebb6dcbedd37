#include "files/findfile.h"
#include "files/folderlist.h"

#include <climits>

namespace {

// Deeper than any real tree; ends loops through linked folders that look like
// ordinary ones.
const int kMaxDepth = 64;

CString join(const CString& folder, const char* name)
{
    CString path = folder;
    int n = path.GetLength();
    if (n == 0 || (path[n - 1] != '\\' && path[n - 1] != '/')) path += trellane::kPathSeparator;
    path += name;
    return path;
}

// Whether a folder holds a subfolder the search would have entered.
bool HasSubfolder(const CString& folder)
{
    bool found = false;
    trellane::ListFolder(folder, "*.*", [&](const trellane::FolderEntry& e) {
        if (e.folder && e.name[0] != '.' && e.name[0] != '\\' && !e.link) found = true;
        return !found;
    });
    return found;
}

} // namespace

CZLMFindFile::CZLMFindFile(CString mask, CString folder, int folders, int all)
    : CZLMFindFile(mask, folder, folders, all, FindFileLimits())
{
}

CZLMFindFile::CZLMFindFile(CString mask, CString folder, int folders, int all, const FindFileLimits& limits)
    : m_strMask(mask), m_bAll(all), m_bFolders(folders),
      m_nMaxDepth(limits.maxDepth > 0 && limits.maxDepth < kMaxDepth ? limits.maxDepth : kMaxDepth),
      m_nMaxFolders(limits.maxFolders > 0 ? limits.maxFolders : INT_MAX),
      m_nMaxMatches(limits.maxMatches > 0 ? limits.maxMatches : INT_MAX)
{
    search(folder, 0);
}

void CZLMFindFile::add(const CString& path)
{
    if (static_cast<int>(m_files.size()) >= m_nMaxMatches) {
        m_bCut = true;
        return;
    }
    m_files.push_back(path);
}

CString CZLMFindFile::GetFile(int i) const
{
    if (i < 1 || i > GetSize()) return CString();
    return m_files[static_cast<size_t>(i - 1)];
}

void CZLMFindFile::search(const CString& folder, int depth)
{
    if (++m_nFoldersOpened > m_nMaxFolders) {
        m_bCut = true;
        return;
    }
    if (!m_bFolders) {
        trellane::ListFolder(folder, m_strMask, [&](const trellane::FolderEntry& e) {
            if (e.folder) return true;
            add(join(folder, e.name));
            return !done();
        });
    }
    if (done()) return;
    if (depth >= m_nMaxDepth) {
        // Only a bound the caller set counts as cutting the search short.
        if (m_nMaxDepth < kMaxDepth && !m_bDepthCut) m_bDepthCut = HasSubfolder(folder);
        return;
    }
    trellane::ListFolder(folder, "*.*", [&](const trellane::FolderEntry& e) {
        if (done()) return false;
        if (!e.folder) return true;
        if (e.name[0] == '.' || e.name[0] == '\\') return true;
        if (e.link) return true;  // never follow a link: it may lead back up the tree
        CString sub = join(folder, e.name);
        if (m_bFolders) add(sub);
        if (done()) return false;
        search(sub, depth + 1);
        return !done();
    });
}
