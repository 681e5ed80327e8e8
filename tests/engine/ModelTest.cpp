#include "model/AttackRecord.h"
#include "model/Character.h"
#include "model/RoundNumber.h"
#include "model/Spell.h"
#include "util/Checked.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

constexpr int32_t Max32 = std::numeric_limits<int32_t>::max();
constexpr int32_t Min32 = std::numeric_limits<int32_t>::min();

TEST(RoundNumber, Table)
{
    struct Case {
        double value;
        int decimals;
        double result;
        const char* text;
    };
    // Rounding works on the decimal text, so binary noise does not pull 1.005
    // down to 1.00 the way scaling by 100 would.
    const Case cases[] = {{10, 2, 10, "10"},
                          {0.125, 2, 0.13, "0.13"},
                          {3.99, 0, 3, "3"},
                          {2.345, 2, 2.35, "2.35"},
                          {2.344, 2, 2.34, "2.34"},
                          {7.5, 2, 7.5, "7.5"},
                          {7.9, 0, 7, "7"},
                          {7.9, -1, 7, "7"},
                          {2.5, 0, 2, "2"},
                          {-7.9, 0, -7, "-7"},
                          {1.005, 2, 1.01, "1.01"},
                          {0.995, 2, 1, "1"},
                          {9.995, 2, 10, "10"},
                          {1.0 / 3, 3, 0.333, "0.333"},
                          {2.0 / 3, 2, 0.67, "0.67"},
                          {0.1 + 0.2, 1, 0.3, "0.3"},
                          {1234567.891, 1, 1234567.9, "1234567.9"},
                          {0.5, 5, 0.5, "0.5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " to " << c.decimals);
        EXPECT_DOUBLE_EQ(RoundNumber(c.value, c.decimals), c.result);
        EXPECT_EQ(RoundedText(c.value, c.decimals), c.text);
    }
}

TEST(Checked, AddsOnlyWhatFits)
{
    struct Case {
        int32_t counter;
        int64_t amount;
        bool fits;
    };
    const Case cases[] = {{Max32 - 1, 1, true},
                          {Max32, 1, false},
                          {Min32, -1, false},
                          {Min32, Max32, true},
                          {-5, 5, true},
                          {1, std::numeric_limits<int64_t>::max(), false},
                          {-1, std::numeric_limits<int64_t>::min(), false},
                          {0, int64_t{Max32} + 1, false}};
    for (const auto& c : cases) {
        int32_t counter = c.counter;
        EXPECT_EQ(AddChecked(counter, c.amount), c.fits) << c.counter << " + " << c.amount;
        EXPECT_EQ(counter, c.fits ? static_cast<int32_t>(c.counter + c.amount) : c.counter);
    }
}

// Damage types of these tests: Slashing, Fire and the appended Total.
constexpr int Types = 3;

TEST(AttackRecord, AveragesPerTypeOverTheRecordsThatCarriedIt)
{
    AttackRecord record;
    record.CreateAttackRecord(1, 2, Types);
    ASSERT_TRUE(record.AddAttack({10, 0, 10}));
    ASSERT_TRUE(record.AddAttack({6, 3, 9}));
    ASSERT_TRUE(record.AddAttack({0, 5, 5}));
    EXPECT_EQ(record.NumberAttacks(), 3);
    EXPECT_EQ(record.TotalDamage(), 24);
    EXPECT_EQ(record.DamageOfType(0), 16);
    EXPECT_EQ(record.RecordsOfType(0), 2);
    EXPECT_EQ(record.RecordsOfType(2), 3);
    std::vector<int32_t> averages;
    ASSERT_TRUE(record.GetAttackAverages(averages));
    // The Total column is the sum of the per-type averages, not 24 / 3.
    EXPECT_EQ(averages, (std::vector<int32_t>{8, 4, 12}));
    EXPECT_EQ(record.AverageDamage(), 8);

    // 7 and 8 average 7.5, shown as 7.
    AttackRecord two;
    two.CreateAttackRecord(1, 2, Types);
    ASSERT_TRUE(two.AddAttack({7, 0, 7}));
    ASSERT_TRUE(two.AddAttack({8, 0, 8}));
    ASSERT_TRUE(two.GetAttackAverages(averages));
    EXPECT_EQ(averages, (std::vector<int32_t>{7, 0, 7}));
    EXPECT_EQ(two.AverageDamage(), 7);
}

TEST(AttackRecord, ZeroAndNegativeEntriesAreSkipped)
{
    AttackRecord record;
    record.CreateAttackRecord(1, 2, Types);
    std::vector<int32_t> averages{1, 2, 3, 4};
    EXPECT_FALSE(record.GetAttackAverages(averages)); // no attack yet: untouched
    EXPECT_EQ(averages, (std::vector<int32_t>{1, 2, 3, 4}));

    ASSERT_TRUE(record.AddAttack({0, 0, 0}));
    EXPECT_EQ(record.NumberAttacks(), 1);
    EXPECT_EQ(record.TotalDamage(), 0);
    for (size_t t = 0; t < Types; ++t)
        EXPECT_EQ(record.DamageOfType(t) + record.RecordsOfType(t), 0);
    ASSERT_TRUE(record.GetAttackAverages(averages));
    EXPECT_EQ(averages, (std::vector<int32_t>{0, 0, 0}));
    // A negative Total still counts towards TotalDamage, never the type table.
    ASSERT_TRUE(record.AddAttack({-2, 0, -3}));
    EXPECT_EQ(record.TotalDamage(), -3);
    EXPECT_EQ(record.DamageOfType(2), 0);

    record.CreateAttackRecord(7, 8, 5);
    EXPECT_EQ(record.Attacker(), 1);
    EXPECT_EQ(record.Defender(), 2);
    EXPECT_EQ(record.NumberAttacks(), 2);
    ASSERT_TRUE(record.GetAttackAverages(averages));
    EXPECT_EQ(averages.size(), static_cast<size_t>(Types));
}

TEST(AttackRecord, OverflowLeavesRecordUnchanged)
{
    AttackRecord record;
    record.CreateAttackRecord(1, 2, Types);
    ASSERT_TRUE(record.AddAttack({Max32, 0, 0}));
    // The type sum would overflow although the Total would not.
    EXPECT_FALSE(record.AddAttack({1, 1, 1}));
    EXPECT_EQ(record.NumberAttacks(), 1);
    EXPECT_EQ(record.TotalDamage(), 0);
    EXPECT_EQ(record.DamageOfType(1), 0);
    ASSERT_TRUE(record.AddAttack({0, 0, Max32}));
    EXPECT_FALSE(record.AddAttack({0, 0, 1}));
    EXPECT_EQ(record.TotalDamage(), Max32);
    EXPECT_EQ(record.NumberAttacks(), 2);
}

TEST(Spell, CreateOnlyWhileUnset)
{
    Spell spell;
    spell.CreateSpell("Mage Armor", 0);
    EXPECT_EQ(spell.ID(), 0);
    spell.CreateSpell("Fireball", 3);
    spell.CreateSpell("Haste", 4);
    EXPECT_EQ(spell.ID(), 3);
    EXPECT_EQ(spell.Name(), "Fireball");
}

Character MakeCharacter(const std::string& name, int32_t id)
{
    Character character;
    character.CreateCharacter(name, id);
    return character;
}

TEST(Character, SecondCreateChangesNothing)
{
    Character drogo = MakeCharacter("Drogo", 1);
    ASSERT_TRUE(drogo.RecordKill(MakeCharacter("Legendary Bear", 2)));
    drogo.CreateCharacter("Other", 9);
    EXPECT_EQ(drogo.Name(), "Drogo");
    EXPECT_EQ(drogo.ID(), 1);
    EXPECT_EQ(drogo.KillSummary(2)[2], 1);
}

TEST(Character, TablesGrowAndSummariesAreSizedByCharacterCount)
{
    Character c = MakeCharacter("Drogo", 1);
    ASSERT_TRUE(c.RecordKill(MakeCharacter("Bear", 5)));
    EXPECT_EQ(c.KillTableBound(), 1000);
    ASSERT_TRUE(c.RecordKill(MakeCharacter("Far Away", 2500)));
    EXPECT_EQ(c.KillTableBound(), 3000);
    ASSERT_TRUE(c.RecordKill(MakeCharacter("Far Away", 2500)));
    EXPECT_EQ(c.Kills(), 3);
    const IdTable kills = c.KillSummary(2600);
    ASSERT_EQ(kills.size(), 2601u);
    EXPECT_EQ(kills[5], 1);
    EXPECT_EQ(kills[2500], 2);
    EXPECT_EQ(kills[1000] + kills[2600], 0);
    EXPECT_EQ(c.KillSummary(3), (IdTable{0, 0, 0, 0}));

    ASSERT_TRUE(c.RecordDeath(MakeCharacter("Guard", 2)));
    ASSERT_TRUE(c.RecordDeath(MakeCharacter("Guard", 2)));
    ASSERT_TRUE(c.RecordDeath(MakeCharacter("Drider", 1200)));
    EXPECT_EQ(c.Deaths(), 3);
    EXPECT_EQ(c.DeathSummary(3), (IdTable{0, 0, 2, 0}));
    const IdTable deaths = c.DeathSummary(1500);
    ASSERT_EQ(deaths.size(), 1501u);
    EXPECT_EQ(deaths[1200], 1);
    EXPECT_EQ(deaths[1001] + deaths[1500], 0);
}

class CharacterSpells : public ::testing::Test {
protected:
    CharacterSpells()
    {
        for (const char* name : {"Mage Armor", "Fireball", "Haste"}) {
            auto spell = std::make_unique<Spell>();
            spell->CreateSpell(name, known.Count() + 1);
            known.Add(name, std::move(spell));
        }
    }
    SpellList known;
    Character caster = MakeCharacter("Thessaly", 1);
};

TEST_F(CharacterSpells, SummaryFollowsFirstSeenOrderOfKnownSpells)
{
    // Cast Fireball first; rows still follow the known-spell list.
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(caster.RecordSpellCast(*known.Find("Fireball")));
    ASSERT_TRUE(caster.RecordSpellCast(*known.Find("Mage Armor")));
    EXPECT_EQ(caster.Spells(), 4);
    EXPECT_EQ(caster.DistinctSpells(), 2);
    EXPECT_EQ(caster.CastsOf(2), 3);
    EXPECT_EQ(caster.CastsOf(3), 0);
    EXPECT_EQ(caster.CastsOf(5000), 0);

    SpellCastTable table{{"stale", "row"}, {"another", "row"}, {"third", "row"}};
    ASSERT_TRUE(caster.SpellsCastSummary(known, table));
    EXPECT_EQ(table, (SpellCastTable{{"Mage Armor", "1"}, {"Fireball", "3"}}));
}

TEST_F(CharacterSpells, NoCastsLeaveTheTableUntouched)
{
    SpellCastTable table{{"kept", "1"}};
    EXPECT_FALSE(caster.SpellsCastSummary(known, table));
    EXPECT_EQ(table, (SpellCastTable{{"kept", "1"}}));
}

TEST(Character, MissesAndFailedSavesCountOnlyAsAttempts)
{
    Character c = MakeCharacter("Morrico", 1);
    ASSERT_TRUE(c.RecordAttack(2, true));
    ASSERT_TRUE(c.RecordAttack(2, false));
    ASSERT_TRUE(c.RecordEnemyAttack(3, false));
    ASSERT_TRUE(c.RecordSave(17, 1, false));
    ASSERT_TRUE(c.RecordSave(22, 3, true));
    ASSERT_TRUE(c.RecordResist(5));
    ASSERT_TRUE(c.RecordResist(12));
    const std::vector<int32_t> counters{c.Attacks(),         c.AttackHits(),   c.EnemyAttacks(),
                                        c.EnemyAttackHits(), c.SaveAttempts(), c.SaveSuccesses(),
                                        c.Resists(),         c.HPsResisted()};
    EXPECT_EQ(counters, (std::vector<int32_t>{2, 1, 1, 0, 2, 1, 2, 17}));
}

TEST(Character, DamageRecordsAreKeptPerOpponent)
{
    Character c = MakeCharacter("Smith Smurf", 1);
    ASSERT_TRUE(c.RecordDamageDealt(17, {20, 10, 30}));
    ASSERT_TRUE(c.RecordDamageDealt(17, {10, 0, 10}));
    ASSERT_TRUE(c.RecordDamageDealt(4, {0, 6, 6}));
    ASSERT_TRUE(c.RecordDamageReceived(4, {3, 0, 3}));
    EXPECT_EQ(c.DamageDealt(), 46);
    EXPECT_EQ(c.DamageReceived(), 3);

    const auto& out = c.OutboundRecords();
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].Attacker(), 1);
    EXPECT_EQ(out[0].Defender(), 17);
    EXPECT_EQ(out[0].NumberAttacks(), 2);
    EXPECT_EQ(out[1].Defender(), 4);
    ASSERT_EQ(c.InboundRecords().size(), 1u);
    EXPECT_EQ(c.InboundRecords()[0].Attacker(), 4);
    EXPECT_EQ(c.InboundRecords()[0].Defender(), 1);

    const DamageTable dealt = c.AttackDamageSummary(17, Types);
    ASSERT_EQ(dealt.size(), 18u);
    EXPECT_EQ(dealt[17], (std::vector<int32_t>{15, 10, 25}));
    EXPECT_EQ(dealt[4], (std::vector<int32_t>{0, 6, 6}));
    EXPECT_EQ(dealt[1], (std::vector<int32_t>{0, 0, 0}));
    const DamageTable received = c.EnemyAttackDamageSummary(5, Types);
    ASSERT_EQ(received.size(), 6u);
    EXPECT_EQ(received[4], (std::vector<int32_t>{3, 0, 3}));
    EXPECT_EQ(received[1], (std::vector<int32_t>{0, 0, 0}));
}

