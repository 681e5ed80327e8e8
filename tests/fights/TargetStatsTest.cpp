#include "fights/TargetStats.h"

#include "fights/Rolls.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

TEST(Rolls, AttackRollsAsTheGameWritesThem)
{
    struct Case {
        const char* result;
        std::optional<AttackRoll> roll;
    };
    const Case cases[] = {
        {"*hit* : (10 + 19 = 29)", AttackRoll{10, 19, 29, false, 0}},
        {"*critical hit* : (20 + 24 = 44 : Threat Roll: 14 + 24 = 38)",
         AttackRoll{20, 24, 44, true, 14}},
        {"*target concealed: 50%* : (2 + 54 = 56)", AttackRoll{2, 54, 56, false, 0}},
        {"*miss* : (3 + -2 = 1)", AttackRoll{3, -2, 1, false, 0}},
        // A negative bonus as the game writes it.
        {"*miss* : (3 - 2 = 1)", AttackRoll{3, -2, 1, false, 0}},
        {"*hit* : (18 - 2 = 16 : Threat Roll: 19 - 2 = 17)", AttackRoll{18, -2, 16, true, 19}},
        {"*hit* : (10 - 19 = 29)", std::nullopt},
        {"*hit* : (10 + 19 = 30)", std::nullopt}, // does not add up
        {"*resisted*", std::nullopt},
        {"*hit* : (10 + 19)", std::nullopt},
        {"*hit* : (9999999999 + 1 = 10000000000)", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto roll = ParseAttackRoll(c.result);
        ASSERT_EQ(roll.has_value(), c.roll.has_value()) << c.result;
        if (!roll)
            continue;
        EXPECT_EQ(roll->roll, c.roll->roll) << c.result;
        EXPECT_EQ(roll->bonus, c.roll->bonus) << c.result;
        EXPECT_EQ(roll->total, c.roll->total) << c.result;
        EXPECT_EQ(roll->hasThreat, c.roll->hasThreat) << c.result;
        EXPECT_EQ(roll->threatRoll, c.roll->threatRoll) << c.result;
    }
}

TEST(Rolls, SaveRollsWithAndWithoutTotalAndDc)
{
    struct Case {
        const char* text;
        int32_t roll, bonus, dc;
    };
    const Case cases[] = {
        {"(1 + 16 = 17 vs. DC: 13)", 1, 16, 13},
        {"(3 + 29 vs. DC: 45)", 3, 29, 45},
        {"(6 + 16 = 22)", 6, 16, -1},
        {"(3 - 2 = 1 vs. DC: 15)", 3, -2, 15},
        {"(3 + -2 = 1 vs. DC: 15)", 3, -2, 15},
    };
    for (const Case& c : cases) {
        const auto save = ParseSaveRoll(c.text);
        ASSERT_TRUE(save) << c.text;
        EXPECT_EQ(save->roll, c.roll) << c.text;
        EXPECT_EQ(save->bonus, c.bonus) << c.text;
        EXPECT_EQ(save->dc, c.dc) << c.text;
    }
    EXPECT_FALSE(ParseSaveRoll("*success*"));
}

AcEvidence Evidence(const std::vector<std::pair<int32_t, bool>>& totals)
{
    AcEvidence ac;
    for (const auto& [total, hit] : totals)
        ac.Add(total, hit);
    return ac;
}

TEST(TargetStats, AcTextFromHitsAndMisses)
{
    struct Case {
        std::vector<std::pair<int32_t, bool>> all;
        std::vector<std::pair<int32_t, bool>> lastFight;
        const char* text;
    };
    const Case cases[] = {
        {{}, {}, "?"},
        {{{44, false}, {45, true}}, {}, "45"},
        {{{44, false}, {48, true}, {40, false}, {50, true}}, {}, "45-48"},
        {{{44, false}}, {}, "45-?"},
        {{{48, true}}, {}, "?-48"},
        // Contradicting (a buff came and went): the last fight says what holds now.
        {{{50, false}, {45, true}}, {{50, false}, {53, true}}, "~51-53"},
        {{{50, false}, {45, true}}, {{50, false}, {45, true}}, "~45-51"},
        {{{50, false}, {45, true}}, {}, "~45-51"},
    };
    for (const Case& c : cases) {
        const AcEvidence all = Evidence(c.all);
        const AcEvidence last = Evidence(c.lastFight);
        EXPECT_EQ(AcText(all, c.lastFight.empty() ? nullptr : &last), c.text);
    }
    // Natural 1 and 20 go through whatever the armour; other outcomes tell nothing.
    const std::tuple<AttackOutcome, int32_t, bool> tells[] = {
        {AttackOutcome::Hit, 2, true},          {AttackOutcome::Miss, 19, true},
        {AttackOutcome::CriticalHit, 18, true}, {AttackOutcome::Hit, 20, false},
        {AttackOutcome::Miss, 1, false},        {AttackOutcome::Other, 10, false}};
    for (const auto& [outcome, roll, expected] : tells)
        EXPECT_EQ(AcEvidence::Tells(outcome, AttackRoll{roll, 10, roll + 10, false, 0}), expected)
            << roll;
}

TEST(TargetStats, ImmunityPercentagesUnderRoundingDown)
{
    // (dealt, absorbed) -> the whole percentages with floor((dealt + absorbed) * p / 100) ==
    // absorbed.
    struct Case {
        int32_t dealt, absorbed;
        std::optional<std::pair<int32_t, int32_t>> interval;
    };
    const Case cases[] = {
        {44, 4, std::pair{9, 10}},   {15, 5, std::pair{25, 29}}, {0, 5, std::pair{100, 100}},
        {0, 1, std::pair{100, 100}}, {1, 0, std::pair{0, 99}},   {99, 1, std::pair{1, 1}},
        {0, 0, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImmunityEvidence::Interval(c.dealt, c.absorbed), c.interval)
            << c.dealt << " " << c.absorbed;

    ImmunityEvidence fire;
    EXPECT_EQ(ImmunityText(fire, nullptr), "?");
    fire.AddPair(15, 5); // 25-29
    EXPECT_EQ(ImmunityText(fire, nullptr), "25-29%");
    fire.AddPair(30, 10); // 25-27
    fire.AddPair(75, 25); // 25
    EXPECT_EQ(ImmunityText(fire, nullptr), "25%");
    ImmunityEvidence lastFight;
    lastFight.AddPair(45, 5); // 10-11
    lastFight.AddPair(90, 10);
    fire.Merge(lastFight);
    EXPECT_TRUE(fire.Contradicts());
    EXPECT_EQ(ImmunityText(fire, &lastFight), "~10%");
    EXPECT_EQ(ImmunityText(fire, nullptr), "~10-29%"); // every pair's range
}

TEST(TargetStats, MostFrequentBonusAndBestSaves)
{
    BonusTally ab;
    EXPECT_EQ(ab.Mode(), std::nullopt);
    for (const int32_t bonus : {27, 22, 27, 17, 22, -3, 2000000})
        ab.Add(bonus);
    EXPECT_EQ(ab.Mode(), 27); // 22 is as frequent: the higher wins
    BonusTally more;
    more.Add(22);
    more.Add(2000000);
    more.Add(2000000);
    ab.Merge(more);
    EXPECT_EQ(ab.Rolls(), 10);
    EXPECT_EQ(ab.Mode(), 2000000);

    SaveBests saves;
    saves.Add(1, 12);
    saves.Add(1, 9);
    saves.Add(3, -1);
    EXPECT_EQ(saves.Best(1), 12);
    EXPECT_EQ(saves.Best(2), std::nullopt);
    EXPECT_EQ(saves.Best(3), -1);
}

} // namespace
} // namespace tarvik
