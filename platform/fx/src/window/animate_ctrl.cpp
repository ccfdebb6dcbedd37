// Animation control: a silent AVI clip from a file or a resource.
#include "window_state.h"

IMPLEMENT_DYNAMIC(CAnimateCtrl, CWnd)

#define SEND(msg, w, l) ::SendMessageA(m_hWnd, (msg), (WPARAM)(w), (LPARAM)(l))

BOOL CAnimateCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&icc);
    return CWnd::Create(ANIMATE_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CAnimateCtrl::Open(LPCTSTR lpszFileName) { return (BOOL)SEND(ACM_OPENA, 0, lpszFileName); }
// A resource of the module that holds the clip (the resource chain's first).
BOOL CAnimateCtrl::Open(UINT nID)
{
    return (BOOL)SEND(ACM_OPENA, AfxGetResourceHandle(), MAKEINTRESOURCEA(nID));
}
BOOL CAnimateCtrl::Play(UINT nFrom, UINT nTo, UINT nRep)
{
    return (BOOL)SEND(ACM_PLAY, nRep, MAKELONG(nFrom, nTo));
}
BOOL CAnimateCtrl::Stop() { return (BOOL)SEND(ACM_STOP, 0, 0); }
BOOL CAnimateCtrl::Close() { return (BOOL)SEND(ACM_OPENA, 0, 0); }
BOOL CAnimateCtrl::Seek(UINT nTo) { return Play(nTo, nTo, 1); }
