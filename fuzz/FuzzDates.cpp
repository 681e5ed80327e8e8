// The timestamp's date text, the date parser, and the year of a stamp from
// session headers, weekdays and the file's time. What is parsed must read
// back the same when written out again, and no year may date a line after
// tomorrow.
#include "analysis/DateParser.h"
#include "analysis/YearResolver.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

using namespace tarvik;

namespace {

const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const Weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

DateTime SomeDate(FuzzedDataProvider& in)
{
    const int year = in.ConsumeIntegralInRange(1601, 9998);
    const int month = in.ConsumeIntegralInRange(1, 12);
    const int day = in.ConsumeIntegralInRange(1, 28);
    return DateTime::FromCivil(year, month, day, in.ConsumeIntegralInRange(0, 23),
                               in.ConsumeIntegralInRange(0, 59), in.ConsumeIntegralInRange(0, 59));
}

[[noreturn]] void Fail(const char* what, const std::string& text, DateTime date)
{
    std::fprintf(stderr, "%s: [%s] gave %s\n", what, text.c_str(), date.Format().c_str());
    std::abort();
}

// "Mar 7 2026 09:05:01": the parts the parser takes, in the order the game's
// stamps with a year give them.
std::string DateText(DateTime date)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s %d %04d %02d:%02d:%02d", Months[date.Month() - 1],
                  date.Day(), date.Year(), date.Hour(), date.Minute(), date.Second());
    return text;
}

// A day as a comparable number.
int DayKey(DateTime date)
{
    return (date.Year() * 100 + date.Month()) * 100 + date.Day();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const DateTime today = SomeDate(in);
    YearResolver years(today, SomeDate(in));
    const int tomorrow = DayKey(today.AddSeconds(24 * 60 * 60));

    const std::string header = in.ConsumeRandomLengthString(64);
    DateTime start;
    if (YearResolver::ParseSessionHeader(header, start)) {
        // A header's date, written as the game writes one, reads back the same.
        char again[64];
        std::snprintf(again, sizeof again, "%s %s %d 00:00:00 %04d", Weekdays[start.DayOfWeek()],
                      Months[start.Month() - 1], start.Day(), start.Year());
        DateTime back;
        if (!YearResolver::ParseSessionHeader(again, back) || back != start)
            Fail("session header read back", again, back);
        years.SetSessionStart(start);
    }
    while (in.remaining_bytes() > 0) {
        const std::string stamp = in.ConsumeRandomLengthString(48);
        const bool resolved = in.ConsumeBool();
        const int year = resolved ? years.YearOf(stamp) : in.ConsumeIntegralInRange(0, 99999);
        DateTime date;
        const std::string text = BuildDateText(stamp, year);
        if (ParseDateText(text, date)) {
            if (date.Year() != year)
                Fail("the year put in is not the year read", text, date);
            if (resolved && DayKey(date) > tomorrow)
                Fail("dated after tomorrow", text, date);
        }
        // Whatever the parser takes reads back the same from its own parts,
        // and from the text the program stores dates in.
        for (const std::string* parsed : {&text, &stamp}) {
            if (!ParseDateText(*parsed, date))
                continue;
            DateTime back;
            const std::string again = DateText(date);
            if (!ParseDateText(again, back) || back != date)
                Fail("date read back", again, back);
            if (!ParseStoredDateTime(date.Format(), back) || back != date)
                Fail("stored date read back", date.Format(), back);
        }
    }
    return 0;
}
