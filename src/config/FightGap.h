#pragma once

#include <algorithm>
#include <cstdint>

namespace tarvik {

// Quiet seconds that end a fight ("FightGap" in the configuration file).
inline constexpr int32_t DefaultFightGapSeconds = 15;
inline constexpr int32_t MinFightGapSeconds = 1;
inline constexpr int32_t MaxFightGapSeconds = 3600;

// A FightGap value brought into range.
constexpr int32_t ClampFightGap(int64_t seconds)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(seconds, MinFightGapSeconds, MaxFightGapSeconds));
}

} // namespace tarvik
