// Any text typed as a date: no crash, no overflow, and a date that reads is
// a real one the formatter can show.
#include "calendar_date.h"
#include "date_reading.h"
#include "english_date_names.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const CDateReading reading = EnglishDateReading(0, 0);
    std::string text(reinterpret_cast<const char*>(data), size);
    CDateReading ordered = reading;
    ordered.order = CDateOrder::FromLocaleOrders(size % 3, size % 3);
    CCalendarDate date;
    if (date.Parse(text.c_str(), ordered) && (!date.IsValid() || date.GetYear() > kLatestReadableYear))
        std::abort();
    return 0;
}
