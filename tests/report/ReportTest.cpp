// The HTML report, its charts and the CSV export, from sessions read with
// the shipped configuration.
#include "AnalysisTestSupport.h"
#include "fights/RecapView.h"
#include "report/CsvTable.h"
#include "report/DpsChartSvg.h"
#include "report/Html.h"
#include "report/HtmlReport.h"
#include "report/JsonReport.h"
#include "ui/StatusTexts.h"
#include "util/FileUtil.h"

#include <algorithm>
#include <clocale>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using test::GameLine;

// Every element closed in order, attributes quoted, no stray "<" or "&":
// what an XML reader (and so a browser in either mode) needs. Returns the
// first fault, empty when there is none.
std::string WellFormedFault(const std::string& html)
{
    std::vector<std::string> open;
    size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '&') {
            const size_t end = html.find(';', i);
            const std::string entity = html.substr(i, end == std::string::npos ? 8 : end - i + 1);
            if (entity != "&amp;" && entity != "&lt;" && entity != "&gt;" && entity != "&quot;" &&
                entity != "&#39;")
                return "unknown reference " + entity;
            i = end + 1;
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t')
            return "control character";
        if (c != '<') {
            ++i;
            continue;
        }
        const size_t end = html.find('>', i);
        if (end == std::string::npos)
            return "unclosed tag";
        const std::string tag = html.substr(i + 1, end - i - 1);
        i = end + 1;
        if (tag.starts_with("!DOCTYPE"))
            continue;
        if (tag.find('<') != std::string::npos)
            return "'<' inside a tag";
        if (tag.starts_with('/')) {
            if (open.empty() || open.back() != tag.substr(1))
                return "</" + tag.substr(1) + "> closes " +
                       (open.empty() ? "nothing" : open.back());
            open.pop_back();
            continue;
        }
        if (tag.ends_with('/'))
            continue;
        open.push_back(tag.substr(0, tag.find(' ')));
    }
    return open.empty() ? std::string() : "<" + open.back() + "> never closed";
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(HtmlText, EscapesMarkupAndReplacesControlCharacters)
{
    const struct {
        std::string text, escaped;
    } cases[] = {
        {"Ogre Chieftain", "Ogre Chieftain"},
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"Kil'iak \"Witch\" & Co", "Kil&#39;iak &quot;Witch&quot; &amp; Co"},
        // The game's colour codes: XML forbids the control characters.
        {"<c\x01\x02\x03>Red", "&lt;c???&gt;Red"},
        {"Sefa\xe2\x80\x99s Wolf", "Sefa\xe2\x80\x99s Wolf"},
        {"tab\tand\nline", "tab\tand\nline"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HtmlEscape(c.text), c.escaped) << c.text;
}

TEST(HtmlText, SvgNumbersIgnoreTheLocaleAndRound)
{
    // A decimal comma in the user's locale must not reach the SVG.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const struct {
        double value;
        const char* text;
    } cases[] = {{12.34, "12.3"}, {12.35, "12.4"}, {5.0, "5"},         {-0.04, "0"},
                 {0.96, "1"},     {-7.25, "-7.3"}, {1e300 * 1e10, "0"}};
    for (const auto& c : cases)
        EXPECT_EQ(SvgNumber(c.value), c.text) << c.value;
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(DpsChart, DrawsEveryLineAndItsAverageWithinTheFrame)
{
    DpsChart chart;
    chart.points = 4;
    chart.bucketSeconds = 2;
    chart.lines = {{ChartLineKind::You, "Aldric Voss", {10, 90, 0, 20}, {10, 50, 33.3, 30}},
                   {ChartLineKind::Opponent, "<Ogre & Co>", {5, 5, 5, 5}, {5, 5, 5, 5}}};
    const std::string svg = DpsChartSvg(chart, 400, 200);
    EXPECT_EQ(WellFormedFault(svg), "");
    EXPECT_EQ(Count(svg, "<polyline class=\"raw\""), 2u);
    EXPECT_EQ(Count(svg, "<polyline class=\"average\""), 2u);
    EXPECT_NE(svg.find("&lt;Ogre &amp; Co&gt;"), std::string::npos);
    // Four points per line, every one inside the 400 x 200 frame.
    const size_t at = svg.find("points=\"") + 8;
    const std::string points = svg.substr(at, svg.find('"', at) - at);
    std::istringstream in(points);
    std::string point;
    int seen = 0;
    while (in >> point) {
        const double x = std::stod(point.substr(0, point.find(',')));
        const double y = std::stod(point.substr(point.find(',') + 1));
        EXPECT_GE(x, 0);
        EXPECT_LE(x, 400);
        EXPECT_GE(y, 0);
        EXPECT_LE(y, 200);
        ++seen;
    }
    EXPECT_EQ(seen, 4);
    // The scale follows the averages (up to 50, so 0 to 60 in steps of 20);
    // the spike of 90 in the second bucket is cut at the top (y = 44).
    EXPECT_NE(svg.find(">60</text>"), std::string::npos);
    EXPECT_EQ(svg.find(">80</text>"), std::string::npos);
    EXPECT_NE(points.find(" 180.5,44 "), std::string::npos) << points;
}

