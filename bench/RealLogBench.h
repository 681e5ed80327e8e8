#pragma once

#include <string>
#include <vector>

namespace tarvik::bench {

// The real-log mode of tarvik-bench: the given logs (files or folders)
// repeated to at least minLines lines in one file, counted by
// `grep -c -i attacks` and analysed, best of three runs each; prints lines/s,
// MB/s, the analysis's peak memory and its time against grep's.
int RunRealLogBench(const std::vector<std::string>& inputs, long long minLines);

} // namespace tarvik::bench
