#include "model/Character.h"
#include "model/RoundNumber.h"
#include "util/Checked.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
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
    // Totals take 64 bits, and refuse only what would wrap those.
    constexpr int64_t Max64 = std::numeric_limits<int64_t>::max();
    constexpr int64_t Min64 = std::numeric_limits<int64_t>::min();
    const std::tuple<int64_t, int64_t, bool> totals[] = {{Max32, Max32, true}, {Max64 - 1, 1, true},
                                                         {Max64, 1, false},    {Min64, -1, false},
                                                         {Min64, Max64, true}, {-1, Min64, false}};
    for (const auto& [total, amount, fits] : totals) {
        int64_t sum = total;
        EXPECT_EQ(AddChecked(sum, amount), fits) << total << " + " << amount;
        EXPECT_EQ(sum, fits ? total + amount : total);
    }
}

Character MakeCharacter(const std::string& name, int32_t id)
{
    Character character;
    character.CreateCharacter(name, CharacterId(id));
    return character;
}

// Indices from 1 (0 and below name none) and from 0 (below 0 name none), at
// and around the ends of a list of three: the list finds just what Within
// allows, at the slot the index names.
TEST(StrongIndex, NamesOnlyPlacesWithinTheList)
{
    CharacterList list;
    for (const char* name : {"Ann", "Bob", "Cid"}) {
        auto character = std::make_unique<Character>();
        character->CreateCharacter(name, list.NextId());
        list.Add(name, std::move(character));
    }
    struct Case {
        int32_t value;
        bool none;
        const char* name; // null: none found
    };
    const Case fromOne[] = {
        {-1, true, nullptr}, {0, true, nullptr},  {1, false, "Ann"},
        {3, false, "Cid"},   {4, false, nullptr},
    };
    for (const Case& c : fromOne) {
        const CharacterId id(c.value);
        EXPECT_EQ(id.IsNone(), c.none) << c.value;
        EXPECT_EQ(id.Within(3), c.name != nullptr) << c.value;
        const Character* found = list.At(id);
        EXPECT_EQ(found ? found->Name() : std::string("none"), c.name ? c.name : "none") << c.value;
        if (found) {
            EXPECT_EQ(CharacterId::FromSlot(id.Slot()), id);
        }
    }
    EXPECT_TRUE(CharacterId().IsNone());
    const struct {
        int32_t value;
        bool none;
        bool within;
        size_t slot;
    } fromZero[] = {
        {-1, true, false, 0}, {0, false, true, 0}, {2, false, true, 2}, {3, false, false, 3}};
    for (const auto& c : fromZero) {
        const DamageTypeIndex type(c.value);
        EXPECT_EQ(type.IsNone(), c.none) << c.value;
        EXPECT_EQ(type.Within(3), c.within) << c.value;
        if (!c.none) {
            EXPECT_EQ(type.Slot(), c.slot) << c.value;
        }
    }
    EXPECT_EQ(DamageTypeIndex(), DamageTypeIndex::None());
    EXPECT_LT(DamageTypeIndex::None(), DamageTypeIndex(0));
}

// Counts live only where something was counted, whatever the IDs: a kill of
// character 2,000,000 costs one entry.
TEST(Character, KillDeathAndCastCountsKeepOnlyWhatWasCounted)
{
    Character c = MakeCharacter("Drogo", 1);
    c.CreateCharacter("Other", CharacterId(9)); // a second create changes nothing
    EXPECT_EQ(c.ID(), CharacterId(1));
    // A victim without an ID counts as a kill against no one.
    for (const int32_t victim : {2'000'000, 5, 2500, 5, 0, 2500, 2500})
        ASSERT_TRUE(c.RecordKill(MakeCharacter("Victim", victim)));
    EXPECT_EQ(c.Kills(), 7);
    EXPECT_EQ(c.KillSummary(),
              (IdCountList<CharacterId>{
                  {CharacterId(5), 2}, {CharacterId(2500), 3}, {CharacterId(2'000'000), 1}}));
    EXPECT_EQ(c.KillsOf(CharacterId(2500)), 3);
    EXPECT_EQ(c.KillsOf(CharacterId(6)), 0);
    EXPECT_TRUE(c.DeathSummary().empty());

    ASSERT_TRUE(c.RecordDeath(MakeCharacter("Ogre", 7)));
    EXPECT_EQ(c.DeathSummary(), (IdCountList<CharacterId>{{CharacterId(7), 1}}));
    EXPECT_EQ(c.DeathsBy(CharacterId(7)), 1);

    SpellList known;
    for (const char* name : {"Fireball", "Bless", "Haste"}) {
        auto spell = std::make_unique<Spell>();
        spell->CreateSpell(name, known.NextId());
        known.Add(name, std::move(spell));
    }
    SpellCastTable table{{"untouched", "0"}};
    EXPECT_FALSE(c.SpellsCastSummary(known, table));
    EXPECT_EQ(table.size(), 1u);
    // Cast in another order than first seen: the summary keeps the order seen.
    for (const int32_t spell : {3, 1, 3, 3})
        ASSERT_TRUE(c.RecordSpellCast(*known.At(SpellId(spell))));
    EXPECT_EQ(c.Spells(), 4);
    EXPECT_EQ(c.DistinctSpells(), 2);
    ASSERT_TRUE(c.SpellsCastSummary(known, table));
    EXPECT_EQ(table, (SpellCastTable{{"Fireball", "1"}, {"Haste", "3"}}));
}

