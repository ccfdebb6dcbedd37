// CDialog: modal and modeless dialogs from templates of the resource chain.
#include "window_state.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

using namespace fx::win;

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_lpszTemplateName(nullptr), m_nIDHelp(0), m_pParentWnd(nullptr), m_nModalResult(-1),
      m_bInModalLoop(FALSE), m_bContinueModal(FALSE), m_hWndTop(nullptr)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = MAKEINTRESOURCEA(nIDTemplate);
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    // A named template's name must outlive this call; keep the caller's pointer
    // only for resource ids.
    m_lpszTemplateName = IS_INTRESOURCE(lpszTemplateName) ? lpszTemplateName : _strdup(lpszTemplateName);
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog()
{
    if (m_lpszTemplateName && !IS_INTRESOURCE(m_lpszTemplateName))
        free(const_cast<char*>(m_lpszTemplateName));
}

INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    // Everything reaches the object through its window procedure first; the
    // dialog manager's own handling is the default.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog()
{
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LPCDLGTEMPLATE CDialog::LoadTemplate(HINSTANCE* phInst) const
{
    if (!m_lpszTemplateName)
        return nullptr;
    HINSTANCE h = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HRSRC res = ::FindResourceA(h, m_lpszTemplateName, RT_DIALOG);
    if (!res)
        return nullptr;
    HGLOBAL mem = ::LoadResource(h, res);
    if (!mem)
        return nullptr;
    *phInst = h;
    return static_cast<LPCDLGTEMPLATE>(::LockResource(mem));
}

HWND CDialog::CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent, HINSTANCE hInst)
{
    if (m_hWnd || !lpTemplate)
        return nullptr;
    HWND hWnd;
    {
        CreationHook hook(this);
        hWnd = ::CreateDialogIndirectParamA(hInst ? hInst : AfxGetResourceHandle(), lpTemplate, hWndParent,
                                            AfxDlgProc, reinterpret_cast<LPARAM>(this));
    }
    if (!hWnd && m_hWnd && LookupPermanent(m_hWnd) == this)
        Detach();
    return hWnd;
}

HWND fx::win::CreateChildFromTemplate(CWnd* pWnd, LPCTSTR lpszTemplateName, CWnd* pParent, UINT nID)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HRSRC res = ::FindResourceA(hInst, lpszTemplateName, RT_DIALOG);
    HGLOBAL mem = res ? ::LoadResource(hInst, res) : nullptr;
    auto tmpl = mem ? static_cast<LPCDLGTEMPLATE>(::LockResource(mem)) : nullptr;
    if (!tmpl)
        return nullptr;
    HWND hWnd;
    {
        CreationHook hook(pWnd);
        hWnd = ::CreateDialogIndirectParamA(hInst, tmpl, pParent->m_hWnd, AfxDlgProc, 0);
    }
    if (!hWnd) {
        if (pWnd->m_hWnd && LookupPermanent(pWnd->m_hWnd) == pWnd)
            pWnd->Detach();
        return nullptr;
    }
    ::SetWindowLongPtrA(hWnd, GWLP_ID, (LONG_PTR)nID);
    return hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    if (m_lpszTemplateName != lpszTemplateName) {
        if (m_lpszTemplateName && !IS_INTRESOURCE(m_lpszTemplateName))
            free(const_cast<char*>(m_lpszTemplateName));
        m_lpszTemplateName = IS_INTRESOURCE(lpszTemplateName) ? lpszTemplateName : _strdup(lpszTemplateName);
    }
    if (IS_INTRESOURCE(lpszTemplateName) && !m_nIDHelp)
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    m_pParentWnd = pParentWnd;
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE tmpl = LoadTemplate(&hInst);
    if (!tmpl)
        return FALSE;
    return CreateFromTemplate(tmpl, pParentWnd->GetSafeHwnd(), hInst) != nullptr;
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    m_pParentWnd = pParentWnd;
    return CreateFromTemplate(lpDialogTemplate, pParentWnd->GetSafeHwnd(), hInst) != nullptr;
}

