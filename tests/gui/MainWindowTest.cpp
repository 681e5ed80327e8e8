#include "app/gui/MainWindow.h"

#include "GuiTestSupport.h"
#include "analysis/Session.h"
#include "app/gui/CharacterTreeWidget.h"
#include "app/gui/DebugTab.h"
#include "app/gui/ErrorsTab.h"
#include "app/gui/LogSelectionPanel.h"
#include "app/gui/MonitoringController.h"
#include "app/gui/QtSettingsStore.h"
#include "app/gui/StatusBar.h"
#include "app/gui/UpdateCoordinator.h"
#include "config/ProgramInfo.h"
#include "diag/gui/FileViewer.h"
#include "fights/FightTables.h"
#include "fights/gui/FightsTab.h"
#include "fights/gui/TableModel.h"
#include "fights/gui/TargetsTab.h"
#include "ui/gui/DetailGridWidget.h"
#include "ui/gui/DetailsWindow.h"
#include "update/UpdateChecker.h"
#include "util/Clock.h"
#include "util/FileUtil.h"
#include "util/SettingsStore.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

using namespace tarvik;

namespace {

using test::CharacterNode;
using test::ProgramFolder;
using test::SourceDir;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    test::WindowServices services_{DateTime::FromCivil(2026, 7, 6, 10, 0, 0)};

    void AnalyzeSamples(MainWindow& window)
    {
        window.SelectLogs(test::SamplePaths());
        window.AnalyzeLogs(window.LogPanel()->SelectedNames());
    }

private slots:
    void init() { services_.Reset(); }

