#include "fights/FightViews.h"

#include "fights/CurrentFightRule.h"
#include "fights/FightTables.h"
#include "fights/TargetViews.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(FightTables, DurationText)
{
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0 s"},      {9, "9 s"},        {60, "1:00"}, {65, "1:05"},
        {3599, "59:59"}, {3723, "1:02:03"}, {-4, "0 s"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(DurationText(seconds), text) << seconds;
}

DateTime At(int second)
{
    return DateTime::FromCivil(2026, 7, 3, 20, 0, 0).AddSeconds(second);
}

// You (1), a party member (2), and three opponents (3..5).
class Views : public ::testing::Test {
protected:
    Views()
    {
        for (const char* name : {"You", "Friend", "Ogre", "Goblin", "Rat"}) {
            auto c = std::make_unique<Character>();
            c->CreateCharacter(name, characters.Count() + 1);
            characters.Add(name, std::move(c));
        }
        characters.At(2)->SetIsPartyMember(true);
    }
    void Damage(int second, int32_t attacker, int32_t defender, int32_t physical)
    {
        damage = {physical, 0, physical};
        tracker.OnDamage({At(second), attacker, defender, damage, physical ? 1u : 0u});
    }
    Roster MakeRoster(int32_t user = 1) const { return {characters, user, damageTypes, saveTypes}; }

    CharacterList characters;
    std::vector<std::string> damageTypes = {"Physical", "Fire", "Total"};
    std::vector<std::string> saveTypes = {"Fort", "Reflex", "Will"};
    FightTracker tracker{3};
    std::vector<int32_t> damage;
};

TEST_F(Views, FightIsNamedAfterWhatYourSideHitHardest)
{
    Damage(0, 1, 3, 30);  // you hit the ogre
    Damage(2, 2, 4, 40);  // your friend hits the goblin harder
    Damage(3, 5, 3, 100); // the rat hits the ogre hardest, but never fought your side
    Damage(4, 3, 1, 20);
    Damage(10, 1, 3, 20); // ogre 50 from your side
    const Fight& fight = tracker.Fights().at(0);

    FightSummary summary = SummarizeFight(fight, MakeRoster());
    EXPECT_EQ(summary.name, "Ogre (+1)"); // and the goblin; the rat is no opponent
    EXPECT_EQ(summary.yourDamage, 50);
    EXPECT_EQ(summary.partyDamage, 90);
    EXPECT_EQ(summary.yourDps, 5.0);
    EXPECT_EQ(summary.partyDps, 9.0);
    EXPECT_EQ(summary.damageTakenBySide, 20);

    // Nobody marked: named after whoever took most from anyone, others counted.
    characters.At(2)->SetIsPartyMember(false);
    summary = SummarizeFight(fight, MakeRoster(0));
    EXPECT_EQ(summary.name, "Ogre (+2)"); // 150 taken; the goblin and you took some too
    EXPECT_EQ(summary.partyDps, 0);

    EXPECT_EQ(FightName("Ogre", 0), "Ogre");
    EXPECT_EQ(FightName("Ogre", 12), "Ogre (+12)");
}

TEST_F(Views, CurrentFightIsTheRunningOneElseTheLastThatEnded)
{
    // Nothing yet: no fight, and the HUD says nothing.
    EXPECT_EQ(CurrentFightOf(tracker, At(0)).fight, nullptr);
    EXPECT_EQ(HudDpsText(tracker, MakeRoster(), At(0)), "");

    Damage(0, 1, 3, 30);
    Damage(10, 2, 3, 95);  // first fight: 0..10 s
    Damage(100, 1, 4, 40); // second fight: 100..110 s
    Damage(110, 1, 4, 60);
    struct Case {
        int now;
        int32_t fightIndex;
        bool running;
    };
    // The gap is 15 s: a fight runs until 15 s after its last event.
    const Case cases[] = {
        {105, 1, true},  // between its events
        {120, 1, true},  // within the gap after the last event
        {200, 1, false}, // ended: still the one shown
    };
    for (const Case& c : cases) {
        const CurrentFightChoice choice = CurrentFightOf(tracker, At(c.now));
        ASSERT_NE(choice.fight, nullptr) << c.now;
        EXPECT_EQ(choice.fight->Index(), c.fightIndex) << c.now;
        EXPECT_EQ(choice.running, c.running) << c.now;
    }
    // The HUD follows the same fight: 100 damage by you over 10 s.
    EXPECT_EQ(HudDpsText(tracker, MakeRoster(), At(200)), "DPS  you 10  /  party 10");
}

TEST_F(Views, CurrentFightWhileTheFirstRuns)
{
    Damage(0, 1, 3, 30);
    Damage(10, 2, 3, 95);
    // 30 by you and 125 by your side over 10 s.
    EXPECT_EQ(HudDpsText(tracker, MakeRoster(), At(12)), "DPS  you 3  /  party 12");
    const CurrentFightChoice choice = CurrentFightOf(tracker, At(12));
    EXPECT_TRUE(choice.running);
    EXPECT_EQ(choice.fight, &tracker.Fights().back());
}

TEST_F(Views, ChartLinesWithATrailingAverage)
{
    Damage(0, 1, 3, 10);
    Damage(1, 2, 3, 20);
    Damage(2, 3, 1, 6);
    Damage(2, 4, 2, 4);
    Damage(3, 5, 1, 1);
    Damage(4, 1, 3, 50);
    const DpsChart chart = BuildDpsChart(tracker.Fights().at(0), MakeRoster(), 2, 2);
    EXPECT_EQ(chart.points, 5u);
    EXPECT_EQ(chart.bucketSeconds, 1);
    std::vector<std::string> labels;
    for (const ChartLine& line : chart.lines)
        labels.push_back(line.label);
    // The top two opponents by damage dealt; the rat dealt least.
    EXPECT_EQ(labels, (std::vector<std::string>{"You", "Party", "Ogre", "Goblin", "Damage taken"}));
    EXPECT_EQ(chart.lines[0].dps, (std::vector<double>{10, 0, 0, 0, 50}));
    EXPECT_EQ(chart.lines[1].dps, (std::vector<double>{10, 20, 0, 0, 50}));
    EXPECT_EQ(chart.lines[1].average, (std::vector<double>{10, 15, 10, 0, 25}));
    EXPECT_EQ(chart.lines[4].dps, (std::vector<double>{0, 0, 10, 1, 0}));

    EXPECT_EQ(MovingAverage({4, 8, 0, 4}, 5), (std::vector<double>{4, 6, 4, 4}));
    EXPECT_EQ(MovingAverage({4, 8}, 0), (std::vector<double>{4, 8}));
}

TEST_F(Views, TargetsAreEnemiesAndSidesFollowTheMarks)
{
    tracker.OnAttack({At(0), 1, 3, AttackOutcome::Hit, true, {12, 10, 22, false, 0}});
    tracker.OnAttack({At(0), 3, 1, AttackOutcome::Miss, true, {5, 8, 13, false, 0}});
    tracker.OnSave({At(60), 4, 3, 10, 6, 18, true}); // outside every fight
    auto names = [&](const Roster& roster) {
        std::vector<std::string> result;
        for (const TargetRow& row : TargetRows(tracker, roster))
            result.push_back(row.name + " " + row.ac + " " + row.ab + " " + row.savesText);
        return result;
    };
    EXPECT_EQ(names(MakeRoster()), (std::vector<std::string>{"Ogre ?-22 8 ", "Goblin ? ? Will 6"}));
    EXPECT_EQ(names(MakeRoster(0)),
              (std::vector<std::string>{"You 14-? 10 ", "Ogre ?-22 8 ", "Goblin ? ? Will 6"}));
}

// Days of play keep memory flat: only the newest fights stay whole, and what
// the older ones told of a target, and who hurt it, still counts.
TEST_F(Views, OldFightsAreDroppedButTheirRollsStillCount)
{
    const size_t total = FightTracker::MaxKeptFights + 250;
    for (size_t f = 0; f < total; ++f) {
        const int second = static_cast<int>(f) * 100;
        // The very first fight alone shows the ogre's AC can be as low as 21;
        // the others' hits and misses bound it from 25 down to 21 at most.
        const int32_t hitTotal = f == 0 ? 21 : 30;
        tracker.OnAttack(
            {At(second), 1, 3, AttackOutcome::Hit, true, {10, hitTotal - 10, hitTotal, false, 0}});
        tracker.OnAttack({At(second), 1, 3, AttackOutcome::Miss, true, {5, 15, 20, false, 0}});
        Damage(second, 1, 3, 7);
        tracker.OnAttack({At(second), 3, 1, AttackOutcome::Miss, true, {4, 18, 22, false, 0}});
    }
    const auto& fights = tracker.Fights();
    ASSERT_FALSE(fights.empty());
    EXPECT_GE(fights.size(), FightTracker::MaxKeptFights);
    EXPECT_LT(fights.size(), total);
    EXPECT_EQ(static_cast<size_t>(tracker.DroppedFights()) + fights.size(), total);
    EXPECT_EQ(fights.front().Index(), tracker.DroppedFights());
    EXPECT_EQ(fights.back().Index(), static_cast<int32_t>(total) - 1);
    EXPECT_EQ(tracker.FightByIndex(tracker.DroppedFights() - 1), nullptr);
    EXPECT_EQ(tracker.FightByIndex(fights.back().Index()), &fights.back());
    // Reused memory holds nothing of the fight it came from.
    const FightCharacter& ogre = *fights.back().Find(3);
    EXPECT_EQ(ogre.damageTaken, 7);
    ASSERT_NE(ogre.Target(), nullptr);
    EXPECT_EQ(ogre.Target()->ac.rolls, 2);
    EXPECT_EQ(ogre.Target()->ab.Rolls(), 1);
    EXPECT_EQ(ogre.takenByType, (std::vector<int64_t>{7, 0}));

    const std::vector<TargetRow> rows = TargetRows(tracker, MakeRoster());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "Ogre");
    EXPECT_EQ(rows[0].ac, "21");
    EXPECT_EQ(rows[0].acRolls, static_cast<int32_t>(2 * total));
    EXPECT_EQ(rows[0].ab, "18");
    // 7 from you in each fight, each fight one second under fire.
    EXPECT_EQ(rows[0].damage.total, static_cast<int64_t>(7 * total));
    EXPECT_EQ(rows[0].damage.seconds, static_cast<int64_t>(total));
    ASSERT_EQ(rows[0].damage.rows.size(), 1u);
    EXPECT_EQ(rows[0].damage.rows[0].name, "You");
    EXPECT_EQ(rows[0].damage.rows[0].dps, 7.0);
    EXPECT_EQ(DamageTakenByAttacker(tracker, 3, MakeRoster()).total, rows[0].damage.total);

    tracker.Clear();
    EXPECT_EQ(tracker.DroppedFights(), 0);
    EXPECT_TRUE(TargetRows(tracker, MakeRoster()).empty());
}

