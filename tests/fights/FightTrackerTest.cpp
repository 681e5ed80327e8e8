#include "fights/FightTracker.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

// Physical, Fire, Total.
constexpr int DamageTypeCount = 3;

DateTime At(int hour, int minute, int second, int day = 3)
{
    return DateTime::FromCivil(2026, 7, day, hour, minute, second);
}

class Tracker : public ::testing::Test {
protected:
    // A character named by a number or by its ID.
    struct Who {
        Who(int32_t value)
            : id(value)
        {
        }
        Who(CharacterId character)
            : id(character)
        {
        }
        CharacterId id;
    };
    void Damage(DateTime when, Who attacker, Who defender, int32_t physical, int32_t fire = 0)
    {
        damage = {physical, fire, physical + fire};
        uint64_t named = 0;
        if (physical)
            named |= 1;
        if (fire)
            named |= 2;
        tracker.OnDamage({when, attacker.id, defender.id, damage, named});
    }
    void Attack(DateTime when, Who attacker, Who defender, AttackOutcome outcome, int32_t roll,
                int32_t bonus)
    {
        tracker.OnAttack({when, attacker.id, defender.id, outcome, true,
                          AttackRoll{roll, bonus, roll + bonus, false, 0}});
    }
    std::vector<int64_t> Starts() const
    {
        std::vector<int64_t> starts;
        for (const Fight& fight : tracker.Fights())
            starts.push_back(fight.StartSecond() - SecondOf(At(20, 0, 0)));
        return starts;
    }

    // The character's target statistics in the first fight; a failure
    // when it has none.
    const TargetStats& StatsOf(CharacterId id)
    {
        const FightCharacter* c = tracker.Fights().at(0).Find(id);
        if (!c || !c->Target()) {
            ADD_FAILURE() << "no target statistics for " << id.value();
            return none;
        }
        return *c->Target();
    }

    FightTracker tracker{DamageTypeCount, 15};
    std::vector<int32_t> damage;
    const TargetStats none;
};

TEST_F(Tracker, QuietGapOfAtLeastTheLimitStartsAFight)
{
    // Seconds after 20:00:00 of each combat event, and the fights' starts.
    struct Case {
        std::vector<int> seconds;
        std::vector<int64_t> starts;
    };
    const Case cases[] = {
        {{0, 14}, {0}},                 // one second short of the gap
        {{0, 15}, {0, 15}},             // exactly the gap
        {{0, 0, 0}, {0}},               // the same second
        {{0, 10, 20, 30}, {0}},         // each within the gap of the one before
        {{0, 40, 41, 60}, {0, 40, 60}}, // 41 to 60 is 19 s
        {{30, 25, 0}, {30, 0}},         // backwards in time, up to the gap, stays
    };
    for (const Case& c : cases) {
        tracker.Clear();
        for (const int s : c.seconds)
            Attack(At(20, 0, 0).AddSeconds(s), 1, 2, AttackOutcome::Hit, 10, 5);
        EXPECT_EQ(Starts(), c.starts) << ::testing::PrintToString(c.seconds);
    }
}

TEST_F(Tracker, SameSecondStaysTogetherWithTheShortestGap)
{
    FightTracker shortest(DamageTypeCount, 0); // raised to 1 s
    EXPECT_EQ(shortest.GapSeconds(), MinFightGapSeconds);
    for (int i = 0; i < 3; ++i)
        shortest.OnKill({At(20, 0, 0), CharacterId(1), CharacterId(2 + i)});
    shortest.OnKill({At(20, 0, 1), CharacterId(1), CharacterId(9)});
    ASSERT_EQ(shortest.Fights().size(), 2u);
    EXPECT_EQ(shortest.Fights()[0].Characters().size(), 4u);
    EXPECT_EQ(shortest.Fights()[0].DurationSeconds(), 1); // at least 1 s
}

