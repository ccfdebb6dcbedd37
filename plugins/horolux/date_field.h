// A date typed into an edit box or picked from a month calendar that drops
// down from the box's button. It notifies its parent as a combo box does:
// CBN_DROPDOWN and CBN_CLOSEUP as the calendar opens and closes,
// CBN_SELCHANGE and CBN_SELENDOK when a day is picked. Typed text is read when
// the box loses focus; a text that is no date, or a date outside the field's
// range, beeps and keeps the focus in the box.
#pragma once

#include "calendar_date.h"
#include "month_calendar.h"

#include "fx/fxwin.h"

class CDateField;

// The edit box: hands its focus loss and its calendar keys to the field.
class CDateFieldEdit : public CEdit {
public:
    CDateField* m_pField = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The dropped calendar: never takes the activation, so the box keeps the
// focus; a click on a day is handed to the field.
class CDateFieldCalendar : public CMonthCalendar {
public:
    CDateField* m_pField = nullptr;
    void StepShownMonth(int direction) { StepMonth(direction); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CDateField : public CWnd {
public:
    CDateField();
    ~CDateField() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    const CCalendarDate& GetDate() const { return m_Date; }
    // Takes the date and shows it in the box; the empty date empties the box.
    void SetDate(const CCalendarDate& date);
    // The earliest and latest dates the field takes; an empty date leaves
    // that side open.
    void SetRange(const CCalendarDate& earliest, const CCalendarDate& latest);
    bool InRange(const CCalendarDate& date) const;

    bool IsDroppedDown() const { return m_Calendar.m_hWnd != nullptr; }
    void ShowDropDown(bool show);
    bool IsButtonPressed() const { return m_bPressed; }

    CEdit& GetEdit() { return m_Edit; }
    CMonthCalendar& GetCalendar() { return m_Calendar; }
    // Where the drop button lies in the field's client area.
    CRect ButtonRect() const;
    // Draws the drop button, sunken while pressed.
    static void DrawButton(HDC dc, const RECT& rect, bool pressed);

    // Reads the box's text; false (after the beep, all text selected) when it
    // is no date or lies outside the range.
    bool ReadText();

    // From the box and the calendar.
    void OnEditKillFocus(HWND newFocus);
    void OnCalendarKey(UINT key);
    void OnDayPicked(const CCalendarDate& date);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Tells the user a text or a day was refused.
    virtual void Beep();
    void Notify(UINT code);
    void ShowText(const CCalendarDate& date);
    void Layout();
    // Stops watching the mouse for clicks outside the calendar.
    void ForgetDropped();

    CDateFieldEdit m_Edit;
    CDateFieldCalendar m_Calendar;
    CCalendarDate m_Date;
    CCalendarDate m_Earliest;
    CCalendarDate m_Latest;
    LCID m_Locale;
    bool m_bPressed = false;
    bool m_bClosing = false;
};
