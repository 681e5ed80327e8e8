#include "GuiTestSupport.h"
#include "analysis/Session.h"
#include "app/gui/LogChangeWatch.h"
#include "app/gui/LogSelectionPanel.h"
#include "app/gui/MonitoringController.h"
#include "app/gui/StatusBar.h"
#include "fights/FightTables.h"
#include "fights/gui/FightsTab.h"
#include "fights/gui/TableModel.h"
#include "meter/gui/MeterWindow.h"
#include "ui/gui/DetailGridWidget.h"
#include "ui/gui/DetailsWindow.h"
#include "ui/gui/HudWindow.h"
#include "util/Clock.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>

using namespace tarvik;

namespace {

QByteArray Line(const char* stamp, const char* body)
{
    return QByteArray("[CHAT WINDOW TEXT] [") + stamp + "] " + body + "\r\n";
}

using std::chrono::milliseconds;
constexpr milliseconds Tick = MonitoringController::ReadInterval;

QString PanelText(MainWindow& window, const char* key)
{
    return window.Status().Panel(key)->text();
}

} // namespace

// Time passes as each test lets it: a monitoring tick is Tick of the
// window's timers, the HUD refreshes once a second.
class MonitoringTest : public QObject {
    Q_OBJECT

private:
    test::WindowServices services_{DateTime::FromCivil(2026, 7, 6, 20, 0, 0)};

private slots:
    void init() { services_.Reset(); }

    // The panel's texts and the switch itself are the controllers' tests';
    // here the window's log panel follows it.
    void monitorPanelTogglesMonitoring()
    {
        test::ProgramFolder folder;
        QTemporaryDir logs;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.LogPanel()->SetFolder(logs.path());

        StatusPanel* monitor = window.Status().Panel("Monitor");
        QTest::mouseClick(monitor, Qt::LeftButton);
        QVERIFY(window.Monitoring().Enabled());
        QVERIFY(window.LogPanel()->MaskText().isEmpty());
        QVERIFY(!window.LogPanel()->AnalyzeButton()->isEnabled());
        QVERIFY(!window.LogPanel()->FileList()->isEnabled());
        // An empty folder: every tick only says it is watching.
        services_.Pass(Tick);
        QCOMPARE(PanelText(window, "Message"), QString("Monitoring log files..."));

        QTest::mouseClick(monitor, Qt::LeftButton);
        QVERIFY(!window.Monitoring().Enabled());
        QVERIFY(window.LogPanel()->AnalyzeButton()->isEnabled());
    }

