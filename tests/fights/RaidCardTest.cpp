// A generated raid read whole: the boss's card says what the generator was
// told of the boss, worked out here from the same parameters.
#include "AnalysisTestSupport.h"
#include "RaidSession.h"
#include "fights/TargetViews.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace tarvik {
namespace {

class RaidCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        log = WriteRaid(plan);
        const std::string path = h.dir.File(log.name);
        test::WriteBytes(path, log.contents);
        test::SetModifiedLocal(path, h.clock.Now());
        ASSERT_TRUE(h.S().AnalyzeLog(path));
        rows = TargetRows(h.S().Fights(), h.S().FightRoster());
        for (const TargetRow& row : rows) {
            if (row.name == plan.boss.name)
                boss = &row;
        }
        ASSERT_NE(boss, nullptr);
    }

    RaidPlan plan = DefaultRaid();
    RaidLog log;
    test::SessionHarness h{test::ShippedAnalysisConfig()};
    std::vector<TargetRow> rows;
    const TargetRow* boss = nullptr;
};

TEST_F(RaidCard, ArmourClassAndEvadedHits)
{
    // Every roll agrees with the boss's armour class, and hundreds pin it.
    EXPECT_EQ(boss->ac, std::to_string(plan.boss.ac));
    EXPECT_EQ(boss->acOutliers, 0);
    EXPECT_EQ(boss->acEstimateLow, plan.boss.ac);
    EXPECT_EQ(boss->acEstimateHigh, plan.boss.ac);
    EXPECT_GT(boss->acRolls, 300);
    // Every hit Epic Dodge evaded, and no other.
    ASSERT_GT(log.truth.evaded[plan.boss.name], 0);
    EXPECT_EQ(boss->evaded, log.truth.evaded[plan.boss.name]);
}

TEST_F(RaidCard, AttackBonusLadder)
{
    // Haste's extra attack adds no step: 69 / 64 / 59 / 54.
    const AttackLadder& attack = plan.boss.attack;
    std::string expected;
    for (int step = 0; step < attack.perRound - attack.extra; ++step)
        expected += (step ? " / " : "") + std::to_string(attack.bonus - step * attack.step);
    EXPECT_EQ(boss->ab, expected);
}

TEST_F(RaidCard, EveryImmunityAsNarrowAsItsHitsAllow)
{
    // A hit of N points at p% immunity loses floor(N * p / 100): the card
    // shows the percentages every hit written allows, the true one among them.
    int types = 0;
    for (int type = 0; type < DamageTypeCount; ++type) {
        const int percent = plan.boss.immunity[static_cast<size_t>(type)];
        if (percent == 0)
            continue;
        ++types;
        const auto& pairs = log.truth.immunityPairs[{plan.boss.name, type}];
        ASSERT_FALSE(pairs.empty()) << DamageTypeName(type);
        std::vector<int> allowed;
        for (int p = 0; p <= 100; ++p) {
            if (std::all_of(pairs.begin(), pairs.end(),
                            [p](const auto& pair) { return pair.first * p / 100 == pair.second; }))
                allowed.push_back(p);
        }
        ASSERT_TRUE(std::count(allowed.begin(), allowed.end(), percent)) << DamageTypeName(type);
        const auto cell =
            std::find_if(boss->immunities.begin(), boss->immunities.end(),
                         [&](const auto& c) { return c.name == DamageTypeName(type); });
        ASSERT_NE(cell, boss->immunities.end()) << DamageTypeName(type);
        EXPECT_EQ(cell->low, allowed.front()) << cell->name;
        EXPECT_EQ(cell->high, allowed.back()) << cell->name;
        EXPECT_EQ(cell->pairs, static_cast<int>(pairs.size())) << cell->name;
        EXPECT_EQ(cell->support, cell->pairs) << cell->name;
        EXPECT_TRUE(cell->byAttacker.empty()) << cell->name;
        const std::string range =
            allowed.front() == allowed.back()
                ? std::to_string(allowed.front())
                : std::to_string(allowed.front()) + "-" + std::to_string(allowed.back());
        EXPECT_EQ(cell->text, range + "% (" + std::to_string(pairs.size()) + " hits)");
    }
    EXPECT_EQ(boss->immunities.size(), static_cast<size_t>(types));
}

TEST_F(RaidCard, SavesSpecialImmunitiesReductionAndDamageByAttacker)
{
    // The wizard's cold and fire call for Reflex saves only.
    ASSERT_EQ(boss->saves.size(), 1u);
    EXPECT_EQ(boss->saves[0].name, "Reflex");
    EXPECT_EQ(boss->saves[0].best, plan.boss.saves[1]);

    std::set<std::string> special;
    for (const NamedCount& immunity : boss->specialImmunities)
        special.insert(immunity.name);
    EXPECT_EQ(special, std::set<std::string>(plan.boss.immuneTo.begin(), plan.boss.immuneTo.end()));

    EXPECT_GT(boss->reductions.count, 0);
    // Reduction 10 of a hit's physical part, resistance 5 of its fire.
    EXPECT_EQ(boss->reductions.largest, std::max(plan.boss.reduction, 5));

    int64_t total = 0;
    for (const AttackerDamageRow& attacker : boss->damage.rows) {
        const int64_t written = log.truth.damage[{plan.boss.name, attacker.name}];
        EXPECT_EQ(attacker.damage, written) << attacker.name;
        total += written;
    }
    EXPECT_EQ(boss->damage.rows.size(), plan.party.size());
    EXPECT_EQ(boss->damage.total, total);
}

TEST_F(RaidCard, SpellResistanceBelongsToTheOwner)
{
    const Character* owner = h.Named(plan.party[0].name);
    ASSERT_NE(owner, nullptr);
    const SpellResultsById results = SpellResultsByCharacter(h.S().Fights());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].first, owner->ID());
    int lines = 0;
    for (const SpellResultLine& line : results[0].second) {
        for (const NamedCount& result : line.results) {
            std::string written = result.name;
            for (char& c : written)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            EXPECT_EQ(result.count, (log.truth.spellResults[{line.spell, written}]))
                << line.spell << " " << result.name;
            ++lines;
        }
    }
    EXPECT_EQ(lines, static_cast<int>(log.truth.spellResults.size()));
    // The owner is immune to one of the boss's spells, so only ever immune to it.
    for (const auto& [spellAndResult, count] : log.truth.spellResults) {
        if (spellAndResult.first == plan.party[0].immuneToSpells[0]) {
            EXPECT_EQ(spellAndResult.second, "IMMUNE");
        }
    }
}

} // namespace
} // namespace tarvik
