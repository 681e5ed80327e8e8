#include <gtest/gtest.h>

#include "analysis/DateParser.h"

namespace tarvik {
namespace {

TEST(DateText, PaddedDayDates)
{
    DateTime date;
    ASSERT_TRUE(ParseDateText(BuildDateText("Mon Aug  3 20:02:50", 2026), date));
    EXPECT_EQ(date.Format(), "08/03/2026 08:02:50 PM");
}

} // namespace
} // namespace tarvik
