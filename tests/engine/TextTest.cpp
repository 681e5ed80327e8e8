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

TEST(Text, CaseFoldingFollowsWindows1252)
{
    // Accented capitals, the caron and ligature pairs and Y diaeresis fold;
    // the multiplication and division signs and sharp s have no partner.
    EXPECT_EQ(ToLower("DROGO \xC9\xC0\xDE\x8A\x8C\x8E\x9F\xD7\xDF"),
              "drogo \xE9\xE0\xFE\x9A\x9C\x9E\xFF\xD7\xDF");
    EXPECT_EQ(ToUpper("\x9A\x9C\x9E\xFF\xF7\xDF"), "\x8A\x8C\x8E\x9F\xF7\xDF");
    EXPECT_TRUE(EqualsNoCase("Xin'thah \xC9", "XIN'THAH \xE9"));
    EXPECT_EQ(Trim("\t a b  "), "\t a b");
}

TEST(Text, IsNumeric)
{
    struct Case {
        const char* text;
        bool numeric;
    };
    const Case cases[] = {{" -3.5 ", true}, {".5", true},   {"5.", true},   {"2E-2", true},
                          {"   ", false},   {"1e", false},  {"--1", false}, {".", false},
                          {"1 2", false},   {"nan", false}, {"inf", false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsNumeric(c.text), c.numeric) << '"' << c.text << '"';
}

TEST(Text, ToInt32RoundsHalvesToEvenAndRejectsOverflow)
{
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {{"0.5", 0},
                          {"1.5", 2},
                          {"-2.5", -2},
                          {"2.51", 3},
                          {"-2147483648", std::numeric_limits<int32_t>::min()},
                          {"2147483648", std::nullopt},
                          {"2147483647.5", std::nullopt},
                          {"abc", std::nullopt}};
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
    const std::vector<Case> cases = {
        {"  Phys , Fire  ,Total ", ",", true, {"Phys", "Fire", "Total"}},
        {"a, ,b", ",", true, {"a", "", "b"}},
        {",, a ,b ,, ", ",", true, {"a", "b"}},
        {"", ",", false, {""}},
        {" , ,, ", ",", false, {""}},
        {"  Physical  10   Fire ", " ", true, {"Physical", "10", "Fire"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string_view> items{"stale"};
        EXPECT_EQ(SplitList(c.text, items, c.delimiter), c.result) << '"' << c.text << '"';
        EXPECT_EQ(std::vector<std::string>(items.begin(), items.end()), c.items)
            << '"' << c.text << '"';
    }
}

TEST(DateTime, TwelveHourClockReadsBackAndCalendarEdges)
{
    for (const DateTime date :
         {DateTime::FromCivil(2026, 6, 1, 0, 59, 59), DateTime::FromCivil(2026, 6, 1, 12, 0, 0)}) {
        DateTime parsed;
        ASSERT_TRUE(ParseStoredDateTime(date.Format(), parsed)) << date.Format();
        EXPECT_EQ(parsed, date) << date.Format();
    }
    EXPECT_EQ(DateTime::FromCivil(2026, 6, 1, 0, 59, 59).Format(), "06/01/2026 12:59:59 AM");
    EXPECT_EQ(DateTime::FromCivil(2024, 2, 29, 18, 30, 0).AddYears(1).Format(),
              "02/28/2025 06:30:00 PM");
    EXPECT_EQ(DateTime::FromCivil(2025, 12, 31, 23, 59, 59).AddSeconds(1).Format(),
              "01/01/2026 12:00:00 AM");
    // Before the zero date the time of day still counts forward from midnight.
    EXPECT_EQ(DateTime::FromCivil(1899, 12, 29, 18, 0, 0).Format(), "12/29/1899 06:00:00 PM");

    DateTime parsed = DateTime::FromCivil(2001, 1, 1);
    const DateTime untouched = parsed;
    for (const char* text : {"", "02/30/2026 01:00:00 PM", "06/01/2026 13:00:00 PM",
                             "06/01/2026 00:10:00 AM", "06/01/2026 24:00:00"})
        EXPECT_FALSE(ParseStoredDateTime(text, parsed)) << text;
    EXPECT_EQ(parsed, untouched);
}

TEST(NumberFormat, ThousandsAndDecimals)
{
    EXPECT_EQ(FormatThousands(-1000), "-1,000");
    EXPECT_EQ(FormatThousands(std::numeric_limits<int64_t>::min()), "-9,223,372,036,854,775,808");

    EXPECT_EQ(FormatDecimal(-0.0), "0");
    EXPECT_EQ(FormatDecimal(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatDecimal(0.00001), "0.00001");
    EXPECT_EQ(FormatDecimal(1e20), "100000000000000000000");
}

TEST(Encoding, ValidUtf8StaysAndEverythingElseIsWindows1252)
{
    EXPECT_TRUE(IsValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    for (const char* bad : {"caf\xE9", "\xC3", "\xE2\x82", "\xC0\x80", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "<c\x01\xfe\x01>Drogo"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;

    // Undefined bytes (0x81, 0x9D) keep their C1 code points.
    EXPECT_EQ(Cp1252ToUtf8("\x92\x80\x9F\xE9\x81\x9D"),
              "\xE2\x80\x99\xE2\x82\xAC\xC5\xB8\xC3\xA9\xC2\x81\xC2\x9D");
    EXPECT_EQ(DisplayText("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(DisplayText("<c\x01\xfe\x01>"), "<c\x01\xC3\xBE\x01>");
}

// What a terminal would take for a command is written out as JSON writes
// it; letters, Windows-1252 punctuation and text without controls pass.
TEST(Encoding, TerminalTextWritesControlCharactersOut)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"plain", "Aldric Voss", "Aldric Voss"},
        {"colour sequence", "\x1b[31mRed\x1b[0m", "\\u001b[31mRed\\u001b[0m"},
        {"title sequence", "\x1b]0;x\x07", "\\u001b]0;x\\u0007"},
        {"short forms", "a\tb\nc\rd\be\ff", "a\\tb\\nc\\rd\\be\\ff"},
        {"nul and delete", std::string("a\0b\x7f", 4), "a\\u0000b\\u007f"},
        {"C1 control in UTF-8",
         "\xC2\x9B"
         "2J \xC2\xA0",
         "\\u009b2J \xC2\xA0"},
        {"undefined Windows-1252 byte", "x\x81\xE9", "x\\u0081\xC3\xA9"},
        {"Windows-1252 punctuation", "Sefa\x92s", "Sefa\xE2\x80\x99s"},
        {"backslash stays", "a\\b", "a\\b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TerminalText(c.bytes), c.shown) << c.name;
}

TEST(Encoding, Utf16RoundTripsEveryLetterAndReplacesWhatCannotBeConverted)
{
    struct Case {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"ascii", "nwclientLog1.txt", u"nwclientLog1.txt"},
        {"two and three bytes", "\xC3\x86r\xC3\xB8 \xE2\x80\x93 \xD0\x96",
         u"\u00C6r\u00F8 \u2013 \u0416"},
        {"surrogate pair", "\xF0\x9D\x84\x9E", u"\U0001D11E"},
        {"empty", "", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
    }
    // A lone surrogate and broken UTF-8 each become U+FFFD.
    const std::u16string lone = {u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
    EXPECT_EQ(Utf16ToUtf8(lone), "a\xEF\xBF\xBD"
                                 "b\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("caf\xE9!"), u"caf\uFFFD!");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD\uFFFD");
}

} // namespace
} // namespace tarvik
