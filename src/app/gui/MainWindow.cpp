#include "MainWindow.h"

#include "AnalysisRun.h"
#include "CharacterTreeWidget.h"
#include "DebugTab.h"
#include "ErrorsTab.h"
#include "LogSelectionPanel.h"
#include "MonitoringController.h"
#include "ReportActions.h"
#include "StatusBar.h"
#include "UpdateCoordinator.h"
#include "analysis/Session.h"
#include "config/ProgramInfo.h"
#include "diag/gui/FileViewer.h"
#include "fights/gui/FightsTab.h"
#include "fights/gui/TargetsTab.h"
#include "meter/gui/MeterWindow.h"
#include "monitor/WindowLister.h"
#include "ui/HudView.h"
#include "ui/StatusTexts.h"
#include "ui/gui/DetailsWindow.h"
#include "ui/gui/HudWindow.h"
#include "util/Clock.h"
#include "util/FileUtil.h"
#include "util/SettingsStore.h"
#include "util/gui/Dialogs.h"
#include "util/gui/QtText.h"
#include "util/gui/SystemTray.h"
#include "util/gui/WindowPlacement.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarvik {

namespace {

QString Q(std::string_view text)
{
    return ToQString(text);
}

QString ProgramTitle()
{
    return QString::fromStdString(ProgramInfo::ProductName());
}

// Where reports and exports are offered to go: the player's documents, or
// home when there is no such folder.
QString ReportFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

MainWindow::MainWindow(const MainWindowEnvironment& environment)
    : environment_(environment)
    , files_(environment.files
                 ? *environment.files
                 : FileLocations::Portable(environment.programDir.toStdString(),
                                           environment.exeBaseName.toStdString() + ".ini"))
    , dialogs_(*environment.dialogs)
    , store_(*environment.store)
    , clock_(*environment.clock)
    , timers_(environment.timers ? *environment.timers : qtTimers_)
    , logFile_(clock_, lastError_, files_.dataDir, environment.exeBaseName.toStdString())
    , debug_(logFile_)
    , timerOnTop_(timers_, TimerKind::Repeating, std::chrono::milliseconds(250),
                  [this] { OnTopTick(); })
    , timerDebugStatus_(timers_, TimerKind::Repeating, DebugStatusInterval,
                        [this] { DebugStatusTick(); })
{
    setObjectName("frmMain");
    BuildWidgets();
    BuildMenus();
    connect(statusBar_, &StatusBar::MonitorClicked, this, [this] {
        // Switching on clears the data, which an analysis or a check must keep.
        if (monitoring_ && !work_.AnyRunning())
            monitoring_->Toggle();
    });
}

MainWindow::~MainWindow()
{
    delete hud_.data();
    // Not a child: it stays over the game while this window hides.
    delete meter_.data();
    if (started_)
        Shutdown();
    delete details_.data();
}

void MainWindow::BuildWidgets()
{
    auto* central = new QWidget(this);
    logPanel_ = new LogSelectionPanel(central);

    auto* treeArea = new QWidget(central);
    treeFilter_ = new QLineEdit(treeArea);
    treeFilter_->setObjectName("txtTreeFilter");
    treeFilter_->setPlaceholderText("Filter names");
    treeFilter_->setClearButtonEnabled(true);
    treeFilter_->setToolTip("Type part of a name to show only the characters whose names "
                            "contain it.");
    tree_ = new CharacterTreeWidget(treeArea);
    partyMembers_ = new QLabel("No party members selected", treeArea);
    partyMembers_->setObjectName("lblPartyMembers");
    partyMembers_->setToolTip("The number of current characters that are selected in your party. "
                              "This allows for accurate party statistics.");
    auto* hint = new QLabel("(Right-click for context menu)", treeArea);
    hint->setObjectName("lblHint");
    hint->setToolTip(
        "For commands within the character menu above, right-click for a context menu.");
    auto* treeLayout = new QVBoxLayout(treeArea);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(treeFilter_);
    treeLayout->addWidget(tree_, 1);
    treeLayout->addWidget(partyMembers_);
    treeLayout->addWidget(hint);

    tabs_ = new QTabWidget(central);
    tabs_->setObjectName("tabstripMain");
    QWidget* info = BuildInfoTab();
    auto* status = new QWidget(tabs_);
    progress_ = new QLabel(status);
    progress_->setObjectName("lblProgress");
    progress_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    progress_->setWordWrap(true);
    progress_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* statusLayout = new QVBoxLayout(status);
    statusLayout->addWidget(progress_, 1);
    errorsTab_ = new ErrorsTab(tabs_);
    debugTab_ = new DebugTab(tabs_);
    fightsTab_ = new FightsTab(tabs_);
    targetsTab_ = new TargetsTab(tabs_);
    tabs_->addTab(info, "Info");
    tabs_->addTab(status, "Status");
    tabs_->addTab(errorsTab_, "Errors");
    tabs_->addTab(debugTab_, "Debug");
    tabs_->addTab(fightsTab_, "Fights");
    tabs_->addTab(targetsTab_, "Targets");
    tabs_->setTabToolTip(0, "Displays general information");
    tabs_->setTabToolTip(1, "Displays status on the current progress");
    tabs_->setTabToolTip(2, "Displays any errors found");
    tabs_->setTabToolTip(3, "Displays debug information (only when selected)");
    tabs_->setTabToolTip(4, "The fights: DPS, damage taken, deaths, a damage chart");
    tabs_->setTabToolTip(5, "What the rolls tell of each enemy: AC, AB, saves, immunities");

    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->addWidget(logPanel_);
    splitter->addWidget(treeArea);
    splitter->addWidget(tabs_);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    // The tabs hold the fights' tables and chart: most of the width.
    splitter->setStretchFactor(2, 6);
    splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(splitter);
    setCentralWidget(central);
    resize(1280, 720);
    statusBar_ = new StatusBar(*statusBar());

    connect(logPanel_, &LogSelectionPanel::BrowseClicked, this, &MainWindow::Browse);
    connect(logPanel_, &LogSelectionPanel::AnalyzeClicked, this, &MainWindow::AnalyzeSelected);
    connect(logPanel_, &LogSelectionPanel::HudClicked, this, &MainWindow::EnterHudMode);
    connect(logPanel_, &LogSelectionPanel::MeterClicked, this, &MainWindow::ToggleMeter);
    reports_ = new ReportActions(
        dialogs_, this, [this] { return session_.get(); },
        [this] { return analysis_ ? analysis_->AnalysedLogs() : QStringList(); });
    connect(logPanel_, &LogSelectionPanel::ReportClicked, this,
            [this] { reports_->GenerateReport(ReportFolder()); });
    connect(tree_, &CharacterTreeWidget::NodeClicked, this, &MainWindow::ShowNode);
    connect(tree_, &CharacterTreeWidget::PauseChanged, this, [this](bool paused) {
        if (monitoring_)
            monitoring_->SetPaused(paused);
    });
    connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::TabChanged);
    connect(treeFilter_, &QLineEdit::textChanged, tree_, &CharacterTreeWidget::SetFilter);
    connect(errorsTab_, &ErrorsTab::ViewClicked, this, &MainWindow::ViewErrorLog);
    connect(errorsTab_, &ErrorsTab::SaveClicked, this, &MainWindow::SaveErrorLog);
    connect(debugTab_->Slider(), &QSlider::valueChanged, this, &MainWindow::DebugLevelChanged);
    connect(debugTab_->ViewButton(), &QPushButton::clicked, this, &MainWindow::ViewDebugLog);
    connect(debugTab_->ClearButton(), &QPushButton::clicked, this, &MainWindow::ClearDebugLog);
}