TEST_F(Tracker, RunningUntilTheGapHasPassed)
{
    EXPECT_EQ(tracker.RunningFight(At(20, 0, 0)), nullptr);
    Attack(At(20, 0, 0), 1, 2, AttackOutcome::Miss, 3, 5);
    Attack(At(20, 0, 10), 1, 2, AttackOutcome::Miss, 3, 5);
    EXPECT_EQ(tracker.RunningFight(At(20, 0, 24)), &tracker.Fights()[0]);
    EXPECT_EQ(tracker.RunningFight(At(20, 0, 25)), nullptr);
    Attack(At(20, 1, 0), 1, 2, AttackOutcome::Miss, 3, 5);
    EXPECT_FALSE(tracker.IsRunning(tracker.Fights()[0], At(20, 1, 0)));
    EXPECT_TRUE(tracker.IsRunning(tracker.Fights()[1], At(20, 1, 0)));
}

TEST_F(Tracker, EveryDeathKeepsTheVictimsEventsOfTheWindowOldestFirst)
{
    const CharacterId you(1), ogre(2), other(3);
    ASSERT_EQ(tracker.RecapSeconds(), DefaultRecapSeconds);
    tracker.OnHealing({At(20, 0, 0), you, 50}); // 16 s before: outside the window
    tracker.OnSave({At(20, 0, 1), you, SaveTypeIndex(2), 15, 9, 17, true});
    for (int i = 0; i < 12; ++i)
        Damage(At(20, 0, 2 + i), ogre, you, i + 1, i % 2);
    Damage(At(20, 0, 14), you, ogre, 99); // dealt, not taken: not in the recap
    tracker.OnHealing({At(20, 0, 15), other, 5});
    tracker.OnAbsorb({At(20, 0, 16), you, 4, DamageTypeIndex::None()});
    tracker.OnKill({At(20, 0, 16), ogre, you});
    tracker.OnKill({At(20, 0, 16), you, other}); // every death is kept

    const auto& deaths = tracker.Fights().at(0).Deaths();
    ASSERT_EQ(deaths.size(), 2u);
    const DeathRecap& recap = deaths[0];
    EXPECT_EQ(recap.victim, you);
    EXPECT_EQ(recap.killer, ogre);
    // The save at 1 s (15 s before), twelve blows and the absorb.
    const std::vector<RecapEvent> events = recap.events.Unpack();
    ASSERT_EQ(events.size(), 14u);
    EXPECT_EQ(events.front().kind, RecapKind::Save);
    EXPECT_EQ(events.front().amount, 24);
    EXPECT_EQ(events.back().kind, RecapKind::Absorb);
    for (size_t i = 1; i + 1 < events.size(); ++i) {
        const RecapEvent& event = events[i];
        EXPECT_EQ(event.kind, RecapKind::Damage);
        EXPECT_EQ(event.source, ogre);
        EXPECT_EQ(event.amount, static_cast<int32_t>(i + (i - 1) % 2));
    }
    ASSERT_EQ(deaths[1].victim, other);
    ASSERT_EQ(deaths[1].events.Size(), 1u);
    EXPECT_EQ(deaths[1].events.Unpack()[0].kind, RecapKind::Healing);

    // A long run of events keeps the newest.
    tracker.Clear();
    for (int i = 0; i < 400; ++i)
        tracker.OnHealing({At(20, 0, 0).AddSeconds(i / 40), you, i});
    tracker.OnKill({At(20, 0, 10), ogre, you});
    const std::vector<RecapEvent> full = tracker.Fights().at(0).Deaths().at(0).events.Unpack();
    ASSERT_EQ(full.size(), DeathRecap::MaxEvents);
    EXPECT_EQ(full.back().amount, 399);
    EXPECT_EQ(full.front().amount, static_cast<int32_t>(400 - DeathRecap::MaxEvents));
}

