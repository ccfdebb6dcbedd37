// Dialog data exchange and validation.
#include "window_state.h"

#include <cerrno>
#include <cstdlib>
#include <climits>

using fx::win::Thread;

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    HWND saved = Thread().hLockoutNotify;
    Thread().hLockoutNotify = m_hWnd;
    BOOL ok = FALSE;
    try {
        DoDataExchange(&dx);
        ok = TRUE;
    } catch (CException* e) {
        // The user has been told already (a failed check), or a control was missing.
        e->Delete();
    }
    Thread().hLockoutNotify = saved;
    return ok;
}

void CWnd::DoDataExchange(CDataExchange*) {}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(nullptr),
      m_bEditLastControl(FALSE)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (!h)
        AfxThrowNotSupportedException();  // the template lacks the control: a program error
    m_hWndLastControl = h;
    m_bEditLastControl = FALSE;
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND h = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

namespace {

CString TextOf(HWND h)
{
    CString s;
    int len = ::GetWindowTextLengthA(h);
    char* buf = s.GetBuffer(len);
    int got = len > 0 ? ::GetWindowTextA(h, buf, len + 1) : 0;
    s.ReleaseBuffer(got < 0 ? 0 : got);
    return s;
}

void FailWith(CDataExchange* pDX, LPCTSTR text)
{
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    pDX->Fail();
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A whole decimal integer, blanks around it allowed; false for anything else
// (letters, an empty text, or a number outside [lo, hi]).
bool ParseInteger(const CString& text, long long lo, long long hi, long long& out)
{
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    if (!*p)
        return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(p, &end, 10);
    if (end == p || errno == ERANGE)
        return false;
    while (IsBlank(*end))
        ++end;
    if (*end || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

template <class T>
void TextSigned(CDataExchange* pDX, int nIDC, T& value, long long lo, long long hi, LPCTSTR message)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseInteger(TextOf(h), lo, hi, v))
            FailWith(pDX, message);
        value = (T)v;
    } else {
        CString s;
        s.Format("%lld", (long long)value);
        ::SetWindowTextA(h, s);
    }
}

template <class T>
void TextUnsigned(CDataExchange* pDX, int nIDC, T& value, unsigned long long hi, LPCTSTR message)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseInteger(TextOf(h), 0, (long long)hi, v))
            FailWith(pDX, message);
        value = (T)v;
    } else {
        CString s;
        s.Format("%llu", (unsigned long long)value);
        ::SetWindowTextA(h, s);
    }
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = TextOf(h);
    else
        ::SetWindowTextA(h, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    TextSigned(pDX, nIDC, value, INT_MIN, INT_MAX, "Please enter an integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    TextSigned(pDX, nIDC, value, LONG_MIN, LONG_MAX, "Please enter an integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, short& value)
{
    TextSigned(pDX, nIDC, value, SHRT_MIN, SHRT_MAX, "Please enter an integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    TextUnsigned(pDX, nIDC, value, UINT_MAX, "Please enter a positive integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value)
{
    TextUnsigned(pDX, nIDC, value, 0xFFFFFFFFull, "Please enter a positive integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    TextUnsigned(pDX, nIDC, value, 255, "Please enter an integer between 0 and 255.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString text = TextOf(h);
        const char* p = text;
        while (IsBlank(*p))
            ++p;
        char* end = nullptr;
        double v = *p ? std::strtod(p, &end) : 0.0;
        if (end)
            while (IsBlank(*end))
                ++end;
        if (!*p || !end || end == p || *end)
            FailWith(pDX, "Please enter a number.");
        value = v;
    } else {
        CString s;
        s.Format("%.15g", value);
        ::SetWindowTextA(h, s);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = (int)::SendMessageA(h, BM_GETCHECK, 0, 0);
    } else {
        int state = value >= 0 && value <= 2 ? value : 0;
        ::SendMessageA(h, BM_SETCHECK, (WPARAM)state, 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from this button to the next control that starts a group.
    int index = 0;
    do {
        if (::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(h, BM_GETCHECK, 0, 0) != 0)
                    value = index;
            } else {
                ::SendMessageA(h, BM_SETCHECK, index == value, 0);
            }
            ++index;
        }
        h = ::GetWindow(h, GW_HWNDNEXT);
    } while (h && !(::GetWindowLongA(h, GWL_STYLE) & WS_GROUP));
}

static CString ListText(HWND h, UINT lenMsg, UINT textMsg, int index)
{
    CString s;
    LRESULT len = ::SendMessageA(h, lenMsg, (WPARAM)index, 0);
    if (len <= 0)
        return s;
    char* buf = s.GetBuffer((int)len);
    LRESULT got = ::SendMessageA(h, textMsg, (WPARAM)index, reinterpret_cast<LPARAM>(buf));
    s.ReleaseBuffer(got < 0 ? 0 : (got > len ? (int)len : (int)got));
    return s;
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        // The edit text when there is one, else the selected item's text.
        if (::GetWindowTextLengthA(h) > 0) {
            value = TextOf(h);
        } else {
            int sel = (int)::SendMessageA(h, CB_GETCURSEL, 0, 0);
            value = sel >= 0 ? ListText(h, CB_GETLBTEXTLEN, CB_GETLBTEXT, sel) : CString();
        }
    } else {
        if (::SendMessageA(h, CB_SELECTSTRING, (WPARAM)-1, reinterpret_cast<LPARAM>((LPCTSTR)value)) == CB_ERR)
            ::SetWindowTextA(h, value);  // ignored by drop-down lists
    }
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        DDX_CBString(pDX, nIDC, value);
    } else {
        int i = (int)::SendMessageA(h, CB_FINDSTRINGEXACT, (WPARAM)-1, reinterpret_cast<LPARAM>((LPCTSTR)value));
        if (i >= 0)
            ::SendMessageA(h, CB_SETCURSEL, (WPARAM)i, 0);
        else
            ::SetWindowTextA(h, value);
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(h, CB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(h, CB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int sel = (int)::SendMessageA(h, LB_GETCURSEL, 0, 0);
        value = sel >= 0 ? ListText(h, LB_GETTEXTLEN, LB_GETTEXT, sel) : CString();
    } else {
        ::SendMessageA(h, LB_SELECTSTRING, (WPARAM)-1, reinterpret_cast<LPARAM>((LPCTSTR)value));
    }
}

void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        DDX_LBString(pDX, nIDC, value);
    } else {
        int i = (int)::SendMessageA(h, LB_FINDSTRINGEXACT, (WPARAM)-1, reinterpret_cast<LPARAM>((LPCTSTR)value));
        if (i >= 0)
            ::SendMessageA(h, LB_SETCURSEL, (WPARAM)i, 0);
    }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(h, LB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(h, LB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(h))
        AfxThrowNotSupportedException();
}

// ---- Validation: checked when saving only -----------------------------------------

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) {
        CString msg;
        msg.Format("Please enter no more than %d characters.", nChars);
        FailWith(pDX, msg);
    }
    // Let the control itself refuse longer input.
    HWND h = pDX->m_hWndLastControl;
    if (h) {
        char cls[16] = {};
        ::GetClassNameA(h, cls, sizeof cls);
        if (pDX->m_bEditLastControl)
            ::SendMessageA(h, EM_LIMITTEXT, (WPARAM)nChars, 0);
        else if (lstrcmpiA(cls, "ComboBox") == 0)
            ::SendMessageA(h, CB_LIMITTEXT, (WPARAM)nChars, 0);
    }
}

template <class T>
static void MinMax(CDataExchange* pDX, T value, T minVal, T maxVal, const char* fmt, const char* message)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    CString lo, hi, msg;
    lo.Format(fmt, minVal);
    hi.Format(fmt, maxVal);
    msg.Format(message, (LPCTSTR)lo, (LPCTSTR)hi);
    FailWith(pDX, msg);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    MinMax(pDX, value, minVal, maxVal, "%d", "Please enter an integer between %s and %s.");
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    MinMax(pDX, value, minVal, maxVal, "%u", "Please enter an integer between %s and %s.");
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    MinMax(pDX, value, minVal, maxVal, "%ld", "Please enter an integer between %s and %s.");
}

void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    MinMax(pDX, value, minVal, maxVal, "%lu", "Please enter an integer between %s and %s.");
}

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal)
{
    MinMax(pDX, (UINT)value, (UINT)minVal, (UINT)maxVal, "%u", "Please enter an integer between %s and %s.");
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal)
{
    MinMax(pDX, value, minVal, maxVal, "%g", "Please enter a number between %s and %s.");
}
