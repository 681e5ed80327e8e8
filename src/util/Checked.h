#pragma once

#include <cstdint>
#include <limits>

namespace tarvik {

// The program's counters are 32-bit; a sum that would not fit is an error,
// never a wrap-around.
inline bool CanAdd(int32_t counter, int64_t amount)
{
    const int64_t sum = static_cast<int64_t>(counter) + amount;
    return sum >= std::numeric_limits<int32_t>::min() && sum <= std::numeric_limits<int32_t>::max();
}

[[nodiscard]] inline bool AddChecked(int32_t& counter, int64_t amount)
{
    if (!CanAdd(counter, amount))
        return false;
    counter = static_cast<int32_t>(counter + amount);
    return true;
}

} // namespace tarvik
