// The notice window.
#include "notice_dlg.h"

#include "Gradient.h"
#include "notice_ids.h"
#include "update_download.h"
#include "version_file.h"
#include "options/wmoptions.h"

#include <shellapi.h>

namespace {

const UINT_PTR kAutoCloseTimer = 0xDEAF;
const UINT kAutoCloseMs = 3000;
const int kAppIcon = 161;

void OpenInBrowser(const CString& address, const CString& folder)
{
    ::ShellExecuteA(nullptr, "open", address, nullptr, folder, SW_SHOW);
}

} // namespace

void (*CNoticeDlg::s_pfnOpenReleaseNotes)(const CString&, const CString&) = &OpenInBrowser;

BEGIN_MESSAGE_MAP(CNoticeDlg, CDialog)
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_NOTICE_CLOSE, OnCloseButton)
    ON_BN_CLICKED(IDC_NOTICE_UPDATE, OnUpdateNow)
END_MESSAGE_MAP()

CNoticeDlg::CNoticeDlg(CWnd* pParent) : CDialog(IDD_NOTICE, pParent), m_strUpdateHost(UpdateHostName()) {}

CNoticeDlg::~CNoticeDlg() = default;

void CNoticeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NOTICE_TEXT, m_strText);
}

BOOL CNoticeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HICON icon = ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(kAppIcon), RT_GROUP_ICON),
                             MAKEINTRESOURCEA(kAppIcon));
    if (icon) {
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    m_titleFont.CreateFont(18, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    SetTimer(kAutoCloseTimer, kAutoCloseMs, nullptr);
    if (CWnd* edit = GetDlgItem(IDC_NOTICE_TEXT)) {
        edit->SendMessage(EM_SETSEL, 1, 1);
        edit->SendMessage(EM_SCROLLCARET, 0, 0);
    }
    if (CWnd* close = GetDlgItem(IDC_NOTICE_CLOSE))
        close->ShowWindow(m_bShowClose ? SW_SHOW : SW_HIDE);
    if (CWnd* update = GetDlgItem(IDC_NOTICE_UPDATE))
        update->ShowWindow(m_bShowUpdate ? SW_SHOW : SW_HIDE);
    return TRUE;
}

void CNoticeDlg::OnCancel()
{
    if (m_bInModalLoop)
        CDialog::OnCancel();
    else
        DestroyWindow();
}

void CNoticeDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kAutoCloseTimer && m_bAutoClose) {
        KillTimer(kAutoCloseTimer);
        PostMessage(WM_CLOSE);
    }
}

BOOL CNoticeDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect clip;
    int kind = pDC->GetClipBox(&clip);
    if (kind == NULLREGION || kind == ERROR)
        return CWnd::OnEraseBkgnd(pDC);
    CRect rc;
    GetClientRect(&rc);
    rc.left -= 6;
    rc.right += 6;
    rc.bottom += 6;
    PaintGradiantRect(pDC, rc, CWMOptions::Color1, CWMOptions::Color2, TRUE, TRUE);
    int w = rc.Width() / 8, h = rc.Height() / 8;
    CRect title(w / 2, h / 2, 3 * w, 3 * h);
    CFont* old = pDC->SelectObject(&m_titleFont);
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    CRect shadow = title;
    shadow.OffsetRect(1, 1);
    COLORREF oldColor = pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    pDC->DrawText("Vindalex", -1, &shadow, DT_SINGLELINE | DT_VCENTER);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
    pDC->DrawText("Vindalex", -1, &title, DT_SINGLELINE | DT_VCENTER);
    pDC->SetTextColor(oldColor);
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(old);
    return TRUE;
}

void CNoticeDlg::OnCloseButton()
{
    PostMessage(WM_CLOSE);
    if (m_bShowUpdate && !m_strCopySource.IsEmpty() && !m_strCopyDest.IsEmpty())
        ::CopyFileA(m_strCopySource, m_strCopyDest, FALSE);
}

void CNoticeDlg::FailUpdate()
{
    AfxMessageBox(IDS_UPDATE_DOWNLOAD_FAILED, MB_OK);
    PostMessage(WM_CLOSE);
}

void CNoticeDlg::OnUpdateNow()
{
    ShowWindow(SW_HIDE);
    CString notes = "http://" + m_strUpdateHost + webupdate::ReleaseNotesPath().c_str();
    if (s_pfnOpenReleaseNotes)
        s_pfnOpenReleaseNotes(notes, m_strFolder);
    if (!RunUpdateDownload(m_strFolder, m_arrFiles, m_strUpdateHost)) {
        FailUpdate();
        return;
    }
    // The copier waits for the program to end before it replaces the files.
    HWND target = m_hWndExitTarget;
    if (!target) {
        CWnd* main = AfxGetMainWnd();
        target = main ? main->m_hWnd : nullptr;
    }
    if (target)
        ::PostMessageA(target, WM_COMMAND, ID_APP_EXIT, 0);
}