// Many IDs in any order, as an open-addressed table sees them while it grows;
// cleared, it forgets them all and counts anew.
TEST(IdMap, KeepsEveryIdInAnyOrder)
{
    IdMap map;
    EXPECT_EQ(map.Get(1), 0);
    EXPECT_EQ(map.Find(1), nullptr);
    for (int round = 0; round < 2; ++round) {
        IdCountList<> expected;
        for (int32_t n = 1; n <= 3000; ++n) {
            // Numbers up to 3000, scattered, and a few below zero.
            const int32_t id = n % 1000 == 0 ? -n : (n * 7919) % 3001;
            for (int32_t k = 0; k < n % 3 + 1; ++k)
                ASSERT_TRUE(map.Increment(id));
            expected.emplace_back(id, n % 3 + 1);
        }
        map[0] = 42;
        expected.emplace_back(0, 42);
        std::sort(expected.begin(), expected.end());
        SCOPED_TRACE(round);
        EXPECT_EQ(map.Size(), expected.size());
        EXPECT_EQ(map.Sorted(), expected);
        EXPECT_EQ(map.Get((2999 * 7919) % 3001), 2999 % 3 + 1);
        EXPECT_EQ(map.Get(-2000), 2000 % 3 + 1);
        ASSERT_NE(map.Find(0), nullptr);
        EXPECT_EQ(*map.Find(0), 42);
        EXPECT_EQ(map.Get(3001), 0);
        map.Clear();
        EXPECT_TRUE(map.Empty());
        EXPECT_EQ(map.Get(-2000), 0);
    }
    map[7] = Max32;
    EXPECT_FALSE(map.Increment(7));
    EXPECT_EQ(map.Get(7), Max32);
}

// Blows alternate between opponents, run after run; each lands on its own pairing.
TEST(Character, DamageGoesToThePairingOfEachOpponent)
{
    Character c = MakeCharacter("Drogo", 1);
    for (const int32_t opponent : {2, 3, 2, 2, 3, 4, 2})
        ASSERT_TRUE(c.RecordDamageDealt(CharacterId(opponent), {opponent, opponent}));
    ASSERT_TRUE(c.RecordDamageReceived(CharacterId(3), {7, 7}));
    ASSERT_TRUE(c.RecordDamageReceived(CharacterId(2), {1, 1}));
    ASSERT_TRUE(c.RecordDamageReceived(CharacterId(3), {7, 7}));
    ASSERT_EQ(c.OutboundRecords().size(), 3u);
    int64_t sums[5] = {};
    for (const AttackRecord& record : c.OutboundRecords()) {
        EXPECT_EQ(record.Attacker(), CharacterId(1));
        sums[record.Defender().value()] += record.DamageOfType(DamageTypeIndex(0));
    }
    EXPECT_EQ(sums[2], 8);
    EXPECT_EQ(sums[3], 6);
    EXPECT_EQ(sums[4], 4);
    ASSERT_EQ(c.InboundRecords().size(), 2u);
    EXPECT_EQ(c.InboundRecords()[0].Attacker(), CharacterId(3));
    EXPECT_EQ(c.InboundRecords()[0].NumberAttacks(), 2);
    EXPECT_EQ(c.InboundRecords()[1].NumberAttacks(), 1);
}

// Hit point totals are 64-bit: 32-bit amounts add up past 32 bits, whole.
TEST(Character, HitPointTotalsPassThirtyTwoBits)
{
    constexpr int64_t Twice = 2 * int64_t{Max32};
    Character c = MakeCharacter("Epic Mummy Warrior", 1);
    ASSERT_TRUE(c.RecordHealing(Max32));
    ASSERT_TRUE(c.RecordHealing(Max32));
    EXPECT_EQ(c.HPsHealed(), Twice);
    ASSERT_TRUE(c.RecordResist(Max32));
    ASSERT_TRUE(c.RecordResist(Max32));
    EXPECT_EQ(c.HPsResisted(), Twice);
    EXPECT_EQ(c.Resists(), 2);

    ASSERT_TRUE(c.RecordDamageDealt(CharacterId(2), {0, Max32, Max32}));
    ASSERT_TRUE(c.RecordDamageDealt(CharacterId(2), {0, Max32, Max32}));
    EXPECT_EQ(c.DamageDealt(), Twice);
    const AttackRecord& pairing = c.OutboundRecords()[0];
    EXPECT_EQ(pairing.NumberAttacks(), 2);
    EXPECT_EQ(pairing.TotalDamage(), Twice);
    EXPECT_EQ(pairing.DamageOfType(DamageTypeIndex(1)), Twice);
    EXPECT_EQ(pairing.RecordsOfType(DamageTypeIndex(1)), 2);
    EXPECT_EQ(pairing.AverageDamage(), Max32);

    // Two types that each average the largest amount: their sum, shown as
    // the average total, is held at the largest 32-bit number.
    ASSERT_TRUE(c.RecordDamageReceived(CharacterId(3), {Max32, 0, Max32}));
    ASSERT_TRUE(c.RecordDamageReceived(CharacterId(3), {0, Max32, Max32}));
    EXPECT_EQ(c.DamageReceived(), Twice);
    std::vector<int32_t> averages;
    ASSERT_TRUE(c.InboundRecords()[0].GetAttackAverages(averages));
    EXPECT_EQ(averages, (std::vector<int32_t>{Max32, Max32, Max32}));
}

} // namespace
} // namespace tarvik
