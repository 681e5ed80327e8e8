// The demo session: written the same for the same seed, shipped as written,
// and read as a player would want it: no unusable lines, fights with bosses,
// deaths with a lead-up, immunities and a level-up.
#include "DemoSession.h"

#include "AnalysisTestSupport.h"
#include "Battle.h"
#include "Bestiary.h"
#include "fights/FightViews.h"
#include "util/FileUtil.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <regex>
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

// Every record body in the shape the game writes it.
TEST(LogLines, BodiesInTheGamesShapes)
{
    const D20 threat{12, 41, 53};
    const std::pair<std::string, std::string> cases[] = {
        {AttackBody("Off Hand : Sneak Attack : ", "Grrr'ark Bloodpaw", "Chicken", "critical hit",
                    {15, 41, 56}, &threat),
         "Off Hand : Sneak Attack : Grrr'ark Bloodpaw attacks Chicken : *critical hit* : "
         "(15 + 41 = 56 : Threat Roll: 12 + 41 = 53)"},
        {AttackBody("", "Maugrim", "Epic Mummy Warrior", "target concealed: 50%", Rolled(2, 54)),
         "Maugrim attacks Epic Mummy Warrior : *target concealed: 50%* : (2 + 54 = 56)"},
        {AttackBody("", "Drogo", "Duergar Veteran", "hit", Rolled(3, -2)),
         "Drogo attacks Duergar Veteran : *hit* : (3 - 2 = 1)"},
        {SpecialAttackBody("Durga", "Improved Knockdown", "Legendary Wolf", "resisted",
                           Rolled(2, 25)),
         "Durga attempts Improved Knockdown on Legendary Wolf : *resisted* : (2 + 25 = 27)"},
        {DamageBody("Cursed Corpse Eater", "Woo Whirlwind",
                    {{52, "Physical"}, {9, "Magical"}, {0, "Acid"}}),
         "Cursed Corpse Eater damages Woo Whirlwind: 61 (52 Physical 9 Magical 0 Acid)"},
        {ImmunityBody("Nazzadan", 1, DamageTypeName(Physical)),
         "Nazzadan : Damage Immunity absorbs 1 point(s) of Physical"},
        {AbsorbBody("Nazzadan", "Resistance", 5), "Nazzadan : Damage Resistance absorbs 5 damage"},
        {EpicDodgeBody("Nazzadan"), "Nazzadan : Epic Dodge : Attack evaded"},
        {SaveBody("Morrico", "Evasion : Reflex Save vs. Fire", false, Rolled(1, 28), 23),
         "Morrico : Evasion : Reflex Save vs. Fire : *failure* : (1 + 28 = 29 vs. DC: 23)"},
        {HealedBody("Greg the Nasty", 15), "Greg the Nasty : Healed 15 hit points."},
        {KilledBody("Smith Smurf", "Legendary Bear"), "Smith Smurf killed Legendary Bear"},
        {ExperienceBody(242), "Experience Points Gained:  242"},
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

// One fight of the demo party against a creature; the record bodies, in order.
std::vector<std::string> FightAgainst(const Creature& creature, uint64_t seed = 3)
{
    LogBook book(seed);
    book.Start(LogClient::EnhancedEdition, 2026, 11, 1, 20 * 3600);
    std::vector<Combatant> party;
    for (Creature& member : DemoParty())
        party.emplace_back(std::move(member));
    Battle(book, party).Fight({creature});
    std::vector<std::string> bodies;
    const std::string text = book.Finish();
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        const size_t stampEnd = line.find("] ", line.find('[', 1));
        bodies.push_back(stampEnd == std::string::npos ? line : line.substr(stampEnd + 2));
    }
    return bodies;
}

Creature Dummy(const std::string& name)
{
    return {.name = name, .maxHp = 900, .ac = 30, .attack = {20, 2}, .damage = {1, 6, 0}};
}

// What a creature's defences take off a hit shows in the absorb lines after
// its damage line: an immunity its share of the type (rounded down) before
// reduction and resistance take their amounts from what is left.
TEST(DemoBattle, DefencesShowInTheAbsorbLinesOfEachHit)
{
    struct Case {
        const char* name;
        PerType immunity;
        int reduction;
        PerType resistance;
        std::regex absorb;
        int type; // of the absorbed part
    };
    const Case cases[] = {
        {"Half Fire Golem",
         ByType({{Fire, 50}}),
         0,
         {},
         std::regex(R"(Half Fire Golem : Damage Immunity absorbs (\d+) point\(s\) of Fire)"),
         Fire},
        {"Stone Guard",
         {},
         10,
         {},
         std::regex(R"(Stone Guard : Damage Reduction absorbs (\d+) damage)"),
         Physical},
        {"Warded Guard",
         {},
         0,
         Elemental(5),
         std::regex(R"(Warded Guard : Damage Resistance absorbs (\d+) damage)"),
         Fire},
    };
    for (const Case& c : cases) {
        Creature creature = Dummy(c.name);
        creature.immunity = c.immunity;
        creature.reduction = c.reduction;
        creature.resistance = c.resistance;
        const std::vector<std::string> bodies = FightAgainst(creature);
        const std::regex damage("damages " + std::string(c.name) + R"(: \d+ \(.*?(\d+) )" +
                                DamageTypeName(c.type) + "( |\\))");
        int absorbed = 0;
        for (size_t i = 1; i < bodies.size(); ++i) {
            std::smatch amount;
            if (!std::regex_match(bodies[i], amount, c.absorb))
                continue;
            ++absorbed;
            // The damage line is the last one above that is not an absorb line.
            size_t above = i - 1;
            while (above > 0 && bodies[above].find(" absorbs ") != std::string::npos)
                --above;
            std::smatch dealt;
            ASSERT_TRUE(std::regex_search(bodies[above], dealt, damage))
                << c.name << ": " << bodies[above];
            const int taken = std::stoi(amount[1]);
            const int shown = std::stoi(dealt[1]);
            if (c.type == Fire && c.immunity[Fire] > 0)
                EXPECT_EQ(taken, (shown + taken) * c.immunity[Fire] / 100) << bodies[above];
            else
                EXPECT_TRUE(taken == (c.reduction ? c.reduction : 5) || shown == 0)
                    << bodies[above] << " / " << bodies[i];
        }
        EXPECT_GT(absorbed, 5) << c.name;
    }
}

// Epic Dodge turns hits into misses that are followed by the evasion line;
// without it no such line appears.
TEST(DemoBattle, EpicDodgeEvadesHitsAsMisses)
{
    for (const int dodge : {0, 100}) {
        Creature creature = Dummy("Nimble Monk");
        creature.epicDodge = dodge;
        const std::vector<std::string> bodies = FightAgainst(creature);
        int dodged = 0;
        int hits = 0;
        for (size_t i = 0; i < bodies.size(); ++i) {
            if (bodies[i].find("attacks Nimble Monk : *hit*") != std::string::npos ||
                bodies[i].find("attacks Nimble Monk : *critical hit*") != std::string::npos)
                ++hits;
            if (bodies[i] != "Nimble Monk : Epic Dodge : Attack evaded")
                continue;
            ++dodged;
            ASSERT_GT(i, 0u);
            EXPECT_NE(bodies[i - 1].find("attacks Nimble Monk : *miss*"), std::string::npos)
                << bodies[i - 1];
        }
        EXPECT_EQ(dodged > 0, dodge > 0) << dodge;
        EXPECT_EQ(hits > 0, dodge == 0) << dodge;
    }
}

// Iterative attacks: each round's attacks step down the ladder from the
// first bonus, and the next round starts at the top again.
TEST(DemoBattle, AttacksOfARoundStepDownTheLadder)
{
    Creature creature = Dummy("Raid Boss");
    creature.attack = {40, 4, 5};
    const std::vector<std::string> bodies = FightAgainst(creature);
    const std::regex attack(R"(Raid Boss attacks .* : \(\d+ \+ (\d+) = \d+)");
    std::vector<int> bonuses;
    for (const std::string& body : bodies) {
        std::smatch match;
        if (std::regex_search(body, match, attack))
            bonuses.push_back(std::stoi(match[1]));
    }
    ASSERT_GT(bonuses.size(), 8u);
    for (size_t i = 0; i < bonuses.size(); ++i)
        EXPECT_EQ(bonuses[i], 40 - 5 * static_cast<int>(i % 4)) << i;
}

} // namespace
} // namespace tarvik
