#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// A local date and time, counted in milliseconds from 30 December 1899 (the
// "zero date" that the program shows for "no date yet").
class DateTime {
public:
    static constexpr int64_t MsPerSecond = 1000;
    static constexpr int64_t MsPerDay = 86'400'000;

    constexpr DateTime() = default;
    static constexpr DateTime FromMilliseconds(int64_t ms)
    {
        DateTime result;
        result.ms_ = ms;
        return result;
    }
    // Empty result (zero date) is never produced for invalid input; callers
    // validate with IsValidDate first.
    static DateTime FromCivil(int year, int month, int day, int hour = 0, int minute = 0,
                              int second = 0, int millisecond = 0);
    static bool IsValidDate(int year, int month, int day);
    static bool IsLeapYear(int year);
    static int DaysInMonth(int year, int month);

    int64_t Milliseconds() const { return ms_; }
    int Year() const;
    int Month() const;
    int Day() const;
    int Hour() const;
    int Minute() const;
    int Second() const;
    // 0 = Sunday .. 6 = Saturday.
    int DayOfWeek() const;
    // Seconds since midnight, with the fraction.
    double SecondsOfDay() const;

    DateTime AddMilliseconds(int64_t ms) const { return FromMilliseconds(ms_ + ms); }
    DateTime AddSeconds(int64_t seconds) const { return AddMilliseconds(seconds * MsPerSecond); }
    DateTime AddYears(int years) const;
    DateTime StartOfDay() const;

    // "mm/dd/yyyy hh:mm:ss AM"
    std::string Format() const;
    // "mm/dd/yyyy  hh:mm:ss AM" (two blanks), as the debug log writes it.
    std::string FormatLogStamp() const;
    // "hh:mm:ss AM"
    std::string FormatTime() const;
    // "mm/dd/yyyy"
    std::string FormatDate() const;

    friend constexpr bool operator==(DateTime a, DateTime b) { return a.ms_ == b.ms_; }
    friend constexpr auto operator<=>(DateTime a, DateTime b) { return a.ms_ <=> b.ms_; }

private:
    struct Civil {
        int year, month, day;
    };
    Civil ToCivil() const;
    int64_t MsOfDay() const;

    int64_t ms_ = 0;
};

// Parses "mm/dd/yyyy hh:mm:ss AM" (the format written by Format); also
// accepts 24-hour time without the designator. Used for stored dates.
bool ParseStoredDateTime(const std::string& text, DateTime& result);

} // namespace tarvik
