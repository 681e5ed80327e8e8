// The demo session: written the same for the same seed, shipped as written,
// and read as a player would want it: no unusable lines, fights with bosses,
// deaths with a lead-up, immunities and a level-up.
#include "DemoSession.h"

#include "AnalysisTestSupport.h"
#include "LogLines.h"
#include "fights/FightViews.h"
#include "util/FileUtil.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace tarvik {
namespace {

const std::vector<DemoLog>& Demo()
{
    static const std::vector<DemoLog> logs = WriteDemoSession();
    return logs;
}

TEST(DemoSession, SameSeedSameBytesAndTheShippedFilesAreThoseBytes)
{
    const std::vector<DemoLog> again = WriteDemoSession();
    ASSERT_EQ(again.size(), Demo().size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].name, Demo()[i].name);
        EXPECT_TRUE(again[i].contents == Demo()[i].contents) << again[i].name;
        std::string shipped;
        ASSERT_FALSE(
            ReadWholeFile(test::SourceDir() + "/data/samples/demo/" + again[i].name, shipped))
            << "data/samples/demo/" << again[i].name;
        // Regenerate with: tarvik-loggen --demo data/samples/demo
        EXPECT_TRUE(shipped == again[i].contents) << again[i].name << " differs from the generator";
    }
    EXPECT_NE(WriteDemoSession(1)[0].contents, Demo()[0].contents);
}

class DemoAnalysis : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        h = new test::SessionHarness(test::ShippedAnalysisConfig(),
                                     DateTime::FromCivil(2026, 12, 1, 12, 0, 0));
        h->S().Options().autodetectParty = true;
        for (const DemoLog& log : Demo()) {
            const std::string path = h->dir.File(log.name);
            test::WriteBytes(path, log.contents);
            test::SetModifiedLocal(path, h->clock.Now());
            ASSERT_TRUE(h->S().AnalyzeLog(path)) << log.name;
        }
    }
    static void TearDownTestSuite()
    {
        delete h;
        h = nullptr;
    }
    static tarvik::Roster Sides() { return h->S().FightRoster(); }

    static test::SessionHarness* h;
};
test::SessionHarness* DemoAnalysis::h = nullptr;

TEST_F(DemoAnalysis, EveryLineIsUsedAndDatedInItsEvening)
{
    EXPECT_TRUE(h->Errors().empty()) << h->Errors().front();
    const AnalysisData& data = h->S().Data();
    EXPECT_EQ(data.earliestRecordDate.Format().substr(0, 10), "10/03/2026");
    EXPECT_EQ(data.latestRecordDate.Format().substr(0, 10), "11/07/2026");
    EXPECT_GT(data.experienceTotal, 5000);
}

TEST_F(DemoAnalysis, FightsWithBossesDeathsAndRecaps)
{
    const auto& fights = h->S().Fights().Fights();
    EXPECT_GE(fights.size(), 15u);
    int deaths = 0;
    std::vector<std::string> names;
    for (const Fight& fight : fights) {
        const FightSummary summary = SummarizeFight(fight, Sides());
        names.push_back(summary.name);
        EXPECT_GT(summary.yourDps, 5) << summary.name;
        EXPECT_GT(summary.partyDps, summary.yourDps) << summary.name;
        EXPECT_GE(fight.DurationSeconds(), 20) << summary.name;
        EXPECT_LE(fight.DurationSeconds(), 240) << summary.name;
        for (const DeathRecap* recap : ShownDeaths(fight, Sides())) {
            ++deaths;
            // A lead-up worth reading: a blow before the killing blow, which
            // ends the recap.
            const RecapView view = BuildRecap(*recap, Sides());
            ASSERT_GE(view.lines.size(), 2u) << summary.name;
            EXPECT_TRUE(view.lines.back().killingBlow) << summary.name;
        }
        // Nobody's party wiped: a demo ends its fights.
        EXPECT_LT(summary.sideDeaths, 3) << summary.name;
    }
    EXPECT_GE(deaths, 3);
    for (const char* boss :
         {"Ogre Chieftain (+2)", "Draconic Warlord (+1)", "Hellspawn Pit Fiend (+1)"})
        EXPECT_NE(std::find(names.begin(), names.end(), boss), names.end()) << boss;
}