TEST_F(Tracker, FightsReadOutOfOrderAreOrderedAndACutFightJoined)
{
    // Three logs read newest first: 21:00, then 20:00 (whose fight a file
    // boundary cut: it goes on at 20:00:40 in the log read last), then 19:00.
    Damage(At(21, 0, 0), 1, 2, 10);
    Damage(At(20, 0, 30), 1, 3, 5);
    tracker.OnKill({At(20, 0, 31), CharacterId(3), CharacterId(1)});
    Damage(At(19, 0, 0), 1, 4, 7);
    Damage(At(20, 0, 40), 3, 1, 9, 2);
    Attack(At(20, 0, 41), 1, 3, AttackOutcome::Hit, 12, 8);
    tracker.OrderByDate();

    ASSERT_EQ(Starts(), (std::vector<int64_t>{-3600, 30, 3600}));
    for (size_t f = 0; f < tracker.Fights().size(); ++f)
        EXPECT_EQ(tracker.Fights()[f].Index(), FightIndex::FromSlot(f));
    const Fight& joined = tracker.Fights()[1];
    EXPECT_EQ(joined.DurationSeconds(), 11);
    const FightCharacter& hero = *joined.Find(CharacterId(1));
    EXPECT_EQ(hero.damageDealt, 5);
    EXPECT_EQ(hero.damageTaken, 11);
    EXPECT_EQ(hero.deaths, 1);
    EXPECT_EQ(hero.attacks, 1);
    const FightCharacter& foe = *joined.Find(CharacterId(3));
    EXPECT_EQ(foe.DamageFrom(CharacterId(1)), 5);
    EXPECT_EQ(hero.DamageFrom(CharacterId(3)), 11);
    EXPECT_EQ(hero.takenByType, (std::vector<int64_t>{9, 2}));
    // The hero took damage only in the half read first: one second of it.
    EXPECT_EQ(hero.TakenSeconds(), 1);
    EXPECT_EQ(hero.firstTakenSecond, SecondOf(At(20, 0, 40)));
    // Series at 0 and 10 s into the joined fight.
    EXPECT_EQ(foe.series.dealt.At(10), 11);
    EXPECT_EQ(hero.series.dealt.At(0), 5);
    // Who attacked whom survives the join.
    const auto slotOfFoe = static_cast<size_t>(&foe - joined.Characters().data());
    EXPECT_TRUE(hero.Attacked(slotOfFoe));
    ASSERT_EQ(joined.Deaths().size(), 1u);

    // The newest fight goes on with the next event.
    Damage(At(21, 0, 5), 2, 1, 1);
    EXPECT_EQ(tracker.Fights().size(), 3u);
    EXPECT_EQ(tracker.Fights().back().Find(CharacterId(2))->damageDealt, 1);

    // In order already: nothing moves.
    tracker.OrderByDate();
    EXPECT_EQ(Starts(), (std::vector<int64_t>{-3600, 30, 3600}));
}

TEST_F(Tracker, AJoinedFightKeepsTheBlowsOfBothParts)
{
    // 20:00:30 and 20:00:40 are one fight, cut by the 19:00 log read between.
    Damage(At(20, 0, 30), 1, 3, 5);
    Damage(At(19, 0, 0), 1, 4, 7);
    Damage(At(20, 0, 40), 1, 3, 12, 8);
    tracker.OrderByDate();

    ASSERT_EQ(Starts(), (std::vector<int64_t>{-3600, 30}));
    const FightCharacter& hero = *tracker.Fights()[1].Find(CharacterId(1));
    EXPECT_EQ(hero.blows, 2);
    EXPECT_EQ(hero.largestBlow, 20);
    EXPECT_EQ(hero.damageDealt, 25);
}

// One line of a second in which absorbs and damage lines meet.
struct PairingLine {
    enum Kind { Damage, Immunity, Untyped, NextSecond } kind;
    int32_t attacker = 0;
    int32_t physical = 0; // damage; immunity: the amount; untyped: the amount
    int32_t fire = -1;    // damage: -1 when the line names no fire; immunity: 1 for fire
};

