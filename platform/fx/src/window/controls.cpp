// The standard controls.
#include "window_state.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)

#define SEND(msg, w, l) ::SendMessageA(m_hWnd, (msg), (WPARAM)(w), (LPARAM)(l))

// ---- CStatic ----
BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}
HICON CStatic::SetIcon(HICON hIcon) { return (HICON)SEND(STM_SETICON, hIcon, 0); }
HICON CStatic::GetIcon() const { return (HICON)SEND(STM_GETICON, 0, 0); }
HBITMAP CStatic::SetBitmap(HBITMAP hBitmap) { return (HBITMAP)SEND(STM_SETIMAGE, IMAGE_BITMAP, hBitmap); }
HBITMAP CStatic::GetBitmap() const { return (HBITMAP)SEND(STM_GETIMAGE, IMAGE_BITMAP, 0); }

// ---- CButton ----
BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}
int CButton::GetCheck() const { return (int)SEND(BM_GETCHECK, 0, 0); }
void CButton::SetCheck(int nCheck) { SEND(BM_SETCHECK, nCheck, 0); }
UINT CButton::GetState() const { return (UINT)SEND(BM_GETSTATE, 0, 0); }
void CButton::SetState(BOOL bHighlight) { SEND(BM_SETSTATE, bHighlight, 0); }
UINT CButton::GetButtonStyle() const { return (UINT)GetWindowLongA(m_hWnd, GWL_STYLE) & 0xffff; }
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) { SEND(BM_SETSTYLE, nStyle, bRedraw); }
HICON CButton::SetIcon(HICON hIcon) { return (HICON)SEND(BM_SETIMAGE, IMAGE_ICON, hIcon); }
HICON CButton::GetIcon() const { return (HICON)SEND(BM_GETIMAGE, IMAGE_ICON, 0); }
HBITMAP CButton::SetBitmap(HBITMAP hBitmap) { return (HBITMAP)SEND(BM_SETIMAGE, IMAGE_BITMAP, hBitmap); }
HBITMAP CButton::GetBitmap() const { return (HBITMAP)SEND(BM_GETIMAGE, IMAGE_BITMAP, 0); }
void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CEdit ----
BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}
BOOL CEdit::CanUndo() const { return (BOOL)SEND(EM_CANUNDO, 0, 0); }
int CEdit::GetLineCount() const { return (int)SEND(EM_GETLINECOUNT, 0, 0); }
BOOL CEdit::GetModify() const { return (BOOL)SEND(EM_GETMODIFY, 0, 0); }
void CEdit::SetModify(BOOL bModified) { SEND(EM_SETMODIFY, bModified, 0); }
DWORD CEdit::GetSel() const { return (DWORD)SEND(EM_GETSEL, 0, 0); }
void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD s = 0, e = 0;
    SEND(EM_GETSEL, &s, &e);
    nStartChar = (int)s;
    nEndChar = (int)e;
}
void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    SEND(EM_SETSEL, LOWORD(dwSelection), HIWORD(dwSelection));
    if (!bNoScroll)
        SEND(EM_SCROLLCARET, 0, 0);
}
void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    SEND(EM_SETSEL, nStartChar, nEndChar);
    if (!bNoScroll)
        SEND(EM_SCROLLCARET, 0, 0);
}
void CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo) { SEND(EM_REPLACESEL, bCanUndo, lpszNewText ? lpszNewText : ""); }
void CEdit::LimitText(int nChars) { SEND(EM_LIMITTEXT, nChars, 0); }
void CEdit::SetLimitText(UINT nMax) { SEND(EM_SETLIMITTEXT, nMax, 0); }
UINT CEdit::GetLimitText() const { return (UINT)SEND(EM_GETLIMITTEXT, 0, 0); }
int CEdit::GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const
{
    if (nMaxLength < 2)
        return 0;
    *reinterpret_cast<WORD*>(lpszBuffer) = (WORD)(nMaxLength > 0xFFFF ? 0xFFFF : nMaxLength);
    return (int)SEND(EM_GETLINE, nIndex, lpszBuffer);
}
int CEdit::LineIndex(int nLine) const { return (int)SEND(EM_LINEINDEX, nLine, 0); }
int CEdit::LineLength(int nLine) const { return (int)SEND(EM_LINELENGTH, nLine, 0); }
int CEdit::LineFromChar(int nIndex) const { return (int)SEND(EM_LINEFROMCHAR, nIndex, 0); }
void CEdit::LineScroll(int nLines, int nChars) { SEND(EM_LINESCROLL, nChars, nLines); }
void CEdit::SetPasswordChar(TCHAR ch) { SEND(EM_SETPASSWORDCHAR, (BYTE)ch, 0); }
BOOL CEdit::SetReadOnly(BOOL bReadOnly) { return (BOOL)SEND(EM_SETREADONLY, bReadOnly, 0); }
BOOL CEdit::Undo() { return (BOOL)SEND(EM_UNDO, 0, 0); }
void CEdit::Clear() { SEND(WM_CLEAR, 0, 0); }
void CEdit::Copy() { SEND(WM_COPY, 0, 0); }
void CEdit::Cut() { SEND(WM_CUT, 0, 0); }
void CEdit::Paste() { SEND(WM_PASTE, 0, 0); }

