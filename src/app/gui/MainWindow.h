#pragma once

#include "MainTab.h"
#include "analysis/SessionHost.h"
#include "config/Configuration.h"
#include "config/FileLocations.h"
#include "config/UserOptions.h"
#include "diag/DebugLog.h"
#include "diag/ErrObject.h"
#include "diag/LogFile.h"
#include "ui/CharacterTree.h"
#include "ui/LongWork.h"
#include "ui/gui/DetailsWindow.h"
#include "ui/gui/HudWindow.h"
#include "update/UpdateTrust.h"
#include "util/Timer.h"
#include "util/gui/QtTimers.h"

#include <memory>
#include <optional>
#include <string>

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QTreeWidgetItem;

namespace tarvik {

class AnalysisRun;
class CharacterTreeWidget;
class Clock;
class DebugTab;
class Dialogs;
class ErrorsTab;
class FightsTab;
class FileViewer;
class LogSelectionPanel;
class MeterWindow;
class MonitoringController;
class ReportActions;
class Session;
class SettingsStore;
class StatusBar;
class StatusPanel;
class SystemTray;
class TargetsTab;
class UpdateCoordinator;
class WindowLister;
struct DetailGrid;

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
    // The window's timers and those of the windows it opens; Qt's when none
    // are given.
    TimerFactory* timers = nullptr;
    // https only; tests add their local update servers.
    AddressTrust updateTrust;
};

// The program's main window: it owns the session and every long-lived
// object, lays out the widgets and forwards the user's commands to the
// controllers that do the work: real-time monitoring, the analysis run, the
// update check and the status bar.
class MainWindow : public QMainWindow, public SessionHost {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds DebugStatusInterval{500};

    explicit MainWindow(const MainWindowEnvironment& environment);
    ~MainWindow() override;

    // Start-up; false when the configuration file is missing or malformed
    // (the message has been shown and the program must end).
    bool Start();
    // No settings were stored before this start: the player's first run.
    bool FirstRun() const { return firstRun_; }

    // Analyses these files of the shown folder, as "Analyze Logs" does.
    void AnalyzeLogs(const QStringList& names);
    // Analyses exactly these files, wherever they are (the command line).
    // During an update check the analysis waits until the check is over.
    void AnalyzeFiles(const QStringList& paths);
    // Points the file list at the folder of the paths and selects them.
    void SelectLogs(const QStringList& paths);
    // A click on a node of the character tree (button 1 left, 2 right).
    void ShowNode(QTreeWidgetItem* item, int button);
    // The character whose details are shown (0: the session statistics).
    CharacterId DetailCharacterId() const { return detailCharacterId_; }

    Session& GetSession() { return *session_; }
    DebugLog& Debug() { return debug_; }
    LogFile& DebugFile() { return logFile_; }

    // The controllers; they exist once Start has succeeded.
    MonitoringController& Monitoring() { return *monitoring_; }
    const UpdateCoordinator& Updates() const { return *updates_; }
    StatusBar& Status() { return *statusBar_; }

    // The widgets, for the tests and the benchmark that drive the window.
    LogSelectionPanel* LogPanel() const { return logPanel_; }
    CharacterTreeWidget* Tree() const { return tree_; }
    QLineEdit* TreeFilter() const { return treeFilter_; }
    QTabWidget* Tabs() const { return tabs_; }
    ErrorsTab* Errors() const { return errorsTab_; }
    DebugTab* DebugPanel() const { return debugTab_; }
    FightsTab* FightsPanel() const { return fightsTab_; }
    TargetsTab* TargetsPanel() const { return targetsTab_; }
    QLabel* ProgressLabel() const { return progress_; }
    QLabel* PartyLabel() const { return partyMembers_; }
    QLabel* FugueWarning() const { return fugueWarning_; }
    QLabel* UpdateNote() const { return updateNote_; }
    // Says in the status bar and on the Info tab that the demo is shown.
    void NoteDemoSession(int32_t logs);
    QLabel* DemoNote() const { return demoNote_; }
    DetailsWindow* Details() const { return details_; }
    HudWindow* Hud() const { return hud_; }
    // The live meter while it is open.
    MeterWindow* Meter() const;
    // Opens the meter, or closes it when open.
    void ToggleMeter();
    QAction* Action(const QString& name) const;
    // How often the window re-asserts its place on top, in milliseconds.
    int OnTopInterval() const { return static_cast<int>(timerOnTop_.Interval().count()); }

