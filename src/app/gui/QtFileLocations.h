#pragma once

#include "config/FileLocations.h"

#include <string>
#include <vector>

#include <QString>

namespace tarvik {

// Where the running program's files are, with the user's folders as
// QStandardPaths gives them: Tarvik's folder in the configuration place
// (beside the options' Tarvik.conf) and in the data place.
FileLocations LocateProgramFiles(const QString& programDir, const QString& exeBaseName);

// The game's usual log folders under the user's home and documents folders.
std::vector<std::string> UserGameLogFolders();

} // namespace tarvik
