#include "ui/HudView.h"

#include "ui/WindowFit.h"

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

// The detail window grows to show its grid whole, keeps a size the user
// gave it, and never leaves the screen.
TEST(WindowFit, ContentIsShownWholeWithinTheScreen)
{
    struct Case {
        const char* what;
        Extent content;
        Extent current;
        Extent fit;
    };
    const Extent minimum{240, 120};
    const Extent available{1000, 700};
    const int scrollBar = 15;
    const Case cases[] = {
        {"small grid, first view", {100, 80}, {}, {240, 120}},
        {"twelve columns", {900, 300}, {300, 200}, {900, 300}},
        {"the user made it larger", {300, 200}, {640, 480}, {640, 480}},
        {"wider than the screen", {1400, 300}, {}, {1000, 300}},
        {"taller than the screen: room for the scroll bar", {500, 900}, {}, {515, 700}},
    };
    for (const Case& c : cases) {
        const Extent fit = FitToContent(c.content, c.current, minimum, available, scrollBar);
        EXPECT_EQ(fit.width, c.fit.width) << c.what;
        EXPECT_EQ(fit.height, c.fit.height) << c.what;
    }
}

TEST(WindowFit, OpensBesideItsOwnerInsideTheArea)
{
    const Box area{0, 0, 1920, 1040};
    struct Case {
        const char* what;
        Box owner;
        Extent size;
        int x;
        int y;
    };
    const Case cases[] = {
        {"room on the right", {100, 50, 1000, 600}, {500, 400}, 1100, 50},
        {"room on the left only", {800, 50, 1000, 600}, {500, 400}, 300, 50},
        {"no room: at the right edge", {100, 50, 1700, 900}, {500, 400}, 1420, 50},
        {"owner low on the screen", {100, 900, 1000, 600}, {500, 400}, 1100, 640},
    };
    for (const Case& c : cases) {
        const Box box = PlaceBeside(c.owner, c.size, area);
        EXPECT_EQ(box.x, c.x) << c.what;
        EXPECT_EQ(box.y, c.y) << c.what;
        EXPECT_EQ(box.width, c.size.width) << c.what;
    }
    // A grown window that would run off the screen moves back onto it.
    const Box moved = KeepInside({1700, 900, 500, 400}, area);
    EXPECT_EQ(moved.x, 1420);
    EXPECT_EQ(moved.y, 640);
}

} // namespace
} // namespace tarvik
