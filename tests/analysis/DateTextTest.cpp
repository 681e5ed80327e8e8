#include "analysis/DateParser.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(DateText, YearGoesAfterTheDay)
{
    struct Case {
        const char* timestamp;
        int year;
        const char* expected;
    };
    const Case cases[] = {
        {"Wed Jun 04 23:27:01", 2026, "Jun 04 2026 23:27:01"},
        // A blank-padded day: the year lands after the pad.
        {"Mon Aug  3 20:02:50", 2026, "Aug  2026 3 20:02:50"},
        {"Sat Apr 03 11:26:24", 2031, "Apr 03 2031 11:26:24"},
        // Only two parts after the weekday: the year goes after the first blank.
        {"Wed Jun 04", 2026, "Jun 2026 04"},
        {"Jun", 2026, "Jun"},
        {"", 2026, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildDateText(c.timestamp, c.year), c.expected) << c.timestamp;
}

TEST(DateText, AcceptedForms)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"Jun 04 2026 23:27:01", "06/04/2026 11:27:01 PM"},
        {"Aug  2026 3 20:02:50", "08/03/2026 08:02:50 PM"},
        {"august 3 2026 00:00:00", "08/03/2026 12:00:00 AM"},
        {"DEC 31 2026 12:00:00", "12/31/2026 12:00:00 PM"},
        {"2026 September 9 7:05:09", "09/09/2026 07:05:09 AM"},
        {"23:59:59 29 Feb 2028", "02/29/2028 11:59:59 PM"},
        {"Feb 29 2000 06:00:00", "02/29/2000 06:00:00 AM"},
        {"May 1 2026 01:02:03", "05/01/2026 01:02:03 AM"},
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
        "Apr 31 2026 10:00:00",  // April has 30 days
        "Feb 29 2026 10:00:00",  // not a leap year
        "Feb 29 2100 10:00:00",  // centuries are not leap years unless divisible by 400
        "Jun 00 2026 10:00:00",  // day zero
        "Jun 04 2026 24:00:00",  // hour out of range
        "Jun 04 2026 23:60:00",  // minute out of range
        "Jun 04 2026 23:27",     // seconds are required
        "Jun 04 23:27:01",       // no year
        "04 2026 23:27:01",      // no month
        "Jun 2026 23:27:01",     // no day
        "Jun 04 2026",           // no time
        "Ju 04 2026 23:27:01",   // too short for a month
        "Junx 04 2026 23:27:01", // neither short nor full
        "Jun Jul 04 2026 23:27:01",
        "Jun 04 05 2026 23:27:01",
        "Jun 04 2026 2027 23:27:01",
        "Jun 04 2026 23:27:01 10:00:00",
        "Jun 4th 2026 23:27:01",
        "Jun 123 2026 23:27:01",
        "",
    };
    for (const char* text : cases) {
        DateTime date = DateTime::FromCivil(2000, 1, 1);
        EXPECT_FALSE(ParseDateText(text, date)) << text;
    }
}

} // namespace
} // namespace tarvik
