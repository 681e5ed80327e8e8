#pragma once

#include "FightTracker.h"
#include "util/DateTime.h"

namespace tarvik {

// The fight a view follows: the running one, else the last that ended.
struct CurrentFightChoice {
    const Fight* fight = nullptr; // null before the first fight
    bool running = false;
};
CurrentFightChoice CurrentFightOf(const FightTracker& tracker, DateTime now);

} // namespace tarvik
