#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace tarvik {

// Where monitoring stands in the logs it follows. Clearing all data resets
// it, so that switching monitoring on reads every log again.
struct MonitorPosition {
    int32_t logNumber = 0; // 1-based place of the followed log in the log list; 0: none yet
    int64_t position = 0;  // next byte to read in the followed log (1-based); 0: the start
    std::string logName;   // the followed log's file name; empty: none yet
    // Every log read so far, by file name, with its next byte to read. A log
    // followed again later goes on from here instead of being read twice.
    std::map<std::string, int64_t> readPositions;
};

} // namespace tarvik