TEST(CsvText, QuotesWhatRfc4180AsksAndDefusesFormulas)
{
    const struct {
        std::string text, field;
    } cases[] = {
        {"Ogre Chieftain", "Ogre Chieftain"},
        {"Ogre Chieftain (+2)", "Ogre Chieftain (+2)"},
        {"Smith, the Smurf", "\"Smith, the Smurf\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"", ""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+1", "'+1"},
        {"-1", "'-1"},
        {"@SUM(A1)", "'@SUM(A1)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsvField(c.text), c.field) << c.text;
    EXPECT_EQ(CsvRows({{"a", "b"}, {"1", "\"x,y\""}}), "a,b\r\n1,\"x,y\"\r\n");
}

// Two fights of a party of two against names that need escaping, with a
// death, an immunity and a name in Windows-1252.
class ReportFromSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.S().Options().autodetectParty = true;
        const std::vector<std::string> bodies = {
            "20:00:00 Aldric Voss : Initiative Roll : 14 : (10 + 4 = 14)",
            "20:00:00 Brenna Tal has joined the party.",
            "20:00:01 Aldric Voss attacks <b>Bob & \"Co\"</b> : *hit* : (15 + 20 = 35)",
            "20:00:01 Aldric Voss damages <b>Bob & \"Co\"</b>: 30 (20 Physical 10 Fire)",
            "20:00:01 <b>Bob & \"Co\"</b> : Damage Immunity absorbs 10 point(s) of Fire",
            "20:00:03 <b>Bob & \"Co\"</b> attacks Brenna Tal : *hit* : (18 + 20 = 38)",
            "20:00:03 <b>Bob & \"Co\"</b> damages Brenna Tal: 90 (90 Physical)",
            "20:00:03 <b>Bob & \"Co\"</b> killed Brenna Tal",
            "20:00:05 Aldric Voss damages <b>Bob & \"Co\"</b>: 50 (50 Physical)",
            "20:00:05 Aldric Voss killed <b>Bob & \"Co\"</b>",
            "20:05:00 Aldric Voss attacks Sefa\x92s Wolf, the Grey : *hit* : (15 + 20 = 35)",
            "20:05:00 Aldric Voss damages Sefa\x92s Wolf, the Grey: 12 (12 Physical)",
            "20:05:04 Aldric Voss killed Sefa\x92s Wolf, the Grey",
        };
        std::vector<std::string> lines;
        for (const auto& timed : bodies)
            lines.push_back(GameLine(timed.substr(9), "Sat Dec 16 " + timed.substr(0, 8)));
        ASSERT_TRUE(h.S().AnalyzeLog(h.Write("nwclientLog1.txt", lines)));
        ASSERT_EQ(h.S().Fights().Fights().size(), 2u);
        ASSERT_TRUE(h.Errors().empty()) << h.Errors().front();
    }

    test::SessionHarness h{test::ShippedAnalysisConfig(),
                           DateTime::FromCivil(2026, 12, 20, 12, 0, 0)};
};

