// The main window's controllers and how the window's long work takes turns.
#include "AnalysisRun.h"
#include "CharacterTreeWidget.h"
#include "ErrorsTab.h"
#include "LogSelectionPanel.h"
#include "MainWindow.h"
#include "MonitoringController.h"
#include "StatusBar.h"
#include "UpdateCoordinator.h"
#include "analysis/Session.h"
#include "monitor/WindowListerFactory.h"
#include "ui/gui/HudContext.h"
#include "ui/gui/HudWindow.h"
#include "util/SettingsStore.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"
#include "util/gui/SystemTray.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QTimer>

namespace tarvik {

void MainWindow::MakeControllers()
{
    windowLister_ = CreateWindowLister(debug_);
    MonitoringHooks monitoringHooks;
    monitoringHooks.redrawTree = [this] { UpdateCharacterTree(); };
    monitoringHooks.redrawDetails = [this] { RedrawSelectedDetails(); };
    monitoringHooks.fightsTick = [this](bool newData) { FightsTick(newData); };
    // The session statistics are redrawn after every read, a character's
    // details after a read that changed them.
    monitoringHooks.takeDetailChange = [this] {
        const bool redraw = detailCharacterChanged_ || detailCharacterId_.IsNone();
        detailCharacterChanged_ = false;
        return redraw;
    };
    monitoringHooks.realTimeReset = [this] {
        if (hud_)
            hud_->SetRealTimeDataChanged(false);
    };
    monitoringHooks.flushErrors = [this] { errorsTab_->Flush(); };
    monitoringHooks.announceGame = [this](const QString& title, const QString& text) {
        tray_->ShowBalloonTip(text, title);
    };
    monitoring_ = std::make_unique<MonitoringController>(
        MonitoringParts{*session_, *config_, options_, debug_, clock_, dialogs_, timers_, work_,
                        *windowLister_, *logPanel_, *statusBar_, *fugueWarning_, this},
        std::move(monitoringHooks));

    UpdateHooks updateHooks;
    updateHooks.setBusy = [this](bool busy) { SetBusy(busy, MainTab::None); };
    updateHooks.showTab = [this](MainTab tab) { SelectTab(tab); };
    updateHooks.finished = [this] { FinishWork(LongWork::Kind::UpdateCheck); };
    updateHooks.close = [this] { close(); };
    UpdateCheckerSettings settings;
    settings.programDirectory = ToQString(files_.dataDir);
    settings.configuration = config_->file;
    settings.trust = environment_.updateTrust;
    updates_ = std::make_unique<UpdateCoordinator>(UpdateParts{dialogs_, debug_, lastError_, clock_,
                                                               timers_, work_, *statusBar_,
                                                               *errorsTab_, *updateNote_, this},
                                                   std::move(updateHooks), std::move(settings));

    AnalysisRunHooks analysisHooks;
    analysisHooks.setBusy = [this](bool busy, MainTab tab) { SetBusy(busy, tab); };
    analysisHooks.showResults = [this] { ShowResults(); };
    analysisHooks.finished = [this] { FinishWork(LongWork::Kind::Analysis); };
    analysis_ = std::make_unique<AnalysisRun>(
        AnalysisRunParts{*session_, debug_, timers_, work_, *logPanel_, *statusBar_, *progress_},
        std::move(analysisHooks));
}

void MainWindow::AnalyzeFiles(const QStringList& paths)
{
    if (shutDown_ || !analysis_)
        return;
    demoNote_->setVisible(false); // the player's own logs from now on
    analysis_->Request(paths);
}

void MainWindow::FinishWork(LongWork::Kind kind)
{
    const std::optional<LongWork::Kind> next = work_.Finish(kind);
    if (!next || updates_->ClosingAfterCheck() || shutDown_)
        return;
    // Started from the event loop, once the caller has finished its own work.
    if (*next == LongWork::Kind::Analysis) {
        QTimer::singleShot(0, this,
                           [this, paths = analysis_->TakeWaiting()] { AnalyzeFiles(paths); });
    } else {
        QTimer::singleShot(0, this, [this] { updates_->Request(updates_->TakeWaiting()); });
    }
}

void MainWindow::StopMonitoring()
{
    if (monitoring_)
        monitoring_->SetEnabled(false);
}

void MainWindow::EnterHudMode()
{
    if (session_->Data().userCharacterId.IsNone()) {
        dialogs_.Message(this, Dialogs::Icon::Exclamation, "Tarvik",
                         "You must select which character is yours first!\nRight-click on your "
                         "character in the info pane to set it.");
        return;
    }
    if (hud_)
        return;
    debug_.LogDebug("Switching to HUD mode.", 2);
    UnloadDetails();
    HudContext context{*session_,
                       options_,
                       store_,
                       debug_,
                       dialogs_,
                       *config_,
                       [this](int milliseconds) {
                           timerOnTop_.SetInterval(std::chrono::milliseconds(
                               RealTimeState::ClampHoverInterval(milliseconds)));
                       },
                       &timers_};
    hud_ = new HudWindow(context);
    connect(hud_, &HudWindow::Closed, this, [this] {
        show();
        if (hud_)
            hud_->deleteLater();
        CheckSettingsSaved();
    });
    hide();
    hud_->show();
}

void MainWindow::CheckSettingsSaved()
{
    if (settingsProblemTold_)
        return;
    const std::optional<std::string> problem = store_.Flush();
    if (!problem)
        return;
    // Once: every later write fails the same way.
    settingsProblemTold_ = true;
    debug_.LogDebug("Settings could not be saved: " + *problem, 1);
    dialogs_.Message(this, Dialogs::Icon::Exclamation, "Tarvik",
                     "Tarvik cannot save its options and window positions:\n" +
                         ToQString(*problem) +
                         "\n\nChanges you make now last only until Tarvik ends.");
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && tray_)
        tray_->WindowStateChanged();
    if (event->type() == QEvent::WindowTitleChange && tray_)
        tray_->SetToolTip(windowTitle());
}

} // namespace tarvik
