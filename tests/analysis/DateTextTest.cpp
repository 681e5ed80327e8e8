#include "analysis/DateParser.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(DateText, AcceptedForms)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        // The padded day of the Enhanced Edition, with the year after the pad.
        {"Aug  2026 3 20:02:50", "08/03/2026 08:02:50 PM"},
        {"Feb 29 2028 23:59:59", "02/29/2028 11:59:59 PM"},
        {"Feb 29 2000 06:00:00", "02/29/2000 06:00:00 AM"},
    };
    for (const auto& c : cases) {
        DateTime date;
        ASSERT_TRUE(ParseDateText(c.text, date)) << c.text;
        EXPECT_EQ(date.Format(), c.expected) << c.text;
    }
}

TEST(DateText, RejectedForms)
{
    const char* cases[] = {
        "Apr 31 2026 10:00:00", // April has 30 days
        "Feb 29 2026 10:00:00", // not a leap year
        "Feb 29 2100 10:00:00", // centuries are not leap years unless divisible by 400
        "Jun 00 2026 10:00:00",  "Jun 04 2026 24:00:00",    "Jun 04 2026 23:60:00",
        "Jun 04 2026 23:27", // seconds are required
        "Jun 04 23:27:01",   // no year
        "Jun 2026 23:27:01", // no day
        "Junx 04 2026 23:27:01", "Jun 04 05 2026 23:27:01", "Jun 4th 2026 23:27:01", "",
    };
    for (const char* text : cases) {
        DateTime date;
        EXPECT_FALSE(ParseDateText(text, date)) << text;
    }
}

} // namespace
} // namespace tarvik
