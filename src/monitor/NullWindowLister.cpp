#include "NullWindowLister.h"

#include "diag/DebugLog.h"

namespace tarvik {

std::vector<WindowInfo> NullWindowLister::TopLevelWindows()
{
    if (!reported_) {
        reported_ = true;
        debug_.LogDebug("Monitoring:  Game detection is unavailable: no X display could be "
                        "opened, so the game's window cannot be seen.",
                        1);
    }
    return {};
}

} // namespace tarvik
