#pragma once

#include "fights/FightViews.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// The names of the logs that exist, without their folders, sorted: how
// every report lists the files it was made from.
std::vector<std::string> ReportFileNames(const std::vector<std::string>& paths);

} // namespace tarvik
