// What a typed date is read with: the locale's day and month names, the order
// of day, month and year in its dates, the year that completes short years,
// and how the locale compares words. Portable: the windows' side fills it
// from the system's locale.
#pragma once

#include <functional>
#include <string>

// The locale's names, Monday first and January first.
struct CLocaleNames {
    std::string dayNames[7];
    std::string abbrevDayNames[7];
    std::string monthNames[12];
    std::string abbrevMonthNames[12];
};

// Positions (0-2) of day, month and year in a date written as three numbers.
struct CDateOrder {
    int dayPosition = 1;
    int monthPosition = 0;
    int yearPosition = 2;
    // The locale's long date begins with the year.
    bool longDateYearFirst = false;

    // From the locale's short-date order (0 month-day-year, 1 day-month-year,
    // 2 year-month-day; anything else is taken as month-day-year) and its
    // long-date order (2 is year first).
    static CDateOrder FromLocaleOrders(int shortDateOrder, int longDateOrder);
};

struct CDateReading {
    CLocaleNames names;
    CDateOrder order;
    // Completes two-digit years with its century and stands for a year of 0.
    int currentYear = 2000;
    // Whether two words are the same for the locale; when unset, ASCII
    // letters compare ignoring case.
    std::function<bool(const std::string&, const std::string&)> sameWord;

    bool SameWord(const std::string& a, const std::string& b) const;
};

// The highest year a typed date may name: the system's date formatter and
// the day count stop not far beyond it.
constexpr int kLatestReadableYear = 9999;
