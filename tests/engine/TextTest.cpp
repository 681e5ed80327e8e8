#include "util/Text.h"

#include "util/DateTime.h"
#include "util/Encoding.h"
#include "util/NumberFormat.h"
#include "util/SplitList.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {
namespace {

using namespace std::string_literals;

TEST(Text, CaseFoldingFollowsWindows1252)
{
    // Accented capitals, the caron and ligature pairs and Y diaeresis fold;
    // the multiplication and division signs and sharp s have no partner.
    EXPECT_EQ(ToLower("DROGO \xC9\xC0\xDE"), "drogo \xE9\xE0\xFE");
    EXPECT_EQ(ToUpper("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
    EXPECT_EQ(ToLower("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
    EXPECT_EQ(ToLower("\xD7\xDF"), "\xD7\xDF");
    EXPECT_EQ(ToUpper("\xF7\xDF"), "\xF7\xDF");
    EXPECT_TRUE(EqualsNoCase("Xin'thah \xC9", "XIN'THAH \xE9"));
    EXPECT_EQ(NoCaseHash{}("Legendary BEAR"), NoCaseHash{}("legendary bear"));
    EXPECT_EQ(Trim("\t a b  "), "\t a b");
}

TEST(Text, SearchWithEmptyNeedle)
{
    // An empty identifier is found in every text except the empty one.
    EXPECT_EQ(Find("abc", ""), 0u);
    EXPECT_EQ(Find("", ""), std::string_view::npos);
    EXPECT_EQ(FindNoCase("", ""), std::string_view::npos);
    EXPECT_EQ(FindNoCase("Drogo ATTACKS Bear", "attacks"), 6u);
    EXPECT_EQ(FindNoCase("ab", "abc"), std::string_view::npos);
    EXPECT_EQ(Find("Drogo ATTACKS Bear", "attacks"), std::string_view::npos);
}

TEST(Text, IsNumeric)
{
    struct Case {
        const char* text;
        bool numeric;
    };
    const Case cases[] = {{"0", true},     {" 12 ", true}, {"+3", true},   {"-3.5", true},
                          {".5", true},    {"5.", true},   {"1e3", true},  {"2E-2", true},
                          {"", false},     {"   ", false}, {"abc", false}, {"12a", false},
                          {"1e", false},   {"e5", false},  {"--1", false}, {"-", false},
                          {".", false},    {"1 2", false}, {"nan", false}, {"inf", false},
                          {"1,000", false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsNumeric(c.text), c.numeric) << '"' << c.text << '"';
}

TEST(Text, ToInt32RoundsHalvesToEvenAndRejectsOverflow)
{
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {{" 21 ", 21},
                          {"+7", 7},
                          {"0.5", 0},
                          {"1.5", 2},
                          {"2.5", 2},
                          {"-2.5", -2},
                          {"2.51", 3},
                          {"1e3", 1000},
                          {"-2147483648", std::numeric_limits<int32_t>::min()},
                          {"2147483648", std::nullopt},
                          {"2147483647.5", std::nullopt},
                          {"abc", std::nullopt},
                          {"", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(ToInt32(c.text), c.value) << '"' << c.text << '"';
}

TEST(SplitList, Items)
{
    struct Case {
        std::string text;
        std::string delimiter;
        bool result;
        std::vector<std::string> items;
    };
    const std::string nul(1, '\0');
    const std::vector<Case> cases = {
        {"  Phys , Fire  ,Total ", ",", true, {"Phys", "Fire", "Total"}},
        {"a,,b", ",", true, {"a", "", "b"}},
        {"a, ,b", ",", true, {"a", "", "b"}},
        {",, a ,b ,, ", ",", true, {"a", "b"}},
        {"single", ",", true, {"single"}},
        {"", ",", false, {""}},
        {" , ,, ", ",", false, {""}},
        {"a::b::c", "::", true, {"a", "b", "c"}},
        {"a:b", "::", true, {"a:b"}},
        {"  Physical  10   Fire ", " ", true, {"Physical", "10", "Fire"}},
        // Key lists from the configuration end every name with a NUL.
        {"Chat" + nul + "Attack" + nul + "Damage" + nul, nul, true, {"Chat", "Attack", "Damage"}},
        {nul, nul, false, {""}}};
    for (const auto& c : cases) {
        std::vector<std::string_view> items{"stale"};
        EXPECT_EQ(SplitList(c.text, items, c.delimiter), c.result) << '"' << c.text << '"';
        EXPECT_EQ(std::vector<std::string>(items.begin(), items.end()), c.items)
            << '"' << c.text << '"';
    }
}

TEST(SplitList, TrimDelimitersAndNulls)
{
    EXPECT_EQ(TrimDelimiters(" ,a, ", ",", true), "a");
    EXPECT_EQ(TrimDelimiters(" ,a, ", ",", false), " ,a, ");
    EXPECT_EQ(TrimDelimiters(",,a,b,,", ",", false), "a,b");
    // Blanks between delimiters go only when asked.
    EXPECT_EQ(TrimDelimiters("a , , ", ",", true), "a");
    EXPECT_EQ(TrimDelimiters(",,,", ",", true), "");
    EXPECT_EQ(TrimDelimiters("abc", "", true), "abc");
    EXPECT_EQ(TrimDelimiters("xxabxx", "xx", false), "ab");
    EXPECT_EQ(TrimDelimiters("Chat", "chat", false), "Chat");
    EXPECT_EQ(TrimNulls("\0 a\0\0"s, true), "a");
    EXPECT_EQ(TrimNulls("\0 a \0"s, false), " a ");
}

TEST(DateTime, FormatsTwelveHourClockAndReadsItBack)
{
    struct Case {
        int hour, minute, second;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, 0, "06/01/2026 12:00:00 AM"},  {0, 59, 59, "06/01/2026 12:59:59 AM"},
        {1, 5, 9, "06/01/2026 01:05:09 AM"},  {11, 59, 59, "06/01/2026 11:59:59 AM"},
        {12, 0, 0, "06/01/2026 12:00:00 PM"}, {12, 30, 1, "06/01/2026 12:30:01 PM"},
        {13, 5, 9, "06/01/2026 01:05:09 PM"}, {23, 59, 59, "06/01/2026 11:59:59 PM"}};
    for (const auto& c : cases) {
        const DateTime date = DateTime::FromCivil(2026, 6, 1, c.hour, c.minute, c.second);
        EXPECT_EQ(date.Format(), c.text);
        DateTime parsed;
        ASSERT_TRUE(ParseStoredDateTime(c.text, parsed)) << c.text;
        EXPECT_EQ(parsed, date) << c.text;
    }
    EXPECT_EQ(DateTime::FromCivil(2026, 12, 31, 13, 0, 0).FormatLogStamp(),
              "12/31/2026  01:00:00 PM");
    EXPECT_EQ(DateTime().Format(), "12/30/1899 12:00:00 AM");
}

TEST(DateTime, CalendarEdges)
{
    EXPECT_EQ(DateTime::FromCivil(2024, 2, 29, 18, 30, 0).AddYears(1).Format(),
              "02/28/2025 06:30:00 PM");
    EXPECT_EQ(DateTime::FromCivil(2025, 12, 31, 23, 59, 59).AddSeconds(1).Format(),
              "01/01/2026 12:00:00 AM");
    // Before the zero date the time of day still counts forward from midnight.
    const DateTime before = DateTime::FromCivil(1899, 12, 29, 18, 0, 0);
    EXPECT_LT(before.Milliseconds(), 0);
    EXPECT_EQ(before.Format(), "12/29/1899 06:00:00 PM");

    DateTime parsed = DateTime::FromCivil(2001, 1, 1);
    const DateTime untouched = parsed;
    for (const char* text : {"", "02/30/2026 01:00:00 PM", "06/01/2026 13:00:00 PM",
                             "06/01/2026 00:10:00 AM", "06/01/2026 24:00:00", "junk"})
        EXPECT_FALSE(ParseStoredDateTime(text, parsed)) << text;
    EXPECT_EQ(parsed, untouched);
}

TEST(NumberFormat, ThousandsAndDecimals)
{
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(-1000), "-1,000");
    EXPECT_EQ(FormatThousands(123456), "123,456");
    EXPECT_EQ(FormatThousands(2147483647), "2,147,483,647");
    EXPECT_EQ(FormatThousands(std::numeric_limits<int64_t>::min()), "-9,223,372,036,854,775,808");

    EXPECT_EQ(FormatDecimal(5), "5");
    EXPECT_EQ(FormatDecimal(-0.0), "0");
    EXPECT_EQ(FormatDecimal(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatDecimal(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatDecimal(0.00001), "0.00001");
    EXPECT_EQ(FormatDecimal(1e20), "100000000000000000000");
    EXPECT_EQ(FormatDecimal(-1234.25), "-1234.25");
}

TEST(Encoding, ValidUtf8StaysAndEverythingElseIsWindows1252)
{
    EXPECT_TRUE(IsValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    for (const char* bad : {"caf\xE9", "\xC3", "\xE2\x82", "\xC0\x80", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "<c\x01\xfe\x01>Drogo"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;

    EXPECT_EQ(Cp1252ToUtf8("Mordenkainen\x92s wait\x85"),
              "Mordenkainen\xE2\x80\x99s wait\xE2\x80\xA6");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\xA0\xE9\xFF"), "\xE2\x82\xAC\xC5\xB8\xC2\xA0\xC3\xA9\xC3\xBF");
    // Undefined bytes keep their C1 code points.
    EXPECT_EQ(Cp1252ToUtf8("\x81\x9D"), "\xC2\x81\xC2\x9D");
    EXPECT_EQ(DisplayText("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(DisplayText("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(DisplayText("<c\x01\xfe\x01>"), "<c\x01\xC3\xBE\x01>");
}

} // namespace
} // namespace tarvik
