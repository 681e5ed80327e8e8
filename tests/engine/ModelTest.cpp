#include "model/Character.h"
#include "model/RoundNumber.h"
#include "util/Checked.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

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

// Blows alternate between opponents, run after run; each lands on its own pairing.
TEST(Character, DamageGoesToThePairingOfEachOpponent)
{
    Character c = MakeCharacter("Drogo", 1);
    for (const int32_t opponent : {2, 3, 2, 2, 3, 4, 2})
        ASSERT_TRUE(c.RecordDamageDealt(opponent, {opponent, opponent}));
    ASSERT_TRUE(c.RecordDamageReceived(3, {7, 7}));
    ASSERT_TRUE(c.RecordDamageReceived(2, {1, 1}));
    ASSERT_TRUE(c.RecordDamageReceived(3, {7, 7}));
    ASSERT_EQ(c.OutboundRecords().size(), 3u);
    int64_t sums[5] = {};
    for (const AttackRecord& record : c.OutboundRecords()) {
        EXPECT_EQ(record.Attacker(), 1);
        sums[record.Defender()] += record.DamageOfType(0);
    }
    EXPECT_EQ(sums[2], 8);
    EXPECT_EQ(sums[3], 6);
    EXPECT_EQ(sums[4], 4);
    ASSERT_EQ(c.InboundRecords().size(), 2u);
    EXPECT_EQ(c.InboundRecords()[0].Attacker(), 3);
    EXPECT_EQ(c.InboundRecords()[0].NumberAttacks(), 2);
    EXPECT_EQ(c.InboundRecords()[1].NumberAttacks(), 1);
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

    // A later type's overflow takes back what earlier types of the same
    // record had added.
    Character orc = MakeCharacter("Orc", 2);
    ASSERT_TRUE(orc.RecordDamageDealt(1, {0, Max32, 1}));
    EXPECT_FALSE(orc.RecordDamageDealt(1, {5, 1, 6}));
    const AttackRecord& pairing = orc.OutboundRecords()[0];
    EXPECT_EQ(pairing.DamageOfType(0), 0);
    EXPECT_EQ(pairing.RecordsOfType(0), 0);
    EXPECT_EQ(pairing.DamageOfType(1), Max32);
    EXPECT_EQ(pairing.RecordsOfType(1), 1);
    EXPECT_EQ(pairing.NumberAttacks(), 1);
}

} // namespace
} // namespace tarvik
