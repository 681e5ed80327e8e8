#pragma once

#include <cstdint>

namespace tarvik::bench {

// Heap allocations made by this program so far (operator new, counted in
// this benchmark binary only).
uint64_t AllocationCount();
// Bytes allocated through operator new and not yet freed.
int64_t LiveBytes();
// The most LiveBytes has been since the last ResetPeakBytes.
int64_t PeakBytes();
void ResetPeakBytes();

} // namespace tarvik::bench
