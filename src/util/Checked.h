#pragma once

#include <cstdint>
#include <limits>

namespace tarvik {

// The program's counters are 32-bit; a sum that would not fit is an error,
// never a wrap-around.
inline bool CanAdd(int32_t counter, int64_t amount)
{
    // Compare with the room left: forming the sum could itself overflow 64 bits.
    constexpr int64_t max = std::numeric_limits<int32_t>::max();
    constexpr int64_t min = std::numeric_limits<int32_t>::min();
    return amount >= 0 ? amount <= max - counter : amount >= min - counter;
}

[[nodiscard]] inline bool AddChecked(int32_t& counter, int64_t amount)
{
    if (!CanAdd(counter, amount))
        return false;
    counter = static_cast<int32_t>(counter + amount);
    return true;
}

// Totals of 32-bit amounts are 64-bit: they outgrow 32 bits on long logs of
// big numbers, and 64 bits only after billions of records of the largest
// amount. The check is kept so that not even that wraps.
inline bool CanAdd(int64_t total, int64_t amount)
{
    constexpr int64_t max = std::numeric_limits<int64_t>::max();
    constexpr int64_t min = std::numeric_limits<int64_t>::min();
    return amount >= 0 ? total <= max - amount : total >= min - amount;
}

[[nodiscard]] inline bool AddChecked(int64_t& total, int64_t amount)
{
    if (!CanAdd(total, amount))
        return false;
    total += amount;
    return true;
}

} // namespace tarvik
