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
        // A negative bonus, as the game writes it and as a sum.
        {"*miss* : (3 - 2 = 1)", AttackRoll{3, -2, 1, false, 0}},
        {"*miss* : (3 + -2 = 1)", AttackRoll{3, -2, 1, false, 0}},
        {"*hit* : (18 - 2 = 16 : Threat Roll: 19 - 2 = 17)", AttackRoll{18, -2, 16, true, 19}},
        {"*hit* : (10 - 19 = 29)", std::nullopt},
        {"*hit* : (19 - 4 = 15 : Threat Roll: 12 - 4 = 8)", AttackRoll{19, -4, 15, true, 12}},
        {"*hit* : (3 - 2 = 5)", std::nullopt},    // does not add up
        {"*hit* : (10 + 19 = 30)", std::nullopt}, // does not add up
        {"*resisted*", std::nullopt},
        {"*hit* : (10 + 19)", std::nullopt},
        {"*hit* : (9999999999 + 1 = 10000000000)", std::nullopt},
        // Cut short: nothing is read past the end.
        {"*hit* : (3 -", std::nullopt},
        {"*hit* : (3 + 2 =", std::nullopt},
        {"*hit* : (", std::nullopt},
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
        {"(3 - 2 vs. DC: 13)", 3, -2, 13},
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
        std::vector<std::pair<int32_t, bool>> rolls;
        const char* text;
        ValueRange estimate;
        int32_t outliers;
    };
    const Case cases[] = {
        {{}, "?", {}, 0},
        {{{44, false}, {45, true}}, "45", {45, 45}, 0},
        {{{44, false}, {48, true}, {40, false}, {50, true}}, "45-48", {45, 48}, 0},
        {{{44, false}}, "45-?", {45, std::nullopt}, 0},
        {{{48, true}}, "?-48", {std::nullopt, 48}, 0},
        // One hit below one miss: either may be the odd one, nothing is known.
        {{{45, true}, {50, false}}, "? (1 of 2 rolls disagrees)", {}, 1},
        // A hit below many consistent rolls is the one that disagrees.
        {{{30, false}, {31, false}, {40, true}, {41, true}, {25, true}},
         "32-40 (1 of 5 rolls disagrees)",
         {32, 40},
         1},
    };
    for (const Case& c : cases) {
        const AcEvidence ac = Evidence(c.rolls);
        EXPECT_EQ(AcText(ac), c.text);
        const AcEvidence::Estimate estimate = ac.LeastContradiction();
        EXPECT_EQ(estimate.range, c.estimate) << c.text;
        EXPECT_EQ(estimate.outliers, c.outliers) << c.text;
    }
}

TEST(TargetStats, AcEstimateWithInjectedOutliers)
{
    // Armour class 63: every total from 43 to 82 once, a hit from 63 on.
    AcEvidence ac;
    for (int32_t total = 43; total <= 82; ++total)
        ac.Add(total, total >= 63);
    EXPECT_EQ(AcText(ac), "63");
    // Five rolls that disagree: two hits below it (a debuff), three misses
    // above it (a buff).
    for (const int32_t hit : {55, 60})
        ac.Add(hit, true);
    for (const int32_t miss : {65, 70, 75})
        ac.Add(miss, false);
    EXPECT_TRUE(ac.Contradicts());
    EXPECT_EQ(AcText(ac), "63 (5 of 45 rolls disagree)");
    // The consistent bounds keep their meaning: above the highest miss, at
    // the lowest hit.
    EXPECT_EQ(ac.Low(), 76);
    EXPECT_EQ(ac.High(), 55);

    // Merged fights estimate as one.
    AcEvidence half = Evidence({{50, false}, {62, false}, {63, true}, {70, true}});
    AcEvidence other = Evidence({{75, false}});
    half.Merge(other);
    EXPECT_EQ(AcText(half), "63 (1 of 5 rolls disagrees)");
}

TEST(TargetStats, WhichRollsTellTheArmourClass)
{
    // Natural 1 and 20 go through whatever the armour; other outcomes tell
    // nothing; a miss with a threat roll hit and was evaded.
    struct Case {
        AttackOutcome outcome;
        int32_t roll;
        bool threat;
        bool tells;
        bool evaded;
    };
    const Case cases[] = {
        {AttackOutcome::Hit, 2, false, true, false},
        {AttackOutcome::Miss, 19, false, true, false},
        {AttackOutcome::CriticalHit, 18, true, true, false},
        {AttackOutcome::Hit, 20, true, false, false},
        {AttackOutcome::Miss, 1, false, false, false},
        {AttackOutcome::Other, 10, false, false, false},
        {AttackOutcome::Miss, 19, true, false, true},
        {AttackOutcome::Miss, 20, true, false, true},
    };
    for (const Case& c : cases) {
        const AttackRoll roll{c.roll, 10, c.roll + 10, c.threat, c.threat ? 7 : 0};
        EXPECT_EQ(AcEvidence::Tells(c.outcome, roll), c.tells) << c.roll;
        EXPECT_EQ(AcEvidence::Evaded(c.outcome, roll), c.evaded) << c.roll;
    }
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
        {75, 25, std::pair{25, 25}}, {0, 0, std::nullopt},       {-1, 3, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImmunityEvidence::Interval(c.dealt, c.absorbed), c.interval)
            << c.dealt << " " << c.absorbed;
}

