#include "GuiTestSupport.h"
#include "analysis/Session.h"
#include "app/gui/LogChangeWatch.h"
#include "app/gui/LogSelectionPanel.h"
#include "fights/FightTables.h"
#include "fights/gui/FightsTab.h"
#include "fights/gui/TableModel.h"
#include "meter/gui/MeterWindow.h"
#include "ui/gui/DetailGridWidget.h"
#include "ui/gui/DetailsWindow.h"
#include "ui/gui/HudWindow.h"
#include "util/Clock.h"

#include <QAction>
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

} // namespace

class MonitoringTest : public QObject {
    Q_OBJECT

private:
    test::WindowServices services_{DateTime::FromCivil(2026, 7, 6, 20, 0, 0)};

private slots:
    void init() { services_.Reset(); }

    void monitorPanelTogglesMonitoring()
    {
        test::ProgramFolder folder;
        QTemporaryDir logs;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.LogPanel()->SetFolder(logs.path());

        window.SetMonitoring(true);
        QCOMPARE(window.Panel("Monitor")->text(), QString("ACTIVE"));
        QCOMPARE(window.Panel("Message")->text(), QString("Log file monitoring enabled."));
        QVERIFY(window.LogPanel()->MaskText().isEmpty());
        QVERIFY(!window.LogPanel()->AnalyzeButton()->isEnabled());
        QVERIFY(!window.LogPanel()->FileList()->isEnabled());
        // An empty folder: every tick only says it is watching.
        QTRY_COMPARE_WITH_TIMEOUT(window.Panel("Message")->text(),
                                  QString("Monitoring log files..."), 3000);

        window.SetMonitoring(false);
        QCOMPARE(window.Panel("Monitor")->text(), QString("INACTIVE"));
        QCOMPARE(window.Panel("Message")->text(), QString("Log file monitoring disabled."));
        QCOMPARE(window.LogPanel()->MaskText(), QString("nwclientLog*.txt"));
        QVERIFY(window.LogPanel()->AnalyzeButton()->isEnabled());
    }

