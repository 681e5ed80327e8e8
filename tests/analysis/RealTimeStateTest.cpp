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
    DamageBreakdown Damage(int32_t physical, int32_t fire)
    {
        return {physical, fire, physical + fire};
    }

    test::TempDir dir;
    ManualClock clock{At(12, 0, 0)};
    ErrObject lastError;
    LogFile logFile{clock, lastError, dir.Path(), "debug"};
    DebugLog debug{logFile};
    RealTimeState state{clock, debug, 3};
};

TEST_F(RealTime, FugueSettingsAreClamped)
{
    struct Case {
        int32_t minutes, warning, expiry, expectedWarning;
    };
    const Case cases[] = {
        {0, 5, 60, 10}, {1, 60, 61, 60}, {5, 30, 300, 30}, {100, 70, 3600, 60}, {-3, -3, 60, 10},
    };
    for (const auto& c : cases) {
        state.SetFugueTimers(c.minutes, c.warning);
        EXPECT_EQ(state.FugueExpirySeconds(), c.expiry) << c.minutes << "/" << c.warning;
        EXPECT_EQ(state.FugueWarningSeconds(), c.expectedWarning) << c.minutes << "/" << c.warning;
    }
}

TEST_F(RealTime, RingAndRollingSettingsAreClamped)
{
    const std::pair<int32_t, int32_t> rings[] = {{5, 10}, {250, 100}, {50, 50}, {-1, 10}};
    for (const auto& [asked, slots] : rings) {
        state.SetNumABRecords(asked);
        EXPECT_EQ(state.GetNumABRecords(), slots) << asked;
        EXPECT_EQ(state.EnemyABSamples().size(), static_cast<size_t>(slots)) << asked;
    }
    struct Rolling {
        int32_t asked, minutes, records;
    };
    const Rolling rolling[] = {{2, 2, 20}, {10, 10, 60}, {0, 1, 10}, {-4, 1, 10}, {6, 6, 60}};
    for (const auto& r : rolling) {
        state.SetRTRollingAverage(r.asked);
        EXPECT_EQ(state.RollingIntervalMinutes(), r.minutes) << r.asked;
        EXPECT_EQ(state.MaxAttackRecords(), r.records) << r.asked;
    }
    EXPECT_EQ(RealTimeState::ClampHoverInterval(50), 100);
    EXPECT_EQ(RealTimeState::ClampHoverInterval(700), 500);
    EXPECT_EQ(RealTimeState::ClampHoverInterval(250), 250);
}

TEST_F(RealTime, AttackBonusRingsOverwriteTheOldestAndIgnoreEmptySlots)
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
    EXPECT_EQ(own, (11 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 9 + 10) / 10);
    EXPECT_EQ(enemy, 11);

    // The fraction is dropped: 38 / 3 = 12.67.
    state.ClearRealTimeData();
    for (int32_t value : {12, 13, 13})
        state.LogAttackBonus(true, value);
    state.GetAverageAB(own, enemy);
    EXPECT_EQ(own, 12);
    EXPECT_EQ(enemy, 0);
}

TEST_F(RealTime, ShrinkingTheRingWrapsTheNextSampleToTheFirstSlot)
{
    state.SetNumABRecords(20);
    for (int i = 0; i < 15; ++i)
        state.LogAttackBonus(true, 7);
    state.SetNumABRecords(10);
    EXPECT_EQ(state.OwnABSamples(), std::vector<int32_t>(10, 0));
    state.LogAttackBonus(true, 9);
    EXPECT_EQ(state.OwnABSamples()[0], 9);
}

TEST_F(RealTime, ClearRealTimeDataKeepsFugueTimers)
{
    state.SetFugueTimers(5, 30);
    state.StartFugueTimer(clock.Now());
    state.LogAttackBonus(true, 8);
    state.LogAttackBonus(true, 9);
    state.SetLastConcealment(50);
    ASSERT_TRUE(state.LogAttackDamage(true, Damage(3, 4)));
    state.ClearRealTimeData();
    EXPECT_TRUE(state.OwnAttackRecords().empty());
    EXPECT_EQ(state.LastConcealment(), 0);
    EXPECT_EQ(state.FugueTimerCount(), 1u);
    // The ring starts over at its first slot.
    state.LogAttackBonus(true, 5);
    EXPECT_EQ(state.OwnABSamples()[0], 5);
    EXPECT_EQ(state.OwnABSamples()[1], 0);
}