// Every cell sorts by the number its text stands for, so "1,234" sorts
// above "999" and the start sorts by date, not by its text.
TEST_F(Views, FightRowCarriesTheNumbersItsTextsShow)
{
    Damage(0, 1, 3, 1234);
    Damage(2, 1, 3, 1234);
    tracker.OnKill({At(2), 3, 1});
    const TableRow row = FightTableRow(tracker.Fights().at(0), MakeRoster(), true);
    ASSERT_EQ(row.cells.size(), FightColumns().size());
    EXPECT_EQ(row.key, 0);
    EXPECT_TRUE(row.emphasized);
    EXPECT_EQ(row.cells[FightNameColumn].text, "Ogre  - running");
    EXPECT_EQ(row.cells[FightStartColumn].text, "07/03/2026 08:00:00 PM");
    EXPECT_EQ(row.cells[FightStartColumn].number, static_cast<double>(SecondOf(At(0))));
    EXPECT_EQ(row.cells[FightDurationColumn].text, "2 s");
    EXPECT_EQ(row.cells[FightYourDpsColumn].text, "1234");
    EXPECT_EQ(row.cells[FightYourDpsColumn].number, 1234.0);
    EXPECT_EQ(row.cells[FightDeathsColumn].number, 1.0);
    EXPECT_EQ(
        FightTableRow(tracker.Fights().at(0), MakeRoster(), false).cells[FightNameColumn].text,
        "Ogre");

    const auto rows = FightCharacterRows(tracker.Fights().at(0), MakeRoster());
    const TableRow you = FightCharacterTableRow(rows.at(0));
    ASSERT_EQ(you.cells.size(), FightCharacterColumns().size());
    EXPECT_EQ(you.cells[CharacterDamageColumn].text, "2,468");
    EXPECT_EQ(you.cells[CharacterDamageColumn].number, 2468.0);
    EXPECT_TRUE(you.emphasized);
    // No attack rolls: no hit rate, rather than 0 %.
    EXPECT_EQ(you.cells[CharacterHitColumn].text, "");
    EXPECT_FALSE(you.cells[CharacterHitColumn].number);
}

