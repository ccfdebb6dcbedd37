#include "locale_dates.h"

#include "month_calendar.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string LocaleText(LCID locale, LCTYPE what)
{
    char text[256] = {};
    if (!::GetLocaleInfoA(locale, what, text, sizeof text))
        return std::string();
    return text;
}

int LocaleNumber(LCID locale, LCTYPE what)
{
    return std::atoi(LocaleText(locale, what).c_str());
}

// The formats EnumDateFormatsA hands out: its callback takes no context, so
// one list serves the process, guarded for the whole
// enumerate-format-empty sequence.
struct DateFormatList {
    CRITICAL_SECTION lock;
    std::vector<std::string> pictures;
    DateFormatList() { ::InitializeCriticalSection(&lock); }
    ~DateFormatList() { ::DeleteCriticalSection(&lock); }
};

// Made when the module loads.
DateFormatList g_DateFormats;

BOOL CALLBACK CollectDateFormat(LPSTR picture)
{
    if (picture)
        g_DateFormats.pictures.emplace_back(picture);
    return TRUE;
}

const CCalendarDate kFirstGregorianDay(1582, 10, 15);

std::vector<CString> FormatsOf(const CCalendarDate& date, LCID locale)
{
    std::vector<CString> texts;
    ::EnterCriticalSection(&g_DateFormats.lock);
    ::EnumDateFormatsA(CollectDateFormat, locale, DATE_LONGDATE);
    ::EnumDateFormatsA(CollectDateFormat, locale, DATE_SHORTDATE);
    for (const std::string& picture : g_DateFormats.pictures) {
        if (date < kFirstGregorianDay && picture.find("ddd") != std::string::npos)
            continue;
        CString text = FormatCalendarDate(date, locale, picture.c_str());
        if (!text.IsEmpty())
            texts.push_back(text);
    }
    g_DateFormats.pictures.clear();
    ::LeaveCriticalSection(&g_DateFormats.lock);
    return texts;
}

} // namespace

CDateReading ReadLocaleDates(LCID locale)
{
    CDateReading reading;
    for (int i = 0; i < 7; ++i) {
        reading.names.dayNames[i] = LocaleText(locale, LOCALE_SDAYNAME1 + i);
        reading.names.abbrevDayNames[i] = LocaleText(locale, LOCALE_SABBREVDAYNAME1 + i);
    }
    for (int i = 0; i < 12; ++i) {
        reading.names.monthNames[i] = LocaleText(locale, LOCALE_SMONTHNAME1 + i);
        reading.names.abbrevMonthNames[i] = LocaleText(locale, LOCALE_SABBREVMONTHNAME1 + i);
    }
    reading.order = CDateOrder::FromLocaleOrders(LocaleNumber(locale, LOCALE_IDATE), LocaleNumber(locale, LOCALE_ILDATE));
    reading.currentYear = CCalendarDate::Today().GetYear();
    reading.sameWord = [locale](const std::string& a, const std::string& b) {
        return ::CompareStringA(locale, NORM_IGNORECASE | NORM_IGNOREWIDTH, a.c_str(), static_cast<int>(a.size()),
                                b.c_str(), static_cast<int>(b.size())) == CSTR_EQUAL;
    };
    return reading;
}

CString BestFitText(const CCalendarDate& date, LCID locale, HWND window, const RECT* rect, HDC dc)
{
    std::vector<CString> texts = FormatsOf(date, locale);
    if (texts.empty())
        return FormatCalendarDate(date, locale, nullptr, DATE_SHORTDATE);

    RECT box = {};
    if (rect)
        box = *rect;
    if (::IsRectEmpty(&box) && window)
        ::GetClientRect(window, &box);
    int room = box.right - box.left;

    HDC measure = dc;
    HGDIOBJ oldFont = nullptr;
    if (!measure) {
        measure = ::GetDC(window);
        if (!measure)
            return texts.front();
        if (HFONT font = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)))
            oldFont = ::SelectObject(measure, font);
    }
    int best = -1;
    int bestWidth = -1;
    for (size_t i = 0; i < texts.size(); ++i) {
        SIZE size = {};
        if (!::GetTextExtentPoint32A(measure, texts[i], texts[i].GetLength(), &size))
            continue;
        if (size.cx < room && size.cx > bestWidth) {
            best = static_cast<int>(i);
            bestWidth = size.cx;
        }
    }
    if (!dc) {
        if (oldFont)
            ::SelectObject(measure, oldFont);
        ::ReleaseDC(window, measure);
    }
    return texts[best >= 0 ? static_cast<size_t>(best) : 0];
}
