#pragma once

#include <benchmark/benchmark.h>

namespace tarvik::bench {

// A log naming state.range(0) distinct characters: time and bytes per name of
// the analysis and of each report.
void ManyNames(benchmark::State& state);

} // namespace tarvik::bench
