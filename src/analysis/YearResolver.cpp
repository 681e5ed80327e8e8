#include "YearResolver.h"

#include "util/Text.h"

#include <algorithm>
#include <array>

namespace tarvik {

namespace {

// Far enough back for any weekday of any day, 29 February included.
constexpr int YearsSearched = 60;

std::string_view NextToken(std::string_view text, size_t& pos)
{
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    const size_t start = pos;
    while (pos < text.size() && text[pos] != ' ')
        ++pos;
    return text.substr(start, pos - start);
}

int IndexOfName(std::string_view token, const std::array<std::string_view, 12>& names, size_t count)
{
    if (token.size() < 3)
        return -1;
    const std::string lower = ToLower(token);
    for (size_t i = 0; i < count; ++i) {
        if (lower == names[i] || (lower.size() == 3 && names[i].substr(0, 3) == lower))
            return static_cast<int>(i);
    }
    return -1;
}

int MonthOf(std::string_view token)
{
    static constexpr std::array<std::string_view, 12> months = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    return IndexOfName(token, months, 12) + 1;
}

int WeekdayOf(std::string_view token)
{
    static constexpr std::array<std::string_view, 12> days = {
        "sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};
    return IndexOfName(token, days, 7);
}

bool AllDigits(std::string_view token)
{
    if (token.empty())
        return false;
    for (const char c : token) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int Number(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// Year, month and day as one comparable number.
int DayKey(int year, int month, int day)
{
    return (year * 100 + month) * 100 + day;
}

} // namespace

YearResolver::YearResolver(DateTime today, DateTime fileModified)
    : today_(today)
    , tomorrowKey_(KeyOf(today.AddSeconds(24 * 60 * 60)))
{
    latestDayKey_ = std::min(KeyOf(fileModified), tomorrowKey_);
}

int YearResolver::KeyOf(DateTime date)
{
    return DayKey(date.Year(), date.Month(), date.Day());
}

void YearResolver::SetSessionStart(DateTime start)
{
    sessionStart_ = start;
    lastDayText_.clear();
}

bool YearResolver::ParseStampDay(std::string_view stamp, StampDay& result)
{
    // The parts the date parser takes, wherever they stand; the time of day
    // is not one of them.
    size_t pos = 0;
    for (std::string_view token = NextToken(stamp, pos); !token.empty();
         token = NextToken(stamp, pos)) {
        if (token.find(':') != std::string_view::npos)
            continue;
        if (AllDigits(token) && token.size() <= 2) {
            result.day = Number(token);
        } else if (const int month = MonthOf(token); month > 0) {
            result.month = month;
        } else if (const int weekday = WeekdayOf(token); weekday >= 0) {
            result.weekday = weekday;
        }
    }
    return result.month > 0 && result.day > 0;
}

int YearResolver::Resolve(const StampDay& d) const
{
    if (sessionStart_ != DateTime()) {
        const int header = sessionStart_.Year();
        const bool beforeHeader =
            d.month * 100 + d.day < sessionStart_.Month() * 100 + sessionStart_.Day();
        const int year = beforeHeader ? header + 1 : header;
        if (DateTime::IsValidDate(year, d.month, d.day) &&
            DayKey(year, d.month, d.day) <= tomorrowKey_)
            return year;
    }
    const int latestYear = latestDayKey_ / 10000;
    if (d.weekday >= 0) {
        for (int year = latestYear; year > latestYear - YearsSearched; --year) {
            if (DateTime::IsValidDate(year, d.month, d.day) &&
                DayKey(year, d.month, d.day) <= latestDayKey_ &&
                DateTime::FromCivil(year, d.month, d.day).DayOfWeek() == d.weekday)
                return year;
        }
    }
    const int year = today_.Year();
    return DayKey(year, d.month, d.day) > latestDayKey_ ? year - 1 : year;
}

int YearResolver::YearOf(std::string_view stamp)
{
    // The day is all but the time of day, which stamps of one day share.
    const size_t colon = stamp.find(':');
    size_t timeStart = stamp.size(), timeEnd = stamp.size();
    if (colon != std::string_view::npos) {
        const size_t blank = stamp.rfind(' ', colon);
        timeStart = blank == std::string_view::npos ? 0 : blank + 1;
        timeEnd = std::min(stamp.find(' ', colon), stamp.size());
    }
    const std::string_view dayText = stamp.substr(0, timeStart);
    const std::string_view dayTail = stamp.substr(timeEnd);
    if (lastYear_ != 0 && dayText == lastDayText_ && dayTail == lastDayTail_)
        return lastYear_;
    StampDay day;
    const int year = ParseStampDay(stamp, day) ? Resolve(day) : today_.Year();
    lastDayText_.assign(dayText);
    lastDayTail_.assign(dayTail);
    lastYear_ = year;
    return year;
}

bool YearResolver::ParseSessionHeader(std::string_view text, DateTime& start)
{
    StampDay day;
    int year = 0;
    size_t pos = 0;
    for (std::string_view token = NextToken(text, pos); !token.empty();
         token = NextToken(text, pos)) {
        if (AllDigits(token) && token.size() == 4)
            year = Number(token);
    }
    if (year == 0 || !ParseStampDay(text, day) || !DateTime::IsValidDate(year, day.month, day.day))
        return false;
    start = DateTime::FromCivil(year, day.month, day.day);
    return true;
}

} // namespace tarvik
