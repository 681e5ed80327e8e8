#include "ui/HudView.h"

#include "model/AttackRecord.h"
#include "ui/HudSettings.h"

#include <deque>
#include <gtest/gtest.h>
#include <vector>

namespace tarvik {
namespace {

TEST(HudView, OpacityAlphaRoundsHalvesToEven)
{
    const std::pair<int32_t, int32_t> cases[] = {
        {100, 255},
        {80, 204},
        {50, 128},
        {20, 51},
        // 76.5 and 178.5 go to the even neighbour.
        {30, 76},
        {70, 178},
        // Out of range: never invisible, never more than opaque.
        {0, 1},
        {-40, 1},
        {150, 255}};
    for (const auto& [percent, alpha] : cases)
        EXPECT_EQ(OpacityAlpha(percent), alpha) << percent;
}

TEST(HudView, HoverLevelsGiveIntervalAndCaption)
{
    const auto disabled = HoverSettingFor(1);
    ASSERT_TRUE(disabled);
    EXPECT_FALSE(disabled->running);
    EXPECT_EQ(disabled->caption, "Disabled");

    const struct {
        int32_t level;
        int32_t interval;
        const char* caption;
    } running[] = {{2, 500, "Relaxed"}, {3, 250, "Standard"}, {4, 100, "Aggressive"}};
    for (const auto& c : running) {
        const auto setting = HoverSettingFor(c.level);
        ASSERT_TRUE(setting) << c.level;
        EXPECT_TRUE(setting->running);
        EXPECT_EQ(setting->intervalMs, c.interval);
        EXPECT_EQ(setting->caption, c.caption);
    }
    EXPECT_FALSE(HoverSettingFor(0));
    EXPECT_FALSE(HoverSettingFor(5));
}

AttackRecord Record(const std::vector<DamageBreakdown>& attacks)
{
    AttackRecord record;
    record.CreateAttackRecord(1, 1, 4);
    for (const auto& damage : attacks)
        EXPECT_TRUE(record.AddAttack(damage));
    return record;
}

TEST(HudView, RollingAveragesAverageThePerIntervalAverages)
{
    // Types: physical, fire, cold, total.
    std::deque<AttackRecord> records;
    records.push_back(Record({{10, 0, 0, 10}, {20, 6, 0, 26}})); // physical 15, fire 6
    records.push_back(Record({{30, 0, 0, 30}}));                 // physical 30
    // A busy interval counts no more than a quiet one: (15 + 30) / 2, fraction dropped.
    const std::vector<int32_t> averages = RollingAverages(records, 4);
    EXPECT_EQ(averages, (std::vector<int32_t>{22, 6, 0, 28}));

    // The same records give the same averages however often they are asked for.
    EXPECT_EQ(RollingAverages(records, 4), averages);
}

TEST(HudView, RollingAveragesFitTheDamageTypeCount)
{
    EXPECT_EQ(RollingAverages({}, 4), (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_TRUE(RollingAverages({}, 0).empty());
    EXPECT_TRUE(RollingAverages({}, -2).empty());

    // One entry per damage type, the last being the sum of the others.
    std::deque<AttackRecord> records;
    records.push_back(Record({{10, 0, 0, 10}}));
    EXPECT_EQ(RollingAverages(records, 6), (std::vector<int32_t>{10, 0, 0, 10, 0, 20}));
    EXPECT_EQ(RollingAverages(records, 2).size(), size_t{2});
}

TEST(HudSettings, ValueLabelsArePluralUnlessOne)
{
    EXPECT_EQ(CountWithUnit(1, "minute"), "1 minute");
    EXPECT_EQ(CountWithUnit(5, "minute"), "5 minutes");
    EXPECT_EQ(CountWithUnit(30, "second"), "30 seconds");
    EXPECT_EQ(CountWithUnit(20, "record"), "20 records");
    EXPECT_EQ(CountWithUnit(0, "minute"), "0 minutes");
    EXPECT_EQ(OpacityText(60), "60%");
}

TEST(HudSettings, FugueLengthShowsTheNearestWholeMinute)
{
    const std::pair<int32_t, int32_t> cases[] = {
        {300, 5},
        // 1 minute with a 60-second warning runs 61 seconds; the slider shows 1.
        {61, 1},
        {90, 2},  // 1.5
        {150, 2}, // 2.5
        {3600, 60},
        {11, 1},
        {0, 1},
        {-120, 1},
        {99999, 60}};
    for (const auto& [seconds, minutes] : cases)
        EXPECT_EQ(FugueLengthMinutes(seconds), minutes) << seconds;
}

} // namespace
} // namespace tarvik