TEST_F(Tracker, ImmunityAbsorbsPairWithTheDamageLineAboveOrBelow)
{
    using L = PairingLine;
    const CharacterId warden(2);
    // Lines, and what each type's immunity reads afterwards. A 25% immunity
    // absorbs 25 of 100, 50 of 200; a 10% one 10 of 100.
    struct Case {
        const char* what;
        std::vector<PairingLine> lines;
        const char* physical;
        const char* fire;
    };
    const Case cases[] = {
        {"an absorb above a one-type line belongs to it",
         {{L::Immunity, 0, 25, 1}, {L::Damage, 1, -1, 75}},
         "",
         "25% (1 hit)"},
        {"an absorb below a weapon hit belongs to it",
         {{L::Damage, 1, 150, 75}, {L::Immunity, 0, 25, 1}},
         "",
         "25% (1 hit)"},
        {"both shapes in one second",
         {{L::Immunity, 0, 25, 1},
          {L::Damage, 1, -1, 75},
          {L::Damage, 1, 90, 150},
          {L::Immunity, 0, 10, 0},
          {L::Immunity, 0, 50, 1}},
         "10% (1 hit)",
         "25% (2 hits)"},
        {"the weapon's absorbs, then the next one-type line's",
         {{L::Damage, 1, 90, -1},
          {L::Immunity, 0, 10, 0},
          {L::Immunity, 0, 50, 1},
          {L::Damage, 1, -1, 150}},
         "10% (1 hit)",
         "25% (1 hit)"},
        {"resistance and reduction of the same hit are added back",
         // 100 physical: 25 immune, 10 reduced; 40 fire: 5 resisted.
         {{L::Damage, 1, 65, 35},
          {L::Immunity, 0, 25, 0},
          {L::Untyped, 0, 10},
          {L::Untyped, 0, 5},
          {L::NextSecond},
          // 100 physical of a line alone: 25 immune.
          {L::Damage, 1, 75, -1},
          {L::Immunity, 0, 25, 0}},
         "25% (2 hits)",
         ""},
        {"a one-type line's resistance all belongs to its type",
         // 100 fire: 25 immune, 20 resisted; then a weapon hit below.
         {{L::Immunity, 0, 25, 1}, {L::Untyped, 0, 20}, {L::Damage, 1, -1, 55}},
         "",
         "25% (1 hit)"},
        {"the clock moved on: the absorb pairs with nothing",
         {{L::Damage, 1, -1, 75}, {L::NextSecond}, {L::Immunity, 0, 25, 1}},
         "",
         "?"},
        {"two absorbs of a type and one line for them: none is paired",
         {{L::Damage, 1, -1, 75}, {L::Immunity, 0, 25, 1}, {L::Immunity, 0, 25, 1}},
         "",
         "?"},
        {"all of a type absorbed: the line names it with 0",
         {{L::Damage, 1, 20, 0}, {L::Immunity, 0, 75, 1}},
         "",
         "100% (1 hit)"},
    };
    for (const Case& c : cases) {
        tracker.Clear();
        int second = 0;
        for (const PairingLine& line : c.lines) {
            const DateTime when = At(20, 0, second);
            switch (line.kind) {
            case L::Damage: {
                const int32_t fire = std::max(line.fire, 0);
                const int32_t physical = std::max(line.physical, 0);
                damage = {physical, fire, physical + fire};
                const uint64_t named = (line.physical >= 0 ? 1u : 0u) | (line.fire >= 0 ? 2u : 0u);
                tracker.OnDamage({when, CharacterId(line.attacker), warden, damage, named});
                break;
            }
            case L::Immunity:
                tracker.OnAbsorb({when, warden, line.physical, DamageTypeIndex(line.fire)});
                break;
            case L::Untyped:
                tracker.OnAbsorb({when, warden, line.physical, DamageTypeIndex::None()});
                break;
            case L::NextSecond:
                ++second;
                break;
            }
        }
        tracker.Settle();
        const auto& immunities = StatsOf(warden).immunities;
        auto text = [&](size_t type) {
            return type < immunities.size() &&
                           (immunities[type].absorbs > 0 || immunities[type].Pairs() > 0)
                       ? ImmunityText(immunities[type])
                       : std::string();
        };
        EXPECT_EQ(text(0), c.physical) << c.what;
        EXPECT_EQ(text(1), c.fire) << c.what;
    }
}

