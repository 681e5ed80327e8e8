#pragma once

#include "MainTab.h"
#include "analysis/SessionHost.h"
#include "config/Configuration.h"
#include "config/FileLocations.h"
#include "config/UserOptions.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "monitor/LogFollower.h"
#include "ui/CharacterTree.h"
#include "ui/LongWork.h"
#include "ui/gui/DetailsWindow.h"
#include "ui/gui/HudWindow.h"
#include "update/UpdateTrust.h"

#include <memory>
#include <optional>
#include <string>

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class QAction;
class QLineEdit;
class QMenu;
class QTabWidget;
class QTreeWidgetItem;

namespace tarvik {

class CharacterTreeWidget;
class Clock;
class DebugTab;
class Dialogs;
class ErrorsTab;
class FightsTab;
class FileViewer;
class GameDetector;

class SystemTray;
class UpdateChecker;
class UpdateHost;
class WindowLister;
class LogSelectionPanel;
class ReportActions;
class Session;
class SettingsStore;
class TargetsTab;
struct DetailGrid;

inline void SetTimerActive(QTimer& timer, bool active)
{
    if (active && !timer.isActive())
        timer.start();
    else if (!active)
        timer.stop();
}

// Where the program runs and the services it uses; tests give their own.
struct MainWindowEnvironment {
    QString programDir;
    QString exeBaseName = "Tarvik";
    // Where the shipped files are and Tarvik's own go; without it everything
    // stays in programDir.
    std::optional<FileLocations> files;
    // The game's usual log folders, tried when no log folder is stored.
    std::vector<std::string> gameLogFolders;
    // Where the settings store keeps the options, for the About box.
    QString optionsFile;
    Dialogs* dialogs = nullptr;
    SettingsStore* store = nullptr;
    const Clock* clock = nullptr;
    // https only; tests add their local update servers.
    AddressTrust updateTrust;
};

// A status-bar panel that reports clicks.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The program's main window: it owns the session and every long-lived
// object, renders what the engine decides and forwards the user's commands.
class MainWindow : public QMainWindow, public SessionHost {
    Q_OBJECT

public:
    explicit MainWindow(const MainWindowEnvironment& environment);
    ~MainWindow() override;

    // Start-up; false when the configuration file is missing or malformed
    // (the message has been shown and the program must end).
    bool Start();
    // No settings were stored before this start: the player's first run.
    bool FirstRun() const { return firstRun_; }

    // Services other windows and tests use.
    // Disables the window (busy) or ends one such request; the window is
    // enabled again only when every request has ended.
    void SetBusy(bool busy, MainTab tab);
    void SelectTab(MainTab tab);
    void ClearAllData();
    // Analyses these files of the shown folder, as "Analyze Logs" does.
    void AnalyzeLogs(const QStringList& names);
    // Analyses exactly these files, wherever they are (the command line).
    // During an update check the analysis waits until the check is over.
    void AnalyzeFiles(const QStringList& paths);
    // Points the file list at the folder of the paths and selects them.
    void SelectLogs(const QStringList& paths);
    void UpdateCharacterTree();
    void ShowPartyCount();
    void ShowNode(QTreeWidgetItem* item, int button);
    // The character whose details are shown (0: the session statistics).
    int32_t DetailCharacterId() const { return detailCharacterId_; }

    Session& GetSession() { return *session_; }
    DebugLog& Debug() { return debug_; }
    LogFile& DebugFile() { return logFile_; }
    const Configuration& Config() const { return *config_; }
    UserOptions& Options() { return options_; }
    QString ProgramDir() const { return environment_.programDir; }

    LogSelectionPanel* LogPanel() const { return logPanel_; }
    CharacterTreeWidget* Tree() const { return tree_; }
    QTabWidget* Tabs() const { return tabs_; }
    ErrorsTab* Errors() const { return errorsTab_; }
    DebugTab* DebugPanel() const { return debugTab_; }
    FightsTab* FightsPanel() const { return fightsTab_; }
    TargetsTab* TargetsPanel() const { return targetsTab_; }
    QLineEdit* TreeFilter() const { return treeFilter_; }
    QLabel* ProgressLabel() const { return progress_; }
    QLabel* PartyLabel() const { return partyMembers_; }
    QLabel* FugueWarning() const { return fugueWarning_; }
    StatusPanel* Panel(const QString& key) const;
    DetailsWindow* Details() const { return details_; }
    HudWindow* Hud() const { return hud_; }
    int OnTopInterval() const { return timerOnTopMain_.interval(); }
    QAction* Action(const QString& name) const;
    QMenu* CharacterMenu() const { return characterMenu_; }
    bool MonitoringPaused() const { return monitoringPaused_; }
    bool MonitoringEnabled() const;
    // The "Monitor" panel's command.
    void SetMonitoring(bool on);

    // SessionHost
    void SetStatusMessage(std::string_view text) override;
    void SetRecordDates(std::string_view earliest, std::string_view latest) override;
    void ErrorListCleared() override;
    void ErrorAdded(std::string_view line) override;
    void ShowErrors() override { SelectTab(MainTab::Errors); }
    void SeriousError(std::string_view message) override;
    void StopMonitoring() override;
    void Yield() override;
    void PartyCountChanged() override;
    void DataCleared() override;
    void CharactersChanged(std::span<const int32_t> ids) override;
    void RealTimeDataChanged() override;

