#include "horolux_windows.h"

#include "Gradient.h"
#include "options/wmoptions.h"

BEGIN_MESSAGE_MAP(CHoroluxDialog, ETSLayoutDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CHoroluxDialog::CHoroluxDialog(UINT nIDTemplate, UINT nIDControl)
    : ETSLayoutDialog(nIDTemplate, nullptr, nullptr, false), m_nTemplate(nIDTemplate), m_nControl(nIDControl)
{
}

BOOL CHoroluxDialog::CreateFromModule(HMODULE module, CWnd* parent)
{
    m_hModule = module;
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(m_nTemplate), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    LPCDLGTEMPLATE dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATE>(::LockResource(loaded)) : nullptr;
    if (!dialogTemplate)
        return FALSE;
    return CreateIndirect(dialogTemplate, parent, module);
}

BOOL CHoroluxDialog::OnInitDialog()
{
    ETSLayoutDialog::OnInitDialog();
    m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_HOROLUX_WINDOW));
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    LayoutPanePtr root = CreateRootPane(LayoutVertical, 5, 0);
    root.AddItem(NewItem(m_nControl, LayoutGreedy));
    Relayout();
    return TRUE;
}

BOOL CHoroluxDialog::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    rc.InflateRect(6, 0);
    PaintGradiantRect(pDC, rc, CWMOptions::Color1, CWMOptions::Color2, TRUE, TRUE);
    // The shared colours changed since this window last looked: repaint all of it.
    if (CWMOptions::m_nUpDateCount != m_nUpdateCount) {
        m_nUpdateCount = CWMOptions::m_nUpDateCount;
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    return TRUE;
}

void CHoroluxDialog::OnClose()
{
    // The window manager deletes the object once it finds the window gone.
    DestroyWindow();
}

BOOL CClockDialog::OnInitDialog()
{
    m_Face.SubclassDlgItem(IDC_HOROLUX_CLOCK, this);
    return CHoroluxDialog::OnInitDialog();
}

BOOL CDateTimeDialog::OnInitDialog()
{
    m_Clock.SetModule(m_hModule);
    m_Clock.SubclassDlgItem(IDC_HOROLUX_CLOCK, this);
    return CHoroluxDialog::OnInitDialog();
}

BOOL CCalendarDialog::OnInitDialog()
{
    m_Calendar.SubclassDlgItem(IDC_HOROLUX_CALENDAR, this);
    // The title bar is laid out once the frame is recomputed.
    m_Calendar.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    m_Calendar.SendMessage(LB_SETLOCALE, ::GetThreadLocale(), 0);
    return CHoroluxDialog::OnInitDialog();
}

void CCalendarDialog::DoDataExchange(CDataExchange* pDX)
{
    CHoroluxDialog::DoDataExchange(pDX);
    DDX_LBString(pDX, IDC_HOROLUX_CALENDAR, m_strDate);
}
