#pragma once

#include "Follow.h"
#include "serve/ListenAddress.h"

#include <ostream>
#include <string>
#include <vector>

namespace tarvik {

class Clock;
class DebugLog;
class Session;

struct ServeOptions {
    ListenAddress listen;
    std::vector<std::string> allowedHosts;
};

// Follows the logs as RunFollow does and serves the live meter: the page's
// address goes to out as its only line, the --follow lines to the page's
// event stream. Returns RunFollow's exit status, or 1 when the address
// cannot be taken.
int RunServe(Session& session, FollowOptions follow, const ServeOptions& options, DebugLog& debug,
             const Clock& clock, std::ostream& out, std::ostream& err);

} // namespace tarvik
