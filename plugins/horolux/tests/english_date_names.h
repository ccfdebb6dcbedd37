// The English day and month names, as the test locale's reading would have
// them, for the portable date reading's tests and fuzzer.
#pragma once
#include "date_reading.h"

#include <string>

inline CDateReading EnglishDateReading(int shortDateOrder, int longDateOrder)
{
    static const char* const kDays[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    static const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};
    CDateReading reading;
    for (int i = 0; i < 7; ++i) {
        reading.names.dayNames[i] = kDays[i];
        reading.names.abbrevDayNames[i] = std::string(kDays[i], 3);
    }
    for (int i = 0; i < 12; ++i) {
        reading.names.monthNames[i] = kMonths[i];
        reading.names.abbrevMonthNames[i] = std::string(kMonths[i], 3);
    }
    reading.order = CDateOrder::FromLocaleOrders(shortDateOrder, longDateOrder);
    return reading;
}
