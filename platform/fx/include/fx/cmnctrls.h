// Thin wrappers of the common controls (comctl32): tab control, progress
// bar, slider, spin button, image list.
#pragma once

#include "fx/wnd.h"

#include <commctrl.h>

class CImageList;

class CTabCtrl : public CWnd {
    DECLARE_DYNAMIC(CTabCtrl)
public:
    CTabCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetItemCount() const;
    BOOL GetItem(int nItem, TCITEMA* pTabCtrlItem) const;
    BOOL SetItem(int nItem, TCITEMA* pTabCtrlItem);
    LONG InsertItem(int nItem, LPCTSTR lpszItem);
    LONG InsertItem(int nItem, TCITEMA* pTabCtrlItem);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetCurSel() const;
    int SetCurSel(int nItem);
    int GetCurFocus() const;
    BOOL GetItemRect(int nItem, LPRECT lpRect) const;
    int GetRowCount() const;
    // bLarger: the window rectangle for a display area; else the display area of a window rectangle.
    void AdjustRect(BOOL bLarger, LPRECT lpRect);
    CImageList* GetImageList() const;
    HIMAGELIST SetImageList(CImageList* pImageList);
};

class CProgressCtrl : public CWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    CProgressCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetRange(short nLower, short nUpper);
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    int GetPos() const;
    int SetPos(int nPos);
    int OffsetPos(int nPos);
    int SetStep(int nStep);
    int StepIt();
};

class CSliderCtrl : public CWnd {
    DECLARE_DYNAMIC(CSliderCtrl)
public:
    CSliderCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void GetRange(int& nMin, int& nMax) const;
    int GetRangeMin() const;
    int GetRangeMax() const;
    int GetPos() const;
    void SetPos(int nPos);
    int GetPageSize() const;
    int SetPageSize(int nSize);
    int GetLineSize() const;
    int SetLineSize(int nSize);
    void SetTicFreq(int nFreq);
    void ClearTics(BOOL bRedraw = FALSE);
};

class CSpinButtonCtrl : public CWnd {
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    CSpinButtonCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    CWnd* SetBuddy(CWnd* pWndBuddy);
    CWnd* GetBuddy() const;
    void SetRange(int nLower, int nUpper);
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    int GetPos() const;  // HIWORD non-zero: the buddy's text is no number
    int SetPos(int nPos);
    UINT GetBase() const;
    int SetBase(int nBase);
};

class CImageList : public CObject {
    DECLARE_DYNAMIC(CImageList)
public:
    CImageList() : m_hImageList(nullptr) {}
    ~CImageList() override;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const;
    static CImageList* FromHandle(HIMAGELIST h);
    static void DeleteTempMap();
    BOOL Attach(HIMAGELIST h);
    HIMAGELIST Detach();

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // From a bitmap of the resource chain, cx wide per image.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL DeleteImageList();
    int GetImageCount() const;
    int Add(HBITMAP hbmImage, HBITMAP hbmMask);
    int Add(HBITMAP hbmImage, COLORREF crMask);
    int Add(HICON hIcon);
    BOOL Remove(int nImage);
    HICON ExtractIcon(int nImage);
    BOOL Draw(HDC hDC, int nImage, POINT pt, UINT nStyle);
    COLORREF SetBkColor(COLORREF cr);
    BOOL GetIconSize(int* cx, int* cy) const;
};

// List view control.
class CListCtrl : public CWnd {
    DECLARE_DYNAMIC(CListCtrl)
public:
    CListCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetItemCount() const;
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    BOOL DeleteColumn(int nCol);
    int GetColumnWidth(int nCol) const;
    BOOL SetColumnWidth(int nCol, int cx);
    int InsertItem(int nItem, LPCTSTR lpszItem);
    int InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
    int InsertItem(const LVITEMA* pItem);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    // The next item after nItem (-1: from the start) with the LVNI_ flags.
    int GetNextItem(int nItem, int nFlags) const;
    UINT GetSelectedCount() const;
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    int FindItem(LVFINDINFOA* pFindInfo, int nStart = -1) const;
    BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData);
    CImageList* SetImageList(CImageList* pImageList, int nImageListType);
    CImageList* GetImageList(int nImageListType) const;
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    BOOL SetBkColor(COLORREF cr);
    BOOL SetTextBkColor(COLORREF cr);
    BOOL SetTextColor(COLORREF cr);
    // The item under a point of the client area, or -1; pFlags gets the LVHT_ part hit.
    int HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    int HitTest(LVHITTESTINFO* pHitTestInfo) const;
    DWORD GetExtendedStyle() const;
    // Returns the previous extended style (LVS_EX_ flags).
    DWORD SetExtendedStyle(DWORD dwNewStyle);
};

// Date and time picker; times are local.
class CDateTimeCtrl : public CWnd {
    DECLARE_DYNAMIC(CDateTimeCtrl)
public:
    CDateTimeCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // GDT_VALID with the time, GDT_NONE when the control shows no time.
    DWORD GetTime(CTime& timeDest) const;
    DWORD GetTime(LPSYSTEMTIME pTimeDest) const;
    BOOL SetTime(const CTime& timeNew);
    BOOL SetTime(LPSYSTEMTIME pTimeNew = nullptr);
    BOOL SetFormat(LPCTSTR pstrFormat);
};

// Plays a silent AVI clip from a file or a resource.
class CAnimateCtrl : public CWnd {
    DECLARE_DYNAMIC(CAnimateCtrl)
public:
    CAnimateCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL Open(LPCTSTR lpszFileName);
    BOOL Open(UINT nID);
    BOOL Play(UINT nFrom, UINT nTo, UINT nRep);
    BOOL Stop();
    BOOL Close();
    BOOL Seek(UINT nTo);
};

// Tool tips for the tools (windows or rectangles) of other windows.
class CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    CToolTipCtrl() = default;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // A rectangle of pWnd (with a non-zero nIDTool) or the whole window pWnd.
    BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    CString GetText(CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    int GetToolCount() const;
    void Activate(BOOL bActivate);
    void RelayEvent(LPMSG lpMsg);
    void SetDelayTime(UINT nDelay);

protected:
    void FillInToolInfo(TOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};