TEST(TargetStats, EveryAmountAtAPercentageAgreesOnIt)
{
    // The game absorbs floor(N * p / 100) of N points; an absorb of 0 is
    // never written. Amounts 1 to 200 pin each percentage down (N = 100
    // alone does).
    for (const int32_t percent : {1, 10, 25, 33, 50, 75, 99, 100}) {
        ImmunityEvidence evidence;
        int32_t written = 0;
        for (int32_t raw = 1; raw <= 200; ++raw) {
            const int32_t absorbed = raw * percent / 100;
            if (absorbed == 0)
                continue;
            ++written;
            const auto interval = ImmunityEvidence::Interval(raw - absorbed, absorbed);
            ASSERT_TRUE(interval) << percent << "% of " << raw;
            EXPECT_LE(interval->first, percent) << raw;
            EXPECT_GE(interval->second, percent) << raw;
            evidence.AddPair(raw - absorbed, absorbed);
        }
        EXPECT_EQ(ImmunityText(evidence),
                  std::to_string(percent) + "% (" + std::to_string(written) + " hits)");
    }
}

TEST(TargetStats, ImmunityTextShowsWhatMostPairsAllow)
{
    ImmunityEvidence fire;
    EXPECT_EQ(ImmunityText(fire), "?");
    fire.absorbs = 1;
    EXPECT_EQ(ImmunityText(fire), "?"); // an absorb without a pair
    fire.AddPair(15, 5);                // 25-29
    EXPECT_EQ(ImmunityText(fire), "25-29% (1 hit)");
    fire.AddPair(30, 10); // 25-27
    EXPECT_EQ(ImmunityText(fire), "25-27% (2 hits)");
    fire.AddPair(75, 25); // 25
    EXPECT_EQ(ImmunityText(fire), "25% (3 hits)");
    // Two pairs read the wrong way (10-11%) do not move it.
    fire.AddPair(45, 5);
    fire.AddPair(90, 10);
    EXPECT_EQ(ImmunityText(fire), "25% (3 of 5 hits)");
    EXPECT_EQ(PercentText(fire.votes), "25%");

    // A pair that may be read two ways allows both; the reading the others
    // agree with wins.
    ImmunityEvidence cold;
    const std::pair<int32_t, int32_t> eitherWay[] = {{90, 10}, {30, 10}}; // 10% or 25-27%
    cold.AddPair(eitherWay, CharacterId::None());
    cold.AddPair(75, 25);
    EXPECT_EQ(ImmunityText(cold), "25% (2 hits)");

    // Merging fights adds their pairs; attackers are kept apart.
    ImmunityEvidence physical;
    physical.AddPair(75, 25, CharacterId(7));
    ImmunityEvidence later;
    later.AddPair(50, 50, CharacterId(8));
    later.AddPair(25, 25, CharacterId(8));
    physical.Merge(later);
    EXPECT_EQ(ImmunityText(physical), "50% (2 of 3 hits)");
    ASSERT_EQ(physical.byAttacker.size(), 2u);
    EXPECT_EQ(PercentText(physical.byAttacker[0].second), "25%");
    EXPECT_EQ(PercentText(physical.byAttacker[1].second), "50%");
}

TEST(TargetStats, PercentVotesTiesSpanTheEquallyGoodPercentages)
{
    struct Case {
        std::vector<std::vector<std::pair<int32_t, int32_t>>> pairs;
        std::optional<PercentVotes::Best> top;
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{{{10, 20}}}, PercentVotes::Best{10, 20, 1}},
        {{{{10, 20}}, {{15, 30}}}, PercentVotes::Best{15, 20, 2}},
        // Touching ranges of one pair count once.
        {{{{10, 12}, {13, 15}}, {{12, 14}}}, PercentVotes::Best{12, 14, 2}},
        // Apart and equally good: the span of both.
        {{{{10, 10}}, {{50, 50}}}, PercentVotes::Best{10, 50, 1}},
        // Out of range parts are cut off.
        {{{{-5, 3}}, {{98, 140}}, {{100, 100}}}, PercentVotes::Best{100, 100, 2}},
    };
    for (const Case& c : cases) {
        PercentVotes votes;
        for (const auto& ranges : c.pairs)
            votes.Add(ranges);
        EXPECT_EQ(votes.Top(), c.top);
    }
}

