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

} // namespace
} // namespace tarvik
