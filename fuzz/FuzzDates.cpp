// The timestamp's date text, the date parser, and the year of a stamp from
// session headers, weekdays and the file's time.
#include "analysis/DateParser.h"
#include "analysis/YearResolver.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

using namespace tarvik;

namespace {

DateTime SomeDate(FuzzedDataProvider& in)
{
    const int year = in.ConsumeIntegralInRange(1601, 9999);
    const int month = in.ConsumeIntegralInRange(1, 12);
    const int day = in.ConsumeIntegralInRange(1, 28);
    return DateTime::FromCivil(year, month, day, in.ConsumeIntegralInRange(0, 23),
                               in.ConsumeIntegralInRange(0, 59), in.ConsumeIntegralInRange(0, 59));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const DateTime today = SomeDate(in);
    YearResolver years(today, SomeDate(in));
    const std::string header = in.ConsumeRandomLengthString(64);
    DateTime start;
    if (YearResolver::ParseSessionHeader(header, start))
        years.SetSessionStart(start);
    while (in.remaining_bytes() > 0) {
        const std::string stamp = in.ConsumeRandomLengthString(48);
        const int year =
            in.ConsumeBool() ? years.YearOf(stamp) : in.ConsumeIntegralInRange(0, 99999);
        DateTime date;
        if (ParseDateText(BuildDateText(stamp, year), date))
            date.Format();
        if (ParseDateText(stamp, date))
            date.AddYears(1).Format();
    }
    return 0;
}
