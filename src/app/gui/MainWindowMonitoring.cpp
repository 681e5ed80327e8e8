// The main window's real-time monitoring of the game's logs.
#include "CharacterTreeWidget.h"
#include "ErrorsTab.h"
#include "LogChangeWatch.h"
#include "LogSelectionPanel.h"
#include "MainWindow.h"
#include "analysis/Session.h"
#include "monitor/LogFollower.h"
#include "ui/gui/HudContext.h"
#include "ui/gui/HudWindow.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"

#include <QCoreApplication>

namespace tarvik {

bool MainWindow::MonitoringEnabled() const
{
    return session_ && session_->Options().monitoringEnabled;
}

void MainWindow::SetMonitoring(bool on)
{
    if (MonitoringEnabled() != on)
        ToggleMonitoring();
}

void MainWindow::ToggleMonitoring()
{
    const bool on = !MonitoringEnabled();
    debug_.LogDebug(std::string(">> Monitoring status changing to: ") + (on ? "True" : "False"), 1);
    session_->SetMonitoringEnabled(on);
    logPanel_->SetSelectionEnabled(!on);
    monitoringPaused_ = false;
    if (hud_)
        hud_->SetRealTimeDataChanged(false);
    session_->RealTime().ClearFugueTimers();
    if (!on) {
        timerMonitoring_.stop();
        if (logWatch_)
            logWatch_->Stop();
        logPanel_->SetMask(ToQString(config_->analysis.format.logFileMask), QColor(Qt::black));
        monitorPanel_->setFrameShadow(QFrame::Raised);
        monitorPanel_->setText("INACTIVE");
        SetStatusMessage("Log file monitoring disabled.");
    } else {
        ClearAllData();
        if (!follower_) {
            LogFollowerHooks hooks = session_->FollowerHooks();
            // The session statistics are redrawn after every read, a
            // character's details after a read that changed them.
            hooks.takeDetailChange = [this] {
                const bool redraw = detailCharacterChanged_ || detailCharacterId_ == 0;
                detailCharacterChanged_ = false;
                return redraw;
            };
            follower_ = std::make_unique<LogFollower>(session_->Monitor(), std::move(hooks), debug_,
                                                      clock_);
        }
        logPanel_->ClearSelection();
        logPanel_->SetMask(QString(), QColor(0, 0, 255));
        monitorPanel_->setFrameShadow(QFrame::Sunken);
        monitorPanel_->setText("ACTIVE");
        SetStatusMessage("Log file monitoring enabled.");
        timerMonitoring_.start();
        // A log that appears in the folder is read on notice, before the first tick.
        UpdateLogWatch();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::MonitoringTick()
{
    // No read starts inside an update check; the next tick goes on from the
    // same place.
    if (!follower_ || work_.AnyRunning())
        return;
    TickInput input;
    input.folder = logPanel_->Folder().toStdString();
    input.mask = config_->analysis.format.logFileMask;
    input.paused = monitoringPaused_;
    input.processTimerEnabled = timerProcesses_.isActive();
    follower_->Tick(input, tickResult_);
    const TickResult& result = tickResult_;

    if (result.outcome == TickOutcome::Stopped) {
        timerMonitoring_.stop();
        return;
    }
    if (result.outcome == TickOutcome::Aborted)
        return;
    if (!result.monitorPanel.empty())
        monitorPanel_->setText(ToQString(result.monitorPanel));
    if (result.enableProcessTimer && !timerProcesses_.isActive())
        timerProcesses_.start();
    if (!result.logFileText.empty())
        logPanel_->SetMask(ToQString(result.logFileText), QColor(0, 0, 255));
    if (const std::string message = result.Message(); !message.empty())
        SetStatusMessage(message);
    if (result.refreshFileList)
        logPanel_->Refresh();
    if (result.outcome == TickOutcome::LogVanished) {
        session_->AddError(result.errorLine);
        Errors()->Flush();
        dialogs_.Message(this, Dialogs::Icon::Exclamation, "Tarvik", ToQString(result.messageBox));
        if (result.switchMonitoringOff && MonitoringEnabled())
            ToggleMonitoring();
        return;
    }
    UpdateLogWatch();
    if (result.refreshDetails && details_ && details_->isVisible()) {
        if (QTreeWidgetItem* selected = tree_->currentItem())
            ShowNode(selected, 1);
    }
    if (result.refreshTree)
        UpdateCharacterTree();
    FightsTick(result.outcome == TickOutcome::NewData);
}

void MainWindow::EnterHudMode()
{
    if (session_->Data().userCharacterId < 1) {
        dialogs_.Message(this, Dialogs::Icon::Exclamation, "Tarvik",
                         "You must select which character is yours first!\nRight-click on your "
                         "character in the info pane to set it.");
        return;
    }
    if (hud_)
        return;
    debug_.LogDebug("Switching to HUD mode.", 2);
    UnloadDetails();
    HudContext context{
        *session_, options_, store_, debug_, dialogs_, *config_, [this](int milliseconds) {
            timerOnTopMain_.setInterval(RealTimeState::ClampHoverInterval(milliseconds));
        }};
    hud_ = new HudWindow(context);
    connect(hud_, &HudWindow::Closed, this, [this] {
        show();
        if (hud_)
            hud_->deleteLater();
    });
    hide();
    hud_->show();
}

void MainWindow::StopMonitoring()
{
    if (MonitoringEnabled())
        ToggleMonitoring();
}

} // namespace tarvik