HWND CDialog::PreModal()
{
    HWND h = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!h) {
        CWnd* pMain = AfxGetMainWnd();
        h = pMain ? pMain->m_hWnd : nullptr;
    }
    if (h) {
        while ((::GetWindowLongA(h, GWL_STYLE) & WS_CHILD) && ::GetParent(h))
            h = ::GetParent(h);
        h = ::GetLastActivePopup(h);
    }
    m_hWndTop = h;
    return h;
}

void CDialog::PostModal() { m_hWndTop = nullptr; }

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE tmpl = LoadTemplate(&hInst);
    if (!tmpl)
        return -1;
    HWND hWndOwner = PreModal();
    bool enableOwner = false;
    if (hWndOwner && hWndOwner != ::GetDesktopWindow() && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        enableOwner = true;
    }
    m_nModalResult = -1;
    m_bContinueModal = TRUE;
    try {
        if (CreateFromTemplate(tmpl, hWndOwner, hInst) && m_bContinueModal)
            RunModalLoop();
    } catch (...) {
        m_nModalResult = -1;
        m_bContinueModal = FALSE;
        m_bInModalLoop = FALSE;
        if (enableOwner)
            ::EnableWindow(hWndOwner, TRUE);
        if (m_hWnd)
            DestroyWindow();
        PostModal();
        throw;
    }
    m_bContinueModal = FALSE;
    // Hide first, then give the owner back its input, so activation goes there.
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (enableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner && m_hWnd && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndOwner);
    if (m_hWnd)
        DestroyWindow();
    PostModal();
    return m_nModalResult;
}

BOOL CDialog::ContinueModal() { return m_bContinueModal; }

void CDialog::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_bContinueModal) {
        m_bContinueModal = FALSE;
        // Wake the loop in case it waits for a message.
        if (m_hWnd)
            ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    }
}

void CDialog::EndDialog(int nResult)
{
    if (m_bContinueModal || m_bInModalLoop) {
        EndModalLoop(nResult);
        return;
    }
    // A modeless dialog is only hidden, as the system's EndDialog does.
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

int CDialog::RunModalLoop(DWORD)
{
    m_bInModalLoop = TRUE;
    bool shown = (GetStyle() & WS_VISIBLE) != 0;
    BOOL idle = TRUE;
    HWND hWndParent = ::GetParent(m_hWnd);
    MSG peek;
    while (ContinueModal()) {
        while (idle && ContinueModal() && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!shown) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                shown = true;
            }
            if (hWndParent)
                ::SendMessageA(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            idle = FALSE;
        }
        do {
            if (!ContinueModal())
                break;
            if (!AfxPumpMessage()) {
                // The application is ending: leave, and let the outer loop see WM_QUIT too.
                AfxPostQuitMessage(0);
                m_nModalResult = -1;
                m_bContinueModal = FALSE;
                break;
            }
            idle = TRUE;
        } while (ContinueModal() && ::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
    m_bInModalLoop = FALSE;
    return m_nModalResult;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // Keyboard and mouse input of the dialog and its controls: the dialog
    // manager's navigation (Tab, Enter, Escape, mnemonics).
    if ((pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
        (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST)) {
        if (m_hWnd && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
            return ::IsDialogMessageA(m_hWnd, pMsg);
    }
    return FALSE;
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->GetSafeHwnd()), 1);
}

void CDialog::NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
DWORD CDialog::GetDefID() const { return (DWORD)::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0); }
void CDialog::MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // Only commands (not control notifications or system commands) go on.
    if ((nCode != CN_COMMAND && (UINT)nCode != CN_UPDATE_COMMAND_UI) || nID < 0x8000 || nID > 0xDFFF)
        return FALSE;
    CWinThread* pThread = AfxGetThread();
    return pThread ? pThread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
}
