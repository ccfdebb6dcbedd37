// ETSLayoutDialog and ETSLayoutDialogBar.
#include "ETSLayout.h"

IMPLEMENT_DYNAMIC(ETSLayoutDialog, CDialog)
IMPLEMENT_DYNAMIC(ETSLayoutDialogBar, CDialogBar)

namespace {
// Status bar of a sizable layout window: child, visible, docked at the bottom with a top border.
const DWORD kStatusBarStyle = 0x50008200;
const UINT kStatusBarPane[] = {ID_SEPARATOR};
} // namespace

BEGIN_MESSAGE_MAP(ETSLayoutDialog, CDialog)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

ETSLayoutDialog::ETSLayoutDialog(UINT nID, CWnd* pParent, const char* strName, bool bGripper)
    : CDialog(nID, pParent), ETSLayoutMgr(this), m_bGripper(bGripper), m_MinMaxInfo(), m_bMinMaxInfoInited(0)
{
    if (strName)
        m_sSection = strName;
}

CRect ETSLayoutDialog::LayoutArea()
{
    CRect r;
    GetClientRect(&r);
    if (m_bGripper && m_StatusBar.GetSafeHwnd()) {
        CRect bar;
        m_StatusBar.GetWindowRect(&bar);
        r.bottom -= bar.Height() - m_sizeRootBorders.cy - 5;
    }
    return r;
}

BOOL ETSLayoutDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_sSection.IsEmpty())
        LoadWindowPlacement(m_sSection);
    // The program's document icon in the caption, as its other windows show it.
    if (CWinApp* app = AfxGetApp()) {
        POSITION pos = app->GetFirstDocTemplatePosition();
        if (CDocTemplate* first = pos ? app->GetNextDocTemplate(pos) : nullptr) {
            HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(first->m_nIDResource), MAKEINTRESOURCEA(14));
            if (HICON icon = ::LoadIconA(module, MAKEINTRESOURCEA(first->m_nIDResource)))
                SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
    }
    if (m_bGripper) {
        if (m_StatusBar.Create(this, kStatusBarStyle, AFX_IDW_STATUS_BAR)) {
            m_StatusBar.SetIndicators(kStatusBarPane, 1);
            m_StatusBar.SetPaneInfo(0, ID_SEPARATOR, SBPS_STRETCH | SBPS_NOBORDERS, 0);
            AfxRepositionBars(this, AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST);
        } else {
            AfxMessageBox("Error - Statusbar");
        }
    }
    return TRUE;
}

void ETSLayoutDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (cx != 0 || cy != 0) {
        Relayout();
        AfxRepositionBars(this, AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST);
    }
}

void ETSLayoutDialog::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    CDialog::OnGetMinMaxInfo(lpMMI);
    if (!m_RootPane)
        return;
    if (!m_bMinMaxInfoInited) {
        CRect wr;
        GetWindowRect(&wr);
        GetLayoutLimits(wr, lpMMI);
        m_MinMaxInfo = *lpMMI;
        m_bMinMaxInfoInited = 1;
        return;
    }
    lpMMI->ptMaxSize = m_MinMaxInfo.ptMaxSize;
    lpMMI->ptMaxPosition = m_MinMaxInfo.ptMaxPosition;
    lpMMI->ptMinTrackSize = m_MinMaxInfo.ptMinTrackSize;
    lpMMI->ptMaxTrackSize = m_MinMaxInfo.ptMaxTrackSize;
}

BOOL ETSLayoutDialog::OnEraseBkgnd(CDC* pDC)
{
    EraseBackground(pDC);
    return TRUE;
}

void ETSLayoutDialog::OnDestroy()
{
    if (!m_sSection.IsEmpty())
        SaveWindowPlacement(m_sSection);
    m_RootPane.Release();
    CDialog::OnDestroy();
}

// ---- ETSLayoutDialogBar ----

BEGIN_MESSAGE_MAP(ETSLayoutDialogBar, CDialogBar)
    ON_MESSAGE(WM_INITDIALOG, OnInitDialogBar)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

ETSLayoutDialogBar::ETSLayoutDialogBar() : ETSLayoutMgr(this), m_bInitialized(0) { SetRootBorder(0, 0); }

CRect ETSLayoutDialogBar::LayoutArea()
{
    CRect r;
    GetClientRect(&r);
    if (IsFloating())
        r.DeflateRect(4, 4);
    return r;
}

bool ETSLayoutDialogBar::InitLayout() { return false; }

LRESULT ETSLayoutDialogBar::OnInitDialogBar(WPARAM, LPARAM)
{
    Default();
    InitLayout();
    return TRUE;
}

void ETSLayoutDialogBar::OnSize(UINT nType, int cx, int cy)
{
    CDialogBar::OnSize(nType, cx, cy);
    if (cx != 0 || cy != 0)
        Relayout();
    AfxRepositionBars(this, AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST);
}

BOOL ETSLayoutDialogBar::OnEraseBkgnd(CDC* pDC)
{
    EraseBackground(pDC);
    return TRUE;
}

CSize ETSLayoutDialogBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    CSize size = CDialogBar::CalcDynamicLayout(nLength, dwMode);
    if (!m_RootPane)
        return size;
    CRect wr;
    GetWindowRect(&wr);
    MINMAXINFO mmi = {};
    mmi.ptMaxTrackSize.x = mmi.ptMaxTrackSize.y = -1;
    GetLayoutLimits(wr, &mmi);
    bool floating = IsFloating() != FALSE;
    if ((floating || !(dwMode & LM_HORZ)) && mmi.ptMaxTrackSize.x != -1 && size.cx > mmi.ptMaxTrackSize.x)
        size.cx = mmi.ptMaxTrackSize.x;
    if ((floating || (dwMode & LM_HORZ)) && mmi.ptMaxTrackSize.y != -1 && size.cy > mmi.ptMaxTrackSize.y)
        size.cy = mmi.ptMaxTrackSize.y;
    if (size.cx < mmi.ptMinTrackSize.x)
        size.cx = mmi.ptMinTrackSize.x;
    if (size.cy < mmi.ptMinTrackSize.y)
        size.cy = mmi.ptMinTrackSize.y;
    return size;
}