// One column per configured save and "Other" last; a save never seen is
// blank and unknown to the sort, not 0.
TEST_F(Views, TargetSavesFallIntoTheirColumns)
{
    tracker.OnSave({At(0), 3, 3, 10, 7, 20, true}); // Will
    tracker.OnSave({At(0), 3, 0, 10, 4, 20, true}); // unmatched
    tracker.OnAttack({At(0), 1, 4, AttackOutcome::Hit, true, {10, 20, 30, false, 0}});
    const Roster roster = MakeRoster();
    const auto columns = TargetColumns(roster);
    std::vector<std::string> headers;
    for (const auto& column : columns)
        headers.push_back(column.header);
    EXPECT_EQ(headers,
              (std::vector<std::string>{"Name", "AC", "AB", "Fort", "Reflex", "Will", "Other",
                                        "Immunities", "Immune to", "Reductions", "Damage taken"}));
    const auto targets = TargetRows(tracker, roster);
    ASSERT_EQ(targets.size(), 2u);
    const TableRow ogre = TargetTableRow(targets[0], roster);
    ASSERT_EQ(ogre.cells.size(), columns.size());
    EXPECT_EQ(ogre.cells[TargetNameColumn].text, "Ogre");
    EXPECT_EQ(ogre.cells[TargetFirstSaveColumn].text, "");
    EXPECT_FALSE(ogre.cells[TargetFirstSaveColumn].number);
    EXPECT_EQ(ogre.cells[TargetFirstSaveColumn + 2].number, 7.0);
    EXPECT_EQ(ogre.cells[TargetFirstSaveColumn + 3].number, 4.0);
    EXPECT_FALSE(ogre.cells[TargetAcColumn].number); // no attack against it
    const TableRow goblin = TargetTableRow(targets[1], roster);
    EXPECT_EQ(goblin.cells[TargetAcColumn].number, 30.0); // hit by 30: AC at most 30
}

