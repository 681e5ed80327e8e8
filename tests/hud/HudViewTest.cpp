#include "ui/HudView.h"

#include <gtest/gtest.h>
#include <tuple>
#include <utility>

namespace tarvik {
namespace {

TEST(HudView, OpacityAlphaRoundsHalvesToEvenAndNeverVanishes)
{
    const std::pair<int32_t, int32_t> cases[] = {{100, 255},
                                                 {80, 204},
                                                 {50, 128},
                                                 {20, 51},
                                                 // 76.5 goes to the even neighbour.
                                                 {30, 76},
                                                 // An invisible window could not be found again.
                                                 {0, 1},
                                                 {150, 255}};
    for (const auto& [percent, alpha] : cases)
        EXPECT_EQ(OpacityAlpha(percent), alpha) << percent;
}

// Level 1 stops the timer; the main window's timer takes the standard
// interval for it, as for a level it does not know.
TEST(HudView, HoverLevelsGiveTheirIntervalAndCaption)
{
    const std::tuple<int32_t, int32_t, const char*> cases[] = {
        {0, 250, nullptr},    {1, 250, "Disabled"},   {2, 500, "Relaxed"},
        {3, 250, "Standard"}, {4, 100, "Aggressive"}, {5, 250, nullptr},
    };
    for (const auto& [level, intervalMs, caption] : cases) {
        EXPECT_EQ(HoverInterval(level), intervalMs) << level;
        const auto setting = HoverSettingFor(level);
        ASSERT_EQ(setting.has_value(), caption != nullptr) << level;
        if (!setting)
            continue;
        EXPECT_EQ(setting->caption, caption) << level;
        EXPECT_EQ(setting->running, level != 1) << level;
        if (setting->running) {
            EXPECT_EQ(setting->intervalMs, intervalMs) << level;
        }
    }
}

} // namespace
} // namespace tarvik
