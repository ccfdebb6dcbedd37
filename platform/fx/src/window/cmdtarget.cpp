// CCmdTarget: message-map search and command routing; CCmdUI.
#include "window_state.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

static bool Matches(const AFX_MSGMAP_ENTRY& e, UINT nMessage, UINT nCode, UINT nID)
{
    if (e.pnRegistered)
        return nMessage >= 0xC000 && *e.pnRegistered == nMessage && nCode == 0 && nID == 0;
    return e.nMessage == nMessage && e.nCode == nCode && nID >= e.nID && nID <= e.nLastID;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e)
            if (Matches(*e, nMessage, nCode, nID))
                return e;
    }
    return nullptr;
}

BOOL CCmdTarget::DispatchCmd(UINT nMsg, UINT nCode, UINT nID, void* pExtra, LRESULT* pResult,
                             AFX_CMDHANDLERINFO* pHandlerInfo)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->pnRegistered || !Matches(*e, nMsg, nCode, nID))
                continue;
            if (pHandlerInfo) {
                pHandlerInfo->pTarget = this;
                pHandlerInfo->pEntry = e;
                return TRUE;
            }
            fx::detail::MsgCall call;
            call.message = nMsg;
            call.nID = nID;
            call.pExtra = pExtra;
            if (pResult)
                call.result = *pResult;
            BOOL handled = e->pfn(this, call);
            if (pResult)
                *pResult = call.result;
            if (handled)
                return TRUE;
            // An _EX handler passed it on: keep looking.
        }
    }
    return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    UINT nMsg = WM_COMMAND;
    UINT code = (UINT)nCode;
    if (code != CN_UPDATE_COMMAND_UI) {
        nMsg = HIWORD(code);
        code = LOWORD(code);
        if (nMsg == 0)
            nMsg = WM_COMMAND;
    }
    if (nMsg == WM_NOTIFY) {
        AFX_NOTIFY* notify = static_cast<AFX_NOTIFY*>(pExtra);
        return DispatchCmd(nMsg, code, nID, notify ? notify->pNMHDR : nullptr,
                           notify ? notify->pResult : nullptr, pHandlerInfo);
    }
    return DispatchCmd(nMsg, code, nID, pExtra, nullptr, pHandlerInfo);
}

void CCmdTarget::BeginWaitCursor() { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); }
void CCmdTarget::EndWaitCursor() { ::SetCursor(::LoadCursor(nullptr, IDC_ARROW)); }
void CCmdTarget::RestoreWaitCursor() { BeginWaitCursor(); }

namespace fx::detail {
BOOL RunUpdateHandler(CCmdUI* ui, void (*call)(CCmdTarget*, CCmdUI*), CCmdTarget* t)
{
    ui->m_bContinueRouting = FALSE;
    call(t, ui);
    return !ui->m_bContinueRouting;
}
} // namespace fx::detail

// ---- CCmdUI ----------------------------------------------------------------------

CCmdUI::CCmdUI()
    : m_nID(0), m_nIndex(0), m_hMenu(nullptr), m_hSubMenu(nullptr), m_pOther(nullptr),
      m_bEnableChanged(FALSE), m_bContinueRouting(FALSE), m_nIndexMax(0)
{
}

void CCmdUI::Enable(BOOL bOn)
{
    if (m_hMenu) {
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther) {
        HWND h = m_pOther->m_hWnd;
        // Never leave the focus on a control being disabled.
        if (!bOn && ::GetFocus() == h) {
            HWND parent = ::GetParent(h);
            ::SendMessageA(parent, WM_NEXTDLGCTL, 0, FALSE);
        }
        ::EnableWindow(h, bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_hMenu) {
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther) {
        HWND h = m_pOther->m_hWnd;
        if (::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
            ::SendMessageA(h, BM_SETCHECK, (WPARAM)nCheck, 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn) { SetCheck(bOn ? 1 : 0); }

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (!lpszText)
        lpszText = "";
    if (m_hMenu) {
        if (m_hSubMenu)
            return;  // popup items keep their text
        UINT state = ::GetMenuState(m_hMenu, m_nIndex, MF_BYPOSITION);
        state &= ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP);
        ::ModifyMenuA(m_hMenu, m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    } else if (m_pOther) {
        CString current;
        m_pOther->GetWindowText(current);
        if (current != lpszText)
            m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE;  // separators and unnamed controls
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, (int)CN_UPDATE_COMMAND_UI, this, nullptr);
    if (!bResult && bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = {nullptr, nullptr};
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return bResult;
}