QWidget* MainWindow::BuildInfoTab()
{
    auto* info = new QWidget(tabs_);
    auto* hints = new QLabel(
        "Need help? Hover the mouse over controls to get a tip, or use the Help menu.", info);
    hints->setObjectName("lblHints");
    hints->setToolTip("Why do you want help on help?");
    hints->setWordWrap(true);
    fugueWarning_ = new QLabel(info);
    fugueWarning_->setObjectName("lblFugueWarning");
    fugueWarning_->setAlignment(Qt::AlignCenter);
    fugueWarning_->setStyleSheet("color: #c00000; font-weight: bold;");
    fugueWarning_->setVisible(false);
    debugMode_ = new QLabel("DEBUG MODE IS ENABLED!", info);
    debugMode_->setObjectName("lblDebugMode");
    debugMode_->setStyleSheet("color: #c00000;");
    debugMode_->setVisible(false);
    auto* start = new QLabel(info);
    start->setObjectName("lblGettingStarted");
    start->setWordWrap(true);
    start->setText("To analyse logs you have, press Browse, pick one or more of the game's "
                   "logs and press Analyze Logs. Then click the nodes of the character tree.\n\n"
                   "To follow the game while you play, click INACTIVE in the status bar.\n\n"
                   "Right-click your own character and choose My Character, and mark your "
                   "party members, for the session statistics and the HUD.\n\n"
                   "The Fights tab shows each fight's damage per second, its chart and what "
                   "led to a death; the Targets tab what the rolls tell of every enemy: armour "
                   "class, attack bonus, saves and damage immunities. Generate Report writes it "
                   "all to a web page.");
    updateNote_ = new QLabel(info);
    updateNote_->setObjectName("lblUpdateCheck");
    updateNote_->setWordWrap(true);
    updateNote_->setVisible(false);
    demoNote_ = new QLabel(info);
    demoNote_->setObjectName("lblDemoSession");
    demoNote_->setWordWrap(true);
    demoNote_->setStyleSheet("font-weight: bold;");
    demoNote_->setVisible(false);
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(demoNote_);
    infoLayout->addWidget(hints);
    infoLayout->addSpacing(12);
    infoLayout->addWidget(start);
    infoLayout->addSpacing(12);
    infoLayout->addWidget(updateNote_);
    infoLayout->addStretch(1);
    infoLayout->addWidget(fugueWarning_);
    infoLayout->addStretch(1);
    infoLayout->addWidget(debugMode_);
    return info;
}

void MainWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->menuAction()->setObjectName("mnuMainFile");
    QMenu* exportMenu = file->addMenu("&Export");
    exportMenu->menuAction()->setObjectName("mnuMainFileExport");
    exportMenu->addAction("As &JSON...", this, [this] { reports_->ExportJson(ReportFolder()); })
        ->setObjectName("mnuMainFileExportJson");
    exportMenu
        ->addAction("Fights as &CSV...", this, [this] { reports_->ExportCsv(ReportFolder()); })
        ->setObjectName("mnuMainFileExportCsv");
    file->addSeparator();
    QAction* exit = file->addAction("E&xit", this, &QWidget::close);
    exit->setObjectName("mnuMainFileExit");

    QMenu* optionsMenu = menuBar()->addMenu("&Options");
    auto check = [&](const char* name, const char* text) {
        QAction* action = optionsMenu->addAction(text);
        action->setObjectName(name);
        action->setCheckable(true);
        return action;
    };
    QAction* onTop = check("mnuMainOptionsAlwaysOnTop", "Always On Top");
    connect(onTop, &QAction::triggered, this, &MainWindow::ToggleAlwaysOnTop);
    QAction* audible = check("mnuMainOptionsAudibleAlerts", "Audible Fugue Timer Alerts");
    connect(audible, &QAction::triggered, this,
            [this](bool on) { options_.audibleFugueTimerAlerts = on; });
    QAction* monitorNwn = check("mnuMainOptionsMonitorNWN", "Monitor NWN Process");
    connect(monitorNwn, &QAction::triggered, this, [this](bool on) {
        options_.monitorNWNProcess = on;
        if (monitoring_)
            monitoring_->WatchGame(on);
    });
    QAction* autodetect =
        check("mnuMainOptionsAutoDetectCharParty", "Auto-Detect Character and Party (BETA!)");
    connect(autodetect, &QAction::triggered, this, [this](bool on) {
        options_.autodetectParty = on;
        if (session_)
            session_->Options().autodetectParty = on;
    });

    QMenu* help = menuBar()->addMenu("&Help");
    QAction* programHelp = help->addAction("Program Help", this, [this] {
        OpenInViewer(Q(files_.ShippedFile("Tarvik_help.txt")), true, true);
    });
    programHelp->setObjectName("mnuMainHelpProgram");
    QAction* history = help->addAction("Version History", this, [this] {
        OpenInViewer(Q(files_.ShippedFile("Tarvik_history.txt")), true, true);
    });
    history->setObjectName("mnuMainHelpVersionHistory");
    QAction* updates = help->addAction("Check for Updates", this, [this] {
        if (updates_)
            updates_->Request(true);
    });
    updates->setObjectName("mnuMainHelpCheckForUpdates");
    help->addSeparator();
    QAction* about = help->addAction("&About", this, &MainWindow::ShowAbout);
    about->setObjectName("mnuMainHelpAbout");

    characterMenu_ = new QMenu("Character Context", this);
    characterMenu_->setObjectName("mnuCharacterContext");
    QAction* party =
        characterMenu_->addAction("Party Member", this, &MainWindow::ContextPartyMember);
    party->setObjectName("mnuCharacterContextParty");
    party->setCheckable(true);
    QAction* mine =
        characterMenu_->addAction("My Character", this, &MainWindow::ContextMyCharacter);
    mine->setObjectName("mnuCharacterContextMyCharacter");
    mine->setCheckable(true);
}

