// The properties dialog and the runner that takes its template from the
// plug-in's own module rather than from the host's resources.
#include "plugin_module.h"

int CPlugInDialog::RunModalFromTemplate(LPCDLGTEMPLATE lpTemplate, HINSTANCE hInst, HWND hWndParent)
{
    m_nModalResult = -1;
    m_bContinueModal = TRUE;
    try {
        if (!CreateFromTemplate(lpTemplate, hWndParent, hInst)) {
            m_bContinueModal = FALSE;
            return -1;
        }
        if (m_bContinueModal)
            RunModalLoop();
    } catch (...) {
        m_bContinueModal = FALSE;
        m_bInModalLoop = FALSE;
        if (m_hWnd)
            DestroyWindow();
        throw;
    }
    m_bContinueModal = FALSE;
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    return m_nModalResult;
}

int DoModalFromPlugInTemplate(CPlugInDialog* dialog, HINSTANCE hModule)
{
    if (!hModule) {
        AfxShowMessageBox(nullptr, "Error loading KVX", "Properties", MB_OK);
        return 0;
    }
    if (!dialog)
        return -1;
    HRSRC res = ::FindResourceA(hModule, dialog->m_lpszTemplateName, RT_DIALOG);
    HGLOBAL mem = res ? ::LoadResource(hModule, res) : nullptr;
    auto lpTemplate = mem ? static_cast<LPCDLGTEMPLATE>(::LockResource(mem)) : nullptr;
    if (!lpTemplate)
        return -1;

    // The parent is whatever window is active (the host's main window as a
    // rule); it stays disabled while the dialog runs.
    HWND hWndParent = ::GetActiveWindow();
    bool reenable = false;
    if (hWndParent && ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        reenable = true;
    }
    int result = -1;
    bool wasActive = false;
    try {
        result = dialog->RunModalFromTemplate(lpTemplate, hModule, hWndParent);
        wasActive = dialog->m_hWnd && ::GetActiveWindow() == dialog->m_hWnd;
    } catch (...) {
        result = -1;
    }
    if (reenable)
        ::EnableWindow(hWndParent, TRUE);
    if (hWndParent && wasActive)
        ::SetActiveWindow(hWndParent);
    if (dialog->m_hWnd)
        dialog->DestroyWindow();
    return result;
}

CPropertiesDialog::CPropertiesDialog(const PlugInDescription& description)
    : CPlugInDialog(IDD_PLUGIN_PROPERTIES), m_nActive(0), m_Description(description)
{
}

void CPropertiesDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PLUGIN_TITLE, m_strTitle);
    DDX_Text(pDX, IDC_PLUGIN_COPYRIGHT, m_strCopyright);
    DDX_Text(pDX, IDC_PLUGIN_LONG_DESCRIPTION, m_strLongDescription);
    DDX_Check(pDX, IDC_PLUGIN_ACTIVE, m_nActive);
    for (int i = 0; i < m_Description.optionCount; ++i) {
        const PlugInOption& o = m_Description.options[i];
        if (!o.controlId)
            continue;
        switch (o.kind) {
        case PLUGIN_OPTION_CHECK:
            DDX_Check(pDX, o.controlId, m_Values[i]);
            break;
        case PLUGIN_OPTION_RADIO:
            DDX_Radio(pDX, o.controlId, m_Values[i]);
            break;
        case PLUGIN_OPTION_TEXT:
            DDX_Text(pDX, o.controlId, m_Texts[i]);
            break;
        default:
            break;
        }
    }
}

BOOL CPropertiesDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    bool own = HIWORD(wParam) == BN_CLICKED && lParam && m_Description.dialogButton && id != IDOK &&
               id != IDCANCEL && id != IDC_PLUGIN_ACTIVE;
    for (int i = 0; own && i < m_Description.optionCount; ++i)
        own = m_Description.options[i].controlId != static_cast<int>(id);
    if (own) {
        m_Description.dialogButton(id);
        return TRUE;
    }
    return CPlugInDialog::OnCommand(wParam, lParam);
}

void ShowPlugInDialog()
{
    HINSTANCE hModule = static_cast<HINSTANCE>(g_PlugIn.m_hModule);
    CPropertiesDialog dialog(g_PlugInDescription);
    dialog.m_strTitle = LoadPlugInString(hModule, IDS_PLUGIN_DESCRIPTION) + " - Ver. " +
                        LoadPlugInString(hModule, IDS_PLUGIN_VERSION);
    // The copyright line, then the maker's name, with a blank between them
    // unless the line already ends in one.
    CString copyright = LoadPlugInString(hModule, IDS_PLUGIN_COPYRIGHT);
    const CString company = LoadPlugInString(hModule, IDS_PLUGIN_COMPANY);
    if (!copyright.IsEmpty() && !company.IsEmpty() && copyright[copyright.GetLength() - 1] != ' ')
        copyright += ' ';
    dialog.m_strCopyright = copyright + company;
    dialog.m_strLongDescription = LoadPlugInString(hModule, IDS_PLUGIN_LONG_DESCRIPTION);
    dialog.m_nActive = g_PlugInSettings.m_nActive;
    dialog.m_Values = g_PlugInSettings.m_Values;
    dialog.m_Texts = g_PlugInSettings.m_Texts;
    if (DoModalFromPlugInTemplate(&dialog, hModule) != IDOK)
        return;
    g_PlugInSettings.m_nActive = dialog.m_nActive;
    g_PlugInSettings.m_Values = dialog.m_Values;
    g_PlugInSettings.m_Texts = dialog.m_Texts;
    if (g_PlugInDescription.dialogAccepted)
        g_PlugInDescription.dialogAccepted();
    g_PlugInSettings.Save();
}
