#pragma once

#include "LogCursor.h"
#include "util/FileInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// A log read while monitoring, known by the file it is, not by its name: the
// game renames its logs when it starts a new one.
struct KnownLog {
    std::string name; // as last listed
    FileIdentity identity;
    LogCursor cursor;
    // The first bytes read, to notice the file started afresh in place.
    std::string fingerprint;
    int64_t size = -1;       // when last read
    int64_t modifiedNs = -1; // when last read
};

// Where monitoring stands in the logs it follows. Clearing all data resets
// it, so that switching monitoring on reads every log again.
struct MonitorPosition {
    int32_t logNumber = 0; // 1-based place of the followed log in the log list; 0: none yet
    int64_t position = 0;  // next byte to read in the followed log (1-based); 0: the start
    std::string logName;   // the followed log's file name; empty: none yet
    // Every log read so far; a log followed again later goes on from its
    // place instead of being read twice.
    std::vector<KnownLog> logs;
    size_t followed = 0; // 1-based index into logs; 0: none

    KnownLog* Followed() { return followed ? &logs[followed - 1] : nullptr; }
};

} // namespace tarvik