TEST_F(Tracker, AbsorbsWaitForTheLineBelowUntilTheNextSecond)
{
    // A read may end between an absorb and the one-type line below it: the
    // absorb waits here, not in the reader.
    const CharacterId warden(2);
    tracker.OnAbsorb({At(20, 0, 0), warden, 25, DamageTypeIndex(1)});
    ASSERT_EQ(tracker.Fights().size(), 0u);
    Damage(At(20, 0, 0), 1, warden, 0, 75);
    const TargetStats* stats = &StatsOf(warden);
    ASSERT_GE(stats->immunities.size(), 2u);
    EXPECT_EQ(ImmunityText(stats->immunities[1]), "25% (1 hit)");
    // An absorb below the line may still belong to a line to come in this
    // second; it is paired once another second begins.
    tracker.OnAbsorb({At(20, 0, 0), warden, 50, DamageTypeIndex(1)});
    EXPECT_EQ(stats->immunities[1].Pairs(), 1);
    Attack(At(20, 0, 1), 1, warden, AttackOutcome::Miss, 3, 5);
    stats = &StatsOf(warden);
    EXPECT_EQ(stats->immunities[1].Pairs(), 2);                            // 50 of 125: 40%
    EXPECT_EQ(ImmunityText(stats->immunities[1]), "25-40% (1 of 2 hits)"); // one each
}

TEST_F(Tracker, AttackersWhoseHitsTellApartAreKeptApart)
{
    // A slashing weapon meets 50% physical immunity, a blunt one 25%.
    const CharacterId golem(3);
    for (int i = 0; i < 4; ++i) {
        Damage(At(20, 0, 2 * i), 1, golem, 100);
        tracker.OnAbsorb({At(20, 0, 2 * i), golem, 100, DamageTypeIndex(0)});
        Damage(At(20, 0, 2 * i + 1), 2, golem, 150);
        tracker.OnAbsorb({At(20, 0, 2 * i + 1), golem, 50, DamageTypeIndex(0)});
    }
    tracker.Settle();
    const ImmunityEvidence& physical = StatsOf(golem).immunities.at(0);
    ASSERT_EQ(physical.byAttacker.size(), 2u);
    EXPECT_EQ(physical.byAttacker[0].first, CharacterId(1));
    EXPECT_EQ(PercentText(physical.byAttacker[0].second), "50%");
    EXPECT_EQ(PercentText(physical.byAttacker[1].second), "25%");
    EXPECT_EQ(ImmunityText(physical), "25-50% (4 of 8 hits)");
}

TEST_F(Tracker, EvadedHitsAndTouchAttacksStayOutOfTheArmourClass)
{
    const CharacterId you(1), boss(2);
    auto attack = [&](AttackOutcome outcome, int32_t roll, bool threat, bool touch = false) {
        AttackEvent event{At(20, 0, 0), you,
                          boss,         outcome,
                          true,         AttackRoll{roll, 40, roll + 40, threat, threat ? 10 : 0}};
        event.touch = touch;
        tracker.OnAttack(event);
    };
    attack(AttackOutcome::Hit, 10, false);       // 50 hits
    attack(AttackOutcome::Miss, 8, false);       // 48 misses
    attack(AttackOutcome::Miss, 19, true);       // 59 hit, evaded
    attack(AttackOutcome::Miss, 20, true);       // 60 hit, evaded
    attack(AttackOutcome::Hit, 12, false, true); // touch: 52 hits
    attack(AttackOutcome::Miss, 1, false, true); // a natural 1 tells nothing
    attack(AttackOutcome::Miss, 5, false, true); // touch: 45 misses
    const TargetStats& stats = StatsOf(boss);
    EXPECT_EQ(AcText(stats.ac), "49-50");
    EXPECT_EQ(stats.evaded, 2);
    EXPECT_EQ(AcText(stats.touchAc), "46-52");
}

TEST_F(Tracker, LadderOfOrdinaryAttacksPerHand)
{
    const CharacterId ogre(1), you(2);
    auto attack = [&](int32_t bonus, bool offHand, bool special = false, bool touch = false) {
        AttackEvent event{At(20, 0, 0),       ogre, you,
                          AttackOutcome::Hit, true, AttackRoll{10, bonus, 10 + bonus, false, 0}};
        event.offHand = offHand;
        event.special = special;
        event.touch = touch;
        tracker.OnAttack(event);
    };
    for (const int32_t bonus : {40, 35, 30})
        attack(bonus, false);
    for (const int32_t bonus : {38, 33})
        attack(bonus, true);
    attack(44, false, true); // a special attack's own bonus is no step
    attack(45, false, false, true);
    const TargetStats& stats = StatsOf(ogre);
    EXPECT_EQ(stats.MainLadder()->Text(), "40 / 35 / 30");
    EXPECT_EQ(stats.OffLadder()->Text(), "38 / 33");
    EXPECT_EQ(stats.ab.Rolls(), 7); // every roll with a bonus
}