// ---- CComboBox ----
BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}
int CComboBox::GetCount() const { return (int)SEND(CB_GETCOUNT, 0, 0); }
int CComboBox::GetCurSel() const { return (int)SEND(CB_GETCURSEL, 0, 0); }
int CComboBox::SetCurSel(int nSelect) { return (int)SEND(CB_SETCURSEL, nSelect, 0); }
int CComboBox::AddString(LPCTSTR s) { return (int)SEND(CB_ADDSTRING, 0, s); }
int CComboBox::InsertString(int nIndex, LPCTSTR s) { return (int)SEND(CB_INSERTSTRING, nIndex, s); }
int CComboBox::DeleteString(UINT nIndex) { return (int)SEND(CB_DELETESTRING, nIndex, 0); }
void CComboBox::ResetContent() { SEND(CB_RESETCONTENT, 0, 0); }
int CComboBox::FindString(int nStartAfter, LPCTSTR s) const { return (int)SEND(CB_FINDSTRING, nStartAfter, s); }
int CComboBox::FindStringExact(int nIndexStart, LPCTSTR s) const { return (int)SEND(CB_FINDSTRINGEXACT, nIndexStart, s); }
int CComboBox::SelectString(int nStartAfter, LPCTSTR s) { return (int)SEND(CB_SELECTSTRING, nStartAfter, s); }
int CComboBox::GetLBText(int nIndex, LPTSTR lpszText) const { return (int)SEND(CB_GETLBTEXT, nIndex, lpszText); }
void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int len = GetLBTextLen(nIndex);
    if (len <= 0) {
        rString.Empty();
        return;
    }
    char* buf = rString.GetBuffer(len);
    int got = (int)SEND(CB_GETLBTEXT, nIndex, buf);
    rString.ReleaseBuffer(got < 0 ? 0 : (got > len ? len : got));
}
int CComboBox::GetLBTextLen(int nIndex) const { return (int)SEND(CB_GETLBTEXTLEN, nIndex, 0); }
DWORD_PTR CComboBox::GetItemData(int nIndex) const { return (DWORD_PTR)SEND(CB_GETITEMDATA, nIndex, 0); }
int CComboBox::SetItemData(int nIndex, DWORD_PTR d) { return (int)SEND(CB_SETITEMDATA, nIndex, d); }
void* CComboBox::GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
int CComboBox::SetItemDataPtr(int nIndex, void* p) { return SetItemData(nIndex, (DWORD_PTR)p); }
void CComboBox::ShowDropDown(BOOL bShowIt) { SEND(CB_SHOWDROPDOWN, bShowIt, 0); }
BOOL CComboBox::GetDroppedState() const { return (BOOL)SEND(CB_GETDROPPEDSTATE, 0, 0); }
BOOL CComboBox::LimitText(int nMaxChars) { return (BOOL)SEND(CB_LIMITTEXT, nMaxChars, 0); }
DWORD CComboBox::GetEditSel() const { return (DWORD)SEND(CB_GETEDITSEL, 0, 0); }
BOOL CComboBox::SetEditSel(int s, int e) { return (BOOL)SEND(CB_SETEDITSEL, 0, MAKELONG(s, e)); }
int CComboBox::GetTopIndex() const { return (int)SEND(CB_GETTOPINDEX, 0, 0); }
int CComboBox::SetTopIndex(int nIndex) { return (int)SEND(CB_SETTOPINDEX, nIndex, 0); }
void CComboBox::Clear() { SEND(WM_CLEAR, 0, 0); }
void CComboBox::Copy() { SEND(WM_COPY, 0, 0); }
void CComboBox::Cut() { SEND(WM_CUT, 0, 0); }
void CComboBox::Paste() { SEND(WM_PASTE, 0, 0); }

