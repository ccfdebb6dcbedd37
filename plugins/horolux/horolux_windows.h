// The date and time plug-in's three windows: the analog clock, the digital
// clock and the month calendar, each a resizable dialog from the plug-in's
// own templates whose one control fills it, over the shared gradient.
#pragma once

#include "clock_face.h"
#include "month_calendar.h"
#include "segment_display.h"

#include "ETSLayoutBases.h"

enum {
    IDD_HOROLUX_DIGITAL = 1002,
    IDD_HOROLUX_CALENDAR = 1003,
    IDD_HOROLUX_ANALOG = 1004,
    IDC_HOROLUX_CLOCK = 1004,
    IDC_HOROLUX_CALENDAR = 1007,
    IDI_HOROLUX_WINDOW = 142,
};

class CHoroluxDialog : public ETSLayoutDialog {
public:
    CHoroluxDialog(UINT nIDTemplate, UINT nIDControl);
    // Creates the window hidden from the template in module, under parent.
    BOOL CreateFromModule(HMODULE module, CWnd* parent);

    HMODULE m_hModule = nullptr;
    HICON m_hIcon = nullptr;
    int m_nUpdateCount = 0;

protected:
    BOOL OnInitDialog() override;
    // The one control follows the dialog's size.
    void ApplyLayout(CRect area) override { ResizeRoot(area); }
    void OnOK() override {}
    void OnCancel() override { DestroyWindow(); }
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

    UINT m_nTemplate;
    UINT m_nControl;
};

class CClockDialog : public CHoroluxDialog {
public:
    CClockDialog() : CHoroluxDialog(IDD_HOROLUX_ANALOG, IDC_HOROLUX_CLOCK) {}
    CClockFace m_Face;

protected:
    BOOL OnInitDialog() override;
};

class CDateTimeDialog : public CHoroluxDialog {
public:
    CDateTimeDialog() : CHoroluxDialog(IDD_HOROLUX_DIGITAL, IDC_HOROLUX_CLOCK) {}
    CDigitalClock m_Clock;

protected:
    BOOL OnInitDialog() override;
};

class CCalendarDialog : public CHoroluxDialog {
public:
    CCalendarDialog() : CHoroluxDialog(IDD_HOROLUX_CALENDAR, IDC_HOROLUX_CALENDAR) {}
    CMonthCalendar m_Calendar;
    CString m_strDate;  // the selected date's text, bound to the calendar

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};
