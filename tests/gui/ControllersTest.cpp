// The main window's controllers, each on its own with the parts it works
// with: the window's timers run out only as a test lets their time pass.
#include "GuiTestSupport.h"
#include "analysis/Session.h"
#include "app/gui/AnalysisRun.h"
#include "app/gui/ErrorsTab.h"
#include "app/gui/LogSelectionPanel.h"
#include "app/gui/MonitoringController.h"
#include "app/gui/StatusBar.h"
#include "app/gui/UpdateCoordinator.h"
#include "config/Configuration.h"
#include "config/UserOptions.h"
#include "diag/ErrObject.h"
#include "monitor/WindowLister.h"
#include "ui/LongWork.h"

#include <algorithm>

#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace tarvik;
using std::chrono::milliseconds;
using test::ManualTimers;

namespace {

QByteArray Line(const char* stamp, const char* body)
{
    return QByteArray("[CHAT WINDOW TEXT] [") + stamp + "] " + body + "\r\n";
}

const QByteArray AldricHits =
    Line("Mon Jul  6 20:00:01", "Aldric Voss attacks Goblin Shaman : *hit* : (12 + 17 = 29)");
const QByteArray BorinHits =
    Line("Mon Jul  6 20:00:02", "Borin attacks Goblin Shaman : *hit* : (10 + 12 = 22)");

class RecordingHost final : public SessionHost {
public:
    void ErrorAdded(std::string_view line, LineClass) override { errors.emplace_back(line); }
    void Yield() override
    {
        if (onYield)
            onYield();
    }
    std::vector<std::string> errors;
    std::function<void()> onYield;
};

class ListedWindows final : public WindowLister {
public:
    std::vector<WindowInfo> TopLevelWindows() override { return windows; }
    std::vector<WindowInfo> windows;
};

const WindowInfo GameWindow{"Neverwinter Nights", {"nwmain"}, {}};

// What every controller works with, as the main window gives it.
struct Parts {
    Parts()
        : logFile(clock, lastError, dataDir.path().toStdString(), "Tarvik")
        , debug(logFile)
        , config(LoadConfiguration(test::SourceDir.toStdString() + "/data/Tarvik.ini", "Tarvik")
                     .configuration.value())
        , session(config.analysis, debug, clock, host)
        , statusBar(bar)
    {
        logPanel.SetFolder(logs.path());
    }

    bool Knows(const char* name) { return session.Data().characters.Find(name) != nullptr; }
    void Append(const QByteArray& text)
    {
        test::AppendToFile(logs.filePath("nwclientLog1.txt"), text, clock.Now());
    }
    QString Panel(const char* key) { return statusBar.Panel(key)->text(); }