QAction* MainWindow::Action(const QString& name) const
{
    return findChild<QAction*>(name);
}

bool MainWindow::Start()
{
    tray_ = new SystemTray(this);
    AddMeterToTrayMenu();
    // The user's data folder of an installed program may not exist yet; a
    // failure shows later, where a file is written there.
    if (!files_.portable)
        CreateFolders(files_.dataDir);
    logFile_.SetFileName(environment_.exeBaseName.toStdString() + "_debug.log");
    logFile_.SetBufferSize(1000);
    logFile_.SetWriteDelay(60);
    // The stored hover level, mapped to the interval the HUD gives it.
    timerOnTop_.SetInterval(std::chrono::milliseconds(HoverInterval(GetHoverInterval(store_))));
    firstRun_ = !store_.Read("Program", "MajorVersion").has_value();
    LoadWindowPosition(*this, store_, "frmMain", true);

    ConfigurationResult loaded =
        LoadConfiguration(files_.Configuration(), environment_.exeBaseName.toStdString());
    if (!loaded.configuration) {
        dialogs_.Message(this, Dialogs::Icon::Critical, ProgramTitle(), Q(loaded.fatalMessage));
        return false;
    }
    for (const auto& warning : loaded.warnings)
        dialogs_.Message(this, Dialogs::Icon::Exclamation, ProgramTitle(), Q(warning));
    config_ = std::move(loaded.configuration);
    session_ = std::make_unique<Session>(config_->analysis, debug_, clock_, *this);
    FightSource source{&session_->Fights(), [this] { return session_->FightRoster(); },
                       [this] { return clock_.Now(); }};
    fightsTab_->SetSource(source);
    targetsTab_->SetSource(source);
    RealTimeState& realTime = session_->RealTime();
    realTime.SetRTRollingAverage(config_->realTime.rollingAverageInterval);
    realTime.SetFugueTimers(config_->realTime.fugueTimerExpiration,
                            config_->realTime.fugueTimerWarning);
    realTime.SetNumABRecords(config_->realTime.abAverageRecords);
    MakeControllers();
    ApplyUserOptions();

    tabs_->setCurrentIndex(0);
    session_->ClearAllData();
    setWindowTitle(QString::fromStdString(ProgramInfo::WindowTitle()));
    fugueWarning_->setText("WARNING!\n\nA fugue timer is expiring shortly.");
    started_ = true;
    show();

    const ProgramVersion running = ProgramInfo::RunningVersion();
    if (IsNewerVersion(running, ReadStoredVersion(store_))) {
        WriteStoredVersion(store_, running);
        OpenInViewer(Q(files_.ShippedFile("Tarvik_history.txt")), true, true);
    }
    monitoring_->StartFugueDisplay();
    updates_->StartTimer();
    CheckSettingsSaved();
    return true;
}

