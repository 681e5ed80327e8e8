#pragma once

#include "config/UserOptions.h"

#include <string_view>

namespace tarvik {

enum class OfferedVersion { Corrupt, UpToDate, Newer };

// Compares an update description's CurrentVersion ("major[.minor[.revision]]")
// with the running version. A later piece counts only when the ones before it
// are equal, and the revision only when all three pieces are given, so 1.41.0
// is newer than 1.40.7 and 1.40 is not. Empty or non-numeric pieces make the
// description corrupt.
OfferedVersion CompareOfferedVersion(std::string_view currentVersion,
                                     const ProgramVersion& running);

} // namespace tarvik
