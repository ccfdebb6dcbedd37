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
fx::win::PerThread<std::map<HIMAGELIST, CImageList*>> t_tempImageLists;
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
    auto it = t_tempImageLists.Get().find(h);
    if (it != t_tempImageLists.Get().end())
        return it->second;
    CImageList* p = new CImageList;
    p->m_hImageList = h;
    t_tempImageLists.Get()[h] = p;
    return p;
}

void CImageList::DeleteTempMap()
{
    auto temps = std::move(t_tempImageLists.Get());
    t_tempImageLists.Get().clear();
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

// ---- CListCtrl ----
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControlsOnce();
    return CWnd::Create(WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}
int CListCtrl::GetItemCount() const { return (int)SEND(LVM_GETITEMCOUNT, 0, 0); }

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_FMT;
    col.fmt = nFormat;
    col.pszText = const_cast<LPSTR>(lpszColumnHeading);
    if (nWidth != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = nWidth;
    }
    if (nSubItem != -1) {
        col.mask |= LVCF_SUBITEM;
        col.iSubItem = nSubItem;
    }
    return (int)SEND(LVM_INSERTCOLUMNA, nCol, &col);
}
BOOL CListCtrl::DeleteColumn(int nCol) { return (BOOL)SEND(LVM_DELETECOLUMN, nCol, 0); }
int CListCtrl::GetColumnWidth(int nCol) const { return (int)SEND(LVM_GETCOLUMNWIDTH, nCol, 0); }
BOOL CListCtrl::SetColumnWidth(int nCol, int cx) { return (BOOL)SEND(LVM_SETCOLUMNWIDTH, nCol, MAKELPARAM(cx, 0)); }

int CListCtrl::InsertItem(const LVITEMA* pItem) { return (int)SEND(LVM_INSERTITEMA, 0, pItem); }

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return InsertItem(&item);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = nItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    item.iImage = nImage;
    return InsertItem(&item);
}

BOOL CListCtrl::DeleteItem(int nItem) { return (BOOL)SEND(LVM_DELETEITEM, nItem, 0); }
BOOL CListCtrl::DeleteAllItems() { return (BOOL)SEND(LVM_DELETEALLITEMS, 0, 0); }

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPSTR>(lpszText);
    return (BOOL)SEND(LVM_SETITEMTEXTA, nItem, &item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // Grow the buffer until the text fits (the control truncates silently).
    for (int size = 256; size <= 65536; size *= 4) {
        CString text;
        LVITEMA item = {};
        item.iSubItem = nSubItem;
        item.cchTextMax = size;
        item.pszText = text.GetBuffer(size);
        int n = (int)SEND(LVM_GETITEMTEXTA, nItem, &item);
        text.ReleaseBuffer(n >= 0 && n < size ? n : -1);
        if (n < size - 1)
            return text;
    }
    return CString();
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = (LPARAM)dwData;
    return (BOOL)SEND(LVM_SETITEMA, 0, &item);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    SEND(LVM_GETITEMA, 0, &item);
    return (DWORD_PTR)item.lParam;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEMA item = {};
    item.stateMask = nMask;
    item.state = nState;
    return (BOOL)SEND(LVM_SETITEMSTATE, nItem, &item);
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const { return (UINT)SEND(LVM_GETITEMSTATE, nItem, nMask); }
int CListCtrl::GetNextItem(int nItem, int nFlags) const { return (int)SEND(LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)); }
UINT CListCtrl::GetSelectedCount() const { return (UINT)SEND(LVM_GETSELECTEDCOUNT, 0, 0); }
BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) { return (BOOL)SEND(LVM_ENSUREVISIBLE, nItem, bPartialOK); }
int CListCtrl::FindItem(LVFINDINFOA* pFindInfo, int nStart) const { return (int)SEND(LVM_FINDITEMA, nStart, pFindInfo); }
BOOL CListCtrl::SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData) { return (BOOL)SEND(LVM_SORTITEMS, dwData, pfnCompare); }
CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SEND(LVM_SETIMAGELIST, nImageListType, pImageList ? pImageList->m_hImageList : nullptr)));
}
CImageList* CListCtrl::GetImageList(int nImageListType) const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SEND(LVM_GETIMAGELIST, nImageListType, 0)));
}
BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    lpRect->left = (LONG)nCode;
    return (BOOL)SEND(LVM_GETITEMRECT, nItem, lpRect);
}
BOOL CListCtrl::SetBkColor(COLORREF cr) { return (BOOL)SEND(LVM_SETBKCOLOR, 0, cr); }
BOOL CListCtrl::SetTextBkColor(COLORREF cr) { return (BOOL)SEND(LVM_SETTEXTBKCOLOR, 0, cr); }
BOOL CListCtrl::SetTextColor(COLORREF cr) { return (BOOL)SEND(LVM_SETTEXTCOLOR, 0, cr); }

// ---- CToolTipCtrl ----
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    InitCommonControlsOnce();
    return CWnd::CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), nullptr);
}

// The tool info size of the original common controls: the newer fields are
// not needed, and every version of the control accepts it.
void CToolTipCtrl::FillInToolInfo(TOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const
{
    memset(&ti, 0, sizeof ti);
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = pWnd->GetSafeHwnd();
    if (nIDTool == 0) {
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.uId = reinterpret_cast<UINT_PTR>(pWnd->GetSafeHwnd());
    } else {
        ti.uFlags = TTF_SUBCLASS;
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return FALSE;
    TOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool)
        ti.rect = *lpRectTool;
    else if (nIDTool != 0)
        pWnd->GetClientRect(&ti.rect);
    ti.lpszText = const_cast<LPSTR>(lpszText ? lpszText : LPSTR_TEXTCALLBACKA);
    return (BOOL)SEND(TTM_ADDTOOLA, 0, &ti);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    SEND(TTM_DELTOOLA, 0, &ti);
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = const_cast<LPSTR>(lpszText ? lpszText : "");
    SEND(TTM_UPDATETIPTEXTA, 0, &ti);
}

CString CToolTipCtrl::GetText(CWnd* pWnd, UINT_PTR nIDTool) const
{
    // The control copies up to 80 characters (its classic limit) into the buffer.
    char buf[1024] = {};
    TOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = buf;
    SEND(TTM_GETTEXTA, sizeof buf, &ti);
    buf[sizeof buf - 1] = 0;
    return CString(buf);
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    TOOLINFOA ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    SEND(TTM_NEWTOOLRECTA, 0, &ti);
}

int CToolTipCtrl::GetToolCount() const { return (int)SEND(TTM_GETTOOLCOUNT, 0, 0); }
void CToolTipCtrl::Activate(BOOL bActivate) { SEND(TTM_ACTIVATE, bActivate, 0); }
void CToolTipCtrl::RelayEvent(LPMSG lpMsg) { SEND(TTM_RELAYEVENT, 0, lpMsg); }
void CToolTipCtrl::SetDelayTime(UINT nDelay) { SEND(TTM_SETDELAYTIME, TTDT_AUTOMATIC, nDelay); }

// ---- CListCtrl: hit testing and extended styles ----
int CListCtrl::HitTest(LVHITTESTINFO* pHitTestInfo) const { return (int)SEND(LVM_HITTEST, 0, pHitTestInfo); }

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    LVHITTESTINFO info = {};
    info.pt = pt;
    int item = HitTest(&info);
    if (pFlags)
        *pFlags = info.flags;
    return item;
}

DWORD CListCtrl::GetExtendedStyle() const { return (DWORD)SEND(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); }
DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle)
{
    return (DWORD)SEND(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle);
}
