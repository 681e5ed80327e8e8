#include "CurrentFightRule.h"

namespace tarvik {

CurrentFightChoice CurrentFightOf(const FightTracker& tracker, DateTime now)
{
    if (const Fight* running = tracker.RunningFight(now))
        return {running, true};
    // Fights are kept in the order they began; a long one may end after a
    // later short one, so the last to end is looked for.
    const Fight* last = nullptr;
    for (const Fight& fight : tracker.Fights()) {
        if (!last || fight.EndSecond() >= last->EndSecond())
            last = &fight;
    }
    return {last, false};
}

} // namespace tarvik
