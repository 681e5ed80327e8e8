#include "ui/HudView.h"

#include <gtest/gtest.h>
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
    struct Case {
        int32_t level;
        int32_t intervalMs;
        bool known, running;
        const char* caption;
    };
    const Case cases[] = {
        {0, 250, false, false, ""},         {1, 250, true, false, "Disabled"},
        {2, 500, true, true, "Relaxed"},    {3, 250, true, true, "Standard"},
        {4, 100, true, true, "Aggressive"}, {5, 250, false, false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HoverInterval(c.level), c.intervalMs) << c.level;
        const auto setting = HoverSettingFor(c.level);
        ASSERT_EQ(setting.has_value(), c.known) << c.level;
        if (!setting)
            continue;
        EXPECT_EQ(setting->running, c.running) << c.level;
        EXPECT_EQ(setting->caption, c.caption) << c.level;
        if (setting->running) {
            EXPECT_EQ(setting->intervalMs, c.intervalMs) << c.level;
        }
    }
}

} // namespace
} // namespace tarvik
