// The texts and bar positions of the transfer dialogs: amounts, time left,
// transfer rate, and the progress bar's scale (kilobytes).
#pragma once

#include "fx/string.h"

#include <cstdint>

namespace transfer {

// "%1" (and "%2") replaced by the arguments, as the dialogs' string resources expect.
CString FormatString1(const char* pattern, const char* arg1);
CString FormatString2(const char* pattern, const char* arg1, const char* arg2);

// The string patterns of one dialog (the HTTP and FTP dialogs keep their own copies).
struct TextPatterns {
    CString bytes = "%1 Bytes";
    CString kilobytes = "%1 KB";
    CString megabytes = "%1 MB";
    CString amountOf = "%1 of %2";
    CString seconds = "%1 sec";
    CString minutes = "%1 min";
    CString minutesSeconds = "%1 min %2 sec";
    CString timeLeft = "%1 (%2 copied)";
    CString bytesPerSec = "%1 Bytes/Sec";
    CString kilobytesPerSec = "%1 KB/Sec";
};

CString AmountText(const TextPatterns& p, uint64_t bytes);
CString TimeText(const TextPatterns& p, unsigned seconds);
// The time-left line: time text and "read of size".
CString TimeLeftText(const TextPatterns& p, unsigned seconds, uint64_t read, uint64_t size);
// rate in kilobytes per second (bytes per millisecond).
CString RateText(const TextPatterns& p, double rate);

// The bar counts kilobytes, on a 32-bit range so files past 32 MB fit.
int ProgressUpper(uint64_t size);
int ProgressPosition(uint64_t bytes);

// What the dialog should show after a piece arrived. The clock is the caller's
// (milliseconds), so the rules are checked without waiting.
class ProgressMeter {
public:
    // size 0 with known true is an empty body: no percentage, nothing to divide.
    void Start(uint32_t nowMs, bool sizeKnown, uint64_t size);

    struct Update {
        bool percentChanged = false;
        int percent = 0;
        bool rateDue = false;
        double rate = 0;  // kilobytes per second
        bool timeLeftDue = false;
        unsigned secondsLeft = 0;
    };
    Update Add(uint32_t nowMs, uint64_t bytes);

    uint64_t Total() const { return m_total; }
    bool SizeKnown() const { return m_sizeKnown; }
    uint64_t Size() const { return m_size; }

private:
    uint32_t m_start = 0;
    uint32_t m_lastUpdate = 0;
    uint64_t m_lastBytes = 0;
    uint64_t m_total = 0;
    int m_lastPercent = 0;
    bool m_sizeKnown = false;
    uint64_t m_size = 0;
};

} // namespace transfer
