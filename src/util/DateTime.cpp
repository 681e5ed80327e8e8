#include "DateTime.h"

#include "Text.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace tarvik {

namespace {

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

const int64_t ZeroDateDays = DaysFromCivil(1899, 12, 30);

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

bool DateTime::IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DateTime::DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year))
        return 29;
    return days[month - 1];
}

bool DateTime::IsValidDate(int year, int month, int day)
{
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

DateTime DateTime::FromCivil(int year, int month, int day, int hour, int minute, int second,
                             int millisecond)
{
    const int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        ZeroDateDays;
    const int64_t ms = days * MsPerDay +
                       ((static_cast<int64_t>(hour) * 60 + minute) * 60 + second) * MsPerSecond +
                       millisecond;
    return FromMilliseconds(ms);
}

DateTime::Civil DateTime::ToCivil() const
{
    Civil civil{};
    CivilFromDays(FloorDiv(ms_, MsPerDay) + ZeroDateDays, civil.year, civil.month, civil.day);
    return civil;
}

int64_t DateTime::MsOfDay() const
{
    return ms_ - FloorDiv(ms_, MsPerDay) * MsPerDay;
}

int DateTime::Year() const
{
    return ToCivil().year;
}
int DateTime::Month() const
{
    return ToCivil().month;
}
int DateTime::Day() const
{
    return ToCivil().day;
}
int DateTime::Hour() const
{
    return static_cast<int>(MsOfDay() / 3'600'000);
}
int DateTime::Minute() const
{
    return static_cast<int>(MsOfDay() / 60'000 % 60);
}
int DateTime::Second() const
{
    return static_cast<int>(MsOfDay() / 1000 % 60);
}

int DateTime::DayOfWeek() const
{
    // The zero date, 30 December 1899, was a Saturday.
    return static_cast<int>((FloorDiv(ms_, MsPerDay) % 7 + 7 + 6) % 7);
}

double DateTime::SecondsOfDay() const
{
    return static_cast<double>(MsOfDay()) / 1000.0;
}

DateTime DateTime::AddYears(int years) const
{
    const Civil civil = ToCivil();
    const int year = civil.year + years;
    const int day = std::min(civil.day, DaysInMonth(year, civil.month));
    return FromCivil(year, civil.month, day).AddMilliseconds(MsOfDay());
}

DateTime DateTime::StartOfDay() const
{
    return FromMilliseconds(ms_ - MsOfDay());
}

std::string DateTime::FormatDate() const
{
    const Civil civil = ToCivil();
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", civil.month, civil.day, civil.year);
    return buffer;
}

std::string DateTime::FormatTime() const
{
    const int hour = Hour();
    int hour12 = hour % 12;
    if (hour12 == 0)
        hour12 = 12;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d %s", hour12, Minute(), Second(),
                  hour < 12 ? "AM" : "PM");
    return buffer;
}

std::string DateTime::Format() const
{
    return FormatDate() + " " + FormatTime();
}

std::string DateTime::FormatLogStamp() const
{
    return FormatDate() + "  " + FormatTime();
}

bool ParseStoredDateTime(const std::string& text, DateTime& result)
{
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    char designator[3] = {0, 0, 0};
    const std::string trimmed(Trim(text));
    const int fields = std::sscanf(trimmed.c_str(), "%d/%d/%d %d:%d:%d %2s", &month, &day, &year,
                                   &hour, &minute, &second, designator);
    if (fields < 6 || !DateTime::IsValidDate(year, month, day))
        return false;
    if (fields == 7) {
        const std::string ampm = ToUpper(designator);
        if (hour < 1 || hour > 12 || (ampm != "AM" && ampm != "PM"))
            return false;
        hour %= 12;
        if (ampm == "PM")
            hour += 12;
    }
    if (hour > 23 || minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0)
        return false;
    result = DateTime::FromCivil(year, month, day, hour, minute, second);
    return true;
}

} // namespace tarvik