TEST_F(Tracker, SpecialImmunitiesAndSpellResultsByName)
{
    const CharacterId elemental(4), you(1);
    Damage(At(20, 0, 0), you, elemental, 10);
    tracker.OnSpecialImmunity({At(20, 0, 1), elemental, "Critical Hits"});
    tracker.OnSpecialImmunity({At(20, 0, 2), elemental, "Sneak Attacks"});
    tracker.OnSpecialImmunity({At(20, 0, 3), elemental, "Critical Hits"});
    tracker.OnSpellResist({At(20, 0, 4), you, "Hammer of the Gods", "IMMUNE"});
    tracker.OnSpellResist({At(20, 0, 5), you, "Hammer of the Gods", "IMMUNE"});
    tracker.OnSpellResist({At(20, 0, 6), you, "Implosion", "FAILED"});
    const NameTable& names = tracker.EffectNames();
    const TargetStats& stats = StatsOf(elemental);
    ASSERT_EQ(stats.specialImmunities.size(), 2u);
    EXPECT_EQ(names.Name(stats.specialImmunities[0].name), "Critical Hits");
    EXPECT_EQ(stats.specialImmunities[0].count, 2);
    EXPECT_EQ(names.Name(stats.specialImmunities[1].name), "Sneak Attacks");
    const TargetStats& yours = StatsOf(you);
    ASSERT_EQ(yours.spellResults.size(), 2u);
    EXPECT_EQ(names.Name(yours.spellResults[0].spell), "Hammer of the Gods");
    EXPECT_EQ(names.Name(yours.spellResults[0].result), "IMMUNE");
    EXPECT_EQ(yours.spellResults[0].count, 2);
    EXPECT_EQ(names.Name(yours.spellResults[1].result), "FAILED");
}

TEST_F(Tracker, ClearForgetsEverything)
{
    Damage(At(20, 0, 0), 1, 2, 10);
    tracker.OnSave(
        {At(21, 0, 0), CharacterId(2), SaveTypeIndex(1), 1, 5, 10}); // outside every fight
    ASSERT_NE(tracker.OutsideFights(CharacterId(2)), nullptr);
    tracker.Clear();
    EXPECT_TRUE(tracker.Fights().empty());
    EXPECT_EQ(tracker.OutsideFights(CharacterId(2)), nullptr);
    Damage(At(20, 0, 1), 1, 2, 10);
    EXPECT_EQ(tracker.Fights().at(0).Index(), FightIndex(0));
    EXPECT_EQ(tracker.Fights().at(0).Find(CharacterId(1))->damageDealt, 10);
}