    // The HUD needs your character; opened before monitoring, it says how to
    // start it.
    void hudNeedsTheUsersCharacterAndTellsHowToMonitor()
    {
        test::ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.LogPanel()->HudButton()->click();
        QCOMPARE(services_.dialogs.messages.size(), 1);
        QCOMPARE(services_.dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
        QCOMPARE(services_.dialogs.messages[0].text,
                 QString("You must select which character is yours first!\nRight-click on your "
                         "character in the info pane to set it."));
        QVERIFY(!window.Hud());
        QVERIFY(window.isVisible());

        window.GetSession().Data().userCharacterId = CharacterId(1);
        window.LogPanel()->HudButton()->click();
        QVERIFY(window.Hud());
        auto* hint = window.Hud()->findChild<QLabel*>("lblMonitoringHint");
        QVERIFY(hint && hint->isVisibleTo(window.Hud()));
        QCOMPARE(hint->text(),
                 QString("Monitoring is off: close the HUD and click Monitor in the main window."));
        window.Hud()->close();
    }

    // The file system's notice of a new log and of appended lines starts a
    // read: the monitoring timer never runs out meanwhile (the test lets
    // less than a tick pass). The meter shows the fight and stays open in
    // HUD mode.
    void appendedLinesAreReadOnNoticeWithoutThePoll()
    {
        test::ProgramFolder folder;
        QTemporaryDir logs;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.Action("mnuMainOptionsAutoDetectCharParty")->trigger();
        window.LogPanel()->SetFolder(logs.path());
        window.Monitoring().SetEnabled(true);
        LogChangeWatch& watch = window.Monitoring().Watch();
        QCOMPARE(watch.WatchedPaths(), QStringList{QDir::cleanPath(logs.path())});

        const QString log = logs.filePath("nwclientLog1.txt");
        test::AppendToFile(
            log, Line("Mon Jul  6 20:00:00", "Aldric Voss : Initiative Roll : 14 : (9 + 5 = 14)"),
            services_.clock.Now());
        QTRY_VERIFY_WITH_TIMEOUT(test::CharacterNode(window, "Aldric Voss"), 5000);
        QCOMPARE(window.LogPanel()->MaskText(), QString("nwclientLog1.txt"));

        window.LogPanel()->MeterButton()->click();
        MeterWindow* meter = window.Meter();
        QVERIFY(meter && meter->isVisible());
        test::AppendToFile(
            log,
            Line("Mon Jul  6 20:00:05", "Aldric Voss damages Goblin Shaman: 9 (6 Physical 3 Fire)"),
            services_.clock.Now());
        QTRY_VERIFY_WITH_TIMEOUT(test::CharacterNode(window, "Goblin Shaman"), 5000);
        // The meter repaints at most every 50 ms: this read came within them.
        services_.Pass(milliseconds(MeterWindow::MinRepaintGapMs));
        QCOMPARE(meter->View().rows.size(), size_t{1});
        QCOMPARE(meter->View().rows[0].name, std::string("Aldric Voss"));
        QVERIFY(meter->View().rows[0].you);
        QCOMPARE(meter->View().rows[0].total, int64_t{9});
        QCOMPARE(meter->View().title, std::string("Goblin Shaman"));
        QVERIFY(watch.Reads() >= 2);
        QVERIFY(watch.WatchedPaths().contains(QDir::cleanPath(log)));

        window.LogPanel()->HudButton()->click();
        QVERIFY(window.Hud());
        QVERIFY(!window.isVisible());
        QVERIFY(meter->isVisible());
        QVERIFY(!window.Hud()->findChild<QLabel*>("lblMonitoringHint")->isVisibleTo(window.Hud()));

        // Locked, the tray menu unlocks it; the Meter button closes it.
        meter->SetLocked(true);
        QAction* unlock = window.findChild<QAction*>("mnuSystrayMainUnlockMeter");
        QVERIFY(unlock && window.findChild<QAction*>("mnuSystrayMainMeter"));
        unlock->trigger();
        QVERIFY(!meter->Locked());
        window.Hud()->close();
        QTRY_VERIFY(window.isVisible());
        window.LogPanel()->MeterButton()->click();
        QTRY_VERIFY(!window.Meter());

        // Monitoring off: nothing is watched any more.
        window.Monitoring().SetEnabled(false);
        QVERIFY(watch.WatchedPaths().isEmpty());
    }

    // The game writes while Tarvik follows: the tree, the HUD and the fugue
    // timer show the new lines within a couple of ticks.
    void appendedLinesReachTreeHudAndFugueTimer()
    {
        test::ProgramFolder folder;
        QTemporaryDir logs;
        const QString log = logs.filePath("nwclientLog1.txt");
        test::AppendToFile(
            log, Line("Mon Jul  6 20:00:00", "Aldric Voss : Initiative Roll : 14 : (9 + 5 = 14)"),
            services_.clock.Now());
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.Action("mnuMainOptionsAutoDetectCharParty")->trigger();
        window.LogPanel()->SetFolder(logs.path());
        window.Monitoring().SetEnabled(true);
        services_.Pass(Tick);
        QVERIFY(test::CharacterNode(window, "Aldric Voss"));
        QCOMPARE(window.LogPanel()->MaskText(), QString("nwclientLog1.txt"));
        QVERIFY(!window.GetSession().Data().userCharacterId.IsNone());

        window.LogPanel()->HudButton()->click();
        HudWindow* hud = window.Hud();
        QVERIFY(hud);
        QVERIFY(!window.isVisible());

        test::AppendToFile(log,
                           Line("Mon Jul  6 20:00:05",
                                "Aldric Voss attacks Goblin Shaman : *hit* : (12 + 17 = 29)") +
                               Line("Mon Jul  6 20:00:05",
                                    "Aldric Voss damages Goblin Shaman: 9 (6 "
                                    "Physical 3 Fire)") +
                               Line("Mon Jul  6 20:00:06", "Experience Points Gained:  1250"),
                           services_.clock.Now());
        services_.Pass(Tick);
        QVERIFY(test::CharacterNode(window, "Goblin Shaman"));
        auto* abOut = hud->findChild<QLabel*>("lblABOut");
        auto* xp = hud->findChild<QLabel*>("lblTotalXP");
        auto* grid = hud->findChild<QTableWidget*>("msflexgridHUD");
        QVERIFY(abOut && xp && grid);
        services_.Pass(milliseconds(1000) - Tick); // the HUD's next refresh
        QCOMPARE(abOut->text(), QString("17"));
        QCOMPARE(xp->text(), QString("1,250"));
        QCOMPARE(grid->item(1, 1)->text(), QString("6"));
        QCOMPARE(grid->item(1, grid->columnCount() - 1)->text(), QString("9"));
        // The fight runs: its DPS line shows, in the HUD's colours and scale.
        auto* dps = hud->findChild<QLabel*>("lblFightDps");
        QVERIFY(dps);
        QVERIFY(dps->isVisible());
        QCOMPARE(dps->text(), QString("DPS  you 9  /  party 9"));
        QCOMPARE(dps->palette().color(QPalette::WindowText),
                 xp->palette().color(QPalette::WindowText));
        const QSize design = hud->size();
        hud->resize(design * 3 / 2);
        QTRY_COMPARE(hud->Scale(), 1.5);
        QCOMPARE(dps->font().pointSizeF(), xp->font().pointSizeF());
        QVERIFY(dps->width() >= dps->sizeHint().width());
        hud->resize(design);

        // The timer runs from the death's own time, now by the test's clock.
        test::AppendToFile(log, Line("Mon Jul  6 20:00:00", "Ogre Chieftain killed Aldric Voss"),
                           services_.clock.Now());
        // Read at the next tick, shown at the fugue display's next one.
        services_.Pass(Tick + MonitoringController::FugueInterval);
        QCOMPARE(PanelText(window, "Fugue"), QString("5:00"));
        QCOMPARE(window.Status().Panel("Fugue")->toolTip(), QString("Active fugue timers:  1"));
        QVERIFY(!window.FugueWarning()->isVisibleTo(&window));
        services_.clock.Advance(270'000);
        services_.Pass(milliseconds(1000)); // the fugue display and the HUD
        QCOMPARE(PanelText(window, "Fugue"), QString("0:30"));
        // The fight is over: the line stays on the last fight that ended.
        QVERIFY(dps->isVisible());
        QVERIFY(dps->text().startsWith("DPS  you "));
        QVERIFY(window.FugueWarning()->isVisibleTo(&window));
        services_.clock.Advance(31'000);
        services_.Pass(MonitoringController::FugueInterval);
        QCOMPARE(PanelText(window, "Fugue"), QString("n/a"));
        QVERIFY(!window.FugueWarning()->isVisibleTo(&window));

        // The HUD's hover level is stored and sets the main window's on-top timer.
        auto* hover = hud->findChild<QSlider*>("cSliderOnTop");
        QVERIFY(hover);
        for (const auto& [level, interval] : {std::pair{4, 100}, {2, 500}}) {
            hover->setValue(level);
            QCOMPARE(services_.store.Read("HUDOptions", "HoverBehavior").value_or(""),
                     std::to_string(level));
            QCOMPARE(window.OnTopInterval(), interval);
        }
        hud->close();
        QVERIFY(window.isVisible());
    }

    // The details of the character shown follow the lines about it.
    void detailsFollowTheCharacterShown()
    {
        test::ProgramFolder folder;
        QTemporaryDir logs;
        const QString log = logs.filePath("nwclientLog1.txt");
        test::AppendToFile(log,
                           Line("Mon Jul  6 20:00:00",
                                "Aldric Voss attacks Goblin Shaman : *hit* : (12 + 17 = 29)"),
                           services_.clock.Now());
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.LogPanel()->SetFolder(logs.path());
        window.Monitoring().SetEnabled(true);
        services_.Pass(Tick);
        QTreeWidgetItem* aldric = test::CharacterNode(window, "Aldric Voss");
        window.Tree()->setCurrentItem(aldric);
        window.ShowNode(aldric, 1);
        QVERIFY(window.Details() && window.Details()->isVisible());
        DetailGridWidget* grid = window.Details()->Grid();
        QCOMPARE(grid->CellText(4, 1), QString("1; 1 hits (100%)"));

        test::AppendToFile(log,
                           Line("Mon Jul  6 20:00:02",
                                "Aldric Voss attacks Goblin Shaman : *miss* : (1 + 17 = 18)"),
                           services_.clock.Now());
        services_.Pass(Tick);
        QCOMPARE(grid->CellText(4, 1), QString("2; 1 hits (50%)"));
        window.Monitoring().SetEnabled(false);
    }

    // With the Fights tab in view, each tick shows the running fight at the
    // top, and the player's selection stays while it grows.
    void fightsTabFollowsTheRunningFight()
    {
        // Other tests move the clock on; the lines below are dated by this one.
        services_.clock.Set(DateTime::FromCivil(2026, 7, 6, 20, 0, 0));
        test::ProgramFolder folder;
        QTemporaryDir logs;
        const QString log = logs.filePath("nwclientLog1.txt");
        test::AppendToFile(
            log,
            Line("Mon Jul  6 20:00:01", "Aldric Voss damages Goblin Shaman: 9 (6 Physical 3 Fire)"),
            services_.clock.Now());
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.LogPanel()->SetFolder(logs.path());
        window.Tabs()->setCurrentWidget(window.FightsPanel());
        window.Monitoring().SetEnabled(true);
        FightsTab* tab = window.FightsPanel();
        TableModel* fights = tab->FightsModel();
        services_.Pass(Tick);
        QCOMPARE(fights->rowCount(), 1);
        QVERIFY(fights->Row(0).emphasized);
        tab->SelectFight(0);
        QCOMPARE(tab->CharactersModel()->rowCount(), 2);

        test::AppendToFile(
            log, Line("Mon Jul  6 20:00:03", "Goblin Archer damages Aldric Voss: 4 (4 Physical)"),
            services_.clock.Now());
        services_.Pass(Tick);
        QCOMPARE(tab->CharactersModel()->rowCount(), 3);
        QCOMPARE(tab->SelectedFight(), 0);
        QCOMPARE(fights->Row(0).cells[FightDurationColumn].text, std::string("2 s"));

        // Time passes without a line: the fight ends and loses its mark.
        services_.clock.Advance(60'000);
        services_.Pass(Tick);
        QVERIFY(!fights->Row(0).emphasized);
        QCOMPARE(tab->SelectedFight(), 0);
        window.Monitoring().SetEnabled(false);
    }
};

QTEST_MAIN(MonitoringTest)
#include "MonitoringTest.moc"
