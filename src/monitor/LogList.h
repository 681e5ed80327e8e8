#pragma once

#include "util/FileInfo.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// One log in the folder being monitored.
struct LogListEntry {
    std::string name; // file name without its folder
    FileInfo info;
};

// True when name fits mask: "*" stands for any run of characters, "?" for
// one. Case is ignored, as on the game's own file system.
bool MatchesLogMask(std::string_view name, std::string_view mask);

// The files of folder whose names fit mask, sorted by name (case ignored,
// then as written), never in the order the file system happens to list them.
// A folder that cannot be listed gives an empty list, like an empty folder.
std::vector<LogListEntry> ListLogs(const std::string& folder, std::string_view mask);

} // namespace tarvik
