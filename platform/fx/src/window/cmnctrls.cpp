// Thin wrappers of the common controls.
#include "window_state.h"

#include <map>

IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CImageList, CObject)

#define SEND(msg, w, l) ::SendMessageA(m_hWnd, (msg), (WPARAM)(w), (LPARAM)(l))

namespace {
// The common control classes are registered once per process.
void InitCommonControlsOnce()
{
    static bool done = [] {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                    ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}
} // namespace

// ---- CTabCtrl ----
BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlsOnce();
    return CWnd::Create(WC_TABCONTROLA, nullptr, dwStyle, rect, pParentWnd, nID);
}
int CTabCtrl::GetItemCount() const { return (int)SEND(TCM_GETITEMCOUNT, 0, 0); }
BOOL CTabCtrl::GetItem(int nItem, TCITEMA* p) const { return (BOOL)SEND(TCM_GETITEMA, nItem, p); }
BOOL CTabCtrl::SetItem(int nItem, TCITEMA* p) { return (BOOL)SEND(TCM_SETITEMA, nItem, p); }
LONG CTabCtrl::InsertItem(int nItem, TCITEMA* p) { return (LONG)SEND(TCM_INSERTITEMA, nItem, p); }
LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return InsertItem(nItem, &item);
}
BOOL CTabCtrl::DeleteItem(int nItem) { return (BOOL)SEND(TCM_DELETEITEM, nItem, 0); }
BOOL CTabCtrl::DeleteAllItems() { return (BOOL)SEND(TCM_DELETEALLITEMS, 0, 0); }
int CTabCtrl::GetCurSel() const { return (int)SEND(TCM_GETCURSEL, 0, 0); }
int CTabCtrl::SetCurSel(int nItem) { return (int)SEND(TCM_SETCURSEL, nItem, 0); }
int CTabCtrl::GetCurFocus() const { return (int)SEND(TCM_GETCURFOCUS, 0, 0); }
BOOL CTabCtrl::GetItemRect(int nItem, LPRECT lpRect) const { return (BOOL)SEND(TCM_GETITEMRECT, nItem, lpRect); }
int CTabCtrl::GetRowCount() const { return (int)SEND(TCM_GETROWCOUNT, 0, 0); }
void CTabCtrl::AdjustRect(BOOL bLarger, LPRECT lpRect) { SEND(TCM_ADJUSTRECT, bLarger, lpRect); }
CImageList* CTabCtrl::GetImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SEND(TCM_GETIMAGELIST, 0, 0)));
}
HIMAGELIST CTabCtrl::SetImageList(CImageList* p)
{
    return reinterpret_cast<HIMAGELIST>(SEND(TCM_SETIMAGELIST, 0, p ? p->m_hImageList : nullptr));
}

// ---- CProgressCtrl ----
BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlsOnce();
    return CWnd::Create(PROGRESS_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}
void CProgressCtrl::SetRange(short nLower, short nUpper) { SEND(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
void CProgressCtrl::SetRange32(int nLower, int nUpper) { SEND(PBM_SETRANGE32, nLower, nUpper); }
void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE r = {};
    SEND(PBM_GETRANGE, 0, &r);
    nLower = r.iLow;
    nUpper = r.iHigh;
}
int CProgressCtrl::GetPos() const { return (int)SEND(PBM_GETPOS, 0, 0); }
int CProgressCtrl::SetPos(int nPos) { return (int)SEND(PBM_SETPOS, nPos, 0); }
int CProgressCtrl::OffsetPos(int nPos) { return (int)SEND(PBM_DELTAPOS, nPos, 0); }
int CProgressCtrl::SetStep(int nStep) { return (int)SEND(PBM_SETSTEP, nStep, 0); }
int CProgressCtrl::StepIt() { return (int)SEND(PBM_STEPIT, 0, 0); }

// ---- CSliderCtrl ----
BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlsOnce();
    return CWnd::Create(TRACKBAR_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}
void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw)
{
    SEND(TBM_SETRANGEMIN, FALSE, nMin);
    SEND(TBM_SETRANGEMAX, bRedraw, nMax);
}
void CSliderCtrl::GetRange(int& nMin, int& nMax) const
{
    nMin = GetRangeMin();
    nMax = GetRangeMax();
}
int CSliderCtrl::GetRangeMin() const { return (int)SEND(TBM_GETRANGEMIN, 0, 0); }
int CSliderCtrl::GetRangeMax() const { return (int)SEND(TBM_GETRANGEMAX, 0, 0); }
int CSliderCtrl::GetPos() const { return (int)SEND(TBM_GETPOS, 0, 0); }
void CSliderCtrl::SetPos(int nPos) { SEND(TBM_SETPOS, TRUE, nPos); }
int CSliderCtrl::GetPageSize() const { return (int)SEND(TBM_GETPAGESIZE, 0, 0); }
int CSliderCtrl::SetPageSize(int nSize) { return (int)SEND(TBM_SETPAGESIZE, 0, nSize); }
int CSliderCtrl::GetLineSize() const { return (int)SEND(TBM_GETLINESIZE, 0, 0); }
int CSliderCtrl::SetLineSize(int nSize) { return (int)SEND(TBM_SETLINESIZE, 0, nSize); }
void CSliderCtrl::SetTicFreq(int nFreq) { SEND(TBM_SETTICFREQ, nFreq, 0); }
void CSliderCtrl::ClearTics(BOOL bRedraw) { SEND(TBM_CLEARTICS, bRedraw, 0); }

