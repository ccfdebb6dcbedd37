// The month calendar: a list box that draws itself completely as one month of
// days under a title bar with two arrows, and whose items are the selected
// dates, their text the date in the locale's long format.
#pragma once

#include "calendar_date.h"
#include "date_reading.h"

#include "fx/fxwin.h"

#include <vector>

// The date's text through the locale: a date picture ("MMMM yyyy") or
// DATE_SHORTDATE / DATE_LONGDATE flags. Years before 1601 are formatted through
// a year 400-year blocks later, the real year written back over it.
CString FormatCalendarDate(const CCalendarDate& date, LCID locale, const char* picture, DWORD flags = 0);

class CMonthCalendar : public CListBox {
public:
    CMonthCalendar();
    ~CMonthCalendar() override;

    const CCalendarDate& GetShownMonth() const { return m_Shown; }
    void ShowMonth(const CCalendarDate& month);
    const std::vector<CCalendarDate>& GetSelection() const { return m_Selection; }
    // Paints the day grid into a context of the given client size.
    void DrawGrid(CDC* pDC, int width, int height);
    // The height the title bar takes above the grid.
    int TitleHeight();
    // A click on a grid cell with the key state of a mouse message.
    void ClickCell(int column, int row, UINT keys);
    // The control locale's names and orders, read on first use.
    const CDateReading& DateReading();

    LCID m_Locale;
    CCalendarDate m_Anchor;
    CCalendarDate m_Shown;
    std::vector<CCalendarDate> m_Selection;
    CFont m_Font;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The colour request the parent reflects: the control's font selected
    // into the context, the light-grey stock brush.
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

protected:
    LRESULT ListMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    void DrawTitle(CDC* pDC, const CRect& band);
    LRESULT HitTest(CPoint screenPoint);
    void StepMonth(int direction);
    int IndexOf(const CCalendarDate& date) const;
    CString WeekDayLetter(int day);
    void RepaintTitle();

    int m_nLastCell = -1;
    int m_nHoverCell = -1;
    LRESULT SelectTypedDate(const char* text);

    CDateReading m_Reading;
    bool m_bNamesLoaded = false;
    CString m_WeekLetters[7];
    LCID m_LettersLocale = 0;
};
