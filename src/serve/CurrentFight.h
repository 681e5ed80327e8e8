#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// The fight a live view shows, chosen from the --follow lines: the running
// fight as its last "update" line tells, else the last fight that ended. A
// line of an earlier fight (one reprinted because late lines changed it)
// leaves the choice alone.
class CurrentFight {
public:
    // Offers one line; true when it became the current fight's line.
    bool Offer(std::string_view line);
    // Empty before the first fight.
    const std::string& Line() const { return line_; }

private:
    std::string line_;
    int64_t number_ = 0;
};

} // namespace tarvik