TEST(Character, OverflowReturnsFalseAndKeepsCounters)
{
    Character c = MakeCharacter("Epic Mummy Warrior", 1);
    ASSERT_TRUE(c.RecordHealing(Max32));
    EXPECT_FALSE(c.RecordHealing(1));
    EXPECT_EQ(c.HPsHealed(), Max32);
    ASSERT_TRUE(c.RecordHealing(Min32));
    EXPECT_EQ(c.HPsHealed(), -1);

    ASSERT_TRUE(c.RecordResist(Max32));
    EXPECT_FALSE(c.RecordResist(1));
    EXPECT_EQ(c.Resists(), 1);
    EXPECT_EQ(c.HPsResisted(), Max32);

    ASSERT_TRUE(c.RecordDamageDealt(2, {0, 0, Max32}));
    EXPECT_FALSE(c.RecordDamageDealt(2, {0, 0, 1}));
    EXPECT_EQ(c.DamageDealt(), Max32);
    EXPECT_EQ(c.OutboundRecords()[0].NumberAttacks(), 1);

    // The pairing's type sum overflows while the character's total fits.
    ASSERT_TRUE(c.RecordDamageReceived(3, {Max32, 0, 1}));
    EXPECT_FALSE(c.RecordDamageReceived(3, {1, 0, 1}));
    EXPECT_EQ(c.DamageReceived(), 1);
    EXPECT_EQ(c.InboundRecords()[0].NumberAttacks(), 1);
}

} // namespace
} // namespace tarvik