    SystemTray* Tray() const { return tray_; }
    GameDetector* Detector() const { return gameDetector_.get(); }
    UpdateChecker* Updater() const { return updater_.get(); }
    // The one-shot timer of the automatic update check.
    QTimer* UpdateTimer() { return &timerUpdates_; }
    const LongWork& Work() const { return work_; }
    // Says on the Info tab that there are no automatic update checks.
    void NoteAutomaticUpdateChecksOff(const QString& text);
    QLabel* UpdateNote() const { return updateNote_; }
    // Closes the window and ends the program, even from inside a check.
    void QuitNow();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildWidgets();
    void BuildMenus();
    void ApplyUserOptions();
    void ShowAbout();
    void OpenInViewer(const QString& pathOrText, bool readOnly, bool wordWrap);
    void Shutdown();

    // Analysis
    void Browse();
    void AnalyzeSelected();
    void RunAnalysis(const QStringList& paths);
    void LoadProgressTick();
    // Ends kind and starts the work that waited for it.
    void FinishWork(LongWork::Kind kind);

    // Tree, details and marks
    void OnTreeNode(QTreeWidgetItem* item, int button);
    void ShowDetails(const DetailGrid& grid);
    void UnloadDetails();
    void ContextPartyMember();
    void ContextMyCharacter();
    // Bold and blue in the tree, the party label and the detail window,
    // after a mark changed.
    void ShowMarks();
    // Shows the detail window's view again, from the data as they are now.
    void RefreshDetails();
    int32_t SelectedCharacterId() const;

    // Fights and targets tabs: filled when shown, after the data changed.
    void FightDataChanged();
    void RefreshFightViews();
    // A monitoring tick, which may have read new lines.
    void FightsTick(bool newData);

    // Errors and debug tabs
    void TabChanged(int index);
    void ViewErrorLog();
    void SaveErrorLog();
    void DebugLevelChanged(int value);
    void DebugStatusTick();
    void ViewDebugLog();
    void ClearDebugLog();

    // Platform services
    void SetUpPlatformServices();
    void ProcessTick();
    void CheckForUpdates(bool onRequest);

    // Real time
    void EnterHudMode();
    void ToggleMonitoring();
    void MonitoringTick();
    void FugueTick();
    void OnTopTick();
    void ToggleAlwaysOnTop(bool on);

    MainWindowEnvironment environment_;
    FileLocations files_;
    Dialogs& dialogs_;
    SettingsStore& store_;
    const Clock& clock_;
    ErrObject lastError_;
    LogFile logFile_;
    DebugLog debug_;
    std::optional<Configuration> config_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<LogFollower> follower_;
    TickResult tickResult_; // kept between ticks, so an idle tick allocates nothing
    SystemTray* tray_ = nullptr;
    std::unique_ptr<WindowLister> windowLister_;
    std::unique_ptr<GameDetector> gameDetector_;
    std::unique_ptr<UpdateHost> updateHost_;
    std::unique_ptr<UpdateChecker> updater_;
    LongWork work_;
    // Requests that wait for the other long work to end.
    QStringList waitingAnalysis_;
    bool waitingCheckOnRequest_ = false;
    // The window was closed during an update check: close once it is over.
    bool closeAfterCheck_ = false;
    bool quitting_ = false;
    UserOptions options_;
    CharacterTree treeModel_;
    bool started_ = false;
    bool shutDown_ = false;
    bool monitoringPaused_ = false;
    // "Monitor NWN Process" checked and enabled; the option keeps the check mark.
    bool monitorGameProcess_ = false;
    int debugLevelShown_ = 0;
    bool firstRun_ = false;
    // The logs of the last analysis, named in reports and exports.
    QStringList analysedLogs_;
    ReportActions* reports_ = nullptr;

    LogSelectionPanel* logPanel_ = nullptr;
    CharacterTreeWidget* tree_ = nullptr;
    QLabel* partyMembers_ = nullptr;
    QLabel* hint_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* progress_ = nullptr;
    ErrorsTab* errorsTab_ = nullptr;
    DebugTab* debugTab_ = nullptr;
    FightsTab* fightsTab_ = nullptr;
    TargetsTab* targetsTab_ = nullptr;
    QLineEdit* treeFilter_ = nullptr;
    // The fights and targets tabs show older data than the session has.
    bool fightsStale_ = false;
    bool targetsStale_ = false;
    QLabel* hints_ = nullptr;
    QLabel* fugueWarning_ = nullptr;
    QLabel* debugMode_ = nullptr;
    QLabel* updateNote_ = nullptr;
    StatusPanel* startPanel_ = nullptr;
    StatusPanel* endPanel_ = nullptr;
    StatusPanel* fuguePanel_ = nullptr;
    StatusPanel* monitorPanel_ = nullptr;
    StatusPanel* messagePanel_ = nullptr;
    QMenu* characterMenu_ = nullptr;
    QPointer<DetailsWindow> details_;
    // The tree key of the node whose view the detail window shows.
    QString detailKey_;
    int32_t detailCharacterId_ = 0;
    // A read changed the character shown since monitoring last redrew it.
    bool detailCharacterChanged_ = false;
    FileViewer* viewer_ = nullptr;
    QPointer<HudWindow> hud_;

    QTimer timerOnTopMain_;
    QTimer timerFugue_;
    QTimer timerUpdates_;
    QTimer timerProcesses_;
    QTimer timerLoadProgress_;
    QTimer timerMonitoring_;
    QTimer timerDebugStatus_;
};

} // namespace tarvik
