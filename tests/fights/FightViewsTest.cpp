#include "fights/FightViews.h"

#include "fights/CurrentFightRule.h"
#include "fights/FightGroup.h"
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
        for (const char* name : {"You", "Friend", "Ogre", "Goblin", "Rat"})
            AddCharacter(name);
        characters.At(CharacterId(2))->SetIsPartyMember(true);
    }
    int32_t AddCharacter(const std::string& name)
    {
        auto c = std::make_unique<Character>();
        const int32_t id = characters.Count() + 1;
        c->CreateCharacter(name, CharacterId(id));
        characters.Add(name, std::move(c));
        return id;
    }
    void Damage(int second, int32_t attacker, int32_t defender, int32_t physical, int32_t fire = 0)
    {
        damage = {physical, fire, physical + fire};
        tracker.OnDamage({At(second), CharacterId(attacker), CharacterId(defender), damage,
                          (physical ? 1u : 0u) | (fire ? 2u : 0u)});
    }
    void Attack(int second, int32_t attacker, int32_t defender, AttackOutcome outcome)
    {
        tracker.OnAttack({At(second),
                          CharacterId(attacker),
                          CharacterId(defender),
                          outcome,
                          true,
                          {10, 20, 30, false, 0}});
    }
    Roster MakeRoster(int32_t user = 1) const
    {
        return {characters, CharacterId(user), damageTypes, saveTypes};
    }
    std::vector<const Fight*> All() const
    {
        std::vector<const Fight*> fights;
        for (const Fight& fight : tracker.Fights())
            fights.push_back(&fight);
        return fights;
    }
    const FightCharacterRow& RowOf(const std::vector<FightCharacterRow>& rows, int32_t id)
    {
        for (const FightCharacterRow& row : rows) {
            if (row.id == CharacterId(id))
                return row;
        }
        ADD_FAILURE() << "no row for " << id;
        return rows.front();
    }

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
    characters.At(CharacterId(2))->SetIsPartyMember(false);
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
    Damage(10, 2, 3, 95); // first fight: 0..10 s
    // While it runs: 30 by you and 125 by your side over 10 s.
    EXPECT_EQ(HudDpsText(tracker, MakeRoster(), At(12)), "DPS  you 3  /  party 12");
    EXPECT_TRUE(CurrentFightOf(tracker, At(12)).running);
    EXPECT_EQ(CurrentFightOf(tracker, At(12)).fight, &tracker.Fights().back());
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
        EXPECT_EQ(choice.fight->Index(), FightIndex(c.fightIndex)) << c.now;
        EXPECT_EQ(choice.running, c.running) << c.now;
    }
    // The HUD follows the same fight: 100 damage by you over 10 s.
    EXPECT_EQ(HudDpsText(tracker, MakeRoster(), At(200)), "DPS  you 10  /  party 10");
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
    tracker.OnAttack(
        {At(0), CharacterId(1), CharacterId(3), AttackOutcome::Hit, true, {12, 10, 22, false, 0}});
    tracker.OnAttack(
        {At(0), CharacterId(3), CharacterId(1), AttackOutcome::Miss, true, {5, 8, 13, false, 0}});
    tracker.OnSave(
        {At(60), CharacterId(4), SaveTypeIndex(3), 10, 6, 18, true}); // outside every fight
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
        tracker.OnAttack({At(second),
                          CharacterId(1),
                          CharacterId(3),
                          AttackOutcome::Hit,
                          true,
                          {10, hitTotal - 10, hitTotal, false, 0}});
        tracker.OnAttack({At(second),
                          CharacterId(1),
                          CharacterId(3),
                          AttackOutcome::Miss,
                          true,
                          {5, 15, 20, false, 0}});
        Damage(second, 1, 3, 7);
        tracker.OnAttack({At(second),
                          CharacterId(3),
                          CharacterId(1),
                          AttackOutcome::Miss,
                          true,
                          {4, 18, 22, false, 0}});
    }
    const auto& fights = tracker.Fights();
    ASSERT_FALSE(fights.empty());
    EXPECT_GE(fights.size(), FightTracker::MaxKeptFights);
    EXPECT_LT(fights.size(), total);
    EXPECT_EQ(static_cast<size_t>(tracker.DroppedFights()) + fights.size(), total);
    EXPECT_EQ(fights.front().Index(), FightIndex(tracker.DroppedFights()));
    EXPECT_EQ(fights.back().Index(), FightIndex::FromSlot(total - 1));
    EXPECT_EQ(tracker.FightByIndex(FightIndex(tracker.DroppedFights() - 1)), nullptr);
    EXPECT_EQ(tracker.FightByIndex(fights.back().Index()), &fights.back());
    // Reused memory holds nothing of the fight it came from.
    const FightCharacter& ogre = *fights.back().Find(CharacterId(3));
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
    EXPECT_EQ(DamageTakenByAttacker(tracker, CharacterId(3), MakeRoster()).total,
              rows[0].damage.total);

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
    tracker.OnKill({At(2), CharacterId(3), CharacterId(1)});
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
    tracker.OnSave({At(0), CharacterId(3), SaveTypeIndex(3), 10, 7, 20, true}); // Will
    tracker.OnSave({At(0), CharacterId(3), SaveTypeIndex(0), 10, 4, 20, true}); // unmatched
    tracker.OnAttack(
        {At(0), CharacterId(1), CharacterId(4), AttackOutcome::Hit, true, {10, 20, 30, false, 0}});
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
        {DamageTakenByAttacker(*first.Find(CharacterId(3)), roster),
         100,
         4,
         {"Friend", "You", "Rat"},
         {60, 30, 10},
         {60.0, 30.0, 10.0},
         {15.0, 7.5, 2.5}},
        {DamageTakenByAttacker(tracker, CharacterId(3), roster),
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

// Several fights as one, the chat line, a character's breakdown and the
// chart's extra marks, from a tracker fed by hand.
TEST_F(Views, MergedFightsAddUpAndRateOverTheirDurations)
{
    Damage(0, 1, 3, 30); // fight 1: 10 s
    Damage(10, 1, 3, 20);
    Damage(1000, 2, 4, 40); // fight 2: 4 s, long after
    Damage(1002, 4, 2, 8);
    Damage(1004, 1, 4, 10);
    ASSERT_EQ(tracker.Fights().size(), 2u);
    const Roster roster = MakeRoster();
    const std::vector<const Fight*> both = All();

    const FightGroupSummary group = SummarizeFights(both, roster);
    EXPECT_EQ(group.name, "2 fights");
    EXPECT_EQ(group.seconds, 14); // the quiet time between them does not count
    EXPECT_EQ(group.summary.yourDamage, 60);
    EXPECT_EQ(group.summary.partyDamage, 100);
    EXPECT_EQ(group.summary.damageTakenBySide, 8);
    EXPECT_DOUBLE_EQ(group.summary.partyDps, 100.0 / 14);

    const std::vector<FightCharacterRow> rows = FightCharacterRows(both, roster);
    std::vector<int32_t> order;
    for (const FightCharacterRow& row : rows)
        order.push_back(row.id.value());
    EXPECT_EQ(order, (std::vector<int32_t>{1, 3, 2, 4})); // as they first joined
    const FightCharacterRow& you = RowOf(rows, 1);
    EXPECT_EQ(you.damageDealt, 60);
    EXPECT_EQ(you.blows, 3);
    EXPECT_EQ(you.largestBlow, 30);
    EXPECT_DOUBLE_EQ(you.dps, 60.0 / 14);
    // 10 s in the first fight, one second (at least) in the second.
    EXPECT_DOUBLE_EQ(you.activeDps, 60.0 / 11);
    const FightCharacterRow& ogre = RowOf(rows, 3);
    EXPECT_EQ(ogre.damageTaken, 50);
    EXPECT_EQ(ogre.damageFrom,
              (std::vector<std::pair<CharacterId, int64_t>>{{CharacterId(1), 50}}));

    // One fight reads as itself.
    const std::vector<const Fight*> second = {both[1]};
    const FightGroupSummary one = SummarizeFights(second, roster);
    EXPECT_EQ(one.name, "Goblin");
    EXPECT_EQ(one.seconds, 4);
    EXPECT_EQ(FightCharacterRows(second, roster).size(), 3u);
}

TEST_F(Views, ChatLineMostDpsFirstWithShares)
{
    Damage(0, 1, 3, 60);
    Damage(1, 2, 3, 40);
    Damage(2, 3, 1, 5);
    struct Case {
        const char* what;
        int32_t user;
        bool friendInParty;
        std::string line;
    };
    const Case cases[] = {
        {"your side", 1, true, "Ogre 2 s | You 30 (60%) | Friend 20 (40%)"},
        // Without marks nobody is on your side: every damage dealer counts,
        // and the fight's name counts you among the opponents.
        {"no side", 0, false, "Ogre (+1) 2 s | You 30 (57%) | Friend 20 (38%) | Ogre 2.5 (5%)"},
    };
    for (const Case& c : cases) {
        characters.At(CharacterId(2))->SetIsPartyMember(c.friendInParty);
        const Roster roster = MakeRoster(c.user);
        const std::vector<const Fight*> fights = All();
        EXPECT_EQ(ChatSummaryLine(SummarizeFights(fights, roster),
                                  FightCharacterRows(fights, roster), roster),
                  c.line)
            << c.what;
    }
}

TEST_F(Views, ChatLineStaysWithinTheLimitAndKeepsNamesWhole)
{
    std::vector<int32_t> raid;
    for (int i = 0; i < 12; ++i) {
        const int32_t id = AddCharacter("Raider with a rather long name " + std::to_string(i));
        characters.At(CharacterId(id))->SetIsPartyMember(true);
        raid.push_back(id);
    }
    for (int i = 0; i < 12; ++i)
        Damage(i % 3, raid[static_cast<size_t>(i)], 3, 100 + i);
    const Roster roster = MakeRoster();
    const std::vector<const Fight*> fights = All();
    const std::string line = ChatSummaryLine(SummarizeFights(fights, roster),
                                             FightCharacterRows(fights, roster), roster);
    EXPECT_LE(line.size(), ChatLineLimit);
    // The strongest first; every name listed is whole.
    EXPECT_EQ(line.rfind("Ogre 2 s | Raider with a rather long name 11 ", 0), 0u) << line;
    size_t parts = 0;
    for (size_t at = line.find(" | "); at != std::string::npos; at = line.find(" | ", at + 1))
        ++parts;
    EXPECT_EQ(parts, 4u) << line; // each part is about 45 characters
    EXPECT_EQ(line.back(), ')');
}

TEST_F(Views, BreakdownOfOneCharacter)
{
    Attack(0, 1, 3, AttackOutcome::Hit);
    Attack(0, 1, 3, AttackOutcome::CriticalHit);
    Attack(1, 1, 3, AttackOutcome::Miss);
    Attack(1, 1, 3, AttackOutcome::Miss);
    Damage(0, 1, 3, 10);
    Damage(0, 1, 3, 20, 6); // the critical hit
    Damage(2, 1, 3, 0, 4);  // a spell
    Damage(3, 2, 3, 60);
    Damage(3, 3, 1, 9);
    Damage(4, 4, 1, 3);
    const Roster roster = MakeRoster();
    const std::vector<FightCharacterRow> rows = FightCharacterRows(All(), roster);
    const std::optional<CharacterBreakdown> b = BreakdownOf(rows, CharacterId(1), roster);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->attacks, 4);
    EXPECT_EQ(b->hits, 2);
    EXPECT_DOUBLE_EQ(b->hitPercent, 50);
    EXPECT_EQ(b->criticalHits, 1);
    EXPECT_DOUBLE_EQ(b->critPercent, 50);
    EXPECT_EQ(b->blows, 3);
    EXPECT_EQ(b->largestBlow, 26);
    EXPECT_DOUBLE_EQ(b->averageBlow, 13.3); // 40 over 3 blows
    EXPECT_DOUBLE_EQ(b->sideShare, 40);     // of the 100 your side dealt
    ASSERT_EQ(b->dealtByType.size(), 2u);
    EXPECT_EQ(b->dealtByType[0].damageType, "Physical");
    EXPECT_EQ(b->dealtByType[0].amount, 30);
    EXPECT_EQ(b->dealtByType[1].amount, 10);
    EXPECT_EQ(b->damageTaken, 12);
    ASSERT_EQ(b->takenBy.rows.size(), 2u);
    EXPECT_EQ(b->takenBy.rows[0].name, "Ogre");
    EXPECT_DOUBLE_EQ(b->takenBy.rows[0].percent, 75);
    EXPECT_EQ(b->takenBy.rows[1].name, "Goblin");
    // Taken from second 3 to 4: one second.
    EXPECT_EQ(b->takenBy.seconds, 1);
    EXPECT_DOUBLE_EQ(b->takenBy.rows[0].dps, 9);
    EXPECT_DOUBLE_EQ(b->takenBy.rows[1].dps, 3);

    // The ogre's side is everyone not on yours: it dealt all of that.
    const std::optional<CharacterBreakdown> ogre = BreakdownOf(rows, CharacterId(3), roster);
    ASSERT_TRUE(ogre);
    EXPECT_DOUBLE_EQ(ogre->sideShare, 75);
    EXPECT_DOUBLE_EQ(ogre->critPercent, 0); // no hits: no share, no division by zero
    EXPECT_FALSE(BreakdownOf(rows, CharacterId(99), roster));

    const std::vector<BreakdownLine> lines = BreakdownLines(*b);
    auto value = [&](const std::string& label) {
        for (const BreakdownLine& line : lines) {
            if (line.label == label)
                return line.value;
        }
        return std::string("missing");
    };
    EXPECT_EQ(value("Hits"), "2 (50%)");
    EXPECT_EQ(value("Critical hits"), "1 (50%)");
    EXPECT_EQ(value("Average hit"), "13.3");
    EXPECT_EQ(value("Damage"), "40 (40% of its side)");
    EXPECT_EQ(value("Fire"), "10");
    EXPECT_EQ(value("Ogre"), "9 (75%), 9 DPS");
}