TEST_F(RealTime, DamageRecordsRollOverAfterAQuietInterval)
{
    state.SetRTRollingAverage(2);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(state.LogAttackDamage(true, Damage(2, 3)));
        clock.Advance(30'000);
    }
    ASSERT_EQ(state.OwnAttackRecords().size(), 1u);
    EXPECT_EQ(state.OwnAttackRecords()[0].NumberAttacks(), 3);
    EXPECT_EQ(state.OwnAttackRecords()[0].TotalDamage(), 15);

    clock.Advance(121'000);
    ASSERT_TRUE(state.LogAttackDamage(true, Damage(1, 0)));
    EXPECT_EQ(state.OwnAttackRecords().size(), 2u);
}

TEST_F(RealTime, EitherListsActivityKeepsTheCurrentRecordsOpen)
{
    state.SetRTRollingAverage(2);
    ASSERT_TRUE(state.LogAttackDamage(true, Damage(1, 1)));
    clock.Advance(100'000);
    ASSERT_TRUE(state.LogAttackDamage(false, Damage(1, 1)));
    clock.Advance(100'000); // 200 s after the own attack, 100 s after the enemy's
    ASSERT_TRUE(state.LogAttackDamage(true, Damage(1, 1)));
    EXPECT_EQ(state.OwnAttackRecords().size(), 1u);
    EXPECT_EQ(state.EnemyAttackRecords().size(), 1u);
}

TEST_F(RealTime, DamageRecordsAreLimitedToTheNewest)
{
    state.SetRTRollingAverage(2);
    for (int burst = 1; burst <= 21; ++burst) {
        ASSERT_TRUE(state.LogAttackDamage(true, Damage(burst, 0)));
        clock.Advance(121'000);
    }
    ASSERT_EQ(state.OwnAttackRecords().size(), 20u);
    EXPECT_EQ(state.OwnAttackRecords().front().TotalDamage(), 2);
    EXPECT_EQ(state.OwnAttackRecords().back().TotalDamage(), 21);
}

TEST_F(RealTime, DamageRecordStaysOpenAcrossMidnight)
{
    clock.Set(At(23, 59, 30));
    state.SetRTRollingAverage(2);
    ASSERT_TRUE(state.LogAttackDamage(true, Damage(1, 0)));
    clock.Advance(60'000);
    ASSERT_TRUE(state.LogAttackDamage(true, Damage(1, 0)));
    EXPECT_EQ(state.OwnAttackRecords().size(), 1u);
}

TEST_F(RealTime, SecondsOfDayAfterWrapsAtMidnight)
{
    clock.Set(At(23, 59, 0));
    EXPECT_EQ(state.SecondsOfDayAfter(120), 60);
    EXPECT_EQ(state.SecondsOfDayAfter(30), 86370);
}

TEST_F(RealTime, NoFugueTimers)
{
    const FugueDisplay display = Tick();
    EXPECT_EQ(display.panelText, "n/a");
    EXPECT_EQ(display.tooltip, "Active fugue timers:  0");
    EXPECT_FALSE(display.showWarning);
    EXPECT_FALSE(display.beep);
}

TEST_F(RealTime, FugueTimerCountsDownWarnsAndBeeps)
{
    state.SetFugueTimers(5, 30);
    state.StartFugueTimer(clock.Now());
    struct Step {
        int64_t advanceMs;
        const char* text;
        bool warning;
        bool beep;
    };
    const Step steps[] = {
        {0, "5:00", false, false},      {270'000, "0:30", true, false},
        {-1'000, "0:31", false, false}, {21'000, "0:10", true, true},
        {10'000, "0:00", true, true},   {1'000, "n/a", false, false},
    };
    for (const auto& step : steps) {
        clock.Advance(step.advanceMs);
        const FugueDisplay display = Tick();
        EXPECT_EQ(display.panelText, step.text);
        EXPECT_EQ(display.showWarning, step.warning) << step.text;
        EXPECT_EQ(display.beep, step.beep) << step.text;
        EXPECT_EQ(display.tooltip, std::string("Active fugue timers:  ") +
                                       (std::string(step.text) == "n/a" ? "0" : "1"));
    }
}

TEST_F(RealTime, FugueBeepsOnlyWithAudibleAlerts)
{
    state.SetFugueTimers(1, 10);
    state.StartFugueTimer(clock.Now());
    clock.Advance(55'000);
    EXPECT_TRUE(Tick(true).beep);
    EXPECT_FALSE(Tick(false).beep);
    EXPECT_TRUE(Tick(false).showWarning);
}

TEST_F(RealTime, TwoDeathsShowTheEarlierExpiryFirst)
{
    state.SetFugueTimers(5, 30);
    state.StartFugueTimer(clock.Now());
    clock.Advance(60'000);
    state.StartFugueTimer(clock.Now());
    FugueDisplay display = Tick();
    EXPECT_EQ(display.count, 2);
    EXPECT_EQ(display.panelText, "4:00");
    EXPECT_EQ(display.tooltip, "Active fugue timers:  2");

    clock.Advance(241'000);
    display = Tick();
    EXPECT_EQ(display.count, 1);
    EXPECT_EQ(display.panelText, "0:59");
}

TEST_F(RealTime, FugueTimerRunsFromTheStartOfTheRead)
{
    state.SetFugueTimers(5, 30);
    const DateTime readStart = clock.Now();
    clock.Advance(20'000);
    state.StartFugueTimer(readStart);
    EXPECT_EQ(Tick().panelText, "4:40");
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

TEST(FugueText, MinutesAndTwoDigitSeconds)
{
    EXPECT_EQ(FormatMinutesSeconds(125), "2:05");
    EXPECT_EQ(FormatMinutesSeconds(59), "0:59");
    EXPECT_EQ(FormatMinutesSeconds(0), "0:00");
    EXPECT_EQ(FormatMinutesSeconds(3600), "60:00");
}

} // namespace
} // namespace tarvik