// ---- CListBox ----
BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}
int CListBox::GetCount() const { return (int)SEND(LB_GETCOUNT, 0, 0); }
int CListBox::GetCurSel() const { return (int)SEND(LB_GETCURSEL, 0, 0); }
int CListBox::SetCurSel(int nSelect) { return (int)SEND(LB_SETCURSEL, nSelect, 0); }
int CListBox::GetSel(int nIndex) const { return (int)SEND(LB_GETSEL, nIndex, 0); }
int CListBox::SetSel(int nIndex, BOOL bSelect) { return (int)SEND(LB_SETSEL, bSelect, nIndex); }
int CListBox::GetSelCount() const { return (int)SEND(LB_GETSELCOUNT, 0, 0); }
int CListBox::GetSelItems(int nMaxItems, LPINT rgIndex) const { return (int)SEND(LB_GETSELITEMS, nMaxItems, rgIndex); }
int CListBox::AddString(LPCTSTR s) { return (int)SEND(LB_ADDSTRING, 0, s); }
int CListBox::InsertString(int nIndex, LPCTSTR s) { return (int)SEND(LB_INSERTSTRING, nIndex, s); }
int CListBox::DeleteString(UINT nIndex) { return (int)SEND(LB_DELETESTRING, nIndex, 0); }
void CListBox::ResetContent() { SEND(LB_RESETCONTENT, 0, 0); }
int CListBox::FindString(int nStartAfter, LPCTSTR s) const { return (int)SEND(LB_FINDSTRING, nStartAfter, s); }
int CListBox::FindStringExact(int nIndexStart, LPCTSTR s) const { return (int)SEND(LB_FINDSTRINGEXACT, nIndexStart, s); }
int CListBox::SelectString(int nStartAfter, LPCTSTR s) { return (int)SEND(LB_SELECTSTRING, nStartAfter, s); }
int CListBox::GetText(int nIndex, LPTSTR lpszBuffer) const { return (int)SEND(LB_GETTEXT, nIndex, lpszBuffer); }
void CListBox::GetText(int nIndex, CString& rString) const
{
    int len = GetTextLen(nIndex);
    if (len <= 0) {
        rString.Empty();
        return;
    }
    char* buf = rString.GetBuffer(len);
    int got = (int)SEND(LB_GETTEXT, nIndex, buf);
    rString.ReleaseBuffer(got < 0 ? 0 : (got > len ? len : got));
}
int CListBox::GetTextLen(int nIndex) const { return (int)SEND(LB_GETTEXTLEN, nIndex, 0); }
DWORD_PTR CListBox::GetItemData(int nIndex) const { return (DWORD_PTR)SEND(LB_GETITEMDATA, nIndex, 0); }
int CListBox::SetItemData(int nIndex, DWORD_PTR d) { return (int)SEND(LB_SETITEMDATA, nIndex, d); }
void* CListBox::GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
int CListBox::SetItemDataPtr(int nIndex, void* p) { return SetItemData(nIndex, (DWORD_PTR)p); }
int CListBox::GetTopIndex() const { return (int)SEND(LB_GETTOPINDEX, 0, 0); }
int CListBox::SetTopIndex(int nIndex) { return (int)SEND(LB_SETTOPINDEX, nIndex, 0); }
int CListBox::GetCaretIndex() const { return (int)SEND(LB_GETCARETINDEX, 0, 0); }
int CListBox::SetCaretIndex(int nIndex, BOOL bScroll) { return (int)SEND(LB_SETCARETINDEX, nIndex, bScroll); }
int CListBox::GetItemHeight(int nIndex) const { return (int)SEND(LB_GETITEMHEIGHT, nIndex, 0); }
int CListBox::SetItemHeight(int nIndex, UINT cy) { return (int)SEND(LB_SETITEMHEIGHT, nIndex, MAKELONG(cy, 0)); }