void MainWindow::ApplyUserOptions()
{
    UserOptionDefaults defaults;
    defaults.windowForeground = ToColorValue(palette().color(QPalette::WindowText));
    defaults.windowBackground = ToColorValue(palette().color(QPalette::Window));
    defaults.controlBackground =
        ToColorValue(logPanel_->BrowseButton()->palette().color(QPalette::Button));
    options_ = LoadUserOptions(store_, defaults);

    // An installed program's folder holds no logs; the home folder is a
    // better place to start browsing from.
    const std::string fallback =
        files_.portable ? environment_.programDir.toStdString() : QDir::homePath().toStdString();
    logPanel_->SetFolder(
        Q(ChooseLogFolder(options_.logDirectory, environment_.gameLogFolders, fallback)));
    Action("mnuMainOptionsAutoDetectCharParty")->setChecked(options_.autodetectParty);
    session_->Options().autodetectParty = options_.autodetectParty;
    if (options_.alwaysOnTop) {
        Action("mnuMainOptionsAlwaysOnTop")->setChecked(true);
        ToggleAlwaysOnTop(true);
    }
    logPanel_->SetMask(Q(config_->analysis.format.logFileMask), palette().color(QPalette::Text));

    QAction* monitorNwn = Action("mnuMainOptionsMonitorNWN");
    monitorNwn->setEnabled(config_->GameDetectionConfigured());
    monitorNwn->setChecked(options_.monitorNWNProcess);
    // Without a game window to look for, detection rests; the user's choice
    // is kept for a configuration that names one.
    monitoring_->WatchGame(monitorNwn->isChecked() && monitorNwn->isEnabled());
    Action("mnuMainOptionsAudibleAlerts")->setChecked(options_.audibleFugueTimerAlerts);
}

void MainWindow::ToggleAlwaysOnTop(bool on)
{
    options_.alwaysOnTop = on;
    Action("mnuMainOptionsAlwaysOnTop")->setChecked(on);
    timerOnTop_.SetRunning(on);
    SetAlwaysOnTop(*this, on);
}

void MainWindow::OnTopTick()
{
    // A window hidden in the notification area is not brought back.
    if (!isVisible() || isMinimized())
        return;
    debug_.LogDebug("Main form on-top monitoring timer firing.", 4);
    SetAlwaysOnTop(*this, true);
}

