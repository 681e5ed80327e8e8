#pragma once

#include <cstdint>

namespace tarvik::bench {

// Heap allocations made by this program so far (operator new, counted in
// this benchmark binary only).
uint64_t AllocationCount();

} // namespace tarvik::bench
