#include "monitor/RealTimeState.h"

#include "AnalysisTestSupport.h"
#include "monitor/FugueDisplay.h"

#include <gtest/gtest.h>
#include <vector>

namespace tarvik {
namespace {

DateTime At(int hour, int minute, int second, int day = 1)
{
    return DateTime::FromCivil(2026, 6, day, hour, minute, second);
}

class RealTime : public ::testing::Test {
protected:
    FugueDisplay Tick(bool audible = true) { return FugueDisplayTick(state, debug, audible); }
    static DamageBreakdown Damage(int32_t physical) { return {physical, 0, physical}; }

    test::TempDir dir;
    ManualClock clock{At(12, 0, 0)};
    ErrObject lastError;
    LogFile logFile{clock, lastError, dir.Path(), "debug"};
    DebugLog debug{logFile};
    RealTimeState state{clock, debug, 3};
};

TEST_F(RealTime, SettingsAreClamped)
{
    struct Case {
        int32_t asked, fugueSeconds, warningSeconds, abSlots, rollingMinutes, rollingRecords,
            hoverMs;
    };
    const Case cases[] = {
        {-3, 60, 10, 10, 1, 10, 100},       {0, 60, 10, 10, 1, 10, 100},
        {5, 300, 10, 10, 5, 50, 100},       {30, 1800, 30, 30, 30, 60, 100},
        {70, 3600, 60, 70, 70, 60, 100},    {250, 3600, 60, 100, 250, 60, 250},
        {700, 3600, 60, 100, 700, 60, 500},
    };
    for (const auto& c : cases) {
        state.SetFugueTimers(c.asked, 30);
        EXPECT_EQ(state.FugueExpirySeconds(), c.fugueSeconds) << c.asked;
        state.SetFugueTimers(5, c.asked);
        EXPECT_EQ(state.FugueWarningSeconds(), c.warningSeconds) << c.asked;
        state.SetNumABRecords(c.asked);
        EXPECT_EQ(state.OwnABSamples().size(), static_cast<size_t>(c.abSlots)) << c.asked;
        EXPECT_EQ(state.EnemyABSamples().size(), static_cast<size_t>(c.abSlots)) << c.asked;
        state.SetRTRollingAverage(c.asked);
        EXPECT_EQ(state.RollingIntervalMinutes(), c.rollingMinutes) << c.asked;
        EXPECT_EQ(state.MaxAttackRecords(), c.rollingRecords) << c.asked;
        EXPECT_EQ(RealTimeState::ClampHoverInterval(c.asked), c.hoverMs) << c.asked;
    }
    // The warning must come before the expiry.
    state.SetFugueTimers(1, 60);
    EXPECT_EQ(state.FugueExpirySeconds(), 61);
}

TEST_F(RealTime, AttackBonusRingsWrapAndAverageTheFilledSlots)
{
    state.SetNumABRecords(10);
    for (int32_t value = 1; value <= 11; ++value)
        state.LogAttackBonus(true, value);
    EXPECT_EQ(state.OwnABSamples()[0], 11);
    EXPECT_EQ(state.OwnABSamples()[1], 2);

    state.LogAttackBonus(false, 10);
    state.LogAttackBonus(false, 12);
    state.LogAttackBonus(false, 0);
    int32_t own = 0, enemy = 0;
    state.GetAverageAB(own, enemy);
    EXPECT_EQ(own, 6); // 65 / 10, the fraction dropped
    EXPECT_EQ(enemy, 11);

    // A shrunken ring is empty and wraps the next sample to its first slot.
    state.SetNumABRecords(20);
    for (int i = 0; i < 15; ++i)
        state.LogAttackBonus(true, 7);
    state.SetNumABRecords(10);
    EXPECT_EQ(state.OwnABSamples(), std::vector<int32_t>(10, 0));
    state.LogAttackBonus(true, 9);
    EXPECT_EQ(state.OwnABSamples()[0], 9);
}

TEST_F(RealTime, DamageRecordsRollOverAfterAQuietInterval)
{
    clock.Set(At(23, 59, 0)); // the first record spans midnight
    state.SetRTRollingAverage(2);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(state.LogAttackDamage(true, Damage(5)));
        clock.Advance(30'000);
    }
    ASSERT_EQ(state.OwnAttackRecords().size(), 1u);
    EXPECT_EQ(state.OwnAttackRecords()[0].NumberAttacks(), 3);
    EXPECT_EQ(state.OwnAttackRecords()[0].TotalDamage(), 15);

    clock.Advance(121'000);
    ASSERT_TRUE(state.LogAttackDamage(true, Damage(1)));
    EXPECT_EQ(state.OwnAttackRecords().size(), 2u);

    // Either list's activity keeps both current records open.
    clock.Advance(100'000);
    ASSERT_TRUE(state.LogAttackDamage(false, Damage(1)));
    clock.Advance(100'000);
    ASSERT_TRUE(state.LogAttackDamage(true, Damage(1)));
    EXPECT_EQ(state.OwnAttackRecords().size(), 2u);

    // Only the newest records are kept.
    for (int burst = 1; burst <= 21; ++burst) {
        clock.Advance(121'000);
        ASSERT_TRUE(state.LogAttackDamage(true, Damage(burst)));
    }
    ASSERT_EQ(state.OwnAttackRecords().size(), 20u);
    EXPECT_EQ(state.OwnAttackRecords().front().TotalDamage(), 2);
    EXPECT_EQ(state.OwnAttackRecords().back().TotalDamage(), 21);
}

// The panel texts are followed end to end; here the edges of the warning and the beep.
TEST_F(RealTime, FugueTimerWarnsThenBeepsOnlyWhenAudible)
{
    state.SetFugueTimers(5, 30);
    state.StartFugueTimer(clock.Now());
    struct Step {
        int64_t advanceMs;
        const char* text;
        bool warning, beep;
    };
    const Step steps[] = {{269'000, "0:31", false, false}, {1'000, "0:30", true, false},
                          {19'000, "0:11", true, false},   {1'000, "0:10", true, true},
                          {10'000, "0:00", true, true},    {1'000, "n/a", false, false}};
    for (const auto& step : steps) {
        clock.Advance(step.advanceMs);
        const FugueDisplay display = Tick();
        EXPECT_EQ(display.panelText, step.text);
        EXPECT_EQ(display.showWarning, step.warning) << step.text;
        EXPECT_EQ(display.beep, step.beep) << step.text;
    }
    state.StartFugueTimer(clock.Now());
    clock.Advance(291'000);
    EXPECT_FALSE(Tick(false).beep);
}

TEST_F(RealTime, FugueTimersRunFromTheReadStartAndShowTheEarliestExpiry)
{
    state.SetFugueTimers(5, 30);
    const DateTime readStart = clock.Now();
    clock.Advance(20'000);
    state.StartFugueTimer(readStart);
    EXPECT_EQ(Tick().panelText, "4:40");

    clock.Advance(40'000);
    state.StartFugueTimer(clock.Now());
    EXPECT_EQ(Tick().count, 2);
    EXPECT_EQ(Tick().panelText, "4:00");
    clock.Advance(241'000);
    EXPECT_EQ(Tick().count, 1);
    EXPECT_EQ(Tick().panelText, "0:59");
}

TEST_F(RealTime, FugueTimerStartedBeforeMidnightRunsItsFullLength)
{
    clock.Set(At(23, 58, 0));
    state.SetFugueTimers(5, 30);
    state.StartFugueTimer(clock.Now());
    clock.Advance(60'000);
    EXPECT_EQ(Tick().panelText, "4:00");
    clock.Set(At(0, 2, 0, 2));
    EXPECT_EQ(Tick().panelText, "1:00");
    clock.Set(At(0, 3, 1, 2));
    EXPECT_EQ(Tick().panelText, "n/a");
    EXPECT_EQ(state.FugueTimerCount(), 0u);
}

} // namespace
} // namespace tarvik