    void hudRefusesWithoutTheUsersCharacter()
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
    }

    // The file system's notice of a new log and of appended lines starts a
    // read: the monitoring timer, set to an hour, never runs out meanwhile.
    // The meter shows the fight and stays open in HUD mode.
    void appendedLinesAreReadOnNoticeWithoutThePoll()
    {
        test::ProgramFolder folder;
        QTemporaryDir logs;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.Action("mnuMainOptionsAutoDetectCharParty")->trigger();
        window.LogPanel()->SetFolder(logs.path());
        window.SetMonitoring(true);
        window.MonitoringTimer()->setInterval(3'600'000);
        QVERIFY(window.LogWatch());

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
        QTRY_COMPARE_WITH_TIMEOUT(meter->View().rows.size(), size_t{1}, 5000);
        QCOMPARE(meter->View().rows[0].name, std::string("Aldric Voss"));
        QVERIFY(meter->View().rows[0].you);
        QCOMPARE(meter->View().rows[0].total, int64_t{9});
        QCOMPARE(meter->View().title, std::string("Goblin Shaman"));
        QVERIFY(window.LogWatch()->Reads() >= 2);
        QVERIFY(window.MonitoringTimer()->remainingTime() > 3'000'000);

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
        window.SetMonitoring(false);
        QVERIFY(window.LogWatch()->WatchedPaths().isEmpty());
    }

    // Opened before monitoring, the HUD says how to start it.
    void hudWithoutMonitoringShowsTheHint()
    {
        test::ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.GetSession().Data().userCharacterId = 1;
        window.LogPanel()->HudButton()->click();
        QVERIFY(window.Hud());
        auto* hint = window.Hud()->findChild<QLabel*>("lblMonitoringHint");
        QVERIFY(hint && hint->isVisibleTo(window.Hud()));
        QCOMPARE(hint->text(),
                 QString("Monitoring is off: close the HUD and click Monitor in the main window."));
        window.Hud()->close();
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
        window.SetMonitoring(true);
        QTRY_VERIFY_WITH_TIMEOUT(test::CharacterNode(window, "Aldric Voss"), 3000);
        QCOMPARE(window.LogPanel()->MaskText(), QString("nwclientLog1.txt"));
        QVERIFY(window.GetSession().Data().userCharacterId > 0);

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
        QTRY_VERIFY_WITH_TIMEOUT(test::CharacterNode(window, "Goblin Shaman"), 3000);
        auto* abOut = hud->findChild<QLabel*>("lblABOut");
        auto* xp = hud->findChild<QLabel*>("lblTotalXP");
        auto* grid = hud->findChild<QTableWidget*>("msflexgridHUD");
        QVERIFY(abOut && xp && grid);
        QTRY_COMPARE_WITH_TIMEOUT(abOut->text(), QString("17"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(xp->text(), QString("1,250"), 3000);
        QCOMPARE(grid->item(1, 1)->text(), QString("6"));
        QCOMPARE(grid->item(1, grid->columnCount() - 1)->text(), QString("9"));
        // The fight runs: its DPS line shows, in the HUD's colours and scale.
        auto* dps = hud->findChild<QLabel*>("lblFightDps");
        QVERIFY(dps);
        QTRY_VERIFY_WITH_TIMEOUT(dps->isVisible(), 3000);
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
        QTRY_COMPARE_WITH_TIMEOUT(window.Panel("Fugue")->text(), QString("5:00"), 3000);
        QCOMPARE(window.Panel("Fugue")->toolTip(), QString("Active fugue timers:  1"));
        QVERIFY(!window.FugueWarning()->isVisibleTo(&window));
        services_.clock.Advance(270'000);
        QTRY_COMPARE_WITH_TIMEOUT(window.Panel("Fugue")->text(), QString("0:30"), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!dps->isVisible(), 3000); // the fight is over
        QVERIFY(window.FugueWarning()->isVisibleTo(&window));
        services_.clock.Advance(31'000);
        QTRY_COMPARE_WITH_TIMEOUT(window.Panel("Fugue")->text(), QString("n/a"), 2000);
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
        QTRY_VERIFY(window.isVisible());
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
        window.SetMonitoring(true);
        QTRY_VERIFY_WITH_TIMEOUT(test::CharacterNode(window, "Aldric Voss"), 3000);
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
        QTRY_COMPARE_WITH_TIMEOUT(grid->CellText(4, 1), QString("2; 1 hits (50%)"), 3000);
        window.SetMonitoring(false);
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
        window.SetMonitoring(true);
        FightsTab* tab = window.FightsPanel();
        TableModel* fights = tab->FightsModel();
        QTRY_COMPARE_WITH_TIMEOUT(fights->rowCount(), 1, 3000);
        QVERIFY(fights->Row(0).emphasized);
        tab->SelectFight(0);
        QCOMPARE(tab->CharactersModel()->rowCount(), 2);

        test::AppendToFile(
            log, Line("Mon Jul  6 20:00:03", "Goblin Archer damages Aldric Voss: 4 (4 Physical)"),
            services_.clock.Now());
        QTRY_COMPARE_WITH_TIMEOUT(tab->CharactersModel()->rowCount(), 3, 3000);
        QCOMPARE(tab->SelectedFight(), 0);
        QCOMPARE(fights->Row(0).cells[FightDurationColumn].text, std::string("2 s"));

        // Time passes without a line: the fight ends and loses its mark.
        services_.clock.Advance(60'000);
        QTRY_VERIFY_WITH_TIMEOUT(!fights->Row(0).emphasized, 3000);
        QCOMPARE(tab->SelectedFight(), 0);
        window.SetMonitoring(false);
    }
};

QTEST_MAIN(MonitoringTest)
#include "MonitoringTest.moc"
