#pragma once

#include "util/DateTime.h"

#include <string>
#include <string_view>

namespace tarvik {

// The game writes no year: "Wed Jun 04 23:27:01" becomes "Jun 04 2026 23:27:01"
// (the weekday dropped, the year inserted after the blank that follows the
// day). A blank-padded day ("Aug  3") gives "Aug  2026 3 20:02:50".
std::string BuildDateText(std::string_view timestamp, int year);

// Accepts an English month name (three letters or in full, any case), a
// four-digit year, a one- or two-digit day and a 24-hour time with seconds,
// separated by blanks, in any order. Impossible dates are refused.
bool ParseDateText(std::string_view text, DateTime& result);

} // namespace tarvik