TEST_F(ReportFromSession, HtmlIsWellFormedWithEscapedNamesAChartPerFightAndTheRecap)
{
    const std::string html = HtmlReport(h.S(), {"nwclientLog1.txt"}, h.Errors());
    ASSERT_EQ(WellFormedFault(html), "");
    EXPECT_EQ(Count(html, "<svg "), 2u);
    EXPECT_EQ(Count(html, "<section class=\"fight\""), 2u);
    // Never the raw name, always its escaped form.
    EXPECT_EQ(html.find("<b>Bob"), std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt;Bob &amp; &quot;Co&quot;&lt;/b&gt;"), std::string::npos);
    // Windows-1252 decoded for display.
    EXPECT_NE(html.find("Sefa\xe2\x80\x99s Wolf, the Grey"), std::string::npos);
    // The recap of Brenna's death, and the immunity among the targets.
    EXPECT_NE(html.find("Death of Brenna Tal at 12/16/2023 08:00:03 PM, killed by &lt;b&gt;Bob"),
              std::string::npos);
    // 10 of 10 + 10 allows 50% to 54% under rounding down.
    EXPECT_NE(html.find("<td>Fire 50-54% (1 hit)</td>"), std::string::npos);
    // The first fight's line: 80 damage from your side over 4 s, 90 taken, one death.
    EXPECT_NE(html.find("<td class=\"num\">4 s</td>"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"num\">20</td><td class=\"num\">20</td>"
                        "<td class=\"num\">90</td><td class=\"num\">1</td>"),
              std::string::npos);
}

// Reports name no date for logs without a dated line: not the start values,
// a year ahead and the zero date, that the window's panels show.
TEST(ReportDates, NoDateWithoutADatedLine)
{
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        nlohmann::ordered_json earliest;
        nlohmann::ordered_json latest;
        const char* htmlDates; // null: none
    };
    const Case cases[] = {
        {"undated lines only", {"nwsync: reconfigured", ""}, nullptr, nullptr, nullptr},
        {"dated lines",
         {"undated", GameLine("Bob killed Orc", "Sat Dec 16 20:00:00"),
          GameLine("Bob killed Orc", "Sat Dec 16 19:59:59")},
         "12/16/2023 07:59:59 PM",
         "12/16/2023 08:00:00 PM",
         "From 12/16/2023 07:59:59 PM to 12/16/2023 08:00:00 PM. "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::SessionHarness h{test::ShippedAnalysisConfig(),
                               DateTime::FromCivil(2026, 12, 20, 12, 0, 0)};
        ASSERT_TRUE(h.S().AnalyzeLog(h.Write("log.txt", c.lines)));
        const nlohmann::ordered_json doc = JsonDocument(h.S(), {"log.txt"}, h.Errors());
        EXPECT_EQ(doc["earliest"], c.earliest);
        EXPECT_EQ(doc["latest"], c.latest);
        const std::string html = HtmlReport(h.S(), {"log.txt"}, h.Errors());
        EXPECT_EQ(html.find("From "), c.htmlDates ? html.find(c.htmlDates) : std::string::npos);
        EXPECT_NE(html.find(" lines read"), std::string::npos);
    }
}

// The window writes dump(2); tarvik-cli and the follow stream's summary write
// the same document one character at a time, pretty and on one line.
TEST_F(ReportFromSession, StreamedDocumentIsTheWholeDocumentByteForByte)
{
    const std::vector<std::string> files = {"nwclientLog1.txt"};
    test::SessionHarness empty{test::ShippedAnalysisConfig()};
    ASSERT_TRUE(
        empty.S().AnalyzeLog(empty.Write("chat.txt", {GameLine("Hello", "Sat Dec 16 20:00:00")})));
    ASSERT_EQ(empty.Data().characters.Count(), 0);
    struct Case {
        const char* what;
        Session& session;
        ReportSections sections;
    };
    const Case cases[] = {
        {"characters, fights and targets", h.S(), {true, true}},
        {"characters only", h.S(), {}},
        {"no character", empty.S(), {true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const nlohmann::ordered_json whole = JsonDocument(c.session, files, {}, c.sections);
        std::ostringstream pretty;
        JsonReport(pretty, c.session, files, {}, c.sections);
        EXPECT_EQ(pretty.str(), whole.dump(2) + "\n");

        nlohmann::ordered_json line = {{"type", "summary"}};
        line.update(whole);
        std::ostringstream compact;
        WriteJsonDocument(compact, c.session, files, {}, c.sections, -1, {{"type", "summary"}});
        EXPECT_EQ(compact.str(), line.dump());
    }
    EXPECT_NE(
        JsonDocument(h.S(), files, {}).dump().find("\"name\":\"Sefa\xe2\x80\x99s Wolf, the Grey\""),
        std::string::npos);
}

// Sides as the JSON report gives them for short logs written for each rule
// (tests/fixtures/sides), read as tarvik-cli --autodetect reads them.
using Json = nlohmann::ordered_json;

class SidesFromLogs : public ::testing::Test {
protected:
    static DateTime Now() { return DateTime::FromCivil(2026, 3, 20, 12, 0, 0); }
    // A copy of the fixture, last written now by the harness's clock.
    static std::string Copy(test::SessionHarness& h, const std::string& name)
    {
        std::string bytes;
        EXPECT_FALSE(ReadWholeFile(test::SourceDir() + "/tests/fixtures/sides/" + name, bytes))
            << name;
        const std::string path = h.dir.File(name);
        test::WriteBytes(path, bytes);
        test::SetModifiedLocal(path, h.clock.Now());
        return path;
    }
    static Json Document(Session& session)
    {
        return JsonDocument(session, {}, {}, {.fights = true, .targets = true});
    }
    static std::map<std::string, std::string> SideByName(const Json& doc)
    {
        std::map<std::string, std::string> sides;
        for (const auto& c : doc["characters"])
            sides[c["name"].get<std::string>()] = c["side"].get<std::string>();
        return sides;
    }
    static std::vector<std::string> Names(const Json& list)
    {
        std::vector<std::string> names;
        for (const auto& item : list)
            names.push_back(item["name"].get<std::string>());
        return names;
    }
};

TEST_F(SidesFromLogs, EveryCharacterOnTheSideItsLogImplies)
{
    struct Case {
        const char* log;
        const char* foundBy; // null: no user character
        const char* userText;
        std::map<std::string, std::string> sides;
        std::vector<std::string> targets;
    };
    const Case cases[] = {
        {"owner-by-spell-resistance.txt",
         "spell_resistance_lines",
         "Your character: Vexa, found by its spell-resistance lines.",
         {{"Vexa", "you"}, {"Stone Warden", "enemy"}},
         {"Stone Warden"}},
        {"owner-by-absorbs.txt",
         "absorb_lines",
         "Your character: Ravel, found by its absorb lines.",
         {{"Ravel", "you"}, {"Ash Golem", "enemy"}, {"Ash Hound", "enemy"}},
         {"Ash Golem", "Ash Hound"}},
        {"owner-unknown.txt",
         nullptr,
         "",
         {{"Orrin", "unknown"}, {"Bog Troll", "unknown"}},
         {"Orrin", "Bog Troll"}}, // nobody on your side: everybody is a target
        {"pet-ally-and-charmed.txt",
         "initiative_rolls",
         "Your character: Vexa, found by its initiative rolls.",
         {{"Vexa", "you"},
          {"Cerberus", "pet"},        // "Dominated Cerberus."
          {"Summoned Badger", "pet"}, // a pet's name, fighting your enemies
          {"Talia", "ally"},          // speaks in party chat, never joined
          {"Bram", "ally"},           // fights the warden, hits Vexa once (charmed)
          {"Stone Warden", "enemy"},
          {"Warden Acolyte", "enemy"}}, // hit once by the warden's area spell
         {"Stone Warden", "Warden Acolyte"}},
    };
    for (const Case& c : cases) {
        test::SessionHarness h(test::ShippedAnalysisConfig(), Now());
        h.S().Options().autodetectParty = true;
        ASSERT_TRUE(h.S().AnalyzeLog(Copy(h, c.log))) << c.log;
        const Json doc = Document(h.S());
        EXPECT_EQ(SideByName(doc), c.sides) << c.log;
        EXPECT_EQ(doc["user_character_found_by"], c.foundBy ? Json(c.foundBy) : Json(nullptr))
            << c.log;
        EXPECT_EQ(UserCharacterText(h.S().Data()), c.userText) << c.log;
        EXPECT_EQ(Names(doc["targets"]), c.targets) << c.log;
        for (const auto& fight : doc["fights"]) {
            for (const auto& row : fight["characters"])
                EXPECT_EQ(row["side"], c.sides.at(row["name"].get<std::string>())) << c.log;
        }
    }
}

TEST_F(SidesFromLogs, AlliesAndPetsCountForYourSideAndAreMarkedOnlyWithAutoDetection)
{
    for (const bool autodetect : {true, false}) {
        test::SessionHarness h(test::ShippedAnalysisConfig(), Now());
        h.S().Options().autodetectParty = autodetect;
        ASSERT_TRUE(h.S().AnalyzeLog(Copy(h, "pet-ally-and-charmed.txt")));
        if (!autodetect)
            h.S().Marks().SelectUserCharacter(h.Data().characters.Find("Vexa")->ID());
        const Json doc = Document(h.S());
        // Vexa 30 + 28 + 33, Cerberus 44 + 31, the badger 5, Talia 19, Bram 14.
        ASSERT_EQ(doc["fights"].size(), 1u);
        EXPECT_EQ(doc["fights"][0]["party_damage"], 204);
        EXPECT_EQ(doc["fights"][0]["your_damage"], 91);
        // Marked party members: Vexa, and with auto-detection her pets and allies.
        EXPECT_EQ(doc["party_member_count"], autodetect ? 5 : 1) << autodetect;
        // Sides do not depend on the marks the inference made.
        EXPECT_EQ(SideByName(doc).at("Cerberus"), "pet") << autodetect;
        EXPECT_EQ(SideByName(doc).at("Talia"), "ally") << autodetect;
        // A town crier's shout makes no character; it is told as a line
        // that could not be used.
        EXPECT_EQ(doc.dump().find("MYSTERIOUS"), std::string::npos);
        EXPECT_EQ(doc.dump().find("Town Crier"), std::string::npos);
        EXPECT_TRUE(std::any_of(h.Errors().begin(), h.Errors().end(), [](const std::string& line) {
            return line.find("HEAR YE") != std::string::npos;
        }));
    }
}

TEST_F(SidesFromLogs, OneSpellResistanceLineNamesTheOwnerAndCountsItsResult)
{
    // With and without auto-detection: the result is counted either way, the
    // line names the owner only when asked to.
    for (const bool autodetect : {true, false}) {
        test::SessionHarness h(test::ShippedAnalysisConfig(), Now());
        h.S().Options().autodetectParty = autodetect;
        ASSERT_TRUE(h.S().AnalyzeLog(Copy(h, "owner-by-spell-resistance.txt")));
        const Json doc = Document(h.S());
        EXPECT_EQ(doc["user_character_found_by"],
                  autodetect ? Json("spell_resistance_lines") : Json(nullptr))
            << autodetect;
        Json vexa;
        for (const auto& c : doc["characters"]) {
            if (c["name"] == "Vexa")
                vexa = c;
        }
        ASSERT_TRUE(vexa.is_object()) << autodetect;
        EXPECT_EQ(vexa["spell_resists"], Json::parse(R"({"Hammer of the Gods": {"failed": 1}})"))
            << autodetect;
    }
}

// Logs named so that their file-name order is newest first, with a fight a
// file boundary cut in two.
TEST_F(SidesFromLogs, LogsReadNewestFirstGiveTheFightsOfOldestFirst)
{
    auto line = [](const char* day, const char* time, const char* body) {
        return std::string("[CHAT WINDOW TEXT] [") + day + " " + time + "] " + body;
    };
    const std::vector<std::string> first = {
        line("Tue Mar 10", "21:00:00", "Vexa : Initiative Roll : 17 : (12 + 5 = 17)"),
        line("Tue Mar 10", "21:00:01", "Vexa damages Ash Golem: 30 (30 Physical)"),
        line("Tue Mar 10", "21:00:05", "Ash Golem damages Vexa: 12 (12 Physical)"),
    };
    const std::vector<std::string> second = {
        // Goes on 5 s after the first log's last line: the same fight.
        line("Tue Mar 10", "21:00:10", "Vexa damages Ash Golem: 20 (20 Physical)"),
        line("Tue Mar 10", "21:00:11", "Vexa killed Ash Golem"),
        line("Tue Mar 10", "22:00:00", "Vexa damages Bog Troll: 7 (7 Physical)"),
    };
    const std::vector<std::string> third = {
        line("Wed Mar 11", "20:00:00", "Vexa damages Stone Warden: 9 (9 Physical)"),
        line("Wed Mar 11", "20:00:02", "Stone Warden damages Vexa: 4 (4 Physical)"),
    };
    auto fights = [&](const std::vector<std::vector<std::string>>& byName) {
        test::SessionHarness h(test::ShippedAnalysisConfig(), Now());
        h.S().Options().autodetectParty = true;
        std::vector<std::string> paths;
        const char* names[] = {"nwclientLog1.txt", "nwclientLog2.txt", "nwclientLog3.txt"};
        for (size_t i = 0; i < byName.size(); ++i)
            paths.push_back(h.Write(names[i], byName[i]));
        h.S().AnalyzeSelectedLogs(paths);
        return Document(h.S())["fights"];
    };
    const Json oldestFirst = fights({first, second, third});
    const Json newestFirst = fights({third, second, first});
    ASSERT_EQ(oldestFirst.size(), 3u);
    EXPECT_EQ(Names(oldestFirst),
              (std::vector<std::string>{"Ash Golem", "Bog Troll", "Stone Warden"}));
    EXPECT_EQ(oldestFirst[0]["duration_s"], 10);
    EXPECT_EQ(oldestFirst[0]["your_damage"], 50);
    EXPECT_EQ(newestFirst, oldestFirst);
}

} // namespace
} // namespace tarvik
