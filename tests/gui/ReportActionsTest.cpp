// "Generate Report" and File > Export on the demo session: what is written
// is the engine's (tested there); here the dialogs, the names and failures.
#include "app/gui/ReportActions.h"

#include "GuiTestSupport.h"
#include "analysis/Session.h"
#include "app/gui/DemoStart.h"
#include "app/gui/StatusBar.h"
#include "fights/gui/FightsTab.h"
#include "fights/gui/TableFit.h"
#include "fights/gui/TargetsTab.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

namespace tarvik {

using test::SourceDir;

namespace {

QStringList DemoPaths()
{
    return DemoLogs(SourceDir + "/data/samples");
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ReportActionsTest : public QObject {
    Q_OBJECT

    test::WindowServices services_{DateTime::FromCivil(2026, 12, 1, 12, 0, 0)};
    QTemporaryDir out_;
    test::ProgramFolder folder_;
    std::unique_ptr<MainWindow> window_; // has analysed the demo with the party detected
    ReportActions* reports_ = nullptr;

private slots:
    void initTestCase()
    {
        services_.Reset();
        window_ = std::make_unique<MainWindow>(services_.ForReturning(folder_));
        QVERIFY(window_->Start());
        window_->Action("mnuMainOptionsAutoDetectCharParty")->trigger();
        window_->AnalyzeFiles(DemoPaths());
        reports_ = window_->findChild<ReportActions*>("reportActions");
        QVERIFY(reports_);
    }
    void init() { services_.Reset(); }
    void cleanupTestCase() { window_.reset(); }

    void generateReportOffersTheBrowser()
    {
        services_.dialogs.savePath = out_.filePath("demo report.html");
        services_.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        QList<QUrl> opened;
        reports_->openUrl = [&](const QUrl& url) {
            opened << url;
            return true;
        };
        window_->findChild<QPushButton*>("cmdGenerateReport")->click();
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(services_.dialogs.savePath)});
        QCOMPARE(services_.dialogs.questions.size(), 1);
        QVERIFY(services_.dialogs.messages.isEmpty());
    }

    void aBareNameGetsItsSuffixAndAFailedWriteIsNoSuccess()
    {
        int browsers = 0;
        reports_->openUrl = [&](const QUrl&) { return ++browsers > 0; };

        services_.dialogs.savePath = out_.filePath("bare");
        QCOMPARE(reports_->GenerateReport(out_.path()), out_.filePath("bare.html"));
        QVERIFY(QFileInfo(out_.filePath("bare.html")).size() > 100000);
        QCOMPARE(browsers, 0); // the question was answered No

        // A folder that is not there: said so, nothing offered, no file.
        services_.dialogs.questions.clear();
        services_.dialogs.savePath = out_.filePath("gone/report.html");
        QCOMPARE(reports_->GenerateReport(out_.path()), QString());
        QCOMPARE(services_.dialogs.messages.size(), 1);
        QCOMPARE(services_.dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
        QVERIFY(services_.dialogs.messages[0].text.startsWith("Could not write"));
        QVERIFY(services_.dialogs.questions.isEmpty());
        QCOMPARE(reports_->ExportJson(out_.path()), QString());
        QCOMPARE(reports_->ExportCsv(out_.path()), QString());
        QCOMPARE(services_.dialogs.messages.size(), 3);
        QCOMPARE(browsers, 0);

        // Cancelled: nothing at all.
        services_.dialogs.savePath.clear();
        QCOMPARE(reports_->ExportCsv(out_.path()), QString());
        QCOMPARE(services_.dialogs.messages.size(), 3);
    }

    void csvExportHasAHeaderAndOneLinePerFight()
    {
        services_.dialogs.savePath = out_.filePath("fights");
        window_->Action("mnuMainFileExportCsv")->trigger();
        const QByteArray csv = ReadAll(out_.filePath("fights.csv"));
        QVERIFY(csv.startsWith("Number,"));
        QCOMPARE(csv.count("\r\n"),
                 static_cast<qsizetype>(window_->GetSession().Fights().Fights().size()) + 1);
    }

    // At 1280x720 every text of the demo's fights, characters and targets
    // shows whole; a wider one would scroll, not be cut.
    void demoTablesCutNoTextAtACommonScreenSize()
    {
        window_->resize(1280, 720);
        window_->show();
        auto* tabs = window_->findChild<QTabWidget*>("tabstripMain");
        QVERIFY(tabs);
        tabs->setCurrentWidget(window_->FightsPanel());
        FightsTab& fights = *window_->FightsPanel();
        QVERIFY(fights.FightsView()->model()->rowCount() > 0);
        fights.SelectCharacter(window_->GetSession().Data().userCharacterId.value());
        const struct {
            const char* what;
            QTableView* view;
        } tables[] = {
            {"fights", fights.FightsView()},
            {"characters", fights.CharactersView()},
            {"targets", window_->TargetsPanel()->View()},
        };
        for (const auto& table : tables) {
            if (table.view == window_->TargetsPanel()->View())
                tabs->setCurrentWidget(window_->TargetsPanel());
            QVERIFY2(table.view->isVisible(), table.what);
            QVERIFY2(table.view->model()->rowCount() > 0, table.what);
            QCOMPARE(ElidedCells(*table.view), 0);
        }
        window_->hide();
    }

    void firstRunOpensOnTheDemoWithDetectionOn()
    {
        test::ProgramFolder folder;
        QVERIFY(QDir(folder.Path()).mkdir("demo"));
        for (const QString& path : DemoPaths())
            QVERIFY(QFile::copy(path, folder.File("demo/" + QFileInfo(path).fileName())));
        {
            MainWindow window(services_.For(folder));
            test::WhenViewerOpens([](FileViewer&) {}); // the first run's version history
            QVERIFY(window.Start());
            QVERIFY(window.FirstRun());
            const QStringList logs = FirstLogs(window, folder.Path(), {});
            QCOMPARE(logs.size(), 3);
            QVERIFY(logs[0].endsWith("/demo/nwclientLog1.txt"));
            QVERIFY(window.Action("mnuMainOptionsAutoDetectCharParty")->isChecked());
            OpenFirstLogs(window, logs, true);
            // Said where the player looks first, until other logs are analysed.
            const QString notice = "Demo session: a made-up party's fights from 3 sample logs; "
                                   "choose your own logs with Browse.";
            QCOMPARE(window.Status().Message(), notice);
            QVERIFY(window.DemoNote()->isVisibleTo(&window));
            QCOMPARE(window.DemoNote()->text(), notice);
            const AnalysisData& data = window.GetSession().Data();
            QCOMPARE(QString::fromStdString(data.characters.At(data.userCharacterId)->Name()),
                     QString("Aldric Voss"));
            window.AnalyzeFiles({logs[0]});
            QVERIFY(!window.DemoNote()->isVisibleTo(&window));
            window.close();
        }
        // Later runs open what the command line names, or nothing, and keep
        // the player's choice of detection.
        MainWindow again(services_.For(folder));
        QVERIFY(again.Start());
        QVERIFY(!again.FirstRun());
        again.Action("mnuMainOptionsAutoDetectCharParty")->trigger();
        QVERIFY(FirstLogs(again, folder.Path(), {}).isEmpty());
        QCOMPARE(FirstLogs(again, folder.Path(), {"a.txt"}), QStringList{"a.txt"});
        QVERIFY(!again.Action("mnuMainOptionsAutoDetectCharParty")->isChecked());
    }
};

} // namespace tarvik

QTEST_MAIN(tarvik::ReportActionsTest)
#include "ReportActionsTest.moc"
