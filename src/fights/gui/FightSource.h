#pragma once

#include "fights/FightTracker.h"
#include "fights/FightViews.h"

#include <functional>

namespace tarvik {

// Where the fight views read from: the session's tracker, its roster as
// marked at the moment, and the time that tells whether a fight still runs.
struct FightSource {
    const FightTracker* tracker = nullptr;
    std::function<Roster()> roster;
    std::function<DateTime()> now;
};

} // namespace tarvik
