#pragma once

#include <functional>

namespace tarvik {

class DebugLog;
class Dialogs;
class Session;
class SettingsStore;
class TimerFactory;
struct Configuration;
struct UserOptions;

// What the HUD and its two settings dialogs use of the main window. The main
// window keeps the HUD's opacity and colours (in UserOptions) while the
// program runs and stores them at shutdown.
struct HudContext {
    Session& session;     // real-time state, analysed data, configuration lists
    UserOptions& options; // opacityPercent and the four HUD colours
    SettingsStore& store; // HoverBehavior and window positions
    DebugLog& debug;
    Dialogs& dialogs;
    const Configuration& config; // its path is where the real-time settings are written
    // The main window's on-top timer follows the HUD's (clamped to 100..500 ms).
    std::function<void(int milliseconds)> setHoverInterval;
    // The HUD's timers; Qt's when none are given.
    TimerFactory* timers = nullptr;
};

} // namespace tarvik
