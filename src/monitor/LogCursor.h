#pragma once

#include "util/DateTime.h"

#include <cstdint>

namespace tarvik {

// Where a read of a log stopped, and what the next read must know of the
// lines above: the date of the session header that dates them.
struct LogCursor {
    int64_t position = 0;  // next byte to read (1-based); 0: the start
    DateTime sessionStart; // of the latest session header read; zero: none
    // The position lies inside a line too long to keep, already counted: the
    // rest of it, to its line end, is skipped.
    bool insideCutLine = false;
};

} // namespace tarvik
