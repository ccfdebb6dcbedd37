// Date and time picker and its data exchange with CTime.
#include "window_state.h"

IMPLEMENT_DYNAMIC(CDateTimeCtrl, CWnd)

#define SEND(msg, w, l) ::SendMessageA(m_hWnd, (msg), (WPARAM)(w), (LPARAM)(l))

BOOL CDateTimeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&icc);
    return CWnd::Create(DATETIMEPICK_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CDateTimeCtrl::GetTime(LPSYSTEMTIME pTimeDest) const { return (DWORD)SEND(DTM_GETSYSTEMTIME, 0, pTimeDest); }

DWORD CDateTimeCtrl::GetTime(CTime& timeDest) const
{
    SYSTEMTIME st = {};
    DWORD r = GetTime(&st);
    if (r == GDT_VALID)
        timeDest = CTime(st);
    return r;
}

BOOL CDateTimeCtrl::SetTime(LPSYSTEMTIME pTimeNew)
{
    return (BOOL)SEND(DTM_SETSYSTEMTIME, pTimeNew ? GDT_VALID : GDT_NONE, pTimeNew);
}

BOOL CDateTimeCtrl::SetTime(const CTime& timeNew)
{
    // A time the calendar cannot show is refused rather than shown as 1970.
    if (timeNew.GetTime() == static_cast<time_t>(-1) || timeNew.GetYear() < 1601)
        return FALSE;
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(timeNew.GetYear());
    st.wMonth = static_cast<WORD>(timeNew.GetMonth());
    st.wDay = static_cast<WORD>(timeNew.GetDay());
    st.wDayOfWeek = static_cast<WORD>(timeNew.GetDayOfWeek() - 1);
    st.wHour = static_cast<WORD>(timeNew.GetHour());
    st.wMinute = static_cast<WORD>(timeNew.GetMinute());
    st.wSecond = static_cast<WORD>(timeNew.GetSecond());
    return SetTime(&st);
}

BOOL CDateTimeCtrl::SetFormat(LPCTSTR pstrFormat) { return (BOOL)SEND(DTM_SETFORMATA, 0, pstrFormat); }

void DDX_DateTimeCtrl(CDataExchange* pDX, int nIDC, CTime& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    CDateTimeCtrl ctrl;
    ctrl.m_hWnd = h;  // borrowed: the wrapper only sends messages
    if (pDX->m_bSaveAndValidate)
        ctrl.GetTime(value);
    else
        ctrl.SetTime(value);
    ctrl.m_hWnd = nullptr;
}