    void unusableConfigurationEndsStartWithItsMessage_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing")
            << false
            << "The Tarvik.ini file does not exist!\nThis is required for the "
               "program to run.\n\nPlease re-install the program using the setup.";
        QTest::newRow("malformed") << true << "ERROR:  TimeStampBegin cannot be non-numeric!";
    }
    void unusableConfigurationEndsStartWithItsMessage()
    {
        QFETCH(bool, present);
        QFETCH(QString, message);
        ProgramFolder folder(present);
        if (present)
            folder.ReplaceInConfig("TimeStampBegin=21", "TimeStampBegin=twenty-one");
        {
            MainWindow window(services_.For(folder));
            QVERIFY(!window.Start());
            QVERIFY(!window.isVisible());
        }
        QCOMPARE(services_.dialogs.messages.size(), 1);
        QCOMPARE(services_.dialogs.messages[0].icon, Dialogs::Icon::Critical);
        QCOMPARE(services_.dialogs.messages[0].text, message);
        // No options written by a window that never started.
        QVERIFY(!services_.store.Read("UserOptions", "AutodetectParty"));
    }

    void installedProgramReadsShippedFilesFromShareAndWritesPerUser()
    {
        // A prefix as the package installs it, and the user's folders.
        QTemporaryDir prefix;
        QDir root(prefix.path());
        for (const char* folder : {"bin", "share/tarvik", "game/logs"})
            QVERIFY(root.mkpath(folder));
        QVERIFY(
            QFile::copy(SourceDir + "/data/Tarvik.ini", root.filePath("share/tarvik/Tarvik.ini")));
        test::AppendToFile(root.filePath("share/tarvik/Tarvik_history.txt"), "Installed history\n");
        FileLocationInputs inputs;
        inputs.programDir = root.filePath("bin").toStdString();
        inputs.programDirWritable = true;
        inputs.userConfigDir = root.filePath("config").toStdString();
        inputs.userDataDir = root.filePath("data").toStdString();

        ProgramFolder unused(false);
        MainWindowEnvironment environment = services_.For(unused);
        environment.programDir = root.filePath("bin");
        environment.files = FileLocations::Decide(inputs);
        environment.gameLogFolders = {root.filePath("game/logs").toStdString()};
        environment.optionsFile = root.filePath("config/Tarvik.conf");
        MainWindow window(environment);
        QString history;
        test::WhenViewerOpens([&](FileViewer& viewer) { history = viewer.Text(); });
        QVERIFY(window.Start());
        // A first run shows the version history and remembers the version.
        QVERIFY(history.contains("Installed history"));
        QCOMPARE(ReadStoredVersion(services_.store).revision,
                 ProgramInfo::RunningVersion().revision);
        // No log folder stored: the game's usual one.
        QCOMPARE(QDir(window.LogPanel()->Folder()), QDir(root.filePath("game/logs")));
        QVERIFY(QDir(root.filePath("data")).exists());
        QCOMPARE(QString::fromStdString(window.DebugFile().FileName()),
                 QString::fromStdString(JoinPath(inputs.userDataDir, "Tarvik_debug.log")));
        QCOMPARE(window.Updates().Checker().DescriptionPath(), root.filePath("data/Update.ini"));
        // Nothing has been changed, so there is no copy of the configuration yet.
        QVERIFY(!QFile::exists(root.filePath("config/Tarvik.ini")));

        window.Action("mnuMainHelpAbout")->trigger();
        QCOMPARE(services_.dialogs.messages.size(), 1);
        const QString about = services_.dialogs.messages[0].text;
        for (const QString& shown :
             {root.filePath("share/tarvik/Tarvik.ini"), root.filePath("config/Tarvik.ini"),
              root.filePath("data"), root.filePath("config/Tarvik.conf")})
            QVERIFY2(about.contains(QDir::toNativeSeparators(shown)), qPrintable(about));
    }

    // The tabs fill when shown, not at the end of every analysis, and
    // follow the marks.
    void fightsAndTargetsTabsFillWhenShownAndFollowMarks()
    {
        ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        AnalyzeSamples(window);
        const int fights = static_cast<int>(window.GetSession().Fights().Fights().size());
        QVERIFY(fights > 1);
        TableModel* model = window.FightsPanel()->FightsModel();
        QCOMPARE(model->rowCount(), 0);

        window.Tabs()->setCurrentWidget(window.FightsPanel());
        QCOMPARE(model->rowCount(), fights);
        auto yourDps = [&] {
            double sum = 0;
            for (int row = 0; row < model->rowCount(); ++row)
                sum += model->index(row, FightYourDpsColumn).data(TableModel::SortRole).toDouble();
            return sum;
        };
        QCOMPARE(yourDps(), 0.0);
        window.Tree()->setCurrentItem(CharacterNode(window, "Aldric Voss"));
        window.Action("mnuCharacterContextMyCharacter")->trigger();
        QVERIFY(yourDps() > 0);

        window.Tabs()->setCurrentWidget(window.TargetsPanel());
        QVERIFY(window.TargetsPanel()->Model()->rowCount() > 0);
        for (int row = 0; row < window.TargetsPanel()->Model()->rowCount(); ++row) {
            QVERIFY(window.TargetsPanel()->Model()->index(row, TargetNameColumn).data() !=
                    QString("Aldric Voss"));
        }
    }

    // Typing narrows the names; the root, the categories and the marks stay.
    void treeFilterNarrowsTheNames()
    {
        ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        window.TreeFilter()->setText("  ALD ");
        AnalyzeSamples(window); // characters added under a filter are filtered too
        QTreeWidgetItem* root = window.Tree()->topLevelItem(0);
        auto shown = [&] {
            QStringList names;
            for (int i = 0; i < root->childCount(); ++i) {
                if (!root->child(i)->isHidden())
                    names << root->child(i)->text(0);
            }
            return names;
        };
        QCOMPARE(shown(), QStringList{"Aldric Voss"});
        QTreeWidgetItem* aldric = CharacterNode(window, "Aldric Voss");
        QCOMPARE(aldric->childCount(), 5);
        window.TreeFilter()->setText("zzz");
        QVERIFY(shown().isEmpty());
        QVERIFY(!root->isHidden());
        window.TreeFilter()->clear();
        QCOMPARE(shown().size(), root->childCount());
    }

    // An analysis fills the tree and the status bar. What each view holds is
    // the engine's; here each node opens its own.
    void analysisFillsTreeAndStatusBarAndNodesShowTheirViews()
    {
        ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        AnalyzeSamples(window);
        QTreeWidgetItem* root = window.Tree()->topLevelItem(0);
        QVERIFY(root);
        QCOMPARE(root->childCount(), window.GetSession().Data().characters.Count());
        QCOMPARE(window.Status().Panel("Message")->text(),
                 QString("Log analysis complete.  (Check Status and Errors tabs for more info.)"));
        QCOMPARE(window.Status().Panel("Start")->text(), QString("07/03/2026 08:14:10 PM"));
        QCOMPARE(window.Status().Panel("End")->text(), QString("07/05/2026 07:30:23 PM"));
        QCOMPARE(window.Tabs()->currentIndex(), 0);
        QVERIFY(window.isEnabled());
        // The root cannot be collapsed.
        window.Tree()->collapseItem(root);
        QVERIFY(root->isExpanded());

        window.ShowNode(root, 1);
        QVERIFY(window.Details());
        DetailGridWidget* grid = window.Details()->Grid();
        QCOMPARE(grid->CellText(0, 0), QString("Party Members"));

        QTreeWidgetItem* aldric = CharacterNode(window, "Aldric Voss");
        window.ShowNode(aldric, 1);
        QCOMPARE(window.Details()->windowTitle(), QString("Details - General Info - Aldric Voss"));
        QCOMPARE(grid->CellText(4, 1), QString("10; 7 hits (70%)"));

        const QString key = CharacterTreeWidget::KeyOf(aldric);
        window.ShowNode(window.Tree()->FindNode(key + " Attacks"), 1);
        QCOMPARE(window.Details()->windowTitle(), QString("Details - Attacks Made - Aldric Voss"));
        QCOMPARE(grid->CellText(1, 0), QString("Goblin Skirmisher"));

        window.ShowNode(window.Tree()->FindNode(key + " Deaths"), 1);
        QCOMPARE(window.Details()->windowTitle(),
                 QString("Details - Character Deaths - Aldric Voss"));
        QCOMPARE(window.DetailCharacterId(),
                 window.GetSession().Data().characters.Find("Aldric Voss")->ID());
        window.GetSession().ClearAllData();
        QCOMPARE(window.DetailCharacterId(), CharacterId::None());
    }

    void contextMenuMarksTheUserAndTheParty()
    {
        ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        AnalyzeSamples(window);
        QTreeWidgetItem* aldric = CharacterNode(window, "Aldric Voss");
        QTreeWidgetItem* brenna = CharacterNode(window, "Brenna Tal");

        window.Tree()->setCurrentItem(aldric);
        window.Action("mnuCharacterContextMyCharacter")->trigger();
        QVERIFY(aldric->font(0).bold());
        QCOMPARE(aldric->foreground(0).color(), QColor(0, 0, 255));
        QCOMPARE(window.PartyLabel()->text(), QString("1 party member selected"));

        window.Tree()->setCurrentItem(brenna);
        window.Action("mnuCharacterContextParty")->trigger();
        QCOMPARE(window.PartyLabel()->text(), QString("2 party members selected"));

        // My Character again removes only the blue mark.
        window.Tree()->setCurrentItem(aldric);
        window.Action("mnuCharacterContextMyCharacter")->trigger();
        QVERIFY(aldric->font(0).bold());
        QVERIFY(aldric->foreground(0).color() != QColor(0, 0, 255));
        QCOMPARE(window.GetSession().Data().userCharacterId, CharacterId::None());

        // Holding a button on the tree pauses monitoring.
        QTest::mousePress(window.Tree()->viewport(), Qt::LeftButton);
        QVERIFY(window.Monitoring().Paused());
        QTest::mouseRelease(window.Tree()->viewport(), Qt::LeftButton);
        QVERIFY(!window.Monitoring().Paused());
    }

    // Lines that arrive while "Problems only" is shown (a monitored log
    // grows) add rows for their problems alone, in order; All shows them all.
    void errorsTabTakesLinesWhileShowingProblemsOnly()
    {
        ErrorsTab tab;
        tab.ProblemsOnlyButton()->click();
        const std::pair<const char*, LineClass> batches[][3] = {
            {{"a", LineClass::Blank}, {"b", LineClass::Problem}, {"c", LineClass::Engine}},
            {{"d", LineClass::Continuation}, {"e", LineClass::Blank}, {"f", LineClass::Blank}},
            {{"g", LineClass::Problem}, {"h", LineClass::Problem}, {"i", LineClass::Blank}},
        };
        for (const auto& batch : batches) {
            for (const auto& [line, lineClass] : batch)
                tab.Append(line, lineClass);
            tab.Flush();
        }
        const QAbstractItemModel* model = tab.List()->model();
        QStringList shown;
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->index(row, 1).data().toString();
        QCOMPARE(shown, (QStringList{"b", "g", "h"}));
        QCOMPARE(tab.CountsLabel()->text(),
                 QString("4 blank, 1 engine, 1 continuation, 3 problems"));
        tab.AllButton()->click();
        QCOMPARE(model->rowCount(), 9);
        QCOMPARE(model->index(3, 0).data().toString(), QString("continuation"));
        QCOMPARE(model->index(3, 1).data().toString(), QString("d"));
    }

    void errorListButtonsAndSaving()
    {
        ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        ErrorsTab* errors = window.Errors();
        window.Tabs()->setCurrentIndex(2);
        QVERIFY(!errors->SaveButton()->isEnabled());
        window.Tabs()->setCurrentIndex(0);

        AnalyzeSamples(window);
        const int lines = errors->Count();
        QVERIFY(lines > 0);
        window.Tabs()->setCurrentIndex(2);
        QVERIFY(errors->SaveButton()->isEnabled());
        QVERIFY(errors->ViewButton()->isEnabled());
        QCOMPARE(errors->List()->model()->rowCount(), lines);

        // Each line is shown with its class; the counts sum them up, here and
        // in the Status tab. "Problems only" shows the problems alone, in
        // their order; View and Save still take every line.
        const QAbstractItemModel* model = errors->List()->model();
        QCOMPARE(model->index(0, 0).data().toString(), QString("engine"));
        QCOMPARE(model->index(0, 1).data().toString(),
                 QString("nwclientLog1.txt: Invalid/missing date, discarded: nwsync: "
                         "reconfigured successfully"));
        QVERIFY(errors->AllButton()->isChecked());
        QCOMPARE(errors->CountsLabel()->text(),
                 QString("2 blank, 6 session header, 2 engine, 2 continuation, 3 problems"));
        QVERIFY(window.ProgressLabel()->text().contains(
            "15 lines without a record: 2 blank, 6 session header, 2 engine, 2 continuation, 3 "
            "problems."));
        errors->ProblemsOnlyButton()->click();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->index(2, 0).data().toString(), QString("problem"));
        QVERIFY(model->index(2, 1).data().toString().startsWith(
            "nwclientLog3.txt: Invalid damage record, discarded: "));

        QTemporaryDir out;
        services_.dialogs.savePath = out.filePath("errors.log");
        errors->SaveButton()->click();
        QFile saved(services_.dialogs.savePath);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QList<QByteArray> text = saved.readAll().split('\n');
        QCOMPARE(text[0], QByteArray("Tarvik ") +
                              QByteArray::fromStdString(ProgramInfo::VersionText()) + "\r");
        QCOMPARE(text[1], QByteArray("Saved: 07/06/2026 - 10:00:00 AM\r"));
        QCOMPARE(text[2], QByteArray("\r"));
        QCOMPARE(text.size(), 3 + lines + 1);
        QCOMPARE(services_.dialogs.messages.last().text, QString("Log successfully saved."));
        errors->AllButton()->click();
        QCOMPARE(model->rowCount(), lines);

        // A disk that fills up while the list is written: the old file stays
        // and the user hears of it. The viewer's Save alike.
        const QByteArray saved_ = ReadAll(services_.dialogs.savePath);
        {
            const test::FileSizeLimit full(16);
            errors->SaveButton()->click();
        }
        QCOMPARE(services_.dialogs.messages.last().text, QString("Error while saving file!"));
        QCOMPARE(ReadAll(services_.dialogs.savePath), saved_);
        FileViewer viewer(services_.dialogs, &window);
        FileViewer::Options options;
        options.showSave = true;
        viewer.OpenFile(services_.dialogs.savePath, options, false);
        viewer.Editor()->setPlainText("edited");
        {
            const test::FileSizeLimit full(4);
            viewer.Save();
        }
        QVERIFY(services_.dialogs.messages.last().text.startsWith("Error -- failed to update "));
        QCOMPARE(ReadAll(services_.dialogs.savePath), saved_);
        viewer.Save();
        QCOMPARE(ReadAll(services_.dialogs.savePath), QByteArray("edited"));
        viewer.close();
    }

    // Each change the user makes asks once: a drag when it is let go, a key
    // at each step. No turns debugging off; the log opens read-only.
    void debugSliderAsksOncePerChangeAndTheLogIsReadOnly()
    {
        ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        DebugTab* debug = window.DebugPanel();
        QSlider* slider = debug->Slider();
        services_.dialogs.answers << Dialogs::Answer::Yes << Dialogs::Answer::No
                                  << Dialogs::Answer::Yes;

        slider->setSliderDown(true);
        for (int step = 1; step <= 4; ++step)
            slider->setSliderPosition(step);
        QCOMPARE(services_.dialogs.questions.size(), 0);
        slider->setSliderDown(false);
        QCOMPARE(services_.dialogs.questions.size(), 1);
        QCOMPARE(window.Debug().Level(), 4);

        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Left);
        QCOMPARE(services_.dialogs.questions.size(), 2);
        QCOMPARE(slider->value(), 0);
        QCOMPARE(window.Debug().Level(), 0);
        QCOMPARE(debug->LevelLabel()->text(), QString("Debug Mode:  Disabled"));

        slider->setValue(3);
        QCOMPARE(debug->LevelLabel()->text(), QString("Debug Mode:  High"));
        QCOMPARE(window.Debug().Level(), 3);
        QVERIFY(debug->BufferBar()->toolTip().endsWith(" used of 1000"));
        bool readOnly = false;
        bool saveShown = true;
        QString shown;
        test::WhenViewerOpens([&](FileViewer& viewer) {
            readOnly = viewer.IsReadOnly();
            saveShown = viewer.SaveVisible();
            shown = viewer.Text();
        });
        debug->ViewButton()->click();
        QVERIFY(readOnly);
        QVERIFY(!saveShown);
        QVERIFY(shown.contains("> New Debug Mode set:  High"));
    }

    // Without a game window to look for, game detection rests, but the
    // user's check mark is what is kept.
    void monitorNwnProcessKeepsItsCheckMark()
    {
        ProgramFolder folder;
        folder.ReplaceInConfig("WindowTitle=Neverwinter Nights", "WindowTitle=");
        services_.store.Write("UserOptions", "MonitorNWNProcess", "-1");
        {
            MainWindow window(services_.ForReturning(folder));
            QVERIFY(window.Start());
            QAction* monitor = window.Action("mnuMainOptionsMonitorNWN");
            QVERIFY(!monitor->isEnabled());
            QVERIFY(monitor->isChecked());
            window.close();
        }
        QCOMPARE(services_.store.Read("UserOptions", "MonitorNWNProcess").value_or(""),
                 std::string("-1"));
    }

    // A run that stops says so in the status bar instead of leaving the
    // last run's "complete" there. A line of megabytes is listed short, its
    // ellipsis shown as such.
    void stoppedRunSaysWhyAndALongLineIsListedShort()
    {
        ProgramFolder folder;
        MainWindow window(services_.ForReturning(folder));
        QVERIFY(window.Start());
        AnalyzeSamples(window);
        QTemporaryDir logs;
        test::AppendToFile(logs.filePath("0-long.txt"), QByteArray(3 << 20, '\xE9') + "\r\n");
        test::AppendToFile(logs.filePath("b-empty.txt"), {});
        window.AnalyzeFiles({logs.filePath("0-long.txt"), logs.filePath("b-empty.txt")});

        QCOMPARE(window.Status().Panel("Message")->text(),
                 QString("Log file [b-empty.txt] holds no lines; the analysis stopped."));
        QCOMPARE(window.Errors()->List()->model()->index(0, 1).data().toString(),
                 "0-long.txt: Line too long (over 64 KB), discarded: " +
                     QString(1000, QChar(0xE9)) + QChar(0x2026));
        QCOMPARE(window.Tabs()->currentIndex(), 2);
        QVERIFY(window.isEnabled());
    }

    void optionsAndPositionSurviveARestart()
    {
        ProgramFolder folder;
        QPoint place;
        {
            MainWindow window(services_.ForReturning(folder));
            QVERIFY(window.Start());
            window.Action("mnuMainOptionsAutoDetectCharParty")->trigger();
            window.Action("mnuMainOptionsAudibleAlerts")->trigger();
            window.LogPanel()->SetFolder(SourceDir + "/data/samples");
            window.move(140, 120);
            place = window.pos();
            window.close();
        }
        QCOMPARE(services_.store.Read("UserOptions", "AutodetectParty").value_or(""),
                 std::string("-1"));
        QCOMPARE(services_.store.Read("UserOptions", "AudibleFugueTimerAlerts").value_or(""),
                 std::string("0"));
        MainWindow again(services_.ForReturning(folder));
        QVERIFY(again.Start());
        QVERIFY(again.Action("mnuMainOptionsAutoDetectCharParty")->isChecked());
        QVERIFY(!again.Action("mnuMainOptionsAudibleAlerts")->isChecked());
        QVERIFY(again.GetSession().Options().autodetectParty);
        QCOMPARE(QDir(again.LogPanel()->Folder()), QDir(SourceDir + "/data/samples"));
        QCOMPARE(again.pos(), place);
    }

    // Options that cannot be saved are said once, with where they should
    // have gone, however many were written; the program goes on without them.
    void unsavableOptionsAreSaidOnce_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("messagesAfterStart");
        QTest::addColumn<int>("messagesAfterClose");
        // Version already stored: nothing is written before the window closes.
        QTest::newRow("writable folder") << "writable" << 0 << 0;
        QTest::newRow("read-only folder") << "read-only" << 0 << 1;
        // A first run, which stores the version at once.
        QTest::newRow("a file where the folder should be") << "file" << 1 << 1;
        QTest::newRow("read-only file system") << "proc" << 1 << 1;
    }
    void unsavableOptionsAreSaidOnce()
    {
        QFETCH(QString, place);
        QFETCH(int, messagesAfterStart);
        QFETCH(int, messagesAfterClose);
        QTemporaryDir root;
        // Nothing can be created in /proc, whoever asks.
        const QString folder = place == "proc" ? "/proc/self" : root.filePath("config");
        if (place == "proc" && !QFileInfo(folder).isDir())
            QSKIP("No /proc here.");
        const QString file = folder + "/Tarvik.ini";
        if (place == "file") {
            test::AppendToFile(folder, "not a folder");
        } else if (place != "proc") {
            QtSettingsStore before(file);
            WriteStoredVersion(before, ProgramInfo::RunningVersion());
            QVERIFY(!before.Flush());
        }
        if (place == "read-only") {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            if (QFileInfo(folder).isWritable())
                QSKIP("This user may write into read-only folders.");
        }

        ProgramFolder program;
        {
            QtSettingsStore store(file);
            MainWindowEnvironment environment = services_.For(program);
            environment.store = &store;
            test::WhenViewerOpens([](FileViewer&) {}); // the first run's version history
            MainWindow window(environment);
            window.Debug().SetLevel(1);
            QVERIFY(window.Start());
            QCOMPARE(services_.dialogs.messages.size(), messagesAfterStart);
            window.Action("mnuMainOptionsAudibleAlerts")->trigger();
            window.move(150, 130);
            window.close();
        }
        if (place == "read-only")
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(services_.dialogs.messages.size(), messagesAfterClose);
        const QByteArray debugLog = ReadAll(program.File("Tarvik_debug.log"));
        if (messagesAfterClose == 0) {
            QVERIFY(!debugLog.contains("Settings could not be saved"));
            QtSettingsStore saved(file);
            QCOMPARE(saved.Read("UserOptions", "AudibleFugueTimerAlerts").value_or(""),
                     std::string("0"));
            return;
        }
        const auto& shown = services_.dialogs.messages.front();
        QCOMPARE(shown.icon, Dialogs::Icon::Exclamation);
        QVERIFY2(shown.text.contains(QDir::toNativeSeparators(file) + " cannot be written"),
                 qPrintable(shown.text));
        QCOMPARE(debugLog.count("Settings could not be saved: "), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