    QTemporaryDir dataDir;
    QTemporaryDir logs;
    ManualClock clock{DateTime::FromCivil(2026, 7, 6, 20, 0, 5)};
    ManualTimers timers;
    ErrObject lastError;
    LogFile logFile;
    DebugLog debug;
    Configuration config;
    RecordingHost host;
    Session session;
    UserOptions options;
    test::FakeDialogs dialogs;
    LongWork work;
    ListedWindows windows;
    LogSelectionPanel logPanel;
    QStatusBar bar;
    StatusBar statusBar;
    ErrorsTab errorsTab;
    QLabel label;
};

struct MonitoringCalls {
    int treeRedraws = 0;
    int realTimeResets = 0;
    int errorFlushes = 0;
    QStringList announced;
};

std::unique_ptr<MonitoringController> MakeMonitoring(Parts& parts, MonitoringCalls& calls)
{
    MonitoringHooks hooks;
    hooks.redrawTree = [&calls] { ++calls.treeRedraws; };
    hooks.realTimeReset = [&calls] { ++calls.realTimeResets; };
    hooks.flushErrors = [&calls] { ++calls.errorFlushes; };
    hooks.announceGame = [&calls](const QString&, const QString& text) { calls.announced << text; };
    return std::make_unique<MonitoringController>(
        MonitoringParts{parts.session, parts.config, parts.options, parts.debug, parts.clock,
                        parts.dialogs, parts.timers, parts.work, parts.windows, parts.logPanel,
                        parts.statusBar, parts.label, nullptr},
        std::move(hooks));
}

struct RunCalls {
    QStringList steps;
};

std::unique_ptr<AnalysisRun> MakeRun(Parts& parts, RunCalls& calls)
{
    AnalysisRunHooks hooks;
    hooks.setBusy = [&calls](bool busy, MainTab tab) {
        const char* tabs[] = {"", "Info", "Status", "Errors", "Debug"};
        calls.steps << QString(busy ? "busy, " : "done, ") + tabs[static_cast<int>(tab)];
    };
    hooks.showResults = [&calls] { calls.steps << "results"; };
    hooks.finished = [&calls] { calls.steps << "finished"; };
    return std::make_unique<AnalysisRun>(AnalysisRunParts{parts.session, parts.debug, parts.timers,
                                                          parts.work, parts.logPanel,
                                                          parts.statusBar, parts.label},
                                         std::move(hooks));
}

struct UpdateCalls {
    int finished = 0;
    int closes = 0;
};

std::unique_ptr<UpdateCoordinator> MakeUpdates(Parts& parts, UpdateCalls& calls)
{
    UpdateHooks hooks;
    // As the window does, which then starts what waited.
    hooks.finished = [&calls, &parts] {
        ++calls.finished;
        parts.work.Finish(LongWork::Kind::UpdateCheck);
    };
    hooks.close = [&calls] { ++calls.closes; };
    UpdateCheckerSettings settings;
    settings.programDirectory = parts.dataDir.path();
    settings.configuration = parts.config.file;
    return std::make_unique<UpdateCoordinator>(
        UpdateParts{parts.dialogs, parts.debug, parts.lastError, parts.clock, parts.timers,
                    parts.work, parts.statusBar, parts.errorsTab, parts.label, nullptr},
        std::move(hooks), std::move(settings));
}

} // namespace

class ControllersTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QStandardPaths::setTestModeEnabled(true); }

    // A tick reads what the game wrote, unless the window's long work runs
    // or a button is held on the tree; the next free tick reads it then.
    void monitoringReadsOnFreeTicks_data()
    {
        QTest::addColumn<QString>("holdUp");
        QTest::addColumn<QString>("panelMeanwhile");
        QTest::newRow("nothing") << ""
                                 << "ACTIVE";
        QTest::newRow("analysis") << "analysis"
                                  << "ACTIVE";
        QTest::newRow("update check") << "update check"
                                      << "ACTIVE";
        QTest::newRow("paused") << "paused"
                                << "PAUSED";
    }
    void monitoringReadsOnFreeTicks()
    {
        QFETCH(QString, holdUp);
        QFETCH(QString, panelMeanwhile);
        Parts parts;
        MonitoringCalls calls;
        auto monitoring = MakeMonitoring(parts, calls);
        parts.Append(AldricHits);
        monitoring->SetEnabled(true);
        QCOMPARE(parts.Panel("Monitor"), QString("ACTIVE"));
        QCOMPARE(parts.Panel("Message"), QString("Log file monitoring enabled."));

        const LongWork::Kind kind =
            holdUp == "analysis" ? LongWork::Kind::Analysis : LongWork::Kind::UpdateCheck;
        if (holdUp == "paused")
            monitoring->SetPaused(true);
        else if (!holdUp.isEmpty())
            QVERIFY(parts.work.Start(kind));
        parts.timers.Advance(MonitoringController::ReadInterval * 3);
        QCOMPARE(parts.Knows("Aldric Voss"), holdUp.isEmpty());
        QCOMPARE(parts.Panel("Monitor"), panelMeanwhile);

        monitoring->SetPaused(false);
        if (!holdUp.isEmpty() && holdUp != "paused")
            parts.work.Finish(kind);
        parts.timers.Advance(MonitoringController::ReadInterval);
        QVERIFY(parts.Knows("Aldric Voss"));
        QCOMPARE(parts.Panel("Monitor"), QString("ACTIVE"));
        QVERIFY(calls.treeRedraws >= 1);
    }

    // ReadNow reads at once, between ticks, and nothing while monitoring is off.
    void readNowNeedsNoTick()
    {
        Parts parts;
        MonitoringCalls calls;
        auto monitoring = MakeMonitoring(parts, calls);
        parts.Append(AldricHits);
        monitoring->ReadNow();
        QVERIFY(!parts.Knows("Aldric Voss"));

        monitoring->SetEnabled(true);
        monitoring->ReadNow();
        QVERIFY(parts.Knows("Aldric Voss"));
        parts.Append(BorinHits);
        monitoring->ReadNow();
        QVERIFY(parts.Knows("Borin"));
        QCOMPARE(parts.timers.Now(), milliseconds(0));
    }

    // Switched off, monitoring reads nothing more however long it waits;
    // switched on again it starts from empty data and reads every log anew.
    void switchingOffStopsTheReads()
    {
        Parts parts;
        MonitoringCalls calls;
        auto monitoring = MakeMonitoring(parts, calls);
        parts.Append(AldricHits);
        monitoring->Toggle();
        parts.timers.Advance(MonitoringController::ReadInterval);
        QVERIFY(parts.Knows("Aldric Voss"));

        monitoring->Toggle();
        QVERIFY(!monitoring->Enabled());
        QCOMPARE(parts.Panel("Monitor"), QString("INACTIVE"));
        QCOMPARE(parts.statusBar.Panel("Monitor")->frameShadow(), QFrame::Raised);
        QCOMPARE(parts.Panel("Message"), QString("Log file monitoring disabled."));
        QCOMPARE(parts.logPanel.MaskText(), QString("nwclientLog*.txt"));
        parts.Append(BorinHits);
        parts.timers.Advance(MonitoringController::ReadInterval * 10);
        QVERIFY(!parts.Knows("Borin"));

        monitoring->SetEnabled(true);
        QVERIFY(!parts.Knows("Aldric Voss"));
        parts.timers.Advance(MonitoringController::ReadInterval);
        QVERIFY(parts.Knows("Aldric Voss"));
        QVERIFY(parts.Knows("Borin"));
        QCOMPARE(calls.realTimeResets, 3);
    }

    // The followed log removed: the player is told, the error list says so,
    // and monitoring switches itself off; the data read stay.
    void aVanishedLogSwitchesMonitoringOff()
    {
        Parts parts;
        MonitoringCalls calls;
        auto monitoring = MakeMonitoring(parts, calls);
        parts.Append(AldricHits);
        monitoring->SetEnabled(true);
        parts.timers.Advance(MonitoringController::ReadInterval);
        QVERIFY(parts.Knows("Aldric Voss"));

        QVERIFY(QFile::remove(parts.logs.filePath("nwclientLog1.txt")));
        parts.timers.Advance(MonitoringController::ReadInterval);
        QVERIFY(!monitoring->Enabled());
        QCOMPARE(parts.dialogs.messages.size(), 1);
        QCOMPARE(parts.dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(parts.dialogs.messages[0].text.startsWith(
            "The current log has been unexpectedly removed!"));
        QCOMPARE(parts.host.errors.size(), size_t{1});
        QVERIFY(parts.host.errors[0].ends_with(
            "- The current log has been removed!  Clearing all information..."));
        QCOMPARE(calls.errorFlushes, 1);
        QVERIFY(parts.Knows("Aldric Voss"));
        parts.timers.Advance(MonitoringController::ReadInterval * 4);
        QCOMPARE(parts.dialogs.messages.size(), 1);
    }

    // The game's window is looked for once a second while watched: each
    // change is announced once, in a balloon and the status bar.
    void gameDetectionAnnouncesChanges_data()
    {
        QTest::addColumn<QList<bool>>("gameShownPerSecond");
        QTest::addColumn<QStringList>("announced");
        const QString started = "NeverWinter Nights is running!";
        const QString ended = "NeverWinter Nights has shut down.";
        QTest::newRow("never runs") << QList<bool>{false, false, false} << QStringList{};
        QTest::newRow("starts") << QList<bool>{false, true, true} << QStringList{started};
        QTest::newRow("starts and ends")
            << QList<bool>{true, true, false, false} << QStringList{started, ended};
        QTest::newRow("restarts") << QList<bool>{true, false, true}
                                  << QStringList{started, ended, started};
    }
    void gameDetectionAnnouncesChanges()
    {
        QFETCH(QList<bool>, gameShownPerSecond);
        QFETCH(QStringList, announced);
        Parts parts;
        MonitoringCalls calls;
        auto monitoring = MakeMonitoring(parts, calls);
        monitoring->WatchGame(true);
        QVERIFY(monitoring->GameTimerRunning());
        for (bool shown : gameShownPerSecond) {
            parts.windows.windows =
                shown ? std::vector<WindowInfo>{GameWindow} : std::vector<WindowInfo>{};
            parts.timers.Advance(MonitoringController::GameInterval);
        }
        QCOMPARE(calls.announced, announced);
        if (!announced.isEmpty())
            QCOMPARE(parts.Panel("Message"), announced.back());

        // Not watched: the timer stops and changes go unannounced.
        monitoring->WatchGame(false);
        QVERIFY(!monitoring->GameTimerRunning());
        parts.windows.windows = gameShownPerSecond.back() ? std::vector<WindowInfo>{}
                                                          : std::vector<WindowInfo>{GameWindow};
        parts.timers.Advance(MonitoringController::GameInterval * 3);
        QCOMPARE(calls.announced, announced);
    }

    // Every timer stops with the controller's StopTimers, whatever ran.
    void stopTimersStopsEveryTimer()
    {
        Parts parts;
        MonitoringCalls calls;
        auto monitoring = MakeMonitoring(parts, calls);
        monitoring->SetEnabled(true);
        monitoring->WatchGame(true);
        monitoring->StartFugueDisplay();
        QCOMPARE(parts.timers.RunningCount(), 3);
        monitoring->StopTimers();
        QCOMPARE(parts.timers.RunningCount(), 0);
    }

    // The status bar's panels, left to right, and the monitoring switch.
    void statusBarPanels()
    {
        QStatusBar bar;
        StatusBar status(bar);
        const QStringList keys{"Start", "End", "Fugue", "Monitor", "Message"};
        QList<StatusPanel*> panels = bar.findChildren<StatusPanel*>();
        bar.resize(800, 30);
        bar.show();
        std::sort(panels.begin(), panels.end(), [](StatusPanel* a, StatusPanel* b) {
            return a->geometry().x() < b->geometry().x();
        });
        QStringList order;
        for (StatusPanel* panel : panels)
            order << panel->objectName();
        QCOMPARE(order, keys);
        QCOMPARE(status.Panel("Nothing"), nullptr);

        int clicks = 0;
        connect(&status, &StatusBar::MonitorClicked, [&clicks] { ++clicks; });
        for (const QString& key : keys)
            QTest::mouseClick(status.Panel(key), Qt::LeftButton);
        QCOMPARE(clicks, 1);

        struct Shown {
            bool on;
            const char* text;
            QFrame::Shadow shadow;
        };
        for (const Shown& row :
             {Shown{true, "ACTIVE", QFrame::Sunken}, Shown{false, "INACTIVE", QFrame::Raised}}) {
            status.ShowMonitoring(row.on);
            QCOMPARE(status.Panel("Monitor")->text(), QString(row.text));
            QCOMPARE(status.Panel("Monitor")->frameShadow(), row.shadow);
        }
    }

    // A run reads the logs, says how it went and hands over in this order;
    // one it cannot finish says why and shows the errors instead.
    void analysisRunsAndSaysHow_data()
    {
        QTest::addColumn<QStringList>("logs"); // "-" for a log that is gone
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("firstError");
        const QString complete = "Log analysis complete.  (Check Status and Errors tabs for "
                                 "more info.)";
        const QStringList done{"busy, Status", "results", "done, Info", "finished"};
        QTest::newRow("one log") << QStringList{"a.txt"} << complete << done << "";
        QTest::newRow("one of two gone") << QStringList{"-", "a.txt"} << complete << done
                                         << "gone.txt was not found and was skipped.";
        QTest::newRow("empty log") << QStringList{"empty.txt"}
                                   << "Log file [empty.txt] holds no lines; the analysis stopped."
                                   << QStringList{"busy, Status", "done, Errors", "finished"} << "";
    }
    void analysisRunsAndSaysHow()
    {
        QFETCH(QStringList, logs);
        QFETCH(QString, message);
        QFETCH(QStringList, steps);
        QFETCH(QString, firstError);
        Parts parts;
        RunCalls calls;
        auto run = MakeRun(parts, calls);
        test::AppendToFile(parts.logs.filePath("a.txt"), AldricHits);
        test::AppendToFile(parts.logs.filePath("empty.txt"), {});
        QStringList paths;
        for (const QString& log : logs)
            paths << parts.logs.filePath(log == "-" ? "gone.txt" : log);
        run->Request(paths);
        QCOMPARE(parts.Panel("Message"), message);
        QCOMPARE(calls.steps, steps);
        QCOMPARE(run->AnalysedLogs(), paths);
        QCOMPARE(parts.Knows("Aldric Voss"), steps.contains("results"));
        if (!firstError.isEmpty()) {
            QCOMPARE(parts.host.errors.size(), size_t{1});
            QCOMPARE(QString::fromStdString(parts.host.errors[0]), parts.logs.filePath(firstError));
        }
        QCOMPARE(parts.timers.RunningCount(), 0);
    }

    // While a run reads, the Status tab shows what it read once a second;
    // at the end the summary stays, whatever time passes.
    void analysisProgressOncePerSecond()
    {
        Parts parts;
        RunCalls calls;
        auto run = MakeRun(parts, calls);
        test::AppendToFile(parts.logs.filePath("a.txt"), AldricHits);
        test::AppendToFile(parts.logs.filePath("b.txt"), BorinHits);
        QStringList shown;
        // The run looks at the event loop before each log; a second passes there.
        parts.host.onYield = [&] {
            parts.timers.Advance(AnalysisRun::ProgressInterval);
            shown << parts.label.text();
        };
        run->Request({parts.logs.filePath("a.txt"), parts.logs.filePath("b.txt")});
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], QString("Analyzing logs...\n\n0 lines read.\n0 records parsed."));
        QCOMPARE(shown[1], QString("Analyzing logs...\n\n1 lines read.\n1 records parsed (100%)."));
        const QString summary = parts.label.text();
        QVERIFY(summary.endsWith("Updating display...complete."));
        parts.timers.Advance(AnalysisRun::ProgressInterval * 5);
        QCOMPARE(parts.label.text(), summary);
    }

    // During an update check the logs wait, untouched, for the check's end.
    void analysisWaitsForTheUpdateCheck()
    {
        Parts parts;
        RunCalls calls;
        auto run = MakeRun(parts, calls);
        test::AppendToFile(parts.logs.filePath("a.txt"), AldricHits);
        QVERIFY(parts.work.Start(LongWork::Kind::UpdateCheck));
        const QStringList paths{parts.logs.filePath("a.txt")};
        run->Request(paths);
        QVERIFY(calls.steps.isEmpty());
        QVERIFY(!parts.Knows("Aldric Voss"));
        QCOMPARE(parts.work.Finish(LongWork::Kind::UpdateCheck), LongWork::Kind::Analysis);
        QCOMPARE(run->TakeWaiting(), paths);
        QVERIFY(run->TakeWaiting().isEmpty());
    }

    // The automatic check falls due a second after its timer starts; one
    // asked for during an analysis waits for its end.
    void updateCheckTiming()
    {
        Parts parts;
        UpdateCalls calls;
        auto updates = MakeUpdates(parts, calls);
        parts.label.setVisible(false);
        updates->StartTimer();
        parts.timers.Advance(UpdateCoordinator::AutomaticDelay - milliseconds(1));
        QCOMPARE(calls.finished, 0);
        parts.timers.Advance(milliseconds(1));
        QCOMPARE(calls.finished, 1);
        QVERIFY(parts.label.text().endsWith("gives no update address."));
        parts.timers.Advance(UpdateCoordinator::AutomaticDelay * 5);
        QCOMPARE(calls.finished, 1);

        QVERIFY(parts.work.Start(LongWork::Kind::Analysis));
        updates->Request(true);
        QCOMPARE(calls.finished, 1);
        QVERIFY(updates->TakeWaiting());
        QVERIFY(parts.dialogs.questions.isEmpty());
        QVERIFY(!updates->HoldClose());
        QCOMPARE(parts.work.Finish(LongWork::Kind::Analysis), LongWork::Kind::UpdateCheck);
        QCOMPARE(calls.closes, 0);
    }
};

QTEST_MAIN(ControllersTest)
#include "ControllersTest.moc"
