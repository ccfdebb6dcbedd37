#include "drop_files_icon.h"

#include "files/fileutil.h"

#include "BmpMenu.h"
#include "fx/msgbox.h"

#include <sys/stat.h>

namespace {
const UINT kMenuResource = 154;
const UINT kSideBitmap = 131;

bool IsRegularFile(const CString& path)
{
    struct _stat st;
    return _stat(path, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
}
}  // namespace

IMPLEMENT_DYNAMIC(CDropFilesIcon, CStatic)

BEGIN_MESSAGE_MAP(CDropFilesIcon, CStatic)
    ON_WM_CREATE()
    ON_WM_DROPFILES()
    ON_WM_CONTEXTMENU()
    ON_WM_ERASEBKGND()
    ON_COMMAND(ID_DROP_CHOOSE, OnChoose)
    ON_COMMAND(ID_DROP_PASTE, OnPaste)
    ON_COMMAND(ID_DROP_CLEAR, OnClear)
END_MESSAGE_MAP()

CDropFilesIcon::CDropFilesIcon()
{
    m_hDefaultIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_DROP_DEFAULT));
}

CDropFilesIcon::~CDropFilesIcon()
{
    if (m_hFileIcon)
        ::DestroyIcon(m_hFileIcon);
}

int CDropFilesIcon::OnCreate(LPCREATESTRUCT)
{
    DragAcceptFiles(TRUE);
    return Default() == -1 ? -1 : 0;
}

BOOL CDropFilesIcon::OnEraseBkgnd(CDC*) { return TRUE; }

void CDropFilesIcon::UpdateIcon()
{
    if (!m_hWnd)
        return;
    HICON shown = m_hDefaultIcon;
    HICON previous = m_hFileIcon;
    m_hFileIcon = nullptr;
    if (!m_strPath.IsEmpty()) {
        SHFILEINFOA info = {};
        if (::SHGetFileInfoA(m_strPath, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SYSICONINDEX) && info.hIcon) {
            m_hFileIcon = info.hIcon;
            shown = info.hIcon;
        }
    }
    SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(shown), 0);
    if (previous)
        ::DestroyIcon(previous);
}

bool CDropFilesIcon::TakeDrop(HDROP drop)
{
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char name[MAX_PATH + 1] = {};
        if (!::DragQueryFileA(drop, i, name, MAX_PATH))
            continue;
        CString file = name;
        CString expanded = ExpandShortcut(file);
        if (!expanded.IsEmpty())
            file = expanded;
        if (!IsRegularFile(file))
            continue;
        m_strPath = file;
        if (i + 1 < count)
            AfxShowMessageBox(m_hWnd, DROP_TEXT_ONE_FILE, nullptr, MB_OK);
        return true;
    }
    return false;
}

void CDropFilesIcon::OnDropFiles(HDROP drop)
{
    TakeDrop(drop);
    ::DragFinish(drop);
    UpdateIcon();
    if (m_pRepaint && m_pRepaint->m_hWnd)
        m_pRepaint->Invalidate();
}

void CDropFilesIcon::ToMainWindow(UINT command)
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(WM_COMMAND, command);
    UpdateIcon();
}

void CDropFilesIcon::OnChoose() { ToMainWindow(ID_DROP_CHOOSE); }
void CDropFilesIcon::OnPaste() { ToMainWindow(ID_DROP_PASTE); }
void CDropFilesIcon::OnClear() { ToMainWindow(ID_DROP_CLEAR); }

void CDropFilesIcon::OnContextMenu(CWnd*, CPoint)
{
    HMENU bar = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(kMenuResource));
    HMENU popup = bar ? ::GetSubMenu(bar, 0) : nullptr;
    if (!popup) {
        if (bar)
            ::DestroyMenu(bar);
        return;
    }
    bool canPaste = false;
    if (::OpenClipboard(m_hWnd)) {
        if (HDROP d = static_cast<HDROP>(::GetClipboardData(CF_HDROP)))
            canPaste = ::DragQueryFileA(d, 0xFFFFFFFF, nullptr, 0) > 0;
        ::CloseClipboard();
    }
    ::EnableMenuItem(popup, ID_DROP_DRAG, MF_BYCOMMAND | MF_GRAYED);
    ::EnableMenuItem(popup, ID_DROP_PASTE, MF_BYCOMMAND | (canPaste ? MF_ENABLED : MF_GRAYED));
    ::EnableMenuItem(popup, ID_DROP_CLEAR, MF_BYCOMMAND | (m_strPath.IsEmpty() ? MF_GRAYED : MF_ENABLED));
    RECT r;
    GetWindowRect(&r);
    HBITMAP side = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(kSideBitmap));
    if (m_pKeepShown)
        *m_pKeepShown = TRUE;
    {
        CBmpMenu menu(24, 1, side, 1);
        menu.SetTitle("Files");
        menu.Attach(popup);
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.left, r.bottom, this);
        menu.Detach();
    }
    if (m_pKeepShown)
        *m_pKeepShown = FALSE;
    if (side)
        ::DeleteObject(side);
    ::DestroyMenu(bar);
}
