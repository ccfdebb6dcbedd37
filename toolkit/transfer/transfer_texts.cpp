// Amount, time and rate texts of the transfer dialogs.
#include "transfer_texts.h"

#include <climits>
#include <string>

namespace transfer {

namespace {

CString Substitute(const char* pattern, const char* const* args, int count)
{
    std::string out;
    for (const char* s = pattern; *s; ++s) {
        if (s[0] == '%' && s[1] >= '1' && s[1] <= '9') {
            int i = s[1] - '1';
            if (i < count && args[i])
                out += args[i];
            ++s;
            continue;
        }
        out += *s;
    }
    return CString(out.c_str());
}

CString Number(const char* format, double v)
{
    CString s;
    s.Format(format, v);
    return s;
}

CString Whole(uint64_t v)
{
    CString s;
    s.Format("%llu", static_cast<unsigned long long>(v));
    return s;
}

} // namespace

CString FormatString1(const char* pattern, const char* arg1)
{
    const char* args[] = {arg1};
    return Substitute(pattern, args, 1);
}

CString FormatString2(const char* pattern, const char* arg1, const char* arg2)
{
    const char* args[] = {arg1, arg2};
    return Substitute(pattern, args, 2);
}

CString AmountText(const TextPatterns& p, uint64_t bytes)
{
    if (bytes < 1024)
        return FormatString1(p.bytes, Whole(bytes));
    if (bytes >= 1048576)
        return FormatString1(p.megabytes, Number("%0.2f", bytes / 1048576.0));
    return FormatString1(p.kilobytes, Number("%0.1f", bytes / 1024.0));
}

CString TimeText(const TextPatterns& p, unsigned seconds)
{
    if (seconds < 60)
        return FormatString1(p.seconds, Whole(seconds));
    unsigned minutes = seconds / 60, rest = seconds % 60;
    if (rest)
        return FormatString2(p.minutesSeconds, Whole(minutes), Whole(rest));
    return FormatString1(p.minutes, Whole(minutes));
}

CString TimeLeftText(const TextPatterns& p, unsigned seconds, uint64_t read, uint64_t size)
{
    CString amount = FormatString2(p.amountOf, AmountText(p, read), AmountText(p, size));
    return FormatString2(p.timeLeft, TimeText(p, seconds), amount);
}

CString RateText(const TextPatterns& p, double rate)
{
    if (rate < 1.0)
        return FormatString1(p.bytesPerSec, Number("%0.0f", rate * 1024));
    if (rate < 10.0)
        return FormatString1(p.kilobytesPerSec, Number("%0.2f", rate));
    return FormatString1(p.kilobytesPerSec, Number("%0.0f", rate));
}

int ProgressUpper(uint64_t size)
{
    uint64_t k = (size + 512) / 1024;
    return k > INT_MAX ? INT_MAX : static_cast<int>(k);
}

int ProgressPosition(uint64_t bytes)
{
    uint64_t k = bytes / 1024;
    return k > INT_MAX ? INT_MAX : static_cast<int>(k);
}

void ProgressMeter::Start(uint32_t nowMs, bool sizeKnown, uint64_t size)
{
    *this = ProgressMeter();
    m_start = m_lastUpdate = nowMs;
    m_sizeKnown = sizeKnown;
    m_size = sizeKnown ? size : 0;
}

ProgressMeter::Update ProgressMeter::Add(uint32_t nowMs, uint64_t bytes)
{
    Update u;
    m_total += bytes;
    if (m_sizeKnown && m_size > 0) {
        double pct = static_cast<double>(m_total) * 100.0 / static_cast<double>(m_size);
        int percent = pct >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(pct);
        if (percent != m_lastPercent) {
            u.percentChanged = true;
            u.percent = percent;
            m_lastPercent = percent;
        }
    }
    // Unsigned differences stay right across the tick counter's wrap.
    uint32_t sinceUpdate = nowMs - m_lastUpdate;
    if (sinceUpdate > 1000) {
        u.rateDue = true;
        u.rate = static_cast<double>(m_total - m_lastBytes) / sinceUpdate;
        m_lastUpdate = nowMs;
        m_lastBytes = m_total;
        if (m_sizeKnown && m_total > 0) {
            double elapsed = static_cast<double>(static_cast<uint32_t>(nowMs - m_start));
            double remaining = m_size > m_total ? static_cast<double>(m_size - m_total) : 0.0;
            double left = (elapsed / static_cast<double>(m_total)) * remaining / 1000.0;
            u.timeLeftDue = true;
            u.secondsLeft = left >= 4e9 ? 4000000000u : static_cast<unsigned>(left);
        }
    }
    return u;
}

} // namespace transfer
