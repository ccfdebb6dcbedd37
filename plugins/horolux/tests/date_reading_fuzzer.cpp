// Any text typed as a date: no crash, no overflow, and a date that reads is
// a real one the formatter can show.
#include "calendar_date.h"
#include "date_reading.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const CDateReading reading = [] {
        static const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                                "July",    "August",   "September", "October", "November", "December"};
        static const char* const kDays[7] = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                             "Friday", "Saturday", "Sunday"};
        CDateReading r;
        for (int i = 0; i < 12; ++i) {
            r.names.monthNames[i] = kMonths[i];
            r.names.abbrevMonthNames[i] = std::string(kMonths[i], 3);
        }
        for (int i = 0; i < 7; ++i) {
            r.names.dayNames[i] = kDays[i];
            r.names.abbrevDayNames[i] = std::string(kDays[i], 3);
        }
        return r;
    }();
    std::string text(reinterpret_cast<const char*>(data), size);
    CDateReading ordered = reading;
    ordered.order = CDateOrder::FromLocaleOrders(size % 3, size % 3);
    CCalendarDate date;
    if (date.Parse(text.c_str(), ordered) && (!date.IsValid() || date.GetYear() > kLatestReadableYear))
        std::abort();
    return 0;
}
