// The system locale's side of dates: its names and date orders read for
// typed dates, and the date written in whichever of the locale's own formats
// fits a box best.
#pragma once

#include "calendar_date.h"
#include "date_reading.h"

#include "fx/fxwin.h"

// The names (each read with up to 256 characters), the short- and long-date
// orders and the current year of a locale; its words compare on the locale's
// sort keys ignoring case and width.
CDateReading ReadLocaleDates(LCID locale);

// Of the locale's long and then short date formats, the date's widest text
// that is narrower than the rectangle (the window's client width when the
// rectangle is empty or null), measured with the context (or the window's own,
// with the window's font); the first text when none fits. Formats naming the
// week day are left out for dates before 1582-10-15.
CString BestFitText(const CCalendarDate& date, LCID locale, HWND window, const RECT* rect, HDC dc);