void MainWindow::SetBusy(bool busy, MainTab tab)
{
    if (busy)
        work_.Disable();
    else
        work_.Enable();
    setEnabled(!work_.Disabled());
    if (tab != MainTab::None)
        SelectTab(tab);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::ShowAbout()
{
    if (session_ && session_->Options().monitoringEnabled)
        return;
    QString text = QString::fromStdString(ProgramInfo::ProductAndVersion()) + " - " +
                   QString::fromStdString(ProgramInfo::Subtitle()) + "\n";
    text += "Copyright (C) 2026 the Tarvik developers.\n";
    text += "\nReads the game's chat and combat logs; nothing leaves your computer except "
            "the update check.\n";
    text += "\n";
    for (const std::string& line : files_.Describe())
        text += Q(line) + "\n";
    if (!environment_.optionsFile.isEmpty())
        text +=
            "Options and window positions: " + QDir::toNativeSeparators(environment_.optionsFile) +
            "\n";
    text += "\n" + QString::fromStdString(ProgramInfo::Tagline());
    dialogs_.Message(this, Dialogs::Icon::Information, "About " + ProgramTitle(), text);
}

void MainWindow::OpenInViewer(const QString& pathOrText, bool readOnly, bool wordWrap)
{
    if (!viewer_)
        viewer_ = new FileViewer(dialogs_, this);
    FileViewer::Options options;
    options.readOnly = readOnly;
    options.wordWrap = wordWrap;
    viewer_->OpenFile(pathOrText, options);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (updates_ && updates_->HoldClose()) {
        event->ignore();
        return;
    }
    const bool quitting = updates_ && updates_->Quitting();
    if (!quitting &&
        (work_.Running(LongWork::Kind::Analysis) || (session_ && session_->Analyzing()))) {
        event->ignore();
        return;
    }
    if (started_)
        Shutdown();
    QMainWindow::closeEvent(event);
    // "Exit" in the tray menu may close a hidden window, which does not end
    // the program by itself.
    QCoreApplication::quit();
}

void MainWindow::Shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    if (tray_)
        tray_->Unload();
    SaveWindowPosition(*this, store_, "frmMain", true);
    if (meter_)
        meter_->close();
    options_.logDirectory = logPanel_->Folder().toStdString();
    SaveUserOptions(store_, options_, &debug_);
    UnloadDetails();
    debug_.LogDebug(">>> " + environment_.exeBaseName.toStdString() + " exiting with debug level " +
                        std::to_string(debugTab_->Slider()->value()) + " enabled.",
                    1);
    timerOnTop_.Stop();
    timerDebugStatus_.Stop();
    monitoring_->StopTimers();
    analysis_->StopTimer();
    updates_->StopTimer();
    CheckSettingsSaved();
}

// SessionHost

void MainWindow::SetStatusMessage(std::string_view text)
{
    statusBar_->SetMessage(Q(text));
}

void MainWindow::NoteDemoSession(int32_t logs)
{
    const std::string text = DemoSessionText(logs);
    demoNote_->setText(Q(text));
    demoNote_->setVisible(true);
    SetStatusMessage(text);
}

void MainWindow::SetRecordDates(std::string_view earliest, std::string_view latest)
{
    statusBar_->SetDates(Q(earliest), Q(latest));
    errorsTab_->Flush();
}

void MainWindow::ErrorListCleared()
{
    errorsTab_->DisableButtons();
    errorsTab_->Clear();
}

void MainWindow::ErrorAdded(std::string_view line, LineClass lineClass)
{
    errorsTab_->Append(line, lineClass);
}

void MainWindow::SelectTab(MainTab tab)
{
    errorsTab_->Flush();
    const int index = static_cast<int>(tab) - 1;
    if (index >= 0 && index < tabs_->count()) {
        if (tabs_->currentIndex() == index)
            TabChanged(index);
        else
            tabs_->setCurrentIndex(index);
    }
}

void MainWindow::SeriousError(std::string_view message)
{
    errorsTab_->Flush();
    dialogs_.Message(this, Dialogs::Icon::Critical, ProgramTitle(), Q(message));
}

void MainWindow::Yield()
{
    errorsTab_->Flush();
    QCoreApplication::processEvents();
}

void MainWindow::DataCleared()
{
    detailCharacterId_ = CharacterId::None();
    detailCharacterChanged_ = false;
    treeModel_.Clear();
    tree_->ClearAll();
    UnloadDetails();
    fightsTab_->Clear();
    targetsTab_->Clear();
    fightsStale_ = false;
    targetsStale_ = false;
    MeterDataChanged();
}

void MainWindow::CharactersChanged(std::span<const CharacterId> ids)
{
    if (std::find(ids.begin(), ids.end(), detailCharacterId_) != ids.end())
        detailCharacterChanged_ = true;
}

void MainWindow::RealTimeDataChanged()
{
    if (hud_)
        hud_->SetRealTimeDataChanged(true);
}

} // namespace tarvik