// Who hurt a target, most first, with DPS over the seconds it was under
// fire: in one fight, and over all of them.
TEST_F(Views, DamageTakenByAttacker)
{
    Damage(0, 1, 3, 30);   // you
    Damage(4, 2, 3, 60);   // your friend: the ogre under fire from 0 to 4 s
    Damage(4, 5, 3, 10);   // the rat
    Damage(10, 3, 1, 99);  // the ogre hits back: not damage it took
    Damage(100, 1, 3, 40); // the next fight: 1 s under fire
    const Roster roster = MakeRoster();
    const Fight& first = tracker.Fights().at(0);
    struct Case {
        DamageByAttacker damage;
        int64_t total, seconds;
        std::vector<std::string> names;
        std::vector<int64_t> amounts;
        std::vector<double> percents, dps;
    };
    const Case cases[] = {
        {DamageTakenByAttacker(*first.Find(3), roster),
         100,
         4,
         {"Friend", "You", "Rat"},
         {60, 30, 10},
         {60.0, 30.0, 10.0},
         {15.0, 7.5, 2.5}},
        {DamageTakenByAttacker(tracker, 3, roster),
         140,
         5,
         {"You", "Friend", "Rat"},
         {70, 60, 10},
         {50.0, 42.9, 7.1},
         {14.0, 12.0, 2.0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.damage.total, c.total);
        EXPECT_EQ(c.damage.seconds, c.seconds);
        std::vector<std::string> names;
        std::vector<int64_t> amounts;
        std::vector<double> percents, dps;
        for (const AttackerDamageRow& row : c.damage.rows) {
            names.push_back(row.name);
            amounts.push_back(row.damage);
            percents.push_back(row.percent);
            dps.push_back(row.dps);
        }
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(amounts, c.amounts);
        EXPECT_EQ(percents, c.percents);
        EXPECT_EQ(dps, c.dps);
    }
    const TableRow you = AttackerDamageTableRow(cases[1].damage.rows[0]);
    ASSERT_EQ(you.cells.size(), AttackerDamageColumns().size());
    EXPECT_TRUE(you.emphasized);
    EXPECT_EQ(you.cells[AttackerShareColumn].text, "50");
    EXPECT_EQ(you.cells[AttackerDpsColumn].number, 14.0);

    // The target rows carry the same, per fight and over all.
    const auto all = TargetRows(tracker, roster);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0].name, "Ogre");
    EXPECT_EQ(all[0].damage.total, 140);
    const auto inFirst = FightTargetRows(first, roster, tracker.EffectNames());
    ASSERT_FALSE(inFirst.empty());
    EXPECT_EQ(inFirst[0].damage.total, 100);
}

} // namespace
} // namespace tarvik