// ---- CSpinButtonCtrl ----
BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlsOnce();
    return CWnd::Create(UPDOWN_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}
CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy)
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(SEND(UDM_SETBUDDY, pWndBuddy->GetSafeHwnd(), 0)));
}
CWnd* CSpinButtonCtrl::GetBuddy() const { return CWnd::FromHandle(reinterpret_cast<HWND>(SEND(UDM_GETBUDDY, 0, 0))); }
void CSpinButtonCtrl::SetRange(int nLower, int nUpper) { SEND(UDM_SETRANGE32, nLower, nUpper); }
void CSpinButtonCtrl::SetRange32(int nLower, int nUpper) { SEND(UDM_SETRANGE32, nLower, nUpper); }
void CSpinButtonCtrl::GetRange(int& nLower, int& nUpper) const { SEND(UDM_GETRANGE32, &nLower, &nUpper); }
int CSpinButtonCtrl::GetPos() const { return (int)SEND(UDM_GETPOS, 0, 0); }
int CSpinButtonCtrl::SetPos(int nPos) { return (int)SEND(UDM_SETPOS, 0, MAKELPARAM(nPos, 0)); }
UINT CSpinButtonCtrl::GetBase() const { return (UINT)SEND(UDM_GETBASE, 0, 0); }
int CSpinButtonCtrl::SetBase(int nBase) { return (int)SEND(UDM_SETBASE, nBase, 0); }

// ---- CImageList ----
namespace {
thread_local std::map<HIMAGELIST, CImageList*> t_tempImageLists;
}

CImageList::~CImageList() { DeleteImageList(); }

HIMAGELIST CImageList::GetSafeHandle() const
{
    const CImageList* self = this;
    asm("" : "+r"(self));
    return self ? self->m_hImageList : nullptr;
}

CImageList* CImageList::FromHandle(HIMAGELIST h)
{
    if (!h)
        return nullptr;
    auto it = t_tempImageLists.find(h);
    if (it != t_tempImageLists.end())
        return it->second;
    CImageList* p = new CImageList;
    p->m_hImageList = h;
    t_tempImageLists[h] = p;
    return p;
}

void CImageList::DeleteTempMap()
{
    auto temps = std::move(t_tempImageLists);
    t_tempImageLists.clear();
    for (auto& [h, p] : temps) {
        p->m_hImageList = nullptr;
        delete p;
    }
}

BOOL CImageList::Attach(HIMAGELIST h)
{
    if (!h || m_hImageList)
        return FALSE;
    m_hImageList = h;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST h = m_hImageList;
    m_hImageList = nullptr;
    return h;
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    InitCommonControlsOnce();
    return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    InitCommonControlsOnce();
    LPCSTR name = MAKEINTRESOURCEA(nBitmapID);
    HINSTANCE h = AfxFindResourceHandle(name, RT_BITMAP);
    return Attach(ImageList_LoadImageA(h, name, cx, nGrow, crMask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    return ImageList_Destroy(Detach());
}

int CImageList::GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
int CImageList::Add(HBITMAP hbmImage, HBITMAP hbmMask) { return ImageList_Add(m_hImageList, hbmImage, hbmMask); }
int CImageList::Add(HBITMAP hbmImage, COLORREF crMask) { return ImageList_AddMasked(m_hImageList, hbmImage, crMask); }
int CImageList::Add(HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
BOOL CImageList::Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
HICON CImageList::ExtractIcon(int nImage) { return ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL); }
BOOL CImageList::Draw(HDC hDC, int nImage, POINT pt, UINT nStyle)
{
    return ImageList_Draw(m_hImageList, nImage, hDC, pt.x, pt.y, nStyle);
}
COLORREF CImageList::SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
BOOL CImageList::GetIconSize(int* cx, int* cy) const { return ImageList_GetIconSize(m_hImageList, cx, cy); }
