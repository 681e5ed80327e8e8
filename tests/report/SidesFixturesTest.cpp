// Sides as the JSON report gives them for short logs written for each rule
// (tests/fixtures/sides), read as tarvik-cli --autodetect reads them.
#include "AnalysisTestSupport.h"
#include "fights/RecapView.h"
#include "report/JsonReport.h"
#include "ui/StatusTexts.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tarvik {
namespace {

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

TEST_F(SidesFromLogs, ATownCriersShoutMakesNoCharacterInAnyReport)
{
    test::SessionHarness h(test::ShippedAnalysisConfig(), Now());
    h.S().Options().autodetectParty = true;
    ASSERT_TRUE(h.S().AnalyzeLog(Copy(h, "pet-ally-and-charmed.txt")));
    const std::string dump = Document(h.S()).dump();
    EXPECT_EQ(dump.find("MYSTERIOUS"), std::string::npos);
    EXPECT_EQ(dump.find("Town Crier"), std::string::npos);
    // The line is told as one that could not be used.
    bool told = false;
    for (const std::string& line : h.Errors())
        told = told || line.find("HEAR YE") != std::string::npos;
    EXPECT_TRUE(told);
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
