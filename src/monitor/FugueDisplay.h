#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

class DebugLog;
class RealTimeState;

// What the main window shows for the fugue timers at one tick.
struct FugueDisplay {
    int32_t count = 0;
    int32_t secondsToNext = 0;
    std::string panelText = "n/a";
    std::string tooltip = "Active fugue timers:  0";
    bool showWarning = false;
    bool beep = false;
};

// "m:ss" (125 gives 2:05, 59 gives 0:59).
std::string FormatMinutesSeconds(int32_t seconds);

// One tick of the main window's fugue display: prunes expired timers and
// decides the panel text, the warning label and the beep.
FugueDisplay FugueDisplayTick(RealTimeState& state, DebugLog& debug, bool audibleAlerts);

} // namespace tarvik
