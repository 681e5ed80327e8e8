#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// "45 s" under a minute, else "m:ss".
std::string DurationText(int64_t seconds);

// The names of the logs that exist, without their folders, sorted: how
// every report lists the files it was made from.
std::vector<std::string> ReportFileNames(const std::vector<std::string>& paths);

} // namespace tarvik
