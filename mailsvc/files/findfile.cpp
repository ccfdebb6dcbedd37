#include "files/findfile.h"
#include "files/folderlist.h"

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

} // namespace

CZLMFindFile::CZLMFindFile(CString mask, CString folder, int folders, int all)
    : m_strMask(mask), m_bAll(all), m_bFolders(folders)
{
    search(folder, 0);
}

CString CZLMFindFile::GetFile(int i) const
{
    if (i < 1 || i > GetSize()) return CString();
    return m_files[static_cast<size_t>(i - 1)];
}

void CZLMFindFile::search(const CString& folder, int depth)
{
    if (!m_bFolders) {
        trellane::ListFolder(folder, m_strMask, [&](const trellane::FolderEntry& e) {
            if (e.folder) return true;
            m_files.push_back(join(folder, e.name));
            return !done();
        });
    }
    if (done() || depth >= kMaxDepth) return;
    trellane::ListFolder(folder, "*.*", [&](const trellane::FolderEntry& e) {
        if (done()) return false;
        if (!e.folder) return true;
        if (e.name[0] == '.' || e.name[0] == '\\') return true;
        if (e.link) return true;  // never follow a link: it may lead back up the tree
        CString sub = join(folder, e.name);
        if (m_bFolders) m_files.push_back(sub);
        search(sub, depth + 1);
        return !done();
    });
}
