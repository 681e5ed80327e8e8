#pragma once

#include "Report.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik {

class Clock;
class DebugLog;
class Session;

struct FollowOptions {
    std::string folder;
    std::string mask;        // LogFileMask
    int64_t forSeconds = 0;  // 0: until SIGINT or SIGTERM
    int32_t tickMs = 500;    // as the window's monitoring timer
    ReportSections sections; // in "fight" lines and the summary
    // Spends the wait between ticks (at most the given milliseconds at a
    // time); sleeps when not set.
    std::function<void(int64_t)> idle = {};
};

// The logs the follower has read, by name, sorted.
std::vector<std::string> FollowedLogNames(Session& session);

// Follows the game's logs in a folder the way the window does and prints
// JSON Lines (see FollowStream) until SIGINT, SIGTERM or the time is up.
// Returns the exit status: 0 when it ended that way, 1 when monitoring had
// to stop (the followed log vanished, a serious read error).
int RunFollow(Session& session, const FollowOptions& options, DebugLog& debug, const Clock& clock,
              std::ostream& out, std::ostream& err);

} // namespace tarvik
