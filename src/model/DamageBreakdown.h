#pragma once

#include <cstdint>
#include <vector>

namespace tarvik {

// Damage of one record by configured damage type, in configuration order;
// the last entry is the type "Total", the sum of the others.
using DamageBreakdown = std::vector<int32_t>;

} // namespace tarvik
