#pragma once

#include <algorithm>
#include <cstdint>

namespace tarvik {

// Seconds before a death that its recap shows ("RecapSeconds" in the
// configuration file).
inline constexpr int32_t DefaultRecapSeconds = 15;
inline constexpr int32_t MinRecapSeconds = 1;
inline constexpr int32_t MaxRecapSeconds = 120;

// A RecapSeconds value brought into range.
constexpr int32_t ClampRecapSeconds(int64_t seconds)
{
    return static_cast<int32_t>(std::clamp<int64_t>(seconds, MinRecapSeconds, MaxRecapSeconds));
}

} // namespace tarvik