// A series keeps its buckets from its first damage on; merged into buckets
// twice as wide, bucket b goes to b / 2.
TEST(BucketSeriesTest, KeepsBucketsFromTheFirstDamageAndMergesPairs)
{
    struct Add {
        size_t bucket;
        int32_t amount;
    };
    struct Case {
        const char* what;
        std::vector<Add> adds;
        int merges;
        size_t first;
        std::vector<std::pair<size_t, int32_t>> expected; // bucket, sum
    };
    const Case cases[] = {
        {"late start", {{3000, 5}, {3002, 7}}, 0, 3000, {{2999, 0}, {3000, 5}, {3002, 7}}},
        {"earlier bucket", {{5, 3}, {7, 2}, {3, 1}}, 0, 3, {{3, 1}, {5, 3}, {7, 2}}},
        {"merged once", {{5, 3}, {7, 2}, {3, 1}}, 1, 1, {{1, 1}, {2, 3}, {3, 2}}},
        {"odd first", {{3, 1}, {4, 2}}, 1, 1, {{1, 1}, {2, 2}}},
        {"even first", {{4, 1}, {5, 2}, {6, 4}}, 1, 2, {{2, 3}, {3, 4}}},
        {"merged twice", {{4, 1}, {5, 2}, {6, 4}, {9, 8}}, 2, 1, {{1, 7}, {2, 8}}},
        {"stops at the limit", {{8, INT32_MAX}, {8, 1}, {9, 1}}, 1, 4, {{4, INT32_MAX}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BucketSeries series;
        for (const Add& add : c.adds)
            series.Add(add.bucket, add.amount);
        for (int m = 0; m < c.merges; ++m)
            series.MergePairs();
        EXPECT_EQ(series.First(), c.first);
        for (const auto& [bucket, sum] : c.expected)
            EXPECT_EQ(series.At(bucket), sum) << "bucket " << bucket;
    }
}

// A long fight widens its buckets; a character that joins late holds only
// the buckets from its first blow, and damage is neither lost nor moved.
TEST_F(Tracker, LateJoinerOfALongFightKeepsItsOwnBuckets)
{
    for (int s = 0; s <= 7200; s += 10)
        Damage(At(20, 0, 0).AddSeconds(s), 1, 2, 1);
    Damage(At(22, 0, 0), 3, 2, 40); // 7200 s in
    Damage(At(22, 0, 0), 3, 2, 2);
    ASSERT_EQ(tracker.Fights().size(), 1u);
    const Fight& fight = tracker.Fights()[0];
    // Second 7200 lies in the last of at most 3600 points: 4 s a point.
    EXPECT_EQ(fight.BucketSeconds(), 4);
    const FightCharacter* late = fight.Find(CharacterId(3));
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->series.dealt.First(), 1800u);
    EXPECT_LE(late->series.dealt.Values().size(), Fight::MaxSeriesPoints - 1800);
    EXPECT_EQ(late->series.dealt.At(1800), 42);
    const FightCharacter* first = fight.Find(CharacterId(1));
    int64_t dealt = 0;
    for (const int32_t bucket : first->series.dealt.Values())
        dealt += bucket;
    EXPECT_EQ(dealt, 721);
    EXPECT_EQ(first->series.dealt.At(0), 1);    // seconds 0 to 3
    EXPECT_EQ(first->series.dealt.At(5), 1);    // seconds 20 to 23
    EXPECT_EQ(first->series.dealt.At(6), 0);    // seconds 24 to 27
    EXPECT_EQ(first->series.dealt.At(1800), 1); // seconds 7200 to 7203
}

// Many attackers against one defender, and attacks against many defenders:
// each is counted once, in the order first met, whatever the count.
TEST_F(Tracker, ManyOpponentsInOneFight)
{
    for (int round = 0; round < 3; ++round) {
        for (int32_t attacker = 10; attacker < 40; ++attacker)
            Damage(At(20, 0, round), attacker, 2, attacker);
    }
    for (int32_t defender = 100; defender < 300; defender += 2)
        Attack(At(20, 0, 3), 2, defender, AttackOutcome::Miss, 5, 5);
    const Fight& fight = tracker.Fights().at(0);
    const FightCharacter* target = fight.Find(CharacterId(2));
    ASSERT_NE(target, nullptr);
    ASSERT_EQ(target->damageFrom.size(), 30u);
    for (int32_t attacker = 10; attacker < 40; ++attacker) {
        EXPECT_EQ(target->damageFrom[static_cast<size_t>(attacker - 10)].first,
                  CharacterId(attacker));
        EXPECT_EQ(target->DamageFrom(CharacterId(attacker)), 3 * attacker);
    }
    EXPECT_EQ(target->DamageFrom(CharacterId(41)), 0);
    EXPECT_EQ(target->damageTaken, 3 * (10 + 39) * 30 / 2);
    const auto& characters = fight.Characters();
    for (size_t slot = 0; slot < characters.size(); ++slot) {
        const int32_t id = characters[slot].id.value();
        EXPECT_EQ(target->Attacked(slot), id >= 100 && id % 2 == 0) << id;
    }
}

} // namespace
} // namespace tarvik
