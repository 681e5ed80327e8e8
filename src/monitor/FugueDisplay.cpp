#include "FugueDisplay.h"

#include "RealTimeState.h"
#include "diag/DebugLog.h"

#include <cstdio>

namespace tarvik {

std::string FormatMinutesSeconds(int32_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%d:%02d", seconds / 60, seconds % 60);
    return buffer;
}

FugueDisplay FugueDisplayTick(RealTimeState& state, DebugLog& debug, bool audibleAlerts)
{
    FugueDisplay display;
    debug.LogDebug("Monitoring:  Main form fugue timer firing.", 4);
    state.GetFugueTimers(display.secondsToNext, display.count);
    display.tooltip = "Active fugue timers:  " + std::to_string(display.count);
    if (display.count < 1)
        return display;
    display.panelText = FormatMinutesSeconds(display.secondsToNext);
    debug.Log(2, [&] {
        return "Monitoring:  There are " + std::to_string(display.count) +
               " active currently.  Next timer expires: " + display.panelText + ".";
    });
    display.showWarning = display.secondsToNext <= state.FugueWarningSeconds();
    if (display.secondsToNext <= 10 && audibleAlerts) {
        debug.LogDebug("Monitoring:  Main form fugue timer alert going off.", 2);
        display.beep = true;
    }
    return display;
}

} // namespace tarvik
