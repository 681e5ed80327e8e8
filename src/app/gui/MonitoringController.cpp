#include "MonitoringController.h"

#include "LogSelectionPanel.h"
#include "StatusBar.h"
#include "analysis/Session.h"
#include "config/Configuration.h"
#include "config/ProgramInfo.h"
#include "config/UserOptions.h"
#include "diag/DebugLog.h"
#include "monitor/FugueDisplay.h"
#include "monitor/GameDetector.h"
#include "ui/LongWork.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"

#include <QApplication>
#include <QLabel>

namespace tarvik {

MonitoringController::MonitoringController(const MonitoringParts& parts, MonitoringHooks hooks)
    : parts_(parts)
    , hooks_(std::move(hooks))
    , detector_(std::make_unique<GameDetector>(parts.windows, parts.debug, parts.config.windowTitle,
                                               parts.config.windowClass,
                                               ProgramInfo::ProductName()))
    , readTimer_(parts.timers, TimerKind::Repeating, ReadInterval, [this] { ReadNow(); })
    , gameTimer_(parts.timers, TimerKind::Repeating, GameInterval, [this] { GameTick(); })
    , fugueTimer_(parts.timers, TimerKind::Repeating, FugueInterval, [this] { FugueTick(); })
    , watch_([this] {
        if (Enabled())
            ReadNow();
    })
{
}

MonitoringController::~MonitoringController() = default;

bool MonitoringController::Enabled() const
{
    return parts_.session.Options().monitoringEnabled;
}

void MonitoringController::SetEnabled(bool on)
{
    if (Enabled() != on)
        Toggle();
}

void MonitoringController::Toggle()
{
    const bool on = !Enabled();
    parts_.debug.LogDebug(
        std::string(">> Monitoring status changing to: ") + (on ? "True" : "False"), 1);
    parts_.session.SetMonitoringEnabled(on);
    parts_.logPanel.SetSelectionEnabled(!on);
    paused_ = false;
    if (hooks_.realTimeReset)
        hooks_.realTimeReset();
    parts_.session.RealTime().ClearFugueTimers();
    if (on)
        ShowSwitchedOn();
    else
        ShowSwitchedOff();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MonitoringController::ShowSwitchedOff()
{
    readTimer_.Stop();
    watch_.Stop();
    parts_.logPanel.SetMask(ToQString(parts_.config.analysis.format.logFileMask),
                            QColor(Qt::black));
    parts_.statusBar.ShowMonitoring(false);
    parts_.statusBar.SetMessage("Log file monitoring disabled.");
}

void MonitoringController::ShowSwitchedOn()
{
    parts_.session.ClearAllData();
    if (!follower_) {
        LogFollowerHooks hooks = parts_.session.FollowerHooks();
        // The session statistics are redrawn after every read, a
        // character's details after a read that changed them.
        if (hooks_.takeDetailChange)
            hooks.takeDetailChange = hooks_.takeDetailChange;
        follower_ = std::make_unique<LogFollower>(parts_.session.Monitor(), std::move(hooks),
                                                  parts_.debug, parts_.clock);
    }
    parts_.logPanel.ClearSelection();
    parts_.logPanel.SetMask(QString(), QColor(0, 0, 255));
    parts_.statusBar.ShowMonitoring(true);
    parts_.statusBar.SetMessage("Log file monitoring enabled.");
    readTimer_.Start();
    // A log that appears in the folder is read on notice, before the first tick.
    WatchLog();
}

void MonitoringController::WatchLog()
{
    watch_.Watch(parts_.logPanel.Folder(), ToQString(parts_.session.Monitor().logName));
}

void MonitoringController::ReadNow()
{
    // No read starts inside an update check; the next tick goes on from the
    // same place.
    if (!follower_ || parts_.work.AnyRunning())
        return;
    TickInput input;
    input.folder = parts_.logPanel.Folder().toStdString();
    input.mask = parts_.config.analysis.format.logFileMask;
    input.paused = paused_;
    input.processTimerEnabled = gameTimer_.Running();
    follower_->Tick(input, tickResult_);
    const TickResult& result = tickResult_;

    if (result.outcome == TickOutcome::Stopped) {
        readTimer_.Stop();
        return;
    }
    if (result.outcome == TickOutcome::Aborted)
        return;
    if (!result.monitorPanel.empty())
        parts_.statusBar.SetMonitorText(ToQString(result.monitorPanel));
    if (result.enableProcessTimer)
        gameTimer_.SetRunning(true);
    if (!result.logFileText.empty())
        parts_.logPanel.SetMask(ToQString(result.logFileText), QColor(0, 0, 255));
    if (const std::string message = result.Message(); !message.empty())
        parts_.statusBar.SetMessage(ToQString(message));
    if (result.refreshFileList)
        parts_.logPanel.Refresh();
    if (result.outcome == TickOutcome::LogVanished) {
        parts_.session.AddError(result.errorLine);
        if (hooks_.flushErrors)
            hooks_.flushErrors();
        parts_.dialogs.Message(parts_.window, Dialogs::Icon::Exclamation, "Tarvik",
                               ToQString(result.messageBox));
        if (result.switchMonitoringOff && Enabled())
            Toggle();
        return;
    }
    WatchLog();
    if (result.refreshDetails && hooks_.redrawDetails)
        hooks_.redrawDetails();
    if (result.refreshTree && hooks_.redrawTree)
        hooks_.redrawTree();
    if (hooks_.fightsTick)
        hooks_.fightsTick(result.outcome == TickOutcome::NewData);
}

void MonitoringController::WatchGame(bool on)
{
    watchGame_ = on;
    gameTimer_.SetRunning(on);
}

void MonitoringController::GameTick()
{
    if (!watchGame_) {
        gameTimer_.Stop();
        return;
    }
    if (const auto announcement = detector_->Tick()) {
        if (hooks_.announceGame)
            hooks_.announceGame(ToQString(announcement->title), ToQString(announcement->text));
        // The balloon only shows while the window sits in the notification area.
        parts_.statusBar.SetMessage(ToQString(announcement->text));
    }
}

void MonitoringController::FugueTick()
{
    const FugueDisplay display = FugueDisplayTick(parts_.session.RealTime(), parts_.debug,
                                                  parts_.options.audibleFugueTimerAlerts);
    parts_.statusBar.ShowFugue(ToQString(display.panelText), ToQString(display.tooltip));
    parts_.fugueWarning.setVisible(display.showWarning);
    if (display.beep)
        QApplication::beep();
}

void MonitoringController::StopTimers()
{
    for (IntervalTimer* timer : {&readTimer_, &gameTimer_, &fugueTimer_})
        timer->Stop();
}

} // namespace tarvik
