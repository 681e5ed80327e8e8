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
using Counts = std::vector<int32_t>;

TEST(RoundNumber, Table)
{
    struct Case {
        double value;
        int decimals;
        double result;
        const char* text;
    };
    // Rounding works on the decimal text, so binary noise does not pull 1.005
    // down to 1.00 the way scaling by 100 would; no decimals truncates.
    const Case cases[] = {
        {10, 2, 10, "10"},          {0.125, 2, 0.13, "0.13"}, {3.99, 0, 3, "3"},
        {-7.9, 0, -7, "-7"},        {7.9, -1, 7, "7"},        {2.345, 2, 2.35, "2.35"},
        {2.344, 2, 2.34, "2.34"},   {7.5, 2, 7.5, "7.5"},     {1.005, 2, 1.01, "1.01"},
        {0.995, 2, 1, "1"},         {9.995, 2, 10, "10"},     {2.0 / 3, 2, 0.67, "0.67"},
        {0.1 + 0.2, 1, 0.3, "0.3"}, {0.5, 5, 0.5, "0.5"}};
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

TEST(AttackRecord, AveragesPerTypeOverTheRecordsThatCarriedItTruncated)
{
    AttackRecord record;
    record.CreateAttackRecord(1, 2, Types);
    Counts averages{1, 2, 3, 4};
    EXPECT_FALSE(record.GetAttackAverages(averages)); // no attack yet: untouched
    EXPECT_EQ(averages, (Counts{1, 2, 3, 4}));

    ASSERT_TRUE(record.AddAttack({10, 0, 10}));
    ASSERT_TRUE(record.AddAttack({5, 3, 8}));
    ASSERT_TRUE(record.AddAttack({0, 6, 6}));
    ASSERT_TRUE(record.AddAttack({0, 0, 0}));   // counts as an attack only
    ASSERT_TRUE(record.AddAttack({-2, 0, -3})); // negatives reach TotalDamage only
    EXPECT_EQ(record.NumberAttacks(), 5);
    EXPECT_EQ(record.TotalDamage(), 21);
    EXPECT_EQ(record.RecordsOfType(0), 2);
    ASSERT_TRUE(record.GetAttackAverages(averages));
    // 7.5 and 4.5 show as 7 and 4; Total is their sum, not 21 / 5.
    EXPECT_EQ(averages, (Counts{7, 4, 11}));
    EXPECT_EQ(record.AverageDamage(), 4);

    record.CreateAttackRecord(7, 8, 5); // a second create changes nothing
    EXPECT_EQ(record.Attacker(), 1);
    ASSERT_TRUE(record.GetAttackAverages(averages));
    EXPECT_EQ(averages.size(), static_cast<size_t>(Types));
}

Character MakeCharacter(const std::string& name, int32_t id)
{
    Character character;
    character.CreateCharacter(name, id);
    return character;
}

TEST(Character, KillTablesGrowAndSummariesAreSizedByCharacterCount)
{
    Character c = MakeCharacter("Drogo", 1);
    c.CreateCharacter("Other", 9); // a second create changes nothing
    EXPECT_EQ(c.ID(), 1);
    ASSERT_TRUE(c.RecordKill(MakeCharacter("Bear", 5)));
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(c.RecordKill(MakeCharacter("Far Away", 2500)));
    const IdTable kills = c.KillSummary(2600);
    ASSERT_EQ(kills.size(), 2601u);
    EXPECT_EQ(kills[2500], 2);
    EXPECT_EQ(c.KillSummary(5), (IdTable{0, 0, 0, 0, 0, 1}));
}

TEST(Character, SpellSummaryFollowsTheKnownSpellsAndIsLeftAloneWithoutCasts)
{
    SpellList known;
    for (const char* name : {"Mage Armor", "Fireball", "Haste"}) {
        auto spell = std::make_unique<Spell>();
        spell->CreateSpell(name, 0); // ID 0 still counts as unset
        spell->CreateSpell(name, known.Count() + 1);
        spell->CreateSpell("Other", 9);
        known.Add(name, std::move(spell));
    }
    Character caster = MakeCharacter("Thessaly", 1);
    SpellCastTable table{{"kept", "1"}};
    EXPECT_FALSE(caster.SpellsCastSummary(known, table));
    EXPECT_EQ(table, (SpellCastTable{{"kept", "1"}}));

    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(caster.RecordSpellCast(*known.Find("Fireball")));
    ASSERT_TRUE(caster.RecordSpellCast(*known.Find("Mage Armor")));
    EXPECT_EQ(caster.DistinctSpells(), 2);
    ASSERT_TRUE(caster.SpellsCastSummary(known, table));
    EXPECT_EQ(table, (SpellCastTable{{"Mage Armor", "1"}, {"Fireball", "3"}}));
}

TEST(Character, CountersAndDamagePerOpponent)
{
    Character c = MakeCharacter("Morrico", 1);
    ASSERT_TRUE(c.RecordAttack(2, true));
    ASSERT_TRUE(c.RecordAttack(2, false));
    ASSERT_TRUE(c.RecordEnemyAttack(3, false));
    ASSERT_TRUE(c.RecordSave(17, 1, false));
    ASSERT_TRUE(c.RecordSave(22, 3, true));
    ASSERT_TRUE(c.RecordResist(5));
    ASSERT_TRUE(c.RecordResist(12));
    // Misses and failed saves count only as attempts.
    EXPECT_EQ((Counts{c.Attacks(), c.AttackHits(), c.EnemyAttacks(), c.EnemyAttackHits(),
                      c.SaveAttempts(), c.SaveSuccesses(), c.Resists(), c.HPsResisted()}),
              (Counts{2, 1, 1, 0, 2, 1, 2, 17}));

    ASSERT_TRUE(c.RecordDamageDealt(17, {20, 10, 30}));
    ASSERT_TRUE(c.RecordDamageDealt(17, {10, 0, 10}));
    ASSERT_TRUE(c.RecordDamageDealt(4, {0, 6, 6}));
    ASSERT_TRUE(c.RecordDamageReceived(4, {3, 0, 3}));
    EXPECT_EQ(c.DamageDealt(), 46);
    EXPECT_EQ(c.DamageReceived(), 3);
    ASSERT_EQ(c.InboundRecords().size(), 1u);
    EXPECT_EQ(c.InboundRecords()[0].Attacker(), 4);
    EXPECT_EQ(c.InboundRecords()[0].Defender(), 1);
    const DamageTable dealt = c.AttackDamageSummary(17, Types);
    ASSERT_EQ(dealt.size(), 18u);
    EXPECT_EQ(dealt[17], (Counts{15, 10, 25}));
    EXPECT_EQ(dealt[4], (Counts{0, 6, 6}));
    EXPECT_EQ(dealt[1], (Counts{0, 0, 0}));
    EXPECT_EQ(c.EnemyAttackDamageSummary(5, Types)[4], (Counts{3, 0, 3}));
}

TEST(Character, OverflowReturnsFalseAndKeepsCounters)
{
    Character c = MakeCharacter("Epic Mummy Warrior", 1);
    ASSERT_TRUE(c.RecordHealing(Max32));
    EXPECT_FALSE(c.RecordHealing(1));
    EXPECT_EQ(c.HPsHealed(), Max32);
    ASSERT_TRUE(c.RecordHealing(Min32));
    EXPECT_EQ(c.HPsHealed(), -1);

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
