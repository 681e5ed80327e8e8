#pragma once

#include "LogChangeWatch.h"
#include "monitor/LogFollower.h"
#include "util/Timer.h"

#include <functional>
#include <memory>

#include <QString>

class QLabel;
class QWidget;

namespace tarvik {

class Clock;
class DebugLog;
class Dialogs;
class GameDetector;
class LogSelectionPanel;
class LongWork;
class Session;
class StatusBar;
class WindowLister;
struct Configuration;
struct UserOptions;

// What real-time monitoring works with; all of it outlives the controller.
struct MonitoringParts {
    Session& session;
    const Configuration& config;
    const UserOptions& options; // audible fugue timer alerts
    DebugLog& debug;
    const Clock& clock;
    Dialogs& dialogs;
    TimerFactory& timers;
    // No read starts inside the window's long work.
    const LongWork& work;
    WindowLister& windows;
    LogSelectionPanel& logPanel;
    StatusBar& statusBar;
    QLabel& fugueWarning;
    QWidget* window; // the message boxes' parent
};

// What a read asks of the rest of the window. Unset hooks do nothing.
struct MonitoringHooks {
    // New lines were read: the character tree, the details shown and the
    // fights follow them.
    std::function<void()> redrawTree;
    std::function<void()> redrawDetails;
    // After every tick that read (newData) or could have ended a fight.
    std::function<void(bool newData)> fightsTick;
    // True when the details shown must be redrawn after new data; clears the mark.
    std::function<bool()> takeDetailChange;
    // Monitoring was switched: the HUD's figures start unchanged.
    std::function<void()> realTimeReset;
    // Shows the error-list lines added so far.
    std::function<void()> flushErrors;
    // The game started or ended (a balloon of the notification-area icon).
    std::function<void(const QString& title, const QString& text)> announceGame;
};

// Real-time monitoring: the switch in the "Monitor" panel, the reads of the
// game's logs as soon as the file system tells of a change and twice a
// second in any case, game detection once a second and the fugue
// timers' display twice a second.
class MonitoringController {
public:
    static constexpr std::chrono::milliseconds ReadInterval{500};
    static constexpr std::chrono::milliseconds GameInterval{1000};
    static constexpr std::chrono::milliseconds FugueInterval{500};

    MonitoringController(const MonitoringParts& parts, MonitoringHooks hooks);
    ~MonitoringController();
    MonitoringController(const MonitoringController&) = delete;
    MonitoringController& operator=(const MonitoringController&) = delete;

    bool Enabled() const;
    void SetEnabled(bool on);
    // Switching on clears the data and reads every log again from its start.
    void Toggle();
    // Reads what the game wrote since the last read, now; the monitoring
    // timer calls it. Does nothing while monitoring is off or the window's
    // long work runs.
    void ReadNow();

    // Reads on notice of the file system; the read timer is the fallback.
    LogChangeWatch& Watch() { return watch_; }

    // A mouse button held on the character tree: nothing is read meanwhile.
    bool Paused() const { return paused_; }
    void SetPaused(bool paused) { paused_ = paused; }

    // "Monitor NWN Process" checked (and possible with this configuration).
    void WatchGame(bool on);
    bool WatchingGame() const { return watchGame_; }
    bool GameTimerRunning() const { return gameTimer_.Running(); }

    // The fugue display runs from the end of start-up.
    void StartFugueDisplay() { fugueTimer_.Start(); }
    // At shutdown.
    void StopTimers();

private:
    void GameTick();
    void FugueTick();
    void ShowSwitchedOn();
    void ShowSwitchedOff();
    // The folder and the followed log, as they are now.
    void WatchLog();

    MonitoringParts parts_;
    MonitoringHooks hooks_;
    std::unique_ptr<GameDetector> detector_;
    std::unique_ptr<LogFollower> follower_;
    TickResult tickResult_; // kept between ticks, so an idle tick allocates nothing
    bool paused_ = false;
    bool watchGame_ = false;
    IntervalTimer readTimer_;
    IntervalTimer gameTimer_;
    IntervalTimer fugueTimer_;
    LogChangeWatch watch_;
};

} // namespace tarvik