// Recaps are cut at every death and shown by the side the victim has when
// asked: marking your character after the analysis shows the same recaps as
// detecting it while reading.
TEST_F(DemoAnalysis, MarkingAfterTheAnalysisShowsTheSameRecaps)
{
    auto shown = [](const Session& session) {
        std::vector<std::pair<std::string, int64_t>> deaths;
        const Roster roster = session.FightRoster();
        for (const Fight& fight : session.Fights().Fights()) {
            for (const DeathRecap* recap : ShownDeaths(fight, roster))
                deaths.emplace_back(roster.NameOf(recap->victim), recap->second);
        }
        return deaths;
    };
    const auto before = shown(h->S());
    EXPECT_EQ(before.size(), 4u);

    test::SessionHarness later(test::ShippedAnalysisConfig(),
                               DateTime::FromCivil(2026, 12, 1, 12, 0, 0));
    for (const DemoLog& log : Demo()) {
        const std::string path = later.dir.File(log.name);
        test::WriteBytes(path, log.contents);
        ASSERT_TRUE(later.S().AnalyzeLog(path)) << log.name;
    }
    const AnalysisData& marked = h->S().Data();
    for (const auto& character : marked.characters) {
        const Character* same = later.S().Data().characters.Find(character->Name());
        ASSERT_NE(same, nullptr) << character->Name();
        if (character->ID() == marked.userCharacterId)
            later.S().Marks().SelectUserCharacter(same->ID());
        else if (character->IsPartyMember() && !same->IsPartyMember())
            later.S().Marks().TogglePartyMember(same->ID());
    }
    EXPECT_EQ(shown(later.S()), before);
}

// Record bodies in the shapes the game writes; the demo read without a
// rejected line checks the rest.
TEST(LogLines, BodiesInTheGamesShapes)
{
    const D20 threat{12, 41, 53};
    const std::pair<std::string, std::string> cases[] = {
        {AttackBody("Off Hand : Sneak Attack : ", "Grrr'ark Bloodpaw", "Chicken", "critical hit",
                    {15, 41, 56}, &threat),
         "Off Hand : Sneak Attack : Grrr'ark Bloodpaw attacks Chicken : *critical hit* : "
         "(15 + 41 = 56 : Threat Roll: 12 + 41 = 53)"},
        {AttackBody("", "Drogo", "Duergar Veteran", "hit", Rolled(3, -2)),
         "Drogo attacks Duergar Veteran : *hit* : (3 - 2 = 1)"},
        {DamageBody("Cursed Corpse Eater", "Woo Whirlwind",
                    {{52, "Physical"}, {9, "Magical"}, {0, "Acid"}}),
         "Cursed Corpse Eater damages Woo Whirlwind: 61 (52 Physical 9 Magical 0 Acid)"},
        {CastingBody("Smith Smurf", "Mage Armor", false), "Smith Smurf casting Mage Armor"},
        {CastingBody("Smith Smurf", "Mage Armor", true), "Smith Smurf casts Mage Armor"},
        {InitiativeBody("Xin'thah Moragh", Rolled(4, 7)),
         "Xin'thah Moragh : Initiative Roll : 11 : (4 + 7 = 11)"},
        {PartyBody("Xin'thah Moragh", false), "Xin'thah Moragh has left the party."},
    };
    for (const auto& [written, expected] : cases)
        EXPECT_EQ(written, expected);
}

// The classic client pads the day with a zero and ends lines with CR LF,
// the Enhanced Edition pads with a blank; weekdays follow the calendar.
TEST(LogLines, StampsOfBothClients)
{
    const StampTime saturday{WeekdayOf(2026, 10, 3), 10, 3, 19 * 3600 + 34 * 60 + 12};
    std::string classic;
    LogLineWriter(LogClient::Classic, "\r\n").Dated(classic, saturday, "Resting.");
    EXPECT_EQ(classic, "[CHAT WINDOW TEXT] [Sat Oct 03 19:34:12] Resting.\r\n");
    std::string enhanced;
    const LogLineWriter ee(LogClient::EnhancedEdition, "\n");
    ee.Dated(enhanced, {WeekdayOf(2026, 3, 1), 3, 1, 5}, "Resting.");
    ee.Undated(enhanced, "");
    EXPECT_EQ(enhanced, "[CHAT WINDOW TEXT] [Sun Mar  1 00:00:05] Resting.\n\n");
    EXPECT_EQ(WeekdayOf(2024, 2, 29), 4); // a Thursday
}

} // namespace
} // namespace tarvik
