// Explorer-style file dialogs with a hook and, optionally, a child template.
#include "window_state.h"

#include "fx/filedlg.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CDialog(static_cast<UINT>(0), pParentWnd), m_bOpenFileDialog(bOpenFileDialog)
{
    memset(&m_ofn, 0, sizeof m_ofn);
    memset(m_szFileName, 0, sizeof m_szFileName);
    memset(m_szFileTitle, 0, sizeof m_szFileTitle);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    m_ofn.lpstrDefExt = lpszDefExt;
    m_ofn.Flags = dwFlags | OFN_ENABLEHOOK | OFN_EXPLORER;
    m_ofn.lpfnHook = HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    if (lpszFileName)
        lstrcpynA(m_szFileName, lpszFileName, MAX_PATH);
    if (lpszFilter) {
        // "text|pattern|...||" becomes the system's "text\0pattern\0...\0\0".
        m_strFilter = lpszFilter;
        if (m_strFilter.Right(1) != "|")
            m_strFilter += "|";
        m_strFilter += "|";
        m_ofn.lpstrFilter = m_strFilter;
        for (char* p = const_cast<char*>(static_cast<LPCTSTR>(m_strFilter)); *p; ++p)
            if (*p == '|')
                *p = '\0';
    }
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = PreModal();
    if (!m_ofn.hInstance)
        m_ofn.hInstance = AfxGetResourceHandle();
    const BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    PostModal();
    // The child window went with the dialog.
    if (m_hWnd)
        Detach();
    return ok ? IDOK : IDCANCEL;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    auto ofn = reinterpret_cast<const OPENFILENAMEA*>(lParam);
    auto dlg = ofn ? reinterpret_cast<CFileDialog*>(ofn->lCustData) : nullptr;
    if (!dlg || dlg->m_hWnd || !dlg->SubclassWindow(hWnd))
        return TRUE;
    return dlg->OnInitDialog();
}

void CFileDialog::PostNcDestroy()
{
    // The object belongs to its caller; only the handle goes.
}

HWND CFileDialog::GetFileDialogWindow() const { return m_hWnd ? ::GetParent(m_hWnd) : nullptr; }

CString CFileDialog::GetFolderPath() const
{
    char path[MAX_PATH] = {};
    HWND dlg = GetFileDialogWindow();
    if (dlg)
        ::SendMessageA(dlg, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
    return path;
}

CString CFileDialog::GetPathName() const { return m_szFileName; }

CString CFileDialog::GetFileName() const
{
    CString path = m_szFileName;
    const int slash = path.ReverseFind('\\');
    return slash >= 0 ? path.Mid(slash + 1) : path;
}

CString CFileDialog::GetFileExt() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot >= 0 ? name.Mid(dot + 1) : CString();
}

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto nm = reinterpret_cast<OFNOTIFYA*>(lParam);
    switch (nm->hdr.code) {
    case CDN_INITDONE: OnInitDone(); return TRUE;
    case CDN_SELCHANGE: OnFileNameChange(); return TRUE;
    case CDN_FOLDERCHANGE: OnFolderChange(); return TRUE;
    case CDN_TYPECHANGE: OnTypeChange(); return TRUE;
    case CDN_FILEOK: {
        // Non-zero (in the dialog's result slot) keeps the dialog open.
        const LRESULT refuse = OnFileNameOK() ? 0 : 1;
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, refuse);
        *pResult = refuse;
        return TRUE;
    }
    default: return CDialog::OnNotify(wParam, lParam, pResult);
    }
}

void CFileDialog::OnInitDone() {}
void CFileDialog::OnFolderChange() {}
void CFileDialog::OnFileNameChange() {}
void CFileDialog::OnTypeChange() {}
BOOL CFileDialog::OnFileNameOK() { return TRUE; }
