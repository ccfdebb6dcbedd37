#include "date_reading.h"

#include "calendar_date.h"

#include <algorithm>
#include <cctype>
#include <vector>

CDateOrder CDateOrder::FromLocaleOrders(int shortDateOrder, int longDateOrder)
{
    CDateOrder order;
    if (shortDateOrder == 1) {
        order.dayPosition = 0;
        order.monthPosition = 1;
        order.yearPosition = 2;
    } else if (shortDateOrder == 2) {
        order.dayPosition = 2;
        order.monthPosition = 1;
        order.yearPosition = 0;
    }
    order.longDateYearFirst = longDateOrder == 2;
    return order;
}

bool CDateReading::SameWord(const std::string& a, const std::string& b) const
{
    if (sameWord)
        return sameWord(a, b);
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

namespace {

// A number as typed: its value and how many characters it was written with
// (0 for a number the text did not give).
struct TypedNumber {
    int value = 0;
    size_t length = 0;
};

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',' || c == '.' || c == '-' || c == '/';
}

std::vector<std::string> Tokens(const char* text)
{
    std::vector<std::string> tokens;
    std::string current;
    for (const char* p = text; *p; ++p) {
        if (IsSeparator(*p)) {
            if (!current.empty())
                tokens.push_back(current);
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty())
        tokens.push_back(current);
    return tokens;
}

// The leading number of a token as atoi reads it, held below a bound so that
// a long run of digits cannot overflow.
bool ReadNumber(const std::string& token, TypedNumber& number)
{
    size_t i = 0;
    if (i < token.size() && token[i] == '+')
        ++i;
    long value = 0;
    for (; i < token.size() && std::isdigit(static_cast<unsigned char>(token[i])); ++i)
        value = std::min(value * 10 + (token[i] - '0'), 100000000L);
    if (value == 0 && token[0] != '0')
        return false;
    number.value = static_cast<int>(value);
    number.length = token.size();
    return true;
}

// The first count characters of a word (all of it when shorter).
std::string Head(const std::string& word, size_t count)
{
    return word.substr(0, std::min(count, word.size()));
}

// A month (1-12) the token names, or 0.
int MonthNamed(const std::string& token, const CDateReading& reading)
{
    size_t span = std::max<size_t>(3, token.size());
    for (int m = 0; m < 12; ++m) {
        if (reading.SameWord(token, reading.names.monthNames[m]))
            return m + 1;
        if (!reading.names.abbrevMonthNames[m].empty() &&
            reading.SameWord(Head(token, span), Head(reading.names.abbrevMonthNames[m], span)))
            return m + 1;
    }
    return 0;
}

bool IsDayName(const std::string& token, const CDateReading& reading)
{
    for (int d = 0; d < 7; ++d)
        if (reading.SameWord(token, reading.names.dayNames[d]) || reading.SameWord(token, reading.names.abbrevDayNames[d]))
            return true;
    return false;
}

// A year as typed: three or more characters as written, a shorter one in the
// current century; 0 (or no number) is the current year.
int YearOf(const TypedNumber& number, int currentYear)
{
    if (number.value == 0)
        return currentYear;
    if (number.length >= 3)
        return number.value;
    return number.value + currentYear / 100 * 100;
}

bool Readable(const CCalendarDate& date)
{
    return date.IsValid() && date.GetYear() <= kLatestReadableYear;
}

// A reading of the text, with the places of the numbers it took as day and
// as month (-1 for a month given by name).
struct Candidate {
    CCalendarDate date;
    int dayFrom;
    int monthFrom;
};

void AddCandidate(std::vector<Candidate>& candidates, const CCalendarDate& date, int dayFrom, int monthFrom)
{
    if (!Readable(date))
        return;
    for (const Candidate& c : candidates)
        if (c.date == date)
            return;
    candidates.push_back(Candidate{date, dayFrom, monthFrom});
}

// Of two readings that swap day and month, the one that puts them in the
// locale's order: the first reading alone would read "7/4/1976" as April 7
// in a month-day-year locale.
const Candidate* InLocaleOrder(const std::vector<Candidate>& candidates, const CDateOrder& order)
{
    bool dayFirst = order.dayPosition < order.monthPosition;
    for (const Candidate& c : candidates)
        if (c.monthFrom >= 0 && (c.dayFrom < c.monthFrom) == dayFirst)
            return &c;
    return nullptr;
}

} // namespace

bool CCalendarDate::Parse(const char* text, const CDateReading& reading)
{
    if (!text)
        return false;
    int month = 0;
    std::vector<TypedNumber> numbers;
    for (const std::string& token : Tokens(text)) {
        if (int named = MonthNamed(token, reading)) {
            month = named;
            continue;
        }
        if (IsDayName(token, reading))
            continue;
        TypedNumber number;
        if (!ReadNumber(token, number))
            continue;
        numbers.push_back(number);
        if (numbers.size() > 3)
            return false;
    }
    if (month && numbers.size() > 2)
        return false;
    TypedNumber first = numbers.empty() ? TypedNumber() : numbers[0];
    numbers.resize(3);
    const int year = reading.currentYear;

    std::vector<Candidate> candidates;
    if (month) {
        AddCandidate(candidates, CCalendarDate(YearOf(numbers[1], year), month, numbers[0].value), 0, -1);
        AddCandidate(candidates, CCalendarDate(YearOf(numbers[0], year), month, numbers[1].value), 1, -1);
    } else {
        // (year, month, day) taken from the numbers in each order.
        static const int kOrders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
        for (const auto& o : kOrders)
            AddCandidate(candidates,
                         CCalendarDate(YearOf(numbers[o[0]], year), numbers[o[1]].value, numbers[o[2]].value),
                         o[2], o[1]);
    }

    CCalendarDate chosen;
    if (candidates.empty())
        return false;
    if (candidates.size() == 1) {
        chosen = candidates[0].date;
    } else if (candidates.size() == 2) {
        if (const Candidate* ordered = InLocaleOrder(candidates, reading.order)) {
            chosen = ordered->date;
        } else {
            bool takeFirst = !reading.order.longDateYearFirst && candidates[0].date.GetDay() == first.value;
            chosen = candidates[takeFirst ? 0 : 1].date;
        }
    } else {
        const CDateOrder& order = reading.order;
        chosen = CCalendarDate(YearOf(numbers[static_cast<size_t>(order.yearPosition)], year),
                               numbers[static_cast<size_t>(order.monthPosition)].value,
                               numbers[static_cast<size_t>(order.dayPosition)].value);
        if (!Readable(chosen))
            return false;
    }
    m_nYear = chosen.m_nYear;
    m_nMonth = chosen.m_nMonth;
    m_nDay = chosen.m_nDay;
    return true;
}