TEST_F(Views, ChartMarksDeathsAndLeavesOutARepeatedTakenLine)
{
    struct Case {
        const char* what;
        bool secondOpponent;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        // The ogre hurt only your side: its line is what your side took.
        {"one opponent", false, {"You", "Ogre"}},
        {"two opponents", true, {"You", "Ogre", "Goblin", "Damage taken"}},
    };
    for (const Case& c : cases) {
        tracker.Clear();
        Damage(100, 1, 3, 10);
        Damage(101, 3, 1, 30);
        if (c.secondOpponent)
            Damage(102, 4, 1, 5);
        tracker.OnKill({At(105), CharacterId(3), CharacterId(1)});
        const DpsChart chart = BuildDpsChart(tracker.Fights().at(0), MakeRoster());
        std::vector<std::string> labels;
        for (const ChartLine& line : chart.lines)
            labels.push_back(line.label);
        EXPECT_EQ(labels, c.labels) << c.what;
        EXPECT_EQ(chart.seconds, 5) << c.what;
        ASSERT_EQ(chart.deaths.size(), 1u) << c.what;
        EXPECT_EQ(chart.deaths[0].seconds, 5);
        EXPECT_EQ(chart.deaths[0].text, "You killed by Ogre");
    }
    // The time axis ends with the fight; its ticks fall on round seconds.
    const std::pair<double, double> steps[] = {{212, 50}, {42, 10}, {5, 1}, {0, 1}, {3600, 500}};
    for (const auto& [span, step] : steps)
        EXPECT_EQ(NiceTickStep(span, 8), step) << span;
    EXPECT_EQ(ChartPointText("You", 45.2, 64.24), "You: 64.2 DPS at 45 s");
    EXPECT_EQ(ChartPointText("Party", 65, 10), "Party: 10 DPS at 1:05");
}

} // namespace
} // namespace tarvik
