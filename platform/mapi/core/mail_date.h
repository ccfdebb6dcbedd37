// Dates of mail: RFC 5322 date-time fields and the "YYYY/MM/DD HH:MM" form of
// Simple MAPI's received date.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vxmail {

// Broken-down civil time (no time zone attached).
struct CivilTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Seconds since 1970-01-01 00:00 UTC of a civil time read as UTC.
int64_t DaysFromCivil(int year, int month, int day);
int64_t CivilToSeconds(const CivilTime& t);
CivilTime SecondsToCivil(int64_t seconds);

// "Tue, 8 May 2001 14:07:00 +0200" and the obsolete forms (two-digit years, zone
// names, no seconds, no weekday). False when no sensible date can be read.
bool ParseMailDate(std::string_view text, int64_t& utcSeconds);

// RFC 5322 form of a local time whose offset from UTC is offsetSeconds.
std::string FormatMailDate(const CivilTime& local, int offsetSeconds);

// "YYYY/MM/DD HH:MM".
std::string FormatMapiDate(const CivilTime& local);
// Reads the form above back; false when it does not hold one.
bool ParseMapiDate(std::string_view text, CivilTime& local);

} // namespace vxmail