    // SessionHost
    void SetStatusMessage(std::string_view text) override;
    void SetRecordDates(std::string_view earliest, std::string_view latest) override;
    void ErrorListCleared() override;
    void ErrorAdded(std::string_view line, LineClass lineClass) override;
    void ShowErrors() override { SelectTab(MainTab::Errors); }
    void SeriousError(std::string_view message) override;
    void StopMonitoring() override;
    void Yield() override;
    void PartyCountChanged() override { ShowPartyCount(); }
    void DataCleared() override;
    void CharactersChanged(std::span<const CharacterId> ids) override;
    void RealTimeDataChanged() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildWidgets();
    QWidget* BuildInfoTab();
    void BuildMenus();
    void MakeControllers();
    void ApplyUserOptions();
    void ShowAbout();
    void OpenInViewer(const QString& pathOrText, bool readOnly, bool wordWrap);
    void Shutdown();
    // Disables the window (busy) or ends one such request; the window is
    // enabled again only when every request has ended.
    void SetBusy(bool busy, MainTab tab);
    void SelectTab(MainTab tab);
    // Ends kind and starts the work that waited for it.
    void FinishWork(LongWork::Kind kind);
    void CheckSettingsSaved();

    // Log choice
    void Browse();
    void AnalyzeSelected();

    // Tree, details and marks
    void UpdateCharacterTree();
    void ShowPartyCount();
    void ShowResults();
    void ShowDetails(const DetailGrid& grid);
    void UnloadDetails();
    void ContextPartyMember();
    void ContextMyCharacter();
    // Bold and blue in the tree, the party label and the detail window,
    // after a mark changed.
    void ShowMarks();
    // Shows the detail window's view again, from the data as they are now.
    void RefreshDetails();
    // After a monitoring read: the selected node's view, when the details show.
    void RedrawSelectedDetails();
    CharacterId SelectedCharacterId() const;

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

    // Real time
    void EnterHudMode();
    void OnTopTick();
    void ToggleAlwaysOnTop(bool on);

    // Live meter
    void AddMeterToTrayMenu();
    void MeterDataChanged();

    MainWindowEnvironment environment_;
    FileLocations files_;
    Dialogs& dialogs_;
    SettingsStore& store_;
    const Clock& clock_;
    QtTimerFactory qtTimers_;
    TimerFactory& timers_;
    ErrObject lastError_;
    LogFile logFile_;
    DebugLog debug_;
    std::optional<Configuration> config_;
    std::unique_ptr<Session> session_;
    SystemTray* tray_ = nullptr;
    std::unique_ptr<WindowLister> windowLister_;
    LongWork work_;
    UserOptions options_;
    CharacterTree treeModel_;
    bool started_ = false;
    bool shutDown_ = false;
    bool settingsProblemTold_ = false;
    int debugLevelShown_ = 0;
    bool firstRun_ = false;
    ReportActions* reports_ = nullptr;

    LogSelectionPanel* logPanel_ = nullptr;
    CharacterTreeWidget* tree_ = nullptr;
    QLabel* partyMembers_ = nullptr;
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
    QLabel* fugueWarning_ = nullptr;
    QLabel* debugMode_ = nullptr;
    QLabel* updateNote_ = nullptr;
    QLabel* demoNote_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    QMenu* characterMenu_ = nullptr;
    QPointer<DetailsWindow> details_;
    // The tree key of the node whose view the detail window shows.
    QString detailKey_;
    CharacterId detailCharacterId_;
    // A read changed the character shown since monitoring last redrew it.
    bool detailCharacterChanged_ = false;
    FileViewer* viewer_ = nullptr;
    QPointer<HudWindow> hud_;
    QPointer<MeterWindow> meter_;

    std::unique_ptr<MonitoringController> monitoring_;
    std::unique_ptr<AnalysisRun> analysis_;
    std::unique_ptr<UpdateCoordinator> updates_;
    IntervalTimer timerOnTop_;
    IntervalTimer timerDebugStatus_;
};

} // namespace tarvik