TEST(TargetStats, AttackBonusLadder)
{
    struct Case {
        std::vector<int32_t> bonuses;
        const char* text;
    };
    const Case cases[] = {
        // Four iterative attacks a round, three rounds.
        {{69, 64, 59, 54, 69, 64, 59, 54, 69, 64, 59, 54}, "69 / 64 / 59 / 54"},
        // Haste: an extra attack at the top adds no step.
        {{69, 69, 64, 59, 54, 69, 69, 64, 59, 54}, "69 / 64 / 59 / 54"},
        // Flurry of blows: every attack 2 lower and one more at the top.
        {{67, 67, 62, 57, 52}, "67 / 62 / 57 / 52"},
        // A short fight shows the steps it saw; a bonus off the ladder is no step.
        {{69, 64, 69, 66}, "69 / 64"},
        // Natural weapons: every attack at the same bonus.
        {{24, 24, 24}, "24"},
        {{3, -2, -7}, "3 / -2 / -7"},
    };
    for (const Case& c : cases) {
        ValueTally tally;
        for (const int32_t bonus : c.bonuses)
            tally.Add(bonus);
        const auto ladder = AbLadder::Of(tally);
        ASSERT_TRUE(ladder) << c.text;
        EXPECT_EQ(ladder->Text(), c.text);
        EXPECT_EQ(ladder->rolls, static_cast<int32_t>(c.bonuses.size()));
    }
    EXPECT_FALSE(AbLadder::Of(ValueTally{}));

    // Over fights: the top most rolls were made under, its longest ladder.
    LadderTally fights;
    fights.Add({69, 3, 15});
    fights.Add({74, 1, 4}); // a buffed fight
    fights.Add({69, 2, 6});
    const auto best = fights.Best();
    ASSERT_TRUE(best);
    EXPECT_EQ(best->Text(), "69 / 64 / 59 / 54");
    EXPECT_EQ(best->rolls, 21);
    fights.Add({74, 1, 21}); // as many rolls: the higher top
    EXPECT_EQ(fights.Best()->top, 74);
}

TEST(TargetStats, FightsMergeIntoOneLadderEach)
{
    TargetStats first, second, all;
    for (const int32_t bonus : {30, 25, 20})
        first.mainHand.Add(bonus);
    for (const int32_t bonus : {34, 29})
        second.mainHand.Add(bonus);
    second.offHand.Add(27);
    all.Merge(first);
    all.Merge(second);
    TargetStats more;
    more.Merge(first); // merged stats bring their ladders along
    all.Merge(more);
    EXPECT_EQ(all.MainLadder()->Text(), "30 / 25 / 20");
    EXPECT_EQ(all.MainLadder()->rolls, 6);
    EXPECT_EQ(all.OffLadder()->Text(), "27");
    EXPECT_EQ(second.MainLadder()->Text(), "34 / 29");
}

TEST(TargetStats, ValuesCountedNearAndFar)
{
    ValueTally ab;
    EXPECT_EQ(ab.Mode(), std::nullopt);
    for (const int32_t bonus : {27, 22, 27, 17, 22, -3, 2000000})
        ab.Add(bonus);
    EXPECT_EQ(ab.Mode(), 27); // 22 is as frequent: the higher wins
    EXPECT_EQ(ab.Max(), 2000000);
    EXPECT_EQ(ab.Count(22), 2);
    ValueTally more;
    more.Add(22);
    more.Add(2000000);
    more.Add(2000000);
    ab.Merge(more);
    EXPECT_EQ(ab.Rolls(), 10);
    EXPECT_EQ(ab.Mode(), 2000000);
    const std::vector<std::pair<int32_t, int32_t>> values = {
        {-3, 1}, {17, 1}, {22, 3}, {27, 2}, {2000000, 3}};
    EXPECT_EQ(ab.Values(), values);

    // A copy, far values included, goes its own way; so does what it was
    // copied from, and a tally cleared for reuse holds nothing far.
    ValueTally copy = ab;
    copy.Add(2000000);
    copy.Add(-900000);
    EXPECT_EQ(ab.Values(), values);
    EXPECT_EQ(copy.Count(2000000), 4);
    EXPECT_EQ(copy.Count(-900000), 1);
    ValueTally assigned;
    assigned.Add(5);
    assigned = copy;
    ab.Clear();
    ab.Add(2000000);
    EXPECT_EQ(assigned.Count(2000000), 4);
    EXPECT_EQ(assigned.Rolls(), 12);
    EXPECT_EQ(ab.Values(), (std::vector<std::pair<int32_t, int32_t>>{{2000000, 1}}));
    EXPECT_EQ(copy.Count(2000000), 4);

    SaveBests saves;
    saves.Add(SaveTypeIndex(1), 12);
    saves.Add(SaveTypeIndex(1), 9);
    saves.Add(SaveTypeIndex(3), -1);
    EXPECT_EQ(saves.Best(SaveTypeIndex(1)), 12);
    EXPECT_EQ(saves.Best(SaveTypeIndex(2)), std::nullopt);
    EXPECT_EQ(saves.Best(SaveTypeIndex(3)), -1);
}

} // namespace
} // namespace tarvik
